#include "platform/Keyboard.h"

#include <algorithm>

#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "platform/listview/ListView.h"
#include "runtime/Text.h"

namespace tamarind::platform {

// --- focus ---------------------------------------------------------------------------------------------

namespace {
UserControl* UserControlOf(Control* c) {
  for (Window* w = c; w; w = w->ParentWindow())
    if (auto* uc = dynamic_cast<UserControl*>(w)) return uc;
  return nullptr;
}

bool CanTakeFocus(const Control& c) { return c.Focusable() && c.IsShownAndEnabled(); }
}  // namespace

bool StandardFocus::SetFocus(Control& target) {
  if (focused_ == &target) return true;
  Control* old = focused_;
  if (old && target.CausesValidation()) {
    bool cancel = false;
    old->Validate(cancel);
    if (cancel) return false;
    if (focused_ != old) return focused_ == &target;  // a Validate handler moved the focus itself
  }
  UserControl* ucOld = old ? UserControlOf(old) : nullptr;
  UserControl* ucNew = UserControlOf(&target);
  focused_ = &target;
  if (old) old->LostFocus();
  if (ucOld && ucOld != ucNew) UserControlLifecycle::ExitFocus(*ucOld);
  if (ucNew && ucNew != ucOld) UserControlLifecycle::EnterFocus(*ucNew);
  if (focused_ == &target) {
    target.OnFocusReceived();
    target.GotFocus();
  }
  return true;
}

void StandardFocus::Forget(Control& control) {
  if (focused_ != &control) return;
  // The next control of the same container that can take the focus, in tab order.
  Control* next = nullptr;
  if (Window* parent = control.ParentWindow()) {
    std::vector<Control*> candidates;
    for (Window* w : parent->ChildWindows())
      if (auto* c = dynamic_cast<Control*>(w); c && c != &control && c->TabStop() && CanTakeFocus(*c))
        candidates.push_back(c);
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (Control* c : candidates)
      if (c->TabIndex() > control.TabIndex()) {
        next = c;
        break;
      }
    if (!next && !candidates.empty()) next = candidates.front();
  }
  focused_ = next;
  control.LostFocus();
  if (next && focused_ == next) {
    next->OnFocusReceived();
    next->GotFocus();
  }
}

void StandardFocus::Released(Control& control) {
  if (focused_ == &control) focused_ = nullptr;
}

void StandardFocus::Clear() {
  Control* old = focused_;
  if (!old) return;
  focused_ = nullptr;
  old->LostFocus();
  if (UserControl* uc = UserControlOf(old)) UserControlLifecycle::ExitFocus(*uc);
}

// --- keyboard -----------------------------------------------------------------------------------------

UserControl* KeyboardRouter::OwningUserControl(Control& c) {
  for (Window* w = c.ParentWindow(); w; w = w->ParentWindow())
    if (auto* uc = dynamic_cast<UserControl*>(w)) return uc;
  return nullptr;
}

namespace {
// Tab order of a whole form: depth first, siblings by TabIndex.
void CollectTabStops(Window& w, std::vector<Control*>& out) {
  std::vector<Control*> kids;
  for (Window* child : w.ChildWindows())
    if (auto* c = dynamic_cast<Control*>(child)) kids.push_back(c);
  std::stable_sort(kids.begin(), kids.end(), [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
  for (Control* c : kids) {
    if (c->TabStop() && CanTakeFocus(*c) && !dynamic_cast<UserControl*>(c)) out.push_back(c);
    CollectTabStops(*c, out);
  }
}
}  // namespace

bool KeyboardRouter::KeyDown(int16_t keyCode, int16_t shift) {
  Control* target = focus_.Focused();
  if (!target) return false;
  UserControl* uc = OwningUserControl(*target);
  const bool preview = uc && uc->KeyPreview();
  if (keyCode == vbKeyTab && !preview) {
    Window* root = target;
    while (root->ParentWindow()) root = root->ParentWindow();
    std::vector<Control*> stops;
    CollectTabStops(*root, stops);
    if (stops.empty()) return false;
    auto it = std::find(stops.begin(), stops.end(), target);
    const bool back = (shift & vbShiftMask) != 0;
    size_t at = it == stops.end() ? 0 : static_cast<size_t>(it - stops.begin());
    at = back ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
    focus_.SetFocus(*stops[at]);
    return false;
  }
  int16_t k = keyCode, s = shift;
  if (preview) {
    UserControlLifecycle::KeyDown(*uc, k, s);
    if (k == 0) return false;
  }
  if (focus_.Focused() != target) return false;
  target->KeyDown(k, s);
  if (k == 0 || focus_.Focused() != target) return false;
  NavigateFocused(k, s);
  return true;
}

bool KeyboardRouter::KeyPress(int16_t keyAscii) {
  Control* target = focus_.Focused();
  if (!target) return false;
  UserControl* uc = OwningUserControl(*target);
  int16_t a = keyAscii;
  if (uc && uc->KeyPreview()) {
    UserControlLifecycle::KeyPress(*uc, a);
    if (a == 0) return false;
  }
  if (focus_.Focused() != target) return false;
  target->KeyPress(a);
  if (a == 0 || focus_.Focused() != target) return false;
  EditFocused(a);
  return true;
}

void KeyboardRouter::KeyUp(int16_t keyCode, int16_t shift) {
  Control* target = focus_.Focused();
  if (!target) return;
  UserControl* uc = OwningUserControl(*target);
  int16_t k = keyCode, s = shift;
  if (uc && uc->KeyPreview()) {
    UserControlLifecycle::KeyUp(*uc, k, s);
    if (k == 0) return;
  }
  if (focus_.Focused() != target) return;
  target->KeyUp(k, s);
}

void KeyboardRouter::EditFocused(int16_t keyAscii) {
  Control* target = focus_.Focused();
  const auto code = static_cast<char32_t>(static_cast<uint16_t>(keyAscii));
  // The edit field of a text box or of a combo box that can be typed into.
  auto edit = [&](auto& box) {
    if (code == 8) {  // Backspace: the selection, or the character before the caret
      if (box.SelLength() == 0) {
        if (box.SelStart() == 0) return;
        box.SelStart(box.SelStart() - 1);
        box.SelLength(1);
      }
      box.SelText("");
    } else if (code >= 32) {
      box.SelText(text::ChrW(code));
    }
  };
  if (auto* tb = dynamic_cast<TextBox*>(target)) {
    if (!tb->Locked() && !(code == 13 && !tb->MultiLine())) edit(*tb);
  } else if (auto* cb = dynamic_cast<ComboBox*>(target)) {
    if (cb->Style() != ComboBox::vbComboDropdownList) edit(*cb);
  } else if (auto* lv = dynamic_cast<ListView*>(target)) {
    lv->Keyboard().Character(code);
  } else if (auto* dp = dynamic_cast<DTPicker*>(target)) {
    dp->TypeCharacter(code);
  }
}

void KeyboardRouter::NavigateFocused(int16_t keyCode, int16_t shift) {
  Control* target = focus_.Focused();
  auto caret = [&](auto& box) {
    const int32_t len = text::Len(box.Text());
    switch (keyCode) {
      case vbKeyLeft:
        box.SelStart(std::max(0, box.SelStart() - (box.SelLength() ? 0 : 1)));
        break;
      case vbKeyRight:
        box.SelStart(std::min(len, box.SelStart() + std::max(1, box.SelLength())));
        break;
      case vbKeyHome:
        box.SelStart(0);
        break;
      case vbKeyEnd:
        box.SelStart(len);
        break;
      case vbKeyDelete:
        if (box.SelLength() == 0 && box.SelStart() < len) box.SelLength(1);
        if (box.SelLength() > 0) box.SelText("");
        break;
      default:
        break;
    }
  };
  if (auto* tb = dynamic_cast<TextBox*>(target)) {
    if (keyCode == vbKeyDelete && tb->Locked()) return;
    caret(*tb);
  } else if (auto* cb = dynamic_cast<ComboBox*>(target)) {
    if (keyCode == vbKeyF1 + 3 || (keyCode == vbKeyDown && (shift & vbAltMask))) {  // F4 / Alt+Down
      cb->ShowDropDown(!cb->DroppedDown());
    } else if (keyCode == vbKeyDown || keyCode == vbKeyUp) {
      const int32_t next = cb->ListIndex() + (keyCode == vbKeyDown ? 1 : -1);
      if (next >= 0 && next < cb->ListCount()) cb->ListIndex(next);
    } else {
      caret(*cb);
    }
  } else if (auto* lv = dynamic_cast<ListView*>(target)) {
    lv->Keyboard().KeyDown(keyCode, shift);
  } else if (auto* button = dynamic_cast<CommandButton*>(target)) {
    // Space and Enter press a button with the focus, as on any desktop.
    if ((keyCode == vbKeySpace || keyCode == vbKeyReturn) && button->IsShownAndEnabled()) button->Click();
  } else if (auto* dp = dynamic_cast<DTPicker*>(target)) {
    const auto field = static_cast<int>(dp->CurrentField());
    if (keyCode == vbKeyLeft && field > 0) dp->SelectField(static_cast<DTPicker::Field>(field - 1));
    if (keyCode == vbKeyRight && field < 2) dp->SelectField(static_cast<DTPicker::Field>(field + 1));
    if (keyCode == vbKeyUp || keyCode == vbKeyDown) dp->StepField(keyCode == vbKeyUp ? 1 : -1);
  }
}

}  // namespace tamarind::platform
