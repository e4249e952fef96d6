#pragma once
// The "Titlebar" page: whether the control shows its title bar, its caption and its height.

#include "designtime/PropertyPage.h"

namespace tamarind::designtime {

class TitlebarPage : public PropertyPage {
 public:
  explicit TitlebarPage(platform::Toolkit& tk);

 protected:
  void SelectionChanged() override;
  void ApplyChanges() override;

 private:
  platform::CheckBox& chkTitleBar;
  platform::Label& lblTitleCaption;
  platform::TextBox& txtTitleCaption;
  platform::Label& lblTitleHeight;
  platform::TextBox& txtTitleHeight;
};

}  // namespace tamarind::designtime
