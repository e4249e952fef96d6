// Plain cells are drawn without the delegate (ReportView::PaintPlainCell); every other cell goes
// through it. The list must look the same either way: each look below is grabbed with the plain
// path on and again with every cell through the delegate, and the two images must match pixel for
// pixel, left to right and right to left. The suite's name starts with Pixels so ctest runs it at
// every scale factor with the other pixel checks.

#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Font.h"
#include "platform/PropertyBag.h"
#include "platform/qt/QtListView.h"
#include "tests/qt/Desks.h"
#include "tests/qt/Screens.h"

namespace tamarind::testing {
namespace {

using platform::ListItemRef;
using platform::StdFont;

class PixelsPaintPaths : public ::testing::TestWithParam<bool> {
 protected:
  PixelsPaintPaths() : saved(SavedReportView(GetParam())), desk(&saved) {
    // Beside the desk's five rows: right-aligned and centred columns, bold and coloured items and
    // sub-items, spaces at either end, texts too wide for their cells, text outside ASCII, empty cells.
    k.ColumnHeaders().Item(2)->Alignment(1);
    k.ColumnHeaders().Item(3)->Alignment(2);
    auto add = [&](const std::string& text, const std::string& qty, const std::string& category) {
      const ListItemRef item = k.ListItems().Add(0, {}, text);
      item->SubItems(1, qty);
      item->SubItems(2, category);
      item->SubItems(3, "1/1/2027");
      return item;
    };
    add("Quince", " 15 ", "  Pome")->Bold(true);
    add("Damson", "9", "Stone fruit")->ForeColor(0x0000C0);
    const ListItemRef both = add("Kumquat", "31", "Citrus");
    both->GetListSubItems().Item(2).Bold(true);
    both->GetListSubItems().Item(1).ForeColor(0x008000);
    add("A name far too long to fit in its narrow column", "123456789012345678", "Wider than the column is");
    add("Caf\xc3\xa9 cr\xc3\xa8me", "\xe2\x80\x93", "Zitrusfr\xc3\xbc" "chte");
    add("", "", "x");
    desk.Wait(0);
  }

  platform::qt::ReportView& View() { return *dynamic_cast<platform::qt::QtListView&>(k.ListViewControl()).ReportWidget(); }

  QImage Grab(bool plainPath, const QString& what) {
    View().UsePlainCellPath(plainPath);
    desk.Wait(0);
    QImage shot = desk.Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screens.Keep(what + (plainPath ? "-plain" : "-delegate") + (GetParam() ? "-rtl" : "-ltr"), shot);
    return shot;
  }

  // Grabs the list both ways and holds the images against each other; returns the plain cells drawn.
  int ExpectSameBothWays(const QString& what) {
    const QImage plain = Grab(true, what);
    const int drawnPlain = View().PlainCellsPainted();
    const QImage delegate = Grab(false, what);
    EXPECT_EQ(View().PlainCellsPainted(), 0) << what.toStdString() << ": the switch leaves every cell to the delegate";
    EXPECT_EQ(plain.size(), delegate.size());
    if (plain.size() != delegate.size()) return drawnPlain;
    int differing = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < plain.height(); ++y) {
      const auto* a = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
      const auto* b = reinterpret_cast<const QRgb*>(delegate.constScanLine(y));
      for (int x = 0; x < plain.width(); ++x)
        if (a[x] != b[x] && differing++ == 0) first = QPoint(x, y);
    }
    EXPECT_EQ(differing, 0) << what.toStdString() << ": " << differing << " device pixels differ, the first at ("
                            << first.x() << "," << first.y() << ")";
    View().UsePlainCellPath(true);
    return drawnPlain;
  }

  platform::PropertyBag saved;
  QtDesk desk;
  Kestrel& k = desk.K();
  Screens screens;
};

TEST_P(PixelsPaintPaths, PlainCellsLookAsTheDelegateDrawsThem) {
  const int drawn = ExpectSameBothWays("rows");
  // Most of the 11 rows' 55 cells are plain; the long, non-ASCII and empty-column ones are not all.
  EXPECT_GE(drawn, 35) << "the plain path took too few cells to prove anything";
  EXPECT_LT(drawn, 55) << "cells the style elides or lays out otherwise took the plain path";

  k.GridLines(true);
  EXPECT_GT(ExpectSameBothWays("grid"), 0);
}

TEST_P(PixelsPaintPaths, OtherFontsLookTheSame) {
  auto font = std::make_shared<StdFont>("DejaVu Serif", 13.0f);
  font->Italic(true);
  k.Font(font);
  EXPECT_GT(ExpectSameBothWays("serif-italic"), 0);
  auto underlined = std::make_shared<StdFont>("DejaVu Sans", 7.0f);
  underlined->Underline(true);
  k.Font(underlined);
  EXPECT_GT(ExpectSameBothWays("small-underlined"), 0);
}

// A selected row, the focus rectangle and the check boxes go to the delegate, among plain cells.
TEST_P(PixelsPaintPaths, CellsTheDelegateDrawsSitAmongPlainOnesAsBefore) {
  k.FullRowSelect(true);
  desk.ClickCell(3, 2);
  const int withSelection = ExpectSameBothWays("selected-row");
  EXPECT_GT(withSelection, 0);
  k.FullRowSelect(false);
  k.HideSelection(false);
  desk.ClickAway();
  EXPECT_GT(ExpectSameBothWays("inactive-selection"), 0);
  k.Checkboxes(true);
  EXPECT_GT(ExpectSameBothWays("check-boxes"), 0);
}

TEST_P(PixelsPaintPaths, ADisabledListLooksTheSame) {
  k.Enabled(false);
  EXPECT_GT(ExpectSameBothWays("disabled"), 0);
}

INSTANTIATE_TEST_SUITE_P(PixelsByPath, PixelsPaintPaths, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& direction) {
                           return std::string(direction.param ? "RightToLeft" : "LeftToRight");
                         });

}  // namespace
}  // namespace tamarind::testing
