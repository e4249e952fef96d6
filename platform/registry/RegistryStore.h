#pragma once
// The per-user settings store behind the registry functions.
//
// RegistryTree is the content: every key below HKEY_CURRENT_USER with its values, matched without
// regard to letter case. RegistryStore keeps one tree in one text file:
//
//   tamarind-registry 1
//
//   [Software]
//
//   [Software\Tamarind\Orders]
//   @=sz:"the default value"
//   "Main list"=sz:"2,0,1"
//   "Raw"=hex(3):00,ff,10
//   end
//
// The first line names the format and its version. Each key is a line "[path]" (the root, "[]",
// only when it holds values), followed by its values: "@" or a quoted name, "=", the type and the
// data. Text values ("sz" for REG_SZ, "expand_sz" for REG_EXPAND_SZ) are quoted; other types are
// "hex(type):" with their bytes. Quoted texts escape "\\", "\"", "\n", "\r", "\t" and every other
// control byte or byte that is not UTF-8 as "\xHH"; all other characters stand as they are. A key
// listed without its parent has the parent implicitly. The last line is "end": a file that stops
// before it was cut short and is not read as a store.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/Registry.h"

namespace tamarind::platform {

struct RegistryValue {
  std::string name;  // as created; "" is the key's default value
  uint32_t type = REG_NONE;
  std::string data;  // the bytes; for text types the text without a terminating zero
  bool operator==(const RegistryValue&) const = default;
};

struct RegistryKey {
  std::string path;                              // as created: levels joined by "\"; "" for the root
  std::map<std::string, RegistryValue> values;  // by case-folded name
  bool operator==(const RegistryKey&) const = default;
};

class RegistryTree {
 public:
  // Orders case-folded key paths level by level, so that a key's subkeys follow it directly.
  struct PathOrder {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  using KeyMap = std::map<std::string, RegistryKey, PathOrder>;

  // True for a name one level of a key path may have: 1 to 255 characters of UTF-8, no "\" and
  // no control characters.
  static bool IsValidKeyName(std::string_view name);
  // True when every level of path is a valid key name ("" is the root and valid).
  static bool IsValidKeyPath(std::string_view path);
  // True for the text types, whose data is text without a zero byte.
  static bool IsTextType(uint32_t type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

  // The key at path (any letter case); nullptr when there is none. "" is the root, which always
  // exists.
  RegistryKey* Find(std::string_view path);
  const RegistryKey* Find(std::string_view path) const;
  // Creates the key at a valid path and every missing level above it; the key (existing or new)
  // and whether it was created.
  std::pair<RegistryKey*, bool> Create(std::string_view path);
  bool HasSubkeys(std::string_view path) const;
  // Removes one key below the root with its values, leaving its subkeys alone. False when there is
  // no such key.
  bool Remove(std::string_view path);

  const RegistryKey& Root() const { return root_; }
  // Every key below the root, in path order.
  const KeyMap& Keys() const { return keys_; }

  // The store file's text.
  std::string Serialize() const;
  // A store file's text back; std::nullopt when the text is not a complete store of this format
  // version. On failure *problem (when given) says what was wrong and on which line.
  static std::optional<RegistryTree> Parse(std::string_view text, std::string* problem = nullptr);

  bool operator==(const RegistryTree&) const = default;

 private:
  RegistryKey root_;
  KeyMap keys_;
};

class RegistryStore {
 public:
  // The store kept in this file. Its lock file and the temporary file of a write lie beside it
  // (the same name with ".lock" and ".tmp" added).
  explicit RegistryStore(std::filesystem::path file);

  const std::filesystem::path& File() const { return file_; }
  std::filesystem::path LockFile() const;

  // The current content; a missing file is an empty store. ERROR_BADDB when the file is not a
  // readable store.
  LSTATUS Read(RegistryTree& tree) const;

  // Changes the content under the store's exclusive lock: the file is read again under the lock,
  // change edits that content, and when change returns ERROR_SUCCESS and the content differs from
  // what the file holds, the new content replaces the file atomically (written beside it, flushed
  // to disk, renamed over it). change's failure is returned and nothing is written. A corrupt file
  // gives ERROR_BADDB and stays as it is.
  LSTATUS Update(const std::function<LSTATUS(RegistryTree&)>& change);

 private:
  std::filesystem::path file_;
};

}  // namespace tamarind::platform
