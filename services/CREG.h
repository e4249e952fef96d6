#pragma once
// String settings in the current user's registry, under
// HKEY_CURRENT_USER\Software\<Company>\<AppName>\<section>.
//
// Every call opens the key it needs, does its one read, write or delete and closes the key again;
// failures show only in the results (GetSetting gives the default, the others False). A Key of "*"
// names the key's default (unnamed) value.

#include <string>
#include <string_view>

namespace tamarind::services {

class CREG {
 public:
  // Company and AppName start as the library's own company and product name.
  CREG();

  const std::string& Company() const { return company_; }
  // Trimmed of spaces; "" (or only spaces) gives "VB and VBA Program Settings".
  void Company(std::string_view NewVal);
  const std::string& AppName() const { return appName_; }
  // Trimmed of spaces; "" (or only spaces) gives the library's product name.
  void AppName(std::string_view NewVal);

  // The text of value Key in the section's key; Default when the key or value cannot be opened or
  // read, or holds no text.
  std::string GetSetting(std::string_view Section, std::string_view Key, std::string_view Default = "") const;
  // Writes Setting as a text value, creating the section's key when needed. True on success.
  bool SaveSetting(std::string_view Section, std::string_view Key, std::string_view Setting);
  // Deletes value Key of the section, or, when Key is "", the section's key itself (refused while
  // it has subkeys). True on success.
  bool DeleteSetting(std::string_view Section, std::string_view Key = "");

 private:
  // "Software\<Company>\<AppName>", followed by "\<Section>" when Section is not "".
  std::string BuildKeyPath(std::string_view Section) const;

  std::string company_;
  std::string appName_;
};

}  // namespace tamarind::services
