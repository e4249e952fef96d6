#pragma once
// Where a person clicks to do something on the realisation's widgets: a widget and a point in it,
// read from the widgets as they are laid out at that moment (the painted cell, a header section,
// the arrow of a drop-down or of the date picker, an entry of an opened list, a day of the month
// calendar). Tests click there with QTest; a scripted session sends its own events there.

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string_view>

#include "runtime/Date.h"

namespace tamarind::platform::qt {

class QtListView;
class QtComboBox;
class QtDTPicker;
class QtUpDown;
class QtCheckBox;

struct ClickTarget {
  QPointer<QWidget> widget;
  QPoint at;
  explicit operator bool() const { return !widget.isNull(); }
};

namespace targets {

// The middle of a painted cell (row 1-based, column in creation order).
ClickTarget Cell(const QtListView& list, int32_t row, int32_t column);
// The middle of a row's check box or small icon (row 1-based), where the style draws it; empty
// when the row shows none.
ClickTarget CheckBox(const QtListView& list, int32_t row);
ClickTarget Icon(const QtListView& list, int32_t row);
// The middle of a column's header section (1-based Index).
ClickTarget HeaderSection(const QtListView& list, int32_t columnIndex);
// A drag in the header that moves a column to a display position (1-based): press at the first
// target, release at the second (both in the header's viewport).
struct Drag {
  ClickTarget from;
  QPoint to;
};
Drag ColumnDrag(const QtListView& list, int32_t columnIndex, int32_t toPosition);
// The arrow at the end of the list's vertical or horizontal scroll bar.
ClickTarget ScrollDownArrow(const QtListView& list);
ClickTarget ScrollRightArrow(const QtListView& list);
ClickTarget DropDownArrow(const QtComboBox& combo);
// An entry of the opened drop-down list; empty when the list is closed or has no such entry.
ClickTarget DropDownEntry(const QtComboBox& combo, std::string_view text);
ClickTarget CalendarArrow(const QtDTPicker& picker);
// The next click towards a day in the opened month calendar: a month arrow while another month is
// shown, then the day itself (day set true). Empty when the calendar is closed.
ClickTarget CalendarStep(const QtDTPicker& picker, Date date, bool& day);
ClickTarget SpinArrow(const QtUpDown& spinner, bool up);
// The middle of a check box control's box, where the style draws it.
ClickTarget CheckIndicator(const QtCheckBox& box);

}  // namespace targets
}  // namespace tamarind::platform::qt
