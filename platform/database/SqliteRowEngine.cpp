// The SQLite side of the row sources: the normal mode's rules registered as SQL functions and a
// collation on the connection, so that the engine sorts and filters as the list would.

#include <sqlite3.h>

#include <memory>
#include <optional>

#include "platform/database/CellRules.h"
#include "platform/database/ColumnValues.h"
#include "platform/database/RowEngine.h"
#include "platform/database/SqliteDatabase.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Like.h"
#include "runtime/Text.h"

namespace tamarind::database {

namespace {

using platform::VirtualOrder;

// The runtime Error a function of ours raised inside the engine: the engine passes on only a
// message, the query's caller raises the Error itself.
thread_local std::optional<Error> tFunctionError;

void Fail(sqlite3_context* ctx, const Error& e) {
  tFunctionError = e;
  sqlite3_result_error(ctx, e.Description().c_str(), -1);
}

std::string_view TextArg(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return {p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v))};
}

// A value as the SQLite recordset reads it for a column of this declared kind.
Variant ReadValue(sqlite3_value* v, DeclaredKind kind, std::string_view name) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return Variant::Null();
    case SQLITE_INTEGER: {
      const sqlite3_int64 i = sqlite3_value_int64(v);
      if (kind == DeclaredKind::Boolean) return Variant(i != 0);
      if (kind == DeclaredKind::Date)
        if (auto d = DateFromUnixSeconds(static_cast<double>(i))) return Variant(*d);
      return IntegerValue(i);
    }
    case SQLITE_FLOAT: {
      const double d = sqlite3_value_double(v);
      if (kind == DeclaredKind::Date)
        if (auto date = DateFromJulianDay(d)) return Variant(*date);
      return Variant(d);
    }
    case SQLITE_TEXT: {
      const std::string_view text = TextArg(v);
      if (kind == DeclaredKind::Date)
        if (auto d = ParseDateText(text)) return Variant(*d);
      return Variant(text);
    }
    default:
      Raise(err::TypeMismatch, "SQLite",
            "Field \"" + std::string(name) + "\" holds binary data (a BLOB), which has no text to show");
  }
}

// tamarind_text(value, kind): the cell's text.
void TextFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    const std::string text =
        cells::Text(ReadValue(argv[0], static_cast<DeclaredKind>(sqlite3_value_int(argv[1])), "value"));
    sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  } catch (const Error& e) {
    Fail(ctx, e);
  }
}

template <double (*Read)(std::string_view, std::string_view)>
void SortValueFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    sqlite3_result_double(ctx, Read(TextArg(argv[0]), TextArg(argv[1])));
  } catch (const Error& e) {
    Fail(ctx, e);
  }
}

// tamarind_like(text, pattern): UCase(text) Like pattern; the pattern is compiled once per statement.
void LikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  try {
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
      pattern = new LikePattern(TextArg(argv[1]));
      sqlite3_set_auxdata(ctx, 1, pattern, [](void* p) { delete static_cast<LikePattern*>(p); });
      pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
      if (!pattern) Raise(err::OutOfMemory, "SQLite");
    }
    thread_local std::string upper;
    text::UCase(TextArg(argv[0]), upper);
    sqlite3_result_int(ctx, pattern->Matches(upper) ? 1 : 0);
  } catch (const Error& e) {
    Fail(ctx, e);
  }
}

int CompareCollation(void*, int an, const void* a, int bn, const void* b) {
  return text::CompareText({static_cast<const char*>(a), static_cast<size_t>(an)},
                           {static_cast<const char*>(b), static_cast<size_t>(bn)});
}

bool Contains(const std::string& declared, std::string_view what) {
  return text::UCase(declared).find(what) != std::string::npos;
}

// SQLite's type affinity of a declared type, as the order a header click would use.
std::optional<VirtualOrder> OrderOf(const std::string& declared) {
  if (declared.empty()) return std::nullopt;
  switch (KindOfDeclaredType(declared)) {
    case DeclaredKind::Date:
      return VirtualOrder::Date;
    case DeclaredKind::Boolean:
      return VirtualOrder::Text;  // shown as True / False
    case DeclaredKind::Plain:
      break;
  }
  if (Contains(declared, "INT")) return VirtualOrder::Number;
  if (Contains(declared, "CHAR") || Contains(declared, "CLOB") || Contains(declared, "TEXT")) return VirtualOrder::Text;
  if (Contains(declared, "BLOB")) return std::nullopt;
  return VirtualOrder::Number;  // REAL, FLOAT, DOUBLE, NUMERIC, DECIMAL and any other name
}

std::string Quoted(std::string_view s, char quote) {
  std::string out(1, quote);
  for (char c : s) {
    if (c == quote) out += quote;
    out += c;
  }
  return out + quote;
}

struct Finalize {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

class SqliteEngine final : public RowEngine {
 public:
  explicit SqliteEngine(std::shared_ptr<SqliteDatabase> db) : db_(std::move(db)) {
    sqlite3* h = db_->Handle();
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    const bool ok =
        sqlite3_create_function_v2(h, "tamarind_text", 2, flags, nullptr, TextFunction, nullptr, nullptr, nullptr) ==
            SQLITE_OK &&
        sqlite3_create_function_v2(h, "tamarind_number", 2, flags, nullptr, SortValueFunction<cells::SortNumber>,
                                   nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_create_function_v2(h, "tamarind_date", 2, flags, nullptr, SortValueFunction<cells::SortDate>, nullptr,
                                   nullptr, nullptr) == SQLITE_OK &&
        sqlite3_create_function_v2(h, "tamarind_like", 2, flags, nullptr, LikeFunction, nullptr, nullptr, nullptr) ==
            SQLITE_OK &&
        sqlite3_create_collation_v2(h, "tamarind_text", SQLITE_UTF8, nullptr, CompareCollation, nullptr) == SQLITE_OK;
    if (!ok) Fail("Registering the list's SQL functions failed");
  }

  std::vector<ColumnInfo> Describe(const std::string& from, const std::vector<std::string>& names) override {
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    const Statement stmt = Prepare("SELECT " + (names.empty() ? std::string("*") : list) + " FROM " + from + " AS t");
    std::vector<ColumnInfo> out;
    const int n = sqlite3_column_count(stmt.get());
    for (int i = 0; i < n; ++i) {
      ColumnInfo c;
      const char* name = sqlite3_column_name(stmt.get(), i);
      c.name = name ? name : "";
      c.expr = names.empty() ? "t." + Quoted(c.name, '"') : names[static_cast<size_t>(i)];
      const char* declared = sqlite3_column_decltype(stmt.get(), i);
      c.declared = declared ? declared : "";
      c.order = OrderOf(c.declared);
      out.push_back(std::move(c));
    }
    return out;
  }

  void Run(const Sql& sql, int32_t cells, int32_t raws, const RowFn& row) override {
    std::string text = sql.text;
    for (char& c : text)
      if (c == Sql::kMark) c = '?';
    const Statement stmt = Prepare(text);
    sqlite3_stmt* s = stmt.get();
    for (size_t i = 0; i < sql.values.size(); ++i) Bind(s, static_cast<int>(i + 1), sql.values[i]);
    std::vector<DeclaredKind> kinds;
    std::vector<std::string> names;
    for (int i = 0; i < cells; ++i) {
      const char* declared = sqlite3_column_decltype(s, i);
      kinds.push_back(declared ? KindOfDeclaredType(declared) : DeclaredKind::Plain);
      const char* name = sqlite3_column_name(s, i);
      names.emplace_back(name ? name : "");
    }
    std::vector<Variant> cellValues(static_cast<size_t>(cells));
    std::vector<SqlValue> rawValues(static_cast<size_t>(raws));
    for (;;) {
      tFunctionError.reset();
      const int rc = sqlite3_step(s);
      if (rc == SQLITE_DONE) return;
      if (rc != SQLITE_ROW) Fail("The query failed");
      for (int i = 0; i < cells; ++i)
        cellValues[static_cast<size_t>(i)] =
            ReadValue(sqlite3_column_value(s, i), kinds[static_cast<size_t>(i)], names[static_cast<size_t>(i)]);
      for (int i = 0; i < raws; ++i) Read(s, cells + i, rawValues[static_cast<size_t>(i)]);
      row(cellValues, rawValues);
    }
  }

  std::string TextOrder(const ColumnInfo& c) override { return CellText(c) + " COLLATE tamarind_text"; }

  std::string NumberOrder(const ColumnInfo& c, VirtualOrder as, std::string_view omit, const std::string& from,
                          const Sql& where) override {
    // A numeric column holding only numbers is ordered by itself, so that an index on it serves;
    // a NULL is an empty cell, 0.
    if (as == VirtualOrder::Number && c.order == VirtualOrder::Number &&
        KindOfDeclaredType(c.declared) == DeclaredKind::Plain && !cells::OmitTouchesNumbers(omit)) {
      // Two probes that an index on the column answers at once: NULLs, and texts (above every number).
      bool text = false, null = false;
      Sql nulls, texts;
      nulls << "SELECT 1 FROM " << from << " AS t WHERE " << c.expr << " IS NULL LIMIT 1";
      texts << "SELECT 1 FROM " << from << " AS t WHERE " << c.expr << " >= '' LIMIT 1";
      Run(nulls, 0, 0, [&](auto&, auto&) { null = true; });
      Run(texts, 0, 0, [&](auto&, auto&) { text = true; });
      if (!text) return null ? "COALESCE(" + c.expr + ", 0)" : c.expr;
    }
    const std::string order = std::string(as == VirtualOrder::Number ? "tamarind_number(" : "tamarind_date(") +
                              CellText(c) + ", " + Quoted(omit, '\'') + ")";
    if (as == VirtualOrder::Number) {
      // Every row shown read once: a cell that is no number fails here, before the order changes.
      Sql check;
      check << "SELECT max(" << order << ") FROM " << from << " AS t WHERE " << where;
      Run(check, 0, 0, [](auto&, auto&) {});
    }
    return order;
  }

  Sql ExactFilter(const ColumnInfo& c, const std::string& text) override {
    Sql sql;
    if (IsTextColumn(c)) {
      // The column's own values: an index on it serves.
      // A NULL cell is "": it equals "" and, excluded or not, never another text.
      sql << c.expr << " = ";
      sql.Bind(SqlValue::Of(text));
      sql << (text.empty() ? " OR " : " AND ") << c.expr << (text.empty() ? " IS NULL" : " IS NOT NULL");
      return sql;
    }
    sql << CellText(c) << " = ";
    sql.Bind(SqlValue::Of(text));
    return sql;
  }

  Sql WildFilter(const ColumnInfo& c, const std::string& pattern) override {
    LikePattern{pattern};  // Error 93 now rather than at the first page
    Sql sql;
    sql << "tamarind_like(" << CellText(c) << ", ";
    sql.Bind(SqlValue::Of(pattern));
    sql << ")";
    return sql;
  }

  std::optional<SqlValue> KeyValue(const ColumnInfo& key, const std::string& keyText) override {
    std::string text = cells::KeyFieldText(keyText);
    // A column without affinity compares an integer only with an integer.
    if (key.order != VirtualOrder::Text) {
      try {
        size_t used = 0;
        const long long v = std::stoll(text, &used);
        if (used == text.size() && std::to_string(v) == text) return SqlValue{SqlValue::Kind::Integer, v, 0, {}};
      } catch (const std::exception&) {
      }
    }
    return SqlValue::Of(std::move(text));
  }

  std::unique_ptr<RowEngine> Reader() override {
    const char* file = sqlite3_db_filename(db_->Handle(), "main");
    if (!file || !*file) return nullptr;  // in memory or temporary: no other connection sees it
    auto db = SqliteDatabase::Open(file, SqliteDatabase::Mode::ReadOnly);
    // A writer's commit holds readers off briefly; waiting is better than failing the whole pass.
    sqlite3_busy_timeout(db->Handle(), 2000);
    return std::make_unique<SqliteEngine>(std::move(db));
  }

  void Interrupt() override { sqlite3_interrupt(db_->Handle()); }

 private:
  [[noreturn]] void Fail(std::string_view what) {
    if (tFunctionError) {
      const Error e = *tFunctionError;
      tFunctionError.reset();
      throw e;
    }
    Raise(err::InvalidProcedureCall, "Kestrel", std::string(what) + ": " + sqlite3_errmsg(db_->Handle()));
  }

  Statement Prepare(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_->Handle(), sql.c_str(), static_cast<int>(sql.size()), &s, nullptr) != SQLITE_OK)
      Fail("The query does not compile");
    return Statement(s);
  }

  static void Bind(sqlite3_stmt* s, int at, const SqlValue& v) {
    switch (v.kind) {
      case SqlValue::Kind::Null:
        sqlite3_bind_null(s, at);
        break;
      case SqlValue::Kind::Integer:
        sqlite3_bind_int64(s, at, v.integer);
        break;
      case SqlValue::Kind::Real:
        sqlite3_bind_double(s, at, v.real);
        break;
      case SqlValue::Kind::Text:
        sqlite3_bind_text(s, at, v.text.data(), static_cast<int>(v.text.size()), SQLITE_TRANSIENT);
        break;
    }
  }

  static void Read(sqlite3_stmt* s, int i, SqlValue& out) {
    switch (sqlite3_column_type(s, i)) {
      case SQLITE_INTEGER:
        out.kind = SqlValue::Kind::Integer;
        out.integer = sqlite3_column_int64(s, i);
        break;
      case SQLITE_FLOAT:
        out.kind = SqlValue::Kind::Real;
        out.real = sqlite3_column_double(s, i);
        break;
      case SQLITE_NULL:
        out.kind = SqlValue::Kind::Null;
        break;
      default: {
        // Text, and a BLOB key as its bytes: bound back as text it would not compare equal, but
        // blobs are no keys a list shows.
        out.kind = SqlValue::Kind::Text;
        const auto* p = static_cast<const char*>(sqlite3_column_blob(s, i));
        out.text.assign(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(s, i)));
      }
    }
  }

  static bool IsTextColumn(const ColumnInfo& c) {
    return c.order == VirtualOrder::Text && KindOfDeclaredType(c.declared) == DeclaredKind::Plain;
  }

  // The cell's text as SQL: the value read as the recordset reads this column.
  static std::string CellText(const ColumnInfo& c) {
    return "tamarind_text(" + c.expr + ", " + std::to_string(static_cast<int>(KindOfDeclaredType(c.declared))) + ")";
  }

  std::shared_ptr<SqliteDatabase> db_;
};

}  // namespace

std::unique_ptr<RowEngine> MakeSqliteEngine(std::shared_ptr<SqliteDatabase> db) {
  return std::make_unique<SqliteEngine>(std::move(db));
}

}  // namespace tamarind::database
