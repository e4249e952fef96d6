#pragma once
// The list on real widgets as screen readers see it, through Qt's accessibility API (AT-SPI on
// Linux). Qt's own accessible table needs a QAbstractItemView, which the report view is not, so
// the report view gets its own: a table of the list's rows and columns, its header cells named by
// the column captions, its cells by their texts, selected, focused and checked as they are painted.
// Columns are presented in display order, as the user sees them, not in creation order.
//
// Nothing is made for rows nobody asks about: the table itself is made when an assistive technology
// first asks for the view, each cell when it is asked for, and the cells are kept in a bounded
// cache keyed by row and column that is dropped whenever rows or columns move under it. Events go
// out only while an assistive technology listens (QAccessible::isActive()), so a list nobody reads
// costs what it did before.
//
// QtListView calls the hooks below where its view follows the model; an editor's widget mirror
// calls FollowEditor, so that an editor laid over a cell is announced with the cell it edits.

#include <cstdint>
#include <string_view>

class QAccessibleEvent;
class QWidget;

namespace tamarind::platform {
class Control;
class ListItem;
}  // namespace tamarind::platform

namespace tamarind::platform::qt {

class QtListView;

namespace accessible {

// The list's view is made accessible from now on (Qt's factory for it is installed with the first).
void Attach(QtListView& list);

namespace detail {
// The accessible tables alive. None until an assistive technology asks for a list: a fill of a
// million rows then costs its hooks a test each.
inline int tables = 0;
void RowsInserted(QtListView& list, int32_t pos, int32_t count);
void RowsRemoved(QtListView& list, int32_t pos, int32_t count);
void RowsReset(QtListView& list);
void ItemChanged(QtListView& list, const ListItem& item);
void ColumnsChanged(QtListView& list);
void FocusReceived(QtListView& list);
}  // namespace detail

// The list view followed its model: rows came, went or moved, a row changed (texts, check box,
// selection), the columns or their order changed, the list took the focus.
inline void RowsInserted(QtListView& list, int32_t pos, int32_t count) {
  if (detail::tables) detail::RowsInserted(list, pos, count);
}
inline void RowsRemoved(QtListView& list, int32_t pos, int32_t count) {
  if (detail::tables) detail::RowsRemoved(list, pos, count);
}
inline void RowsReset(QtListView& list) {
  if (detail::tables) detail::RowsReset(list);
}
inline void ItemChanged(QtListView& list, const ListItem& item) {
  if (detail::tables) detail::ItemChanged(list, item);
}
inline void ColumnsChanged(QtListView& list) {
  if (detail::tables) detail::ColumnsChanged(list);
}
inline void FocusReceived(QtListView& list) {
  if (detail::tables) detail::FocusReceived(list);
}

// A control's widget followed one of its properties ("" for all). An editor (text box, combo box,
// date picker, spin buttons, command button) shown over a cell of the list beside it is named after
// that cell: the column's caption and the row's own text, "Qty, Apples".
void FollowEditor(Control& control, QWidget& widget, std::string_view property);

// Qt hands no event to an update handler on a platform without accessibility (offscreen, where
// QAccessible::isActive() stays false): a test there has the list's events handed to its handler
// instead. nullptr sends them through Qt again.
void SendEventsTo(void (*handler)(QAccessibleEvent*));

}  // namespace accessible
}  // namespace tamarind::platform::qt
