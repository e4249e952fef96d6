#pragma once
// SQLite databases: a connection to a database file (or an in-memory database) and recordsets
// over its queries.
//
//   Variant rs = database::OpenSqliteRecordset("orders.db", "SELECT id, name, due FROM orders");
//   kestrel.RecordSetFill(rs, "", "0");

#include <memory>
#include <string>
#include <string_view>

#include "runtime/Variant.h"

struct sqlite3;

namespace tamarind::database {

// A connection and its recordsets are used by one thread at a time.
class SqliteDatabase : public std::enable_shared_from_this<SqliteDatabase> {
 public:
  enum class Mode { ReadOnly, ReadWrite, Create };

  // Opens a database file; ":memory:" opens a private in-memory database. A file that does not
  // exist is Error 53 unless mode is Create; a file that is no database is Error 5 with the
  // engine's message.
  static std::shared_ptr<SqliteDatabase> Open(const std::string& path, Mode mode = Mode::ReadOnly);
  ~SqliteDatabase();
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  // Runs one or more statements that return no rows (a script). Error 5 with the engine's
  // message when a statement fails.
  void Execute(std::string_view sql);
  // A recordset over the rows of one query, on its first row (at its end when there is none).
  // Error 5 with the engine's message for a query that does not compile or fails on its first
  // step. The recordset keeps the connection open for as long as it lives.
  Variant Query(std::string_view sql);

  sqlite3* Handle() const { return db_; }

 private:
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  sqlite3* db_;
};

// Opens the file read-only and runs the query.
Variant OpenSqliteRecordset(const std::string& path, std::string_view query);

}  // namespace tamarind::database
