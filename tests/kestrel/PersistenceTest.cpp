// Saving and loading the control's design-time state.

#include <gtest/gtest.h>

#include <fstream>

#include "KestrelFixture.h"
#include "platform/ImageList.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {
namespace {

using namespace platform;

TEST(DesignState, ANewInstanceSavedAtOnceKeepsItsZeroValues) {
  Desk d;
  Kestrel& fresh = d.Place();
  const PropertyBag bag = d.form.Save(fresh);
  // They differ from the saved defaults, so they are written and come back.
  EXPECT_FALSE(bag.ReadProperty("PlaySounds").AsBoolean());
  Kestrel& back = d.Place("K2", &bag);
  EXPECT_FALSE(back.PlaySounds());
  EXPECT_EQ(back.DropLines(), 0);
  EXPECT_EQ(back.LineOddColor(), 0u);
  EXPECT_EQ(back.SortArrowSize(), 0);
  // An empty bag is a saved instance with every key absent: the read defaults apply.
  PropertyBag empty;
  Kestrel& defaults = d.Place("K3", &empty);
  EXPECT_TRUE(defaults.PlaySounds());
  EXPECT_EQ(defaults.DropLines(), 8);
  EXPECT_EQ(defaults.View(), ListView::lvwIcon);  // the read default, unlike a new instance's report view
}

TEST(DesignState, TheTitleBarFlagIsWrittenTitleBarAndReadTitlebar) {
  Desk d;
  Kestrel& k = d.Place();
  k.Titlebar(true);
  const PropertyBag bag = d.form.Save(k);
  ASSERT_EQ(bag.Entries().end(), std::find_if(bag.Entries().begin(), bag.Entries().end(),
                                              [](const auto& e) { return e.first == "Titlebar"; }));
  EXPECT_TRUE(bag.Contains("TitleBar"));
  EXPECT_TRUE(d.Place("K2", &bag).Titlebar());
}

TEST(DesignState, SavedValuesReachOnlyTheirLoadingDestination) {
  Desk d;
  Kestrel& k = d.Place();
  k.ForeColor(RGB(200, 0, 0));  // reaches the text box, the combo box and the list
  k.BorderStyle(0);             // the list and the text box
  k.Appearance(0);              // the list, the text box and the combo box
  Kestrel& back = d.Reload(k);
  EXPECT_EQ(back.TextBoxControl().ForeColor(), RGB(200, 0, 0));
  EXPECT_EQ(back.ListViewControl().ForeColor(), vbWindowText);  // design-time colour
  EXPECT_EQ(back.ComboBoxControl().ForeColor(), vbWindowText);
  EXPECT_EQ(back.ListViewControl().BorderStyle(), 0);
  EXPECT_EQ(back.TextBoxControl().BorderStyle(), 1);
  EXPECT_EQ(back.ListViewControl().Appearance(), 0);
  EXPECT_EQ(back.ComboBoxControl().Appearance(), 1);
  // The whole font reaches the four controls; the single attributes only the text box.
  PropertyBag bag;
  bag.Store("Font", Variant(std::make_shared<StdFont>("Tahoma", 10)));
  bag.Store("FontBold", Variant(true));
  bag.Store("FontName", Variant("Courier New"));
  Kestrel& third = d.Place("K3", &bag);
  EXPECT_TRUE(third.TextBoxControl().Font()->Bold());
  EXPECT_EQ(third.TextBoxControl().Font()->Name(), "Courier New");
  EXPECT_FALSE(third.ComboBoxControl().Font()->Bold());
  EXPECT_EQ(third.ComboBoxControl().Font()->Name(), "Tahoma");
}

TEST(DesignState, FontNameAndSizeAreStoredExplicitly) {
  Desk d;
  Kestrel& k = d.Place();
  ASSERT_EQ(k.FontName(), "Verdana");
  k.FontSize(8);
  const PropertyBag bag = d.form.Save(k);
  EXPECT_EQ(bag.ReadProperty("FontName").AsString(), "Verdana");
  EXPECT_FLOAT_EQ(CSng(bag.ReadProperty("FontSize")), 8);
  PropertyBag noFont;
  noFont.Store("Font", Variant(std::make_shared<StdFont>("Arial", 12)));  // the whole font, then the parts
  Kestrel& back = d.Place("K2", &noFont);
  EXPECT_EQ(back.FontName(), "Verdana");  // absent keys: the read defaults
  EXPECT_FLOAT_EQ(back.FontSize(), 8);
  EXPECT_EQ(back.ListViewControl().Font()->Name(), "Arial");
}

TEST(DesignState, LoadedSortArrowsSetOnlyTheFlag) {
  Desk d;
  PropertyBag bag;
  bag.Store("SortArrows", Variant(true));
  Kestrel& back = d.Place("K1", &bag);
  EXPECT_TRUE(back.SortArrows());
  EXPECT_EQ(back.ColumnHeaderIcons(), nullptr);
  back.ColumnHeaders().Add(0, {}, "A");
  back.SortArrows(true);  // assigning it binds the arrows
  EXPECT_EQ(back.ColumnHeaderIcons(), back.State().imgHEADER);
}

TEST(DesignState, RightToLeftMirrorsTheListOnlyWhenLoaded) {
  Desk d;
  Kestrel& k = d.Place();
  auto& wm = d.tk.Windows();
  auto mirrored = [&](HWND h) { return (wm.GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
  k.RightToLeft(true);
  EXPECT_TRUE(k.TextBoxControl().RightToLeft());
  EXPECT_TRUE(k.ComboBoxControl().RightToLeft());
  EXPECT_FALSE(mirrored(k.ListViewhWnd()));  // at run time only the editors
  Kestrel& back = d.Reload(k);
  const HWND header = wm.GetWindow(back.ListViewhWnd(), GW_CHILD);
  EXPECT_TRUE(mirrored(back.ListViewhWnd()));
  EXPECT_TRUE(mirrored(header));
  back.RightToLeft(false);  // nothing clears the mirroring again
  EXPECT_TRUE(mirrored(back.ListViewhWnd()));
}

TEST(DesignState, EveryKindOfValueSurvivesTheFormFile) {
  Desk d;
  Kestrel& k = d.Place();
  k.TitleCaption("Orders\r\nDecember «Q4» \"✓\" ");
  k.LineEvenColor(vbButtonFace);
  k.TitleHeight(360);
  k.TitleFont(std::make_shared<StdFont>("Georgia", 11.25f, true));
  auto up = std::make_shared<StdPicture>(9, 9, RGB(1, 2, 3));
  up->SetPixel(4, 4, RGB(255, 255, 0));
  k.SortArrowUpPicture(up);
  auto icons = std::make_shared<ImageList>();
  icons->Add(0, "doc", std::make_shared<StdPicture>(16, 16, RGB(0, 128, 255)));
  k.SmallIcons(icons);
  const std::string path = ::testing::TempDir() + "/kestrel-persist.frm";
  d.form.SaveToFile(path);
  const FormFile file = FormFile::Load(path);
  const SavedControl* saved = file.Find("K1");
  ASSERT_NE(saved, nullptr);
  Kestrel& back = d.Place("K2", &saved->properties);
  EXPECT_EQ(back.TitleCaption(), "Orders\r\nDecember «Q4» \"✓\" ");
  EXPECT_EQ(back.LineEvenColor(), vbButtonFace);
  EXPECT_EQ(back.TitleHeight(), 360);
  EXPECT_EQ(back.TitleFont()->Name(), "Georgia");
  EXPECT_TRUE(back.TitleFont()->Bold());
  EXPECT_EQ(back.SortArrowUpPicture()->Pixel(4, 4), RGB(255, 255, 0));
  EXPECT_TRUE(back.SortArrowDownPicture()->IsEmpty());
  ASSERT_TRUE(back.SmallIcons());
  EXPECT_EQ(back.SmallIcons()->Item("doc").Picture->Pixel(0, 0), RGB(0, 128, 255));
}

TEST(DesignState, ADamagedFormFileChangesNothing) {
  Desk d;
  Kestrel& k = d.Place();
  k.TitleCaption("kept");
  const std::string path = ::testing::TempDir() + "/kestrel-damaged.frm";
  d.form.SaveToFile(path);
  std::string text = d.form.SaveForm().Serialize();
  {
    std::ofstream out(path, std::ios::trunc);
    out << text.substr(0, text.size() * 2 / 3);  // cut short, as a crash while copying would
  }
  EXPECT_EQ(ErrorOf([&] { FormFile::Load(path); }), err::InvalidPropertyValue);
  EXPECT_EQ(k.TitleCaption(), "kept");
}

}  // namespace
}  // namespace tamarind::testing
