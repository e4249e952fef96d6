#include "services/CREG.h"

#include <cstdint>
#include <vector>

#include "platform/registry/Registry.h"
#include "runtime/Text.h"

namespace tamarind::services {

namespace p = tamarind::platform;

namespace {

// The library's version information.
constexpr std::string_view kLibraryCompanyName = "Tamarind";
constexpr std::string_view kLibraryProductName = "Tamarind";

// The runtime's own place for settings of programs that name no company.
constexpr std::string_view kDefaultCompany = "VB and VBA Program Settings";

// "*" stands for the key's default value, whose name is "".
std::string ValueName(std::string_view Key) { return Key == "*" ? std::string() : std::string(Key); }

// Names handed to the registry end at their first zero byte; a name holding one would reach
// another key or value than the one asked for, so it is refused instead.
bool HoldsZero(std::string_view s) { return s.find('\0') != std::string_view::npos; }

// Closes the key when it goes out of scope.
class OpenedKey {
 public:
  OpenedKey() = default;
  ~OpenedKey() {
    if (key_ != p::HKEY{}) p::RegCloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  p::HKEY* Out() { return &key_; }
  p::HKEY Get() const { return key_; }

 private:
  p::HKEY key_{};
};

}  // namespace

CREG::CREG() : company_(kLibraryCompanyName), appName_(kLibraryProductName) {}

void CREG::Company(std::string_view NewVal) {
  company_ = text::Trim(NewVal);
  if (company_.empty()) company_ = kDefaultCompany;
}

void CREG::AppName(std::string_view NewVal) {
  appName_ = text::Trim(NewVal);
  if (appName_.empty()) appName_ = kLibraryProductName;
}

std::string CREG::BuildKeyPath(std::string_view Section) const {
  std::string path = "Software\\" + company_ + "\\" + appName_;
  if (!Section.empty()) {
    path += '\\';
    path += Section;
  }
  return path;
}

std::string CREG::GetSetting(std::string_view Section, std::string_view Key, std::string_view Default) const {
  if (HoldsZero(Section) || HoldsZero(Key)) return std::string(Default);
  OpenedKey key;
  if (p::RegOpenKeyEx(p::HKEY_CURRENT_USER, BuildKeyPath(Section).c_str(), 0, p::KEY_ALL_ACCESS, key.Out()) !=
      p::ERROR_SUCCESS)
    return std::string(Default);
  const std::string name = ValueName(Key);
  uint32_t type = 0, size = 0;
  if (p::RegQueryValueEx(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != p::ERROR_SUCCESS || size == 0)
    return std::string(Default);
  std::vector<uint8_t> buffer(size);
  if (p::RegQueryValueEx(key.Get(), name.c_str(), nullptr, &type, buffer.data(), &size) != p::ERROR_SUCCESS)
    return std::string(Default);
  // What comes back ends with the terminating zero, which is no part of the text.
  std::string text(reinterpret_cast<const char*>(buffer.data()), size);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text.empty() ? std::string(Default) : text;
}

bool CREG::SaveSetting(std::string_view Section, std::string_view Key, std::string_view Setting) {
  // A text value ends at its first zero byte, so a setting holding one could not come back whole.
  if (HoldsZero(Section) || HoldsZero(Key) || HoldsZero(Setting)) return false;
  OpenedKey key;
  uint32_t disposition = 0;
  if (p::RegCreateKeyEx(p::HKEY_CURRENT_USER, BuildKeyPath(Section).c_str(), 0, nullptr, p::REG_OPTION_NON_VOLATILE,
                        p::KEY_ALL_ACCESS, nullptr, key.Out(), &disposition) != p::ERROR_SUCCESS)
    return false;
  if (Setting.size() > UINT32_MAX) return false;
  // The text goes without a terminating zero; the store adds it when the value is read.
  return p::RegSetValueEx(key.Get(), ValueName(Key).c_str(), 0, p::REG_SZ,
                          reinterpret_cast<const uint8_t*>(Setting.data()),
                          static_cast<uint32_t>(Setting.size())) == p::ERROR_SUCCESS;
}

bool CREG::DeleteSetting(std::string_view Section, std::string_view Key) {
  if (HoldsZero(Section) || HoldsZero(Key)) return false;
  OpenedKey key;
  if (!Key.empty()) {
    if (p::RegOpenKeyEx(p::HKEY_CURRENT_USER, BuildKeyPath(Section).c_str(), 0, p::KEY_ALL_ACCESS, key.Out()) !=
        p::ERROR_SUCCESS)
      return false;
    return p::RegDeleteValue(key.Get(), ValueName(Key).c_str()) == p::ERROR_SUCCESS;
  }
  if (p::RegOpenKeyEx(p::HKEY_CURRENT_USER, BuildKeyPath("").c_str(), 0, p::KEY_ALL_ACCESS, key.Out()) !=
      p::ERROR_SUCCESS)
    return false;
  return p::RegDeleteKey(key.Get(), std::string(Section).c_str()) == p::ERROR_SUCCESS;
}

}  // namespace tamarind::services
