#include "platform/qt/QtTargets.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QToolButton>

#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"

namespace tamarind::platform::qt::targets {

namespace {

QRect SectionRect(const QHeaderView& h, int logical) {
  return QRect(h.sectionViewportPosition(logical), 0, h.sectionSize(logical), h.height());
}

// The arrow of a widget drawn as a combo box (the drop-down and the date picker with its calendar).
QPoint ComboArrowOf(const QWidget& w, bool editable) {
  QStyleOptionComboBox opt;
  opt.initFrom(&w);
  opt.editable = editable;
  opt.frame = true;
  opt.subControls = QStyle::SC_All;
  return w.style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, &w).center();
}

}  // namespace

ClickTarget Cell(const QtListView& list, int32_t row, int32_t column) {
  const ReportView& view = *list.ReportWidget();
  return {view.viewport(), view.CellRect(row - 1, column).center()};
}

namespace {
// A part of a row's first cell, as the style lays it out.
ClickTarget FirstCellPart(const QtListView& list, int32_t row, QStyleOptionViewItem::ViewItemFeature feature,
                          QStyle::SubElement element) {
  ReportView& view = *list.ReportWidget();
  const QModelIndex index = view.Model().index(row - 1, 0);
  if (!index.isValid()) return {};
  QStyleOptionViewItem opt;
  opt.initFrom(&view);
  opt.rect = view.CellRect(row - 1, 0);
  view.Delegate().initStyleOption(&opt, index);
  if (!(opt.features & feature)) return {};
  return {view.viewport(), view.style()->subElementRect(element, &opt, &view).center()};
}
}  // namespace

ClickTarget CheckBox(const QtListView& list, int32_t row) {
  return FirstCellPart(list, row, QStyleOptionViewItem::HasCheckIndicator, QStyle::SE_ItemViewItemCheckIndicator);
}

ClickTarget Icon(const QtListView& list, int32_t row) {
  return FirstCellPart(list, row, QStyleOptionViewItem::HasDecoration, QStyle::SE_ItemViewItemDecoration);
}

ClickTarget HeaderSection(const QtListView& list, int32_t columnIndex) {
  const QHeaderView& h = *list.ReportWidget()->Header();
  return {h.viewport(), SectionRect(h, columnIndex - 1).center()};
}

Drag ColumnDrag(const QtListView& list, int32_t columnIndex, int32_t toPosition) {
  const QHeaderView& h = *list.ReportWidget()->Header();
  const int fromVisual = h.visualIndex(columnIndex - 1);
  const int toVisual = toPosition - 1;
  const QRect target = SectionRect(h, h.logicalIndex(toVisual));
  const QPoint start = SectionRect(h, columnIndex - 1).center();
  // Released past the middle of the section it lands on, on the side it comes from.
  const QPoint end(toVisual < fromVisual ? target.left() + 3 : target.right() - 3, start.y());
  return {{h.viewport(), start}, end};
}

namespace {
ClickTarget AddLineArrow(QScrollBar* bar) {
  QStyleOptionSlider opt;
  opt.initFrom(bar);
  opt.orientation = bar->orientation();
  opt.minimum = bar->minimum();
  opt.maximum = bar->maximum();
  opt.sliderPosition = bar->sliderPosition();
  opt.sliderValue = bar->value();
  opt.singleStep = bar->singleStep();
  opt.pageStep = bar->pageStep();
  opt.subControls = QStyle::SC_All;
  return {bar, bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarAddLine, bar).center()};
}
}  // namespace

ClickTarget ScrollDownArrow(const QtListView& list) { return AddLineArrow(list.ReportWidget()->verticalScrollBar()); }

ClickTarget ScrollRightArrow(const QtListView& list) {
  return AddLineArrow(list.ReportWidget()->horizontalScrollBar());
}

ClickTarget DropDownArrow(const QtComboBox& combo) {
  QComboBox* w = combo.Combo();
  return {w, ComboArrowOf(*w, w->isEditable())};
}

ClickTarget DropDownEntry(const QtComboBox& combo, std::string_view text) {
  QComboBox* w = combo.Combo();
  QAbstractItemView* view = w->view();
  const int row = w->findText(ToQString(text), Qt::MatchExactly);
  if (row < 0 || !view->isVisible()) return {};
  const QRect r = view->visualRect(w->model()->index(row, 0));
  if (!view->viewport()->rect().contains(r.center())) return {};  // scrolled out of the list
  return {view->viewport(), r.center()};
}

ClickTarget CalendarArrow(const QtDTPicker& picker) {
  QDateTimeEdit* edit = picker.Edit();
  return {edit, ComboArrowOf(*edit, true)};
}

ClickTarget CalendarStep(const QtDTPicker& picker, Date date, bool& day) {
  day = false;
  QCalendarWidget* calendar = picker.Edit()->calendarWidget();
  if (!calendar || !calendar->isVisible()) return {};
  const CalendarDate want = date.ToCalendar();
  const int shown = calendar->yearShown() * 12 + calendar->monthShown();
  const int wanted = want.Year * 12 + want.Month;
  if (shown != wanted) {
    auto* arrow = calendar->findChild<QToolButton*>(shown < wanted ? "qt_calendar_nextmonth" : "qt_calendar_prevmonth");
    return arrow ? ClickTarget{arrow, arrow->rect().center()} : ClickTarget{};
  }
  auto* table = calendar->findChild<QTableView*>("qt_calendar_calendarview");
  if (!table) return {};
  const QAbstractItemModel* model = table->model();
  const int firstRow = calendar->horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1;
  const int firstColumn = calendar->verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 0 : 1;
  // The shown month runs from the first cell numbered 1 to the cell before the next one.
  int ones = 0;
  for (int r = firstRow; r < model->rowCount() && ones < 2; ++r)
    for (int c = firstColumn; c < model->columnCount() && ones < 2; ++c) {
      const QModelIndex index = model->index(r, c);
      const int number = model->data(index).toInt();
      if (number == 1) ++ones;
      if (ones == 1 && number == want.Day) {
        day = true;
        return {table->viewport(), table->visualRect(index).center()};
      }
    }
  return {};
}

ClickTarget SpinArrow(const QtUpDown& spinner, bool up) {
  QWidget* b = up ? static_cast<QWidget*>(spinner.UpButton()) : static_cast<QWidget*>(spinner.DownButton());
  return {b, b->rect().center()};
}

ClickTarget CheckIndicator(const QtCheckBox& box) {
  QCheckBox* w = box.Box();
  QStyleOptionButton opt;
  opt.initFrom(w);
  opt.text = w->text();
  const QRect r = w->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &opt, w);
  return {w, QStyle::visualRect(opt.direction, opt.rect, r).center()};
}

}  // namespace tamarind::platform::qt::targets
