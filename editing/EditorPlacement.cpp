#include "editing/EditorPlacement.h"

#include "editing/CCBO.h"
#include "presentation/basTOKENS.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "services/ColumnOrder.h"
#include "services/ControlSounds.h"

namespace tamarind::editing {

using namespace platform;

namespace {

// Positions pass through whole twips after every step.
float Whole(float twips) { return static_cast<float>(RoundHalfEven(static_cast<double>(twips))); }

int32_t SelectedIndex(ListView& lv) {
  ListItemRef selected = lv.SelectedItem();
  if (!selected) Raise(err::ObjectNotSet, "Kestrel");
  return selected->Index();
}

// Header icons (sort arrows) make the columns a little narrower on screen and the editor narrower
// than the usual margin.
constexpr float kHeaderIconTrim = 5, kEditorMarginWithIcons = 8, kEditorMargin = 20;
constexpr float kItemLeftMargin = 20;
constexpr float kMovedItemColumnLeft = 50;
constexpr float kSmallIconDrop = 40;
constexpr float kCheckBoxWidth = 240;
// The margins across put an editor over a cell of a list inside a 2-pixel 3-D edge (20 twips in
// from the list's edge is two thirds of a pixel before the cell at 15 twips per pixel, 20 twips
// wider two thirds past it). A list whose client area starts elsewhere (a flat border, none)
// reports it (ClientOffsetPx) and the editor moves by the difference. Down the list there is no
// such margin: a realisation that draws a frame measures ListItem.Top from the list's top edge. The constants are whole
// twips at 15 twips per pixel, which every realisation uses today (Qt's logical pixels stay at
// 96 dpi whatever the scale factor); another ratio would scale them here by TwipsPerPixel / 15.
constexpr int32_t kMarginsEdgePx = 2;

float EdgeShift(ListView& lv, Toolkit& tk) {
  return static_cast<float>((lv.ClientOffsetPx().x - kMarginsEdgePx) * tk.GetScreen().TwipsPerPixelX());
}

}  // namespace

template <class Body>
void EditorPlacement::Show(const char* procedureText, Body body) {
  try {
    body();
  } catch (const Error& e) {
    s_.m_Loading = false;  // a failed Show leaves no change event suppressed
    s_.tk.MsgBox(FormatErrorReport(e, procedureText), vbCritical, "Warning");
  }
}

template <class Body>
void EditorPlacement::Hide(const char* procedureText, Body body) {
  ReportAndEnd(s_.tk, procedureText, vbCritical, body);
}

void SelectAllText(TextBox& box) {
  box.SelStart(0);
  box.SelLength(text::Len(box.Text()));
}

float EditorPlacement::ComputeCellLeft() {
  ListView& lv = *s_.lvLIST;
  const ListItemRef& item = lv.ListItems().Item(s_.m_CurItem);
  const int32_t subItem = s_.m_SubItemClicked;
  const float shift = EdgeShift(lv, s_.tk);
  float left = Whole(item->Left() + kItemLeftMargin + shift);
  const float trim = lv.ColumnHeaderIcons() ? kHeaderIconTrim : 0;
  std::string order = services::GetColumnOrderText(s_.tk, lv);
  const int16_t n = basTOKENS::CountTokens(s_.tk, order, ",");
  for (int16_t p = 0; p < n; ++p) {
    const int32_t c = CLng(Variant(basTOKENS::GetToken(s_.tk, order, ",")));
    // With the item column dragged away from the first place, the first column starts here.
    if (p == 0 && c != 0) left = kMovedItemColumnLeft + shift;
    if (c == subItem) break;
    left = Whole(left + lv.ColumnHeaders().Item(c + 1)->Width() - trim);
  }
  return left;
}

EditorPlacement::Cell EditorPlacement::CurrentCell() {
  ListView& lv = *s_.lvLIST;
  Cell cell;
  cell.item = lv.ListItems().Item(s_.m_CurItem);
  cell.left = ComputeCellLeft();
  cell.top = lv.Top() + cell.item->Top() + (lv.SmallIcons() ? kSmallIconDrop : 0);
  cell.width = lv.ColumnHeaders().Item(s_.m_SubItemClicked + 1)->Width() +
               (lv.ColumnHeaderIcons() ? kEditorMarginWithIcons : kEditorMargin);
  return cell;
}

float EditorPlacement::AdjustLeft(float left, float editorWidth) {
  if (s_.lvLIST->Checkboxes()) left -= kCheckBoxWidth;
  if (s_.txtBOX->RightToLeft()) left = s_.lvLIST->Width() - left - editorWidth;
  return left;
}

// --- Show ---------------------------------------------------------------------------------------------

EditorPlacement::Cell EditorPlacement::BeginShow() {
  s_.m_CurItem = SelectedIndex(*s_.lvLIST);
  return CurrentCell();
}

void EditorPlacement::HideOthers(Editor shown) {
  // In this order: the drop-down, the text box, the calendar, the button.
  if (shown != Editor::DropDown) HideDropDown();
  if (shown != Editor::TextBox) HideTextBox();
  if (shown != Editor::Calendar) HideCalendar();
  if (shown != Editor::Button) HideCommandButton();
}

void EditorPlacement::EndShow() {
  s_.m_Loading = false;
  s_.Timer->Enabled(true);
}

void EditorPlacement::ShowTextBox(const std::string& DefaultText) {
  Show(":Error in ShowTextBox.  Error Message: ", [&] {
    TextBox& box = *s_.txtBOX;
    const Cell cell = BeginShow();
    s_.m_Loading = true;
    HideOthers(Editor::TextBox);
    box.Top(cell.top);
    box.Width(cell.width);
    box.Left(AdjustLeft(cell.left, cell.width));
    box.Text(DefaultText);
    box.Tag(DefaultText);
    EndShow();
    box.Visible(true);
    SelectAllText(box);
    for (int i = 0; i < 3; ++i) s_.tk.DoEvents();
  });
}

void EditorPlacement::ShowTextBoxWithSpinner(const std::string& DefaultText) {
  Show(":Error in ShowTextBoxWithSpinner.  Error Message: ", [&] {
    TextBox& box = *s_.txtBOX;
    UpDown& spinner = *s_.SPINNER;
    const Cell cell = BeginShow();
    s_.m_Loading = true;
    HideOthers(Editor::TextBox);
    box.Top(cell.top);
    box.Width(cell.width - spinner.Width());
    // The text box and the spinner are mirrored as one block; the spinner stays on the right.
    box.Left(AdjustLeft(cell.left, box.Width() + spinner.Width()));
    box.Height(cell.item->Height());
    box.Text(DefaultText);
    box.Tag(DefaultText);
    spinner.Left(box.Left() + box.Width());
    spinner.Top(box.Top());
    spinner.Visible(true);
    spinner.ZOrder(0);
    box.Visible(true);
    EndShow();
  });
}

void EditorPlacement::ShowCommandButton() {
  Show(":Error in ShowCommandButton.  Error Message: ", [&] {
    CommandButton& button = *s_.cmdBUTTON;
    const Cell cell = BeginShow();
    s_.m_Loading = true;
    HideOthers(Editor::Button);
    const float b = button.Width();
    button.Top(cell.top);
    button.Left(AdjustLeft(cell.left + cell.width - b, b));  // at the right end of the cell
    button.Height(cell.item->Height());
    button.Visible(true);
    EndShow();
  });
}

void EditorPlacement::ShowCalendar(std::string& DefaultText) {
  Show(":Error in ShowCalendar.  Error Message: ", [&] {
    DTPicker& calendar = *s_.cboDATE;
    const Cell cell = BeginShow();
    s_.m_Loading = true;
    calendar.Tag(DefaultText);
    if (DefaultText.empty()) DefaultText = CStr(Variant(s_.tk.GetClock().Now()));
    HideOthers(Editor::Calendar);
    calendar.Top(cell.top);
    calendar.Width(cell.width);
    calendar.Left(AdjustLeft(cell.left, cell.width));
    calendar.Height(cell.item->Height() + static_cast<float>(s_.tk.GetScreen().TwipsPerPixelY()));
    calendar.Value(Variant(DefaultText));  // a text that is no date stops here, before the calendar shows
    calendar.Visible(true);
    EndShow();
  });
}

void EditorPlacement::ShowDropDown(const std::string& DefaultText) {
  Show(":Error in ShowDropDown.  Error Message: ", [&] {
    WindowManager& wm = s_.tk.Windows();
    try {
      ComboBox& combo = *s_.cboBOX;
      const Cell cell = BeginShow();
      // Painting waits until the combo box is filled and in place, so it never flashes elsewhere.
      wm.LockWindowUpdate(s_.surface.hWnd());
      combo.Visible(true);
      combo.Text(DefaultText);  // still not loading: a different text raises DropDownChange
      s_.m_CCBO = std::make_shared<CCBO>();
      s_.m_CCBO->LinkedComboBox(s_.cboBOX);
      s_.m_Loading = true;
      HideOthers(Editor::DropDown);
      combo.Top(cell.top);
      combo.Width(cell.width);
      combo.Left(AdjustLeft(cell.left, cell.width));
      combo.Tag(DefaultText);
      // A plain sleep: nothing else runs meanwhile.
      if (s_.m_DropDelay > 0) s_.tk.GetClock().Sleep(static_cast<uint32_t>(s_.m_DropDelay));
      EndShow();
      wm.LockWindowUpdate(0);
    } catch (const Error&) {
      wm.LockWindowUpdate(0);
      throw;
    }
  });
}

// --- Hide ---------------------------------------------------------------------------------------------

void EditorPlacement::HideTextBox() {
  Hide(":Error in HideTextBox.  Error Message: ", [&] {
    s_.Timer->Enabled(false);
    s_.SPINNER->Visible(false);
    s_.txtBOX->Visible(false);
  });
}

void EditorPlacement::HideDropDown() {
  Hide(":Error in HideDropDown.  Error Message: ", [&] {
    s_.m_CCBO.reset();
    s_.Timer->Enabled(false);
    s_.SPINNER->Visible(false);
    s_.cboBOX->Visible(false);
  });
}

void EditorPlacement::HideCalendar() {
  Hide(":Error in HideCalendar.  Error Message: ", [&] {
    DTPicker& calendar = *s_.cboDATE;
    s_.Timer->Enabled(false);
    s_.SPINNER->Visible(false);
    if (calendar.Visible() && !TextEquals(calendar.Tag(), calendar.Value())) {
      s_.Events().CalendarChangeComplete(calendar.Tag(), CStr(calendar.Value()), s_.m_LastSubItem);
      services::PlayFeedback(s_, snd_COMPLETE);
    }
    calendar.Visible(false);
  });
}

void EditorPlacement::HideCommandButton() {
  Hide(":Error in HideCommandButton.  Error Message: ", [&] {
    s_.Timer->Enabled(false);
    s_.cmdBUTTON->Visible(false);
  });
}

void EditorPlacement::HideEditAreas(bool CheckForChange) {
  TextBox& box = *s_.txtBOX;
  ComboBox& combo = *s_.cboBOX;
  ResumeNext([&] { s_.SPINNER->Visible(false); });
  if (ResumeGet<bool>([&] { return box.Visible(); })) {
    ResumeEach(
        [&] {
          if (CheckForChange && box.Text() != box.Tag()) s_.Events().ChangeComplete(box.Tag(), box.Text());
        },
        [&] { box.Visible(false); });
  }
  if (ResumeGet<bool>([&] { return s_.cboDATE->Visible(); })) ResumeNext([&] { s_.cboDATE->Visible(false); });
  if (ResumeGet<bool>([&] { return combo.Visible(); })) {
    ResumeEach(
        [&] {
          if (CheckForChange && combo.Text() != combo.Tag())
            s_.Events().DropDownChangeComplete(combo.Tag(), combo.Text());
        },
        [&] { combo.Visible(false); });
  }
  if (ResumeGet<bool>([&] { return s_.cmdBUTTON->Visible(); })) ResumeNext([&] { s_.cmdBUTTON->Visible(false); });
}

// --- tracking -------------------------------------------------------------------------------------------

void EditorPlacement::TrackEditors() {
  try {
    // Assigns only what changed; a negative width keeps the editor's own.
    auto moveTo = [](Control& editor, float left, float top, float width) {
      if (editor.Top() != top) editor.Top(top);
      if (width >= 0 && editor.Width() != width) editor.Width(width);
      if (editor.Left() != left) editor.Left(left);
    };
    // Each visible editor in turn, from the cell as it is now (the column order is read afresh).
    TextBox& box = *s_.txtBOX;
    UpDown& spinner = *s_.SPINNER;
    if (box.Visible()) {
      const Cell cell = CurrentCell();
      const bool withSpinner = spinner.Visible();
      moveTo(box, AdjustLeft(cell.left, cell.width), cell.top, withSpinner ? cell.width - spinner.Width() : cell.width);
      if (withSpinner) moveTo(spinner, box.Left() + box.Width(), box.Top(), -1);
    }
    for (Control* editor : {static_cast<Control*>(s_.cboBOX.get()), static_cast<Control*>(s_.cboDATE.get())}) {
      if (!editor->Visible()) continue;
      const Cell cell = CurrentCell();
      moveTo(*editor, AdjustLeft(cell.left, cell.width), cell.top, cell.width);
    }
    if (s_.cmdBUTTON->Visible()) {
      const Cell cell = CurrentCell();
      const float b = s_.cmdBUTTON->Width();
      moveTo(*s_.cmdBUTTON, AdjustLeft(cell.left + cell.width - b, b), cell.top, -1);
    }
    if (s_.txtSEL->Visible()) {
      const Cell cell = CurrentCell();
      moveTo(*s_.txtSEL, AdjustLeft(cell.left, cell.width), cell.top, cell.width);
    }
  } catch (const Error&) {
    // Tracking tries again at the next tick.
  }
}

}  // namespace tamarind::editing
