#pragma once
// The standard pages every control of this kind offers: its colours and its fonts. Each lists the
// properties by name in a drop-down list, shows the chosen one's value and opens the desktop's
// chooser for it; what is chosen is held on the page until it is applied.

#include <memory>
#include <vector>

#include "designtime/PropertyPage.h"

namespace tamarind::platform {
class ComboBox;
}

namespace tamarind::designtime {

class StandardColorPage : public PropertyPage {
 public:
  explicit StandardColorPage(platform::Toolkit& tk);
  ~StandardColorPage() override;

 protected:
  void SelectionChanged() override;
  void ApplyChanges() override;

 private:
  void ShowChosen();
  void Choose();

  platform::Label& lblProperties;
  platform::Label& lblColor;
  platform::Label& lblSwatch;
  platform::CommandButton& cmdChoose;
  std::shared_ptr<platform::ComboBox> cboProperties_;
  std::vector<platform::OLE_COLOR> values_;
  std::vector<bool> edited_;
};

class StandardFontPage : public PropertyPage {
 public:
  explicit StandardFontPage(platform::Toolkit& tk);
  ~StandardFontPage() override;

 protected:
  void SelectionChanged() override;
  void ApplyChanges() override;

 private:
  void ShowChosen();
  void Choose();

  platform::Label& lblProperties;
  platform::Label& lblSampleCaption;
  platform::Label& lblSample;
  platform::CommandButton& cmdChoose;
  std::shared_ptr<platform::ComboBox> cboProperties_;
  std::vector<platform::FontRef> values_;
  std::vector<bool> edited_;
};

}  // namespace tamarind::designtime
