#include "platform/listview/ListItems.h"

#include "platform/listview/ListView.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

void ListItems::RefuseInVirtualMode(const char* what) const {
  if (virtual_)
    Raise(err::InvalidProcedureCall, "ListItems",
          std::string(what) + " is not available while the list shows a row source: its rows come from the source");
}

ListItems::~ListItems() {
  virtual_.reset();
  rows_.forEach([](const ListItemRef& item) { item->owner_ = nullptr; });
  rows_.clear();
}

void ListItems::CheckNewKey(const std::string& key) const {
  if (key.empty()) return;
  if (IsNumeric(Variant(key))) Raise(err::InvalidKey, "ListItems");
  if (byKey_.Find(key)) Raise(err::KeyNotUnique, "ListItems");
}

void ListItems::Rekey(ListItem& item, const std::string& oldKey, const std::string& newKey) {
  if (!newKey.empty() && byKey_.Find(newKey)) Raise(err::KeyNotUnique, "ListItems");
  if (!oldKey.empty()) byKey_.Erase(oldKey, &item);
  if (!newKey.empty()) byKey_.Insert(newKey, &item);
}

ListItemRef ListItems::Add(int32_t index, std::string key, std::string text, Variant icon, Variant smallIcon) {
  RefuseInVirtualMode("ListItems.Add");
  if (index < 0 || index > Count() + 1) Raise(err::IndexOutOfBounds, "ListItems");
  CheckNewKey(key);
  auto item = std::make_shared<ListItem>(std::move(key), std::move(text), std::move(icon), std::move(smallIcon),
                                         nextParam_++);
  item->owner_ = &owner_;
  const bool sorted = owner_.Sorted();
  const size_t pos = sorted ? owner_.SortedInsertPosition(*item)
                            : (index == 0 ? rows_.size() : static_cast<size_t>(index - 1));
  // A row put in its sorted place keeps the rows in order; one put anywhere else may not.
  if (!sorted) owner_.OnRowTextsChanged(-1);
  owner_.OnItemInserting(pos);
  rows_.insert(pos, item);
  if (!item->key_.empty()) byKey_.Insert(item->key_, item.get());
  owner_.OnItemInserted(*item, pos);
  return item;
}

const ListItemRef& ListItems::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ListItems");
  return At(static_cast<size_t>(index - 1));
}

ListItem* ListItems::FindKey(std::string_view key) const {
  if (virtual_) return virtual_->FindKey(key);
  return byKey_.Find(key);
}

const ListItemRef& ListItems::Item(std::string_view key) const {
  ListItem* item = FindKey(key);
  if (!item) Raise(err::ElementNotFound, "ListItems");
  if (virtual_) {
    const int64_t pos = virtual_->PositionOf(*item);
    if (pos < 0) Raise(err::ElementNotFound, "ListItems");
    // A pinned item is the one its page gives back when fetched again.
    return virtual_->At(static_cast<int32_t>(pos));
  }
  return rows_.at(rows_.positionOf(*item));
}

const ListItemRef& ListItems::Item(const Variant& indexOrKey) const {
  if (indexOrKey.IsString()) return Item(std::string_view(indexOrKey.AsString()));
  return Item(CLng(indexOrKey));
}

void ListItems::Detach(ListItem& item, size_t pos) {
  if (!item.key_.empty()) byKey_.Erase(item.key_, &item);
  item.owner_ = nullptr;
  owner_.OnItemRemoved(item, pos);
}

void ListItems::Remove(int32_t index) {
  RefuseInVirtualMode("ListItems.Remove");
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ListItems");
  const auto pos = static_cast<size_t>(index - 1);
  owner_.OnItemRemoving(pos);
  ListItemRef removed = rows_.erase(pos);
  Detach(*removed, pos);
}

void ListItems::Remove(std::string_view key) {
  RefuseInVirtualMode("ListItems.Remove");
  ListItem* item = FindKey(key);
  if (!item) Raise(err::ElementNotFound, "ListItems");
  const size_t pos = rows_.positionOf(*item);
  owner_.OnItemRemoving(pos);
  ListItemRef removed = rows_.erase(pos);
  Detach(*removed, pos);
}

std::vector<ListItemRef> ListItems::RemoveIf(const std::function<bool(const ListItem&)>& take) {
  RefuseInVirtualMode("ListItems.Remove");
  // Every row is tested before any leaves: a test that raises leaves the list as it was.
  std::vector<uint8_t> taken(rows_.size());
  size_t count = 0;
  size_t pos = rows_.size();
  rows_.forEachBackward([&](const ListItemRef& item) {
    --pos;
    if (take(*item)) {
      taken[pos] = 1;
      ++count;
    }
  });
  if (count == 0) return {};
  // Most keys leaving: entering the few that stay costs less than taking out the many.
  const bool enterKeysAgain = count > rows_.size() - count;
  std::vector<ListItemRef> removed = rows_.eraseMarked(taken, [&](ListItem& item) {
    if (!enterKeysAgain && !item.key_.empty()) byKey_.Erase(item.key_, &item);
    item.owner_ = nullptr;
    owner_.Unselect(item);
  });
  if (enterKeysAgain) {
    byKey_.ClearKeepingRoom();
    rows_.forEach([this](const ListItemRef& item) {
      if (!item->key_.empty()) byKey_.Insert(item->key_, item.get());
    });
  }
  owner_.OnItemsRemoved();
  return removed;
}

void ListItems::Remove(const Variant& indexOrKey) {
  if (indexOrKey.IsString()) Remove(std::string_view(indexOrKey.AsString()));
  else Remove(CLng(indexOrKey));
}

void ListItems::Clear() {
  RefuseInVirtualMode("ListItems.Clear");
  rows_.forEach([](const ListItemRef& item) { item->owner_ = nullptr; });
  rows_.clear();
  byKey_.Clear();
  owner_.OnItemsCleared();
}

}  // namespace tamarind::platform
