#pragma once
// Comparing a virtual-mode row source with the normal mode: the same query filled into a Kestrel,
// sorted and filtered there by the list's own code.

#include <gtest/gtest.h>

#include <algorithm>
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

inline std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace tamarind::testing
