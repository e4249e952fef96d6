// ExportToExcel as a host sees it: the file name it is given back, the saved workbook as libfreexl
// reads it, the workbook handed over in ExportToExcelComplete, the two ways an export ends (with
// and without a running instance of the spreadsheet application), and its failures.

#include "platform/spreadsheet/SpreadsheetServer.h"
#include "resources/Resources.h"
#include "runtime/Conversions.h"
#include "runtime/Date.h"
#include "tests/dataio/ExportFixture.h"

namespace tamarind::testing {
namespace {

constexpr const char* kReport = ":Error in ExportToExcel.  Error Message: ";

class ExportToExcel : public ExportDesk {
 protected:
  // A list of spices: text beyond ASCII, whole and fractional numbers, a date, quotes, an empty cell.
  void FillSpices() {
    Columns({"Name", "Qty", "Price", "Ordered", "Notes"});
    Row({"Anise", "2", "3.75", "12/6/2026", "Türkiye, 危地马拉"});
    Row({"Bay leaves", "10", "0.5", "1/15/2027", "5\" jar"});
    Row({"Cardamom", "1,200", "12", "2026-12-24", ""});
  }
};

TEST_F(ExportToExcel, AddsTheExtensionInTheCallersVariable) {
  Columns({"A"});
  for (const auto& [given, expected] :
       {std::pair{"report", "report.xls"}, std::pair{"a.XlS", "a.XlS"}, std::pair{"list.xlsx", "list.xlsx.xls"}}) {
    std::string name = dir.File(given);
    k->ExportToExcel(name, false);
    EXPECT_EQ(name, dir.File(expected));
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
  }
  // An empty name becomes ".xls", in the current folder.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  std::string empty;
  k->ExportToExcel(empty, false);
  std::filesystem::current_path(previous);
  EXPECT_EQ(empty, ".xls");
  EXPECT_EQ(dir.Names().front(), ".xls");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(ExportToExcel, WithoutARunningInstanceTheFileIsSavedClosedAndOpened) {
  FillSpices();
  std::string path = dir.File("spices");
  k->ExportToExcel(path);

  const XlsFile file = ReadWithFreexl(path);
  ASSERT_EQ(file.sheets.size(), 1u);
  const XlsSheet& s = file.sheets[0];
  EXPECT_EQ(s.name + " " + std::to_string(s.rows) + "x" + std::to_string(s.columns), "Export 4x5");
  const std::vector<std::vector<std::string>> expected = {
      {"text Name", "text Qty", "text Price", "text Ordered", "text Notes"},
      {"text Anise", "int 2", "double 3.75", "date 2026-12-06", "text Türkiye, 危地马拉"},
      {"text Bay leaves", "int 10", "double 0.5", "date 2027-01-15", "text 5'' jar"},
      {"text Cardamom", "int 1200", "int 12", "date 2026-12-24", "null"},
  };
  for (uint32_t r = 0; r < expected.size(); ++r)
    for (uint32_t c = 0; c < expected[r].size(); ++c) EXPECT_EQ(s.At(r, c).Describe(), expected[r][c]) << r << "," << c;

  EXPECT_EQ(completes, 1);
  EXPECT_FALSE(Running());
  ASSERT_EQ(tk.ShellImpl().Calls().size(), 1u);
  const auto& o = tk.ShellImpl().Calls()[0];
  EXPECT_EQ(std::to_string(o.owner) + " " + o.operation + " " + o.file + " [" + o.parameters + "] " + o.directory + " " +
                std::to_string(o.showCmd),
            "0 open " + path + " [] " + tk.App().Path + " 1");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(Bar().Visible());
  EXPECT_FALSE(Strip().Visible());
  // The list went through the clipboard.
  EXPECT_EQ(Clipboard().rfind("Name\tQty\tPrice\tOrdered\tNotes\rAnise\t2\t", 0), 0u);
}

TEST_F(ExportToExcel, TheHostWorksOnTheOpenWorkbookBeforeItIsSaved) {
  FillSpices();
  std::vector<std::string> seen;
  onComplete = [&](std::shared_ptr<CEXCEL>& x) {
    // The message strip lies where the bar was; the bar is gone.
    EXPECT_TRUE(Strip().Visible());
    EXPECT_EQ(Strip().Text(), "Finalizing workbook formatting...");
    EXPECT_FALSE(Bar().Visible());
    EXPECT_EQ((std::vector{Strip().Top(), Strip().Left(), Strip().Width(), Strip().Height()}),
              (std::vector{Bar().Top(), Bar().Left(), Bar().Width(), Bar().Height()}));

    EXPECT_TRUE(x->ExcelWasNotRunning);
    seen.push_back(std::to_string(x->SheetCount()) + " " + x->SheetName(1));
    seen.push_back(CStr(x->GetCell(1, "A", 1)) + " " + CStr(x->GetCell(1, "b", 3)) + " " + CStr(x->GetCell(1, "C", 2)));
    x->WriteToCell("Total", 1, "F", 1);
    x->WriteToCell(99.5, 1, "F", 2);
    x->AddShet("Summary");
    x->WriteToCell("made by the host", 1, "A", 1);
    seen.push_back(std::to_string(x->SheetCount()) + " " + x->SheetName(1) + " " + x->SheetName(2));
    // Calls that fail give empty values, and no error reaches the host.
    seen.push_back("[" + x->SheetName(7) + "][" + CStr(x->GetCell(1, "A", 0)) + "]" +
                   (x->GetCell(9, "A", 1).IsEmpty() ? " empty" : " value"));
    x->WriteToCell(1, 9, "A", 1);
  };
  std::string path = dir.File("spices.xls");
  k->ExportToExcel(path, false);

  EXPECT_EQ(seen, (std::vector<std::string>{"1 Export", "Name 10 3.75", "2 Summary Export", "[][] empty"}));
  EXPECT_TRUE(tk.ShellImpl().Calls().empty());
  const XlsFile file = ReadWithFreexl(path);
  ASSERT_EQ(file.sheets.size(), 2u);
  EXPECT_EQ(file.sheets[0].name + " " + file.sheets[1].name, "Summary Export");
  const XlsSheet &summary = file.sheets[0], &exported = file.sheets[1];
  EXPECT_EQ((std::vector{summary.At(0, 0).Describe(), exported.At(0, 5).Describe(), exported.At(1, 5).Describe(),
                         exported.At(1, 0).Describe()}),
            (std::vector<std::string>{"text made by the host", "text Total", "double 99.5", "text Anise"}));
  // After the export the host's object has let the workbook go.
  ASSERT_TRUE(last);
  EXPECT_TRUE(last->XL.IsNothing());
  EXPECT_EQ(last->SheetCount(), 0);
}

TEST_F(ExportToExcel, WithARunningInstanceTheWorkbookStaysOpenUnsavedAndVisible) {
  FillSpices();
  const Variant app = spreadsheet::StartApplication(tk);
  bool wasNotRunning = true;
  onComplete = [&](std::shared_ptr<CEXCEL>& x) { wasNotRunning = x->ExcelWasNotRunning; };
  std::string path = dir.File("open");
  WriteBytes(path + ".xls", std::vector<uint8_t>(200000, 'Z'));  // a longer file it replaces whole
  k->ExportToExcel(path);

  EXPECT_EQ(completes, 1);
  EXPECT_FALSE(wasNotRunning);
  EXPECT_TRUE(Running());
  EXPECT_TRUE(CBool(Get(app, "Visible")));
  ASSERT_EQ(CLng(Get(Get(app, "Workbooks"), "Count")), 1);
  const Variant book = Get(app, "Workbooks", {1});
  EXPECT_EQ(CStr(Get(book, "FullName")), path);
  EXPECT_FALSE(CBool(Get(book, "Saved")));
  EXPECT_TRUE(CBool(Get(Get(app, "Windows", {1}), "Visible")));
  EXPECT_EQ(CStr(Get(Get(Get(book, "ActiveSheet"), "Range", {"A3"}), "Value")), "Bay leaves");
  EXPECT_TRUE(tk.ShellImpl().Calls().empty());
  EXPECT_TRUE(Boxes().empty());
  // The file holds the template the export started from, and nothing else.
  EXPECT_EQ(ReadBytes(path), platform::LoadResData(101, "XLS"));
  Call(app, "Quit");
}

// Each file an export writes (the template, then the saved workbook) replaces what was at the
// path whole: nothing of a longer older file survives past the new end, and no temporary file is
// left beside it, whether the workbook is saved or refused at the format's limit (left open
// unsaved, see above).
TEST_F(ExportToExcel, EveryFileItWritesReplacesALongerOneWhole) {
  const std::vector<uint8_t> older(200000, 'Z');
  const std::vector<uint8_t> templ = platform::LoadResData(101, "XLS");
  Columns({"A"});
  Row({"1"});

  // Saved: the bytes the same export makes where there was no file.
  std::string fresh = dir.File("fresh.xls"), replaced = dir.File("replaced.xls");
  k->ExportToExcel(fresh, false);
  WriteBytes(replaced, older);
  k->ExportToExcel(replaced, false);
  EXPECT_TRUE(ReadBytes(replaced) == ReadBytes(fresh));
  EXPECT_EQ(ReadWithFreexl(replaced).sheets.at(0).At(1, 0).Describe(), "int 1");

  // Refused at the format's 256 columns: the template alone.
  for (int i = 1; i <= 256; ++i) k->ColumnHeaders().Add(0, {}, "C" + std::to_string(i));
  std::string wide = dir.File("wide.xls");
  WriteBytes(wide, older);
  k->ExportToExcel(wide);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_NE(Boxes()[0].prompt.find("256 columns"), std::string::npos) << Boxes()[0].prompt;
  EXPECT_TRUE(ReadBytes(wide) == templ);
  EXPECT_FALSE(Running());

  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"fresh.xls", "replaced.xls", "wide.xls"}));
}

// The workbook's date system counts a 29 February 1900 that never was, so the days of January and
// February 1900 are saved one below the runtime's day numbers, as every reader expects them; a
// date before 1 January 1900 has no place in it and stays text. Both for dates pasted from the
// list and for dates the host writes.
TEST_F(ExportToExcel, DatesKeepTheirDayAroundTheStartOf1900) {
  Columns({"Pasted"});
  struct Case {
    int year, month, day;
    std::string read;
    std::string Typed() const { return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year); }
  };
  const std::vector<Case> cases = {{1899, 12, 31, "text 12/31/1899"}, {1900, 1, 1, "date 1900-01-01"},
                                   {1900, 2, 28, "date 1900-02-28"}, {1900, 3, 1, "date 1900-03-01"},
                                   {2026, 12, 6, "date 2026-12-06"}};
  for (const Case& c : cases) Row({c.Typed()});
  onComplete = [&](std::shared_ptr<CEXCEL>& x) {
    for (size_t i = 0; i < cases.size(); ++i)
      x->WriteToCell(Variant(Date::FromCalendar(cases[i].year, cases[i].month, cases[i].day)), 1, "B",
                     static_cast<int32_t>(i + 2));
  };
  std::string path = dir.File("dates.xls");
  k->ExportToExcel(path, false);
  EXPECT_TRUE(Boxes().empty());

  const XlsFile file = ReadWithFreexl(path);
  for (uint32_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(file.sheets.at(0).At(i + 1, 0).Describe(), cases[i].read) << "pasted " << cases[i].Typed();
    EXPECT_EQ(file.sheets.at(0).At(i + 1, 1).Describe(), cases[i].read) << "written " << cases[i].Typed();
  }
}

// The file format holds 65,536 rows: the header and 65,535 rows of the list, and not one more.
TEST_F(ExportToExcel, FillsTheLastRowTheFormatHoldsAndRefusesMore) {
  Columns({"N"});
  for (int32_t i = 1; i <= 65535; ++i) k->ListItems().Add(0, {}, std::to_string(i));
  std::string path = dir.File("full.xls");
  k->ExportToExcel(path, false);
  EXPECT_TRUE(Boxes().empty());
  const XlsFile file = ReadWithFreexl(path);
  EXPECT_EQ(file.sheets.at(0).rows, 65536u);
  EXPECT_EQ(file.sheets[0].At(65535, 0).Describe(), "int 65535");

  k->ListItems().Add(0, {}, "65536");
  path = dir.File("toolong.xls");
  k->ExportToExcel(path);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt.rfind(std::string("1004") + kReport, 0), 0u) << Boxes()[0].prompt;
  EXPECT_NE(Boxes()[0].prompt.find("65,536 rows"), std::string::npos);
  EXPECT_EQ(completes, 1);
  EXPECT_FALSE(Running());
  EXPECT_TRUE(tk.ShellImpl().Calls().empty());
  EXPECT_FALSE(Strip().Visible());
  // Nothing was dropped: the file keeps the template, the clipboard every row.
  EXPECT_EQ(ReadBytes(path), platform::LoadResData(101, "XLS"));
  const std::string copied = Clipboard();
  EXPECT_EQ(std::count(copied.begin(), copied.end(), '\r'), 65537);
  EXPECT_TRUE(copied.ends_with("\r65535\r65536\r"));
}

// Without an instance the export quits the one it started; one it found runs on, its workbook
// untouched.
TEST_F(ExportToExcel, APathThatCannotBeWrittenReportsTheFileAndThenTheExport) {
  Columns({"A"});
  Row({"1"});
  std::string path = dir.File("no such folder/list");
  k->ExportToExcel(path);
  EXPECT_EQ(path, dir.File("no such folder/list.xls"));
  ASSERT_EQ(Boxes().size(), 2u);
  EXPECT_EQ(Boxes()[0].prompt, "76:Error in GenFileFromRes.  Error Message: Path not found");
  EXPECT_EQ(Boxes()[0].buttons, vbCritical);
  EXPECT_EQ(Boxes()[1].prompt, std::string("91") + kReport + "Object variable or With block variable not set");
  EXPECT_EQ(Boxes()[1].title, "Warning");
  EXPECT_EQ(completes, 0);
  EXPECT_FALSE(Running());
  EXPECT_FALSE(Bar().Visible());

  const Variant app = spreadsheet::StartApplication(tk);
  const std::string other = dir.File("other.xls");
  WriteBytes(other, platform::LoadResData(101, "XLS"));
  const Variant mine = Call(Get(app, "Workbooks"), "Open", {other});
  k->ExportToExcel(dir.File("missing folder/x"));
  ASSERT_EQ(Boxes().size(), 4u);
  EXPECT_EQ(Boxes()[3].prompt.rfind("91" + std::string(kReport), 0), 0u);
  EXPECT_TRUE(Running());
  EXPECT_EQ(CLng(Get(Get(app, "Workbooks"), "Count")), 1);
  EXPECT_TRUE(Get(Get(Get(mine, "ActiveSheet"), "Range", {"A1"}), "Value").IsEmpty());
  Call(app, "Quit");
}

// A top-level window of the spreadsheet application's main class, as another desktop may have one.
class MainWindow : public platform::Window {
 public:
  explicit MainWindow(platform::Toolkit& tk) : Window(tk, "XLMAIN", nullptr) {}
  platform::RECT BoundsPx() const override { return {}; }
  void SetBoundsPx(const platform::RECT&) override {}
  platform::LRESULT WindowProc(uint32_t msg, platform::WPARAM w, platform::LPARAM l) override {
    messages.push_back(std::to_string(msg) + " " + std::to_string(w) + " " + std::to_string(l));
    return 0;
  }
  std::vector<std::string> messages;
};

TEST_F(ExportToExcel, AsksAnUnreachableApplicationWindowToMakeItselfReachable) {
  Columns({"A"});
  MainWindow window(tk);
  k->ExportToExcel(dir.File("a.xls"), false);
  EXPECT_EQ(window.messages, std::vector<std::string>{"1042 0 0"});
  // With an instance running there is nothing to ask.
  const Variant app = spreadsheet::StartApplication(tk);
  k->ExportToExcel(dir.File("b.xls"), false);
  EXPECT_EQ(window.messages.size(), 1u);
  Call(app, "Quit");
}

TEST_F(ExportToExcel, AFailedOpenOfTheSavedFileIsReported) {
  Columns({"A"});
  tk.ShellImpl().SetResult(2);
  std::string path = dir.File("x.xls");
  k->ExportToExcel(path);
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].prompt, "Error jumping to:" + path);
  EXPECT_EQ(Boxes()[0].buttons, vbExclamation);
  EXPECT_EQ(Boxes()[0].title, "Warning");
  EXPECT_EQ(ReadWithFreexl(path).openResult, FREEXL_OK);
}

}  // namespace
}  // namespace tamarind::testing
