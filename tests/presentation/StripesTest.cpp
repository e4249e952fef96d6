// Alternating row colours: a picture two rows high tiled behind the list, the odd rows' colour over
// the even rows', its band as high as a row of the list (or, on an empty list, as a line of text
// plus a pixel, or a small icon plus a pixel), and the moments it is painted again.

#include "PresentationFixture.h"

#include <cmath>
#include "platform/ImageList.h"
#include "platform/Picture.h"

namespace tamarind::testing {
namespace {

using namespace platform;

constexpr OLE_COLOR kOdd = RGB(255, 250, 205), kEven = RGB(224, 255, 255);

class Stripes : public PresentationTest {
 protected:
  Stripes() {
    k.ColumnHeaders().Add(0, {}, "Order", 2000);
    k.LineOddColor(kOdd);
    k.LineEvenColor(kEven);
  }
  void AddRows(int n) {
    for (int i = 0; i < n; ++i) k.ListItems().Add(0, {}, "Row " + std::to_string(i + 1));
  }
  // The height of one band of the list's picture, in pixels, after checking that the picture is
  // two bands of the two colours, as wide as the list.
  int32_t Band() {
    const PictureRef& p = lv.Picture();
    if (p->IsEmpty()) return 0;
    const int32_t h = p->HeightPx() / 2;
    EXPECT_EQ(p->HeightPx(), 2 * h);
    EXPECT_EQ(p->WidthPx(), std::lround(lv.Width() / 15));
    for (int32_t x : {0, p->WidthPx() - 1}) {
      EXPECT_EQ(p->Pixel(x, 0), kOdd);
      EXPECT_EQ(p->Pixel(x, h - 1), kOdd);
      EXPECT_EQ(p->Pixel(x, h), kEven);
      EXPECT_EQ(p->Pixel(x, 2 * h - 1), kEven);
    }
    return h;
  }
  int32_t TextHeightPx() { return tk.Metrics().TextHeightPx(*lv.Font()); }
};

TEST_F(Stripes, TheBandIsAsHighAsTheFirstRowSoStripesFollowTheRows) {
  AddRows(5);
  k.LineAltColor(true);
  EXPECT_EQ(lv.PictureAlignment(), ListView::lvwTile);
  const int32_t rowPx = static_cast<int32_t>(k.ListItems().Item(1)->Height()) / 15;
  EXPECT_EQ(Band(), rowPx);
  // Row 3 starts two bands down: on the odd colour again.
  EXPECT_EQ(static_cast<int32_t>(k.ListItems().Item(3)->Top() - k.ListItems().Item(1)->Top()) / 15, 2 * Band());
}

TEST_F(Stripes, AnEmptyListUsesTheHeightOfTheLetterWPlusOnePixel) {
  k.LineAltColor(true);
  EXPECT_EQ(Band(), TextHeightPx() + 1);
  EXPECT_NE(Band(), lv.RowHeightPx());  // an estimate until the next painting
  AddRows(2);
  k.LineEvenColor(kEven);  // painted again: now from the first row
  EXPECT_EQ(Band(), lv.RowHeightPx());
}

TEST_F(Stripes, OnAnEmptyListSmallIconsTallerThanTheTextGiveTheIconPlusOnePixel) {
  k.LineAltColor(true);
  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(16, 16, RGB(0, 0, 0)));
  ASSERT_LT(TextHeightPx() + 1, 16);
  k.SmallIcons(icons);  // paints again
  EXPECT_EQ(Band(), 17);
  EXPECT_EQ(lv.Picture()->HeightPx() * 15, 2 * 255);
  k.Font(std::make_shared<StdFont>("MS Sans Serif", 14));
  k.LineOddColor(kOdd);
  EXPECT_EQ(Band(), TextHeightPx() + 1);  // now the text is the taller
}

TEST_F(Stripes, TurningThemOffRemovesThePictureAndLeavesTheTiling) {
  AddRows(3);
  k.LineAltColor(true);
  ASSERT_GT(Band(), 0);
  k.LineAltColor(false);
  EXPECT_TRUE(lv.Picture()->IsEmpty());
  EXPECT_EQ(lv.PictureAlignment(), ListView::lvwTile);
  k.LineOddColor(RGB(1, 1, 1));  // nothing is painted while they are off
  EXPECT_TRUE(lv.Picture()->IsEmpty());
}

// Painted again when the colours change and when check boxes, column reordering or small icons
// are set; not when the control is resized, the font changes or rows are added.
TEST_F(Stripes, PaintedAgainOnlyWhereTheRowHeightOrColoursAreSet) {
  k.Font(std::make_shared<StdFont>("MS Sans Serif", 6));
  AddRows(4);
  k.LineAltColor(true);
  const int32_t before = Band();
  ASSERT_LT(before, 17);
  k.Checkboxes(true);  // a check box makes the rows taller
  EXPECT_EQ(Band(), 17);

  PictureRef painted = lv.Picture();
  k.AllowColumnReorder(true);
  EXPECT_NE(lv.Picture(), painted);
  painted = lv.Picture();
  Size(7000, 3000);
  AddRows(2);
  k.Font(std::make_shared<StdFont>("MS Sans Serif", 12));
  EXPECT_EQ(lv.Picture(), painted);
  k.Checkboxes(false);
  EXPECT_EQ(Band(), lv.RowHeightPx());
  EXPECT_EQ(lv.Picture()->WidthPx(), std::lround(7000.0 / 15));
}

TEST_F(Stripes, AHostPictureShowsUntilTheStripesArePaintedAgain) {
  AddRows(2);
  k.LineAltColor(true);
  auto own = std::make_shared<StdPicture>(20, 20, RGB(10, 20, 30));
  k.Picture(own);
  EXPECT_EQ(lv.Picture(), own);
  k.LineOddColor(kOdd);
  EXPECT_NE(lv.Picture(), own);
  EXPECT_EQ(Band(), lv.RowHeightPx());
}

}  // namespace
}  // namespace tamarind::testing
