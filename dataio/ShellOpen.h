#pragma once
// Opens a file or address with the desktop's opener.

#include <string>

#include "platform/Toolkit.h"

namespace tamarind::dataio {

// Opens path with the shell's "open" verb; "" does nothing. A failure is reported in a "Warning"
// message box with the exclamation icon: "Error jumping to:" and the path. Errors are ignored.
void ShellOpen(platform::Toolkit& tk, const std::string& path);

}  // namespace tamarind::dataio
