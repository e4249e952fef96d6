#include "platform/PropertyBag.h"

#include "platform/Font.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "runtime/Text.h"

namespace tamarind::platform {

namespace {
bool SameObject(const ObjectRef& a, const ObjectRef& b) {
  if (!a || !b) return !a && !b;
  if (a == b) return true;
  if (auto fa = std::dynamic_pointer_cast<StdFont>(a)) {
    auto fb = std::dynamic_pointer_cast<StdFont>(b);
    return fb && *fa == *fb;
  }
  if (auto pa = std::dynamic_pointer_cast<StdPicture>(a)) {
    auto pb = std::dynamic_pointer_cast<StdPicture>(b);
    return pb && pa->SamePixels(*pb);
  }
  if (auto la = std::dynamic_pointer_cast<ImageList>(a)) {
    auto lb = std::dynamic_pointer_cast<ImageList>(b);
    return lb && la->SameImages(*lb);
  }
  return false;
}
}  // namespace

bool PropertyBag::EqualsDefault(const Variant& value, const Variant& defaultValue) {
  if (value.IsObject() || defaultValue.IsObject()) {
    // An empty picture equals no picture: neither is worth storing.
    auto emptyPicture = [](const Variant& v) {
      if (v.IsNothing()) return true;
      auto p = std::dynamic_pointer_cast<StdPicture>(v.AsObject());
      return p && p->IsEmpty();
    };
    if (emptyPicture(value) && emptyPicture(defaultValue)) return true;
    if (!value.IsObject() || !defaultValue.IsObject()) return false;
    return SameObject(value.AsObject(), defaultValue.AsObject());
  }
  if (value.IsNull() || defaultValue.IsNull()) return value.IsNull() && defaultValue.IsNull();
  // The runtime's own comparison: numbers by value, text by text; a number never equals a text.
  return Equals(value, defaultValue);
}

size_t PropertyBag::Find(std::string_view name) const {
  const auto it = index_.find(text::FoldCase(name));
  return it == index_.end() ? entries_.size() : it->second;
}

void PropertyBag::Append(std::string_view name, const Variant& value) {
  index_.emplace(text::FoldCase(name), entries_.size());
  entries_.emplace_back(std::string(name), value);
}

Variant PropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) const {
  const size_t at = Find(name);
  return at == entries_.size() ? defaultValue : entries_[at].second;
}

void PropertyBag::WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue) {
  const size_t at = Find(name);
  if (EqualsDefault(value, defaultValue)) {
    if (at == entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
    // The entries after it moved down by one.
    index_.clear();
    for (size_t i = 0; i < entries_.size(); ++i) index_.emplace(text::FoldCase(entries_[i].first), i);
    return;
  }
  if (at != entries_.size()) entries_[at].second = value;
  else Append(name, value);
}

void PropertyBag::Store(std::string_view name, const Variant& value) {
  const size_t at = Find(name);
  if (at != entries_.size()) entries_[at].second = value;
  else Append(name, value);
}

bool PropertyBag::Contains(std::string_view name) const { return Find(name) != entries_.size(); }

}  // namespace tamarind::platform
