#pragma once
// The "Listview" page: the list's Boolean options as check boxes, and its sort key.

#include "designtime/PropertyPage.h"

namespace tamarind::designtime {

class ListviewPage : public PropertyPage {
 public:
  explicit ListviewPage(platform::Toolkit& tk);

 protected:
  void SelectionChanged() override;
  void ApplyChanges() override;

 private:
  platform::CheckBox& chkSmartColumnSort;
  platform::CheckBox& chkPlaySounds;
  platform::CheckBox& chkMultiSelect;
  platform::CheckBox& chkAutoSort;
  platform::Label& lblSortKey;
  platform::TextBox& txtSortKey;
  platform::CheckBox& chkSorted;
  platform::CheckBox& chkHideSelection;
  platform::CheckBox& chkHideColumnHeaders;
  platform::CheckBox& chkGridLines;
  platform::CheckBox& chkFullRowSelect;
  platform::CheckBox& chkCheckboxes;
};

}  // namespace tamarind::designtime
