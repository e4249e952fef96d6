#include "editing/CCBO.h"

#include <algorithm>

#include "platform/Messages.h"
#include "platform/Toolkit.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::editing {

using platform::CB_FINDSTRING;
using platform::CB_FINDSTRINGEXACT;
using platform::CB_SHOWDROPDOWN;

CCBO::~CCBO() { Unlink(); }

void CCBO::LinkedComboBox(std::shared_ptr<platform::ComboBox> combo) {
  Unlink();
  mComboBox = std::move(combo);
  if (!mComboBox) return;
  keyPressToken_ = mComboBox->KeyPress.Connect([this](int16_t& KeyAscii) { mComboBox_KeyPress(KeyAscii); });
  keyUpToken_ = mComboBox->KeyUp.Connect([this](int16_t& KeyCode, int16_t& Shift) { mComboBox_KeyUp(KeyCode, Shift); });
}

void CCBO::Unlink() {
  if (!mComboBox) return;
  mComboBox->KeyPress.Disconnect(keyPressToken_);
  mComboBox->KeyUp.Disconnect(keyUpToken_);
  keyPressToken_ = keyUpToken_ = 0;
  mComboBox.reset();
}

int32_t CCBO::FindListString(const std::string& text, int32_t start, bool exact) {
  const auto result = mComboBox->GetToolkit().Windows().SendMessage(
      mComboBox->hWnd(), exact ? CB_FINDSTRINGEXACT : CB_FINDSTRING,
      static_cast<platform::WPARAM>(static_cast<intptr_t>(start)), reinterpret_cast<platform::LPARAM>(text.c_str()));
  return static_cast<int32_t>(result);
}

void CCBO::ShowList(bool show) {
  mComboBox->GetToolkit().Windows().SendMessage(mComboBox->hWnd(), CB_SHOWDROPDOWN, show ? 1 : 0, 0);
}

// The key handlers run inside the platform's key routing: an error ends the handler quietly rather
// than reaching the user's key stroke.

void CCBO::mComboBox_KeyPress(int16_t& KeyAscii) {
  if (!autoAdd_ || KeyAscii != 13 || !mComboBox) return;
  ResumeNext([&] {
    const std::string typed = mComboBox->Text();
    if (FindListString(typed, -1, true) == -1) mComboBox->AddItem(typed);
  });
}

void CCBO::mComboBox_KeyUp(int16_t& KeyCode, int16_t& /*Shift*/) {
  // The digit 0 (48) and every key below it (Backspace, Delete, space, the cursor and editing keys,
  // the modifiers) leave the text as it is, so the user can correct what completion suggested.
  if (KeyCode <= 48 || !mComboBox) return;
  // Opening or closing the list raises the combo box's DropDown, whose handlers may release this
  // object: from there on only the combo box, kept alive here, is used.
  const std::shared_ptr<platform::ComboBox> keep = mComboBox;
  ResumeNext([&] {
    platform::ComboBox& combo = *keep;
    const std::string typed = combo.Text();
    // Nothing typed is nothing to complete (a function key in an empty field changes nothing).
    if (typed.empty()) return;
    const int32_t i = FindListString(typed, -1, false);
    if (i == -1) {
      // No entry starts with it: close the list and leave the user's text and caret as they were.
      const int32_t selStart = combo.SelStart(), selLength = combo.SelLength();
      ShowList(false);
      combo.Text(typed);
      combo.SelStart(selStart);
      combo.SelLength(selLength);
      return;
    }
    ShowList(true);
    combo.Text(combo.List(i));
    // The selection starts right after the typed characters: the completed remainder is selected,
    // so the next key typed replaces it and completion goes on from the longer text, while
    // Backspace or Delete removes the suggestion and keeps exactly what was typed.
    combo.SelStart(std::min(text::Len(typed), text::Len(combo.Text())));
    combo.SelLength(text::Len(combo.Text()) - combo.SelStart());
  });
}

}  // namespace tamarind::editing
