#pragma once
// Filtering the list: rows whose cell in one column fails a test are taken out of the list and
// parked in the control's FilteredListItems, and come back with FilterRemove.
//
// Two tests: Filter keeps the rows whose cell equals the search text exactly (character for
// character, letter case counting, nothing trimmed); FilterWild keeps the rows whose cell contains
// the search text ignoring letter case, where the search text may carry the Like wildcards
// (? * # [list] [!list]). ExcludeMatch turns either test over: the matching rows go.
//
// Rows are visited from the last to the first and each is taken out by its index, so the rows of
// one call are parked last row first. Filters applied one after another park into the same
// collection; FilterRemove appends every parked row to the list, in the order they were parked,
// and empties it.
//
// With SmartColumnSort, a filter first sorts the list by the text of its first column and
// afterwards sorts it again by the column it was sorted by, as the type of that column's first
// remaining cell says, in the direction it had; the sounds are silenced meanwhile.
//
// On any error the list is unlocked and the same error goes on to the caller; what was done stays
// done and nothing parked is lost.
//
// In virtual mode the filters go to the row source, whose engine applies the same tests: nothing
// is parked (FilteredListItems stays Nothing), filters add up until FilterRemove drops them all,
// and the rows keep the source's order (no smart sort).

#include <cstdint>
#include <memory>
#include <string>

#include "core/KestrelState.h"
#include "runtime/Collection.h"
#include "sorting/ColumnSort.h"

namespace tamarind::dataio {

class Filtering {
 public:
  // parked is the control's FilteredListItems: nullptr while nothing is parked.
  Filtering(KestrelState& s, sorting::ColumnSort& sort, std::shared_ptr<Collection>& parked)
      : s_(s), sort_(sort), parked_(parked) {}

  // SubItemIndex: 0 tests the item's own text, n sub-item n. Errors: 35600 for a column the list
  // does not have (when the list has rows), 6 for an index beyond 16 bits, 93 for a malformed
  // wildcard list, and whatever a smart sort raises.
  void Filter(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch = false);
  void FilterWild(const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch = false);

  // Adds every parked row at the end of the list (where a Sorted list puts it) with its key, text,
  // icons and tag, and each sub-item's text, tag, report icon, bold, colour, key and tool-tip; then
  // nothing is parked. A key in use meanwhile is Error 35602: the rows restored before it stay in
  // the list and every row stays parked.
  void FilterRemove();

 private:
  enum class Test { Exact, Wild };
  void Run(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch);
  void CheckColumn(int32_t SubItemIndex) const;
  // The filter of a list in virtual mode: the source's engine applies it.
  void RunInSource(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch);
  void TakeOut(Test test, const std::string& searchSTR, int32_t SubItemIndex, bool ExcludeMatch);
  void Restore(const platform::ListItemRef& parked);

  KestrelState& s_;
  sorting::ColumnSort& sort_;
  std::shared_ptr<Collection>& parked_;
};

}  // namespace tamarind::dataio
