#include "platform/controls/TabStrip.h"

#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

bool Tab::Selected() const { return owner_ && owner_->selected_ == this; }

void Tab::Caption(std::string c) {
  caption_ = std::move(c);
  if (owner_) owner_->OnPropertyChanged("Tabs");
}

void Tab::Selected(bool v) {
  if (owner_ && v) owner_->Select(*this);
}

TabStrip::TabStrip(Toolkit& tk, Window* parent) : Control(tk, "TabStrip20WndClass", parent) {}

Tab& TabStrip::Add(int32_t index, std::string key, std::string caption) {
  if (index < 0 || index > Count() + 1) Raise(err::IndexOutOfBounds, "TabStrip");
  if (!key.empty()) {
    if (IsNumeric(Variant(key))) Raise(err::InvalidKey, "TabStrip");
    for (const auto& t : tabs_)
      if (t->key_ == key) Raise(err::KeyNotUnique, "TabStrip");
  }
  auto tab = std::make_unique<Tab>();
  tab->owner_ = this;
  tab->key_ = std::move(key);
  tab->caption_ = std::move(caption);
  Tab& ref = *tab;
  const size_t pos = index == 0 ? tabs_.size() : static_cast<size_t>(index - 1);
  tabs_.insert(tabs_.begin() + static_cast<std::ptrdiff_t>(pos), std::move(tab));
  Renumber();
  if (!selected_) selected_ = &ref;  // the strip always shows one tab as selected
  OnPropertyChanged("Tabs");
  return ref;
}

Tab& TabStrip::Item(int32_t index) {
  if (index < 1 || index > Count()) Raise(err::IndexOutOfBounds, "TabStrip");
  return *tabs_[static_cast<size_t>(index - 1)];
}

const Tab& TabStrip::Item(int32_t index) const { return const_cast<TabStrip*>(this)->Item(index); }

void TabStrip::Remove(int32_t index) {
  Tab& t = Item(index);
  const bool wasSelected = selected_ == &t;
  tabs_.erase(tabs_.begin() + (index - 1));
  Renumber();
  if (wasSelected) selected_ = tabs_.empty() ? nullptr : tabs_.front().get();
  OnPropertyChanged("Tabs");
}

void TabStrip::Clear() {
  tabs_.clear();
  selected_ = nullptr;
  OnPropertyChanged("Tabs");
}

Tab* TabStrip::SelectedItem() const { return selected_; }

void TabStrip::Style(int16_t s) {
  if (s < 0 || s > 2) Raise(err::InvalidPropertyValue, "TabStrip");
  style_ = s;
  OnPropertyChanged("Style");
}

void TabStrip::Placement(int16_t p) {
  if (p < 0 || p > 3) Raise(err::InvalidPropertyValue, "TabStrip");
  placement_ = p;
  OnPropertyChanged("Placement");
}

void TabStrip::Select(Tab& t) {
  if (selected_ == &t) return;
  selected_ = &t;
  OnPropertyChanged("SelectedItem");
  Click();
}

void TabStrip::Renumber() {
  for (size_t i = 0; i < tabs_.size(); ++i) tabs_[i]->index_ = static_cast<int32_t>(i + 1);
}

}  // namespace tamarind::platform
