#pragma once
// The runtime's Collection: an ordered, 1-based list of Variants, each optionally under a string
// key. Keys match without regard to letter case. Looking up a key is a hash lookup, so a keyed
// collection of a million entries stays fast.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/Variant.h"

namespace tamarind {

class Collection : public Object {
 public:
  std::string TypeName() const override { return "Collection"; }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  // Adds item at the end, or before/after the member named by index (number) or key (string).
  // Error 457 for a key already in use, 5 when both before and after are given or the key is "",
  // 9 for a before/after index out of range, 5 for a before/after key that is not there.
  void Add(Variant item, std::optional<std::string> key = std::nullopt, std::optional<Variant> before = std::nullopt,
           std::optional<Variant> after = std::nullopt);

  // Error 9 for an index out of range, 5 for an unknown key. An index or position given as a
  // Variant is rounded like CLng; Null there is Error 94, any other kind Error 13.
  const Variant& Item(int32_t index) const;
  const Variant& Item(std::string_view key) const;
  const Variant& Item(const Variant& indexOrKey) const;  // a string is a key, a number an index
  // Text keys would otherwise be ambiguous between the string_view and the Variant overloads.
  const Variant& Item(const char* key) const { return Item(std::string_view(key)); }
  const Variant& Item(const std::string& key) const { return Item(std::string_view(key)); }
  const Variant& operator()(int32_t index) const { return Item(index); }
  const Variant& operator()(std::string_view key) const { return Item(key); }

  // Looks a key up without raising: nullptr when absent.
  const Variant* Find(std::string_view key) const;

  void Remove(int32_t index);
  void Remove(std::string_view key);
  void Remove(const Variant& indexOrKey);
  void Remove(const char* key) { Remove(std::string_view(key)); }
  void Remove(const std::string& key) { Remove(std::string_view(key)); }

  // Iteration in collection order (for each).
  auto begin() const { return Values().begin(); }
  auto end() const { return Values().end(); }

 private:
  struct Entry {
    Variant value;
    std::string foldedKey;  // empty when the member has no key
  };
  const std::vector<Variant>& Values() const;
  int32_t ResolvePosition(const Variant& where) const;  // 0-based
  void Insert(size_t pos, Variant item, std::string folded);

  std::vector<std::shared_ptr<Entry>> items_;
  std::unordered_map<std::string, std::shared_ptr<Entry>> byKey_;
  mutable std::vector<Variant> valuesCache_;
  mutable bool valuesDirty_ = true;
};

}  // namespace tamarind
