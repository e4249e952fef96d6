#include "dataio/ShellOpen.h"

#include "runtime/Error.h"

namespace tamarind::dataio {

void ShellOpen(platform::Toolkit& tk, const std::string& path) {
  ResumeNext([&] {
    if (path.empty()) return;
    constexpr int32_t SW_SHOWNORMAL = 1;
    const intptr_t result = tk.GetShell().ShellExecute(0, "open", path, "", tk.App().Path, SW_SHOWNORMAL);
    // Results up to 32 are the shell's failures.
    if (result >= 0 && result <= 32) tk.MsgBox("Error jumping to:" + path, vbExclamation, "Warning");
  });
}

}  // namespace tamarind::dataio
