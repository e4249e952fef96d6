#pragma once
// The keyboard focus and the way keys reach controls, as the desktop does it for every realisation.
//
// StandardFocus moves the focus between controls with the platform's order of events (Validate of
// the control left, LostFocus, ExitFocus and EnterFocus of the user controls, GotFocus).
// KeyboardRouter delivers a key to the focused control: a user control with KeyPreview sees it
// first and may cancel it, Tab moves between tab stops unless such a user control takes it, and
// what a key does inside a text box, a combo box or a list (typing, caret keys, the list's arrow
// keys) happens on the controls themselves, so every realisation edits the same way.

#include <cstdint>
#include <vector>

#include "platform/Control.h"
#include "platform/Services.h"
#include "platform/UserControl.h"

namespace tamarind::platform {

class StandardFocus : public FocusManager {
 public:
  Control* Focused() const override { return focused_; }
  bool SetFocus(Control& target) override;
  void Forget(Control& control) override;
  void Released(Control& control) override;
  // The focus moves out of every control (the application is deactivated).
  void Clear();

 private:
  Control* focused_ = nullptr;
};

class KeyboardRouter {
 public:
  explicit KeyboardRouter(FocusManager& focus) : focus_(focus) {}

  // Keyboard input to the focused control, routed as the platform does: a user control with
  // KeyPreview sees each key first and may cancel it. Tab moves the focus to the next tab stop
  // unless the focused control lies in a user control with KeyPreview, which then gets the key.
  // KeyDown and KeyPress return whether the key reached the focused control and nobody cancelled
  // it (set it to 0); a Tab that moved the focus counts as taken.
  bool KeyDown(int16_t keyCode, int16_t shift = 0);
  bool KeyPress(int16_t keyAscii);
  void KeyUp(int16_t keyCode, int16_t shift = 0);

 private:
  static UserControl* OwningUserControl(Control& c);
  void EditFocused(int16_t keyAscii);
  void NavigateFocused(int16_t keyCode, int16_t shift);

  FocusManager& focus_;
};

}  // namespace tamarind::platform
