#include "dataio/ResourceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "resources/Resources.h"
#include "runtime/Error.h"

namespace tamarind::dataio {

namespace {

// The runtime's file errors for what the system reports.
[[noreturn]] void RaiseFileError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: Raise(err::PathNotFound, "GenFileFromRes");
    case EACCES:
    case EPERM:
    case EROFS: Raise(err::PermissionDenied, "GenFileFromRes");
    default: Raise(err::PathFileAccessError, "GenFileFromRes");
  }
}

// Raw byte output from the start of the file, without shortening it.
void WriteFromStart(const std::string& path, const std::vector<uint8_t>& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) RaiseFileError(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      RaiseFileError(error);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) RaiseFileError(errno);
}

}  // namespace

std::string GenFileFromRes(platform::Toolkit& tk, int32_t& resID, std::string& resType, std::string& extension,
                           std::string& folder, std::string& baseName, std::string& fullPath) {
  return ReportAndEnd<std::string>(tk, ":Error in GenFileFromRes.  Error Message: ", vbCritical, [&] {
    if (folder.empty()) folder = tk.App().Path;
    if (baseName.empty()) baseName = "temp";
    const std::vector<uint8_t> bytes = platform::LoadResData(resID, resType);
    const std::string target = fullPath.empty() ? folder + "/" + baseName + "." + extension : fullPath;
    WriteFromStart(target, bytes);
    return target;
  });
}

}  // namespace tamarind::dataio
