// What a screen reader gets of the control on real widgets, read through Qt's accessibility API as
// an assistive technology reads it: the list as a table of its rows and columns in display order,
// its cells' texts and states, the cell the keyboard is on, the events that tell of changes, the
// open editor named after its cell, the title bar and the tabs.

#include <QAccessible>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls/SimpleControls.h"
#include "platform/qt/QtAccessibleList.h"
#include "platform/qt/QtListView.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/qt/Desks.h"

namespace tamarind::testing {
namespace {

using Lines = std::vector<std::string>;

std::string Utf8(const QString& s) { return s.toStdString(); }

// --- what the update handler heard -----------------------------------------------------------------

Lines& Heard() {
  static Lines heard;
  return heard;
}

// The view the suite reads: the header's own item view tells of its model's changes too, when a
// real platform listens.
const QObject*& Listened() {
  static const QObject* view = nullptr;
  return view;
}

const char* EventName(QAccessible::Event type) {
  switch (type) {
    case QAccessible::Focus: return "Focus";
    case QAccessible::Selection: return "Selection";
    case QAccessible::SelectionAdd: return "SelectionAdd";
    case QAccessible::SelectionRemove: return "SelectionRemove";
    case QAccessible::NameChanged: return "NameChanged";
    case QAccessible::StateChanged: return "StateChanged";
    case QAccessible::TableModelChanged: return "TableModelChanged";
    default: return nullptr;
  }
}

const char* ChangeName(QAccessibleTableModelChangeEvent::ModelChangeType type) {
  switch (type) {
    case QAccessibleTableModelChangeEvent::ModelReset: return "reset";
    case QAccessibleTableModelChangeEvent::RowsInserted: return "rows inserted";
    case QAccessibleTableModelChangeEvent::RowsRemoved: return "rows removed";
    default: return "other";
  }
}

// Each event as a line, "Focus 2,0" for a cell (row, column), "NameChanged header Qty", "Table
// rows removed 1-1"; the kinds no check here reads are left out.
void Record(QAccessibleEvent* e) {
  const char* name = EventName(e->type());
  if (!name) return;
  std::string line = name;
  if (e->type() == QAccessible::TableModelChanged) {
    if (e->object() != Listened()) return;
    const auto* change = static_cast<QAccessibleTableModelChangeEvent*>(e);
    line = std::string("Table ") + ChangeName(change->modelChangeType());
    if (change->modelChangeType() != QAccessibleTableModelChangeEvent::ModelReset)
      line += " " + std::to_string(change->firstRow()) + "-" + std::to_string(change->lastRow());
  } else if (QAccessibleInterface* i = e->accessibleInterface()) {
    if (QAccessibleTableCellInterface* cell = i->tableCellInterface())
      line += " " + std::to_string(cell->rowIndex()) + "," + std::to_string(cell->columnIndex());
    else if (i->role() == QAccessible::ColumnHeader)
      line += " header " + Utf8(i->text(QAccessible::Name));
    else
      return;  // Qt's own events on widgets, when a real platform listens
  }
  Heard().push_back(line);
}

// The lines heard that start with one of the prefixes, in order.
Lines HeardOf(std::initializer_list<std::string> prefixes) {
  Lines out;
  for (const std::string& line : Heard())
    for (const std::string& p : prefixes)
      if (line.rfind(p, 0) == 0) {
        out.push_back(line);
        break;
      }
  return out;
}

class Accessibility : public ::testing::Test {
 protected:
  Accessibility() {
    k.Attach(&host);
    Listened() = View();
    QAccessible::installUpdateHandler(Record);
    // Qt drops every event before an update handler sees it on a platform without accessibility.
    if (!QAccessible::isActive()) platform::qt::accessible::SendEventsTo(Record);
    desk.Wait(0);
    Heard().clear();
  }
  ~Accessibility() override {
    platform::qt::accessible::SendEventsTo(nullptr);
    QAccessible::installUpdateHandler(nullptr);
    k.Attach(nullptr);
  }

  platform::qt::ReportView* View() { return dynamic_cast<platform::qt::QtListView&>(desk.List()).ReportWidget(); }
  QAccessibleInterface* Table() { return QAccessible::queryAccessibleInterface(View()); }
  QAccessibleTableInterface* T() {
    QAccessibleInterface* table = Table();
    return table ? table->tableInterface() : nullptr;
  }
  QAccessibleInterface* Cell(int row, int column) { return T()->cellAt(row, column); }
  std::string Text(int row, int column) {
    QAccessibleInterface* cell = Cell(row, column);
    return cell ? Utf8(cell->text(QAccessible::Name)) : "<no cell>";
  }
  Lines Row(int row) {
    Lines out;
    for (int c = 0; c < T()->columnCount(); ++c) out.push_back(Text(row, c));
    return out;
  }
  Lines Column(int column) {
    Lines out;
    for (int r = 0; r < T()->rowCount(); ++r) out.push_back(Text(r, column));
    return out;
  }
  Lines Captions() {
    Lines out;
    for (int c = 0; c < T()->columnCount(); ++c) out.push_back(Utf8(T()->columnDescription(c)));
    return out;
  }
  // The list's own texts of the item column, in its row order: what the table must read.
  Lines ItemTexts() {
    Lines out;
    for (int32_t i = 1; i <= k.ListItems().Count(); ++i) out.push_back(k.ListItems().Item(i)->Text());
    return out;
  }
  std::string NameOf(QWidget* w, QAccessible::Text t = QAccessible::Name) {
    return Utf8(QAccessible::queryAccessibleInterface(w)->text(t));
  }

  QtDesk desk;
  Kestrel& k = desk.K();
  RecordingHost host{k};
};

TEST_F(Accessibility, TheListIsATableOfItsRowsAndColumnsInDisplayOrder) {
  QAccessibleInterface* table = Table();
  ASSERT_NE(table, nullptr);
  ASSERT_NE(T(), nullptr);
  EXPECT_EQ(table->role(), QAccessible::Table);
  EXPECT_EQ(T()->rowCount(), 5);
  EXPECT_EQ(T()->columnCount(), 5);
  EXPECT_EQ(Captions(), (Lines{"Name", "Qty", "Category", "Date", "Notes"}));
  EXPECT_EQ(Column(0), (Lines{"Braeburn", "Lemon", "Cherry", "Blueberry", "Lime"}));
  EXPECT_EQ(Row(2), (Lines{"Cherry", "7", "Stone fruit", "11/15/2026", "Sour"}));
  EXPECT_EQ(T()->cellAt(5, 0), nullptr);
  EXPECT_EQ(T()->cellAt(0, 5), nullptr);

  // A cell: where it is painted, under its header, and the same object however it is reached.
  QAccessibleInterface* cell = Cell(2, 2);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->role(), QAccessible::Cell);
  EXPECT_EQ(cell, Cell(2, 2));
  QAccessibleTableCellInterface* ci = cell->tableCellInterface();
  ASSERT_NE(ci, nullptr);
  EXPECT_EQ(ci->rowIndex(), 2);
  EXPECT_EQ(ci->columnIndex(), 2);
  EXPECT_EQ(ci->table(), table);
  EXPECT_EQ(cell->parent(), table);
  const QList<QAccessibleInterface*> headers = ci->columnHeaderCells();
  ASSERT_EQ(headers.size(), 1);
  EXPECT_EQ(headers[0]->role(), QAccessible::ColumnHeader);
  EXPECT_EQ(Utf8(headers[0]->text(QAccessible::Name)), "Category");
  const QRect painted = desk.CellInViewport(3, 2);
  EXPECT_EQ(cell->rect(), QRect(desk.Viewport()->mapToGlobal(painted.topLeft()), painted.size()));
  EXPECT_EQ(table->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
  const QRect section = headers[0]->rect();
  EXPECT_EQ(table->childAt(section.center().x(), section.center().y()), headers[0]);

  // The children: the header cells, then the cells row after row.
  EXPECT_EQ(table->childCount(), 6 * 5);
  EXPECT_EQ(table->child(2), headers[0]);
  EXPECT_EQ(table->child(5 * 3 + 2), cell);
  EXPECT_EQ(table->indexOfChild(cell), 5 * 3 + 2);
  EXPECT_EQ(table->indexOfChild(headers[0]), 2);
  EXPECT_EQ(table->child(6 * 5), nullptr);

  // A column dragged to the front is the first column for the reader too.
  k.AllowColumnReorder(true);
  desk.DragColumn(4, 1);
  ASSERT_EQ(desk.List().ColumnOrder(), (std::vector<int32_t>{3, 0, 1, 2, 4}));
  EXPECT_EQ(Captions(), (Lines{"Date", "Name", "Qty", "Category", "Notes"}));
  EXPECT_EQ(Row(0), (Lines{"11/2/2026", "Braeburn", "12", "Apple", ""}));
  EXPECT_EQ(Utf8(Cell(0, 0)->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name)), "Date");
  const QRect moved = desk.CellInViewport(1, 3);  // the Date column, first on screen
  EXPECT_EQ(Cell(0, 0)->rect(), QRect(desk.Viewport()->mapToGlobal(moved.topLeft()), moved.size()));
}

TEST_F(Accessibility, SortedAndFilteredRowsAreReadAsTheyStandNow) {
  k.SmartColumnSort(true);
  k.AutoSort(true);
  ASSERT_EQ(Column(0), ItemTexts());  // every cell of the column handed out before the sort
  desk.ClickHeader(1);
  Lines sorted = ItemTexts();
  ASSERT_TRUE(std::is_sorted(sorted.begin(), sorted.end()) || std::is_sorted(sorted.rbegin(), sorted.rend()));
  ASSERT_NE(sorted[0], "Braeburn");
  EXPECT_EQ(Column(0), sorted);
  EXPECT_EQ(Text(0, 1), k.ListItems().Item(1)->SubItems(1));
  desk.Wait(0);
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table reset"});

  Heard().clear();
  k.Filter("Citrus", 2);
  desk.Wait(0);
  EXPECT_EQ(T()->rowCount(), 2);
  EXPECT_EQ(Column(2), (Lines{"Citrus", "Citrus"}));
  EXPECT_EQ(Column(0), ItemTexts());
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table reset"});

  k.FilterRemove();
  k.FilterWild("m", 0);  // the names with an m
  desk.Wait(0);
  EXPECT_EQ(Column(0), ItemTexts());
  Lines kept = Column(0);
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(kept, (Lines{"Lemon", "Lime"}));
}

TEST_F(Accessibility, SelectionFocusAndCheckBoxesAreCellStates) {
  host.editors.clear();  // no editor: the list keeps the focus
  k.Checkboxes(true);
  desk.Wait(0);
  desk.ClickCell(3, 1);
  ASSERT_EQ(SelectedRow(k), 3);

  const QAccessible::State own = Cell(2, 0)->state();
  EXPECT_TRUE(own.selected);
  EXPECT_TRUE(own.focused);
  EXPECT_TRUE(own.focusable && own.selectable);
  EXPECT_TRUE(own.checkable);
  EXPECT_FALSE(own.checked);
  EXPECT_FALSE(own.invisible);
  const QAccessible::State sub = Cell(2, 1)->state();
  EXPECT_TRUE(sub.selected);
  EXPECT_FALSE(sub.focused);  // the focus shows on the row's own cell
  EXPECT_FALSE(sub.checkable);
  EXPECT_FALSE(Cell(1, 0)->state().selected);
  EXPECT_FALSE(Cell(1, 0)->state().focused);
  EXPECT_EQ(Table()->focusChild(), Cell(2, 0));

  EXPECT_TRUE(T()->isRowSelected(2));
  EXPECT_FALSE(T()->isRowSelected(1));
  EXPECT_EQ(T()->selectedRows(), QList<int>{2});
  EXPECT_EQ(T()->selectedRowCount(), 1);
  EXPECT_EQ(T()->selectedCellCount(), 5);
  const QList<QAccessibleInterface*> cells = T()->selectedCells();
  ASSERT_EQ(cells.size(), 5);
  for (QAccessibleInterface* c : cells) EXPECT_EQ(c->tableCellInterface()->rowIndex(), 2);

  desk.ClickCheckBox(1);
  EXPECT_TRUE(Cell(0, 0)->state().checked);
  EXPECT_FALSE(Cell(0, 1)->state().checkable);

  // Rows selected through the table are selected in the list.
  EXPECT_TRUE(T()->selectRow(4));
  EXPECT_EQ(SelectedRows(k), std::vector<int32_t>{5});
  EXPECT_TRUE(T()->unselectRow(4));
  EXPECT_TRUE(SelectedRows(k).empty());
  EXPECT_FALSE(T()->selectRow(5));
  k.MultiSelect(true);
  EXPECT_TRUE(T()->selectRow(0));
  EXPECT_TRUE(T()->selectRow(3));
  EXPECT_EQ(T()->selectedRows(), (QList<int>{0, 3}));
  EXPECT_TRUE(Table()->state().multiSelectable);

  // The focus goes with the view: an editor that takes it leaves no focused cell behind.
  host.editors = RecordingHost::OneKindPerColumn();
  desk.ClickCell(2, 0);
  ASSERT_EQ(host.OpenEditor(), "textbox");
  EXPECT_FALSE(Cell(1, 0)->state().focused);
  EXPECT_EQ(Table()->focusChild(), nullptr);
}

TEST_F(Accessibility, ArrowKeysMoveTheFocusedCellAndSayWhereItWent) {
  host.editors.clear();
  ASSERT_NE(Table(), nullptr);  // as an assistive technology asks for the list before it listens
  desk.ClickCell(2, 1);
  EXPECT_EQ(HeardOf({"Focus", "Selection"}), (Lines{"Selection 1,0", "Focus 1,0"}));

  Heard().clear();
  desk.PressKey(platform::vbKeyDown);
  EXPECT_EQ(HeardOf({"Focus", "Selection"}), (Lines{"SelectionRemove 1,0", "Selection 2,0", "Focus 2,0"}));
  EXPECT_EQ(Table()->focusChild(), Cell(2, 0));
  EXPECT_TRUE(Cell(2, 0)->state().focused);
  EXPECT_FALSE(Cell(1, 0)->state().focused);

  Heard().clear();
  desk.PressKey(platform::vbKeyUp);
  desk.PressKey(platform::vbKeyUp);
  EXPECT_EQ(HeardOf({"Focus"}), (Lines{"Focus 1,0", "Focus 0,0"}));
  EXPECT_EQ(SelectedRow(k), 1);

  // In a MultiSelect list a row joins the selection.
  Heard().clear();
  k.MultiSelect(true);
  k.ListItems().Item(4)->Selected(true);
  EXPECT_EQ(HeardOf({"Selection"}), Lines{"SelectionAdd 3,0"});

  // After a column drag the focused cell is where the item's column went.
  k.AllowColumnReorder(true);
  desk.DragColumn(1, 3);
  ASSERT_EQ(desk.List().ColumnOrder(), (std::vector<int32_t>{1, 2, 0, 3, 4}));
  Heard().clear();
  desk.PressKey(platform::vbKeyHome);
  EXPECT_EQ(HeardOf({"Focus"}), Lines{"Focus 0,2"});
}

TEST_F(Accessibility, RowsThatComeAndGoAreAnnouncedAndCellsHandedOutMoveWithThem) {
  ASSERT_NE(Table(), nullptr);
  QAccessibleInterface* blueberry = Cell(3, 0);
  QAccessibleInterface* lemon = Cell(1, 1);
  const QAccessible::Id lemonId = QAccessible::uniqueId(lemon);
  ASSERT_EQ(Utf8(blueberry->text(QAccessible::Name)), "Blueberry");

  desk.AddRows(3);  // appended one by one: one range when the event loop runs
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table rows inserted 5-7"});
  EXPECT_EQ(T()->rowCount(), 8);
  EXPECT_EQ(Text(7, 0), "Extra 3");

  Heard().clear();
  k.ListItems().Remove(2);  // Lemon
  desk.Wait(0);
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table rows removed 1-1"});
  EXPECT_EQ(QAccessible::accessibleInterface(lemonId), nullptr);
  EXPECT_EQ(blueberry->tableCellInterface()->rowIndex(), 2);
  EXPECT_EQ(Utf8(blueberry->text(QAccessible::Name)), "Blueberry");
  EXPECT_EQ(Cell(2, 0), blueberry);

  Heard().clear();
  k.ListItems().Add(1, {}, "Apricot");
  desk.Wait(0);
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table rows inserted 0-0"});
  EXPECT_EQ(blueberry->tableCellInterface()->rowIndex(), 3);
  EXPECT_EQ(Text(0, 0), "Apricot");

  // Rows removed here and there before the event loop runs again are one reset.
  Heard().clear();
  k.ListItems().Remove(1);
  k.ListItems().Remove(4);
  desk.Wait(0);
  EXPECT_EQ(HeardOf({"Table"}), Lines{"Table reset"});
  EXPECT_EQ(Column(0), ItemTexts());
}

TEST_F(Accessibility, ANewTextOrCaptionIsANameChangeOfWhatWasRead) {
  ASSERT_EQ(Text(1, 1), "4");
  ASSERT_EQ(Utf8(Cell(0, 1)->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name)), "Qty");
  k.ListItems().Item(2)->SubItems(1, "40");
  k.ListItems().Item(2)->SubItems(2, "Fruit");  // a cell nobody read: nothing to correct
  k.ListItems().Item(3)->Bold(true);             // a change that leaves the texts as they were
  EXPECT_EQ(HeardOf({"NameChanged"}), Lines{"NameChanged 1,1"});
  EXPECT_EQ(Text(1, 1), "40");

  Heard().clear();
  k.ColumnHeaders().Item(2)->Text("Quantity");
  EXPECT_EQ(HeardOf({"NameChanged"}), Lines{"NameChanged header Quantity"});
  EXPECT_EQ(Captions()[1], "Quantity");

  // A ticked check box of a cell read is a state change.
  k.Checkboxes(true);
  ASSERT_FALSE(Cell(4, 0)->state().checked);
  Heard().clear();
  k.ListItems().Item(5)->Checked(true);
  EXPECT_EQ(HeardOf({"StateChanged"}), Lines{"StateChanged 4,0"});
}

TEST_F(Accessibility, AnOpenEditorIsNamedAfterTheCellItEdits) {
  struct Case {
    int32_t row, column;
    const char* editor;
    platform::Control* control;
    const char* name;
  };
  const Case cases[] = {{2, 0, "textbox", &k.TextBoxControl(), "Name, Lemon"},
                        {3, 1, "spinner", &k.TextBoxControl(), "Qty, Cherry"},
                        {3, 1, "spinner", platform::FindControl(k, "SPINNER"), "Qty, Cherry"},
                        {4, 2, "dropdown", &k.ComboBoxControl(), "Category, Blueberry"},
                        {2, 3, "calendar", &k.CalendarControl(), "Date, Lemon"},
                        {5, 4, "button", &k.CommandButtonControl(), "Notes, Lime"}};
  for (const Case& c : cases) {
    desk.ClickCell(c.row, c.column);
    ASSERT_EQ(host.OpenEditor(), c.editor);
    QWidget* editor = desk.WidgetOf(*c.control);
    EXPECT_EQ(Utf8(editor->accessibleName()), c.name) << c.editor;
    EXPECT_EQ(NameOf(editor, QAccessible::Description), c.name) << c.editor;
    // On Linux Qt names a combo box by its text, whatever its accessible name.
    if (c.control != &k.ComboBoxControl()) {
      EXPECT_EQ(NameOf(editor), c.name) << c.editor;
    }
  }

  // A text box laid over the list but over no one cell (a message) is no cell's editor.
  platform::Control& message = *platform::FindControl(k, "lblEXCELMSG");
  const platform::ListView& list = desk.List();
  message.Move(list.Left(), list.Top() + 600, list.Width(), 255);
  message.Visible(true);
  EXPECT_EQ(NameOf(desk.WidgetOf(message)), "");
  EXPECT_EQ(NameOf(desk.WidgetOf(message), QAccessible::Description), "");
}

TEST_F(Accessibility, TheTitleBarAndTheTabsAreNamedByTheirCaptions) {
  EXPECT_EQ(T()->caption(), nullptr);
  k.TitleCaption("Fruit orders");
  k.Titlebar(true);
  desk.Wait(0);
  QWidget* title = desk.WidgetOf(k.TitleBarLabelControl());
  EXPECT_EQ(NameOf(title), "Fruit orders");
  EXPECT_EQ(T()->caption(), QAccessible::queryAccessibleInterface(title));
  EXPECT_EQ(Utf8(Table()->text(QAccessible::Name)), "Fruit orders");

  k.Titlebar(false);
  k.TabCaptions("Open|Shipped|Paid");
  k.Tabs(true);
  desk.Wait(0);
  EXPECT_EQ(T()->caption(), nullptr);
  auto* bar = qobject_cast<QTabBar*>(desk.WidgetOf(*platform::FindControl(k, "TabCTL")));
  ASSERT_NE(bar, nullptr);
  QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(bar);
  Lines names;
  for (int i = 0; i < tabs->childCount(); ++i)
    if (tabs->child(i)->role() == QAccessible::PageTab) names.push_back(Utf8(tabs->child(i)->text(QAccessible::Name)));
  EXPECT_EQ(names, (Lines{"Open", "Shipped", "Paid"}));
}

TEST_F(Accessibility, CellsAreMadeWhenAskedForAndNoMoreAreKeptThanTheScreenNeeds) {
  desk.AddRows(5000);
  ASSERT_NE(Table(), nullptr);
  std::vector<QAccessible::Id> ids;
  for (int row = 0; row < T()->rowCount(); ++row) ids.push_back(QAccessible::uniqueId(Cell(row, 0)));
  desk.Wait(0);  // the cells away from the screen go when the event loop runs
  const auto kept = std::count_if(ids.begin(), ids.end(), [](QAccessible::Id id) {
    return QAccessible::accessibleInterface(id) != nullptr;
  });
  EXPECT_LE(kept, 2048);
  EXPECT_NE(QAccessible::accessibleInterface(ids[0]), nullptr);  // on screen
  EXPECT_EQ(QAccessible::accessibleInterface(ids[4000]), nullptr);
  EXPECT_EQ(Text(4000, 0), "Extra 3996");  // made again when asked

  // A sort moves every row: no cell handed out stays.
  k.SmartColumnSort(true);
  k.AutoSort(true);
  desk.ClickHeader(2);
  ASSERT_NE(k.ListItems().Item(1)->Text(), "Braeburn");
  EXPECT_EQ(QAccessible::accessibleInterface(ids[0]), nullptr);
  EXPECT_EQ(Text(0, 0), k.ListItems().Item(1)->Text());
}

}  // namespace
}  // namespace tamarind::testing
