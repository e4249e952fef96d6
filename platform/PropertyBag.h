#pragma once
// The container's property bag: named values saved with the host's form.
//
// Names match without regard to letter case. Reading a name that is absent gives the default;
// writing a value equal to its default stores nothing (and removes an earlier value), so a saved
// form holds only what differs from the defaults. Values are compared as the runtime compares
// them (8 equals 8.0), objects by content (fonts by their attributes, pictures by their pixels,
// image lists by their images).

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/Variant.h"

namespace tamarind::platform {

class PropertyBag {
 public:
  Variant ReadProperty(std::string_view name, const Variant& defaultValue = {}) const;
  void WriteProperty(std::string_view name, const Variant& value, const Variant& defaultValue = {});

  // Stores a value as it stands, default or not (what a form file read back holds).
  void Store(std::string_view name, const Variant& value);

  bool Contains(std::string_view name) const;
  // The stored values in the order they were first written.
  const std::vector<std::pair<std::string, Variant>>& Entries() const { return entries_; }
  void Clear() {
    entries_.clear();
    index_.clear();
  }

  // Whether a value equals its default as WriteProperty decides it.
  static bool EqualsDefault(const Variant& value, const Variant& defaultValue);

 private:
  // The position of a name in entries_; entries_.size() when it is absent.
  size_t Find(std::string_view name) const;
  void Append(std::string_view name, const Variant& value);
  std::vector<std::pair<std::string, Variant>> entries_;
  // Case-folded name -> position in entries_: a bag read from a file of thousands of values is
  // filled and searched in linear time.
  std::unordered_map<std::string, size_t> index_;
};

}  // namespace tamarind::platform
