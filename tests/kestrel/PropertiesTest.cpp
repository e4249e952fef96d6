// The property surface: member-backed properties, their side effects and the layout they drive.

#include <gtest/gtest.h>

#include "KestrelFixture.h"
#include "control/BrowserDescriptions.h"
#include "platform/ImageList.h"
#include "platform/Messages.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class Properties : public ::testing::Test {
 protected:
  Desk d;
  Kestrel& k = d.Place();
};

TEST_F(Properties, SmartColumnSortTurnsAutoSortAndSortedOnButNotOff) {
  k.SmartColumnSort(true);
  EXPECT_TRUE(k.AutoSort());
  EXPECT_TRUE(k.Sorted());
  k.SmartColumnSort(false);
  EXPECT_TRUE(k.AutoSort());
  EXPECT_TRUE(k.Sorted());
}

TEST_F(Properties, AlternatingColoursPaintTheListsPictureAndTurningThemOffClearsIt) {
  k.ColumnHeaders().Add(0, {}, "A");
  k.ListItems().Add(0, {}, "row");
  k.LineOddColor(RGB(255, 0, 0));
  k.LineEvenColor(RGB(0, 0, 255));
  EXPECT_TRUE(k.Picture()->IsEmpty());  // nothing painted while the colours are off
  k.LineAltColor(true);
  const PictureRef stripes = k.Picture();
  ASSERT_FALSE(stripes->IsEmpty());
  EXPECT_EQ(k.PictureAlignment(), ListView::lvwTile);
  EXPECT_EQ(stripes->HeightPx(), 2 * 17);  // two rows of the list's real height
  EXPECT_EQ(stripes->Pixel(0, 16), RGB(255, 0, 0));
  EXPECT_EQ(stripes->Pixel(0, 17), RGB(0, 0, 255));
  k.LineAltColor(false);
  EXPECT_TRUE(k.Picture()->IsEmpty());
}

TEST_F(Properties, DropLinesBelowEightBecomeEightAlsoInTheCallersVariable) {
  int32_t lines = 3;
  k.DropLines(lines);
  EXPECT_EQ(lines, 8);
  EXPECT_EQ(k.DropLines(), 8);
  lines = 12;
  k.DropLines(lines);
  EXPECT_EQ(k.DropLines(), 12);
}

TEST_F(Properties, SubItemClickedCannotBeSetAtDesignTime) {
  d.form.SetUserMode(false);
  d.form.ClearPropertyChanges();
  EXPECT_EQ(ErrorOf([&] { k.SubItemClicked(2); }), err::SetNotPermitted);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_TRUE(d.form.PropertyChanges().empty());
  d.form.SetUserMode(true);
  k.SubItemClicked(2);
  EXPECT_EQ(k.SubItemClicked(), 2);
  EXPECT_EQ(d.form.PropertyChanges(), std::vector<std::string>{"SubItemClicked"});
}

TEST_F(Properties, TabsAndTitleLayTheListOut) {
  d.form.MoveControl(k, 0, 0, 4000, 3000);
  k.TitleHeight(300);
  k.Titlebar(true);
  const ListView& lv = k.ListViewControl();
  const Label& title = k.TitleBarLabelControl();
  EXPECT_EQ((std::vector<float>{title.Left(), title.Top(), title.Width()}), (std::vector<float>{0, 0, 4000}));
  EXPECT_EQ((std::vector<float>{lv.Left(), lv.Top(), lv.Width(), lv.Height()}), (std::vector<float>{0, 300, 4000, 2700}));
  k.Tabs(true);  // the title bar wins while both are on
  EXPECT_FLOAT_EQ(lv.Top(), 300);
  k.Titlebar(false);
  const TabStrip& strip = *k.State().TabCTL;
  ASSERT_FLOAT_EQ(strip.Height(), 400);
  EXPECT_EQ((std::vector<float>{strip.Left(), strip.Top(), strip.Width()}), (std::vector<float>{0, 0, 4000}));
  EXPECT_EQ((std::vector<float>{lv.Left(), lv.Top(), lv.Width(), lv.Height()}), (std::vector<float>{0, 350, 4000, 2650}));
  k.TabPlacement(tplaceBOTTOM);
  EXPECT_FLOAT_EQ(strip.Top(), 2600);
  EXPECT_EQ((std::vector<float>{lv.Top(), lv.Height()}), (std::vector<float>{0, 2650}));
  k.Tabs(false);
  EXPECT_EQ((std::vector<float>{lv.Top(), lv.Height()}), (std::vector<float>{0, 3000}));
}

TEST_F(Properties, TabCaptionsAreTrimmedAndReadBack) {
  k.TabCaptions("A|B|C");
  EXPECT_EQ(k.State().TabCTL->Count(), 3);
  EXPECT_EQ(k.TabCaptions(), "A|B|C");
  k.TabCaptions(" A | B ");
  EXPECT_EQ(k.TabCaptions(), "A|B");
  k.TabCaptions("A|");  // a trailing bar gives an empty last tab
  EXPECT_EQ(k.State().TabCTL->Count(), 2);
  EXPECT_EQ(k.TabCaptions(), "A|");
  k.TabCaptions("|B");  // an empty first caption adds nothing, not even its bar
  EXPECT_EQ(k.TabCaptions(), "B");
  k.TabCaptions("");
  EXPECT_EQ(k.State().TabCTL->Count(), 0);
}

TEST_F(Properties, SortArrowsShowTheSortedColumnsArrowAndGoAway) {
  for (const char* c : {"Name", "Qty", "City"}) k.ColumnHeaders().Add(0, {}, c);
  k.ColumnHeaders().Item(2)->Alignment(ColumnHeader::lvwColumnRight);
  k.SortKey(1);
  k.SortOrder(1);
  k.SortArrows(true);
  EXPECT_EQ(k.ColumnHeaderIcons(), k.State().imgHEADER);
  const ColumnHeader& qty = *k.ColumnHeaders().Item(2);
  EXPECT_EQ(qty.HeaderFormat(), 0x5801);  // string, image on the right, still right-aligned
  EXPECT_EQ(qty.HeaderImage(), 1);        // the down arrow for a descending sort
  EXPECT_EQ(k.ColumnHeaders().Item(1)->HeaderFormat(), 0x4000);
  k.SortArrows(false);
  EXPECT_EQ(k.ColumnHeaderIcons(), nullptr);
  EXPECT_EQ(qty.HeaderFormat() & HDF_IMAGE, 0);
}

TEST_F(Properties, LockWindowLocksAndLockWindowTrueUnlocks) {
  k.LockWindow();
  EXPECT_EQ(d.tk.Windows().LockedWindow(), k.hwnd());
  k.LockWindow(true);
  EXPECT_EQ(d.tk.Windows().LockedWindow(), 0);
}

TEST_F(Properties, ThePropertyBrowserHasTheDescriptions) {
  auto drop = DescribeKestrelMember("DropLines");
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->description, "Number of lines to view in the drop down list when displayed.  Minimum is 8");
  EXPECT_FALSE(DescribeKestrelMember("SubItemClicked")->browsable);
  EXPECT_FALSE(DescribeKestrelMember("NoSuchMember"));
  EXPECT_EQ(kKestrelDefaultEvent, "ItemClick");
}

}  // namespace
}  // namespace tamarind::testing
