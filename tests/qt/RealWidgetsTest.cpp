// What a user of the Qt realisation sees: every editor drawn over the cell that was clicked, also
// after the list scrolled or a column was dragged; the alternating row colours at the row pitch;
// the sort arrow in the sorted column's header; a mirrored list for a right-to-left instance. The
// checks read the painted pixels of the grabbed control; a failing check keeps its screenshots.

#include <QHeaderView>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/PropertyBag.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/qt/Desks.h"
#include "tests/qt/Screens.h"

namespace tamarind::testing {
namespace {

using platform::RGB;
using Parts = std::vector<const platform::Control*>;

constexpr platform::OLE_COLOR kOdd = RGB(255, 236, 190), kEven = RGB(196, 226, 255);

QRgb Rgb(platform::OLE_COLOR c) {
  return qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}
// The stripe colour of a row (1-based).
QRgb Stripe(int32_t row) { return Rgb(row % 2 ? kOdd : kEven); }
bool IsStripe(QRgb pixel) { return pixel == Stripe(1) || pixel == Stripe(2); }

std::string Describe(const QRect& r) {
  return "(" + std::to_string(r.left()) + "," + std::to_string(r.top()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

class RealWidgets : public ::testing::Test {
 protected:
  RealWidgets() {
    k.Attach(&host);
    k.LineOddColor(kOdd);
    k.LineEvenColor(kEven);
    k.LineAltColor(true);
    desk.Wait(0);
  }
  ~RealWidgets() override { k.Attach(nullptr); }

  const platform::Control* Spinner() { return platform::FindControl(k, "SPINNER"); }

  // A widget as drawn now, kept for the screenshots of a failed check.
  QImage Shot(const char* what, QWidget* w) {
    desk.Wait(0);
    const QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screens.Keep(what, shot);
    return shot;
  }

  // The editor's widgets lie on the cell as painted, and the grabbed image shows the editor there
  // while the rows above and below show their stripes. The slack is the placement's own: it works
  // in twips of the list's client area, which starts inside the list's two-pixel border, and
  // adds its margins (20 twips past the row's left, 20 twips wider than the column; 50 twips in
  // when the item column is not the first one): the editor may stray up to the border's width
  // above or left of the cell and three pixels past its right edge, never into another cell.
  void ExpectEditorOverCell(const char* what, const Parts& parts, int32_t row, int32_t column) {
    const QImage shot = Shot(what, desk.Surface());
    const QRect cell = desk.CellOnSurface(row, column);
    QRect editor;
    for (const platform::Control* part : parts) editor |= desk.OnSurface(desk.WidgetOf(*part));
    EXPECT_TRUE(cell.adjusted(-2, -2, 3, 2).contains(editor))
        << what << ": editor " << Describe(editor) << " outside cell " << Describe(cell);
    const int x = editor.right() - 3, pitch = cell.height();
    EXPECT_FALSE(IsStripe(shot.pixel(x, editor.center().y()))) << what << ": no editor drawn at its place";
    EXPECT_TRUE(IsStripe(shot.pixel(x, cell.top() - pitch / 2))) << what << ": the row above is covered";
    EXPECT_TRUE(IsStripe(shot.pixel(x, cell.bottom() + pitch / 2))) << what << ": the row below is covered";
  }

  QtDesk desk;
  Kestrel& k = desk.K();
  RecordingHost host{k};
  Screens screens;
};

TEST_F(RealWidgets, EveryEditorOpensOverTheClickedCellInTheControlsFont) {
  const std::tuple<const char*, int32_t, int32_t, Parts> editors[] = {
      {"textbox", 2, 0, {&k.TextBoxControl()}}, {"spinner", 3, 1, {&k.TextBoxControl(), Spinner()}},
      {"dropdown", 4, 2, {&k.ComboBoxControl()}}, {"calendar", 2, 3, {&k.CalendarControl()}},
      {"button", 3, 4, {&k.CommandButtonControl()}}};
  for (const auto& [what, row, column, parts] : editors) {
    desk.ClickCell(row, column);
    ExpectEditorOverCell(what, parts, row, column);
  }
  // The "..." button sits at the cell's right edge.
  EXPECT_NEAR(desk.OnSurface(desk.WidgetOf(k.CommandButtonControl())).right(), desk.CellOnSurface(3, 4).right(), 2);

  k.FontBold(true);  // changes the editors' fonts where they stand
  k.FontSize(12);
  desk.ClickCell(2, 0);
  const QFont shown = desk.WidgetOf(k.TextBoxControl())->font();
  EXPECT_TRUE(shown.bold());
  EXPECT_DOUBLE_EQ(shown.pointSizeF(), 12);
}

// Gathers the area of the paint events a widget gets (the filter leaves with the spy).
struct PaintSpy : QObject {
  explicit PaintSpy(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
    return false;
  }
  QRegion painted;
};

TEST_F(RealWidgets, TheScreenShowsWhatTheHostStoresAndWhatItAdds) {
  host.editors.clear();
  desk.Wait(50);
  PaintSpy spy(desk.Viewport());
  k.ListItems().Item(3)->SubItems(4, "Pitted");  // the host writes a value, as after an edit
  desk.Wait(50);
  EXPECT_TRUE(spy.painted.contains(desk.CellInViewport(3, 4)));

  spy.painted = QRegion();
  k.ListItems().Add(0, {}, "Damson")->SubItems(2, "Stone fruit");
  desk.Wait(50);
  EXPECT_TRUE(spy.painted.contains(desk.CellInViewport(6, 0)));
  auto& model = dynamic_cast<platform::qt::QtListView&>(desk.List()).ReportWidget()->Model();
  EXPECT_EQ(model.rowCount(), 6);
  EXPECT_EQ(model.index(5, 2).data().toString(), "Stone fruit");
}

TEST_F(RealWidgets, EveryPointOfAPaintedCellHitsThatCell) {
  host.editors.clear();
  k.AllowColumnReorder(true);
  desk.DragColumn(4, 2);  // Date second: the hit test follows the display order
  desk.AddRows(40);
  desk.ScrollDown(3);
  for (const auto& [row, column] : std::vector<std::pair<int32_t, int32_t>>{{4, 0}, {5, 3}, {6, 1}, {7, 4}, {8, 2}}) {
    const QRect cell = desk.CellInViewport(row, column);
    for (const QPoint at : {cell.topLeft() + QPoint(1, 0), cell.bottomRight() - QPoint(1, 0),
                            QPoint(cell.left() + 1, cell.bottom()), QPoint(cell.right() - 1, cell.top())}) {
      ClickOn({desk.Viewport(), at});
      EXPECT_EQ(std::pair(SelectedRow(k), k.SubItemClicked()), std::pair(row, column))
          << "(row, column) hit at " << at.x() << "," << at.y();
    }
  }
}

TEST_F(RealWidgets, SidewaysScrollingMovesTheRowsTheHitTestAndTheEditorTogether) {
  k.ColumnHeaders().Item(5)->Width(6000);  // wider than the list: a horizontal scroll bar
  desk.Wait(0);
  desk.ClickCell(2, 1);
  const float before = k.TextBoxControl().Left();
  auto& list = dynamic_cast<platform::qt::QtListView&>(desk.List());
  for (int i = 0; i < 4; ++i) ClickOn(platform::qt::targets::ScrollRightArrow(list));
  desk.Wait(250);
  const int scrolled = desk.List().ScrollXPx();
  ASSERT_GE(scrolled, 40);  // past half the narrowest column, so a header section taken unscrolled misses
  // The editor moved left with its cell.
  EXPECT_FLOAT_EQ(before - k.TextBoxControl().Left(), static_cast<float>(scrolled * 15));
  ExpectEditorOverCell("scrolled-sideways", {&k.TextBoxControl(), Spinner()}, 2, 1);
  // A click lands on the cell under the pointer.
  host.editors.clear();
  ClickOn({desk.Viewport(), desk.CellInViewport(4, 2).topLeft() + QPoint(2, 2)});
  EXPECT_EQ(k.SubItemClicked(), 2);
  EXPECT_EQ(SelectedRow(k), 4);
  // The header scrolled with the rows: a click on a section as shown is a click on its column.
  std::vector<int32_t> clicked;
  list.ColumnClick.Connect([&](platform::ColumnHeaderRef column) { clicked.push_back(column->Index()); });
  for (int32_t column : {2, 3, 4}) desk.ClickHeader(column);
  EXPECT_EQ(clicked, (std::vector<int32_t>{2, 3, 4}));
}

TEST_F(RealWidgets, TheEditorIsRedrawnOverItsCellAfterAScrollAndAColumnDrag) {
  k.AllowColumnReorder(true);
  desk.AddRows(40);
  desk.ClickCell(4, 0);
  desk.ScrollDown(2);
  desk.Wait(250);
  ASSERT_EQ(desk.List().TopIndex(), 2);
  ExpectEditorOverCell("after-scroll", {&k.TextBoxControl()}, 4, 0);

  desk.ClickCell(5, 2);
  for (const int32_t to : {2, 1}) {  // Category between Name and Qty, then in front of the item column
    desk.DragColumn(3, to);
    desk.Wait(250);
    ASSERT_EQ(k.ColumnHeaders().Item(3)->Position(), to);
    ExpectEditorOverCell(to == 2 ? "after-drag" : "after-drag-to-front", {&k.ComboBoxControl()}, 5, 2);
  }
}

TEST_F(RealWidgets, StripesAlternateAtTheRowPitchAndScrollWithTheRows) {
  desk.AddRows(40);
  const int pitch = desk.CellOnSurface(1, 0).height();
  ASSERT_EQ(pitch * 15, static_cast<int>(k.ListItems().Item(1)->Height()));
  // Down an empty stretch of the Notes column, row by row from the first row shown.
  auto check = [&](const char* what, int32_t firstShown) {
    const QImage shot = Shot(what, desk.Viewport());
    const int x = desk.CellInViewport(1, 4).right() - 4;
    for (int y = 0; y + pitch <= shot.height(); ++y)
      ASSERT_EQ(shot.pixel(x, y), Stripe(firstShown + y / pitch)) << what << " at y=" << y << ", row pitch " << pitch;
  };
  check("stripes", 1);
  desk.ScrollDown(1);
  check("stripes-scrolled", 2);
}

// A cell's text is drawn on the side its own column is aligned to. Anything in a cell that is not
// its row's stripe colour is text.
TEST_F(RealWidgets, EachColumnsTextIsDrawnOnTheSideItsColumnIsAligned) {
  k.ColumnHeaders().Item(2)->Alignment(platform::ColumnHeader::lvwColumnRight);  // Qty
  const QImage shot = Shot("aligned", desk.Viewport());
  // The room left of the text and right of it; a cell without text has none on either side.
  auto room = [&](int32_t row, int32_t column) {
    const QRect cell = desk.CellInViewport(row, column);
    int first = cell.right() + 1, last = cell.left() - 1;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x)
        if (shot.pixel(x, y) != Stripe(row)) {
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
  platform::ListView& lv = desk.List();
  const QRgb up = qRgb(255, 0, 0), down = qRgb(0, 0, 255);
  k.SortArrowUpPicture(std::make_shared<platform::StdPicture>(12, 12, RGB(255, 0, 0)));
  k.SortArrowDownPicture(std::make_shared<platform::StdPicture>(12, 12, RGB(0, 0, 255)));
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
  // The sections whose right half shows the colour; a section showing it in its left half counts
  // negative.
  auto sectionsShowing = [&](const QImage& shot, QRgb colour) {
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
  auto& model = dynamic_cast<platform::qt::QtListView&>(lv).ReportWidget()->Model();
  const std::tuple<int32_t, const char*, QRgb, QRgb, std::vector<std::string>> clicks[] = {
      {3, "ascending", up, down, {"Braeburn", "Blueberry", "Lemon", "Lime", "Cherry"}},
      {3, "descending", down, up, {"Cherry", "Lemon", "Lime", "Blueberry", "Braeburn"}},
      {1, "moved", up, down, {"Blueberry", "Braeburn", "Cherry", "Lemon", "Lime"}}};
  for (const auto& [column, what, shown, hidden, names] : clicks) {
    desk.ClickHeader(column);
    const QImage shot = Shot(what, desk.HeaderWidget());
    EXPECT_EQ(sectionsShowing(shot, shown), std::vector<int>{column}) << what;
    EXPECT_TRUE(sectionsShowing(shot, hidden).empty()) << what;
    for (int32_t row = 1; row <= 5; ++row) {
      EXPECT_EQ(k.ListItems().Item(row)->Text(), names[row - 1]) << what << ", row " << row;
      EXPECT_EQ(model.index(row - 1, 0).data().toString().toStdString(), names[row - 1]) << what << " as painted";
    }
  }
}

TEST_F(RealWidgets, AClickOnAColumnHeaderEdgeResizesTheColumnInTheModel) {
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
  desk.Window()->move(37, 23);  // anywhere on the screen
  desk.Wait(0);
  desk.ClickCell(3, 2);
  const std::vector<int32_t> edges = {k.GetSubItemLeftOnScreen(), k.GetSubItemRightOnScreen(),
                                      k.GetSubItemTopOnScreen(), k.GetSubItemBottomOnScreen()};
  // The text box the control placed over the cell for the question, as its widget is on screen.
  QWidget* box = desk.WidgetOf(k.TextBoxControl());
  const QRect r(box->mapToGlobal(QPoint(0, 0)), box->size());
  EXPECT_EQ(edges, (std::vector<int32_t>{r.left() * 15, (r.right() + 1) * 15, r.top() * 15, (r.bottom() + 1) * 15}));
  // And that is the painted cell, within the placement's slack.
  const QPoint cell = desk.Surface()->mapToGlobal(desk.CellOnSurface(3, 2).topLeft());
  EXPECT_NEAR(r.left(), cell.x(), 2);
  EXPECT_NEAR(r.top(), cell.y(), 2);
  EXPECT_FALSE(k.TextBoxControl().Visible());  // asked and hidden again
  EXPECT_TRUE(desk.QtTk().MessageBoxes().empty());
}

// The title bar and the tab strip are real widgets laid out above the list; clicks on them reach
// the host.
TEST_F(RealWidgets, TheTitleBarAndTheTabsAreClickedAsTheHostSeesThem) {
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
  auto* bar = qobject_cast<QTabBar*>(desk.WidgetOf(*platform::FindControl(k, "TabCTL")));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->count(), 3);
  EXPECT_EQ(bar->tabText(1), "Shipped");
  // The list overlaps the tab strip by 50 twips.
  EXPECT_NEAR(desk.OnSurface(desk.WidgetOf(desk.List())).top(), desk.OnSurface(bar).bottom() + 1 - 50.0 / 15, 1);
  ClickOn({bar, bar->tabRect(1).center()});
  EXPECT_EQ(k.SelectedTab(), 2);
  EXPECT_EQ(host.Only({"TitleBarClick", "TabClick"}), (std::vector<std::string>{"TitleBarClick 2", "TabClick 2"}));
}

// A saved instance whose RightToLeft is True mirrors the list and its header.
TEST(RealWidgetsRightToLeft, ASavedRightToLeftInstanceMirrorsTheListAndItsClicks) {
  platform::PropertyBag saved;
  saved.WriteProperty("View", Variant(int16_t{3}), Variant(int16_t{0}));
  saved.WriteProperty("RightToLeft", Variant(true), Variant(false));
  QtDesk desk(&saved);
  Kestrel& k = desk.K();
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
  ClickOn({view.viewport(), view.CellRect(1, 0).center()});
  EXPECT_EQ(host.Only({"ItemClick"}), std::vector<std::string>{"ItemClick row=2 button=1 second=False col=0 open=none"});
  ClickOn({view.viewport(), view.CellRect(1, 1).center()});
  EXPECT_EQ(k.SubItemClicked(), 1);
  // The header is mirrored too: its section for Qty is the second from the right.
  std::vector<int32_t> clicked;
  list.ColumnClick.Connect([&](platform::ColumnHeaderRef column) { clicked.push_back(column->Index()); });
  desk.ClickHeader(2);
  EXPECT_EQ(clicked, std::vector<int32_t>{2});
  k.Attach(nullptr);
}

}  // namespace
}  // namespace tamarind::testing
