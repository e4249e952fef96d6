// Builds a SQLite database file from a SQL script: sqlscript <database> <script.sql>.
// An existing database file is replaced, so the result depends on the script alone.

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: sqlscript <database> <script.sql>\n";
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    std::cerr << "sqlscript: cannot read " << argv[2] << "\n";
    return 1;
  }
  std::ostringstream script;
  script << in.rdbuf();
  std::error_code ec;
  std::filesystem::remove(argv[1], ec);
  sqlite3* db = nullptr;
  if (sqlite3_open(argv[1], &db) != SQLITE_OK) {
    std::cerr << "sqlscript: cannot create " << argv[1] << ": " << sqlite3_errmsg(db) << "\n";
    sqlite3_close(db);
    return 1;
  }
  char* message = nullptr;
  const int rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) std::cerr << "sqlscript: " << argv[2] << ": " << (message ? message : "failed") << "\n";
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK) std::filesystem::remove(argv[1], ec);
  return rc == SQLITE_OK ? 0 : 1;
}
