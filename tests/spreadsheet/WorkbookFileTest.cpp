// The .xls files the workbook engine writes, read by libfreexl (a reader this project did not
// write) and by the engine's own reader, and the engine's reader facing other writers' records
// and damaged files.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/Biff8Records.h"
#include "platform/spreadsheet/CellText.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
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

XlsFile SaveAndRead(const Workbook& book, const TempFolder& dir) {
  const std::string path = dir.File("book.xls");
  spreadsheet::SaveWorkbook(book, path);
  return ReadWithFreexl(path);
}

// --- what the independent reader sees -----------------------------------------------------------------

std::string Repeat(std::string_view s, size_t n) {
  std::string r;
  r.reserve(s.size() * n);
  for (size_t k = 0; k < n; ++k) r += s;
  return r;
}

TEST(WorkbookFile, IndependentReaderSeesEverySheetAndCellWithItsType) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Orders");
  book.InsertSheet(1, std::make_shared<Worksheet>("Zweite Übersicht"));
  book.InsertSheet(2, std::make_shared<Worksheet>("Empty"));
  const std::vector<std::pair<Cell, std::string>> cells = {
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
  for (size_t i = 0; i < cells.size(); ++i) book.Sheet(0)->Set(static_cast<int32_t>(i / 4), static_cast<int32_t>(i % 4), cells[i].first);
  book.Sheet(1)->Set(4, 2, Cell::Text("two"));  // not starting at A1
  book.Sheet(1)->Set(9, 3, Cell::Number(2));

  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  EXPECT_EQ(file.biffVersion, 8u);
  ASSERT_EQ(file.sheets.size(), 3u);
  EXPECT_EQ(file.sheets[0].name + "|" + file.sheets[1].name + "|" + file.sheets[2].name, "Orders|Zweite Übersicht|Empty");
  EXPECT_EQ(file.sheets[0].rows, 3u);
  EXPECT_EQ(file.sheets[0].columns, 4u);
  for (size_t i = 0; i < cells.size(); ++i)
    EXPECT_EQ(file.sheets[0].At(static_cast<uint32_t>(i / 4), static_cast<uint32_t>(i % 4)).Describe(), cells[i].second)
        << "cell " << i;
  EXPECT_EQ(file.sheets[1].At(4, 2).Describe(), "text two");
  EXPECT_EQ(file.sheets[1].At(9, 3).Describe(), "int 2");
  EXPECT_EQ(file.sheets[2].rows, 0u);
}

// Strings of every length from 1 to 400 characters, narrow and wide, fill the shared string table
// past many record boundaries: every way a string can meet a boundary occurs. Strings too long for
// two records are read back by the engine's own reader only: libfreexl 1.0 follows a string over
// one record boundary, not over several (tests/readers has other readers read them).
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
  const XlsFile file = SaveAndRead(book, dir);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  for (uint32_t i = 0; i < expected.size(); ++i) ASSERT_EQ(file.sheets.at(0).At(i, 0).text, expected[i]) << "row " << i;

  const std::string longest = Repeat("y", 32767), longWide = Repeat("中", 9000);
  book.Sheet(0)->Set(0, 1, Cell::Text(longest));
  book.Sheet(0)->Set(1, 1, Cell::Text(longWide));
  const Workbook again = spreadsheet::ReadWorkbookFile(spreadsheet::WriteWorkbookFile(book));
  for (int32_t i = 0; i < static_cast<int32_t>(expected.size()); ++i)
    ASSERT_EQ(again.Sheet(0)->Find(i, 0)->text, expected[static_cast<size_t>(i)]) << "row " << i;
  EXPECT_EQ(again.Sheet(0)->Find(0, 1)->text, longest);
  EXPECT_EQ(again.Sheet(0)->Find(1, 1)->text, longWide);
  // One character more than a cell holds is refused, not cut.
  book.Sheet(0)->Set(2, 1, Cell::Text(longest + "z"));
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
}

// The process may write files of at most `bytes` while it lives; a longer write fails (EFBIG).
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) : signal(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limit{bytes, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, signal);
  }
  rlimit old{};
  void (*signal)(int);
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
  // The file's serial numbers of January and February 1900 are one less than the runtime's (its
  // date system counts a 29 February 1900): read back, the days are the ones given.
  b.Set(2, 0, Cell::Number(Serial(1900, 1, 1), NumberFormat::Date));
  b.Set(2, 1, Cell::Number(Serial(1900, 2, 28, 6), NumberFormat::DateTime));
  b.Set(2, 2, Cell::Number(Serial(1900, 3, 1), NumberFormat::Date));
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
  for (int32_t c = 0; c < 3; ++c) EXPECT_EQ(*b2.Find(2, c), *b.Find(2, c)) << c;
  EXPECT_EQ(*b2.Find(70, 200), Cell::Number(-1e-300));
  EXPECT_EQ(b2.ColumnWidth(3), 5000);
  EXPECT_EQ(b2.ActiveCell(), (spreadsheet::CellRef{12, 5}));
  EXPECT_EQ(b2.CellCount(), 7u);
}

// The data of a record another writer may make, built byte by byte: 16-bit words, unless said.
struct Data {
  Data(std::initializer_list<uint32_t> words16 = {}) { W(words16); }
  Data& W(std::initializer_list<uint32_t> words16) {
    for (uint32_t w : words16) spreadsheet::le::Put16(bytes, w);
    return *this;
  }
  Data& B(std::initializer_list<uint8_t> v) { return bytes.insert(bytes.end(), v), *this; }
  Data& L(uint32_t v) { return spreadsheet::le::Put32(bytes, v), *this; }
  Data& F(double v) { return spreadsheet::le::PutDouble(bytes, v), *this; }
  // A string with a 16-bit count, 8-bit characters.
  Data& S(const std::string& latin1) {
    W({static_cast<uint32_t>(latin1.size())}).B({0});
    return bytes.insert(bytes.end(), latin1.begin(), latin1.end()), *this;
  }
  std::vector<uint8_t> bytes;
};

TEST(WorkbookReader, ReadsRecordsOtherWritersUse) {
  std::vector<uint8_t> s;
  auto record = [&](uint16_t id, const Data& d) {
    spreadsheet::le::Put16(s, id);
    spreadsheet::le::Put16(s, static_cast<uint32_t>(d.bytes.size()));
    s.insert(s.end(), d.bytes.begin(), d.bytes.end());
  };
  record(0x0809, Data({0x0600, 0x0005, 0, 0, 0, 0, 0, 0}));
  record(0x0022, Data({1}));  // the 1904 date system
  record(0x041E, Data({164}).S("yyyy\\-mm\\-dd hh:mm"));
  for (int i = 0; i < 18; ++i) record(0x00E0, Data({0, i == 16 ? 164u : i == 17 ? 14u : 0u, 0, 0, 0, 0, 0, 0, 0, 0}));
  const size_t sheetOffsetAt = s.size() + 4;
  record(0x0085, Data({0, 0, 0}).B({4, 0, 'D', 'a', 't', 'a'}));
  record(0x00FC, Data().L(1).L(1).S("shared"));
  record(0x000A, Data());
  spreadsheet::le::Set32(s, sheetOffsetAt, static_cast<uint32_t>(s.size()));
  record(0x0809, Data({0x0600, 0x0010, 0, 0, 0, 0, 0, 0}));
  record(0x0204, Data({0, 0, 15, 3}).B({1}).W({0x00E9, 0x4E2D, 0x0021}));  // LABEL A1: three 16-bit characters
  record(0x00FD, Data({0, 1, 15}).L(0));                                    // LABELSST B1
  // MULRK A2:C2: 10, 0.5 and a date of the 1904 system
  record(0x00BD, Data({1, 0, 15}).L((10u << 2) | 2).W({15}).L(0x3FE00000).W({17}).L((44900u << 2) | 2).W({2}));
  // FORMULA A3:C3 with their results: a number, a text in the STRING record that follows, TRUE
  record(0x0006, Data({2, 0, 15}).F(3.25).W({0, 0, 0, 0}));
  record(0x0006, Data({2, 1, 15}).B({0, 0, 0, 0, 0, 0, 0xFF, 0xFF}).W({0, 0, 0, 0}));
  record(0x0207, Data().S("total"));
  record(0x0006, Data({2, 2, 15}).B({1, 0, 1, 0, 0, 0, 0xFF, 0xFF}).W({0, 0, 0, 0}));
  record(0x0205, Data({3, 0, 15}).B({0x07, 1}));  // #DIV/0!
  record(0x0203, Data({3, 1, 16}).F(1000.75));
  record(0x000A, Data());

  const Workbook book = spreadsheet::ReadWorkbookFile(spreadsheet::cfb::Write("Workbook", s));
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

  using spreadsheet::le::Set32;
  struct Damage {
    const char* what;
    bool toStream;  // else to the compound file around it
    std::function<void(std::vector<uint8_t>&)> harm;
  };
  const std::vector<Damage> damages = {
      {"no compound file", false, [](auto& f) { f.erase(f.begin(), f.begin() + 8); }},
      {"cut short", false, [](auto& f) { f.resize(700); }},
      {"a sector chain in a loop", false, [&](auto& f) { Set32(f, 512 + 4 * dirSector, dirSector); }},
      {"no Workbook stream", false, [&](auto& f) { f[(dirSector + 1) * 512 + 128] = 'X'; }},
      {"an older format", true, [](auto& s) { spreadsheet::le::Set16(s, 4, 0x0500); }},
      {"a chart sheet", true, [](auto& s) { s[FirstRecord(s, 0x0085) + 4 + 5] = 2; }},
      {"a string index past the table", true, [](auto& s) { Set32(s, FirstRecord(s, 0x00FD) + 4 + 6, 5); }},
      {"a sheet without its end", true, [](auto& s) { s.resize(FirstRecord(s, 0x023E)); }},
  };
  for (const Damage& d : damages) {
    std::vector<uint8_t> bytes = d.toStream ? stream : file;
    d.harm(bytes);
    if (d.toStream) bytes = spreadsheet::cfb::Write("Workbook", bytes);
    SCOPED_TRACE(d.what);
    try {
      spreadsheet::ReadWorkbookFile(bytes);
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
  for (auto [id, at] : RecordsOf(stream)) {
    if (id == spreadsheet::biff::kSst || (!records.empty() && id == spreadsheet::biff::kContinue))
      records.emplace_back(stream.begin() + static_cast<ptrdiff_t>(at + 4), stream.begin() + static_cast<ptrdiff_t>(at + 4 + Get16(stream, at + 2)));
    else if (!records.empty()) break;
  }
  std::vector<Cut> cuts;
  size_t r = 0, at = 8;
  const uint32_t unique = records.empty() ? 0 : spreadsheet::le::Get32(records[0], 4);
  for (uint32_t s = 0; s < unique; ++s) {
    if (at == records[r].size()) ++r, at = 0;  // a string that starts a record has no width flag before it
    if (r == records.size() || at + 3 > records[r].size()) {
      ADD_FAILURE() << "the header of string " << s << " does not lie whole in one record";
      return cuts;
    }
    const uint32_t n = Get16(records[r], at);
    bool wide = records[r][at + 2] & 1;
    EXPECT_EQ(records[r][at + 2] & ~1, 0) << "string " << s << ": no rich text, no extra data";
    at += 3;
    for (uint32_t k = 0, last = 0; k < n; ++k) {
      const bool cut = at == records[r].size();
      if (cut && ++r == records.size()) {
        ADD_FAILURE() << "string " << s << " runs past the table";
        return cuts;
      }
      if (cut) wide = records[r][0] & 1, at = 1;  // the characters go on after their width flag
      const uint32_t unit = wide ? Get16(records[r], at) : records[r][at];
      at += wide ? 2 : 1;
      if (cut) cuts.push_back({last, unit});
      last = unit;
    }
  }
  EXPECT_FALSE(records.empty()) << "no SST record";
  return cuts;
}

// A record boundary inside a string falls between two characters, never between the two halves
// of a surrogate pair: readers decode each record's characters on their own. Strings of one to
// two records' length, of characters beyond 16 bits alone or mixed with 16-bit ones, after zero
// to two ASCII letters, meet the boundaries at both offsets a pair can have.
TEST(SharedStringRecords, NeverCutACharacterInTwo) {
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
  // tests/readers has four outside readers read such strings back.
}

}  // namespace
}  // namespace tamarind::testing
