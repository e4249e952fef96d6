// The band above or below the list and the layout that gives the list the rest: the title bar,
// tabs at the top and at the bottom with their 50-twip overlap, resizing, the tab captions and the
// selected tab, the clicks a user makes on the title bar and the tabs; and the alternating row
// colours behind the list.

#include "PresentationFixture.h"

#include <cmath>

#include "platform/ImageList.h"
#include "platform/Picture.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class LayoutGeometry : public PresentationTest {};

TEST_F(LayoutGeometry, TheTitleBarTakesTheTopAndTheListTheRest) {
  Size(4000, 3000);
  k.TitleHeight(300);
  k.Titlebar(true);
  EXPECT_EQ(Box(k.TitleBarLabelControl()), (Boxes{0, 0, 4000, 300}));
  EXPECT_EQ(Box(lv), (Boxes{0, 300, 4000, 2700}));
  Size(5000, 2000);
  EXPECT_EQ(Box(k.TitleBarLabelControl()), (Boxes{0, 0, 5000, 300}));
  EXPECT_EQ(Box(lv), (Boxes{0, 300, 5000, 1700}));
  k.TitleHeight(450);  // a new height lays out again at once
  EXPECT_EQ(Box(lv), (Boxes{0, 450, 5000, 1550}));
  k.Titlebar(false);
  EXPECT_EQ(Box(lv), (Boxes{0, 0, 5000, 2000}));
}

// The list overlaps the strip by 50 twips, below it at the top, above it at the bottom.
TEST_F(LayoutGeometry, TabsOverlapTheListByFiftyTwipsAtTheTopOrTheBottom) {
  Size(4000, 3000);
  ASSERT_EQ(Strip().Height(), 400);
  k.Tabs(true);
  EXPECT_TRUE(Strip().Visible());
  EXPECT_EQ(Box(Strip()), (Boxes{0, 0, 4000, 400}));
  EXPECT_EQ(Box(lv), (Boxes{0, 350, 4000, 2650}));
  k.TabPlacement(tplaceBOTTOM);
  EXPECT_EQ(Box(Strip()), (Boxes{0, 2600, 4000, 400}));
  EXPECT_EQ(Box(lv), (Boxes{0, 0, 4000, 2650}));
  Size(6000, 2000);
  EXPECT_EQ(Box(Strip()), (Boxes{0, 1600, 6000, 400}));
  EXPECT_EQ(Box(lv), (Boxes{0, 0, 6000, 1650}));
  k.TabPlacement(tplaceTOP);
  EXPECT_EQ(Box(lv), (Boxes{0, 350, 6000, 1650}));
}

// The title bar wins while both are on: the strip is neither moved nor hidden.
TEST_F(LayoutGeometry, WithTitleBarAndTabsBothOnTheTitleBarLayoutApplies) {
  Size(4000, 3000);
  k.TitleHeight(300);
  k.Tabs(true);
  k.TabPlacement(tplaceBOTTOM);
  const Boxes stripBefore = Box(Strip());
  k.Titlebar(true);
  EXPECT_EQ(Box(lv), (Boxes{0, 300, 4000, 2700}));
  EXPECT_EQ(Box(Strip()), stripBefore);
  Size(4000, 2000);
  EXPECT_EQ(Box(lv), (Boxes{0, 300, 4000, 1700}));
  EXPECT_EQ(Box(Strip()), stripBefore);
}

// A picture that is centred or in a corner must be drawn again for the new size; a tiled or
// top-left one stays where it is.
TEST_F(LayoutGeometry, AResizeRedrawsOnlyACentredOrCornerPicture) {
  k.Picture(std::make_shared<StdPicture>(10, 10, RGB(9, 9, 9)));
  k.PictureAlignment(4);  // centred
  int32_t refreshes = lv.RefreshCount();
  Size(5000, 3000);
  EXPECT_EQ(lv.RefreshCount(), refreshes + 1);
  k.PictureAlignment(ListView::lvwTile);
  refreshes = lv.RefreshCount();
  Size(5200, 3000);
  k.PictureAlignment(ListView::lvwTopLeft);
  Size(5400, 3000);
  EXPECT_EQ(lv.RefreshCount(), refreshes);
}

class TabsAndCaptions : public PresentationTest {};

TEST_F(TabsAndCaptions, CaptionsAreTrimmedAndReadBackJoinedByBars) {
  k.TabCaptions("A|B|C");
  EXPECT_EQ(Captions(), (Texts{"A", "B", "C"}));
  EXPECT_EQ(k.TabCaptions(), "A|B|C");
  k.TabCaptions(" A | B ");
  EXPECT_EQ(Captions(), (Texts{"A", "B"}));
  EXPECT_EQ(k.TabCaptions(), "A|B");
  k.TabCaptions("North||South|");  // empty captions make tabs too
  EXPECT_EQ(Captions(), (Texts{"North", "", "South", ""}));
  EXPECT_EQ(k.TabCaptions(), "North||South|");
  k.TabCaptions("|B");  // read back, an empty first caption adds nothing, not even its bar
  EXPECT_EQ(k.TabCaptions(), "B");
  k.TabCaptions("");
  EXPECT_TRUE(Captions().empty());
  EXPECT_EQ(k.TabCaptions(), "");
  EXPECT_EQ(k.SelectedTab(), 0);  // no tab to be selected: the error is passed over
}

TEST_F(TabsAndCaptions, SelectedTabSelectsAndReadsTheOneBasedIndex) {
  k.TabCaptions("Open|Shipped|Paid");
  EXPECT_EQ(k.SelectedTab(), 1);
  k.SelectedTab(2);
  EXPECT_EQ(k.SelectedTab(), 2);
  EXPECT_TRUE(Strip().Item(2).Selected());
  k.SelectedTab(4);  // out of range: nothing happens, no error
  k.SelectedTab(0);
  EXPECT_EQ(k.SelectedTab(), 2);
  k.TabCaptions("X|Y");  // new tabs: the first is selected
  EXPECT_EQ(k.SelectedTab(), 1);
}

TEST_F(TabsAndCaptions, StyleAndPlacementPassTheStripsErrorsToTheCaller) {
  EXPECT_EQ(ErrorNumberOf([&] { k.TabStyle(static_cast<TabStyles>(7)); }), err::InvalidPropertyValue);
  EXPECT_EQ(k.TabStyle(), ts_TAB);
  EXPECT_THROW(k.TabPlacement(static_cast<TabPlacements>(-1)), Error);
  EXPECT_EQ(k.TabPlacement(), tplaceTOP);
  k.TabStyle(ts_BUTTON);
  k.TabPlacement(tplaceBOTTOM);
  EXPECT_EQ(Strip().Style(), ts_BUTTON);
  EXPECT_EQ(Strip().Placement(), tplaceBOTTOM);
}

class BandClicksByTheUser : public PresentationTest {};

// Every button released over the title bar is reported, and a click on a tab not yet selected with
// its index; a host writing into TabIndex changes nothing. Hidden, neither can be clicked.
TEST_F(BandClicksByTheUser, TitleBarAndTabClicksAreReportedWhileShown) {
  k.Titlebar(true);
  user.Click(k.TitleBarLabelControl());
  user.Click(k.TitleBarLabelControl(), vbRightButton);
  k.Titlebar(false);
  user.Click(k.TitleBarLabelControl());
  k.TabCaptions("Open|Shipped|Paid");
  k.Tabs(true);
  user.ClickTab(Strip(), 3);
  user.ClickTab(Strip(), 2);
  EXPECT_EQ(k.SelectedTab(), 2);
  user.ClickTab(Strip(), 2);
  host.answerTabIndex = 1;
  user.ClickTab(Strip(), 3);
  EXPECT_EQ(k.SelectedTab(), 3);
  k.Tabs(false);
  user.ClickTab(Strip(), 1);
  EXPECT_EQ(host.log, (Texts{"TitleBarClick 1", "TitleBarClick 2", "TabClick 3", "TabClick 2", "TabClick 3"}));
}

// --- alternating row colours: a picture two rows high tiled behind the list, the odd rows' colour
// over the even rows', its band as high as a row of the list (or, on an empty list, as a line of
// text plus a pixel, or a small icon plus a pixel), and the moments it is painted again ----------------


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

// On an empty list: the letter W's height plus a pixel, or small icons' when they are taller; an
// estimate until the next painting finds a row.
TEST_F(Stripes, AnEmptyListUsesTheTallerOfTheLetterAndTheSmallIconsPlusOnePixel) {
  k.LineAltColor(true);
  EXPECT_EQ(Band(), TextHeightPx() + 1);
  EXPECT_NE(Band(), lv.RowHeightPx());
  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(16, 16, RGB(0, 0, 0)));
  ASSERT_LT(TextHeightPx() + 1, 16);
  k.SmallIcons(icons);  // paints again
  EXPECT_EQ(Band(), 17);
  k.Font(std::make_shared<StdFont>("MS Sans Serif", 14));
  k.LineOddColor(kOdd);
  EXPECT_EQ(Band(), TextHeightPx() + 1);  // now the text is the taller
  AddRows(2);
  k.LineEvenColor(kEven);  // painted again: now from the first row
  EXPECT_EQ(Band(), lv.RowHeightPx());
}

TEST_F(Stripes, TurningThemOffRemovesThePictureAndAHostPictureShowsUntilTheNextPainting) {
  AddRows(3);
  k.LineAltColor(true);
  auto own = std::make_shared<StdPicture>(20, 20, RGB(10, 20, 30));
  k.Picture(own);
  EXPECT_EQ(lv.Picture(), own);
  k.LineOddColor(kOdd);
  EXPECT_EQ(Band(), lv.RowHeightPx());
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

}  // namespace
}  // namespace tamarind::testing
