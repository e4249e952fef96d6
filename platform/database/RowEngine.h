#pragma once
// What a keyset row source needs from one engine: running its queries with bound values, and the
// SQL that sorts and filters as the list's normal mode does. One implementation per engine.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/listview/VirtualRows.h"
#include "runtime/Variant.h"

namespace tamarind::database {

// A value handed to or read from the engine as the engine holds it, so that a bound taken from a
// row compares equal to that row again.
struct SqlValue {
  enum class Kind { Null, Integer, Real, Text } kind = Kind::Null;
  int64_t integer = 0;
  double real = 0;
  std::string text;
  static SqlValue Of(std::string s) { return {Kind::Text, 0, 0, std::move(s)}; }
};

// SQL text with values to bind; kMark stands where each value goes.
struct Sql {
  static constexpr char kMark = '\x1f';
  std::string text;
  std::vector<SqlValue> values;
  Sql& operator<<(std::string_view s) {
    text += s;
    return *this;
  }
  Sql& operator<<(const Sql& other) {
    text += other.text;
    values.insert(values.end(), other.values.begin(), other.values.end());
    return *this;
  }
  Sql& Bind(SqlValue v) {
    text += kMark;
    values.push_back(std::move(v));
    return *this;
  }
};

struct ColumnInfo {
  std::string name;      // as the engine names it: the default caption
  std::string expr;      // how a query names it
  std::string declared;  // the declared type, "" when none
  std::optional<platform::VirtualOrder> order;
};

class RowEngine {
 public:
  virtual ~RowEngine() = default;
  // Cell values (read as the engine's recordsets read them) and raw values of one result row.
  using RowFn = std::function<void(std::vector<Variant>& cells, std::vector<SqlValue>& raws)>;

  // The columns a query over from selects: names given, or every column when names is empty.
  virtual std::vector<ColumnInfo> Describe(const std::string& from, const std::vector<std::string>& names) = 0;
  // Runs a query whose first `cells` columns are read as cell values and the next `raws` raw.
  virtual void Run(const Sql& sql, int32_t cells, int32_t raws, const RowFn& row) = 0;
  // How a query selects a sort value or a key raw, so that binding it back compares equal.
  virtual std::string Raw(const std::string& expr) const { return expr; }

  // The sort value of a column for a Text sort: never NULL, ordered as the normal mode orders text.
  virtual std::string TextOrder(const ColumnInfo& c) = 0;
  // The sort value for a Number or Date sort, never NULL. where is the current filter (a boolean
  // SQL expression): the rows that must all read as numbers. Error 13/6 as the normal mode raises
  // them, checked before the caller changes anything.
  virtual std::string NumberOrder(const ColumnInfo& c, platform::VirtualOrder as, std::string_view omit,
                                  const std::string& from, const Sql& where) = 0;
  // Boolean expressions: the cell's text equals text; the cell's text upper-cased is Like pattern.
  virtual Sql ExactFilter(const ColumnInfo& c, const std::string& text) = 0;
  virtual Sql WildFilter(const ColumnInfo& c, const std::string& pattern) = 0;
  // The key column's value for a key as the list keeps it (its apostrophes taken off), or nullopt
  // when no row can have it.
  virtual std::optional<SqlValue> KeyValue(const ColumnInfo& key, const std::string& keyText) = 0;

  // A second engine over the same data for another thread, with the same functions registered;
  // nullptr where there can be none (one connection, an in-memory database).
  virtual std::unique_ptr<RowEngine> Reader() { return nullptr; }
  // Makes a query running on this engine in another thread fail soon; safe from any thread.
  virtual void Interrupt() {}
};

}  // namespace tamarind::database

namespace tamarind::database {
class SqliteDatabase;
class OdbcConnection;
std::unique_ptr<RowEngine> MakeSqliteEngine(std::shared_ptr<SqliteDatabase> db);
std::unique_ptr<RowEngine> MakeOdbcEngine(std::shared_ptr<OdbcConnection> connection);
}  // namespace tamarind::database
