#pragma once
// What the user's keys and clicks in an open editor mean: the events the host receives while the
// user types, when an edit is finished and how it is reported, what happens to a drop-down value
// that is not in its list, and how Tab moves the edit to another cell. The control never writes an
// edited value into the list: it reports the opening and the new text and the host stores it.

#include <string>

#include "core/KestrelState.h"
#include "editing/EditorPlacement.h"

namespace tamarind::editing {

class EditorInput {
 public:
  // Connects the handlers of the editors (text box, spinner, button, combo box, date picker).
  EditorInput(KestrelState& s, EditorPlacement& placement);

  // Finishes a drop-down edit as a choice from the list does: in the list (or accepted by the
  // host's NotInList), the drop-down closes and DropDownChangeComplete follows; refused, the text
  // goes back to the opening text and the drop-down stays open.
  void ComboClick();
  // Whether text is one of the drop-down's entries, exactly (letter case counts).
  bool VerifyInList(const std::string& text);
  // The Tab key: asks the host for the next cell (TabRequest), commits what is open and moves the
  // edit there (an ItemClick with SecondClick True).
  void ProcessTabKey();

  // Give the focus to an editor when it is shown; anything else ends quietly.
  void SetFocusToTextBox();
  void SetFocusToDropdown();
  void SetFocusToCommandButton();

 private:
  void WireTextBox();
  void WireSpinnerAndButton();
  void WireComboBox();
  void WireCalendar();
  void TextBoxKeyPress(int16_t& KeyAscii);
  void ComboKeyPress(int16_t& KeyAscii);
  void ComboDropDown();

  KestrelState& s_;
  EditorPlacement& placement_;
};

}  // namespace tamarind::editing
