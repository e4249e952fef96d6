// Builds a SQLite database file from a SQL script: sqlscript <database> <script.sql>.
// An existing database file is replaced, so the result depends on the script alone. The database
// is built under a name of its own beside the target and takes the target's name only once the
// whole script ran, so an interrupted or failed build never leaves a half-made database.

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

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
  const std::string part = std::string(argv[1]) + ".part";
  std::error_code ec;
  std::filesystem::remove(part, ec);
  sqlite3* db = nullptr;
  if (sqlite3_open(part.c_str(), &db) != SQLITE_OK) {
    std::cerr << "sqlscript: cannot create " << argv[1] << ": " << sqlite3_errmsg(db) << "\n";
    sqlite3_close(db);
    return 1;
  }
  char* message = nullptr;
  const int rc = sqlite3_exec(db, script.str().c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) std::cerr << "sqlscript: " << argv[2] << ": " << (message ? message : "failed") << "\n";
  sqlite3_free(message);
  const bool closed = sqlite3_close(db) == SQLITE_OK;
  if (rc == SQLITE_OK && closed) std::filesystem::rename(part, argv[1], ec);
  if (rc != SQLITE_OK || !closed || ec) {
    if (ec) std::cerr << "sqlscript: cannot write " << argv[1] << ": " << ec.message() << "\n";
    std::filesystem::remove(part, ec);
    return 1;
  }
  return 0;
}
