#include "resources/Resources.h"

#include <algorithm>
#include <string>

#include "resources/ResourceTable.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

std::vector<uint8_t> LoadResData(int32_t id, std::string_view type) {
  const std::string wanted = text::FoldCase(type);
  for (const resources::ResourceEntry& r : resources::ResourceTable())
    if (r.id == id && text::FoldCase(r.type) == wanted) return {r.bytes.begin(), r.bytes.end()};
  Raise(kResourceNotFound, "LoadResData", "Resource with identifier '" + std::to_string(id) + "' not found");
}

int32_t FindResourceId(std::string_view type, const std::vector<uint8_t>& bytes) {
  const std::string wanted = text::FoldCase(type);
  for (const resources::ResourceEntry& r : resources::ResourceTable())
    if (text::FoldCase(r.type) == wanted && std::equal(r.bytes.begin(), r.bytes.end(), bytes.begin(), bytes.end()))
      return r.id;
  return 0;
}

}  // namespace tamarind::platform
