#include "platform/qt/QtAccessibleList.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QTimer>
#include <QVariant>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/controls/ComboBox.h"
#include "platform/controls/DTPicker.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"

namespace tamarind::platform::qt::accessible {

namespace {

// The row the keys act on: the focused item (Ctrl moves it alone in a MultiSelect list), else the
// selected one.
ListItemRef KeyFocus(const QtListView& list) {
  ListItemRef focused = list.FocusedItem();
  return focused ? focused : list.SelectedItem();
}

class Table;

// Cells kept before those away from the rows on screen are let go. They go when the event loop
// next runs, so that no cell a caller still holds goes under it; at four times as many, at once.
constexpr size_t kCellsKept = 2048;
// A run of rows inserted or removed that is longer than this, with cells after it to move, is
// announced as a reset: its cells are dropped instead of moved again and again.
constexpr int32_t kLongestRun = 64;
// How far an editor may stray from its cell (the placement's margins) and still be its editor, px.
constexpr int kEditorSlack = 4;
// The name FollowEditor gave a widget, so that it takes back only a name of its own.
constexpr const char* kCellNameProperty = "tamarindCellName";

void (*testHandler)(QAccessibleEvent*) = nullptr;

bool Listening() { return testHandler || QAccessible::isActive(); }

void Send(QAccessibleEvent& e) {
  if (testHandler) testHandler(&e);
  else QAccessible::updateAccessibility(&e);
}

// The list each attached view shows, and the table of each view an assistive technology asked for.
std::unordered_map<const QObject*, QtListView*>& Lists() {
  static std::unordered_map<const QObject*, QtListView*> lists;
  return lists;
}
std::unordered_map<const QObject*, Table*>& Tables() {
  static std::unordered_map<const QObject*, Table*> tables;
  return tables;
}

Table* TableOf(const QObject* view) {
  auto& tables = Tables();
  auto it = tables.find(view);
  return it == tables.end() ? nullptr : it->second;
}

// What a cell and a header cell share: no object of their own, no children.
class Leaf : public QAccessibleInterface {
 public:
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

// One cell of the list: row (0-based) and column in display order.
class Cell : public Leaf, public QAccessibleTableCellInterface {
 public:
  Cell(Table& table, int row, int column) : table_(table), row_(row), column_(column) {}

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}  // cells are edited through the editors
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType t) override {
    return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
  }

  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override;
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }  // rows have no headers
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

  const Table& Owner() const { return table_; }
  // Rows came or went above the cell.
  void MoveTo(int row) { row_ = row; }
  // Whether the text (the check box) differs from what the cell last told; it tells the new one.
  bool TextChanged();
  bool CheckChanged();

 private:
  Table& table_;
  int row_;
  int column_;
  mutable std::optional<QString> toldText_;
  mutable std::optional<bool> toldChecked_;
};

// A column's header section, named by its caption; column in display order.
class HeaderCell : public Leaf {
 public:
  HeaderCell(Table& table, int column) : table_(table), column_(column) {}

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
  QAccessible::State state() const override;

  const Table& Owner() const { return table_; }
  int Column() const { return column_; }
  bool CaptionChanged();

 private:
  Table& table_;
  int column_;
  mutable std::optional<QString> toldCaption_;
};

// The report view as a table. Its children are the header cells (indexes 0 .. columns - 1, there
// whether the header shows or not, so that indexes stay put), then the cells row after row.
class Table : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit Table(QtListView& list);
  ~Table() override;
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  QAccessible::State state() const override;
  QString text(QAccessible::Text t) const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  void* interface_cast(QAccessible::InterfaceType t) override;

  QAccessibleInterface* caption() const override;
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int column) const override;
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }  // the list selects rows
  int selectedRowCount() const override;
  int columnCount() const override { return list_.ColumnHeaders().Count(); }
  int rowCount() const override { return list_.ListItems().Count(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  bool selectRow(int row) override;
  bool selectColumn(int) override { return false; }
  bool unselectRow(int row) override;
  bool unselectColumn(int) override { return false; }
  // Qt calls this for the model changes the table itself sends; the cells followed the list's own
  // notifications before that (they come whether anyone listens or not), so there is nothing left.
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

  // --- for the cells ---
  QtListView& List() const { return list_; }
  ReportView& View() const { return *list_.ReportWidget(); }
  int32_t CreationColumn(int column) const;
  int DisplayColumn(int32_t creation) const;
  bool HasRow(int row) const { return row >= 0 && row < rowCount(); }
  bool HasColumn(int column) const { return column >= 0 && column < columnCount(); }
  QString CellText(int row, int column) const;
  // The cell that shows the keyboard focus: the focused row's own cell while the view has the focus.
  bool IsFocusCell(int row, int column) const;
  HeaderCell* HeaderAt(int column) const;
  QRect OnScreen(const QRect& viewportRect) const;

  // --- the list's changes ---
  void RowsInserted(int32_t pos, int32_t count);
  void RowsRemoved(int32_t pos, int32_t count);
  void RowsReset();
  void ItemChanged(const ListItem& item);
  void ColumnsChanged();
  void FocusReceived();
  // Announces the change of rows gathered since the event loop last ran.
  void Flush();
  // Lets go of the cells away from the rows on screen.
  void Trim();

 private:
  enum class Run { None, Inserted, Removed, Reset };
  struct Entry {
    Cell* cell;
    QAccessible::Id id;
  };
  // No cell goes while a caller is being handed several.
  struct Holding {
    explicit Holding(const Table& t) : table(t) { ++table.holding_; }
    ~Holding() { --table.holding_; }
    const Table& table;
  };

  Cell* CellAt(int row, int column) const;
  void TrimSoon() const;
  void DropCells() const;
  void DropHeaders() const;
  // The cells at and after row pos move by delta rows; with a negative delta the cells of the rows
  // [pos, pos - delta) go first. Returns how many moved.
  size_t ShiftCells(int32_t pos, int32_t delta);
  void Reset();
  void FlushLater();
  // Sends an event about rows as they stand now: the change of rows gathered so far goes first.
  void Tell(QAccessibleEvent& e);
  std::vector<int> SelectedRowList(size_t most) const;
  void AnnounceSelection(const ListItem& item, int row);
  void AnnounceFocus(bool always);
  void PruneSelection();

  QtListView& list_;
  const QObject* key_;
  struct HeaderEntry {
    HeaderCell* cell;
    QAccessible::Id id;
  };
  mutable std::map<std::pair<int, int>, Entry> cells_;  // by row and display column
  mutable std::map<int, HeaderEntry> headers_;           // by display column
  mutable bool trimQueued_ = false;
  mutable int holding_ = 0;
  std::vector<int32_t> shownOrder_;  // the column order the cells stand in
  Run run_ = Run::None;
  int32_t runFirst_ = 0, runLast_ = -1;
  bool flushQueued_ = false;
  // The rows announced as selected (by address, each with its item to tell a freed address) and the
  // row announced as focused.
  std::unordered_map<const ListItem*, std::weak_ptr<const ListItem>> toldSelected_;
  std::weak_ptr<const ListItem> toldFocus_;
};

// --- cells -------------------------------------------------------------------------------------------

bool Cell::isValid() const { return table_.HasRow(row_) && table_.HasColumn(column_); }

QWindow* Cell::window() const { return table_.View().window()->windowHandle(); }

QAccessibleInterface* Cell::parent() const { return &table_; }

QAccessibleInterface* Cell::table() const { return &table_; }

QString Cell::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !isValid()) return {};
  toldText_ = table_.CellText(row_, column_);
  return *toldText_;
}

QRect Cell::rect() const {
  if (!isValid()) return {};
  return table_.OnScreen(table_.View().CellRect(row_, table_.CreationColumn(column_)));
}

QAccessible::State Cell::state() const {
  QAccessible::State st;
  if (!isValid()) {
    st.invalid = true;
    return st;
  }
  const ListView& list = table_.List();
  const ListItemRef& item = list.ListItems().Item(row_ + 1);
  const int32_t creation = table_.CreationColumn(column_);
  st.selectable = true;
  st.focusable = true;
  st.multiSelectable = st.extSelectable = list.MultiSelect();
  st.selected = item->Selected();
  st.focused = table_.IsFocusCell(row_, column_);
  if (creation == 0 && list.Checkboxes()) {
    st.checkable = true;
    st.checked = item->Checked();
    toldChecked_ = item->Checked();
  }
  const ReportView& view = table_.View();
  if (!view.isVisible() || !view.viewport()->rect().intersects(view.CellRect(row_, creation))) st.invisible = true;
  return st;
}

bool Cell::isSelected() const { return isValid() && table_.List().ListItems().Item(row_ + 1)->Selected(); }

QList<QAccessibleInterface*> Cell::columnHeaderCells() const {
  if (HeaderCell* header = table_.HeaderAt(column_)) return {header};
  return {};
}

bool Cell::TextChanged() {
  if (!toldText_ || !isValid()) return false;
  QString now = table_.CellText(row_, column_);
  if (now == *toldText_) return false;
  toldText_ = std::move(now);
  return true;
}

bool Cell::CheckChanged() {
  if (!toldChecked_ || !isValid() || table_.CreationColumn(column_) != 0) return false;
  const bool now = table_.List().ListItems().Item(row_ + 1)->Checked();
  if (now == *toldChecked_) return false;
  toldChecked_ = now;
  return true;
}

bool HeaderCell::isValid() const { return table_.HasColumn(column_); }

QWindow* HeaderCell::window() const { return table_.View().window()->windowHandle(); }

QAccessibleInterface* HeaderCell::parent() const { return &table_; }

QString HeaderCell::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !isValid()) return {};
  toldCaption_ = table_.columnDescription(column_);
  return *toldCaption_;
}

QRect HeaderCell::rect() const {
  if (!isValid()) return {};
  const QHeaderView* header = table_.View().Header();
  const int logical = table_.CreationColumn(column_);
  const QRect section(header->sectionViewportPosition(logical), 0, header->sectionSize(logical), header->height());
  return QRect(header->viewport()->mapToGlobal(section.topLeft()), section.size());
}

QAccessible::State HeaderCell::state() const {
  QAccessible::State st;
  if (!isValid()) st.invalid = true;
  else if (!table_.View().Header()->isVisible()) st.invisible = true;
  return st;
}

bool HeaderCell::CaptionChanged() {
  if (!toldCaption_ || !isValid()) return false;
  QString now = table_.columnDescription(column_);
  if (now == *toldCaption_) return false;
  toldCaption_ = std::move(now);
  return true;
}

// --- the table ---------------------------------------------------------------------------------------

Table::Table(QtListView& list)
    : QAccessibleWidget(list.ReportWidget(), QAccessible::Table),
      list_(list),
      key_(list.ReportWidget()),
      shownOrder_(list.ColumnOrder()) {
  Tables()[key_] = this;
  ++detail::tables;
  // What the list shows as the assistive technology arrives is no change to announce later.
  if (!list_.MultiSelect()) {
    if (const ListItemRef selected = list_.SelectedItem()) toldSelected_.emplace(selected.get(), selected);
  } else {
    list_.ListItems().ForEach([this](const ListItemRef& item) {
      if (item->Selected()) toldSelected_.emplace(item.get(), item);
    });
  }
  toldFocus_ = KeyFocus(list_);
}

Table::~Table() {
  // The view is going (or Qt's accessibility is): only the interfaces are touched.
  Tables().erase(key_);
  --detail::tables;
  DropCells();
  DropHeaders();
}

QAccessible::State Table::state() const {
  QAccessible::State st = QAccessibleWidget::state();
  st.focusable = true;  // the list takes the focus through its model, whatever Qt's focus policy says
  st.multiSelectable = st.extSelectable = list_.MultiSelect();
  return st;
}

QString Table::text(QAccessible::Text t) const {
  // Named by the title above it, unless the host named the view.
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
    if (QAccessibleInterface* title = caption()) return title->text(QAccessible::Name);
  return QAccessibleWidget::text(t);
}

int Table::childCount() const {
  const int64_t n = (static_cast<int64_t>(rowCount()) + 1) * columnCount();
  return static_cast<int>(std::min<int64_t>(n, INT_MAX));
}

QAccessibleInterface* Table::child(int index) const {
  const int columns = columnCount();
  if (index < 0 || columns == 0) return nullptr;
  if (index < columns) return HeaderAt(index);
  const int row = index / columns - 1;
  return HasRow(row) ? CellAt(row, index % columns) : nullptr;
}

int Table::indexOfChild(const QAccessibleInterface* child) const {
  if (const auto* header = dynamic_cast<const HeaderCell*>(child))
    return &header->Owner() == this && header->isValid() ? header->Column() : -1;
  const auto* cell = dynamic_cast<const Cell*>(child);
  if (!cell || &cell->Owner() != this || !cell->isValid()) return -1;
  const int64_t index = (static_cast<int64_t>(cell->rowIndex()) + 1) * columnCount() + cell->columnIndex();
  return index <= INT_MAX ? static_cast<int>(index) : -1;
}

QAccessibleInterface* Table::childAt(int x, int y) const {
  const QPoint global(x, y);
  const ReportView& view = View();
  const QHeaderView* header = view.Header();
  if (header->isVisible()) {
    const QPoint at = header->viewport()->mapFromGlobal(global);
    if (header->viewport()->rect().contains(at)) {
      const int logical = header->logicalIndexAt(at.x());
      return logical >= 0 ? HeaderAt(DisplayColumn(logical)) : nullptr;
    }
  }
  const ReportHit hit = view.HitAt(view.viewport()->mapFromGlobal(global));
  if (hit.pos < 0 || hit.column < 0) return nullptr;
  return CellAt(hit.pos, DisplayColumn(hit.column));
}

QAccessibleInterface* Table::focusChild() const {
  if (!View().hasFocus()) return nullptr;
  const ListItemRef item = KeyFocus(list_);
  const int row = item ? item->Index() - 1 : -1;
  return HasRow(row) ? CellAt(row, DisplayColumn(0)) : nullptr;
}

void* Table::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* Table::caption() const {
  // The title bar: a label with a text standing right on top of the list, as wide as it is.
  const QWidget* view = widget();
  const QWidget* parent = view->parentWidget();
  if (!parent) return nullptr;
  const QRect v = view->geometry();
  for (QObject* child : parent->children()) {
    auto* label = qobject_cast<QLabel*>(child);
    if (!label || label->isHidden() || label->text().isEmpty()) continue;
    const QRect g = label->geometry();
    if (std::abs(g.bottom() + 1 - v.top()) <= 2 && g.left() < v.right() && g.right() > v.left())
      return QAccessible::queryAccessibleInterface(label);
  }
  return nullptr;
}

QAccessibleInterface* Table::cellAt(int row, int column) const {
  return HasRow(row) && HasColumn(column) ? CellAt(row, column) : nullptr;
}

std::vector<int> Table::SelectedRowList(size_t most) const {
  std::vector<int> rows;
  if (!list_.MultiSelect()) {
    // One row at most: the selected item, found without a walk through the rows.
    const ListItemRef item = list_.SelectedItem();
    if (item && item->Selected() && most > 0) rows.push_back(item->Index() - 1);
    return rows;
  }
  int row = 0;
  list_.ListItems().ForEach([&](const ListItemRef& item) {
    if (item->Selected() && rows.size() < most) rows.push_back(row);
    ++row;
  });
  return rows;
}

int Table::selectedRowCount() const { return static_cast<int>(SelectedRowList(SIZE_MAX).size()); }

int Table::selectedCellCount() const {
  const int64_t n = static_cast<int64_t>(selectedRowCount()) * columnCount();
  return static_cast<int>(std::min<int64_t>(n, INT_MAX));
}

QList<int> Table::selectedRows() const {
  const std::vector<int> rows = SelectedRowList(SIZE_MAX);
  return QList<int>(rows.begin(), rows.end());
}

QList<QAccessibleInterface*> Table::selectedCells() const {
  // The cells of the first selected rows, as many as the cache keeps: a client after every selected
  // row of a long list reads selectedRows.
  Holding hold(*this);
  const int columns = columnCount();
  QList<QAccessibleInterface*> cells;
  if (columns == 0) return cells;
  for (int row : SelectedRowList(kCellsKept / static_cast<size_t>(columns)))
    for (int c = 0; c < columns; ++c) cells.append(CellAt(row, c));
  return cells;
}

bool Table::isRowSelected(int row) const { return HasRow(row) && list_.ListItems().Item(row + 1)->Selected(); }

bool Table::selectRow(int row) {
  if (!HasRow(row)) return false;
  return QtToolkitOf(list_).Guarded([&] { list_.ListItems().Item(row + 1)->Selected(true); });
}

bool Table::unselectRow(int row) {
  if (!HasRow(row)) return false;
  return QtToolkitOf(list_).Guarded([&] { list_.ListItems().Item(row + 1)->Selected(false); });
}

QString Table::columnDescription(int column) const {
  if (!HasColumn(column)) return {};
  return ToQString(list_.ColumnHeaders().Item(CreationColumn(column) + 1)->Text());
}

int32_t Table::CreationColumn(int column) const {
  const std::vector<int32_t>& order = list_.ColumnOrder();
  return column >= 0 && static_cast<size_t>(column) < order.size() ? order[static_cast<size_t>(column)] : column;
}

int Table::DisplayColumn(int32_t creation) const {
  const std::vector<int32_t>& order = list_.ColumnOrder();
  const auto it = std::find(order.begin(), order.end(), creation);
  return it == order.end() ? creation : static_cast<int>(it - order.begin());
}

QString Table::CellText(int row, int column) const {
  return ToQString(list_.ListItems().Item(row + 1)->ColumnText(CreationColumn(column)));
}

bool Table::IsFocusCell(int row, int column) const {
  if (CreationColumn(column) != 0 || !HasRow(row) || !View().hasFocus()) return false;
  const ListItemRef& item = list_.ListItems().Item(row + 1);
  return item == KeyFocus(list_);
}

QRect Table::OnScreen(const QRect& r) const { return QRect(View().viewport()->mapToGlobal(r.topLeft()), r.size()); }

Cell* Table::CellAt(int row, int column) const {
  const auto key = std::make_pair(row, column);
  if (auto it = cells_.find(key); it != cells_.end()) return it->second.cell;
  if (cells_.size() >= kCellsKept) TrimSoon();
  auto* cell = new Cell(const_cast<Table&>(*this), row, column);
  const QAccessible::Id id = QAccessible::registerAccessibleInterface(cell);
  cells_.emplace(key, Entry{cell, id});
  return cell;
}

HeaderCell* Table::HeaderAt(int column) const {
  if (!HasColumn(column)) return nullptr;
  if (auto it = headers_.find(column); it != headers_.end()) return it->second.cell;
  auto* header = new HeaderCell(const_cast<Table&>(*this), column);
  headers_.emplace(column, HeaderEntry{header, QAccessible::registerAccessibleInterface(header)});
  return header;
}

void Table::TrimSoon() const {
  if (cells_.size() >= 4 * kCellsKept && holding_ == 0) {
    const_cast<Table*>(this)->Trim();
    return;
  }
  if (trimQueued_) return;
  trimQueued_ = true;
  QTimer::singleShot(0, &View(), [view = key_] {
    if (Table* table = TableOf(view)) table->Trim();
  });
}

void Table::Trim() {
  trimQueued_ = false;
  // The rows on screen and a screenful either side stay: that is where a reader goes next.
  const int32_t shown = std::max(1, list_.VisibleRowCount());
  const int32_t from = list_.TopIndex() - shown, to = list_.TopIndex() + 2 * shown;
  for (auto it = cells_.begin(); it != cells_.end();) {
    if (it->first.first >= from && it->first.first < to) {
      ++it;
      continue;
    }
    QAccessible::deleteAccessibleInterface(it->second.id);
    it = cells_.erase(it);
  }
  if (cells_.size() >= kCellsKept) DropCells();  // a screen with more cells than the cache keeps
}

void Table::DropCells() const {
  for (const auto& [key, entry] : cells_) QAccessible::deleteAccessibleInterface(entry.id);
  cells_.clear();
}

void Table::DropHeaders() const {
  for (const auto& [column, entry] : headers_) QAccessible::deleteAccessibleInterface(entry.id);
  headers_.clear();
}

size_t Table::ShiftCells(int32_t pos, int32_t delta) {
  using Node = decltype(cells_)::node_type;
  std::vector<Node> moved;
  for (auto it = cells_.lower_bound({pos, INT_MIN}); it != cells_.end();) {
    const auto next = std::next(it);
    if (delta < 0 && it->first.first < pos - delta) {
      QAccessible::deleteAccessibleInterface(it->second.id);
      cells_.erase(it);
    } else {
      moved.push_back(cells_.extract(it));
    }
    it = next;
  }
  for (Node& node : moved) {
    node.key().first += delta;
    node.mapped().cell->MoveTo(node.key().first);
    cells_.insert(std::move(node));
  }
  return moved.size();
}

// Rows that come or go one after another in one run (a fill, a block deleted) are one change of a
// range of rows; anything else before the event loop runs again is a reset.
void Table::RowsInserted(int32_t pos, int32_t count) {
  if (run_ == Run::Reset) return;  // the cells are gone and everything is read afresh
  if (run_ == Run::None) {
    run_ = Run::Inserted;
    runFirst_ = pos;
    runLast_ = pos + count - 1;
  } else if (run_ == Run::Inserted && pos >= runFirst_ && pos <= runLast_ + 1) {
    runLast_ += count;
  } else {
    Reset();
    return;
  }
  if (ShiftCells(pos, count) > 0 && runLast_ - runFirst_ >= kLongestRun) Reset();
  FlushLater();
}

void Table::RowsRemoved(int32_t pos, int32_t count) {
  if (run_ == Run::Reset) return;
  if (run_ == Run::None) {
    run_ = Run::Removed;
    runFirst_ = pos;
    runLast_ = pos + count - 1;
  } else if (run_ == Run::Removed && pos == runFirst_) {
    runLast_ += count;  // the next rows of a block removed from its top
  } else if (run_ == Run::Removed && pos + count == runFirst_) {
    runFirst_ = pos;  // the rows before it, removed from the bottom up
  } else {
    Reset();
    return;
  }
  if (ShiftCells(pos, -count) > 0 && runLast_ - runFirst_ >= kLongestRun) Reset();
  FlushLater();
}

void Table::RowsReset() { Reset(); }

void Table::Reset() {
  run_ = Run::Reset;
  DropCells();
  FlushLater();
}

void Table::FlushLater() {
  if (flushQueued_) return;
  flushQueued_ = true;
  QTimer::singleShot(0, &View(), [view = key_] {
    if (Table* table = TableOf(view)) table->Flush();
  });
}

void Table::Flush() {
  flushQueued_ = false;
  if (run_ == Run::None) return;
  const Run run = run_;
  run_ = Run::None;
  PruneSelection();
  if (!Listening()) return;
  using Change = QAccessibleTableModelChangeEvent;
  Change e(&View(), run == Run::Inserted  ? Change::RowsInserted
                    : run == Run::Removed ? Change::RowsRemoved
                                          : Change::ModelReset);
  if (run != Run::Reset) {
    e.setFirstRow(runFirst_);
    e.setLastRow(runLast_);
    e.setFirstColumn(0);
    e.setLastColumn(std::max(0, columnCount() - 1));
  }
  Send(e);
}

void Table::Tell(QAccessibleEvent& e) {
  Flush();
  Send(e);
}

void Table::PruneSelection() {
  for (auto it = toldSelected_.begin(); it != toldSelected_.end();) {
    const std::shared_ptr<const ListItem> item = it->second.lock();
    if (item && item->Owner() == &list_) ++it;
    else it = toldSelected_.erase(it);
  }
}

void Table::ItemChanged(const ListItem& item) {
  if (!Listening()) return;
  const int row = item.Index() - 1;
  if (row < 0) return;
  Holding hold(*this);
  // Only the cells handed out can have told a text or a check box that is no longer so.
  std::vector<Cell*> renamed, toggled;
  for (auto it = cells_.lower_bound({row, INT_MIN}); it != cells_.end() && it->first.first == row; ++it) {
    if (it->second.cell->TextChanged()) renamed.push_back(it->second.cell);
    if (it->second.cell->CheckChanged()) toggled.push_back(it->second.cell);
  }
  for (Cell* cell : renamed) {
    QAccessibleEvent e(cell, QAccessible::NameChanged);
    Tell(e);
  }
  for (Cell* cell : toggled) {
    QAccessible::State checked;
    checked.checked = true;
    QAccessibleStateChangeEvent e(cell, checked);
    Tell(e);
  }
  AnnounceSelection(item, row);
  AnnounceFocus(false);
}

// A row newly selected is Selection in a list of one selection (the others went with it) and
// SelectionAdd in a MultiSelect list; a row no longer selected is SelectionRemove. Each is told on
// the row's own cell.
void Table::AnnounceSelection(const ListItem& item, int row) {
  auto told = toldSelected_.find(&item);
  if (told != toldSelected_.end() && told->second.expired()) {
    toldSelected_.erase(told);  // an item that went, whose address this one has now
    told = toldSelected_.end();
  }
  const bool selected = item.Selected();
  if (selected == (told != toldSelected_.end())) return;
  if (selected) toldSelected_.emplace(&item, item.weak_from_this());
  else toldSelected_.erase(told);
  const QAccessible::Event type = !selected           ? QAccessible::SelectionRemove
                                  : list_.MultiSelect() ? QAccessible::SelectionAdd
                                                        : QAccessible::Selection;
  QAccessibleEvent e(CellAt(row, DisplayColumn(0)), type);
  Tell(e);
}

void Table::AnnounceFocus(bool always) {
  if (!View().hasFocus()) return;
  const ListItemRef item = KeyFocus(list_);
  if (!item || (!always && toldFocus_.lock() == item)) return;
  toldFocus_ = item;
  const int row = item->Index() - 1;
  if (!HasRow(row)) return;
  QAccessibleEvent e(CellAt(row, DisplayColumn(0)), QAccessible::Focus);
  Tell(e);
}

void Table::ColumnsChanged() {
  if (list_.ColumnOrder() != shownOrder_) {
    // Columns came, went or moved: every cell and header stands somewhere else now.
    shownOrder_ = list_.ColumnOrder();
    DropHeaders();
    Reset();
    return;
  }
  if (!Listening()) return;
  std::vector<HeaderCell*> renamed;
  for (const auto& [column, entry] : headers_)
    if (entry.cell->CaptionChanged()) renamed.push_back(entry.cell);
  for (HeaderCell* header : renamed) {
    QAccessibleEvent e(header, QAccessible::NameChanged);
    Tell(e);
  }
}

void Table::FocusReceived() {
  if (!Listening()) return;
  AnnounceFocus(true);
}

// --- the factory ---------------------------------------------------------------------------------------

QAccessibleInterface* MakeTable(const QString&, QObject* object) {
  auto& lists = Lists();
  if (lists.empty()) return nullptr;
  const auto it = lists.find(object);
  return it == lists.end() ? nullptr : new Table(*it->second);
}

bool IsCellEditor(Control& c) {
  return dynamic_cast<TextBox*>(&c) || dynamic_cast<ComboBox*>(&c) || dynamic_cast<DTPicker*>(&c) ||
         dynamic_cast<UpDown*>(&c) || dynamic_cast<CommandButton*>(&c);
}

QtListView* ListBeside(const Control& c) {
  const Window* parent = c.ParentWindow();
  if (!parent) return nullptr;
  for (Window* sibling : parent->ChildWindows())
    if (auto* list = dynamic_cast<QtListView*>(sibling)) return list;
  return nullptr;
}

// The name of the cell an editor lies on ("" when it lies on none): the column's caption and the
// row's own text, which names the row wherever its column stands.
QString CellNameUnder(const QtListView& list, const QWidget& editor) {
  const ReportView* view = list.ReportWidget();
  const QWidget* host = editor.parentWidget();
  if (!view || !host || !host->isAncestorOf(view)) return {};
  const QRect at(view->viewport()->mapFrom(host, editor.geometry().topLeft()), editor.size());
  const ReportHit hit = view->HitAt(at.center());
  if (hit.pos < 0 || hit.column < 0) return {};
  // An editor lies within its cell; a message laid over the list does not.
  if (!view->CellRect(hit.pos, hit.column).adjusted(-kEditorSlack, -kEditorSlack, kEditorSlack, kEditorSlack).contains(at))
    return {};
  const QString caption = ToQString(list.ColumnHeaders().Item(hit.column + 1)->Text());
  const QString row = ToQString(list.ListItems().Item(hit.pos + 1)->Text());
  return caption.isEmpty() ? row : caption + QStringLiteral(", ") + row;
}

}  // namespace

// --- entry points --------------------------------------------------------------------------------------

void Attach(QtListView& list) {
  static const bool installed = [] {
    QAccessible::installFactory(MakeTable);
    return true;
  }();
  (void)installed;
  const QObject* view = list.ReportWidget();
  Lists()[view] = &list;
  QObject::connect(list.ReportWidget(), &QObject::destroyed, [view] { Lists().erase(view); });
}

namespace detail {

void RowsInserted(QtListView& list, int32_t pos, int32_t count) {
  if (Table* table = TableOf(list.ReportWidget())) table->RowsInserted(pos, count);
}

void RowsRemoved(QtListView& list, int32_t pos, int32_t count) {
  if (Table* table = TableOf(list.ReportWidget())) table->RowsRemoved(pos, count);
}

void RowsReset(QtListView& list) {
  if (Table* table = TableOf(list.ReportWidget())) table->RowsReset();
}

void ItemChanged(QtListView& list, const ListItem& item) {
  if (Table* table = TableOf(list.ReportWidget())) table->ItemChanged(item);
}

void ColumnsChanged(QtListView& list) {
  if (Table* table = TableOf(list.ReportWidget())) table->ColumnsChanged();
}

void FocusReceived(QtListView& list) {
  if (Table* table = TableOf(list.ReportWidget())) table->FocusReceived();
}

}  // namespace detail

void FollowEditor(Control& control, QWidget& widget, std::string_view p) {
  if (!(p.empty() || p == "Visible" || p == "Left" || p == "Top" || p == "Width" || p == "Height" || p == "Move"))
    return;
  if (widget.isHidden() || !IsCellEditor(control)) return;
  const QtListView* list = ListBeside(control);
  if (!list) return;
  const QString name = CellNameUnder(*list, widget);
  const QVariant given = widget.property(kCellNameProperty);
  // The description too: on Linux Qt names a combo box by its text whatever its accessible name.
  if (name.isEmpty()) {
    // Off the cells: a name of its own goes, one the host gave stays.
    if (!given.isValid()) return;
    if (widget.accessibleName() == given.toString()) widget.setAccessibleName({});
    if (widget.accessibleDescription() == given.toString()) widget.setAccessibleDescription({});
    widget.setProperty(kCellNameProperty, QVariant());
    return;
  }
  if (widget.accessibleName() != name) widget.setAccessibleName(name);
  if (widget.accessibleDescription() != name) widget.setAccessibleDescription(name);
  if (given.toString() != name) widget.setProperty(kCellNameProperty, name);
}

void SendEventsTo(void (*handler)(QAccessibleEvent*)) { testHandler = handler; }

}  // namespace tamarind::platform::qt::accessible
