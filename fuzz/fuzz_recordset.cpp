// Recordset values are outside bytes: whatever a database column holds (text in a column
// declared as a date, numbers as text, invalid UTF-8, binary data, huge integers) must fill the
// list or end the fill with a reported error, and print without harm.
//
// Input: the first line names the column list and the key list ("cols|keycol"); the second the
// columns' declared types, one letter each (i INTEGER, r REAL, t TEXT, d DATE, s DATETIME,
// m TIME, b BOOLEAN, x BLOB, anything else no type); every later line is one value, filling the
// table row by row. A value's first byte says how it is stored: 'i' an integer read from the
// rest, 'r' a real, 'n' NULL, 'x' the rest as a BLOB, anything else the whole line as text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/database/SqliteDatabase.h"
#include "platform/headless/HostForm.h"

using namespace tamarind;

namespace {

std::vector<std::string_view> Lines(std::string_view s) {
  std::vector<std::string_view> out;
  while (!s.empty()) {
    const size_t nl = s.find('\n');
    out.push_back(s.substr(0, nl));
    if (nl == std::string_view::npos) break;
    s.remove_prefix(nl + 1);
  }
  return out;
}

const char* DeclaredType(char c) {
  switch (c) {
    case 'i': return "INTEGER";
    case 'r': return "REAL";
    case 't': return "TEXT";
    case 'd': return "DATE";
    case 's': return "DATETIME";
    case 'm': return "TIME";
    case 'b': return "BOOLEAN";
    case 'x': return "BLOB";
    default: return "";
  }
}

void Bind(sqlite3_stmt* stmt, int column, std::string_view v) {
  const std::string rest(v.empty() ? std::string_view() : v.substr(1));
  switch (v.empty() ? 't' : v.front()) {
    case 'i':
      sqlite3_bind_int64(stmt, column, std::strtoll(rest.c_str(), nullptr, 10));
      break;
    case 'r':
      sqlite3_bind_double(stmt, column, std::strtod(rest.c_str(), nullptr));
      break;
    case 'n':
      sqlite3_bind_null(stmt, column);
      break;
    case 'x':
      sqlite3_bind_blob(stmt, column, rest.data(), static_cast<int>(rest.size()), SQLITE_TRANSIENT);
      break;
    default:
      sqlite3_bind_text(stmt, column, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto lines = Lines(std::string_view(reinterpret_cast<const char*>(data), size));
  if (lines.size() < 2 || lines[1].empty() || lines[1].size() > 8) return 0;
  const std::string_view lists = lines[0];
  const size_t bar = lists.find('|');
  const std::string cols(lists.substr(0, bar));
  const std::string keycol(bar == std::string_view::npos ? std::string_view() : lists.substr(bar + 1));
  const size_t columns = lines[1].size();

  auto db = database::SqliteDatabase::Open(":memory:", database::SqliteDatabase::Mode::Create);
  std::string create = "CREATE TABLE t (", insert = "INSERT INTO t VALUES (";
  for (size_t c = 0; c < columns; ++c) {
    create += (c ? ", c" : "c") + std::to_string(c) + " " + DeclaredType(lines[1][c]);
    insert += c ? ", ?" : "?";
  }
  db->Execute(create + ")");
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db->Handle(), (insert + ")").c_str(), -1, &stmt, nullptr);
  for (size_t at = 2; at < lines.size() && at < 2 + 64 * columns;) {
    for (size_t c = 0; c < columns; ++c, ++at) {
      if (at < lines.size())
        Bind(stmt, static_cast<int>(c + 1), lines[at]);
      else
        sqlite3_bind_null(stmt, static_cast<int>(c + 1));
    }
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Fuzz", 12000, 9000);
  Kestrel& k = form.Add<Kestrel>("K1", 0, 0, 9000, 6000);
  form.Show();
  Variant rs;
  try {
    rs = db->Query("SELECT * FROM t");
  } catch (const Error&) {
    return 0;
  }
  k.RecordSetFill(rs, cols, keycol, "A:B");
  // Every cell the fill made can be read back, and the list prints.
  k.ListItems().ForEach([&](const platform::ListItemRef& item) {
    for (int32_t j = 1; j < k.ColumnHeaders().Count(); ++j) (void)item->SubItems(j);
  });
  k.PrintToDefaultPrinter();
  return 0;
}
