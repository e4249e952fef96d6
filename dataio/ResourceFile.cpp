#include "dataio/ResourceFile.h"

#include <cerrno>

#include "runtime/WholeFile.h"
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

}  // namespace

std::string GenFileFromRes(platform::Toolkit& tk, int32_t& resID, std::string& resType, std::string& extension,
                           std::string& folder, std::string& baseName, std::string& fullPath) {
  return ReportAndEnd<std::string>(tk, ":Error in GenFileFromRes.  Error Message: ", vbCritical, [&] {
    if (folder.empty()) folder = tk.App().Path;
    if (baseName.empty()) baseName = "temp";
    const std::vector<uint8_t> bytes = platform::LoadResData(resID, resType);
    const std::string target = fullPath.empty() ? folder + "/" + baseName + "." + extension : fullPath;
    // The template replaces a file already there whole: nothing of a longer old file is left
    // behind its end, and a reader never sees it half written.
    if (const int error = WriteWholeFile(target, bytes)) RaiseFileError(error);
    return target;
  });
}

}  // namespace tamarind::dataio
