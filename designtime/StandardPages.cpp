#include "designtime/StandardPages.h"

#include <iterator>

#include "platform/Toolkit.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/SimpleControls.h"

namespace tamarind::designtime {

using namespace platform;

namespace {

struct ColorProperty {
  const char* name;
  OLE_COLOR (Kestrel::*get)() const;
  void (Kestrel::*set)(OLE_COLOR);
};
const ColorProperty kColors[] = {
    {"BackColor", &Kestrel::BackColor, &Kestrel::BackColor},
    {"ForeColor", &Kestrel::ForeColor, &Kestrel::ForeColor},
    {"LineEvenColor", &Kestrel::LineEvenColor, &Kestrel::LineEvenColor},
    {"LineOddColor", &Kestrel::LineOddColor, &Kestrel::LineOddColor},
    {"TitleBackColor", &Kestrel::TitleBackColor, &Kestrel::TitleBackColor},
    {"TitleForeColor", &Kestrel::TitleForeColor, &Kestrel::TitleForeColor},
    {"CalendarBackColor", &Kestrel::CalendarBackColor, &Kestrel::CalendarBackColor},
    {"CalendarForeColor", &Kestrel::CalendarForeColor, &Kestrel::CalendarForeColor},
    {"CalendarTitleBackColor", &Kestrel::CalendarTitleBackColor, &Kestrel::CalendarTitleBackColor},
    {"CalendarTitleForeColor", &Kestrel::CalendarTitleForeColor, &Kestrel::CalendarTitleForeColor},
    {"CalendarTrailingForeColor", &Kestrel::CalendarTrailingForeColor, &Kestrel::CalendarTrailingForeColor}};

struct FontProperty {
  const char* name;
  FontRef (Kestrel::*get)() const;
  void (Kestrel::*set)(const FontRef&);
};
const FontProperty kFonts[] = {{"Font", &Kestrel::Font, &Kestrel::Font},
                               {"TitleFont", &Kestrel::TitleFont, &Kestrel::TitleFont}};

// The list of property names, a drop-down list that comes after the page's labels and before its
// button in tab order (the page's own numbering knows no combo boxes).
std::shared_ptr<ComboBox> MakeList(PropertyPage& page, CommandButton& follows, float left, float top, float width) {
  auto list = page.GetToolkit().CreateComboBox(page);
  list->Name("cboProperties");
  list->Style(ComboBox::vbComboDropdownList);
  list->Move(left, top, width);
  list->TabIndex(follows.TabIndex());
  follows.TabIndex(static_cast<int16_t>(follows.TabIndex() + 1));
  return list;
}

}  // namespace

// --- colours ------------------------------------------------------------------------------------------

StandardColorPage::StandardColorPage(Toolkit& tk)
    : PropertyPage(tk, "ppgStandardColor", "StandardColor"),
      lblProperties(AddLabel("lblProperties", "Properties:", 240, 240, 2600)),
      lblColor(AddLabel("lblColor", "Color:", 3120, 240, 1500)),
      lblSwatch(AddLabel("lblSwatch", "", 3120, 540, 1500, 900)),
      cmdChoose(AddCommandButton("cmdChoose", "&Choose...", 3120, 1560, 1500)),
      cboProperties_(MakeList(*this, cmdChoose, 240, 540, 2600)),
      values_(std::size(kColors)),
      edited_(std::size(kColors)) {
  Move(0, 0, 5700, 2700);
  for (const ColorProperty& p : kColors) cboProperties_->AddItem(p.name);
  cboProperties_->Click.Connect([this] { ShowChosen(); });
  cmdChoose.Click.Connect([this] { Choose(); });
}

// The list goes before the surface it is drawn on, as the page's own parts do.
StandardColorPage::~StandardColorPage() { cboProperties_.reset(); }

void StandardColorPage::SelectionChanged() {
  Kestrel& k = SelectedControls(0);
  for (size_t i = 0; i < std::size(kColors); ++i) {
    values_[i] = (k.*kColors[i].get)();
    edited_[i] = false;
  }
  if (cboProperties_->ListIndex() < 0) cboProperties_->ListIndex(0);  // Click shows it
  else ShowChosen();
}

void StandardColorPage::ShowChosen() {
  const int32_t i = cboProperties_->ListIndex();
  if (i >= 0) lblSwatch.BackColor(values_[static_cast<size_t>(i)]);
}

void StandardColorPage::Choose() {
  const int32_t i = cboProperties_->ListIndex();
  if (i < 0 || SelectedControls().empty()) return;
  const auto at = static_cast<size_t>(i);
  OLE_COLOR chosen = values_[at];
  if (!GetToolkit().ChooseColor(values_[at], chosen, kColors[at].name)) return;
  values_[at] = chosen;
  edited_[at] = true;
  ShowChosen();
  Changed(true);
}

// Only the colours chosen are written: the others may have changed on the control since the fill.
// Each is done once written, so an apply that failed part way goes on from there.
void StandardColorPage::ApplyChanges() {
  Kestrel& k = SelectedControls(0);
  for (size_t i = 0; i < std::size(kColors); ++i) {
    if (!edited_[i]) continue;
    (k.*kColors[i].set)(values_[i]);
    edited_[i] = false;
  }
}

// --- fonts --------------------------------------------------------------------------------------------

StandardFontPage::StandardFontPage(Toolkit& tk)
    : PropertyPage(tk, "ppgStandardFont", "StandardFont"),
      lblProperties(AddLabel("lblProperties", "Properties:", 240, 240, 2600)),
      lblSampleCaption(AddLabel("lblSampleCaption", "Sample:", 3120, 240, 2400)),
      lblSample(AddLabel("lblSample", "AaBbYyZz", 3120, 540, 2400, 900)),
      cmdChoose(AddCommandButton("cmdChoose", "&Choose...", 3120, 1560, 1500)),
      cboProperties_(MakeList(*this, cmdChoose, 240, 540, 2600)),
      values_(std::size(kFonts)),
      edited_(std::size(kFonts)) {
  Move(0, 0, 5700, 2700);
  for (const FontProperty& p : kFonts) cboProperties_->AddItem(p.name);
  cboProperties_->Click.Connect([this] { ShowChosen(); });
  cmdChoose.Click.Connect([this] { Choose(); });
}

StandardFontPage::~StandardFontPage() { cboProperties_.reset(); }

// The page holds copies: a control's Font is the control's own object and changes with it.
void StandardFontPage::SelectionChanged() {
  Kestrel& k = SelectedControls(0);
  for (size_t i = 0; i < std::size(kFonts); ++i) {
    const FontRef font = (k.*kFonts[i].get)();
    values_[i] = font ? font->Clone() : std::make_shared<StdFont>();
    edited_[i] = false;
  }
  if (cboProperties_->ListIndex() < 0) cboProperties_->ListIndex(0);
  else ShowChosen();
}

void StandardFontPage::ShowChosen() {
  const int32_t i = cboProperties_->ListIndex();
  if (i >= 0 && values_[static_cast<size_t>(i)]) lblSample.Font(values_[static_cast<size_t>(i)]);
}

void StandardFontPage::Choose() {
  const int32_t i = cboProperties_->ListIndex();
  if (i < 0 || SelectedControls().empty()) return;
  const auto at = static_cast<size_t>(i);
  FontRef chosen;
  if (!GetToolkit().ChooseFont(*values_[at], chosen, kFonts[at].name) || !chosen) return;
  values_[at] = std::move(chosen);
  edited_[at] = true;
  ShowChosen();
  Changed(true);
}

void StandardFontPage::ApplyChanges() {
  Kestrel& k = SelectedControls(0);
  for (size_t i = 0; i < std::size(kFonts); ++i) {
    if (!edited_[i]) continue;
    (k.*kFonts[i].set)(values_[i]);
    edited_[i] = false;
  }
}

}  // namespace tamarind::designtime
