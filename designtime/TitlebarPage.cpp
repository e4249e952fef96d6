#include "designtime/TitlebarPage.h"

#include "platform/controls/CheckBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "runtime/Conversions.h"

namespace tamarind::designtime {

using namespace platform;

TitlebarPage::TitlebarPage(Toolkit& tk)
    : PropertyPage(tk, "ppgTitlebar", "Titlebar"),
      chkTitleBar(AddCheckBox("chkTitleBar", "TitleBar", 240, 240, 2400)),
      lblTitleCaption(AddLabel("lblTitleCaption", "TitleCaption:", 240, 630, 1300)),
      txtTitleCaption(AddTextBox("txtTitleCaption", 1600, 600, 3600)),
      lblTitleHeight(AddLabel("lblTitleHeight", "TitleHeight:", 240, 1030, 1300)),
      txtTitleHeight(AddTextBox("txtTitleHeight", 1600, 1000, 1000)) {
  Move(0, 0, 5700, 1600);
  chkTitleBar.Click.Connect([this] { Changed(true); });
  txtTitleCaption.Change.Connect([this] { Changed(true); });
  txtTitleHeight.Change.Connect([this] { Changed(true); });
}

void TitlebarPage::SelectionChanged() {
  Kestrel& k = SelectedControls(0);
  chkTitleBar.Value(BoxValue(k.Titlebar()));
  txtTitleCaption.Text(k.TitleCaption());
  txtTitleHeight.Text(CStr(Variant(k.TitleHeight())));
}

// The height is text until the property takes it (Error 13 for a text that is no number).
void TitlebarPage::ApplyChanges() {
  Kestrel& k = SelectedControls(0);
  k.Titlebar(Ticked(chkTitleBar));
  k.TitleCaption(txtTitleCaption.Text());
  k.TitleHeight(CLng(Variant(txtTitleHeight.Text())));
}

}  // namespace tamarind::designtime
