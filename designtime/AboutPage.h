#pragma once
// The "About" page: what the control is, its version and web page, and a form that sends the
// user's comments to the project's feedback address.

#include <string>
#include <string_view>

#include "designtime/PropertyPage.h"

namespace tamarind::designtime {

// The project's own pages (docs/about.md describes the control and how to send feedback). The
// reserved documentation domain .example: a designer's click never lands on anyone else's site.
inline constexpr std::string_view kWebAddress = "https://tamarind.example/docs/about";
// The feedback endpoint; the query follows the "?".
inline constexpr std::string_view kFeedbackAddress = "https://tamarind.example/feedback?";

// The library's version, "major.minor.revision" of the CMake project.
std::string LibraryVersion();

class AboutPage : public PropertyPage {
 public:
  explicit AboutPage(platform::Toolkit& tk);

  // Every character of sSTR as "%" and its code in upper-case hexadecimal without leading zeros
  // (letters and digits too: "A" is "%41", a tab "%9"). A carriage return and the character after
  // it (the line feed of a line break) become the encoded "<br>". The code of a character is its
  // Unicode code point (AscW), "é" is "%E9": the page's text is UTF-8 and the code point names
  // every character the same way on every desktop, where a code-page code would differ between
  // desktops and have no code for most characters; a byte that is no UTF-8 gives its own value.
  // An error is reported in a "Warning" message box and the text encoded before it is returned:
  // the address is built as the result, in place.
  std::string StringToURL(const std::string& sSTR);

 protected:
  void UserControl_Initialize() override;

 private:
  void Submit();

  platform::PictureBox& picLOGO;
  platform::Label& lblPRODUCT;
  platform::Label& lblMAKER;
  platform::Label& lblVERSION;
  platform::Label& lblWEB;
  platform::Line& Line1;
  platform::Label& lblPROMPT;
  platform::Label& lblNAME;
  platform::TextBox& txtNAME;
  platform::Label& lblCOMMENTS;
  platform::TextBox& txtCOMMENTS;
  platform::CommandButton& cmdSUBMIT;
};

}  // namespace tamarind::designtime
