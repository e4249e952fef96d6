#pragma once
// Files written whole or not at all. The bytes go to a new file beside the target, which then
// takes the target's name in one step, so a reader sees the old file or the new one and never a
// mix, and nothing of a longer old file survives past the new end. Every file the library writes
// from memory (workbooks, form files, settings, generated resources) goes through here.

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tamarind {

// Makes the file at path hold exactly bytes. Returns 0, or the errno of the step that failed;
// then the file at path is as it was and no temporary file is left. A file (or folder) at path
// that may not be written is refused as writing into it would be. Through a symbolic link, the
// file it points to is replaced; a replaced file keeps its permissions, a new one gets newFileMode
// (less the umask). The bytes and the folder's new entry are on disk before it returns.
int WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, mode_t newFileMode = 0666);
int WriteWholeFile(const std::string& path, std::string_view text, mode_t newFileMode = 0666);

}  // namespace tamarind
