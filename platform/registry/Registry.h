#pragma once
// The registry functions under HKEY_CURRENT_USER, realised as a per-user store on disk.
//
// Keys form a tree below HKEY_CURRENT_USER; a key path names one key per level, separated by
// "\". Key names and value names are matched without regard to letter case and keep the case
// they were created with. A key holds named values; the value named "" is the key's default
// value. Every function answers with one of the platform's result codes below and never throws.
//
// The functions keep the platform's shapes: access masks, a disposition out-parameter, a value
// type, and data passed as a byte pointer with a byte count. Text values (REG_SZ, REG_EXPAND_SZ)
// count their bytes with the terminating zero, as the platform does: a query reports
// text bytes + 1 and writes the text followed by a zero; a write takes the text with or without
// its terminating zero. Text is UTF-8.
//
// Behind the functions sits RegistryStore (platform/registry/RegistryStore.h): one text file per
// user, re-read by every call, so several processes share one view of the settings. Writes hold
// an exclusive lock, re-read the file under it and replace it atomically; a store file that cannot
// be read as a store is reported with ERROR_BADDB and is never written over.

#include <cstdint>
#include <filesystem>

namespace tamarind::platform {

// An open registry key. Predefined keys have fixed values; every other handle comes from
// RegOpenKeyEx or RegCreateKeyEx and stays valid until RegCloseKey.
enum class HKEY : std::uintptr_t {};
inline constexpr HKEY HKEY_CURRENT_USER{0x80000001u};

using LSTATUS = int32_t;
using REGSAM = uint32_t;

// Result codes.
inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;  // no such key or value
inline constexpr LSTATUS ERROR_PATH_NOT_FOUND = 3;  // the user's store folder cannot be found
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
inline constexpr LSTATUS ERROR_OUTOFMEMORY = 14;
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
inline constexpr LSTATUS ERROR_DISK_FULL = 112;
inline constexpr LSTATUS ERROR_MORE_DATA = 234;
inline constexpr LSTATUS ERROR_BADDB = 1009;            // the store file is corrupt or of an unknown version
inline constexpr LSTATUS ERROR_CANTREAD = 1012;         // the store file could not be read
inline constexpr LSTATUS ERROR_CANTWRITE = 1013;        // the store file could not be written
inline constexpr LSTATUS ERROR_KEY_DELETED = 1018;      // the key of an open handle was deleted
inline constexpr LSTATUS ERROR_KEY_HAS_CHILDREN = 1020;

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Value types.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;
inline constexpr uint32_t REG_QWORD = 11;

// Key creation.
inline constexpr uint32_t REG_OPTION_NON_VOLATILE = 0;
inline constexpr uint32_t REG_CREATED_NEW_KEY = 1;
inline constexpr uint32_t REG_OPENED_EXISTING_KEY = 2;

// Opens the existing key subKey below key (key itself for a null or empty subKey).
LSTATUS RegOpenKeyEx(HKEY key, const char* subKey, uint32_t options, REGSAM samDesired, HKEY* result);

// Opens subKey below key, creating it and every missing level above it. The class name and
// security attributes are accepted and not kept. disposition (may be null) tells whether the key
// was created or already existed. Only REG_OPTION_NON_VOLATILE is supported.
LSTATUS RegCreateKeyEx(HKEY key, const char* subKey, uint32_t reserved, const char* className, uint32_t options,
                       REGSAM samDesired, const void* securityAttributes, HKEY* result, uint32_t* disposition);

// Reads a value (null or "" for the default value). type and data may be null; with data null
// the size is reported in *dataSize. A buffer too small gives ERROR_MORE_DATA with the size needed.
// Needs KEY_QUERY_VALUE.
LSTATUS RegQueryValueEx(HKEY key, const char* valueName, uint32_t* reserved, uint32_t* type, uint8_t* data,
                        uint32_t* dataSize);

// Writes a value of the given type (null or "" names the default value). Text data must not hold
// a zero byte before its end. Needs KEY_SET_VALUE.
LSTATUS RegSetValueEx(HKEY key, const char* valueName, uint32_t reserved, uint32_t type, const uint8_t* data,
                      uint32_t dataSize);

// Removes a value. Needs KEY_SET_VALUE.
LSTATUS RegDeleteValue(HKEY key, const char* valueName);

// Removes the key subKey below key ("" removes key itself) with its values. A key that still has
// subkeys is refused with ERROR_KEY_HAS_CHILDREN; HKEY_CURRENT_USER itself cannot be removed.
LSTATUS RegDeleteKey(HKEY key, const char* subKey);

LSTATUS RegCloseKey(HKEY key);

// The store file in use: the one set with SetRegistryStorePath, else
// $XDG_CONFIG_HOME/tamarind/registry.txt, else ~/.config/tamarind/registry.txt. Empty when no
// home folder can be found.
std::filesystem::path RegistryStorePath();
// Makes every later call use this file (an empty path goes back to the per-user default).
void SetRegistryStorePath(std::filesystem::path file);

}  // namespace tamarind::platform
