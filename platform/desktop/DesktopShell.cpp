#include "platform/desktop/DesktopShell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace tamarind::platform {

namespace {

// An address ("https://...", "mailto:...") rather than a path.
bool IsAddress(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = s[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
      return false;
  }
  return true;
}

}  // namespace

intptr_t DesktopShell::ShellExecute(HWND, std::string_view operation, std::string_view file, std::string_view,
                                    std::string_view directory, int32_t) {
  if (!operation.empty() && operation != "open") return SE_ERR_NOASSOC;
  const std::string target(file);
  std::error_code ec;
  if (!IsAddress(target) && !std::filesystem::exists(target, ec)) return SE_ERR_FNF;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string folder(directory);
  if (!folder.empty() && std::filesystem::is_directory(folder, ec))
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  std::vector<char*> argv = {const_cast<char*>(opener_.c_str()), const_cast<char*>(target.c_str()), nullptr};
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, opener_.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return SE_ERR_NOASSOC;
  // The opener runs on its own; its exit is collected so that it leaves no zombie behind.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return kStarted;
}

}  // namespace tamarind::platform
