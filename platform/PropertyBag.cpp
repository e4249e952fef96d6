#include "platform/PropertyBag.h"

#include "platform/Font.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "runtime/Text.h"

namespace tamarind::platform {

namespace {
bool SameName(std::string_view a, std::string_view b) { return text::FoldCase(a) == text::FoldCase(b); }

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

std::vector<std::pair<std::string, Variant>>::const_iterator PropertyBag::Find(std::string_view name) const {
  for (auto it = entries_.begin(); it != entries_.end(); ++it)
    if (SameName(it->first, name)) return it;
  return entries_.end();
}

Variant PropertyBag::ReadProperty(std::string_view name, const Variant& defaultValue) const {
  auto it = Find(name);
  return it == entries_.end() ? defaultValue : it->second;
}

void PropertyBag::WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue) {
  auto it = Find(name);
  if (EqualsDefault(value, defaultValue)) {
    if (it != entries_.end()) entries_.erase(it);
    return;
  }
  if (it != entries_.end()) {
    entries_[static_cast<size_t>(it - entries_.begin())].second = value;
  } else {
    entries_.emplace_back(std::string(name), value);
  }
}

void PropertyBag::Store(std::string_view name, const Variant& value) {
  auto it = Find(name);
  if (it != entries_.end()) entries_[static_cast<size_t>(it - entries_.begin())].second = value;
  else entries_.emplace_back(std::string(name), value);
}

bool PropertyBag::Contains(std::string_view name) const { return Find(name) != entries_.end(); }

}  // namespace tamarind::platform
