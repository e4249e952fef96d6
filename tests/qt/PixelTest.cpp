// What the list looks like in pixels at the scale factor the run was started with (ctest runs these
// at QT_SCALE_FACTOR 1, 1.25, 1.5 and 2), left to right and right to left: every editor lies on
// the cell it edits, with and without the 3-D border; grid lines are one device pixel; both sort
// arrows stand out on a light and on a dark header; the selected row keeps its highlight whichever
// editor is open. The checks read grabbed images at device resolution; a failing check keeps them.

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "platform/PropertyBag.h"
#include "platform/qt/QtListView.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/qt/Desks.h"
#include "tests/qt/Screens.h"

namespace tamarind::testing {
namespace {

using Parts = std::vector<const platform::Control*>;

// WCAG relative luminance of an sRGB colour, 0 (black) to 1 (white).
double Luminance(QRgb c) {
  auto lin = [](int v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}

std::string Describe(const QRect& r) {
  return "(" + std::to_string(r.left()) + "," + std::to_string(r.top()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height()) + ")";
}

class Pixels : public ::testing::TestWithParam<bool> {
 protected:
  Pixels() : saved(SavedReportView(GetParam())), desk(&saved) {
    k.Attach(&host);
    desk.Wait(0);
  }
  ~Pixels() override { k.Attach(nullptr); }

  platform::qt::ReportView& View() { return *dynamic_cast<platform::qt::QtListView&>(k.ListViewControl()).ReportWidget(); }
  const platform::Control* Spinner() { return platform::FindControl(k, "SPINNER"); }
  double Ratio() const { return desk.Window()->devicePixelRatioF(); }

  // A widget as drawn now, at device resolution, kept for the screenshots of a failed check.
  QImage Shot(const QString& what, QWidget* w) {
    desk.Wait(0);
    QImage shot = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    screens.Keep(what + (GetParam() ? "-rtl" : "-ltr"), shot);
    return shot;
  }
  // A rectangle of logical pixels as the device pixels it covers.
  QRect OnDevice(const QRect& r) const {
    const double s = Ratio();
    return QRect(QPoint(static_cast<int>(std::lround(r.left() * s)), static_cast<int>(std::lround(r.top() * s))),
                 QPoint(static_cast<int>(std::lround((r.right() + 1) * s)) - 1,
                        static_cast<int>(std::lround((r.bottom() + 1) * s)) - 1));
  }

  platform::PropertyBag saved;
  QtDesk desk;
  Kestrel& k = desk.K();
  RecordingHost host{k};
  Screens screens;
};

// The editor's widgets against the cell the view draws, both on the control's widget. Widgets stand
// on whole logical pixels, so at a ratio above 1 an edge can only be exact or a whole logical pixel
// off: the top is exact; the sides carry the placement rule's 20-twip margins (a third of a pixel
// more than one at 15 twips per pixel) and the calendar is one pixel taller than its row, so those
// edges may be one logical pixel off, never more (never into the next cell's middle).
TEST_P(Pixels, EveryEditorLiesOnTheCellItEditsWithAndWithoutThe3DBorder) {
  const std::tuple<const char*, int32_t, int32_t, Parts> editors[] = {
      {"textbox", 2, 0, {&k.TextBoxControl()}}, {"spinner", 3, 1, {&k.TextBoxControl(), Spinner()}},
      {"dropdown", 4, 2, {&k.ComboBoxControl()}}, {"calendar", 2, 3, {&k.CalendarControl()}},
      {"button", 3, 4, {&k.CommandButtonControl()}}};
  for (const int16_t appearance : {1, 0}) {
    k.Appearance(appearance);
    desk.Wait(0);
    for (const auto& [name, row, column, parts] : editors) {
      const std::string what = std::string(name) + (appearance ? "-3d" : "-flat");
      desk.ClickCell(row, column);
      Shot(QString::fromStdString(what), desk.Surface());
      const QRect cell = desk.CellOnSurface(row, column);
      QRect editor;
      for (const platform::Control* part : parts) editor |= desk.OnSurface(desk.WidgetOf(*part));
      const std::string seen = what + ": editor " + Describe(editor) + ", cell " + Describe(cell);
      EXPECT_LE(std::abs(OnDevice(editor).top() - OnDevice(cell).top()), 1) << seen;
      EXPECT_LE(std::abs(editor.bottom() - cell.bottom()), 1) << seen;
      // The "..." button keeps its own width at the cell's far end (its left end right to left).
      const bool button = column == 4, rtl = GetParam();
      if (!button || rtl) {
        EXPECT_LE(std::abs(editor.left() - cell.left()), 1) << seen;
      }
      if (!button || !rtl) {
        EXPECT_LE(std::abs(editor.right() - cell.right()), 1) << seen;
      }
    }
  }
}

// Runs of the grid colour across the lines, in device pixels: each must be exactly one.
TEST_P(Pixels, GridLinesAreOneDevicePixelThick) {
  k.GridLines(true);
  QWidget* viewport = desk.Viewport();
  const QImage shot = Shot("grid", viewport);
  const QRgb grid = View().palette().color(QPalette::Midlight).rgb();
  auto runs = [&](QPoint from, QPoint step, int count) {
    std::vector<int> lengths;
    int run = 0;
    for (int i = 0; i < count; ++i) {
      const QPoint at = from + step * i;
      if (shot.pixel(at) == grid) {
        ++run;
      } else if (run > 0) {
        lengths.push_back(run);
        run = 0;
      }
    }
    return lengths;
  };
  // Below the last row nothing but the grid is drawn: across the columns' edges there, and down
  // the empty stretch at the right end of the last column for the rows' lines.
  const QRect lastRow = OnDevice(desk.CellInViewport(5, 4));
  const QRect belowRows = OnDevice(desk.CellInViewport(7, 4));  // where an eighth row would be
  ASSERT_LT(belowRows.bottom(), shot.height());
  const int y = belowRows.center().y();
  const std::vector<int> across = runs(QPoint(0, y), QPoint(1, 0), shot.width());
  ASSERT_GE(across.size(), 5u) << "the columns' edges";
  for (int length : across) EXPECT_EQ(length, 1) << "a column edge " << length << " device pixels wide";
  const int x = GetParam() ? lastRow.left() + 3 : lastRow.right() - 3;
  const std::vector<int> down = runs(QPoint(x, 0), QPoint(0, 1), shot.height());
  ASSERT_GE(down.size(), 8u) << "the rows' lines";
  for (int length : down) EXPECT_EQ(length, 1) << "a row line " << length << " device pixels high";
}

// The arrow's pixels are those that change when the arrows come on; each is compared with the same
// pixel before. A stroke reads clearly when it differs from the header by at least 0.35 in relative
// luminance (black text on the light Fusion header differs by about 0.85, a white stroke there by
// about 0.1). Both tones of an arrow carry its shape, so two thirds of its pixels must read clearly:
// the ascending arrow drawn in white and grey on a light header has a quarter.
TEST_P(Pixels, BothSortArrowsStandOutOnALightAndADarkHeader) {
  platform::ListView& lv = k.ListViewControl();
  const QPalette original = QApplication::palette();
  QPalette dark(QColor(53, 53, 53), QColor(53, 53, 53));  // button, window: the bevels derive from them
  dark.setColor(QPalette::ButtonText, Qt::white);
  dark.setColor(QPalette::WindowText, Qt::white);
  dark.setColor(QPalette::Text, Qt::white);
  dark.setColor(QPalette::Base, QColor(35, 35, 35));
  const QRect section = desk.SectionRect(3);
  for (const auto& [theme, palette] : {std::pair{"light", original}, std::pair{"dark", dark}}) {
    QApplication::setPalette(palette);
    k.SortArrows(false);
    const QImage before = Shot(QString("header-") + theme, desk.HeaderWidget());
    for (const int16_t order : {platform::ListView::lvwAscending, platform::ListView::lvwDescending}) {
      const std::string what = std::string(theme) + (order == platform::ListView::lvwAscending ? " ascending" : " descending");
      lv.SortKey(2);
      lv.SortOrder(order);
      k.SortArrows(true);
      const QImage after = Shot(QString::fromStdString(what).replace(' ', '-'), desk.HeaderWidget());
      ASSERT_EQ(after.size(), before.size());
      int changed = 0, clear = 0;
      QRect where;
      for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
          if (after.pixel(x, y) == before.pixel(x, y)) continue;
          ++changed;
          where |= QRect(x, y, 1, 1);
          if (std::abs(Luminance(after.pixel(x, y)) - Luminance(before.pixel(x, y))) >= 0.35) ++clear;
        }
      ASSERT_GE(changed, 10) << what << ": no arrow drawn";
      EXPECT_GE(clear * 3, changed * 2) << what << ": " << clear << " of " << changed << " arrow pixels read clearly";
      // Inside the sorted section, on the side away from the caption (mirrored right to left).
      const QRect s = OnDevice(section);
      EXPECT_TRUE(s.contains(where)) << what;
      if (GetParam()) EXPECT_LT(where.center().x(), s.center().x()) << what;
      else EXPECT_GT(where.center().x(), s.center().x()) << what;
    }
  }
  QApplication::setPalette(original);
}

// With each editor open the selected row shows the highlight over the cells the editor leaves
// free; once the focus leaves the control, HideSelection hides it.
TEST_P(Pixels, TheSelectedRowKeepsItsHighlightWhicheverEditorIsOpen) {
  k.FullRowSelect(true);
  const std::tuple<const char*, int32_t, int32_t, Parts> editors[] = {
      {"textbox", 2, 0, {&k.TextBoxControl()}}, {"spinner", 3, 1, {&k.TextBoxControl(), Spinner()}},
      {"dropdown", 4, 2, {&k.ComboBoxControl()}}, {"calendar", 2, 3, {&k.CalendarControl()}},
      {"button", 3, 4, {&k.CommandButtonControl()}}};
  const QRgb active = View().palette().color(QPalette::Active, QPalette::Highlight).rgb();
  const QRgb inactive = View().palette().color(QPalette::Inactive, QPalette::Highlight).rgb();
  // The share of the row's free pixels in the highlight colour.
  auto highlighted = [&](const QImage& shot, int32_t row, const QRect& editorOnViewport, QRgb highlight) {
    const QRect band = OnDevice(desk.CellInViewport(row, 0)).united(OnDevice(desk.CellInViewport(row, 4)));
    const QRect covered = OnDevice(editorOnViewport);
    int free = 0, lit = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
      for (int x = band.left(); x <= band.right(); ++x) {
        if (covered.contains(x, y) || !shot.rect().contains(x, y)) continue;
        ++free;
        // Within a few steps: a focused selection may be shaded a little at some ratios.
        const QRgb c = shot.pixel(x, y);
        if (std::abs(qRed(c) - qRed(highlight)) <= 8 && std::abs(qGreen(c) - qGreen(highlight)) <= 8 &&
            std::abs(qBlue(c) - qBlue(highlight)) <= 8)
          ++lit;
      }
    return free ? static_cast<double>(lit) / free : 0.0;
  };
  for (const auto& [name, row, column, parts] : editors) {
    desk.ClickCell(row, column);
    QRect editor;
    for (const platform::Control* part : parts) editor |= desk.OnSurface(desk.WidgetOf(*part));
    editor.translate(-desk.OnSurface(desk.Viewport()).topLeft());
    const QImage shot = Shot(QString("open-") + name, desk.Viewport());
    EXPECT_GE(highlighted(shot, row, editor, active), 0.6) << name;
  }
  desk.ClickAway();
  ASSERT_TRUE(k.HideSelection());
  const QImage away = Shot("away", desk.Viewport());
  EXPECT_EQ(highlighted(away, 3, QRect(), active) + highlighted(away, 3, QRect(), inactive), 0.0) << "HideSelection";
  k.HideSelection(false);
  desk.Wait(0);
  EXPECT_GE(highlighted(Shot("away-shown", desk.Viewport()), 3, QRect(), inactive), 0.6)
      << "without HideSelection the row stays marked";
}

INSTANTIATE_TEST_SUITE_P(Pixels, Pixels, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "RightToLeft" : "LeftToRight"; });

}  // namespace
}  // namespace tamarind::testing
