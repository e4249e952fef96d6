#pragma once
// The table of the library's embedded resources. Its definition is generated at build time by
// tools/resembed from the files resources/CMakeLists.txt lists.

#include <cstdint>
#include <span>
#include <string_view>

namespace tamarind::platform::resources {

struct ResourceEntry {
  int32_t id;
  std::string_view type;  // as listed; looked up without regard to case
  std::span<const uint8_t> bytes;
};

// Every embedded resource, in the order the build listed them.
std::span<const ResourceEntry> ResourceTable();

}  // namespace tamarind::platform::resources
