#include "editing/EditorInput.h"

#include "editing/basCBOSETTING.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "services/ControlSounds.h"

namespace tamarind::editing {

using namespace platform;

EditorInput::EditorInput(KestrelState& s, EditorPlacement& placement) : s_(s), placement_(placement) {
  WireTextBox();
  WireSpinnerAndButton();
  WireComboBox();
  WireCalendar();
}

// --- text box -----------------------------------------------------------------------------------------

void EditorInput::WireTextBox() {
  TextBox& box = *s_.txtBOX;
  box.GotFocus.Connect([this] { ResumeNext([&] { SelectAllText(*s_.txtBOX); }); });
  box.Change.Connect([this] {
    ResumeNext([&] {
      if (!s_.m_Loading) s_.Events().Change(s_.txtBOX->Tag());
    });
  });
  box.KeyDown.Connect([this](int16_t& k, int16_t& sh) { ResumeNext([&] { s_.Events().KeyDown(k, sh); }); });
  box.KeyUp.Connect([this](int16_t& k, int16_t& sh) { ResumeNext([&] { s_.Events().KeyUp(k, sh); }); });
  box.MouseDown.Connect([this](int16_t& b, int16_t& sh, float& x, float& y) {
    ResumeNext([&] { s_.Events().MouseDown(b, sh, x, y); });
  });
  box.MouseUp.Connect([this](int16_t& b, int16_t& sh, float& x, float& y) {
    ResumeNext([&] { s_.Events().MouseUp(b, sh, x, y); });
  });
  box.Validate.Connect([this](bool& cancel) { ResumeNext([&] { s_.Events().TextBoxValidate(cancel); }); });
  box.KeyPress.Connect([this](int16_t& k) { TextBoxKeyPress(k); });
}

void EditorInput::TextBoxKeyPress(int16_t& KeyAscii) {
  TextBox& box = *s_.txtBOX;
  ResumeNext([&] { s_.Events().KeyPress(KeyAscii); });  // the host sees every key first
  if (KeyAscii != vbKeyReturn) return;
  KeyAscii = 0;  // no beep, no character
  // Enter finishes the edit and reports it even when nothing changed.
  ResumeEach([&] { s_.Events().ChangeComplete(box.Tag(), box.Text()); },
             [&] { services::PlayFeedback(s_, snd_COMPLETE); }, [&] { box.Tag(box.Text()); },
             [&] { placement_.HideTextBox(); });
}

// --- spin buttons and the "..." button -------------------------------------------------------------------

void EditorInput::WireSpinnerAndButton() {
  s_.SPINNER->UpClick.Connect([this] { ResumeNext([&] { s_.Events().SpinnerUpClick(); }); });
  s_.SPINNER->DownClick.Connect([this] { ResumeNext([&] { s_.Events().SpinnerDownClick(); }); });
  s_.cmdBUTTON->Click.Connect([this] {
    ResumeEach([&] { s_.lvLIST->ListItems().Item(s_.m_CurItem)->Selected(true); },
               [&] { services::PlayAlways(s_, snd_CLICK); },  // the button always answers audibly
               [&] { s_.Events().CommandButtonClick(); }, [&] { s_.lvLIST->Refresh(); });
  });
}

// --- drop-down -----------------------------------------------------------------------------------------

void EditorInput::WireComboBox() {
  ComboBox& combo = *s_.cboBOX;
  combo.Change.Connect([this] {
    ResumeNext([&] {
      if (!s_.m_Loading) s_.Events().DropDownChange(s_.cboBOX->Tag());
    });
  });
  combo.DropDown.Connect([this] { ComboDropDown(); });
  combo.Scroll.Connect([this] { ResumeNext([&] { s_.Events().Scroll(); }); });
  combo.Validate.Connect([this](bool& cancel) { ResumeNext([&] { s_.Events().ComboBoxValidate(cancel); }); });
  combo.KeyPress.Connect([this](int16_t& k) { ComboKeyPress(k); });
  combo.Click.Connect([this] { ComboClick(); });
}

void EditorInput::ComboDropDown() {
  // The list's width and height follow DropWidth and DropLines each time it opens; copies are
  // passed, so the properties keep their values.
  int32_t width = s_.m_DropWidth;
  const int32_t lines = s_.m_DropLines;
  ResumeEach([&] { basCBOSETTING::SetDropWidth(s_.tk, *s_.cboBOX, width); },
             [&] { basCBOSETTING::SetDropLines(s_.tk, *s_.cboBOX, s_.surface, lines); },
             [&] { services::PlayFeedback(s_, snd_DROP); }, [&] { s_.Events().DropDown(); });
}

bool EditorInput::VerifyInList(const std::string& text) {
  return ReportAndEnd<bool>(s_.tk, ":Error in VerifyInList.  Error Message: ", vbCritical, [&] {
    const ComboBox& combo = *s_.cboBOX;
    for (int32_t i = 0; i < combo.ListCount(); ++i)
      if (combo.List(i) == text) return true;
    return false;
  });
}

void EditorInput::ComboKeyPress(int16_t& KeyAscii) {
  ComboBox& combo = *s_.cboBOX;
  ResumeNext([&] { s_.Events().KeyPress(KeyAscii); });
  if (KeyAscii != vbKeyReturn) return;
  // Enter reports first, then closes the drop-down.
  const std::string old = combo.Tag();
  if (VerifyInList(combo.Text())) {
    ResumeEach([&] { s_.Events().DropDownChangeComplete(old, combo.Text()); },
               [&] { services::PlayFeedback(s_, snd_COMPLETE); });
  } else {
    bool cancel = false;
    std::string newValue = combo.Text();  // what the host leaves here is not read
    ResumeNext([&] { s_.Events().NotInList(old, newValue, cancel); });
    if (cancel) {
      ResumeNext([&] { combo.Text(combo.Tag()); });
    } else {
      ResumeEach([&] { s_.Events().DropDownChangeComplete(old, combo.Text()); },
                 [&] { services::PlayFeedback(s_, snd_COMPLETE); });
    }
  }
  ResumeEach([&] { combo.Tag(combo.Text()); }, [&] { placement_.HideDropDown(); });
}

void EditorInput::ComboClick() {
  ComboBox& combo = *s_.cboBOX;
  ResumeNext([&] { s_.Events().DropDownClick(); });
  const std::string old = combo.Tag();
  // A choice closes the drop-down first and reports after.
  auto accept = [&] {
    ResumeEach([&] { placement_.HideDropDown(); }, [&] { combo.Tag(combo.Text()); },
               [&] { services::PlayFeedback(s_, snd_COMPLETE); },
               [&] { s_.Events().DropDownChangeComplete(old, combo.Text()); });
  };
  if (VerifyInList(combo.Text())) {
    accept();
    return;
  }
  bool cancel = false;
  std::string newValue = combo.Text();
  ResumeNext([&] { s_.Events().NotInList(old, newValue, cancel); });
  if (cancel) {
    ResumeNext([&] { combo.Text(combo.Tag()); });  // reverted; the drop-down stays open
    return;
  }
  accept();
}

// --- calendar --------------------------------------------------------------------------------------------

void EditorInput::WireCalendar() {
  DTPicker& calendar = *s_.cboDATE;
  // Raised while a Show fills the calendar too.
  calendar.Change.Connect([this] { ResumeNext([&] { s_.Events().CalendarChange(CStr(s_.cboDATE->Value())); }); });
  calendar.DropDown.Connect([this] { ResumeNext([&] { services::PlayFeedback(s_, snd_DROP); }); });
  calendar.CloseUp.Connect([this] { placement_.HideCalendar(); });
  calendar.KeyUp.Connect([this](int16_t& k, int16_t&) {
    if (k == vbKeyReturn) placement_.HideCalendar();
  });
  calendar.KeyPress.Connect([this](int16_t& k) { ResumeNext([&] { s_.Events().KeyPress(k); }); });
  calendar.Validate.Connect([this](bool& cancel) { ResumeNext([&] { s_.Events().CalendarValidate(cancel); }); });
}

// --- Tab -----------------------------------------------------------------------------------------------

void EditorInput::ProcessTabKey() {
  ListView& lv = *s_.lvLIST;
  int32_t current = -1, next = -1, itemIndex = 1;
  if (s_.m_CurItem != 0) {
    current = next = s_.m_SubItemClicked;
    ResumeNext([&] { itemIndex = lv.SelectedItem() ? lv.SelectedItem()->Index() : s_.m_CurItem; });
  } else {
    s_.m_CurItem = 1;  // no cell clicked yet: the host chooses from the first row
  }
  ResumeNext([&] { s_.Events().TabRequest(itemIndex, current, next); });
  const ListItemRef selected = ResumeGet<ListItemRef>([&] { return lv.SelectedItem(); });
  if (selected && itemIndex == selected->Index() && next == current) return;  // the host did not answer

  // Commit what is open.
  TextBox& box = *s_.txtBOX;
  if (box.Visible() && box.Text() != box.Tag()) {
    ResumeEach([&] { s_.Events().ChangeComplete(box.Tag(), box.Text()); },
               [&] { services::PlayFeedback(s_, snd_COMPLETE); });
  }
  if (s_.cboDATE->Visible() && !TextEquals(s_.cboDATE->Tag(), s_.cboDATE->Value())) placement_.HideCalendar();
  if (s_.cboBOX->Visible() && s_.cboBOX->Text() != s_.cboBOX->Tag()) ComboClick();

  ResumeEach(
      [&] {
        if (next > lv.ColumnHeaders().Count() - 1) next = 0;  // past the last column: the item column
      },
      [&] { lv.ListItems().Item(itemIndex)->Selected(true); },
      [&] { lv.ListItems().Item(itemIndex)->EnsureVisible(); }, [&] { s_.m_LastItem = itemIndex; },
      [&] { s_.m_CurItem = itemIndex; }, [&] { s_.SetSubItemClicked(next); },
      [&] { s_.Events().ItemClick(lv.SelectedItem(), vbLeftButton, true); });
}

// --- focus ---------------------------------------------------------------------------------------------

namespace {
void FocusIfShown(Control& c) {
  ResumeNext([&] {
    if (c.Visible()) c.SetFocus();
  });
}
}  // namespace

void EditorInput::SetFocusToTextBox() { FocusIfShown(*s_.txtBOX); }
void EditorInput::SetFocusToDropdown() { FocusIfShown(*s_.cboBOX); }
void EditorInput::SetFocusToCommandButton() { FocusIfShown(*s_.cmdBUTTON); }

}  // namespace tamarind::editing
