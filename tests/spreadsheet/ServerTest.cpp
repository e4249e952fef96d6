// The in-process spreadsheet application as an automation client drives it: by late-bound names,
// through the toolkit's GetObject and CreateObject, on the headless desktop.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/spreadsheet/AutoFit.h"
#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "runtime/Conversions.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

constexpr const char* kClass = "Excel.Application";

// The error a call raises: its number (0 for none) and description.
std::pair<int32_t, std::string> Raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return {e.Number(), e.Description()};
  }
  return {};
}
int32_t ErrorNumberOf(const std::function<void()>& f) { return Raised(f).first; }
std::string DescriptionOf(const std::function<void()>& f) { return Raised(f).second; }

class Server : public ::testing::Test {
 protected:
  void SetUp() override { spreadsheet::RegisterAutomationServer(); }
  // An empty workbook file with one sheet "Export".
  std::string NewFile(const std::string& name = "book.xls") {
    const std::string path = dir.File(name);
    spreadsheet::SaveWorkbook(spreadsheet::Workbook::WithSheet("Export"), path);
    return path;
  }
  Variant Running() { return tk.GetObject("", kClass); }
  bool IsRunning() { return ErrorNumberOf([&] { Running(); }) == 0; }
  Variant Sheet(const Variant& book, int32_t n) { return Get(book, "Sheets", {n}); }
  Variant Cell(const Variant& book, int32_t n, const char* address) { return Get(Sheet(book, n), "Range", {address}); }

  platform::headless::HeadlessToolkit tk;
  TempFolder dir;
};

// --- running instances ---------------------------------------------------------------------------------

TEST_F(Server, GetObjectFindsOnlyARunningInstanceOrOpensAFileInOneOrFails) {
  EXPECT_EQ(ErrorNumberOf([&] { Running(); }), err::CannotCreateObject);
  const Variant app = spreadsheet::StartApplication(tk);
  EXPECT_EQ(Running().AsObject(), app.AsObject());
  EXPECT_EQ(tk.GetObject("", "EXCEL.application").AsObject(), app.AsObject());
  // A second instance does not replace the first as the one found.
  const Variant second = tk.CreateObject(kClass);
  EXPECT_NE(second.AsObject(), app.AsObject());
  EXPECT_EQ(Running().AsObject(), app.AsObject());
  Call(app, "Quit");
  EXPECT_EQ(ErrorNumberOf([&] { Running(); }), err::CannotCreateObject);
  EXPECT_EQ(ErrorNumberOf([&] { Get(app, "Workbooks"); }), err::AutomationError);
  EXPECT_EQ(ErrorNumberOf([&] { tk.CreateObject("Nobody.Application"); }), err::CannotCreateObject);

  // With a file, GetObject starts an instance, which is running now, invisible, with the
  // workbook's window hidden.
  const std::string path = NewFile();
  const Variant book = tk.GetObject(path, "");
  EXPECT_EQ(CStr(Get(book, "Name")), "book.xls");
  const Variant started = Running();
  EXPECT_EQ(Get(book, "Parent").AsObject(), started.AsObject());
  EXPECT_FALSE(CBool(Get(started, "Visible")));
  EXPECT_FALSE(CBool(Get(Get(started, "Windows", {1}), "Visible")));
  // The same file again gives the same workbook; another file opens beside it, in front.
  EXPECT_EQ(tk.GetObject(path, "").AsObject(), book.AsObject());
  const Variant other = tk.GetObject(NewFile("other.XLS"), "");
  EXPECT_EQ(CLng(Get(Get(started, "Workbooks"), "Count")), 2);
  EXPECT_EQ(CStr(Get(Get(started, "Windows", {1}), "Caption")), "other.XLS");
  EXPECT_EQ(CStr(Get(Get(started, "Windows", {2}), "Caption")), "book.xls");
  Call(started, "Quit");

  // A file that cannot be opened leaves no instance running.
  const std::string missing = dir.File("missing.xls");
  EXPECT_EQ(ErrorNumberOf([&] { tk.GetObject(missing, ""); }), 1004);
  EXPECT_FALSE(IsRunning());
  // Damaged bytes the same way.
  WriteBytes(dir.File("junk.xls"), std::vector<uint8_t>(3000, 0x41));
  EXPECT_NE(DescriptionOf([&] { tk.GetObject(dir.File("junk.xls"), ""); }).find("not a readable workbook"), std::string::npos);
  EXPECT_FALSE(IsRunning());
  // A running instance survives a failed open.
  spreadsheet::StartApplication(tk);
  EXPECT_EQ(ErrorNumberOf([&] { tk.GetObject(missing, ""); }), 1004);
  EXPECT_TRUE(IsRunning());
}

// --- the object model -------------------------------------------------------------------------------------

TEST_F(Server, NamesIgnoreLetterCaseSheetsAreAddedAndRangesAddressedByTheRules) {
  const Variant book = tk.GetObject(NewFile(), "");
  EXPECT_EQ(CLng(Get(Get(book, "SHEETS"), "count")), 1);
  EXPECT_EQ(CStr(Get(Get(book, "sheets", {1}), "nAmE")), "Export");
  EXPECT_EQ(ErrorNumberOf([&] { Get(book, "Sheetz"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Let(book, "Name", "x.xls"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Get(Get(book, "sheets"), "Item", {2}); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { Get(Get(book, "sheets"), "Item", {"Nope"}); }), err::SubscriptOutOfRange);
  EXPECT_EQ(CStr(Get(Get(book, "sheets", {"EXPORT"}), "Name")), "Export");

  // Sheets are added before and after others; names follow the rules.
  const Variant sheets = Get(book, "sheets");
  Call(sheets, "Add", {Named("Before", Get(book, "sheets", {1}))});
  EXPECT_EQ(CLng(Get(sheets, "Count")), 2);
  EXPECT_EQ(CStr(Get(Sheet(book, 1), "Name")), "Sheet1");
  EXPECT_EQ(CStr(Get(Get(book, "ActiveSheet"), "Name")), "Sheet1");
  Call(sheets, "Add", {Named("after", Get(book, "sheets", {2}))});
  EXPECT_EQ(CStr(Get(Sheet(book, 3), "Name")), "Sheet2");
  EXPECT_EQ(CLng(Get(Sheet(book, 3), "Index")), 3);

  Let(Sheet(book, 1), "Name", "Summary");
  EXPECT_EQ(CStr(Get(Sheet(book, 1), "Name")), "Summary");
  for (const char* bad : {"export", "a/b", "[x]", "", "'quoted'", "A name longer than thirty-one chars"}) {
    EXPECT_EQ(ErrorNumberOf([&] { Let(Sheet(book, 1), "Name", bad); }), 1004) << bad;
    EXPECT_EQ(CStr(Get(Sheet(book, 1), "Name")), "Summary") << bad;
  }

  // Range values are typed as entered and read back.
  Let(Cell(book, 1, "B3"), "Value", 42);
  EXPECT_EQ(Get(Get(Sheet(book, 1), "Cells", {3, 2}), "Value").NumericValue(), 42);
  EXPECT_EQ(Get(Get(Sheet(book, 1), "Cells", {3, "B"}), "Value").NumericValue(), 42);
  EXPECT_EQ(Get(Cell(book, 1, "b3"), "Value").Type(), VarType::Double);

  Let(Cell(book, 1, "A1"), "Value", "12/6/2026");
  EXPECT_EQ(Get(Cell(book, 1, "A1"), "Value").AsDate(), Date::FromCalendar(2026, 12, 6));
  EXPECT_EQ(CStr(Get(Cell(book, 1, "A1"), "Text")), "12/6/2026");
  Let(Cell(book, 1, "A3"), "Value", true);
  EXPECT_TRUE(Get(Cell(book, 1, "A3"), "Value").AsBoolean());
  Let(Cell(book, 1, "A3"), "Value", Variant());
  EXPECT_TRUE(Get(Cell(book, 1, "A3"), "Value").IsEmpty());

  Let(Cell(book, 1, "C1:D2"), "Value", 7);
  EXPECT_EQ(Get(Cell(book, 1, "D2"), "Value").NumericValue(), 7);
  EXPECT_EQ(ErrorNumberOf([&] { Get(Cell(book, 1, "C1:D2"), "Value"); }), 1004);
  EXPECT_EQ(CStr(Get(Cell(book, 1, "d2:c1"), "Address")), "$C$1:$D$2");
  EXPECT_EQ(CStr(Get(Get(Cell(book, 1, "B7"), "EntireColumn"), "Address")), "$B:$B");

  for (const char* bad : {"IW1", "A65537", "A0", "1A", "A1:", "A:1", "AAA1"})
    EXPECT_EQ(ErrorNumberOf([&] { Get(Sheet(book, 1), "Range", {bad}); }), 1004) << bad;
  EXPECT_EQ(CStr(Get(Cell(book, 1, "$IV$65536"), "Address")), "$IV$65536");
}

// --- paste --------------------------------------------------------------------------------------------------

TEST_F(Server, PasteReadsTheClipboardIntoTheSelectedCellOnOrRefusesWhatDoesNotFit) {
  const Variant book = tk.GetObject(NewFile(), "");
  const Variant sheet = Get(book, "ActiveSheet");
  auto value = [&](const char* address) { return Get(Get(sheet, "Range", {address}), "Value"); };
  std::string tall, wide = "c";
  for (int i = 0; i < 65537; ++i) tall += "x\r";
  for (int i = 1; i < 257; ++i) wide += "\tc";
  const std::vector<std::pair<std::string, const char*>> refused = {{tall, "65,536 rows"}, {wide + "\r", "256 columns"}, {std::string(32768, 'x'), "32,767 characters"}};
  for (const auto& [text, why] : refused) {
    tk.GetClipboard().SetText(text);
    EXPECT_NE(DescriptionOf([&] { Call(sheet, "Paste"); }).find(why), std::string::npos) << why;
    EXPECT_TRUE(value("A1").IsEmpty()) << why;
  }
  // Exactly as many rows as the sheet has from the destination on fit.
  tk.GetClipboard().SetText("a\rb\r");
  EXPECT_EQ(ErrorNumberOf([&] { Call(sheet, "Paste", {Named("Destination", Get(sheet, "Range", {"A65535"}))}); }), 0);
  EXPECT_EQ(CStr(value("A65536")), "b");
  EXPECT_EQ(ErrorNumberOf([&] { Call(sheet, "Paste", {Named("Destination", Get(sheet, "Range", {"A65536"}))}); }), 1004);

  Let(Get(sheet, "Range", {"Z9"}), "Value", "old");
  tk.GetClipboard().SetText("Name\tQty\tWhen\rAnise\t2\t12/6/2026\rBay\r");
  Call(Get(sheet, "Range", {"B2"}), "Select");
  Call(sheet, "Paste");
  EXPECT_EQ(CStr(value("B2")), "Name");
  EXPECT_TRUE(value("A1").IsEmpty());
  EXPECT_EQ(CStr(value("Z9")), "old");
  // A shorter line clears the rest of its row of the pasted block.
  Let(Get(sheet, "Range", {"C4"}), "Value", "old");
  Call(sheet, "Paste", {Named("Destination", Get(sheet, "Range", {"B2"}))});
  EXPECT_TRUE(value("C4").IsEmpty());
  // Off the diagonal the selected cell's row and column are told apart: C2 is row 2, column C.
  Call(Get(sheet, "Range", {"C2"}), "Select");
  Call(sheet, "Paste");
  EXPECT_EQ(CStr(value("C2")), "Name");
  EXPECT_EQ(CStr(value("B3")), "Anise");
  EXPECT_EQ(CStr(value("D3")), "2");

  tk.GetClipboard().Clear();
  EXPECT_EQ(ErrorNumberOf([&] { Call(sheet, "Paste"); }), 1004);
  // Selecting needs the active sheet.
  Call(Get(book, "sheets"), "Add");
  EXPECT_EQ(ErrorNumberOf([&] { Call(Get(sheet, "Range", {"A1"}), "Select"); }), 1004);
}

// --- fitting, saving, closing --------------------------------------------------------------------------

TEST_F(Server, SaveWritesFittedColumnsAndTheWindowAsItWas) {
  const std::string path = NewFile();
  const Variant book = tk.GetObject(path, "");
  const Variant sheet = Get(book, "ActiveSheet");
  EXPECT_TRUE(CBool(Get(book, "Saved")));
  Let(Get(sheet, "Range", {"A1"}), "Value", "iiii");
  Let(Get(sheet, "Range", {"B1"}), "Value", "WWWWWWWWWWWWWWWW");
  Let(Get(sheet, "Range", {"B9"}), "Value", "W");
  Let(Get(sheet, "Range", {"D1"}), "Value", 1234567.5);
  EXPECT_FALSE(CBool(Get(book, "Saved")));
  EXPECT_EQ(ErrorNumberOf([&] { Call(Get(sheet, "Range", {"A1:B2"}), "AutoFit"); }), 1004);
  Call(Get(Get(sheet, "Cells"), "EntireColumn"), "AutoFit");
  Call(book, "Save");
  EXPECT_TRUE(CBool(Get(book, "Saved")));

  const spreadsheet::Workbook saved = spreadsheet::LoadWorkbook(path);
  const spreadsheet::Worksheet& s = *saved.Sheet(0);
  EXPECT_EQ(s.ColumnWidth(0), spreadsheet::FittedWidth("iiii"));
  EXPECT_EQ(s.ColumnWidth(1), spreadsheet::FittedWidth("WWWWWWWWWWWWWWWW"));
  EXPECT_EQ(s.ColumnWidth(2), std::nullopt);  // no cells: the standard width stays
  EXPECT_EQ(s.ColumnWidth(3), spreadsheet::FittedWidth("1234567.5"));
  // A workbook opened for an automation client is saved with its window hidden, unless shown.
  EXPECT_TRUE(saved.WindowHidden());
  Let(Get(Get(book, "Parent"), "Windows", {1}), "Visible", true);
  Call(book, "Save");
  EXPECT_FALSE(spreadsheet::LoadWorkbook(path).WindowHidden());

  // A place that cannot be written fails with the path in the description; the workbook keeps
  // its file.
  const std::string nowhere = dir.File("no such folder/new.xls");
  EXPECT_NE(DescriptionOf([&] { Call(book, "SaveAs", {nowhere}); }).find(nowhere), std::string::npos);
  EXPECT_EQ(CStr(Get(book, "FullName")), path);
}

TEST_F(Server, ClosedWorkbooksAndQuitInstancesRefuseCalls) {
  const Variant app = spreadsheet::StartApplication(tk);
  const Variant book = Call(Get(app, "Workbooks"), "Open", {NewFile()});
  const Variant sheet = Get(book, "ActiveSheet");
  EXPECT_TRUE(CBool(Get(Get(app, "Windows", {1}), "Visible")));  // opened by the user's own call
  Call(book, "Close");
  EXPECT_EQ(CLng(Get(Get(app, "Workbooks"), "Count")), 0);
  EXPECT_EQ(ErrorNumberOf([&] { Get(book, "Name"); }), err::AutomationError);
  EXPECT_EQ(ErrorNumberOf([&] { Get(sheet, "Range", {"A1"}); }), err::AutomationError);
  EXPECT_TRUE(Get(app, "ActiveSheet").IsNothing());

  // Quit closes what is open without saving it.
  const std::string path = NewFile("kept.xls");
  const Variant kept = Call(Get(app, "Workbooks"), "Open", {path});
  Let(Cell(kept, 1, "A1"), "Value", "unsaved");
  Call(app, "Quit");
  EXPECT_EQ(spreadsheet::LoadWorkbook(path).Sheet(0)->CellCount(), 0u);
  EXPECT_EQ(ErrorNumberOf([&] { Get(kept, "Name"); }), err::AutomationError);
}

}  // namespace
}  // namespace tamarind::testing
