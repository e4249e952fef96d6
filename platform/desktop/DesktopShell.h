#pragma once
// The platform's ShellExecute on a free desktop: "open" hands a file or an address to the
// desktop's opener (xdg-open), which starts the program the user chose for it. Toolkit-independent:
// any realisation of the platform can use it as its Shell.

#include <string>
#include <string_view>

#include "platform/Services.h"

namespace tamarind::platform {

class DesktopShell : public Shell {
 public:
  // The results the platform gives for failures.
  static constexpr intptr_t SE_ERR_FNF = 2;       // the file does not exist
  static constexpr intptr_t SE_ERR_NOASSOC = 31;  // nothing opens it (no opener, or an unknown verb)
  static constexpr intptr_t kStarted = 42;

  // opener: the program given the file (found on PATH when it has no slash).
  explicit DesktopShell(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

  // Verb "open" (or ""): starts the opener on file, in directory when it is an existing folder,
  // without waiting for it. A local file that does not exist gives SE_ERR_FNF; an opener that
  // cannot be started, or another verb, SE_ERR_NOASSOC. Parameters and the show command have no
  // meaning for the opener and are not passed on.
  intptr_t ShellExecute(HWND owner, std::string_view operation, std::string_view file, std::string_view parameters,
                        std::string_view directory, int32_t showCmd) override;

 private:
  std::string opener_;
};

}  // namespace tamarind::platform
