#include "designtime/ListviewPage.h"

#include "platform/controls/CheckBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "runtime/Conversions.h"

namespace tamarind::designtime {

using namespace platform;

// Two columns of boxes; the sort key sits with the sorting options.
ListviewPage::ListviewPage(Toolkit& tk)
    : PropertyPage(tk, "ppgListview", "Listview"),
      chkSmartColumnSort(AddCheckBox("chkSmartColumnSort", "SmartColumnSort", 240, 240, 2400)),
      chkPlaySounds(AddCheckBox("chkPlaySounds", "PlaySounds", 240, 600, 2400)),
      chkMultiSelect(AddCheckBox("chkMultiSelect", "MultiSelect", 240, 960, 2400)),
      chkAutoSort(AddCheckBox("chkAutoSort", "AutoSort", 240, 1320, 2400)),
      lblSortKey(AddLabel("lblSortKey", "SortKey:", 240, 1710, 900)),
      txtSortKey(AddTextBox("txtSortKey", 1200, 1680, 1000)),
      chkSorted(AddCheckBox("chkSorted", "Sorted", 240, 2100, 2400)),
      chkHideSelection(AddCheckBox("chkHideSelection", "HideSelection", 3000, 240, 2400)),
      chkHideColumnHeaders(AddCheckBox("chkHideColumnHeaders", "HideColumnHeaders", 3000, 600, 2400)),
      chkGridLines(AddCheckBox("chkGridLines", "GridLines", 3000, 960, 2400)),
      chkFullRowSelect(AddCheckBox("chkFullRowSelect", "FullRowSelect", 3000, 1320, 2400)),
      chkCheckboxes(AddCheckBox("chkCheckboxes", "Checkboxes", 3000, 1680, 2400)) {
  Move(0, 0, 5700, 2700);
  for (CheckBox* box : {&chkSmartColumnSort, &chkPlaySounds, &chkMultiSelect, &chkAutoSort, &chkSorted,
                        &chkHideSelection, &chkHideColumnHeaders, &chkGridLines, &chkFullRowSelect, &chkCheckboxes})
    box->Click.Connect([this] { Changed(true); });
  txtSortKey.Change.Connect([this] { Changed(true); });
}

void ListviewPage::SelectionChanged() {
  Kestrel& k = SelectedControls(0);
  chkSmartColumnSort.Value(BoxValue(k.SmartColumnSort()));
  chkPlaySounds.Value(BoxValue(k.PlaySounds()));
  chkMultiSelect.Value(BoxValue(k.MultiSelect()));
  chkAutoSort.Value(BoxValue(k.AutoSort()));
  txtSortKey.Text(CStr(Variant(k.SortKey())));
  chkSorted.Value(BoxValue(k.Sorted()));
  chkHideSelection.Value(BoxValue(k.HideSelection()));
  chkHideColumnHeaders.Value(BoxValue(k.HideColumnHeaders()));
  chkGridLines.Value(BoxValue(k.GridLines()));
  chkFullRowSelect.Value(BoxValue(k.FullRowSelect()));
  chkCheckboxes.Value(BoxValue(k.Checkboxes()));
}

// The sort key is text until the property takes it: a text that is no number is Error 13 there,
// and the boxes after it are not applied.
void ListviewPage::ApplyChanges() {
  Kestrel& k = SelectedControls(0);
  k.SmartColumnSort(Ticked(chkSmartColumnSort));
  k.PlaySounds(Ticked(chkPlaySounds));
  k.MultiSelect(Ticked(chkMultiSelect));
  k.AutoSort(Ticked(chkAutoSort));
  k.SortKey(CInt(Variant(txtSortKey.Text())));
  k.Sorted(Ticked(chkSorted));
  k.HideSelection(Ticked(chkHideSelection));
  k.HideColumnHeaders(Ticked(chkHideColumnHeaders));
  k.GridLines(Ticked(chkGridLines));
  k.FullRowSelect(Ticked(chkFullRowSelect));
  k.Checkboxes(Ticked(chkCheckboxes));
}

}  // namespace tamarind::designtime
