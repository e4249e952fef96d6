#include "platform/database/OdbcDatabase.h"

#include <dlfcn.h>
#include <sql.h>
#include <sqlext.h>

#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/database/ColumnValues.h"
#include "platform/database/Recordset.h"
#include "runtime/Error.h"

namespace tamarind::database {

namespace {

// The first diagnostic record of a handle: "[state] message".
std::string Diagnostic(SQLSMALLINT handleType, SQLHANDLE handle) {
  SQLCHAR state[6] = {};
  SQLCHAR message[1024] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!handle || !SQL_SUCCEEDED(SQLGetDiagRec(handleType, handle, 1, state, &native, message,
                                              static_cast<SQLSMALLINT>(sizeof message), &length)))
    return "no diagnostic from the driver";
  return "[" + std::string(reinterpret_cast<const char*>(state)) + "] " +
         std::string(reinterpret_cast<const char*>(message));
}

[[noreturn]] void RaiseOdbc(SQLSMALLINT handleType, SQLHANDLE handle, std::string_view what) {
  Raise(err::InvalidProcedureCall, "ODBC", std::string(what) + ": " + Diagnostic(handleType, handle));
}

// How a column's values are read.
enum class ColumnClass { Text, Integer, Bit, Real, Decimal, DateTime, Binary };

ColumnClass ClassOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return ColumnClass::Integer;
    case SQL_BIT:
      return ColumnClass::Bit;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return ColumnClass::Real;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return ColumnClass::Decimal;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATE:
    case SQL_TIME:
    case SQL_TIMESTAMP:
      return ColumnClass::DateTime;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
      return ColumnClass::Binary;
    default:
      return ColumnClass::Text;
  }
}

class OdbcCursor final : public Cursor {
 public:
  OdbcCursor(std::shared_ptr<OdbcConnection> connection, SQLHSTMT stmt)
      : connection_(std::move(connection)), stmt_(stmt) {
    try {
      Describe();
      Fetch();
    } catch (const Error&) {
      SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
      throw;
    }
  }
  ~OdbcCursor() override {
    SQLCloseCursor(stmt_);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
  }
  OdbcCursor(const OdbcCursor&) = delete;
  OdbcCursor& operator=(const OdbcCursor&) = delete;

  int32_t FieldCount() const override { return static_cast<int32_t>(names_.size()); }
  const std::string& FieldName(int32_t i) const override { return names_[static_cast<size_t>(i)]; }
  bool AtEnd() const override { return atEnd_; }
  void Next() override { Fetch(); }

  Variant Value(int32_t i) override {
    const auto at = static_cast<size_t>(i);
    if (binary_[at])
      Raise(err::TypeMismatch, "ODBC",
            "Field \"" + names_[at] + "\" holds binary data (a BLOB), which has no text to show");
    return values_[at];
  }

 private:
  void Describe() {
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt_, &columns))) RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading the columns failed");
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
      SQLCHAR name[512] = {};
      SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
      SQLULEN size = 0;
      if (!SQL_SUCCEEDED(SQLDescribeCol(stmt_, c, name, static_cast<SQLSMALLINT>(sizeof name), &nameLength, &type,
                                        &size, &digits, &nullable)))
        RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading the columns failed");
      names_.emplace_back(reinterpret_cast<const char*>(name));
      classes_.push_back(ClassOf(type));
    }
    values_.resize(names_.size());
    binary_.resize(names_.size());
  }

  void Fetch() {
    const SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) {
      atEnd_ = true;
      return;
    }
    if (!SQL_SUCCEEDED(rc)) {
      atEnd_ = true;
      RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading the query's rows failed");
    }
    for (size_t c = 0; c < names_.size(); ++c) {
      binary_[c] = false;
      values_[c] = Read(static_cast<SQLUSMALLINT>(c + 1), classes_[c], c);
    }
  }

  void Get(SQLUSMALLINT column, SQLSMALLINT cType, void* target, SQLLEN size, SQLLEN& indicator) {
    if (!SQL_SUCCEEDED(SQLGetData(stmt_, column, cType, target, size, &indicator)))
      RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading field \"" + names_[column - 1] + "\" failed");
  }

  // The whole text of a column, read in pieces as long as the driver has more.
  std::optional<std::string> Text(SQLUSMALLINT column) {
    std::string out;
    std::array<char, 4096> buffer{};
    for (;;) {
      SQLLEN indicator = 0;
      const SQLRETURN rc = SQLGetData(stmt_, column, SQL_C_CHAR, buffer.data(), static_cast<SQLLEN>(buffer.size()),
                                      &indicator);
      if (rc == SQL_NO_DATA) return out;
      if (!SQL_SUCCEEDED(rc)) RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading field \"" + names_[column - 1] + "\" failed");
      if (indicator == SQL_NULL_DATA) return std::nullopt;
      const auto room = static_cast<SQLLEN>(buffer.size() - 1);  // the driver ends every piece with a NUL
      if (indicator == SQL_NO_TOTAL || indicator > room) {
        out.append(buffer.data(), static_cast<size_t>(room));
        continue;
      }
      out.append(buffer.data(), static_cast<size_t>(indicator));
      return out;
    }
  }

  Variant Read(SQLUSMALLINT column, ColumnClass kind, size_t at) {
    SQLLEN indicator = 0;
    switch (kind) {
      case ColumnClass::Integer: {
        SQLBIGINT v = 0;
        Get(column, SQL_C_SBIGINT, &v, sizeof v, indicator);
        return indicator == SQL_NULL_DATA ? Variant::Null() : IntegerValue(v);
      }
      case ColumnClass::Bit: {
        unsigned char v = 0;
        Get(column, SQL_C_BIT, &v, sizeof v, indicator);
        return indicator == SQL_NULL_DATA ? Variant::Null() : Variant(v != 0);
      }
      case ColumnClass::Real: {
        double v = 0;
        Get(column, SQL_C_DOUBLE, &v, sizeof v, indicator);
        return indicator == SQL_NULL_DATA ? Variant::Null() : Variant(v);
      }
      case ColumnClass::Binary: {
        // Only whether there is a value: binary data is refused when read, Null is not.
        unsigned char probe = 0;
        const SQLRETURN rc = SQLGetData(stmt_, column, SQL_C_BINARY, &probe, 0, &indicator);
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
          RaiseOdbc(SQL_HANDLE_STMT, stmt_, "Reading field \"" + names_[column - 1] + "\" failed");
        if (indicator == SQL_NULL_DATA) return Variant::Null();
        binary_[at] = true;
        return {};
      }
      case ColumnClass::Decimal:
      case ColumnClass::DateTime:
      case ColumnClass::Text:
        break;
    }
    // Decimals, dates and text come as the driver writes them; dates and decimals are then read
    // from that text, and a text that is no date stays text rather than being lost.
    std::optional<std::string> text = Text(column);
    if (!text) return Variant::Null();
    if (kind == ColumnClass::Decimal) return DecimalValue(*text);
    if (kind == ColumnClass::DateTime)
      if (auto d = ParseDateText(*text)) return Variant(*d);
    return Variant(std::move(*text));
  }

  std::shared_ptr<OdbcConnection> connection_;
  SQLHSTMT stmt_;
  std::vector<std::string> names_;
  std::vector<ColumnClass> classes_;
  std::vector<Variant> values_;
  std::vector<bool> binary_;
  bool atEnd_ = false;
};

}  // namespace

std::shared_ptr<OdbcConnection> OdbcConnection::Connect(const std::string& connectionString) {
  // The driver manager loads its configuration library for every connection and unloads it
  // after, losing what it read each time; kept loaded, the library reads its files once.
  static void* const keepConfiguration = dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE);
  (void)keepConfiguration;
  std::shared_ptr<OdbcConnection> c(new OdbcConnection());
  SQLHENV env = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env)))
    Raise(err::InvalidProcedureCall, "ODBC", "The ODBC driver manager could not be started");
  c->env_ = env;
  SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLHDBC dbc = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc)))
    RaiseOdbc(SQL_HANDLE_ENV, env, "No connection could be made");
  c->dbc_ = dbc;
  std::vector<SQLCHAR> in(connectionString.begin(), connectionString.end());
  in.push_back(0);
  SQLCHAR out[1024] = {};
  SQLSMALLINT outLength = 0;
  const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, in.data(), SQL_NTS, out, static_cast<SQLSMALLINT>(sizeof out),
                                        &outLength, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) RaiseOdbc(SQL_HANDLE_DBC, dbc, "Connecting failed");
  c->connected_ = true;
  return c;
}

OdbcConnection::~OdbcConnection() {
  if (connected_) SQLDisconnect(dbc_);
  if (dbc_) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

namespace {
SQLHSTMT Run(SQLHDBC dbc, std::string_view sql) {
  SQLHSTMT stmt = nullptr;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt)))
    RaiseOdbc(SQL_HANDLE_DBC, dbc, "No statement could be made");
  std::vector<SQLCHAR> text(sql.begin(), sql.end());
  text.push_back(0);
  const SQLRETURN rc = SQLExecDirect(stmt, text.data(), static_cast<SQLINTEGER>(sql.size()));
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    const std::string message = Diagnostic(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    Raise(err::InvalidProcedureCall, "ODBC", "The statement failed: " + message);
  }
  return stmt;
}
}  // namespace

void OdbcConnection::Execute(std::string_view sql) { SQLFreeHandle(SQL_HANDLE_STMT, Run(dbc_, sql)); }

Variant OdbcConnection::Query(std::string_view sql) {
  SQLHSTMT stmt = Run(dbc_, sql);
  return Variant(std::make_shared<Recordset>(std::make_unique<OdbcCursor>(shared_from_this(), stmt)));
}

Variant OpenOdbcRecordset(const std::string& connectionString, std::string_view query) {
  return OdbcConnection::Connect(connectionString)->Query(query);
}

}  // namespace tamarind::database
