// Filtering a database's rows in the engine by a search text a user typed, in virtual mode: the
// cells go into an SQLite table, the row source filters them with its registered functions, and
// the rows it then hands out must be exactly those the list's own tests keep (Filter: the cell's
// text equals the search text; FilterWild: UCase(cell) Like "*" + UCase(search) + "*"), with and
// without ExcludeMatch. The wildcard list's translation into the server's regular expression is
// run on the same search text.
//
// Input: one byte of choices, the search text up to the first line break, then one cell per line.
// Whatever the bytes: no crash; a malformed list is Error 93 for the source as for the list; the
// engine keeps the same rows in the same order.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "platform/database/CellRules.h"
#include "platform/database/SqlRowSource.h"
#include "runtime/Error.h"
#include "runtime/Like.h"
#include "runtime/Text.h"

namespace {

using namespace tamarind;

std::vector<std::string> Keys(platform::VirtualRows& rows) {
  std::vector<platform::VirtualRows::Row> page;
  rows.Fetch(0, static_cast<int32_t>(rows.RowCount()) + 1, page);
  std::vector<std::string> keys;
  for (const auto& row : page) keys.push_back(row.key);
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choices = data[0];
  const std::string_view input = fuzz::AsText(data + 1, size - 1);
  const size_t eol = input.find('\n');
  const std::string search(input.substr(0, eol));
  std::vector<std::string> cells;
  for (size_t at = eol == std::string_view::npos ? input.size() : eol + 1; at < input.size() && cells.size() < 64;) {
    const size_t end = std::min(input.find('\n', at), input.size());
    cells.emplace_back(input.substr(at, end - at));
    at = end + 1;
  }

  auto db = database::SqliteDatabase::Open(":memory:", database::SqliteDatabase::Mode::Create);
  db->Execute("CREATE TABLE t(k TEXT PRIMARY KEY, c TEXT)");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db->Handle(), "INSERT INTO t VALUES (?, ?)", -1, &insert, nullptr);
  for (size_t i = 0; i < cells.size(); ++i) {
    const std::string key = "r" + std::to_string(1000 + i);
    sqlite3_bind_text(insert, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert, 2, cells[i].data(), static_cast<int>(cells[i].size()), SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);

  const bool wild = choices & 1, exclude = choices & 2;
  std::optional<LikePattern> pattern;
  if (wild) {
    try {
      pattern.emplace(database::cells::WildPattern(search));
    } catch (const Error& e) {
      fuzz::Require(e.Number() == 93, "a pattern the list refuses is Error 93");
    }
  }

  auto rows = database::OpenSqliteRowSource(db, {.from = "t", .keyColumn = "k", .columns = {"c"}, .captions = {}});
  try {
    rows->AddFilter(platform::VirtualFilter{0, search, wild, exclude});
  } catch (const Error& e) {
    fuzz::Require(wild && !pattern && e.Number() == 93, "the source refuses only what the list refuses, as Error 93");
    return 0;
  }
  fuzz::Require(!wild || pattern.has_value(), "the source refuses a pattern the list refuses");

  std::vector<std::string> expected;
  std::string upper;
  for (size_t i = 0; i < cells.size(); ++i) {
    bool matches;
    if (wild) {
      text::UCase(cells[i], upper);
      matches = pattern->Matches(upper);
    } else {
      matches = cells[i] == search;
    }
    if (matches != exclude) expected.push_back("r" + std::to_string(1000 + i));
  }
  fuzz::Require(Keys(*rows) == expected, "the engine keeps the rows the list's test keeps, in order");
  fuzz::Require(rows->RowCount() == static_cast<int64_t>(expected.size()), "the count is the rows kept");

  if (pattern) {
    const std::string regex = database::cells::LikeToRegex(database::cells::WildPattern(search));
    fuzz::Require(regex.size() >= 2 && regex.front() == '^' && regex.back() == '$', "an anchored expression");
  }
  return 0;
}
