#include "runtime/Collection.h"

#include <algorithm>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind {

namespace {

// The form a key is stored and looked up in. FoldCase maps plain ASCII keys without ICU.
std::string FoldKey(std::string_view key) { return text::FoldCase(key); }

}  // namespace

void Collection::Add(Variant item, std::optional<std::string> key, std::optional<Variant> before,
                     std::optional<Variant> after) {
  if (before && after) Raise(err::InvalidProcedureCall, "Collection");
  std::string folded;
  if (key) {
    if (key->empty()) Raise(err::InvalidProcedureCall, "Collection");
    folded = FoldKey(*key);
    if (byKey_.find(folded) != byKey_.end()) Raise(err::DuplicateKey, "Collection");
  }
  size_t pos = items_.size();
  if (before) {
    pos = static_cast<size_t>(ResolvePosition(*before));
  } else if (after) {
    pos = static_cast<size_t>(ResolvePosition(*after)) + 1;
  }
  Insert(pos, std::move(item), std::move(folded));
}

const Variant& Collection::Item(int32_t index) const {
  if (index < 1 || index > Count()) Raise(err::SubscriptOutOfRange, "Collection");
  return items_[static_cast<size_t>(index) - 1]->value;
}

const Variant& Collection::Item(std::string_view key) const {
  const Variant* v = Find(key);
  if (!v) Raise(err::InvalidProcedureCall, "Collection");
  return *v;
}

const Variant& Collection::Item(const Variant& indexOrKey) const {
  if (indexOrKey.IsString()) return Item(std::string_view(indexOrKey.AsString()));
  return items_[static_cast<size_t>(ResolvePosition(indexOrKey))]->value;
}

const Variant* Collection::Find(std::string_view key) const {
  if (key.empty()) return nullptr;
  const auto it = byKey_.find(FoldKey(key));
  return it == byKey_.end() ? nullptr : &it->second->value;
}

void Collection::Remove(int32_t index) {
  if (index < 1 || index > Count()) Raise(err::SubscriptOutOfRange, "Collection");
  const auto it = items_.begin() + (index - 1);
  if (!(*it)->foldedKey.empty()) byKey_.erase((*it)->foldedKey);
  items_.erase(it);
  valuesDirty_ = true;
}

void Collection::Remove(std::string_view key) {
  const Variant* v = Find(key);
  if (!v) Raise(err::InvalidProcedureCall, "Collection");
  const auto it = std::find_if(items_.begin(), items_.end(), [v](const auto& e) { return &e->value == v; });
  byKey_.erase((*it)->foldedKey);
  items_.erase(it);
  valuesDirty_ = true;
}

void Collection::Remove(const Variant& indexOrKey) {
  if (indexOrKey.IsString()) return Remove(std::string_view(indexOrKey.AsString()));
  Remove(ResolvePosition(indexOrKey) + 1);
}

const std::vector<Variant>& Collection::Values() const {
  // Rebuilt on the first iteration after a change. A change only marks the copy stale, so a loop
  // that is running when the collection changes goes on over the members it started with.
  if (valuesDirty_) {
    std::vector<Variant> values;
    values.reserve(items_.size());
    for (const auto& e : items_) values.push_back(e->value);
    valuesCache_ = std::move(values);
    valuesDirty_ = false;
  }
  return valuesCache_;
}

int32_t Collection::ResolvePosition(const Variant& where) const {
  if (where.IsString()) {
    const Variant* v = Find(where.AsString());
    if (!v) Raise(err::InvalidProcedureCall, "Collection");
    const auto it = std::find_if(items_.begin(), items_.end(), [v](const auto& e) { return &e->value == v; });
    return static_cast<int32_t>(it - items_.begin());
  }
  if (!where.IsNumericKind()) Raise(where.IsNull() ? err::InvalidUseOfNull : err::TypeMismatch, "Collection");
  const double index = RoundHalfEven(where.NumericValue());
  if (!(index >= 1 && index <= Count())) Raise(err::SubscriptOutOfRange, "Collection");
  return static_cast<int32_t>(index) - 1;
}

void Collection::Insert(size_t pos, Variant item, std::string folded) {
  auto entry = std::make_shared<Entry>(Entry{std::move(item), std::move(folded)});
  const auto it = items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(pos), entry);
  if (!entry->foldedKey.empty()) {
    try {
      byKey_.emplace(entry->foldedKey, entry);
    } catch (...) {
      items_.erase(it);  // out of memory: leave the collection as it was
      throw;
    }
  }
  valuesDirty_ = true;
}

}  // namespace tamarind
