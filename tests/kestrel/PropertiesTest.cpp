// The property surface: member-backed properties, their side effects and the layout they drive.

#include <gtest/gtest.h>

#include <functional>

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

// An empty list has no row to measure: a band is the letter height of the list's font plus one
// pixel (Verdana 8.25 is 13 pixels high on this desktop), or a small icon plus one pixel when the
// icons are taller.
TEST_F(Properties, StripesOfAnEmptyListAreTheLetterHeightPlusOnePixel) {
  k.LineOddColor(RGB(255, 0, 0));
  k.LineEvenColor(RGB(0, 0, 255));
  k.LineAltColor(true);
  PictureRef stripes = k.Picture();
  ASSERT_FALSE(stripes->IsEmpty());
  EXPECT_EQ(stripes->HeightPx(), 2 * 14);
  EXPECT_EQ(stripes->Pixel(0, 13), RGB(255, 0, 0));
  EXPECT_EQ(stripes->Pixel(0, 14), RGB(0, 0, 255));
  k.ListViewControl().Font(std::make_shared<StdFont>("Verdana", 20));  // 32-pixel lines
  k.LineAltColor(true);
  EXPECT_EQ(k.Picture()->HeightPx(), 2 * 33);
  k.ListViewControl().Font(std::make_shared<StdFont>("Verdana", 8.25f));
  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(16, 16));
  k.SmallIcons(icons);  // repaints: 16-pixel icons are taller than 14
  EXPECT_EQ(k.Picture()->HeightPx(), 2 * 17);
  auto small = std::make_shared<ImageList>();
  small->Add(std::make_shared<StdPicture>(8, 8));
  k.SmallIcons(small);  // 8-pixel icons: the letter decides again
  EXPECT_EQ(k.Picture()->HeightPx(), 2 * 14);
}

// Each property tells the container its own name (the title bar flag its saved name), once, and
// the properties that set others tell theirs too.
TEST_F(Properties, EveryPropertyReportsItsNameToTheContainer) {
  const auto font = std::make_shared<StdFont>("Tahoma", 9);
  const auto icons = std::make_shared<ImageList>();
  const auto picture = std::make_shared<StdPicture>(4, 4);
  int32_t lines = 9;
  const std::vector<std::pair<std::vector<std::string>, std::function<void()>>> cases = {
      {{"BackColor"}, [&] { k.BackColor(1); }},
      {{"ForeColor"}, [&] { k.ForeColor(1); }},
      {{"Font"}, [&] { k.Font(font); }},
      {{"FontBold"}, [&] { k.FontBold(true); }},
      {{"FontItalic"}, [&] { k.FontItalic(true); }},
      {{"FontStrikethru"}, [&] { k.FontStrikethru(true); }},
      {{"FontUnderline"}, [&] { k.FontUnderline(true); }},
      {{"FontName"}, [&] { k.FontName("Arial"); }},
      {{"FontSize"}, [&] { k.FontSize(10); }},
      {{"BorderStyle"}, [&] { k.BorderStyle(0); }},
      {{"Appearance"}, [&] { k.Appearance(0); }},
      {{"Enabled"}, [&] { k.Enabled(false); }},
      {{"Arrange"}, [&] { k.Arrange(1); }},
      {{"HideColumnHeaders"}, [&] { k.HideColumnHeaders(true); }},
      {{"HideSelection"}, [&] { k.HideSelection(false); }},
      {{"LabelWrap"}, [&] { k.LabelWrap(false); }},
      {{"FullRowSelect"}, [&] { k.FullRowSelect(true); }},
      {{"GridLines"}, [&] { k.GridLines(true); }},
      {{"PictureAlignment"}, [&] { k.PictureAlignment(1); }},
      {{"Sorted"}, [&] { k.Sorted(true); }},
      {{"SortKey"}, [&] { k.SortKey(1); }},
      {{"SortOrder"}, [&] { k.SortOrder(1); }},
      {{"View"}, [&] { k.View(2); }},
      {{"MultiSelect"}, [&] { k.MultiSelect(true); }},
      {{"OLEDragMode"}, [&] { k.OLEDragMode(1); }},
      {{"OLEDropMode"}, [&] { k.OLEDropMode(1); }},
      {{"Checkboxes"}, [&] { k.Checkboxes(true); }},
      {{"AllowColumnReorder"}, [&] { k.AllowColumnReorder(true); }},
      {{"Icons"}, [&] { k.Icons(icons); }},
      {{"SmallIcons"}, [&] { k.SmallIcons(icons); }},
      {{"ColumnHeaderIcons"}, [&] { k.ColumnHeaderIcons(icons); }},
      {{"Picture"}, [&] { k.Picture(picture); }},
      {{"Text"}, [&] { k.Text("t"); }},
      {{"PasswordChar"}, [&] { k.PasswordChar("*"); }},
      {{"SelText"}, [&] { k.SelText("s"); }},
      {{"SelStart"}, [&] { k.SelStart(1); }},
      {{"SelLength"}, [&] { k.SelLength(1); }},
      {{"RightToLeft"}, [&] { k.RightToLeft(true); }},
      {{"DropDownText"}, [&] { k.DropDownText("d"); }},
      {{"ListIndex"}, [&] { k.ListIndex(0); }},
      {{"List"}, [&] { k.List(0, "first"); }},
      {{"ItemData"}, [&] { k.ItemData(0, 7); }},
      {{"DropWidth"}, [&] { k.DropWidth(100); }},
      {{"DropLines"}, [&] { k.DropLines(lines); }},
      {{"DropDelay"}, [&] { k.DropDelay(50); }},
      {{"CalendarBackColor"}, [&] { k.CalendarBackColor(1); }},
      {{"CalendarForeColor"}, [&] { k.CalendarForeColor(1); }},
      {{"CalendarTitleBackColor"}, [&] { k.CalendarTitleBackColor(1); }},
      {{"CalendarTitleForeColor"}, [&] { k.CalendarTitleForeColor(1); }},
      {{"CalendarTrailingForeColor"}, [&] { k.CalendarTrailingForeColor(1); }},
      {{"TitleBar"}, [&] { k.Titlebar(true); }},
      {{"TitleCaption"}, [&] { k.TitleCaption("c"); }},
      {{"TitleHeight"}, [&] { k.TitleHeight(400); }},
      {{"TitleBackColor"}, [&] { k.TitleBackColor(1); }},
      {{"TitleForeColor"}, [&] { k.TitleForeColor(1); }},
      {{"TitleFont"}, [&] { k.TitleFont(font); }},
      {{"Tabs"}, [&] { k.Tabs(true); }},
      {{"TabCaptions"}, [&] { k.TabCaptions("A|B"); }},
      {{"TabStyle"}, [&] { k.TabStyle(ts_BUTTON); }},
      {{"TabPlacement"}, [&] { k.TabPlacement(tplaceBOTTOM); }},
      {{"LineEvenColor"}, [&] { k.LineEvenColor(1); }},
      {{"LineOddColor"}, [&] { k.LineOddColor(1); }},
      {{"LineAltColor"}, [&] { k.LineAltColor(true); }},
      {{"AutoSort"}, [&] { k.AutoSort(false); }},
      {{"SmartColumnSort", "AutoSort", "Sorted"}, [&] { k.SmartColumnSort(true); }},
      {{"SortArrows"}, [&] { k.SortArrows(true); }},
      {{"SortArrowSize"}, [&] { k.SortArrowSize(16); }},
      {{"SortArrowUpPicture"}, [&] { k.SortArrowUpPicture(picture); }},
      {{"SortArrowDownPicture"}, [&] { k.SortArrowDownPicture(picture); }},
      {{"PlaySounds"}, [&] { k.PlaySounds(true); }},
      {{"ColOrderAppName"}, [&] { k.ColOrderAppName("App"); }},
      {{"ColOrderSettingName"}, [&] { k.ColOrderSettingName("Main"); }},
      {{"PrintingReportHeader"}, [&] { k.PrintingReportHeader("Report"); }},
      {{"SubItemClicked"}, [&] { k.SubItemClicked(1); }},
  };
  k.AddItem("only");
  for (const auto& [names, set] : cases) {
    d.form.ClearPropertyChanges();
    set();
    EXPECT_EQ(d.form.PropertyChanges(), names) << names.front();
  }
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
  EXPECT_EQ(ErrorNumberOf([&] { k.SubItemClicked(2); }), err::SetNotPermitted);
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
  const TabStrip& strip = *FindControl<TabStrip>(k, "TabCTL");
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
  const TabStrip& strip = *FindControl<TabStrip>(k, "TabCTL");
  EXPECT_EQ(strip.Count(), 3);
  EXPECT_EQ(k.TabCaptions(), "A|B|C");
  k.TabCaptions(" A | B ");
  EXPECT_EQ(k.TabCaptions(), "A|B");
  k.TabCaptions("A|");  // a trailing bar gives an empty last tab
  EXPECT_EQ(strip.Count(), 2);
  EXPECT_EQ(k.TabCaptions(), "A|");
  k.TabCaptions("|B");  // an empty first caption adds nothing, not even its bar
  EXPECT_EQ(k.TabCaptions(), "B");
  k.TabCaptions("");
  EXPECT_EQ(strip.Count(), 0);
}

TEST_F(Properties, SortArrowsShowTheSortedColumnsArrowAndGoAway) {
  for (const char* c : {"Name", "Qty", "City"}) k.ColumnHeaders().Add(0, {}, c);
  k.ColumnHeaders().Item(2)->Alignment(ColumnHeader::lvwColumnRight);
  k.SortKey(1);
  k.SortOrder(1);
  k.SortArrows(true);
  ExpectBuiltInArrows(k.ColumnHeaderIcons());
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
