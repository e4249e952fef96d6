#pragma once
// The selected rows as one delimited text: their keys (GetSelectedKeys) or their 1-based indexes
// (GetSelectedIndexes), in list order.
//
// Joining: a value is appended after the delimiter only when the text so far is not empty; while
// it is empty the value replaces it. So keys "a", "", "c" give "a,,c", and "", "b" give "b".
//
// With SmartColumnSort the list is first put in the list view's own text order of its sort column
// (when that column holds numbers or dates), the selection is read, and the column is then sorted
// by value again through the same handling as a click on its header: ColumnClick,
// BeforeColumnSort and ColumnSortComplete reach the host once each, without the sort sound, and
// the list ends in the direction it had.
//
// Any error is reported in a "Warning" message box and the result is "".

#include <string>
#include <string_view>

#include "core/KestrelState.h"
#include "sorting/ColumnSort.h"

namespace tamarind::dataio {

class SelectionQueries {
 public:
  SelectionQueries(KestrelState& s, sorting::ColumnSort& sort) : s_(s), sort_(sort) {}

  std::string GetSelectedKeys(const std::string& Delim = ",");
  std::string GetSelectedIndexes(const std::string& Delim = ",");

 private:
  enum class Value { Key, Index };
  std::string Query(Value value, const std::string& Delim, std::string_view procedureText);
  // The selected rows' values joined, read in one walk over the rows and built in one piece.
  std::string Join(Value value, const std::string& Delim) const;

  KestrelState& s_;
  sorting::ColumnSort& sort_;
};

}  // namespace tamarind::dataio
