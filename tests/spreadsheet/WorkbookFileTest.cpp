// The .xls files the workbook engine writes, read by libfreexl (a reader this project did not
// write) and by the engine's own reader, and the engine's reader facing other writers' records
// and damaged files.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/Biff8Records.h"
#include "platform/spreadsheet/CellText.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "resources/Resources.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "tests/spreadsheet/FreexlWorkbook.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using spreadsheet::Cell;
using spreadsheet::NumberFormat;
using spreadsheet::Workbook;
using spreadsheet::Worksheet;

double Serial(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return Date::FromCalendar(y, m, d, h, mi, s).SerialNumber();
}

XlsFile SaveAndRead(const Workbook& book, const TempFolder& dir, const std::string& name = "book.xls") {
  const std::string path = dir.File(name);
  spreadsheet::SaveWorkbook(book, path);
  return ReadWithFreexl(path);
}

// --- what the independent reader sees -----------------------------------------------------------------

TEST(WorkbookFile, IndependentReaderSeesEveryCellWithItsType) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Orders");
  Worksheet& s = *book.Sheet(0);
  const std::vector<std::pair<Cell, std::string>> cells = {
      {Cell::Text("Name"), "text Name"},
      {Cell::Number(42), "int 42"},                              // a 30-bit integer
      {Cell::Number(-7), "int -7"},
      {Cell::Number(1.5), "double 1.5"},                         // a double with a short mantissa
      {Cell::Number(12.34), "double 12.34"},                     // a hundredth of an integer
      {Cell::Number(0.1), "double 0.1"},                         // no short form: a full double
      {Cell::Number(4294967296.0), "double 4294967296"},         // beyond 30 bits
      {Cell::Number(Serial(2026, 12, 6), NumberFormat::Date), "date 2026-12-06"},
      {Cell::Number(Serial(2026, 12, 6, 15, 30), NumberFormat::DateTime), "datetime 2026-12-06 15:30:00"},
      {Cell::Number(Serial(1899, 12, 30, 10, 30), NumberFormat::Time), "time 10:30:00"},
      {Cell::Text("Kümmel \"fine\" 中文 🌶"), "text Kümmel \"fine\" 中文 🌶"},
      {Cell::Text(""), "null"},                                  // empty text is no cell
  };
  for (size_t i = 0; i < cells.size(); ++i) s.Set(static_cast<int32_t>(i / 4), static_cast<int32_t>(i % 4), cells[i].first);

  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  EXPECT_EQ(file.biffVersion, 8u);
  ASSERT_EQ(file.sheets.size(), 1u);
  EXPECT_EQ(file.sheets[0].name, "Orders");
  EXPECT_EQ(file.sheets[0].rows, 3u);
  EXPECT_EQ(file.sheets[0].columns, 4u);
  for (size_t i = 0; i < cells.size(); ++i)
    EXPECT_EQ(file.sheets[0].At(static_cast<uint32_t>(i / 4), static_cast<uint32_t>(i % 4)).Describe(), cells[i].second)
        << "cell " << i;
}

TEST(WorkbookFile, SheetsKeepTheirOrderNamesAndPlaces) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("First");
  book.InsertSheet(1, std::make_shared<Worksheet>("Zweite Übersicht"));
  book.InsertSheet(2, std::make_shared<Worksheet>("Empty"));
  book.Sheet(0)->Set(0, 0, Cell::Text("one"));
  book.Sheet(1)->Set(4, 2, Cell::Text("two"));  // not starting at A1
  book.Sheet(1)->Set(9, 3, Cell::Number(2));

  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  ASSERT_EQ(file.sheets.size(), 3u);
  EXPECT_EQ(file.sheets[0].name, "First");
  EXPECT_EQ(file.sheets[1].name, "Zweite Übersicht");
  EXPECT_EQ(file.sheets[2].name, "Empty");
  EXPECT_EQ(file.sheets[0].At(0, 0).Describe(), "text one");
  EXPECT_EQ(file.sheets[1].At(4, 2).Describe(), "text two");
  EXPECT_EQ(file.sheets[1].At(9, 3).Describe(), "int 2");
  EXPECT_EQ(file.sheets[1].At(0, 0).Describe(), "null");
  EXPECT_EQ(file.sheets[2].rows, 0u);
}

// Strings of every length from 1 to 400 characters, narrow and wide, fill the shared string table
// past many record boundaries: every way a string can meet a boundary occurs. Strings too long for
// two records are read back by the engine's own reader only: libfreexl 1.0 follows a string over
// one record boundary, not over several.
TEST(WorkbookFile, SharedStringsSplitAcrossContinueRecordsReadBackWhole) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Strings");
  std::vector<std::string> expected;
  for (int32_t i = 0; i < 800; ++i) {
    const size_t length = static_cast<size_t>(i % 400) + 1;
    std::string s;
    for (size_t k = 0; k < length; ++k) s += i % 2 ? "é" : std::string(1, static_cast<char>('a' + (i + k) % 26));
    if (i % 3 == 0) s += "Ω";  // a character of 16 bits makes the whole string wide
    expected.push_back(s);
    book.Sheet(0)->Set(i, 0, Cell::Text(s));
  }
  auto repeat = [](const char* s, int n) {
    std::string r;
    for (int k = 0; k < n; ++k) r += s;
    return r;
  };
  const std::string narrow = repeat("x", 8000), wide = repeat("中", 4000);
  book.Sheet(0)->Set(0, 1, Cell::Text(narrow));
  book.Sheet(0)->Set(1, 1, Cell::Text(wide));
  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  const XlsSheet& sheet = file.sheets.at(0);
  for (uint32_t i = 0; i < expected.size(); ++i) ASSERT_EQ(sheet.At(i, 0).text, expected[i]) << "row " << i;
  EXPECT_EQ(sheet.At(0, 1).text, narrow);
  EXPECT_EQ(sheet.At(1, 1).text, wide);

  const std::string longest = repeat("y", 32767), longWide = repeat("中", 9000);
  book.Sheet(0)->Set(2, 1, Cell::Text(longest));
  book.Sheet(0)->Set(3, 1, Cell::Text(longWide));
  const Workbook again = spreadsheet::ReadWorkbookFile(spreadsheet::WriteWorkbookFile(book));
  for (int32_t i = 0; i < static_cast<int32_t>(expected.size()); ++i)
    ASSERT_EQ(again.Sheet(0)->Find(i, 0)->text, expected[static_cast<size_t>(i)]) << "row " << i;
  EXPECT_EQ(again.Sheet(0)->Find(2, 1)->text, longest);
  EXPECT_EQ(again.Sheet(0)->Find(3, 1)->text, longWide);
  // One character more than a cell holds is refused, not cut.
  book.Sheet(0)->Set(4, 1, Cell::Text(longest + "z"));
  EXPECT_THROW(spreadsheet::WriteWorkbookFile(book), Error);
}

// A workbook of more than 7 MB needs more allocation-table sectors than the header lists.
TEST(WorkbookFile, LargeWorkbookReadsBackToItsLastCell) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Big");
  Worksheet& s = *book.Sheet(0);
  for (int32_t r = 0; r < spreadsheet::kMaxRows; ++r)
    for (int32_t c = 0; c < 8; ++c) s.Set(r, c, Cell::Number(r + c / 10.0 + 0.001));
  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  EXPECT_GT(std::filesystem::file_size(dir.File("book.xls")), 109u * 128 * 512);
  const XlsSheet& sheet = file.sheets.at(0);
  EXPECT_EQ(sheet.rows, 65536u);
  EXPECT_DOUBLE_EQ(sheet.At(0, 0).number, 0.001);
  EXPECT_DOUBLE_EQ(sheet.At(65535, 7).number, 65535.701);
  EXPECT_DOUBLE_EQ(sheet.At(40000, 3).number, 40000.301);
}

// The file's 1900 date system counts a 29 February 1900 that never was, so its serial numbers
// of January and February 1900 are one less than the runtime's; every reader agrees on them.
// A date before 1 January 1900 has no serial number there and stays text.
TEST(WorkbookFile, DatesOfJanuaryAndFebruary1900KeepTheirDayAndEarlierDatesStayText) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Dates");
  const std::vector<std::pair<std::string, std::string>> typed = {
      {"12/31/1899", "text 12/31/1899"},
      {"1/1/1900", "date 1900-01-01"},
      {"1/1/1900 6:00", "datetime 1900-01-01 06:00:00"},
      {"2/28/1900", "date 1900-02-28"},
      {"3/1/1900", "date 1900-03-01"},
      {"12/6/2026", "date 2026-12-06"},
      {"10:30", "time 10:30:00"},
  };
  for (size_t i = 0; i < typed.size(); ++i)
    book.Sheet(0)->Set(static_cast<int32_t>(i), 0, spreadsheet::EnterText(typed[i].first));
  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  for (size_t i = 0; i < typed.size(); ++i)
    EXPECT_EQ(file.sheets.at(0).At(static_cast<uint32_t>(i), 0).Describe(), typed[i].second) << typed[i].first;

  // Read back, each cell holds and shows the day it was given.
  const Workbook again = spreadsheet::LoadWorkbook(dir.File("book.xls"));
  for (size_t i = 0; i < typed.size(); ++i) {
    const Cell* cell = again.Sheet(0)->Find(static_cast<int32_t>(i), 0);
    const Cell& given = *book.Sheet(0)->Find(static_cast<int32_t>(i), 0);
    ASSERT_NE(cell, nullptr) << typed[i].first;
    EXPECT_EQ(spreadsheet::DisplayText(*cell), spreadsheet::DisplayText(given)) << typed[i].first;
    EXPECT_TRUE(*cell == given) << typed[i].first;
  }
}

// The process may write files of at most `bytes` while it lives; a longer write fails (EFBIG).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldSignal_)(int) = nullptr;
};

// Saving replaces the file whole or leaves it as it was: nothing of a longer older file survives
// past the new end, a write that fails midway leaves the older file, and no temporary file is
// left beside it either way.
TEST(WorkbookFile, SavingReplacesAFileWholeOrLeavesItAsItWas) {
  TempFolder dir;
  const std::string path = dir.File("book.xls");
  const std::vector<uint8_t> older(200000, 'Z');
  Workbook book = Workbook::WithSheet("New");
  book.Sheet(0)->Set(0, 0, Cell::Text("short"));
  WriteBytes(path, older);
  spreadsheet::SaveWorkbook(book, path);
  EXPECT_EQ(ReadBytes(path), spreadsheet::WriteWorkbookFile(book));
  EXPECT_EQ(ReadWithFreexl(path).sheets.at(0).At(0, 0).Describe(), "text short");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"book.xls"});

  Workbook big = Workbook::WithSheet("Big");
  for (int32_t r = 0; r < 4000; ++r) big.Sheet(0)->Set(r, 0, Cell::Number(r + 0.1));
  WriteBytes(path, older);
  {
    FileSizeLimit limit(32 * 1024);
    try {
      spreadsheet::SaveWorkbook(big, path);
      ADD_FAILURE() << "a file over the size limit was saved";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 1004);
      EXPECT_EQ(e.Description().rfind("'" + path + "' could not be saved: ", 0), 0u) << e.Description();
    }
  }
  EXPECT_TRUE(ReadBytes(path) == older);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"book.xls"});

  // A folder where the file should be is refused and stays.
  std::filesystem::create_directory(dir.File("folder.xls"));
  EXPECT_THROW(spreadsheet::SaveWorkbook(book, dir.File("folder.xls")), Error);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.xls")));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"book.xls", "folder.xls"}));
}

TEST(WorkbookFile, TheEmbeddedTemplateIsAnEmptyWorkbookWithOneSheetExport) {
  TempFolder dir;
  const std::vector<uint8_t> bytes = platform::LoadResData(101, "XLS");
  WriteBytes(dir.File("template.xls"), bytes);
  const XlsFile file = ReadWithFreexl(dir.File("template.xls"));
  ASSERT_EQ(file.openResult, FREEXL_OK);
  EXPECT_EQ(file.biffVersion, 8u);
  ASSERT_EQ(file.sheets.size(), 1u);
  EXPECT_EQ(file.sheets[0].name, "Export");
  EXPECT_EQ(file.sheets[0].rows, 0u);
}

// --- the engine's own reader ----------------------------------------------------------------------------

TEST(WorkbookReader, KeepsWhatTheFileHolds) {
  Workbook book = Workbook::WithSheet("A");
  book.InsertSheet(1, std::make_shared<Worksheet>("B"));
  book.SetActiveSheet(1);
  book.SetWindowHidden(true);
  Worksheet& b = *book.Sheet(1);
  b.Set(0, 0, Cell::Boolean(true));
  b.Set(0, 1, Cell::Error(0x07));
  b.Set(1, 0, Cell::Number(Serial(2026, 1, 2, 3, 4, 5), NumberFormat::DateTime));
  b.Set(70, 200, Cell::Number(-1e-300));
  b.SetColumnWidth(3, 5000);
  b.SetActiveCell({12, 5});

  const Workbook again = spreadsheet::ReadWorkbookFile(spreadsheet::WriteWorkbookFile(book));
  ASSERT_EQ(again.SheetCount(), 2);
  EXPECT_EQ(again.ActiveSheet(), 1);
  EXPECT_TRUE(again.WindowHidden());
  const Worksheet& b2 = *again.Sheet(1);
  EXPECT_EQ(*b2.Find(0, 0), Cell::Boolean(true));
  EXPECT_EQ(*b2.Find(0, 1), Cell::Error(0x07));
  EXPECT_EQ(*b2.Find(1, 0), Cell::Number(Serial(2026, 1, 2, 3, 4, 5), NumberFormat::DateTime));
  EXPECT_EQ(*b2.Find(70, 200), Cell::Number(-1e-300));
  EXPECT_EQ(b2.ColumnWidth(3), 5000);
  EXPECT_EQ(b2.ColumnWidth(2), std::nullopt);
  EXPECT_EQ(b2.ActiveCell(), (spreadsheet::CellRef{12, 5}));
  EXPECT_EQ(b2.CellCount(), 4u);
}

// Records a workbook of another writer may hold, built byte by byte.
class BiffStream {
 public:
  void Record(uint16_t id, const std::vector<uint8_t>& data) {
    spreadsheet::le::Put16(bytes, id);
    spreadsheet::le::Put16(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
  }
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Data(std::initializer_list<uint32_t> words16) {
  std::vector<uint8_t> d;
  for (uint32_t w : words16) spreadsheet::le::Put16(d, w);
  return d;
}
void Append32(std::vector<uint8_t>& d, uint32_t v) { spreadsheet::le::Put32(d, v); }
void AppendDouble(std::vector<uint8_t>& d, double v) { spreadsheet::le::PutDouble(d, v); }
// A string with a 16-bit count, 8-bit characters.
void AppendString(std::vector<uint8_t>& d, const std::string& latin1) {
  spreadsheet::le::Put16(d, static_cast<uint32_t>(latin1.size()));
  d.push_back(0);
  d.insert(d.end(), latin1.begin(), latin1.end());
}

TEST(WorkbookReader, ReadsRecordsOtherWritersUse) {
  BiffStream s;
  auto bof = [&](uint16_t type) {
    auto d = Data({0x0600, type, 0, 0, 0, 0, 0, 0});
    s.Record(0x0809, d);
  };
  bof(0x0005);
  s.Record(0x0022, Data({1}));  // the 1904 date system
  {
    auto d = Data({164});
    AppendString(d, "yyyy\\-mm\\-dd hh:mm");
    s.Record(0x041E, d);
  }
  for (int i = 0; i < 18; ++i) s.Record(0x00E0, Data({0, i == 16 ? 164u : i == 17 ? 14u : 0u, 0, 0, 0, 0, 0, 0, 0, 0}));
  const size_t sheetOffsetAt = s.bytes.size() + 4;
  {
    auto d = Data({0, 0, 0});
    d.push_back(4);
    d.push_back(0);
    d.insert(d.end(), {'D', 'a', 't', 'a'});
    s.Record(0x0085, d);
  }
  {
    auto d = Data({});
    Append32(d, 1);
    Append32(d, 1);
    AppendString(d, "shared");
    s.Record(0x00FC, d);
  }
  s.Record(0x000A, {});
  spreadsheet::le::Set32(s.bytes, sheetOffsetAt, static_cast<uint32_t>(s.bytes.size()));
  bof(0x0010);
  {
    auto d = Data({0, 0, 15, 3});  // LABEL A1: three characters of 16 bits
    d.push_back(1);
    for (uint32_t u : {0x00E9u, 0x4E2Du, 0x0021u}) spreadsheet::le::Put16(d, u);
    s.Record(0x0204, d);
  }
  {
    auto d = Data({0, 1, 15});
    Append32(d, 0);
    s.Record(0x00FD, d);  // LABELSST B1
  }
  {
    auto d = Data({1, 0, 15});  // MULRK A2:C2
    Append32(d, (10u << 2) | 2);
    spreadsheet::le::Put16(d, 15);
    Append32(d, 0x3FE00000);  // 0.5
    spreadsheet::le::Put16(d, 17);
    Append32(d, (44900u << 2) | 2);  // a date, 1904 system
    spreadsheet::le::Put16(d, 2);
    s.Record(0x00BD, d);
  }
  auto formula = [&](uint16_t column, std::vector<uint8_t> result) {
    auto d = Data({2, column, 15});
    d.insert(d.end(), result.begin(), result.end());
    for (int k = 0; k < 8; ++k) d.push_back(0);
    s.Record(0x0006, d);
  };
  {
    std::vector<uint8_t> r;
    AppendDouble(r, 3.25);
    formula(0, r);
    formula(1, {0, 0, 0, 0, 0, 0, 0xFF, 0xFF});  // text, in the STRING record that follows
    auto d = std::vector<uint8_t>{};
    AppendString(d, "total");
    s.Record(0x0207, d);
    formula(2, {1, 0, 1, 0, 0, 0, 0xFF, 0xFF});  // TRUE
  }
  {
    auto d = Data({3, 0, 15});
    d.push_back(0x07);
    d.push_back(1);
    s.Record(0x0205, d);  // #DIV/0!
  }
  {
    auto d = Data({3, 1, 16});
    AppendDouble(d, 1000.75);
    s.Record(0x0203, d);
  }
  s.Record(0x000A, {});

  const Workbook book = spreadsheet::ReadWorkbookFile(spreadsheet::cfb::Write("Workbook", s.bytes));
  ASSERT_EQ(book.SheetCount(), 1);
  const Worksheet& sheet = *book.Sheet(0);
  EXPECT_EQ(sheet.Name(), "Data");
  EXPECT_EQ(sheet.Find(0, 0)->text, "é中!");
  EXPECT_EQ(sheet.Find(0, 1)->text, "shared");
  EXPECT_EQ(*sheet.Find(1, 0), Cell::Number(10));
  EXPECT_EQ(*sheet.Find(1, 1), Cell::Number(0.5));
  EXPECT_EQ(*sheet.Find(1, 2), Cell::Number(44900 + 1462, NumberFormat::Date));
  EXPECT_EQ(*sheet.Find(2, 0), Cell::Number(3.25));
  EXPECT_EQ(*sheet.Find(2, 1), Cell::Text("total"));
  EXPECT_EQ(*sheet.Find(2, 2), Cell::Boolean(true));
  EXPECT_EQ(*sheet.Find(3, 0), Cell::Error(0x07));
  EXPECT_EQ(*sheet.Find(3, 1), Cell::Number(1000.75 + 1462, NumberFormat::DateTime));
}

// Where the records of a written stream are: (id, position of the record header).
std::vector<std::pair<uint16_t, size_t>> RecordsOf(const std::vector<uint8_t>& stream) {
  std::vector<std::pair<uint16_t, size_t>> out;
  for (size_t at = 0; at + 4 <= stream.size(); at += 4 + spreadsheet::le::Get16(stream, at + 2))
    out.emplace_back(static_cast<uint16_t>(spreadsheet::le::Get16(stream, at)), at);
  return out;
}

size_t FirstRecord(const std::vector<uint8_t>& stream, uint16_t id) {
  for (auto [rid, at] : RecordsOf(stream))
    if (rid == id) return at;
  ADD_FAILURE() << "no record " << id;
  return 0;
}

TEST(WorkbookReader, RefusesDamagedFilesWithError1004) {
  Workbook book = Workbook::WithSheet("Sheet1");
  book.Sheet(0)->Set(0, 0, Cell::Text("x"));
  const std::vector<uint8_t> stream = spreadsheet::WriteWorkbookStream(book);
  const std::vector<uint8_t> file = spreadsheet::cfb::Write("Workbook", stream);
  const uint32_t dirSector = spreadsheet::le::Get32(file, 0x30);

  struct Damage {
    const char* what;
    std::function<std::vector<uint8_t>()> make;
  };
  const std::vector<Damage> damages = {
      {"no compound file", [&] { return std::vector<uint8_t>(file.begin() + 8, file.end()); }},
      {"cut short", [&] { return std::vector<uint8_t>(file.begin(), file.begin() + 700); }},
      {"a sector chain in a loop",
       [&] {
         auto f = file;
         spreadsheet::le::Set32(f, 512 + 4 * dirSector, dirSector);
         return f;
       }},
      {"no Workbook stream",
       [&] {
         auto f = file;
         f[(dirSector + 1) * 512 + 128] = 'X';
         return f;
       }},
      {"an older format",
       [&] {
         auto s = stream;
         spreadsheet::le::Set16(s, 4, 0x0500);
         return spreadsheet::cfb::Write("Workbook", s);
       }},
      {"a chart sheet",
       [&] {
         auto s = stream;
         s[FirstRecord(s, 0x0085) + 4 + 5] = 2;
         return spreadsheet::cfb::Write("Workbook", s);
       }},
      {"a string index past the table",
       [&] {
         auto s = stream;
         spreadsheet::le::Set32(s, FirstRecord(s, 0x00FD) + 4 + 6, 5);
         return spreadsheet::cfb::Write("Workbook", s);
       }},
      {"a sheet without its end",
       [&] {
         auto s = stream;
         s.resize(FirstRecord(s, 0x023E));
         return spreadsheet::cfb::Write("Workbook", s);
       }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    try {
      spreadsheet::ReadWorkbookFile(d.make());
      ADD_FAILURE() << "read without an error";
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), 1004);
      EXPECT_EQ(e.Description().rfind("The file is not a readable workbook: ", 0), 0u) << e.Description();
    }
  }
}

// --- the shared string table's records -------------------------------------------------------------------

// Where the records of the shared string table cut its strings: the UTF-16 code unit before each
// cut inside a string and the one after it (for 8-bit characters, the character codes). A
// string's header (length and flags) must lie whole in one record.
struct Cut {
  uint32_t before, after;
};
std::vector<Cut> SharedStringCuts(const std::vector<uint8_t>& stream) {
  using spreadsheet::le::Get16;
  std::vector<std::vector<uint8_t>> records;  // the SST record's data, then its CONTINUE records'
  const auto all = RecordsOf(stream);
  size_t i = 0;
  while (i < all.size() && all[i].first != spreadsheet::biff::kSst) ++i;
  for (; i < all.size() && (records.empty() || all[i].first == spreadsheet::biff::kContinue); ++i) {
    const auto data = stream.begin() + static_cast<ptrdiff_t>(all[i].second + 4);
    records.emplace_back(data, data + Get16(stream, all[i].second + 2));
  }
  std::vector<Cut> cuts;
  if (records.empty()) {
    ADD_FAILURE() << "no SST record";
    return cuts;
  }
  const uint32_t unique = spreadsheet::le::Get32(records[0], 4);
  size_t r = 0, at = 8;
  for (uint32_t s = 0; s < unique; ++s) {
    if (at == records[r].size()) {  // a string that starts a record has no width flag before it
      ++r;
      at = 0;
    }
    if (r == records.size() || at + 3 > records[r].size()) {
      ADD_FAILURE() << "the header of string " << s << " does not lie whole in one record";
      return cuts;
    }
    const uint32_t n = Get16(records[r], at);
    bool wide = records[r][at + 2] & 1;
    EXPECT_EQ(records[r][at + 2] & ~1, 0) << "string " << s << ": no rich text, no extra data";
    at += 3;
    uint32_t last = 0;
    for (uint32_t k = 0; k < n; ++k) {
      bool cut = false;
      if (at == records[r].size()) {
        if (++r == records.size()) {
          ADD_FAILURE() << "string " << s << " runs past the table";
          return cuts;
        }
        wide = records[r][0] & 1;  // the characters go on after their width flag
        at = 1;
        cut = true;
      }
      const uint32_t unit = wide ? Get16(records[r], at) : records[r][at];
      at += wide ? 2 : 1;
      if (cut) cuts.push_back({last, unit});
      last = unit;
    }
  }
  return cuts;
}

std::string Repeat(std::string_view s, size_t n) {
  std::string r;
  r.reserve(s.size() * n);
  for (size_t k = 0; k < n; ++k) r += s;
  return r;
}

// A record boundary inside a string falls between two characters, never between the two halves
// of a surrogate pair: readers decode each record's characters on their own. Strings of one to
// two records' length, of characters beyond 16 bits alone or mixed with 16-bit ones, after zero
// to two ASCII letters, meet the boundaries at both offsets a pair can have.
TEST(SharedStringRecords, NeverCutACharacterInTwo) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Faces");
  // First in the table: its 4,111 code units meet the first boundary after 4,106 of them.
  std::vector<std::string> expected = {"q" + Repeat("😀", 2055)};
  for (size_t k = 0; k < 48; ++k)
    expected.push_back(std::string(k % 3, 'q') + (k % 2 ? Repeat("😀", 2056 + k) : Repeat("😀中", 1371 + k)));
  for (size_t i = 0; i < expected.size(); ++i) book.Sheet(0)->Set(static_cast<int32_t>(i), 0, Cell::Text(expected[i]));

  const std::vector<Cut> cuts = SharedStringCuts(spreadsheet::WriteWorkbookStream(book));
  ASSERT_GE(cuts.size(), expected.size());  // every string of this length is cut once
  auto high = [](uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
  auto low = [](uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
  size_t beforeAFace = 0;
  for (size_t i = 0; i < cuts.size(); ++i) {
    EXPECT_FALSE(high(cuts[i].before)) << "cut " << i << " comes after half a character";
    EXPECT_FALSE(low(cuts[i].after)) << "cut " << i << " starts a record with half a character";
    beforeAFace += high(cuts[i].after) ? 1 : 0;
  }
  EXPECT_GT(beforeAFace, 10u) << "the cuts should fall in runs of characters beyond 16 bits";

  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(file.sheets.at(0).At(static_cast<uint32_t>(i), 0).text == expected[i])
        << "row " << i << ": " << file.sheets[0].At(static_cast<uint32_t>(i), 0).text.size() << " bytes read";
}

}  // namespace
}  // namespace tamarind::testing
