#include "designtime/AboutPage.h"

#include "dataio/ShellOpen.h"
#include "platform/Toolkit.h"
#include "platform/controls/Line.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::designtime {

using namespace platform;

std::string LibraryVersion() {
  return std::to_string(TAMARIND_VERSION_MAJOR) + "." + std::to_string(TAMARIND_VERSION_MINOR) + "." +
         std::to_string(TAMARIND_VERSION_PATCH);
}

namespace {

// The logo, drawn here: a tamarind pod (three brown seeds in a row, the middle one higher) on a
// pale ground, with a green stalk.
PictureRef Logo() {
  constexpr int32_t kSide = 48;
  auto logo = std::make_shared<StdPicture>(kSide, kSide, RGB(250, 244, 230));
  struct Seed {
    int32_t x, y, r;
  };
  for (const Seed s : {Seed{13, 28, 9}, Seed{24, 23, 10}, Seed{35, 28, 9}})
    for (int32_t y = s.y - s.r; y <= s.y + s.r; ++y)
      for (int32_t x = s.x - s.r; x <= s.x + s.r; ++x)
        if ((x - s.x) * (x - s.x) + (y - s.y) * (y - s.y) <= s.r * s.r) logo->SetPixel(x, y, RGB(122, 74, 40));
  logo->FillRect(23, 6, 26, 14, RGB(70, 130, 50));
  return logo;
}

// "%" and the code in upper-case hexadecimal, without leading zeros.
void AppendCode(std::string& out, char32_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char digits[8];
  int n = 0;
  do {
    digits[n++] = kDigits[code & 0xF];
    code >>= 4;
  } while (code != 0);
  out += '%';
  while (n > 0) out += digits[--n];
}

}  // namespace

AboutPage::AboutPage(Toolkit& tk)
    : PropertyPage(tk, "ppgAbout", "About"),
      picLOGO(AddPictureBox("picLOGO", 240, 240, 720, 720)),
      lblPRODUCT(AddLabel("lblPRODUCT", "Tamarind Kestrel", 1200, 240, 4200)),
      lblMAKER(AddLabel("lblMAKER", "Made by the Tamarind developers", 1200, 510, 4200)),
      lblVERSION(AddLabel("lblVERSION", "Version:", 1200, 780, 4200)),
      lblWEB(AddLabel("lblWEB", std::string(kWebAddress), 1200, 1050, 4200)),
      Line1(AddLine("Line1", 240, 1440, 5460, 1440)),
      lblPROMPT(AddLabel("lblPROMPT", "Share with others and me your comments on this control.", 240, 1560, 5220)),
      lblNAME(AddLabel("lblNAME", "Name:", 240, 1950, 1100)),
      txtNAME(AddTextBox("txtNAME", 1400, 1920, 4060)),
      lblCOMMENTS(AddLabel("lblCOMMENTS", "Comments:", 240, 2340, 1100)),
      txtCOMMENTS(AddTextBox("txtCOMMENTS", 1400, 2310, 4060, 1200)),
      cmdSUBMIT(AddCommandButton("cmdSUBMIT", "&Submit", 4260, 3630, 1200)) {
  Move(0, 0, 5700, 4200);
  picLOGO.Picture(Logo());
  lblWEB.ForeColor(RGB(0, 0, 255));  // it reads as an address the user can click
  txtCOMMENTS.MultiLine(true);
  txtCOMMENTS.ScrollBars(2);
  lblWEB.Click.Connect([this] { dataio::ShellOpen(GetToolkit(), lblWEB.Caption()); });
  cmdSUBMIT.Click.Connect([this] { Submit(); });
}

void AboutPage::UserControl_Initialize() { lblVERSION.Caption("Version: " + LibraryVersion()); }

void AboutPage::Submit() {
  if (!txtNAME.Text().empty() && !txtCOMMENTS.Text().empty()) {
    dataio::ShellOpen(GetToolkit(), std::string(kFeedbackAddress) + "txtNAME=" + StringToURL(txtNAME.Text()) +
                                        "&txtCOMMENT=" + StringToURL(txtCOMMENTS.Text()));
  } else {
    GetToolkit().MsgBox("Please supply both a name and a comment.", vbInformation, "Thank You");
  }
}

std::string AboutPage::StringToURL(const std::string& sSTR) {
  std::string url;
  ReportAndEnd(GetToolkit(), ":Error in StringToURL.  Error Message: ", vbCritical, [&] {
    size_t at = 0;
    while (at < sSTR.size()) {
      const utf8::Char c = utf8::Decode(sSTR, at);
      at += c.length;
      if (c.codePoint == 13) {
        for (const char part : std::string_view("<br>")) AppendCode(url, static_cast<unsigned char>(part));
        if (at < sSTR.size()) at += utf8::Decode(sSTR, at).length;  // the line feed of CR LF
      } else {
        AppendCode(url, c.valid ? c.codePoint : c.codePoint - utf8::InvalidByteBase);
      }
    }
  });
  return url;
}

}  // namespace tamarind::designtime
