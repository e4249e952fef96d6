#pragma once
// The list view's own text sort: the order of a list's rows by the text of one column, ignoring
// letter case, locale-aware (accents sort with their letter) and stable.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/listview/ListItem.h"

namespace tamarind::platform {

// The positions of rows in sorted order: by the text of column key (0 = the item's text) in
// direction order (0 ascending, 1 descending); rows of equal text there by the text of column
// thenKey in direction thenOrder (no such step for thenKey -1); rows equal in both keep their
// order. Each distinct text is keyed once (ICU collation keys); the sort compares key bytes.
std::vector<size_t> TextSortOrder(const std::vector<const ListItem*>& rows, int32_t key, int32_t order,
                                  int32_t thenKey, int32_t thenOrder);

}  // namespace tamarind::platform
