#pragma once
// The list view on real widgets: a lean report view (a QAbstractScrollArea that paints only the
// rows on screen, with a QHeaderView for the column headers) over an item-model adapter that reads
// the list model directly: no copy of the rows, no object per row, one row height for all rows.
//
// The model keeps every row, the column order, widths, selection and scroll position; the view
// follows it through the model's change notifications and answers the model's geometry questions
// (row height, header height, cell rectangles, hit tests) from what it paints. Clicks, header
// clicks, column drags and resizes, scrolling and keys go back through the model's user entry
// points, so the list raises its events in the platform's order.

#include <QAbstractScrollArea>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <tuple>

#include "platform/listview/ListView.h"
#include "platform/qt/QtToolkit.h"

namespace tamarind::platform::qt {

class QtListView;
class WidgetMirror;

// The item delegate, with the option set-up open to the view (it lays out hit tests with it).
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  using QStyledItemDelegate::initStyleOption;
};

// The list model as a Qt table: row r, column c is ListItems(r + 1), column c in creation order.
// Rows appended at the end are announced to Qt in one batch when the event loop next runs (or when
// the view paints), so filling a million rows costs one insertion signal; any other change of the
// rows is announced at once, a sort or a clear as one reset.
class ListItemsModel : public QAbstractTableModel {
 public:
  explicit ListItemsModel(QtListView& list);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void RowsInserted(int32_t pos, int32_t count);
  void RowsAboutToBeInserted(int32_t pos, int32_t count);
  void RowsAboutToBeRemoved(int32_t pos, int32_t count);
  void RowsRemoved(int32_t pos, int32_t count);
  void RowsReset();
  void ItemChanged();
  void ColumnsChanged();
  // Announces the rows appended since the last announcement.
  void Flush();

 private:
  void ScheduleFlush();
  QtListView& list_;
  int exposedRows_ = 0;   // the rows Qt has been told about
  int exposedColumns_ = 0;
  bool flushQueued_ = false;
  bool dataDirty_ = false;
  int inserting_ = 0;  // rows announced as about to come among those Qt knows of
  int removing_ = 0;   // rows announced as about to go, among those Qt knows of
};

// The column headers: a QHeaderView whose sections show the header items' images on the side the
// item's format asks for (the sort arrows to the right of the caption). Images of a list marked
// ThemeStrokes (the built-in arrows) are drawn in the header's palette; a host's own as they are.
class ReportHeader : public QHeaderView {
 public:
  ReportHeader(QtListView& list, QWidget* parent);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

 private:
  // The image with its light and dark strokes in this header's colours, made once per palette.
  QPixmap InPalette(const QPixmap& image) const;
  QtListView& list_;
  mutable std::map<std::tuple<qint64, QRgb, QRgb>, QPixmap> recoloured_;
};

// What a point of the view lies on.
struct ReportHit {
  int32_t pos = -1;     // 0-based row, -1 for none
  int32_t column = -1;  // creation index, -1 for none
  uint32_t flags = 0;   // the list's hit flags
};

class ReportView : public QAbstractScrollArea {
 public:
  ReportView(QtListView& list, QWidget* parent);
  ~ReportView() override;

  ReportHeader* Header() const { return header_; }
  ListItemsModel& Model() { return *model_; }
  CellDelegate& Delegate() { return *delegate_; }

  // The list's font as Qt's, kept until the list's font changes (also in place).
  const QFont& ListFont() const;
  // Geometry in the view's own terms.
  int RowPitch() const;
  int HeaderHeight() const;
  // The rectangle of a cell in viewport coordinates (after scrolling).
  QRect CellRect(int32_t pos, int32_t column) const;
  // Viewport coordinates to and from the list's client coordinates (right to left mirrors x).
  QPoint ToClient(QPoint viewportPoint) const;
  QPoint FromClient(QPoint clientPoint) const;
  ReportHit HitAt(QPoint viewportPoint) const;
  // The list's client area: the header and the viewport, without the frame and scroll bars.
  QSize ClientSize() const;
  // True while the focus is on the list or on another part of the user control holding it (an
  // editor laid over a cell, its drop-down or calendar): the selection then shows as active.
  bool FocusWithin(const QWidget* focused) const;

  // Follow the model.
  void FollowColumns();
  void FollowScroll();
  void FollowAppearance();
  void FollowRows();  // a deferred re-range of the scroll bars
  void RepaintRows();

  // The background picture and the images of the rows and headers, as pixmaps.
  QPixmap ImageOf(const ImageListRef& list, const Variant& indexOrKey);
  QPixmap HeaderImage(int32_t zeroBasedImage);

  // Plain cells (see PaintPlainCell) skip the delegate unless this is off; off draws every cell
  // through it, so a test can hold the two ways against each other. The count is of the last paint.
  void UsePlainCellPath(bool on);
  int PlainCellsPainted() const { return plainCellsPainted_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void UpdateGeometries();
  void UpdateScrollBars();
  void ApplyPending();
  // What every cell is drawn with, and one cell's own rectangle and state on top of it.
  QStyleOptionViewItem BaseOption() const;
  void CellState(QStyleOptionViewItem& opt, int32_t pos, int32_t column, const QRect& rect) const;
  QStyleOptionViewItem CellOption(int32_t pos, int32_t column, const QRect& rect) const;
  void PaintBackground(QPainter& p, const QRect& area);
  void MouseToModel(QMouseEvent* e, int kind);
  void PaintRows(QPaintEvent* e);
  // A cell with nothing but unselected, unfocused text that fits is drawn as the style draws it,
  // without the delegate; false (nothing drawn) for any other cell.
  struct PlainCells;
  bool PlainCellsFor(const QStyleOptionViewItem& base, PlainCells& plain) const;
  bool PaintPlainCell(QPainter& p, const PlainCells& plain, const ListItemRef& item, int32_t column,
                      const QRect& rect);
  // Every entry point Qt calls runs through the toolkit's guard (QtToolkit::Guarded).
  QtToolkit& Tk() const;
  QtListView& list_;
  ListItemsModel* model_;
  ReportHeader* header_;
  CellDelegate* delegate_;
  bool following_ = false;     // true while the view follows the model (its own signals are not input)
  bool rangesPending_ = false;
  bool repaintPending_ = false;
  bool afterDoubleClick_ = false;
  bool plainCellPath_ = true;
  int plainCellsPainted_ = 0;
  mutable std::optional<StdFont> fontSource_;  // the font font_ was made from; none before the first
  mutable QFont font_;
  mutable int fontHeight_ = 0;
  QPixmap background_;
  PictureRef backgroundSource_;
  std::map<intptr_t, QPixmap> images_;  // by picture handle
};

class QtListView : public ListView, private ListViewObserver {
 public:
  QtListView(QtToolkit& tk, Window& parent);
  ~QtListView() override;

  ReportView* ReportWidget() const { return view_; }

  int32_t RowHeightPx() const override;
  int32_t HeaderHeightPx() const override;
  int32_t StateIconWidthPx() const override;
  // Row tops as ListItem.Top reports them to a host, which lays editors at the list's Top plus
  // the item's: from the list window's top edge, so past the frame (ClientOffsetPx).
  int32_t RowTopPx(int32_t pos) const override;
  RECT CellRectPx(int32_t pos, int32_t column0) const override;
  void SubItemHitTest(LVHITTESTINFO& info) const override;
  RECT ClientRectPx() const override;
  POINT ClientOffsetPx() const override;

  // The scroll range the view lets the model use changed (a scroll bar came or went).
  void Reclamp() { ListView::OnResized(); }

 protected:
  void OnPropertyChanged(std::string_view property) override;
  void OnFocusReceived() override;
  void OnResized() override;
  void Invalidate(bool erase) override;

 private:
  void RowsInserted(int32_t pos, int32_t count) override;
  void RowsAboutToBeInserted(int32_t pos, int32_t count) override;
  void RowsAboutToBeRemoved(int32_t pos, int32_t count) override;
  void RowsRemoved(int32_t pos, int32_t count) override;
  void RowsReset() override;
  void ItemChanged(const ListItem& item) override;
  void ListChanged(Change what) override;
  void FollowLayoutDirection();

  ReportView* view_ = nullptr;
  std::unique_ptr<WidgetMirror> mirror_;
};

}  // namespace tamarind::platform::qt
