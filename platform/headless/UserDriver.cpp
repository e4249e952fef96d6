#include "platform/headless/UserDriver.h"

#include <algorithm>
#include <string>

#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::platform::headless {

namespace {
float ToTwipsX(HeadlessToolkit& tk, int32_t px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelX()); }
float ToTwipsY(HeadlessToolkit& tk, int32_t px) { return static_cast<float>(px * tk.GetScreen().TwipsPerPixelY()); }

// The key code of the key that types a character, and whether Shift is held for it.
std::pair<int16_t, int16_t> KeyFor(char32_t c) {
  if (c >= 'a' && c <= 'z') return {static_cast<int16_t>(c - 'a' + 'A'), 0};
  if (c >= 'A' && c <= 'Z') return {static_cast<int16_t>(c), vbShiftMask};
  if (c >= '0' && c <= '9') return {static_cast<int16_t>(c), 0};
  if (c == ' ') return {vbKeySpace, 0};
  static constexpr std::string_view shifted = ")!@#$%^&*(";
  if (auto p = shifted.find(static_cast<char>(c)); c < 128 && p != std::string_view::npos)
    return {static_cast<int16_t>('0' + p), vbShiftMask};
  struct Oem {
    char plain, shift;
    int16_t code;
  };
  static constexpr Oem oem[] = {{';', ':', 186}, {'=', '+', 187}, {',', '<', 188}, {'-', '_', 189},
                                {'.', '>', 190}, {'/', '?', 191}, {'`', '~', 192}, {'[', '{', 219},
                                {'\\', '|', 220}, {']', '}', 221}, {'\'', '"', 222}};
  for (const auto& o : oem) {
    if (c == static_cast<char32_t>(o.plain)) return {o.code, 0};
    if (c == static_cast<char32_t>(o.shift)) return {o.code, vbShiftMask};
  }
  return {231, 0};  // a character typed through an input method
}
}  // namespace

POINT UserDriver::CellPointPx(const ListView& list, int32_t row, int32_t column, CellPart part) const {
  const RECT cell = list.CellRectPx(row - 1, column);
  const ListViewMetrics& m = list.Metrics();
  int32_t x = (cell.left + cell.right) / 2;
  if (column == 0) {
    const int32_t state = list.Checkboxes() ? m.stateIconPx : 0;
    const int32_t icon = list.SmallIconWidthPx();
    switch (part) {
      case CellPart::StateIcon: x = cell.left + state / 2; break;
      case CellPart::Icon: x = cell.left + state + icon / 2; break;
      case CellPart::Label: x = (cell.left + state + icon + cell.right) / 2; break;
    }
  }
  return POINT{x, (cell.top + cell.bottom) / 2};
}

void UserDriver::PressAt(ListView& list, float x, float y, int16_t button, int16_t shift) {
  Deliver([&] { list.UserMouseDown(button, shift, x, y); });
}

void UserDriver::ReleaseAt(ListView& list, float x, float y, int16_t button, int16_t shift) {
  Deliver([&] { list.UserMouseUp(button, shift, x, y); });
}

void UserDriver::ClickAt(ListView& list, float x, float y, int16_t button, int16_t shift) {
  PressAt(list, x, y, button, shift);
  ReleaseAt(list, x, y, button, shift);
}

void UserDriver::PressCell(ListView& list, int32_t row, int32_t column, CellPart part, int16_t button, int16_t shift) {
  const POINT p = CellPointPx(list, row, column, part);
  PressAt(list, ToTwipsX(tk_, p.x), ToTwipsY(tk_, p.y), button, shift);
}

void UserDriver::ReleaseCell(ListView& list, int32_t row, int32_t column, int16_t button, int16_t shift) {
  const POINT p = CellPointPx(list, row, column);
  ReleaseAt(list, ToTwipsX(tk_, p.x), ToTwipsY(tk_, p.y), button, shift);
}

void UserDriver::ClickCell(ListView& list, int32_t row, int32_t column, CellPart part, int16_t button, int16_t shift) {
  const POINT p = CellPointPx(list, row, column, part);
  ClickAt(list, ToTwipsX(tk_, p.x), ToTwipsY(tk_, p.y), button, shift);
}

void UserDriver::DoubleClickCell(ListView& list, int32_t row, int32_t column) {
  ClickCell(list, row, column);
  const POINT p = CellPointPx(list, row, column);
  Deliver([&] { list.UserDoubleClick(vbLeftButton, 0, ToTwipsX(tk_, p.x), ToTwipsY(tk_, p.y)); });
}

void UserDriver::ClickBelowRows(ListView& list, int32_t column) {
  const int32_t n = list.ListItems().Count();
  const int32_t y = list.RowTopPx(n) + list.RowHeightPx() / 2;
  if (y >= list.ClientRectPx().Height())
    Raise(err::InvalidProcedureCall, "UserDriver", "The rows fill the list: there is no empty part to click");
  const int32_t x = list.ColumnOrder().empty() ? 5 : list.ColumnLeftPx(column) + 5;
  ClickAt(list, ToTwipsX(tk_, x), ToTwipsY(tk_, y));
}

void UserDriver::ClickHeader(ListView& list, int32_t columnIndex) {
  Deliver([&] { list.UserClickHeader(columnIndex); });
}

void UserDriver::DragColumn(ListView& list, int32_t columnIndex, int32_t toPosition) {
  Deliver([&] { list.UserDragColumn(columnIndex, toPosition); });
}

void UserDriver::ResizeColumn(ListView& list, int32_t columnIndex, float widthTwips) {
  Deliver([&] { list.UserResizeColumn(columnIndex, widthTwips); });
}

void UserDriver::ScrollTo(ListView& list, int32_t topRow, int32_t scrollXPx) {
  Deliver([&] { list.ScrollTo(topRow, scrollXPx); });
}

void UserDriver::ScrollRows(ListView& list, int32_t rows) {
  Deliver([&] { list.ScrollTo(list.TopIndex() + rows, list.ScrollXPx()); });
}

void UserDriver::Click(Control& control, int16_t button) {
  Deliver([&] { ClickDelivered(control, button); });
}

void UserDriver::ClickDelivered(Control& control, int16_t button) {
  if (!control.IsShownAndEnabled()) return;
  if (control.Focusable() && !control.HasFocus() && !tk_.Focus().SetFocus(control)) return;
  int16_t b = button, s = 0;
  float x = control.Width() / 2, y = control.Height() / 2;
  control.MouseDown(b, s, x, y);
  b = button;
  s = 0;
  x = control.Width() / 2;
  y = control.Height() / 2;
  control.MouseUp(b, s, x, y);
  if (button != vbLeftButton) return;
  if (auto* box = dynamic_cast<CheckBox*>(&control)) box->UserClick();  // Click comes with the new value
  else control.Click();
}

void UserDriver::ClickUpArrow(UpDown& spinner) {
  Deliver([&] {
    if (spinner.IsShownAndEnabled()) spinner.ClickUp();
  });
}

void UserDriver::ClickDownArrow(UpDown& spinner) {
  Deliver([&] {
    if (spinner.IsShownAndEnabled()) spinner.ClickDown();
  });
}

void UserDriver::ClickTab(TabStrip& strip, int32_t index, int16_t button) {
  if (index < 1 || index > strip.Count())
    Raise(err::InvalidProcedureCall, "UserDriver", "The strip has no tab " + std::to_string(index));
  Deliver([&] { ClickTabDelivered(strip, index, button); });
}

void UserDriver::ClickTabDelivered(TabStrip& strip, int32_t index, int16_t button) {
  if (!strip.IsShownAndEnabled()) return;
  if (strip.Focusable() && !strip.HasFocus() && !tk_.Focus().SetFocus(strip)) return;
  // The tabs share the strip's width; the press lands in the middle of the chosen one.
  int16_t b = button, s = 0;
  float x = strip.Width() * (static_cast<float>(index) - 0.5f) / static_cast<float>(strip.Count());
  float y = strip.Height() / 2;
  strip.MouseDown(b, s, x, y);
  if (button == vbLeftButton) strip.Item(index).Selected(true);
  b = button;
  s = 0;
  strip.MouseUp(b, s, x, y);
}

void UserDriver::Type(std::string_view text) {
  for (int32_t i = 1; i <= text::Len(text); ++i) {
    const char32_t c = text::AscW(text::Mid(text, i, 1));
    if (c > 0xFFFF) Raise(err::InvalidProcedureCall, "UserDriver", "Only characters of the basic plane can be typed");
    const auto key = KeyFor(c);
    Deliver([&] {
      tk_.KeyDown(key.first, key.second);
      tk_.KeyPress(static_cast<int16_t>(static_cast<uint16_t>(c)));
      tk_.KeyUp(key.first, key.second);
    });
  }
}

void UserDriver::PressKey(int16_t keyCode, int16_t shift) {
  Deliver([&] {
    tk_.KeyDown(keyCode, shift);
    // The keys that type a character of their own, as a keyboard makes them (a space too).
    if (keyCode == vbKeyReturn || keyCode == vbKeyTab || keyCode == vbKeyBack || keyCode == vbKeyEscape ||
        keyCode == vbKeySpace)
      tk_.KeyPress(keyCode);
    tk_.KeyUp(keyCode, shift);
  });
}

void UserDriver::OpenList(ComboBox& combo) {
  if (!combo.IsShownAndEnabled()) return;
  Deliver([&] {
    if (combo.HasFocus() || tk_.Focus().SetFocus(combo)) combo.ShowDropDown(true);
  });
}

void UserDriver::CloseList(ComboBox& combo) {
  Deliver([&] { combo.ShowDropDown(false); });
}

void UserDriver::ChooseEntry(ComboBox& combo, int32_t index) {
  if (!combo.DroppedDown()) OpenList(combo);
  if (!combo.DroppedDown()) return;
  Deliver([&] {
    combo.ListIndex(index);
    combo.ShowDropDown(false);
  });
}

void UserDriver::ChooseEntry(ComboBox& combo, std::string_view text) {
  for (int32_t i = 0; i < combo.ListCount(); ++i)
    if (combo.List(i) == text) {
      ChooseEntry(combo, i);
      return;
    }
  Raise(err::InvalidProcedureCall, "UserDriver", "The list has no entry \"" + std::string(text) + "\"");
}

void UserDriver::ScrollList(ComboBox& combo, int32_t topIndex) {
  Deliver([&] {
    if (combo.DroppedDown()) combo.ScrollList(topIndex);
  });
}

void UserDriver::OpenCalendar(DTPicker& picker) {
  if (!picker.IsShownAndEnabled()) return;
  Deliver([&] {
    if (picker.HasFocus() || tk_.Focus().SetFocus(picker)) picker.OpenCalendar();
  });
}

void UserDriver::PickDate(DTPicker& picker, Date date) {
  if (!picker.DroppedDown()) OpenCalendar(picker);
  if (!picker.DroppedDown()) return;
  // Clicking a day keeps the time of day the picker holds.
  Deliver([&] {
    const double time = picker.DateValue().SerialNumber() - picker.DateValue().DatePart().SerialNumber();
    picker.Value(Variant(Date(date.DatePart().SerialNumber() + time)));
    picker.CloseCalendar();
  });
}

void UserDriver::Focus(Control& control) {
  Deliver([&] { tk_.Focus().SetFocus(control); });
}

}  // namespace tamarind::platform::headless
