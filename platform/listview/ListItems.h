#pragma once
// The list view's rows (ListItems): 1-based, optionally keyed, kept in sort order while the list
// is Sorted.
//
// In virtual mode (ListView::BindVirtual) the rows are a source's: Count and Item read them through
// a bounded cache, ForEach fetches them page by page, and Add, Remove and Clear are Error 5, since
// rows come and go in the source.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/listview/ItemSequence.h"
#include "platform/listview/KeyIndex.h"
#include "platform/listview/ListItem.h"
#include "platform/listview/VirtualCache.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class ListItems {
 public:
  explicit ListItems(ListView& owner) : owner_(owner) {}
  ~ListItems();

  int32_t Count() const { return virtual_ ? virtual_->Count() : static_cast<int32_t>(rows_.size()); }

  // Adds a row at index (1-based; 0 = at the end; ignored while the list is Sorted, which puts the
  // row in its sorted place). An empty key means no key; keys are case-sensitive.
  // Error 35602 for a key in use, 35603 for a key that reads as a number, 35600 for an index out
  // of range.
  ListItemRef Add(int32_t index = 0, std::string key = {}, std::string text = {}, Variant icon = {},
                  Variant smallIcon = {});

  const ListItemRef& Item(int32_t index) const;           // 35600 outside 1..Count
  const ListItemRef& Item(std::string_view key) const;    // 35601 when absent
  const ListItemRef& Item(const Variant& indexOrKey) const;
  const ListItemRef& Item(const char* key) const { return Item(std::string_view(key)); }
  const ListItemRef& operator()(int32_t index) const { return Item(index); }
  // nullptr when no row has the key.
  ListItem* FindKey(std::string_view key) const;

  // Removes a row; the item stays readable for whoever holds it.
  void Remove(int32_t index);
  void Remove(std::string_view key);
  void Remove(const Variant& indexOrKey);
  void Remove(const char* key) { Remove(std::string_view(key)); }
  // Removes every row for which take(row) is true, testing them from the last to the first, and
  // gives the removed items back in that order. The rows leave as Remove takes them, but in one
  // pass however many leave; the view hears one reset, as after a sort.
  std::vector<ListItemRef> RemoveIf(const std::function<bool(const ListItem&)>& take);
  void Clear();

  // Error 5 naming what while the list shows a row source.
  void RefuseInVirtualMode(const char* what) const;

  template <class F>
  void ForEach(F&& f) const {
    if (virtual_) virtual_->ForEach(std::forward<F>(f));
    else rows_.forEach(std::forward<F>(f));
  }

 private:
  // The row at 0-based position pos < Count(), and an item's 0-based position (-1 for a row of a
  // source no longer shown), in either mode.
  const ListItemRef& At(size_t pos) const {
    return virtual_ ? virtual_->At(static_cast<int32_t>(pos)) : rows_.at(pos);
  }
  int64_t PositionOf(const ListItem& item) const {
    return virtual_ ? virtual_->PositionOf(item) : static_cast<int64_t>(rows_.positionOf(item));
  }

  friend class ListView;
  friend class ListItem;
  void CheckNewKey(const std::string& key) const;
  void Rekey(ListItem& item, const std::string& oldKey, const std::string& newKey);
  void Detach(ListItem& item, size_t pos);

  ListView& owner_;
  ItemSequence rows_;
  KeyIndex byKey_;
  LPARAM nextParam_ = 1;
  std::unique_ptr<VirtualCache> virtual_;  // set in virtual mode
};

}  // namespace tamarind::platform
