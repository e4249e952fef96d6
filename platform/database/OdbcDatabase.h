#pragma once
// ODBC data sources through the driver manager: any database with an ODBC driver (PostgreSQL,
// MySQL, SQLite, ...) gives recordsets that answer the same late-bound names as the SQLite ones.
//
//   Variant rs = database::OpenOdbcRecordset("DSN=orders", "SELECT id, name, due FROM orders");
//
// Values are read column by column as each row is fetched: integers and reals as numbers,
// DECIMAL/NUMERIC as numbers while a Double holds them exactly (else as their text), dates,
// times and timestamps as Dates, NULL as Null, everything else as text; binary columns are an
// Error when read.

#include <memory>
#include <string>
#include <string_view>

#include "runtime/Variant.h"

namespace tamarind::database {

class OdbcConnection : public std::enable_shared_from_this<OdbcConnection> {
 public:
  // Connects with an ODBC connection string ("DSN=name;UID=...;PWD=..." or "DRIVER={...};...").
  // Error 5 with the driver manager's or the driver's message when the connection fails. The
  // driver manager reads its configuration (odbcinst.ini, odbc.ini) once per process.
  static std::shared_ptr<OdbcConnection> Connect(const std::string& connectionString);
  ~OdbcConnection();
  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;

  // Runs a statement that returns no rows. Error 5 with the driver's message when it fails.
  void Execute(std::string_view sql);
  // A recordset over the rows of one query, on its first row. Error 5 with the driver's message
  // when the query fails. The recordset keeps the connection open for as long as it lives.
  Variant Query(std::string_view sql);

  void* EnvironmentHandle() const { return env_; }
  void* ConnectionHandle() const { return dbc_; }

 private:
  OdbcConnection() = default;
  void* env_ = nullptr;
  void* dbc_ = nullptr;
  bool connected_ = false;
};

// Connects and runs the query.
Variant OpenOdbcRecordset(const std::string& connectionString, std::string_view query);

}  // namespace tamarind::database
