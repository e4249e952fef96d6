#include "platform/registry/Registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/registry/RegistryStore.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform {

namespace {

struct OpenKey {
  std::string path;  // full path below HKEY_CURRENT_USER
  REGSAM access = 0;
};

// The process's open handles and the store location. A handle names a key by path; every call
// reads the store again, so a key removed meanwhile (by this process or another) is noticed.
struct Handles {
  std::mutex mutex;
  std::filesystem::path storeOverride;
  std::unordered_map<std::uintptr_t, OpenKey> open;
  std::uintptr_t next = 1;
};

Handles& State() {
  static Handles state;
  return state;
}

std::optional<OpenKey> Resolve(HKEY key) {
  if (key == HKEY_CURRENT_USER) return OpenKey{"", KEY_ALL_ACCESS};
  Handles& s = State();
  std::lock_guard lock(s.mutex);
  const auto it = s.open.find(static_cast<std::uintptr_t>(key));
  if (it == s.open.end()) return std::nullopt;
  return it->second;
}

HKEY NewHandle(std::string path, REGSAM access) {
  Handles& s = State();
  std::lock_guard lock(s.mutex);
  const std::uintptr_t h = s.next++;
  s.open.emplace(h, OpenKey{std::move(path), access});
  return static_cast<HKEY>(h);
}

// The full path of subKey below base; std::nullopt when subKey is no valid relative key path.
std::optional<std::string> Join(const std::string& base, const char* subKey) {
  const std::string_view sub = subKey ? std::string_view(subKey) : std::string_view();
  if (sub.empty()) return base;
  if (!RegistryTree::IsValidKeyPath(sub)) return std::nullopt;
  return base.empty() ? std::string(sub) : base + "\\" + std::string(sub);
}

std::string_view NameOf(const char* valueName) { return valueName ? std::string_view(valueName) : std::string_view(); }

RegistryStore Store() { return RegistryStore(RegistryStorePath()); }

// The functions answer with result codes and never throw: running out of memory and a failure of
// the case mapping become codes too.
template <class F>
LSTATUS Guarded(F&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (const Error&) {
    return ERROR_INVALID_PARAMETER;
  }
}

std::filesystem::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  std::vector<char> buffer(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

}  // namespace

std::filesystem::path RegistryStorePath() {
  {
    Handles& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.storeOverride.empty()) return s.storeOverride;
  }
  // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    config = xdg;
  } else {
    const std::filesystem::path home = HomeFolder();
    if (home.empty()) return {};
    config = home / ".config";
  }
  return config / "tamarind" / "registry.txt";
}

void SetRegistryStorePath(std::filesystem::path file) {
  Handles& s = State();
  std::lock_guard lock(s.mutex);
  s.storeOverride = std::move(file);
}

LSTATUS RegOpenKeyEx(HKEY key, const char* subKey, uint32_t options, REGSAM samDesired, HKEY* result) {
  return Guarded([&]() -> LSTATUS {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = HKEY{};
    const auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    if (options != 0) return ERROR_INVALID_PARAMETER;
    const auto path = Join(base->path, subKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    RegistryTree tree;
    if (const LSTATUS s = Store().Read(tree); s != ERROR_SUCCESS) return s;
    if (!tree.Find(base->path)) return ERROR_KEY_DELETED;
    const RegistryKey* found = tree.Find(*path);
    if (!found) return ERROR_FILE_NOT_FOUND;
    *result = NewHandle(found->path, samDesired);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegCreateKeyEx(HKEY key, const char* subKey, uint32_t reserved, const char* /*className*/, uint32_t options,
                       REGSAM samDesired, const void* /*securityAttributes*/, HKEY* result, uint32_t* disposition) {
  return Guarded([&]() -> LSTATUS {
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = HKEY{};
    const auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    if (reserved != 0 || options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
    const auto path = Join(base->path, subKey);
    if (!path) return ERROR_INVALID_PARAMETER;

    RegistryStore store = Store();
    std::string canonical;
    bool created = false;
    // Opening an existing key needs no write.
    RegistryTree tree;
    LSTATUS status = store.Read(tree);
    if (status != ERROR_SUCCESS) return status;
    if (!tree.Find(base->path)) return ERROR_KEY_DELETED;
    if (const RegistryKey* found = tree.Find(*path)) {
      canonical = found->path;
    } else {
      status = store.Update([&](RegistryTree& current) -> LSTATUS {
        if (!current.Find(base->path)) return ERROR_KEY_DELETED;
        const auto [k, isNew] = current.Create(*path);
        canonical = k->path;
        created = isNew;
        return ERROR_SUCCESS;
      });
      if (status != ERROR_SUCCESS) return status;
    }
    *result = NewHandle(canonical, samDesired);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryValueEx(HKEY key, const char* valueName, uint32_t* reserved, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize) {
  return Guarded([&]() -> LSTATUS {
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    if (!(open->access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    RegistryTree tree;
    if (const LSTATUS s = Store().Read(tree); s != ERROR_SUCCESS) return s;
    const RegistryKey* k = tree.Find(open->path);
    if (!k) return ERROR_KEY_DELETED;
    const auto it = k->values.find(text::FoldCase(NameOf(valueName)));
    if (it == k->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegistryValue& v = it->second;
    // Text comes out with its terminating zero, and its size counts it.
    const bool isText = RegistryTree::IsTextType(v.type);
    const size_t needed = v.data.size() + (isText ? 1 : 0);
    if (needed > UINT32_MAX) return ERROR_MORE_DATA;
    if (type) *type = v.type;
    if (!data) {
      if (dataSize) *dataSize = static_cast<uint32_t>(needed);
      return ERROR_SUCCESS;
    }
    if (*dataSize < needed) {
      *dataSize = static_cast<uint32_t>(needed);
      return ERROR_MORE_DATA;
    }
    std::memcpy(data, v.data.data(), v.data.size());
    if (isText) data[v.data.size()] = 0;
    *dataSize = static_cast<uint32_t>(needed);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegSetValueEx(HKEY key, const char* valueName, uint32_t reserved, uint32_t type, const uint8_t* data,
                      uint32_t dataSize) {
  return Guarded([&]() -> LSTATUS {
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (reserved != 0 || (!data && dataSize > 0)) return ERROR_INVALID_PARAMETER;
    if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::string bytes = dataSize > 0 ? std::string(reinterpret_cast<const char*>(data), dataSize) : std::string();
    if (RegistryTree::IsTextType(type)) {
      // The terminating zero (and any zero padding after it) is not part of the text; a zero inside
      // it would cut the text short, so such data is refused rather than stored in part.
      while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
      if (bytes.find('\0') != std::string::npos) return ERROR_INVALID_PARAMETER;
    }
    const std::string name(NameOf(valueName));
    const std::string folded = text::FoldCase(name);
    return Store().Update([&](RegistryTree& tree) -> LSTATUS {
      RegistryKey* k = tree.Find(open->path);
      if (!k) return ERROR_KEY_DELETED;
      auto [it, inserted] = k->values.try_emplace(folded, RegistryValue{name, type, {}});
      it->second.type = type;
      it->second.data = bytes;  // an existing value keeps the name it was created with
      return ERROR_SUCCESS;
    });
  });
}

LSTATUS RegDeleteValue(HKEY key, const char* valueName) {
  return Guarded([&]() -> LSTATUS {
    const auto open = Resolve(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!(open->access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    const std::string folded = text::FoldCase(NameOf(valueName));
    return Store().Update([&](RegistryTree& tree) -> LSTATUS {
      RegistryKey* k = tree.Find(open->path);
      if (!k) return ERROR_KEY_DELETED;
      return k->values.erase(folded) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
  });
}

LSTATUS RegDeleteKey(HKEY key, const char* subKey) {
  return Guarded([&]() -> LSTATUS {
    const auto base = Resolve(key);
    if (!base) return ERROR_INVALID_HANDLE;
    if (!subKey) return ERROR_INVALID_PARAMETER;
    const auto path = Join(base->path, subKey);
    if (!path) return ERROR_INVALID_PARAMETER;
    if (path->empty()) return ERROR_ACCESS_DENIED;  // HKEY_CURRENT_USER stays
    return Store().Update([&](RegistryTree& tree) -> LSTATUS {
      if (!tree.Find(base->path)) return ERROR_KEY_DELETED;
      if (!tree.Find(*path)) return ERROR_FILE_NOT_FOUND;
      if (tree.HasSubkeys(*path)) return ERROR_KEY_HAS_CHILDREN;
      tree.Remove(*path);
      return ERROR_SUCCESS;
    });
  });
}

LSTATUS RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
  Handles& s = State();
  std::lock_guard lock(s.mutex);
  return s.open.erase(static_cast<std::uintptr_t>(key)) > 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace tamarind::platform
