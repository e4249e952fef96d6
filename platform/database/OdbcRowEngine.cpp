// The PostgreSQL side of the row sources, through ODBC. Cells are read by the ODBC recordset
// itself; values are written into the SQL as literals, which the server converts to the type
// they are compared with, so a bound read as text compares equal to its row again.
//
// The server applies the normal mode's rules where SQL says them exactly:
//   - Text order: an ICU collation of the session at secondary strength (case ignored), as the
//     list's collator; columns whose cell text is the server's text (text types; integers, whose
//     text is CStr's below 10^15 in magnitude).
//   - Number order: numeric columns by their value (NULL as 0); text columns whose cells are plain
//     decimals ("-12.5", "3e4", after the omitted characters go), read by the server. Cells the
//     server cannot read are tested here: no number is Error 13 as in normal mode; a number in
//     a form only the list reads ("$1,200", "(5)", "5-") is Error 5, since no order would be exact.
//   - Date order: date, timestamp and time columns by their value (NULL as day 0); other columns
//     are Error 5 unless every cell is empty.
//   - Filters: on the columns whose text the server has (above); the Like pattern becomes a
//     regular expression over upper() of an ICU collation, which maps case as the runtime does
//     outside the Turkic and Lithuanian special cases.

#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "platform/database/CellRules.h"
#include "platform/database/OdbcDatabase.h"
#include "platform/database/Recordset.h"
#include "platform/database/RowEngine.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::database {

namespace {

using platform::VirtualOrder;

constexpr const char* kCollation = "pg_temp.tamarind_text";

std::string Literal(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[6] = {};
  SQLCHAR message[1024] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
    return "no message from the driver";
  return "[" + std::string(reinterpret_cast<char*>(state)) + "] " + reinterpret_cast<char*>(message);
}

// What the server's type of a column allows: the kinds of type the rules above tell apart.
enum class PgType { Text, Integer, Numeric, Date, Time, Other };

PgType TypeOf(const std::string& name) {
  const std::string n = text::LCase(name);
  if (n == "text" || n == "varchar" || n == "bpchar" || n == "char" || n == "name" || n == "character varying" ||
      n == "character")
    return PgType::Text;
  if (n == "int2" || n == "int4" || n == "int8" || n == "smallint" || n == "integer" || n == "bigint")
    return PgType::Integer;
  if (n == "float4" || n == "float8" || n == "numeric" || n == "real" || n == "double precision")
    return PgType::Numeric;
  if (n == "date" || n == "timestamp" || n == "timestamp without time zone") return PgType::Date;
  if (n == "time" || n == "time without time zone") return PgType::Time;
  return PgType::Other;
}

std::optional<VirtualOrder> OrderOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return VirtualOrder::Number;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
      return VirtualOrder::Date;
    case SQL_CHAR:
    case SQL_VARCHAR:
    case SQL_LONGVARCHAR:
    case SQL_WCHAR:
    case SQL_WVARCHAR:
    case SQL_WLONGVARCHAR:
      return VirtualOrder::Text;
    default:
      return std::nullopt;
  }
}

class OdbcEngine final : public RowEngine {
 public:
  explicit OdbcEngine(std::shared_ptr<OdbcConnection> c) : connection_(std::move(c)) {
    SQLCHAR name[64] = {};
    SQLSMALLINT length = 0;
    auto* dbc = static_cast<SQLHDBC>(connection_->ConnectionHandle());
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DBMS_NAME, name, sizeof name, &length)))
      Raise(err::InvalidProcedureCall, "Kestrel",
            "The data source does not say its engine: " + Diagnostic(SQL_HANDLE_DBC, dbc));
    if (std::string(reinterpret_cast<char*>(name)) != "PostgreSQL")
      Raise(err::InvalidProcedureCall, "Kestrel",
            "Row sources through ODBC serve PostgreSQL only, not " + std::string(reinterpret_cast<char*>(name)));
    try {
      connection_->Execute(std::string("CREATE COLLATION IF NOT EXISTS ") + kCollation +
                           " (provider = icu, locale = 'en-US-u-ks-level2', deterministic = false)");
    } catch (const Error& e) {
      collationError_ = e.Description();  // text sorts say so when asked for
    }
  }

  std::vector<ColumnInfo> Describe(const std::string& from, const std::vector<std::string>& names) override {
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    const std::string sql = "SELECT " + (names.empty() ? std::string("*") : list) + " FROM " + from + " AS t LIMIT 0";
    auto* dbc = static_cast<SQLHDBC>(connection_->ConnectionHandle());
    SQLHSTMT stmt = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
      Raise(err::InvalidProcedureCall, "Kestrel", "No statement could be made: " + Diagnostic(SQL_HANDLE_DBC, dbc));
    const std::unique_ptr<void, void (*)(void*)> owner(stmt, [](void* s) { SQLFreeHandle(SQL_HANDLE_STMT, s); });
    std::vector<SQLCHAR> text(sql.begin(), sql.end());
    text.push_back(0);
    if (!SQL_SUCCEEDED(SQLExecDirect(stmt, text.data(), SQL_NTS)))
      Raise(err::InvalidProcedureCall, "Kestrel", "The query failed: " + Diagnostic(SQL_HANDLE_STMT, stmt));
    SQLSMALLINT count = 0;
    SQLNumResultCols(stmt, &count);
    std::vector<ColumnInfo> out;
    for (SQLUSMALLINT i = 1; i <= count; ++i) {
      SQLCHAR name[256] = {};
      SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      SQLDescribeCol(stmt, i, name, sizeof name, &nameLength, &type, &size, &digits, &nullable);
      SQLCHAR typeName[128] = {};
      SQLSMALLINT typeLength = 0;
      SQLColAttribute(stmt, i, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, &typeLength, nullptr);
      ColumnInfo c;
      c.name = reinterpret_cast<char*>(name);
      c.expr = names.empty() ? "t.\"" + text::Replace(c.name, "\"", "\"\"") + "\"" : names[i - 1u];
      c.declared = reinterpret_cast<char*>(typeName);
      c.order = OrderOf(type);
      out.push_back(std::move(c));
    }
    return out;
  }

  void Run(const Sql& sql, int32_t cells, int32_t raws, const RowFn& row) override {
    std::string text;
    size_t next = 0;
    for (char c : sql.text) {
      if (c != Sql::kMark) {
        text += c;
        continue;
      }
      const SqlValue& v = sql.values.at(next++);
      switch (v.kind) {
        case SqlValue::Kind::Null:
          text += "NULL";
          break;
        case SqlValue::Kind::Integer:
          text += std::to_string(v.integer);
          break;
        case SqlValue::Kind::Real: {
          char buffer[32];
          std::snprintf(buffer, sizeof buffer, "%.17g", v.real);
          text += buffer;
          break;
        }
        case SqlValue::Kind::Text:
          text += Literal(v.text);
          break;
      }
    }
    const Variant result = connection_->Query(text);
    const auto rs = std::dynamic_pointer_cast<Recordset>(result.AsObject());
    if (!rs) Raise(err::InvalidProcedureCall, "Kestrel", "The driver gave no recordset");
    const auto& fields = *rs->GetFields();
    std::vector<Variant> cellValues(static_cast<size_t>(cells));
    std::vector<SqlValue> rawValues(static_cast<size_t>(raws));
    while (!rs->AtEnd()) {
      for (int32_t i = 0; i < cells; ++i) cellValues[static_cast<size_t>(i)] = fields.Item(Variant(i))->Value();
      for (int32_t i = 0; i < raws; ++i) {
        const Variant v = fields.Item(Variant(cells + i))->Value();
        SqlValue& out = rawValues[static_cast<size_t>(i)];
        if (v.IsNull()) {
          out.kind = SqlValue::Kind::Null;
        } else if (v.Type() == VarType::Long) {
          out.kind = SqlValue::Kind::Integer;
          out.integer = v.AsLong();
        } else if (v.Type() == VarType::Double) {
          out.kind = SqlValue::Kind::Real;
          out.real = v.AsDouble();
        } else {
          out = SqlValue::Of(CStr(v));
        }
      }
      row(cellValues, rawValues);
      rs->MoveNext();
    }
  }

  // Sort values and keys come back as the server's own text of them, which it reads back exactly.
  std::string Raw(const std::string& expr) const override { return "CAST((" + expr + ") AS text)"; }

  std::string TextOrder(const ColumnInfo& c) override {
    if (!collationError_.empty())
      Raise(err::InvalidProcedureCall, "Kestrel", "The server has no case-insensitive collation: " + collationError_);
    return ServerText(c) + " COLLATE " + kCollation;
  }

  std::string NumberOrder(const ColumnInfo& c, VirtualOrder as, std::string_view omit, const std::string& from,
                          const Sql& where) override {
    const PgType type = TypeOf(c.declared);
    if (as == VirtualOrder::Number && (type == PgType::Integer || type == PgType::Numeric) &&
        !cells::OmitTouchesNumbers(omit))
      return NullsAs(c, "0", from);
    if (as == VirtualOrder::Date && omit.empty() && type == PgType::Date)
      return NullsAs(c, "TIMESTAMP '1899-12-30'", from, "CAST(" + c.expr + " AS timestamp)");
    if (as == VirtualOrder::Date && omit.empty() && type == PgType::Time)
      return NullsAs(c, "TIMESTAMP '1899-12-30'", from, "DATE '1899-12-30' + " + c.expr);
    if (as == VirtualOrder::Number && type == PgType::Text) {
      // The cells the server cannot read as plain decimals decide: no number is Error 13.
      const std::string cell = "COALESCE(" + c.expr + ", '')";
      const std::string omitted = omit.empty() ? cell : "translate(" + cell + ", " + Literal(omit) + ", '')";
      const std::string plain =
          " ~ '^ *[-+]?([0-9]{1,200}(\\.[0-9]{0,200})?|\\.[0-9]{1,200})([eE][-+]?[0-9]{1,2})? *$'";
      Sql odd;
      odd << "SELECT DISTINCT " << cell << " FROM " << from << " AS t WHERE (" << where << ") AND " << cell
          << " <> '' AND NOT (" << omitted << plain << ")";
      Unreadable(odd, omit, c);
      return "CASE WHEN " + cell + " = '' THEN 0 ELSE CAST(" + omitted + " AS float8) END";
    }
    // Elsewhere the order is exact only when every cell is empty.
    Sql any;
    any << "SELECT DISTINCT " << c.expr << " FROM " << from << " AS t WHERE (" << where << ") AND " << c.expr
        << " IS NOT NULL";
    Unreadable(any, omit, c, as);
    return "0";
  }

  Sql ExactFilter(const ColumnInfo& c, const std::string& text) override {
    Sql sql;
    const std::string value = TextValue(c);
    // A NULL cell is "": it equals "" and, excluded or not, never another text.
    sql << value << " = ";
    sql.Bind(SqlValue::Of(text));
    sql << (text.empty() ? " OR " : " AND ") << value << (text.empty() ? " IS NULL" : " IS NOT NULL");
    return sql;
  }

  Sql WildFilter(const ColumnInfo& c, const std::string& pattern) override {
    const std::string regex = cells::LikeToRegex(pattern);
    Sql sql;
    sql << "upper(" << ServerText(c) << " COLLATE \"und-x-icu\") ~ ";
    sql.Bind(SqlValue::Of(regex));
    return sql;
  }

  std::optional<SqlValue> KeyValue(const ColumnInfo& key, const std::string& keyText) override {
    std::string text = cells::KeyFieldText(keyText);
    // The server refuses a literal its type cannot read: such a key is no row's.
    switch (TypeOf(key.declared)) {
      case PgType::Integer: {
        size_t used = 0;
        try {
          const long long v = std::stoll(text, &used);
          if (used == text.size() && std::to_string(v) == text) return SqlValue{SqlValue::Kind::Integer, v, 0, {}};
        } catch (const std::exception&) {
        }
        return std::nullopt;
      }
      case PgType::Text:
        return SqlValue::Of(std::move(text));
      default:
        break;
    }
    if (key.order == VirtualOrder::Number && !ParseNumber(text)) return std::nullopt;
    return SqlValue::Of(std::move(text));
  }

 private:
  // The cell's text where the server's text of the value is it; Error 5 elsewhere.
  std::string TextValue(const ColumnInfo& c) const {
    switch (TypeOf(c.declared)) {
      case PgType::Text:
        return c.expr;
      case PgType::Integer:
        return "CAST(" + c.expr + " AS text)";
      case PgType::Date:
        // A date without a time reads as the list writes it: month/day/year, no leading zeros.
        return "to_char(" + c.expr + ", 'FMMM/FMDD/YYYY')";
      default:
        Raise(err::InvalidProcedureCall, "Kestrel",
              "The server cannot write a " + c.declared + " column \"" + c.name + "\" as the list shows it");
    }
  }
  std::string ServerText(const ColumnInfo& c) const { return "COALESCE(" + TextValue(c) + ", '')"; }

  // The column itself when it has no NULL (an index on it serves), else NULL read as empty.
  std::string NullsAs(const ColumnInfo& c, const std::string& empty, const std::string& from, std::string value = {}) {
    if (value.empty()) value = c.expr;
    bool nulls = false;
    Sql probe;
    probe << "SELECT 1 FROM " << from << " AS t WHERE " << c.expr << " IS NULL LIMIT 1";
    Run(probe, 0, 1, [&](auto&, auto&) { nulls = true; });
    return nulls ? "COALESCE(" + value + ", " + empty + ")" : value;
  }

  // Runs a query for cells the server cannot order. Error 13/6 when one of them is no number, as
  // the normal mode raises it; else Error 5, since the server's order would not be the list's.
  void Unreadable(Sql query, std::string_view omit, const ColumnInfo& c, VirtualOrder as = VirtualOrder::Number) {
    query << " LIMIT 1000";
    std::vector<std::string> found;
    Run(query, 1, 0, [&](std::vector<Variant>& cell, auto&) { found.push_back(cells::Text(cell[0])); });
    if (found.empty()) return;
    if (as == VirtualOrder::Number)
      for (const std::string& cell : found) cells::SortNumber(cell, omit);
    Raise(err::InvalidProcedureCall, "Kestrel",
          "The server cannot order column \"" + c.name + "\" as the list would: it holds \"" + found.front() + "\"");
  }

  std::shared_ptr<OdbcConnection> connection_;
  std::string collationError_;
};

}  // namespace

std::unique_ptr<RowEngine> MakeOdbcEngine(std::shared_ptr<OdbcConnection> connection) {
  return std::make_unique<OdbcEngine>(std::move(connection));
}

}  // namespace tamarind::database
