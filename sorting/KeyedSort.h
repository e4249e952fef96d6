#pragma once
// Sorting rows by the value of one column's cells: numbers by their value, dates by their date.
//
// Every cell of the column is read once (as LVM_GETITEMA gives it) and converted once, into this
// thread's SortValues: one key per row, under "k" followed by the row's item parameter. The list
// view then orders its rows by those keys, in the order LVM_SORTITEMS gives with CompareSortKeys
// (which looks up the keys of the two rows it is given) but reading each row's key once.
// SortValues exists from the start of a keyed sort to its end; a sort that fails leaves it behind
// until the next keyed sort replaces it. It is shared by every list on the thread, which is safe
// because a sort runs to its end before another can start.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"
#include "runtime/Variant.h"

namespace tamarind::sorting {

// How BuildSortKeys reads a column's cells.
enum SortKeyKind : int32_t { skDATE = 0, skNUMERIC = 1 };

// The keys of one keyed sort, read as a collection: Count, Item by 1-based position in the order
// added or by key ("k17", letter case ignored). A key is a Double (numbers), a Date (dates) or the
// Integer 0 (an empty cell). The comparison reads a row's key by item parameter in constant time.
class SortKeyCollection {
 public:
  // Room for the keys of rows rows; item parameters up to a few times that are kept in a table
  // indexed by parameter, others in a hash map.
  explicit SortKeyCollection(size_t rows);

  int32_t Count() const { return static_cast<int32_t>(order_.size()); }
  // Error 457 when the row already has a key.
  void AddNumber(platform::LPARAM param, double value) { Add(param, value, Kind::Number); }
  void AddDate(platform::LPARAM param, Date value) { Add(param, value.SerialNumber(), Kind::Date); }
  void AddEmpty(platform::LPARAM param) { Add(param, 0.0, Kind::Empty); }

  Variant Item(int32_t index) const;         // Error 9 outside 1..Count
  Variant Item(std::string_view key) const;  // Error 5 for a key not there

  // The numeric value of a row's key (a date's serial number, 0 for an empty cell); Error 5 for a
  // row without a key.
  double Value(platform::LPARAM param) const {
    if (static_cast<size_t>(param) < values_.size()) {
      const double v = values_[static_cast<size_t>(param)];
      if (v == v) return v;  // NaN marks a parameter without key
    }
    return SparseValue(param);
  }

 private:
  enum class Kind : uint8_t { None, Empty, Number, Date };
  struct Slot {
    double value = 0;
    Kind kind = Kind::None;
  };
  void Add(platform::LPARAM param, double value, Kind kind);
  std::optional<Slot> Find(platform::LPARAM param) const;
  double SparseValue(platform::LPARAM param) const;
  static Variant AsVariant(const Slot& slot);

  // Parameters below denseLimit_ keep their key in two tables indexed by parameter: the values
  // alone, which the comparison reads (eight bytes a row keep them close together), and the kinds.
  size_t denseLimit_;
  std::vector<double> values_;
  std::vector<Kind> kinds_;
  std::unordered_map<platform::LPARAM, Slot> sparse_;
  std::vector<platform::LPARAM> order_;  // the parameters in the order their keys were added
};

// This thread's SortValues: the keys of the keyed sort under way or of one that failed; nullptr
// when none is left (before the first keyed sort and after one that finished).
const SortKeyCollection* SortValues();

// Reads column sub (0 = the item's text) of every row once and keeps its key in a new SortValues.
// OmitChar, when not empty, is taken out of each text first. An empty cell keeps the Integer 0. A
// date column keeps each cell's date; a cell that is no date keeps 0 as well. A numeric column
// keeps each cell's value; a cell that is no number raises the conversion's error (13, or 6 for
// a number too large), which ends the reading at that row with SortValues as far as it got.
void BuildSortKeys(platform::Toolkit& tk, platform::ListView& list, int32_t sub, int32_t kind,
                   const std::string& OmitChar);

// Sorts the rows by the values of column sub in direction dir (0 ascending, 1 descending): the
// list's Sorted becomes False, SortKey sub and SortOrder dir, the keys are built, the list view
// orders its rows by them as CompareSortKeys would, and SortValues is released. An error (an unconvertible
// cell) reaches the caller with the rows as they were and the sort state already set.
void SortListViewByKeys(platform::Toolkit& tk, platform::ListView& list, int32_t sub, int32_t kind, int32_t dir,
                        const std::string& OmitChar);

// The compare routine of LVM_SORTITEMS: the sign of the difference of the two rows' keys in
// SortValues, negated when lParamSort is 1. Error 91 when there is no SortValues, 5 for a row
// without a key.
int32_t CompareSortKeys(platform::LPARAM lParam1, platform::LPARAM lParam2, platform::LPARAM lParamSort);

}  // namespace tamarind::sorting
