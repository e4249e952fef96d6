#pragma once
// Writes one of the library's embedded resources to a file.

#include <cstdint>
#include <string>

#include "platform/Toolkit.h"

namespace tamarind::dataio {

// Writes resource resID of type resType to fullPath, or, when fullPath is "", to
// folder/baseName.extension (folder "" is the application's folder, baseName "" is "temp"), and
// returns the path written. A file already there is replaced whole (never left half written or
// with the end of a longer old file). An error is reported in a "Warning" message box and "" is
// returned.
std::string GenFileFromRes(platform::Toolkit& tk, int32_t& resID, std::string& resType, std::string& extension,
                           std::string& folder, std::string& baseName, std::string& fullPath);

}  // namespace tamarind::dataio
