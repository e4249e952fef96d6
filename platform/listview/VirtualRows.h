#pragma once
// Rows a list shows without holding them: the list's virtual mode.
//
// A source counts its rows and hands them out a page at a time, in its own current order and
// under its own filters; the list asks only for the rows it draws or is asked about, and keeps a
// bounded cache of them. Sorting and filtering are the source's work (a database engine's ORDER BY
// and WHERE), so the list's memory does not grow with the number of rows.
//
// Each row has a key, unique among the source's rows and fixed for the row's life: the list keeps
// its selection as keys, so a selection survives sorts, filters and rows leaving the cache.
//
// Every member may fail with a runtime Error (an engine's message, a lost connection); the list
// passes it on and keeps what it shows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamarind::platform {

// How a column's cells are ordered: the three kinds of the header-click sort.
enum class VirtualOrder : uint8_t { Text, Number, Date };

// One filter on the rows: the same tests as the list's Filter and FilterWild.
struct VirtualFilter {
  int32_t column = 0;  // 0-based column of the source
  std::string text;
  // false: the cell's text equals text exactly (letter case counting, nothing trimmed);
  // true: the cell's text, upper-cased, is Like "*" + text upper-cased + "*".
  bool wild = false;
  bool exclude = false;  // the matching rows go instead of the others
};

class VirtualRows {
 public:
  struct Row {
    std::string key;                 // as the list stores keys (a numeric key reads "'17'")
    std::vector<std::string> texts;  // one per column, as a normal fill would have shown them
  };
  virtual ~VirtualRows() = default;

  // The column captions, in order; fixed for the source's life.
  virtual const std::vector<std::string>& Columns() const = 0;
  // The order the engine's declared type gives a column; nullopt where it declares none (the list
  // then judges the column by its first row, as it does in normal mode).
  virtual std::optional<VirtualOrder> DeclaredOrder(int32_t column) const = 0;

  // The rows under the current filters. May change between calls (other connections insert and
  // delete); the list asks again when it is refreshed.
  virtual int64_t RowCount() = 0;
  // Replaces out with the rows at positions first .. first + count - 1 (0-based) in the current
  // order: fewer at the end, none past it.
  virtual void Fetch(int64_t first, int32_t count, std::vector<Row>& out) = 0;

  // Orders the rows by column, read as `as` says, stably as a list that holds its rows sorts:
  // rows equal there keep the order the sorts before left them in, so a series of sorts from the
  // source's own order gives the rows in the order of the last sort's column, then the one
  // before, and so on, then by key. A source may keep only the last few sorts (at least four);
  // rows equal in all of those stand by key. Numbers and dates are read from the cell's text
  // after dropping every character of omit, as the normal mode's keyed sort reads them: an empty
  // cell, and a cell that is no date, count as 0; a cell that is no number is Error 13 (6 for an
  // overflow) and leaves the order as it was. Text is ordered as the normal mode's text sort
  // orders it (letter case ignored, locale-aware).
  virtual void Sort(int32_t column, VirtualOrder as, bool descending, std::string_view omit) = 0;
  // Back to the source's own order (by key), forgetting the sorts made.
  virtual void Unsort() = 0;
  // Rows must now pass this filter too.
  virtual void AddFilter(const VirtualFilter& filter) = 0;
  virtual void ClearFilters() = 0;

  // The 0-based positions of the rows with these keys in the current order and filters, -1 for a
  // key no row shown has; one per key, in the order given.
  virtual std::vector<int64_t> Locate(const std::vector<std::string>& keys) = 0;
  // Whether a row with each of these keys passes the current filters (and still exists): what
  // Locate tells by -1, without placing the rows in the order, so it costs no pass over them.
  virtual std::vector<bool> Shown(const std::vector<std::string>& keys) = 0;
};

}  // namespace tamarind::platform
