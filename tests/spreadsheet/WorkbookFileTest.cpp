// The .xls files the workbook engine writes, read by libfreexl (a reader this project did not
// write) and by the engine's own reader, and the engine's reader facing other writers' records
// and damaged files.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/Biff8Records.h"
#include "platform/spreadsheet/CompoundFile.h"
#include "platform/spreadsheet/LittleEndian.h"
#include "runtime/Date.h"
#include "runtime/Error.h"
#include "tests/spreadsheet/FreexlWorkbook.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using spreadsheet::Cell;
using spreadsheet::CellName;
using spreadsheet::NumberFormat;
using spreadsheet::Workbook;
using spreadsheet::Worksheet;

double Serial(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return Date::FromCalendar(y, m, d, h, mi, s).SerialNumber();
}

// The error a call raises: its number (0 for none, -1 for an exception that is no Error) and
// description.
std::pair<int32_t, std::string> Raised(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return {e.Number(), e.Description()};
  } catch (...) {
    return {-1, {}};
  }
  return {};
}

std::string Repeat(std::string_view s, size_t n) {
  std::string r;
  while (n--) r += s;
  return r;
}

// --- what the independent reader sees -----------------------------------------------------------------

// Every sheet with its name, cells of every kind away from A1, and a file of more than 7 MB,
// which needs more allocation-table sectors than the header lists, as libfreexl and the engine's
// own reader see them. tests/readers has four other readers read back every kind of cell the
// list exports.
TEST(WorkbookFile, BothReadersSeeEverySheetToTheLastCellOfALargeFile) {
  TempFolder dir;
  Workbook book = Workbook::WithSheet("Big");
  book.InsertSheet(1, std::make_shared<Worksheet>("Zweite Übersicht"));
  book.InsertSheet(2, std::make_shared<Worksheet>("Empty"));
  for (int32_t r = 0; r < spreadsheet::kMaxRows; ++r)
    for (int32_t c = 0; c < 8; ++c) book.Sheet(0)->Set(r, c, Cell::Number(r + c / 10.0 + 0.001));
  book.SetActiveSheet(1);
  book.SetWindowHidden(true);
  Worksheet& b = *book.Sheet(1);
  // The file's serial numbers of January and February 1900 are one less than the runtime's (its
  // date system counts a 29 February 1900): read back, the days are the ones given (row 3).
  for (const auto& [r, c, cell] : std::vector<std::tuple<int32_t, int32_t, Cell>>{
           {4, 2, Cell::Text("Kümmel \"fine\" 中文 🌶")}, {9, 3, Cell::Number(-7)}, {0, 0, Cell::Boolean(true)}, {0, 1, Cell::Error(0x07)},
           {1, 0, Cell::Number(Serial(2026, 1, 2, 3, 4, 5), NumberFormat::DateTime)}, {2, 0, Cell::Number(Serial(1900, 1, 1), NumberFormat::Date)},
           {2, 1, Cell::Number(Serial(1900, 2, 28, 6), NumberFormat::DateTime)}, {2, 2, Cell::Number(Serial(1900, 3, 1), NumberFormat::Date)},
           {70, 200, Cell::Number(-1e-300)}})
    b.Set(r, c, cell);
  b.SetColumnWidth(3, 5000);
  b.SetActiveCell({12, 5});
  const std::string path = dir.File("book.xls");
  spreadsheet::SaveWorkbook(book, path);
  EXPECT_GT(std::filesystem::file_size(path), 109u * 128 * 512);

  const XlsFile file = ReadWithFreexl(path);
  ASSERT_EQ(file.openResult, FREEXL_OK);
  EXPECT_EQ(file.biffVersion, 8u);
  ASSERT_EQ(file.sheets.size(), 3u);
  EXPECT_EQ(file.sheets[0].name + "|" + file.sheets[1].name + "|" + file.sheets[2].name, "Big|Zweite Übersicht|Empty");
  EXPECT_EQ(std::pair(file.sheets[0].rows, file.sheets[0].columns), std::pair(65536u, 8u));
  EXPECT_DOUBLE_EQ(file.sheets[0].At(0, 0).number, 0.001);
  EXPECT_DOUBLE_EQ(file.sheets[0].At(65535, 7).number, 65535.701);
  EXPECT_EQ(std::pair(file.sheets[1].rows, file.sheets[1].columns), std::pair(71u, 201u));
  EXPECT_EQ(file.sheets[1].At(4, 2).Describe(), "text Kümmel \"fine\" 中文 🌶");
  EXPECT_EQ(file.sheets[1].At(9, 3).Describe(), "int -7");
  EXPECT_EQ(file.sheets[2].rows, 0u);

  const Workbook again = spreadsheet::LoadWorkbook(path);
  ASSERT_EQ(again.SheetCount(), 3);
  EXPECT_EQ(again.Sheet(1)->Name(), "Zweite Übersicht");
  EXPECT_EQ(again.ActiveSheet(), 1);
  EXPECT_TRUE(again.WindowHidden());
  EXPECT_EQ(again.Sheet(0)->CellCount(), book.Sheet(0)->CellCount());
  const Worksheet& b2 = *again.Sheet(1);
  b.ForEachCell([&](int32_t r, int32_t c, const Cell& cell) { EXPECT_EQ(b2.Find(r, c) ? *b2.Find(r, c) : Cell{}, cell) << r << "," << c; });
  EXPECT_EQ(b2.CellCount(), b.CellCount());
  EXPECT_EQ(b2.ColumnWidth(3), 5000);
  EXPECT_EQ(b2.ActiveCell(), (spreadsheet::CellRef{12, 5}));
}

// Saving replaces the file whole or leaves it as it was: nothing of a longer older file survives
// past the new end, a write that fails midway leaves the older file, and no temporary file is
// left beside it either way.
TEST(WorkbookFile, SavingReplacesAFileWholeOrLeavesItAsItWas) {
  TempFolder dir;
  const std::string path = dir.File("book.xls");
  const std::vector<uint8_t> older(200000, 'Z');
  Workbook book = Workbook::WithSheet("New"), big = Workbook::WithSheet("Big");
  book.Sheet(0)->Set(0, 0, Cell::Text("short"));
  for (int32_t r = 0; r < 4000; ++r) big.Sheet(0)->Set(r, 0, Cell::Number(r + 0.1));
  WriteBytes(path, older);
  spreadsheet::SaveWorkbook(book, path);
  EXPECT_EQ(ReadBytes(path), spreadsheet::WriteWorkbookFile(book));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"book.xls"});

  // With files limited to 32 KB, the longer write fails (EFBIG).
  WriteBytes(path, older);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  const rlimit limit{32 * 1024, old.rlim_max};
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &limit);
  const auto [number, description] = Raised([&] { spreadsheet::SaveWorkbook(big, path); });
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(number, 1004);
  EXPECT_EQ(description.rfind("'" + path + "' could not be saved: ", 0), 0u) << description;
  EXPECT_TRUE(ReadBytes(path) == older);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"book.xls"});

  // A folder where the file should be is refused and stays.
  std::filesystem::create_directory(dir.File("folder.xls"));
  EXPECT_EQ(Raised([&] { spreadsheet::SaveWorkbook(book, dir.File("folder.xls")); }).first, 1004);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.xls")));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"book.xls", "folder.xls"}));
}

// --- the engine's own reader ----------------------------------------------------------------------------

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
    for (uint32_t w : {uint32_t{id}, static_cast<uint32_t>(d.bytes.size())}) spreadsheet::le::Put16(s, w);
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
  EXPECT_EQ(book.Sheet(0)->Name(), "Data");
  std::vector<Cell> cells;
  std::string where;
  book.Sheet(0)->ForEachCell([&](int32_t r, int32_t c, const Cell& cell) { cells.push_back(cell), where += CellName({r, c}) + " "; });
  EXPECT_EQ(where, "A1 B1 A2 B2 C2 A3 B3 C3 A4 B4 ");
  EXPECT_EQ(cells, (std::vector<Cell>{Cell::Text("é中!"), Cell::Text("shared"), Cell::Number(10), Cell::Number(0.5),
                                      Cell::Number(44900 + 1462, NumberFormat::Date), Cell::Number(3.25), Cell::Text("total"),
                                      Cell::Boolean(true), Cell::Error(0x07), Cell::Number(1000.75 + 1462, NumberFormat::DateTime)}));
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
  // What is damaged, whether in the stream (else in the compound file around it), and how.
  const std::vector<std::tuple<const char*, bool, std::function<void(std::vector<uint8_t>&)>>> damages = {
      {"no compound file", false, [](auto& f) { f.erase(f.begin(), f.begin() + 8); }},
      {"cut short", false, [](auto& f) { f.resize(700); }},
      {"a sector chain in a loop", false, [&](auto& f) { Set32(f, 512 + 4 * dirSector, dirSector); }},
      {"no Workbook stream", false, [&](auto& f) { f[(dirSector + 1) * 512 + 128] = 'X'; }},
      {"an older format", true, [](auto& s) { spreadsheet::le::Set16(s, 4, 0x0500); }},
      {"a chart sheet", true, [](auto& s) { s[FirstRecord(s, 0x0085) + 4 + 5] = 2; }},
      {"a string index past the table", true, [](auto& s) { Set32(s, FirstRecord(s, 0x00FD) + 4 + 6, 5); }},
      {"a sheet without its end", true, [](auto& s) { s.resize(FirstRecord(s, 0x023E)); }},
  };
  for (const auto& [what, toStream, harm] : damages) {
    std::vector<uint8_t> bytes = toStream ? stream : file;
    harm(bytes);
    if (toStream) bytes = spreadsheet::cfb::Write("Workbook", bytes);
    const auto [number, description] = Raised([&] { spreadsheet::ReadWorkbookFile(bytes); });
    EXPECT_EQ(number, 1004) << what;
    EXPECT_EQ(description.rfind("The file is not a readable workbook: ", 0), 0u) << what << ": " << description;
  }
}

// --- the shared string table's records -------------------------------------------------------------------

// Checks where the records of the shared string table cut its strings: each string's header
// (length and flags) lies whole in one record, and no cut falls between the two UTF-16 halves of
// a character. Returns the number of cuts inside strings and how many fall before such a pair.
std::pair<size_t, size_t> CheckSharedStringCuts(const std::vector<uint8_t>& stream) {
  using spreadsheet::le::Get16;
  std::vector<std::vector<uint8_t>> records;  // the SST record's data, then its CONTINUE records'
  for (auto [id, at] : RecordsOf(stream)) {
    if (id == spreadsheet::biff::kSst || (!records.empty() && id == spreadsheet::biff::kContinue))
      records.emplace_back(stream.begin() + static_cast<ptrdiff_t>(at + 4), stream.begin() + static_cast<ptrdiff_t>(at + 4 + Get16(stream, at + 2)));
    else if (!records.empty()) break;
  }
  auto high = [](uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
  auto low = [](uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
  size_t cuts = 0, beforeAPair = 0, r = 0, at = 8;
  const uint32_t unique = records.empty() ? 0 : spreadsheet::le::Get32(records[0], 4);
  EXPECT_FALSE(records.empty()) << "no SST record";
  for (uint32_t s = 0; s < unique; ++s) {
    if (at == records[r].size()) ++r, at = 0;  // a string that starts a record has no width flag before it
    if (r == records.size() || at + 3 > records[r].size()) {
      ADD_FAILURE() << "the header of string " << s << " does not lie whole in one record";
      break;
    }
    const uint32_t n = Get16(records[r], at);
    bool wide = records[r][at + 2] & 1;
    EXPECT_EQ(records[r][at + 2] & ~1, 0) << "string " << s << ": no rich text, no extra data";
    at += 3;
    for (uint32_t k = 0, last = 0; k < n; ++k) {
      const bool cut = at == records[r].size();
      if (cut && ++r == records.size()) {
        ADD_FAILURE() << "string " << s << " runs past the table";
        return {cuts, beforeAPair};
      }
      if (cut) wide = records[r][0] & 1, at = 1;  // the characters go on after their width flag
      const uint32_t unit = wide ? Get16(records[r], at) : records[r][at];
      at += wide ? 2 : 1;
      if (cut) {
        EXPECT_FALSE(high(last)) << "string " << s << ": a record ends with half a character";
        EXPECT_FALSE(low(unit)) << "string " << s << ": a record starts with half a character";
        ++cuts, beforeAPair += high(unit) ? 1 : 0;
      }
      last = unit;
    }
  }
  return {cuts, beforeAPair};
}

// A record boundary inside a string falls between two characters, never between the two halves
// of a surrogate pair: readers decode each record's characters on their own. Strings of one to
// two records' length, of characters beyond 16 bits alone or mixed with 16-bit ones, after zero
// to two ASCII letters, meet the boundaries at both offsets a pair can have; then strings of
// every length from 1 to 400 characters, narrow and wide, meet them every other way, and the
// longest cells span several records. The engine's own reader reads every string back whole.
TEST(SharedStringRecords, NeverCutACharacterInTwoAndReadBackWhole) {
  Workbook book = Workbook::WithSheet("Strings");
  // First in the table: its 4,111 code units meet the first boundary after 4,106 of them.
  std::vector<std::string> expected = {"q" + Repeat("😀", 2055)};
  for (size_t k = 0; k < 48; ++k)
    expected.push_back(std::string(k % 3, 'q') + (k % 2 ? Repeat("😀", 2056 + k) : Repeat("😀中", 1371 + k)));
  for (size_t i = 0; i < 800; ++i) {
    std::string s;
    for (size_t k = 0; k <= i % 400; ++k) s += i % 2 ? "é" : std::string(1, static_cast<char>('a' + (i + k) % 26));
    expected.push_back(i % 3 ? s : s + "Ω");  // a character of 16 bits makes the whole string wide
  }
  expected.push_back(Repeat("y", 32767));
  expected.push_back(Repeat("中", 9000));
  for (size_t i = 0; i < expected.size(); ++i) book.Sheet(0)->Set(static_cast<int32_t>(i), 0, Cell::Text(expected[i]));

  const std::vector<uint8_t> stream = spreadsheet::WriteWorkbookStream(book);
  const Workbook again = spreadsheet::ReadWorkbookFile(spreadsheet::cfb::Write("Workbook", stream));
  for (size_t i = 0; i < expected.size(); ++i) {
    const Cell* cell = again.Sheet(0)->Find(static_cast<int32_t>(i), 0);
    ASSERT_EQ(cell ? cell->text : "(none)", expected[i]) << "row " << i;
  }
  const auto [cuts, beforeAPair] = CheckSharedStringCuts(stream);
  EXPECT_GE(cuts, 49u);  // every string of the first 49 is cut once
  EXPECT_GT(beforeAPair, 10u) << "the cuts should fall in runs of characters beyond 16 bits";
  // One character more than a cell holds is refused, not cut.
  book.Sheet(0)->Set(0, 1, Cell::Text(Repeat("y", 32768)));
  EXPECT_THROW(spreadsheet::WriteWorkbookFile(book), Error);
}

}  // namespace
}  // namespace tamarind::testing
