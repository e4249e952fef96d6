#include "platform/database/SqliteDatabase.h"

#include <sqlite3.h>

#include <filesystem>
#include <vector>

#include "platform/database/ColumnValues.h"
#include "platform/database/Recordset.h"
#include "runtime/Error.h"

namespace tamarind::database {

namespace {

[[noreturn]] void RaiseEngine(sqlite3* db, std::string_view what) {
  Raise(err::InvalidProcedureCall, "SQLite", std::string(what) + ": " + sqlite3_errmsg(db));
}

// Steps a prepared statement row by row as the recordset moves.
class SqliteCursor final : public Cursor {
 public:
  SqliteCursor(std::shared_ptr<SqliteDatabase> db, sqlite3_stmt* stmt) : db_(std::move(db)), stmt_(stmt) {
    const int n = sqlite3_column_count(stmt_);
    names_.reserve(static_cast<size_t>(n));
    kinds_.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      const char* name = sqlite3_column_name(stmt_, i);
      names_.emplace_back(name ? name : "");
      const char* declared = sqlite3_column_decltype(stmt_, i);
      kinds_.push_back(declared ? KindOfDeclaredType(declared) : DeclaredKind::Plain);
    }
    try {
      Step();
    } catch (const Error&) {
      sqlite3_finalize(stmt_);
      throw;
    }
  }
  ~SqliteCursor() override { sqlite3_finalize(stmt_); }
  SqliteCursor(const SqliteCursor&) = delete;
  SqliteCursor& operator=(const SqliteCursor&) = delete;

  int32_t FieldCount() const override { return static_cast<int32_t>(names_.size()); }
  const std::string& FieldName(int32_t i) const override { return names_[static_cast<size_t>(i)]; }
  bool AtEnd() const override { return atEnd_; }
  void Next() override { Step(); }

  Variant Value(int32_t i) override {
    switch (sqlite3_column_type(stmt_, i)) {
      case SQLITE_NULL:
        return Variant::Null();
      case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(stmt_, i);
        switch (kinds_[static_cast<size_t>(i)]) {
          case DeclaredKind::Boolean:
            return Variant(v != 0);
          case DeclaredKind::Date:
            if (auto d = DateFromUnixSeconds(static_cast<double>(v))) return Variant(*d);
            break;
          case DeclaredKind::Plain:
            break;
        }
        return IntegerValue(v);
      }
      case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(stmt_, i);
        if (kinds_[static_cast<size_t>(i)] == DeclaredKind::Date)
          if (auto d = DateFromJulianDay(v)) return Variant(*d);
        return Variant(v);
      }
      case SQLITE_TEXT: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        const std::string_view text(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
        // A text in a date column that is no date stays the text it is: nothing is lost.
        if (kinds_[static_cast<size_t>(i)] == DeclaredKind::Date)
          if (auto d = ParseDateText(text)) return Variant(*d);
        return Variant(text);
      }
      default:
        Raise(err::TypeMismatch, "SQLite",
              "Field \"" + names_[static_cast<size_t>(i)] + "\" holds binary data (a BLOB), which has no text to show");
    }
  }

 private:
  void Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return;
    atEnd_ = true;
    if (rc != SQLITE_DONE) RaiseEngine(db_->Handle(), "Reading the query's rows failed");
  }

  std::shared_ptr<SqliteDatabase> db_;
  sqlite3_stmt* stmt_;
  std::vector<std::string> names_;
  std::vector<DeclaredKind> kinds_;
  bool atEnd_ = false;
};

}  // namespace

std::shared_ptr<SqliteDatabase> SqliteDatabase::Open(const std::string& path, Mode mode) {
  if (mode != Mode::Create && path != ":memory:" && !std::filesystem::exists(path))
    Raise(err::FileNotFound, "SQLite", "File not found: " + path);
  // A connection is used by one thread at a time: the engine's own locking per call is not needed.
  const int flags = SQLITE_OPEN_NOMUTEX | (mode == Mode::ReadOnly    ? SQLITE_OPEN_READONLY
                                           : mode == Mode::ReadWrite ? SQLITE_OPEN_READWRITE
                                                                     : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    Raise(err::InvalidProcedureCall, "SQLite", "Opening " + path + " failed: " + message);
  }
  sqlite3_extended_result_codes(db, 1);
  return std::shared_ptr<SqliteDatabase>(new SqliteDatabase(db));
}

SqliteDatabase::~SqliteDatabase() { sqlite3_close(db_); }

void SqliteDatabase::Execute(std::string_view sql) {
  // sqlite3_exec needs a terminated string.
  const std::string script(sql);
  char* message = nullptr;
  if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    Raise(err::InvalidProcedureCall, "SQLite", "The statement failed: " + text);
  }
}

Variant SqliteDatabase::Query(std::string_view sql) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, &tail) != SQLITE_OK)
    RaiseEngine(db_, "The query does not compile");
  if (!stmt) Raise(err::InvalidProcedureCall, "SQLite", "The query is empty");
  // The cursor owns the statement from here on, also when its first step fails.
  return Variant(std::make_shared<Recordset>(std::make_unique<SqliteCursor>(shared_from_this(), stmt)));
}

Variant OpenSqliteRecordset(const std::string& path, std::string_view query) {
  return SqliteDatabase::Open(path, SqliteDatabase::Mode::ReadOnly)->Query(query);
}

}  // namespace tamarind::database
