#pragma once
// The file a host's form is saved in: every sited control with its type, name, position and
// property bag, as readable, versioned text.
//
//   TAMARIND-FORM 1
//   Form "Orders"
//   Begin Kestrel "Kestrel1" 120 120 6000 4000
//     "TitleCaption" = String "Open orders\nDecember"
//     "LineOddColor" = Long 16777215
//     "FontSize" = Single 8.25
//     "Font" = Font "Verdana" 8.25 400 0 0 0 0
//     "Picture" = Picture Qk0...
//     "SmallIcons" = ImageList 16 16 12632256 1 2 "" Qk0... "open" Qk0...
//   End
//   EndForm
//
// Strings are quoted with \" \\ \n \r \t and \xHH escapes for other control characters; any
// other character, including non-ASCII text, stands as it is (UTF-8). Numbers keep every digit
// they need to come back exactly; NaN and infinities are never written nor read. Pictures are
// bitmap files in base64. Reading checks the whole file before anything is returned: a damaged or
// truncated file, a value its control's type cannot hold (see SavedProperties.h), a property
// listed twice, is an Error (number 380, with the line at fault in its description) and gives
// nothing.

#include <string>
#include <string_view>
#include <vector>

#include "platform/PropertyBag.h"

namespace tamarind::platform {

struct SavedControl {
  std::string typeName;
  std::string name;
  float left = 0, top = 0, width = 0, height = 0;
  PropertyBag properties;
};

struct FormFile {
  static constexpr int kVersion = 1;
  std::string caption;
  std::vector<SavedControl> controls;

  // The control saved under that name; nullptr when there is none.
  const SavedControl* Find(std::string_view name) const;

  std::string Serialize() const;
  static FormFile Parse(std::string_view text);

  // Writes the file atomically: a temporary file next to it, flushed, then renamed over it.
  void Save(const std::string& path) const;
  static FormFile Load(const std::string& path);
};

// Base64 (RFC 4648) for the binary values of a form file.
std::string Base64Encode(const std::vector<uint8_t>& bytes);
// Error 380 for text that is not base64.
std::vector<uint8_t> Base64Decode(std::string_view text);

}  // namespace tamarind::platform
