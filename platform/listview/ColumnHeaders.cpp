#include "platform/listview/ColumnHeaders.h"

#include <algorithm>

#include "platform/Messages.h"
#include "platform/listview/ListView.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

void ColumnHeader::Key(std::string k) {
  if (k == key_) return;
  if (!k.empty()) {
    if (IsNumeric(Variant(k))) Raise(err::InvalidKey, "ColumnHeaders");
    if (owner_)
      for (const auto& c : owner_->ColumnHeaders())
        if (c.get() != this && c->key_ == k) Raise(err::KeyNotUnique, "ColumnHeaders");
  }
  key_ = std::move(k);
}

void ColumnHeader::Changed() const {
  if (owner_) owner_->Notify(ListViewObserver::Change::Columns);
}

void ColumnHeader::Text(std::string t) {
  text_ = std::move(t);
  Changed();
}

void ColumnHeader::SetHeaderItem(int32_t format, int32_t image) {
  headerFormat_ = format;
  headerImage_ = image;
  Changed();
}

void ColumnHeader::Width(float w) {
  if (w < 0) Raise(err::InvalidPropertyValue, "ColumnHeader");
  width_ = w;
  Changed();
  if (owner_) owner_->ClampScroll();
}

void ColumnHeader::Alignment(int16_t a) {
  if (a < lvwColumnLeft || a > lvwColumnCenter) Raise(err::InvalidPropertyValue, "ColumnHeader");
  alignment_ = a;
  headerFormat_ = (headerFormat_ & ~HDF_JUSTIFYMASK) | a;
  Changed();
}

void ColumnHeader::Icon(Variant i) {
  int32_t image = -1;  // -1: no image
  if (i.IsString()) {
    if (owner_ && owner_->ColumnHeaderIcons()) image = owner_->ColumnHeaderIcons()->Item(std::string_view(i.AsString())).Index - 1;
  } else if (!i.IsEmpty()) {
    const int32_t n = CLng(i);
    if (n < 0) Raise(err::InvalidPropertyValue, "ColumnHeader");
    image = n - 1;
  }
  icon_ = std::move(i);
  if (image < 0) {
    headerFormat_ &= ~HDF_IMAGE;
    headerImage_ = 0;
  } else {
    headerFormat_ |= HDF_IMAGE;
    headerImage_ = image;
  }
  Changed();
}

int32_t ColumnHeader::Position() const {
  if (!owner_) return 0;
  const auto& order = owner_->ColumnOrder();
  auto it = std::find(order.begin(), order.end(), index_ - 1);
  return it == order.end() ? 0 : static_cast<int32_t>(it - order.begin()) + 1;
}

void ColumnHeader::Position(int32_t p) {
  if (!owner_ || p < 1 || p > owner_->ColumnHeaders().Count()) Raise(err::InvalidPropertyValue, "ColumnHeader");
  std::vector<int32_t> order = owner_->ColumnOrder();
  order.erase(std::find(order.begin(), order.end(), index_ - 1));
  order.insert(order.begin() + (p - 1), index_ - 1);
  owner_->ColumnOrder(order);
}

// --- ColumnHeaders -----------------------------------------------------------------------------------

ColumnHeaders::~ColumnHeaders() {
  for (auto& c : columns_) c->owner_ = nullptr;
}

ColumnHeaderRef ColumnHeaders::Add(int32_t index, std::string key, std::string text, float width, int16_t alignment,
                                   Variant icon) {
  if (index < 0 || index > Count() + 1) Raise(err::IndexOutOfBounds, "ColumnHeaders");
  auto col = std::make_shared<ColumnHeader>();
  col->owner_ = &owner_;
  col->Key(std::move(key));
  col->text_ = std::move(text);
  col->Width(width < 0 ? ColumnHeader::kDefaultWidth : width);
  col->Alignment(alignment);
  const size_t pos = index == 0 ? columns_.size() : static_cast<size_t>(index - 1);
  columns_.insert(columns_.begin() + static_cast<std::ptrdiff_t>(pos), col);
  Renumber();
  owner_.OnColumnAdded(static_cast<int32_t>(pos));
  if (!icon.IsEmpty()) col->Icon(std::move(icon));
  return col;
}

const ColumnHeaderRef& ColumnHeaders::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "ColumnHeaders");
  return columns_[static_cast<size_t>(index - 1)];
}

const ColumnHeaderRef& ColumnHeaders::Item(std::string_view key) const {
  for (const auto& c : columns_)
    if (!c->key_.empty() && c->key_ == key) return c;
  Raise(err::ElementNotFound, "ColumnHeaders");
}

const ColumnHeaderRef& ColumnHeaders::Item(const Variant& indexOrKey) const {
  if (indexOrKey.IsString()) return Item(std::string_view(indexOrKey.AsString()));
  return Item(CLng(indexOrKey));
}

void ColumnHeaders::Remove(int32_t index) {
  Item(index);
  columns_[static_cast<size_t>(index - 1)]->owner_ = nullptr;
  columns_.erase(columns_.begin() + (index - 1));
  Renumber();
  owner_.OnColumnRemoved(index - 1);
}

void ColumnHeaders::Remove(std::string_view key) { Remove(Item(key)->Index()); }

void ColumnHeaders::Clear() {
  for (auto& c : columns_) c->owner_ = nullptr;
  columns_.clear();
  owner_.OnColumnsCleared();
}

void ColumnHeaders::Renumber() {
  for (size_t i = 0; i < columns_.size(); ++i) columns_[i]->index_ = static_cast<int32_t>(i + 1);
}

}  // namespace tamarind::platform
