#pragma once
// Comparing a virtual-mode row source with the normal mode: the same query filled into a Kestrel,
// sorted and filtered there by the list's own code.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/listview/TextSort.h"
#include "platform/listview/VirtualRows.h"
#include "sorting/KeyedSort.h"
#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {

// A row as both modes show it: its key, then its cells.
using Shown = std::vector<std::string>;

inline std::vector<Shown> AllRows(platform::VirtualRows& rows) {
  std::vector<platform::VirtualRows::Row> page;
  rows.Fetch(0, 1 << 20, page);
  std::vector<Shown> out;
  for (auto& r : page) {
    Shown s{r.key};
    s.insert(s.end(), r.texts.begin(), r.texts.end());
    out.push_back(std::move(s));
  }
  return out;
}

inline std::vector<std::string> AllKeys(platform::VirtualRows& rows) {
  std::vector<std::string> keys;
  for (const Shown& s : AllRows(rows)) keys.push_back(s.front());
  return keys;
}

inline std::vector<Shown> ListRows(Kestrel& k) {
  const int32_t columns = k.ColumnHeaders().Count();
  std::vector<Shown> out;
  k.ListItems().ForEach([&](const ListItemRef& item) {
    Shown s{item->Key()};
    for (int32_t j = 0; j < columns; ++j) s.push_back(item->ColumnText(j));
    out.push_back(std::move(s));
  });
  return out;
}

inline std::vector<std::string> ListKeys(Kestrel& k) {
  return EachRow(k, [](const platform::ListItem& item) { return item.Key(); });
}

// The keys in the order of the list's text sort of column (0-based), rows of equal text in list order.
inline std::vector<std::string> TextSortedKeys(Kestrel& k, int32_t column, bool descending) {
  std::vector<const platform::ListItem*> rows;
  k.ListItems().ForEach([&](const ListItemRef& item) { rows.push_back(item.get()); });
  std::vector<std::string> keys;
  for (size_t i : platform::TextSortOrder(rows, column, descending ? 1 : 0, -1, 0)) keys.push_back(rows[i]->Key());
  return keys;
}

// The list's keyed sort of column by number or date; Error 13 and the like pass on.
inline std::vector<std::string> KeySortedKeys(Desk& desk, Kestrel& k, int32_t column, platform::VirtualOrder as,
                                              bool descending, const std::string& omit = {}) {
  sorting::SortListViewByKeys(desk.tk, k.ListViewControl(), column,
                              as == platform::VirtualOrder::Date ? sorting::skDATE : sorting::skNUMERIC,
                              descending ? 1 : 0, omit);
  return ListKeys(k);
}

// A header click's sort: the list's own PerformSortOnColumn on the list that holds its rows, and
// the call the list in virtual mode makes on its source (a text sort turns SortOrder over).
struct HeaderSort {
  int32_t column;  // 0-based
  platform::VirtualOrder as;
};

// The same sort asked of a list that holds its rows and of a list bound to the source: the list
// decides what it asks of the source (a text sort by Sorted's assignments first sorts by the old
// key), as a header click would.
inline void SortBoth(Kestrel& k, Kestrel& v, const HeaderSort& s, bool descending) {
  const SortDataType type = s.as == platform::VirtualOrder::Text     ? sdt_STRING
                            : s.as == platform::VirtualOrder::Number ? sdt_NUMERIC
                                                                     : sdt_DATE;
  for (Kestrel* each : {&k, &v}) each->PerformSortOnColumn(s.column + 1, type, descending ? lvDESC : lvASC);
}

// Random series of 2 to 4 header sorts, each from the source's own order (refill gives the list
// its rows in key order again, and v is bound to rows afresh): after every sort both lists show
// the same keys, and the source's own reading agrees.
inline void ExpectSeriesOfSortsAgree(Kestrel& k, Kestrel& v, const std::shared_ptr<platform::VirtualRows>& rows,
                                     const std::function<void()>& refill, const std::vector<HeaderSort>& sorts,
                                     int series, uint32_t seed) {
  std::mt19937 random(seed);
  for (int n = 0; n < series; ++n) {
    for (Kestrel* each : {&k, &v}) {
      each->Sorted(false);
      each->SortKey(0);
      each->SortOrder(0);  // ascending
    }
    refill();
    rows->Unsort();
    v.BindRowSource(rows);
    const int length = 2 + static_cast<int>(random() % 3);
    std::string done;
    for (int i = 0; i < length; ++i) {
      const HeaderSort& s = sorts[random() % sorts.size()];
      const bool descending = random() % 2;
      SortBoth(k, v, s, descending);
      done += " " + std::to_string(s.column) + "/" + std::to_string(static_cast<int>(s.as)) + (descending ? "d" : "");
      ASSERT_EQ(ListKeys(v), ListKeys(k)) << "after" << done;
      ASSERT_EQ(AllKeys(*rows), ListKeys(k)) << "after" << done;
    }
  }
}

inline std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace tamarind::testing
