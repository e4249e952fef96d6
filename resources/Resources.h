#pragma once
// The library's own resources (the runtime's LoadResData): the four feedback sounds, "WAVE" 101 to
// 104, and the empty workbook the spreadsheet export starts from, "XLS" 101.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tamarind::platform {

// The error LoadResData raises for an identifier the library holds no resource of that type for.
inline constexpr int32_t kResourceNotFound = 326;

// A copy of the bytes of resource id of the given type; the type is matched without regard to case.
// Error 326 "Resource with identifier '<id>' not found" when there is no such resource.
std::vector<uint8_t> LoadResData(int32_t id, std::string_view type);

// The identifier of the resource of that type whose bytes these are; 0 when none is.
int32_t FindResourceId(std::string_view type, const std::vector<uint8_t>& bytes);

}  // namespace tamarind::platform
