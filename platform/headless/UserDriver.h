#pragma once
// A person at the headless desktop: presses and releases the mouse on points, cells and headers,
// drags and resizes columns, scrolls, types text and keys, opens drop-downs and month calendars
// and picks from them, and moves the focus. Every action goes through the same controls and
// events a real desktop would drive, in the platform's order.

#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/controls/CheckBox.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/UnhandledErrors.h"
#include "platform/listview/ListView.h"

namespace tamarind::platform::headless {

// Where in a cell a press lands.
enum class CellPart { Label, Icon, StateIcon };

class UserDriver {
 public:
  explicit UserDriver(HeadlessToolkit& tk) : tk_(tk) {}

  // --- the list ---------------------------------------------------------------------------------
  // A point of a cell (row 1-based, column 0-based creation index) in twips of the list's client
  // area: the middle of the label, or of the icon or check box.
  POINT CellPointPx(const ListView& list, int32_t row, int32_t column, CellPart part = CellPart::Label) const;
  void PressAt(ListView& list, float x, float y, int16_t button = vbLeftButton, int16_t shift = 0);
  void ReleaseAt(ListView& list, float x, float y, int16_t button = vbLeftButton, int16_t shift = 0);
  void ClickAt(ListView& list, float x, float y, int16_t button = vbLeftButton, int16_t shift = 0);
  void ClickCell(ListView& list, int32_t row, int32_t column, CellPart part = CellPart::Label,
                 int16_t button = vbLeftButton, int16_t shift = 0);
  void DoubleClickCell(ListView& list, int32_t row, int32_t column);
  void PressCell(ListView& list, int32_t row, int32_t column, CellPart part = CellPart::Label,
                 int16_t button = vbLeftButton, int16_t shift = 0);
  void ReleaseCell(ListView& list, int32_t row, int32_t column, int16_t button = vbLeftButton, int16_t shift = 0);
  // A click below the last row (in the empty part of the list).
  void ClickBelowRows(ListView& list, int32_t column = 0);
  void ClickHeader(ListView& list, int32_t columnIndex);
  void DragColumn(ListView& list, int32_t columnIndex, int32_t toPosition);
  void ResizeColumn(ListView& list, int32_t columnIndex, float widthTwips);
  void ScrollTo(ListView& list, int32_t topRow, int32_t scrollXPx);
  void ScrollRows(ListView& list, int32_t rows);

  // --- other controls ---------------------------------------------------------------------------
  // Press and release on a control: the focus moves to it (when it can take it), MouseDown,
  // MouseUp, Click. A check box's value turns with a left click before its Click, as the
  // desktop's check box turns it.
  void Click(Control& control, int16_t button = vbLeftButton);
  void ClickUpArrow(UpDown& spinner);
  void ClickDownArrow(UpDown& spinner);
  // A press and release on tab index (1-based) of a shown tab strip. The press selects the tab: a
  // tab not selected before becomes the selected one and the strip raises Click; pressing the tab
  // that is already selected changes nothing, as on the platform's tab control.
  void ClickTab(TabStrip& strip, int32_t index, int16_t button = vbLeftButton);

  // --- keyboard, to the focused control -------------------------------------------------------------
  // Each character: KeyDown, KeyPress (which types it), KeyUp.
  void Type(std::string_view text);
  // A key: KeyDown, KeyPress for keys that make a character (Enter, Tab, Backspace, Escape), KeyUp.
  void PressKey(int16_t keyCode, int16_t shift = 0);

  // --- drop-down lists and calendars ----------------------------------------------------------------
  void OpenList(ComboBox& combo);   // the arrow: focus, then the list drops down
  void CloseList(ComboBox& combo);
  // Clicks an entry of the open list (opening it first): the entry becomes the text, Click, the
  // list closes.
  void ChooseEntry(ComboBox& combo, int32_t index);
  void ChooseEntry(ComboBox& combo, std::string_view text);
  void ScrollList(ComboBox& combo, int32_t topIndex);
  void OpenCalendar(DTPicker& picker);
  // Opens the month calendar if needed, clicks the date (Change), and the calendar closes (CloseUp).
  void PickDate(DTPicker& picker, Date date);

  // --- focus and time ---------------------------------------------------------------------------------
  void Focus(Control& control);
  // Time passes with the event loop running: due timers fire.
  void Wait(uint64_t ms) { tk_.Wait(ms); }

 private:
  // Input reaches the control as the desktop delivers it: an error that no handler took is reported
  // in a message box and goes no further (UnhandledErrors.h). The driver's own misuse still throws.
  template <class F>
  void Deliver(F&& input) {
    RunGuarded(tk_, std::forward<F>(input));
  }
  void ClickDelivered(Control& control, int16_t button);
  void ClickTabDelivered(TabStrip& strip, int32_t index, int16_t button);
  HeadlessToolkit& tk_;
};

}  // namespace tamarind::platform::headless
