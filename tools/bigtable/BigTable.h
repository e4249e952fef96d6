#pragma once
// The large orders table: an SQLite file with one table
//
//   orders(id INTEGER PRIMARY KEY, customer TEXT, item TEXT, qty INTEGER, price REAL, due TEXT)
//
// of any number of rows, the same rows for the same count on every machine (a fixed-seed
// splitmix64 picks them). Customers and items come from small word lists, so their texts repeat
// and a wildcard filter on a first name matches a few percent of the rows. customer, qty and due
// are indexed. A table `meta(key, value)` records the row count and the generator's format, and is
// written last, so a file that has it is complete.

#include <cstdint>
#include <functional>
#include <string>

namespace tamarind::bigtable {

inline constexpr int64_t kDefaultRows = 10'000'000;

// The rows the file at path holds when it is a complete table of this generator's current
// format; -1 when it is missing, incomplete, of another format or no database.
int64_t ExistingRows(const std::string& path);

struct WriteResult {
  bool written = false;  // false: the file was already there with these rows
  double seconds = 0;    // the whole run
  double insertSeconds = 0, indexSeconds = 0;
  int64_t bytes = 0;     // the file's size
};

// Where Ensure builds the table for path in this process before renaming it.
std::string PartPath(const std::string& path);

// Makes path a table of rows rows, unless it already is one. The table is built under a name of
// its own beside path and renamed onto it only when complete, so an interrupted run leaves no
// half file behind. progress (when given) hears a line of text now and then. Throws
// std::runtime_error with the engine's message when the file cannot be written.
WriteResult Ensure(const std::string& path, int64_t rows = kDefaultRows,
                   const std::function<void(const std::string&)>& progress = {});

}  // namespace tamarind::bigtable
