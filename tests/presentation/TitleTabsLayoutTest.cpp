// The band above or below the list and the layout that gives the list the rest: the title bar,
// tabs at the top and at the bottom with their 50-twip overlap, resizing, the tab captions and the
// selected tab, and the clicks a user makes on the title bar and the tabs.

#include "PresentationFixture.h"
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

TEST_F(LayoutGeometry, TabsOnTopOverlapTheListByFiftyTwips) {
  Size(4000, 3000);
  ASSERT_EQ(Strip().Height(), 400);
  k.Tabs(true);
  EXPECT_EQ(Box(Strip()), (Boxes{0, 0, 4000, 400}));
  EXPECT_EQ(Box(lv), (Boxes{0, 350, 4000, 2650}));
  EXPECT_TRUE(Strip().Visible());
}

TEST_F(LayoutGeometry, TabsAtTheBottomLieUnderTheListsLowerEdge) {
  Size(4000, 3000);
  k.Tabs(true);
  k.TabPlacement(tplaceBOTTOM);
  EXPECT_EQ(Box(Strip()), (Boxes{0, 2600, 4000, 400}));
  EXPECT_EQ(Box(lv), (Boxes{0, 0, 4000, 2650}));  // covering the strip's top 50 twips
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
  EXPECT_TRUE(k.Tabs());
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

TEST_F(LayoutGeometry, EachBandPropertyTellsTheContainerItsName) {
  form.ClearPropertyChanges();
  k.Titlebar(true);
  k.TitleHeight(250);
  k.Tabs(true);
  k.TabStyle(ts_BUTTON);
  k.TabPlacement(tplaceBOTTOM);
  k.TabCaptions("A|B");
  EXPECT_EQ(form.PropertyChanges(), (Texts{"TitleBar", "TitleHeight", "Tabs", "TabStyle", "TabPlacement", "TabCaptions"}));
  EXPECT_EQ(Strip().Style(), ts_BUTTON);
  EXPECT_EQ(Strip().Placement(), tplaceBOTTOM);
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
  try {
    k.TabStyle(static_cast<TabStyles>(7));
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidPropertyValue);
  }
  EXPECT_EQ(k.TabStyle(), ts_TAB);
  EXPECT_THROW(k.TabPlacement(static_cast<TabPlacements>(-1)), Error);
  EXPECT_EQ(k.TabPlacement(), tplaceTOP);
}

class BandClicksByTheUser : public PresentationTest {};

TEST_F(BandClicksByTheUser, EveryButtonReleasedOverTheTitleBarIsReported) {
  k.Titlebar(true);
  user.Click(k.TitleBarLabelControl());
  user.Click(k.TitleBarLabelControl(), vbRightButton);
  EXPECT_EQ(host.log, (Texts{"TitleBarClick 1", "TitleBarClick 2"}));
  k.Titlebar(false);
  user.Click(k.TitleBarLabelControl());  // hidden: nothing to click
  EXPECT_EQ(host.log.size(), 2u);
}

TEST_F(BandClicksByTheUser, ClickingATabReportsItsIndexAndTheHostDecidesWhatItMeans) {
  k.TabCaptions("Open|Shipped|Paid");
  k.Tabs(true);
  user.ClickTab(Strip(), 3);
  user.ClickTab(Strip(), 2);
  EXPECT_EQ(host.log, (Texts{"TabClick 3", "TabClick 2"}));
  EXPECT_EQ(k.SelectedTab(), 2);
  user.ClickTab(Strip(), 2);  // the tab already selected: no change, no event
  EXPECT_EQ(host.log.size(), 2u);
  host.answerTabIndex = 1;  // a host writing into TabIndex changes nothing
  user.ClickTab(Strip(), 3);
  EXPECT_EQ(k.SelectedTab(), 3);
  k.Tabs(false);
  user.ClickTab(Strip(), 1);  // hidden: nothing to click
  EXPECT_EQ(host.log.size(), 3u);
}

}  // namespace
}  // namespace tamarind::testing
