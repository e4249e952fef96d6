// What a user of the Qt realisation sees: every editor drawn over the cell that was clicked, also
// after the list scrolled or a column was dragged; the alternating row colours at the row pitch;
// the sort arrow in the sorted column's header; a mirrored list for a right-to-left instance. The
// checks read the painted pixels of the grabbed control; a failing check keeps its screenshots.

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHeaderView>
#include <QPaintEvent>
#include <QPointer>
#include <QRegion>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/Messages.h"
#include "platform/PropertyBag.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/qt/Desks.h"
#include "tests/qt/Screens.h"

namespace tamarind::testing {
namespace {

using platform::RGB;

constexpr platform::OLE_COLOR kOdd = RGB(255, 236, 190), kEven = RGB(196, 226, 255);

QRgb Rgb(platform::OLE_COLOR c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

std::string Describe(const QRect& r) {
  return "(" + std::to_string(r.left()) + "," + std::to_string(r.top()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

const platform::Control* SpinnerOf(Kestrel& k) {
  for (platform::Window* w : k.ChildWindows())
    if (auto* u = dynamic_cast<platform::UpDown*>(w)) return u;
  return nullptr;
}

class RealWidgets : public ::testing::Test {
 protected:
  RealWidgets() : host(desk.K()) {
    desk.K().Attach(&host);
    desk.K().LineOddColor(kOdd);
    desk.K().LineEvenColor(kEven);
    desk.K().LineAltColor(true);
    desk.Wait(0);
  }
  ~RealWidgets() override { desk.K().Attach(nullptr); }

  // The editor's widgets lie on the cell as painted, and the grabbed image shows the editor there
  // while the rows above and below show their stripes. The slack is the placement's own: it works
  // in twips of the list's client area, which starts inside the list's two-pixel border, and
  // adds its margins (20 twips past the row's left, 20 twips wider than the column; 50 twips in
  // when the item column is not the first one): the editor may stray up to the border's width
  // above or left of the cell and three pixels past its right edge, never into another cell.
  void ExpectEditorOverCell(const char* what, const std::vector<const platform::Control*>& parts, int32_t row,
                            int32_t column) {
    const QImage shot = desk.Grab();
    screens.Keep(QString(what), shot);
    const QRect cell = desk.CellOnSurface(row, column);
    QRect editor;
    for (const platform::Control* part : parts) editor |= desk.OnSurface(desk.WidgetOf(*part));
    EXPECT_TRUE(cell.adjusted(-2, -2, 3, 2).contains(editor))
        << what << ": editor " << Describe(editor) << " outside cell " << Describe(cell);
    const int x = editor.right() - 3;
    const QRgb inside = shot.pixel(x, editor.center().y());
    EXPECT_NE(inside, Rgb(kOdd)) << what << ": no editor drawn at its place";
    EXPECT_NE(inside, Rgb(kEven)) << what << ": no editor drawn at its place";
    const int pitch = cell.height();
    const QRgb above = shot.pixel(x, cell.top() - pitch / 2), below = shot.pixel(x, cell.bottom() + pitch / 2);
    EXPECT_TRUE(above == Rgb(kOdd) || above == Rgb(kEven)) << what << ": the row above is covered";
    EXPECT_TRUE(below == Rgb(kOdd) || below == Rgb(kEven)) << what << ": the row below is covered";
  }

  QtDesk desk;
  RecordingHost host;
  Screens screens;
};

TEST_F(RealWidgets, EveryEditorOpensOverTheClickedCell) {
  Kestrel& k = desk.K();
  desk.ClickCell(2, 0);
  ExpectEditorOverCell("textbox", {&k.TextBoxControl()}, 2, 0);
  desk.ClickCell(3, 1);
  ExpectEditorOverCell("spinner", {&k.TextBoxControl(), SpinnerOf(k)}, 3, 1);
  desk.ClickCell(4, 2);
  ExpectEditorOverCell("dropdown", {&k.ComboBoxControl()}, 4, 2);
  desk.ClickCell(2, 3);
  ExpectEditorOverCell("calendar", {&k.CalendarControl()}, 2, 3);
  desk.ClickCell(3, 4);
  ExpectEditorOverCell("button", {&k.CommandButtonControl()}, 3, 4);
  // The "..." button sits at the cell's right edge.
  const QRect button = desk.OnSurface(desk.WidgetOf(k.CommandButtonControl()));
  EXPECT_NEAR(button.right(), desk.CellOnSurface(3, 4).right(), 2);
}

// Counts the paint events a widget gets, with the area they cover.
class PaintSpy : public QObject {
 public:
  explicit PaintSpy(QWidget* w) : w_(w) { w->installEventFilter(this); }
  ~PaintSpy() override {
    if (w_) w_->removeEventFilter(this);
  }
  int count = 0;
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      ++count;
      painted += static_cast<QPaintEvent*>(e)->region();
    }
    return false;
  }

 private:
  QPointer<QWidget> w_;
};

TEST_F(RealWidgets, TheScreenShowsWhatTheHostStoresAndWhatItAdds) {
  Kestrel& k = desk.K();
  host.editors.clear();
  desk.Wait(50);
  PaintSpy spy(desk.Viewport());
  k.ListItems().Item(3)->SubItems(4, "Pitted");  // the host writes a value, as after an edit
  desk.Wait(50);
  const QRect row3 = desk.CellOnSurface(3, 4).translated(-desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0)));
  EXPECT_GE(spy.count, 1);
  EXPECT_TRUE(spy.painted.contains(row3));

  spy.count = 0;
  spy.painted = QRegion();
  k.ListItems().Add(0, {}, "Damson")->SubItems(2, "Stone fruit");
  desk.Wait(50);
  EXPECT_GE(spy.count, 1);
  EXPECT_TRUE(spy.painted.contains(desk.CellOnSurface(6, 0).translated(-desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0)))));
  auto& list = dynamic_cast<platform::qt::QtListView&>(desk.List());
  EXPECT_EQ(list.ReportWidget()->Model().rowCount(), 6);
  EXPECT_EQ(list.ReportWidget()->Model().index(5, 2).data().toString(), "Stone fruit");
}

TEST_F(RealWidgets, TheEditorsShowTheControlsFontAttributes) {
  Kestrel& k = desk.K();
  k.FontBold(true);  // changes the editors' fonts where they stand
  k.FontSize(12);
  desk.ClickCell(2, 0);
  const QFont shown = desk.WidgetOf(k.TextBoxControl())->font();
  EXPECT_TRUE(shown.bold());
  EXPECT_DOUBLE_EQ(shown.pointSizeF(), 12);
}

TEST_F(RealWidgets, EveryPointOfAPaintedCellHitsThatCell) {
  Kestrel& k = desk.K();
  host.editors.clear();
  k.AllowColumnReorder(true);
  desk.DragColumn(4, 2);  // Date second: the hit test follows the display order
  desk.AddRows(40);
  desk.ScrollDown(3);
  for (const auto& [row, column] : std::vector<std::pair<int32_t, int32_t>>{{4, 0}, {5, 3}, {6, 1}, {7, 4}, {8, 2}}) {
    const QRect cell = desk.CellOnSurface(row, column).translated(-desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0)));
    for (const QPoint at : {cell.topLeft() + QPoint(1, 0), cell.bottomRight() - QPoint(1, 0),
                            QPoint(cell.left() + 1, cell.bottom()), QPoint(cell.right() - 1, cell.top())}) {
      QTest::mouseClick(desk.Viewport(), Qt::LeftButton, Qt::NoModifier, at);
      ASSERT_TRUE(k.SelectedItem()) << "no row hit at " << at.x() << "," << at.y();
      EXPECT_EQ(k.SubItemClicked(), column) << "row " << row << " column " << column << " at " << at.x() << "," << at.y();
      EXPECT_EQ(SelectedRow(k), row) << "row " << row << " column " << column << " at " << at.x() << "," << at.y();
    }
  }
}

TEST_F(RealWidgets, SidewaysScrollingMovesTheRowsTheHitTestAndTheEditorTogether) {
  Kestrel& k = desk.K();
  k.ColumnHeaders().Item(5)->Width(6000);  // wider than the list: a horizontal scroll bar
  desk.Wait(0);
  desk.ClickCell(2, 1);
  const float before = k.TextBoxControl().Left();
  auto& list = dynamic_cast<platform::qt::QtListView&>(desk.List());
  for (int i = 0; i < 4; ++i) {
    const platform::qt::ClickTarget arrow = platform::qt::targets::ScrollRightArrow(list);
    ASSERT_TRUE(arrow);
    QTest::mouseClick(arrow.widget, Qt::LeftButton, Qt::NoModifier, arrow.at);
  }
  desk.Wait(250);
  const int scrolled = desk.List().ScrollXPx();
  ASSERT_GT(scrolled, 0);
  // The editor moved left with its cell.
  EXPECT_FLOAT_EQ(before - k.TextBoxControl().Left(), static_cast<float>(scrolled * 15));
  ExpectEditorOverCell("scrolled-sideways", {&k.TextBoxControl(), SpinnerOf(k)}, 2, 1);
  // A click lands on the cell under the pointer.
  const QPoint viewport = desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0));
  host.editors.clear();
  const QRect cell = desk.CellOnSurface(4, 2).translated(-viewport);
  QTest::mouseClick(desk.Viewport(), Qt::LeftButton, Qt::NoModifier, cell.topLeft() + QPoint(2, 2));
  EXPECT_EQ(k.SubItemClicked(), 2);
  EXPECT_EQ(SelectedRow(k), 4);
  // The header scrolled with the rows: a click on a section as shown is a click on its column.
  ASSERT_GE(scrolled, 40);  // past half the narrowest column, so a section taken unscrolled misses
  std::vector<int32_t> clicked;
  list.ColumnClick.Connect([&](platform::ColumnHeaderRef column) { clicked.push_back(column->Index()); });
  for (int32_t column : {2, 3, 4}) desk.ClickHeader(column);
  EXPECT_EQ(clicked, (std::vector<int32_t>{2, 3, 4}));
}

TEST_F(RealWidgets, TheEditorIsRedrawnOverItsCellAfterAScrollAndAColumnDrag) {
  Kestrel& k = desk.K();
  k.AllowColumnReorder(true);
  desk.AddRows(40);
  desk.ClickCell(4, 0);
  desk.ScrollDown(2);
  desk.Wait(250);
  ASSERT_EQ(desk.List().TopIndex(), 2);
  ExpectEditorOverCell("after-scroll", {&k.TextBoxControl()}, 4, 0);

  desk.ClickCell(5, 2);
  desk.DragColumn(3, 2);  // Category between Name and Qty
  desk.Wait(250);
  ASSERT_EQ(k.ColumnHeaders().Item(3)->Position(), 2);
  ExpectEditorOverCell("after-drag", {&k.ComboBoxControl()}, 5, 2);
  desk.DragColumn(3, 1);  // and in front of the item column
  desk.Wait(250);
  ASSERT_EQ(k.ColumnHeaders().Item(3)->Position(), 1);
  ExpectEditorOverCell("after-drag-to-front", {&k.ComboBoxControl()}, 5, 2);
}

TEST_F(RealWidgets, StripesAlternateAtTheRowPitchAndScrollWithTheRows) {
  desk.AddRows(40);
  const int pitch = desk.CellOnSurface(1, 0).height();
  ASSERT_EQ(pitch * 15, static_cast<int>(desk.K().ListItems().Item(1)->Height()));
  // Down an empty stretch of the Notes column, row by row.
  auto check = [&](const char* what, bool firstIsOdd) {
    const QImage shot = desk.Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screens.Keep(what, shot);
    const QRect notes = desk.CellOnSurface(1, 4).translated(-desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0)));
    const int x = notes.right() - 4;
    for (int y = 0; y + pitch <= shot.height(); ++y) {
      const bool odd = ((y / pitch) % 2 == 0) == firstIsOdd;
      ASSERT_EQ(shot.pixel(x, y), Rgb(odd ? kOdd : kEven)) << what << " at y=" << y << ", row pitch " << pitch;
    }
  };
  check("stripes", true);
  desk.ScrollDown(1);
  check("stripes-scrolled", false);
}

// A cell's text is drawn on the side its own column is aligned to. Anything in a cell that is not
// its row's stripe colour is text.
TEST_F(RealWidgets, EachColumnsTextIsDrawnOnTheSideItsColumnIsAligned) {
  desk.K().ColumnHeaders().Item(2)->Alignment(platform::ColumnHeader::lvwColumnRight);  // Qty
  desk.Wait(0);
  const QImage shot = desk.Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  screens.Keep("aligned", shot);
  const QPoint viewport = desk.Viewport()->mapTo(desk.Surface(), QPoint(0, 0));
  // The room left of the text and right of it; a cell without text has none on either side.
  auto room = [&](int32_t row, int32_t column) {
    const QRect cell = desk.CellOnSurface(row, column).translated(-viewport);
    const QRgb stripe = Rgb(row % 2 ? kOdd : kEven);
    int first = cell.right() + 1, last = cell.left() - 1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x)
        if (shot.pixel(x, y) != stripe) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    return std::pair{first - cell.left(), cell.right() - last};
  };
  for (int32_t row = 2; row <= 5; ++row) {
    const auto [qtyLeft, qtyRight] = room(row, 1);
    EXPECT_LT(qtyRight, qtyLeft) << "row " << row << ": Qty's text is not on the right";
    const auto [categoryLeft, categoryRight] = room(row, 2);
    EXPECT_LT(categoryLeft, categoryRight) << "row " << row << ": Category's text is not on the left";
  }
}

TEST_F(RealWidgets, AHeaderClickSortsAndTheArrowShowsInTheSortedSection) {
  Kestrel& k = desk.K();
  platform::ListView& lv = desk.List();
  auto up = std::make_shared<platform::StdPicture>(12, 12, RGB(255, 0, 0));
  auto down = std::make_shared<platform::StdPicture>(12, 12, RGB(0, 0, 255));
  k.SortArrowUpPicture(up);
  k.SortArrowDownPicture(down);
  k.SortArrowSize(12);
  // The host sorts by the clicked column, ascending first, and lets the control draw the arrow.
  lv.ColumnClick.Connect([&](platform::ColumnHeaderRef column) {
    const auto key = static_cast<int16_t>(column->Index() - 1);
    lv.SortOrder(lv.Sorted() && lv.SortKey() == key && lv.SortOrder() == platform::ListView::lvwAscending
                     ? platform::ListView::lvwDescending
                     : platform::ListView::lvwAscending);
    lv.SortKey(key);
    lv.Sorted(true);
    k.SortArrows(true);
  });
  auto names = [&] {
    std::vector<std::string> out;
    for (int32_t i = 1; i <= k.ListItems().Count(); ++i) out.push_back(k.ListItems().Item(i)->Text());
    return out;
  };
  // The sections whose right half shows the arrow's colour; a section showing it in its left half
  // counts negative.
  auto arrowIn = [&](const char* what, QRgb colour) {
    desk.Wait(0);
    const QImage shot = desk.HeaderWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screens.Keep(what, shot);
    std::set<int> sections;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        if (shot.pixel(x, y) != colour) continue;
        for (int32_t c = 1; c <= 5; ++c) {
          const QRect s = desk.SectionRect(c);
          if (x > s.center().x() && x <= s.right()) sections.insert(c);
          else if (x >= s.left() && x <= s.center().x()) sections.insert(-c);
        }
      }
    return std::vector<int>(sections.begin(), sections.end());
  };

  desk.ClickHeader(3);
  EXPECT_EQ(names(), (std::vector<std::string>{"Braeburn", "Blueberry", "Lemon", "Lime", "Cherry"}));
  EXPECT_EQ(arrowIn("ascending", qRgb(255, 0, 0)), std::vector<int>{3});
  // The view paints the sorted rows.
  const QModelIndex first = dynamic_cast<platform::qt::QtListView&>(lv).ReportWidget()->Model().index(1, 0);
  EXPECT_EQ(first.data().toString(), "Blueberry");

  desk.ClickHeader(3);
  EXPECT_EQ(names(), (std::vector<std::string>{"Cherry", "Lemon", "Lime", "Blueberry", "Braeburn"}));
  EXPECT_EQ(arrowIn("descending", qRgb(0, 0, 255)), std::vector<int>{3});
  EXPECT_TRUE(arrowIn("no-up-arrow", qRgb(255, 0, 0)).empty());

  desk.ClickHeader(1);
  EXPECT_EQ(names().front(), "Blueberry");
  EXPECT_EQ(arrowIn("moved", qRgb(255, 0, 0)), std::vector<int>{1});
}

TEST_F(RealWidgets, AClickOnAColumnHeaderEdgeResizesTheColumnInTheModel) {
  Kestrel& k = desk.K();
  QWidget* header = desk.HeaderWidget();
  const QRect qty = desk.SectionRect(2);
  const QPoint edge(qty.right(), qty.center().y());
  QTest::mousePress(header, Qt::LeftButton, Qt::NoModifier, edge);
  QTest::mouseMove(header, edge + QPoint(20, 0));
  QTest::mouseMove(header, edge + QPoint(40, 0));
  QTest::mouseRelease(header, Qt::LeftButton, Qt::NoModifier, edge + QPoint(40, 0));
  desk.Wait(0);
  EXPECT_FLOAT_EQ(k.ColumnHeaders().Item(2)->Width(), Desk::kWidth[1] + 40 * 15);
  // The next column moved with it, in the view and for the editors.
  EXPECT_EQ(desk.SectionRect(3).left(), qty.left() + qty.width() + 40);
  desk.ClickCell(1, 2);
  EXPECT_FLOAT_EQ(k.ComboBoxControl().Left(), 20 + Desk::kWidth[0] + Desk::kWidth[1] + 40 * 15);
}

TEST_F(RealWidgets, TheCurrentCellsEdgesOnScreenAreWhereItsTextBoxIsOnTheScreen) {
  Kestrel& k = desk.K();
  desk.Window()->move(37, 23);  // anywhere on the screen
  desk.Wait(0);
  desk.ClickCell(3, 2);
  const int32_t left = k.GetSubItemLeftOnScreen(), right = k.GetSubItemRightOnScreen();
  const int32_t top = k.GetSubItemTopOnScreen(), bottom = k.GetSubItemBottomOnScreen();
  // The text box the control placed over the cell for the question, as its widget is on screen.
  const QRect box(desk.WidgetOf(k.TextBoxControl())->mapToGlobal(QPoint(0, 0)),
                  desk.WidgetOf(k.TextBoxControl())->size());
  EXPECT_EQ(left, box.left() * 15);
  EXPECT_EQ(right, (box.right() + 1) * 15);
  EXPECT_EQ(top, box.top() * 15);
  EXPECT_EQ(bottom, (box.bottom() + 1) * 15);
  // And that is the painted cell, within the placement's slack.
  const QRect cell(desk.Surface()->mapToGlobal(desk.CellOnSurface(3, 2).topLeft()), desk.CellOnSurface(3, 2).size());
  EXPECT_NEAR(left / 15, cell.left(), 2);
  EXPECT_NEAR(top / 15, cell.top(), 2);
  EXPECT_FALSE(k.TextBoxControl().Visible());  // asked and hidden again
  EXPECT_TRUE(desk.QtTk().MessageBoxes().empty());
}

// The title bar and the tab strip are real widgets laid out above the list; clicks on them reach
// the host.
TEST(RealWidgetsBands, TheTitleBarAndTheTabsAreClickedAsTheHostSeesThem) {
  struct BandHost : KestrelEvents {
    std::vector<std::string> log;
    void TitleBarClick(int16_t button) override { log.push_back("TitleBarClick " + std::to_string(button)); }
    void TabClick(int32_t& index) override { log.push_back("TabClick " + std::to_string(index)); }
  } host;
  QtDesk desk;
  Kestrel& k = desk.K();
  k.Attach(&host);
  k.TitleCaption("Fruit orders");
  k.TitleHeight(450);
  k.Titlebar(true);
  desk.Wait(0);
  QWidget* title = desk.WidgetOf(k.TitleBarLabelControl());
  ASSERT_TRUE(title->isVisible());
  EXPECT_EQ(desk.OnSurface(title), QRect(0, 0, desk.Surface()->width(), 30));
  EXPECT_EQ(desk.OnSurface(desk.WidgetOf(desk.List())).top(), 30);  // the list right below
  QTest::mouseClick(title, Qt::RightButton, Qt::NoModifier, title->rect().center());

  k.Titlebar(false);
  k.TabCaptions("Open|Shipped|Paid");
  k.Tabs(true);
  desk.Wait(0);
  auto* bar = qobject_cast<QTabBar*>(desk.WidgetOf(*[&]() -> platform::TabStrip* {
    for (platform::Window* w : k.ChildWindows())
      if (auto* t = dynamic_cast<platform::TabStrip*>(w)) return t;
    return nullptr;
  }()));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->tabText(1), "Shipped");
  // The list overlaps the tab strip by 50 twips.
  EXPECT_NEAR(desk.OnSurface(desk.WidgetOf(desk.List())).top(), desk.OnSurface(bar).bottom() + 1 - 50.0 / 15, 1);
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
  EXPECT_EQ(k.SelectedTab(), 2);
  EXPECT_EQ(host.log, (std::vector<std::string>{"TitleBarClick 2", "TabClick 2"}));
  k.Attach(nullptr);
}

// A saved instance whose RightToLeft is True mirrors the list and its header.
TEST(RealWidgetsRightToLeft, ASavedRightToLeftInstanceMirrorsTheListAndItsClicks) {
  platform::qt::QtToolkit tk;
  tk.AnswerMessageBoxes([](const platform::qt::ShownMessageBox&) { return vbOK; });
  platform::qt::QtHostForm form(tk, "Mirrored", 9000, 4500);
  platform::PropertyBag saved;
  saved.WriteProperty("View", Variant(int16_t{3}), Variant(int16_t{0}));
  saved.WriteProperty("RightToLeft", Variant(true), Variant(false));
  Kestrel& k = form.Add<Kestrel>("K", 0, 0, 8400, 3600, &saved);
  form.Show();
  for (const char* caption : {"Name", "Qty"}) k.ColumnHeaders().Add(0, {}, caption, 1500);
  k.ListItems().Add(0, {}, "Anise")->SubItems(1, "12");
  k.ListItems().Add(0, {}, "Dill")->SubItems(1, "3");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.WindowWidget()));
  QApplication::processEvents();

  auto& list = dynamic_cast<platform::qt::QtListView&>(k.ListViewControl());
  platform::qt::ReportView& view = *list.ReportWidget();
  ASSERT_EQ(view.layoutDirection(), Qt::RightToLeft);
  ASSERT_EQ(view.Header()->layoutDirection(), Qt::RightToLeft);
  // The first column is on the right.
  const QRect name = view.CellRect(0, 0), qty = view.CellRect(0, 1);
  EXPECT_GT(name.left(), qty.left());
  EXPECT_EQ(name.right(), view.viewport()->width() - 1);
  // A click on the right-hand cell of row 2 is a click on its Name.
  RecordingHost host(k);
  host.editors.clear();
  k.Attach(&host);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.CellRect(1, 0).center());
  EXPECT_EQ(host.Only({"ItemClick"}), std::vector<std::string>{"ItemClick row=2 button=1 second=False col=0 open=none"});
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.CellRect(1, 1).center());
  EXPECT_EQ(k.SubItemClicked(), 1);
  // The header is mirrored too: its section for Qty is the second from the right.
  std::vector<int32_t> clicked;
  list.ColumnClick.Connect([&](platform::ColumnHeaderRef column) { clicked.push_back(column->Index()); });
  const platform::qt::ClickTarget qtyHeader = platform::qt::targets::HeaderSection(list, 2);
  ASSERT_TRUE(qtyHeader);
  QTest::mouseClick(qtyHeader.widget, Qt::LeftButton, Qt::NoModifier, qtyHeader.at);
  EXPECT_EQ(clicked, std::vector<int32_t>{2});
  k.Attach(nullptr);
}

}  // namespace
}  // namespace tamarind::testing
