#include "runtime/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace tamarind {

int WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, mode_t newFileMode) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(path, ec);
  const std::string target = ec ? path : real.string();

  // An existing target must be writable as it is: replacing a read-only file or a folder would
  // get round what writing into it is refused.
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists) {
    const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (probe < 0) return errno;
    ::close(probe);
  }

  // A name of its own beside the target (the same file system, so the rename is one step).
  static std::atomic<uint32_t> counter{0};
  std::string temp;
  int fd = -1;
  do {
    temp = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newFileMode);
  } while (fd < 0 && errno == EEXIST);
  if (fd < 0) return errno;

  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temp.c_str());
    return error;
  };
  if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) return fail(errno);
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(errno);
    done += static_cast<size_t>(n);
  }
  // On disk before it takes the name: after a crash the name holds the old file or the new one.
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return error;
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return error;
  }
  // The rename itself lasts a crash only once the folder's entry is flushed too.
  const std::string folder = std::filesystem::path(target).parent_path().string();
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

int WriteWholeFile(const std::string& path, std::string_view text, mode_t newFileMode) {
  return WriteWholeFile(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), newFileMode);
}

}  // namespace tamarind
