#pragma once
// Databases made by the tests themselves: a SQLite file in a private temporary folder, and the
// ODBC driver manager pointed at the SQLite ODBC driver through its own configuration files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/database/SqliteDatabase.h"
#include "runtime/Dispatch.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {

// A SQLite database file made from a script.
inline std::string MakeDatabase(const TempFolder& dir, const std::string& script, const std::string& name = "t.db") {
  const std::string path = dir.File(name);
  database::SqliteDatabase::Open(path, database::SqliteDatabase::Mode::Create)->Execute(script);
  return path;
}

// rs.Fields(i).Value and rs.Fields(i).Name through the late-bound names.
inline Variant FieldValue(const Variant& rs, const Variant& index) {
  return DefaultValue(Invoke(Get(rs, "Fields"), "", CallType::Get, {index}));
}
inline std::string FieldName(const Variant& rs, int32_t i) {
  return Get(Invoke(Get(rs, "Fields"), "", CallType::Get, {i}), "Name").AsString();
}
inline bool AtEnd(const Variant& rs) { return Get(rs, "EOF").AsBoolean(); }

// The SQLite ODBC driver registered as "SQLite3" and a data source "tamarind" for a database
// file, in configuration files of a private folder that the driver manager reads instead of the
// system's. The driver manager reads them once per process, so there is one such folder and one
// data source for the whole run; MakeOdbcDatabase makes the source's database afresh.
struct OdbcSetup {
  OdbcSetup() {
    const std::string driver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";
    std::ofstream(dir.Path() / "odbcinst.ini") << "[SQLite3]\nDescription=SQLite 3\nDriver=" << driver << "\n";
    std::ofstream(dir.Path() / "odbc.ini") << "[tamarind]\nDriver=SQLite3\nDatabase=" << Database() << "\n";
    setenv("ODBCSYSINI", dir.Path().c_str(), 1);
    setenv("ODBCINI", (dir.Path() / "odbc.ini").c_str(), 1);
  }
  std::string Database() const { return dir.File("odbc.db"); }
  TempFolder dir;
};

// The data source's database, made from script; returns the connection string.
inline std::string MakeOdbcDatabase(const std::string& script) {
  static OdbcSetup setup;
  std::filesystem::remove(setup.Database());
  database::SqliteDatabase::Open(setup.Database(), database::SqliteDatabase::Mode::Create)->Execute(script);
  return "DSN=tamarind";
}

}  // namespace tamarind::testing
