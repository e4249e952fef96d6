// Saving and loading the control's design-time state.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

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

// Every key read from a bag that holds none: the read default reaches its destination. A loaded
// instance saved at once then writes only the two keys whose write default differs from the read
// default, the whole font they changed, and the list index, which an empty drop-down list cannot
// take.
TEST(DesignState, AnEmptyBagReadsEveryKeysDefault) {
  Desk d;
  PropertyBag empty;
  Kestrel& k = d.Place("K", &empty);
  const auto ambient = [](const FontRef& f) { return f->Name() == "MS Sans Serif" && f->Size() == 8.25f; };
  EXPECT_EQ(k.LineEvenColor(), 0x00FFFFFFu);
  EXPECT_EQ(k.LineOddColor(), 0x00FFFFFFu);
  EXPECT_FALSE(k.LineAltColor());
  EXPECT_EQ(k.BackColor(), vbWindowBackground);
  EXPECT_EQ(k.ForeColor(), vbWindowText);
  EXPECT_TRUE(k.Enabled());
  EXPECT_TRUE(ambient(k.ListViewControl().Font()));
  EXPECT_TRUE(ambient(k.ComboBoxControl().Font()));
  EXPECT_TRUE(ambient(k.CalendarControl().Font()));
  EXPECT_TRUE(ambient(k.TitleFont()));
  EXPECT_EQ(k.BorderStyle(), 1);
  EXPECT_EQ(k.Appearance(), 1);
  EXPECT_EQ(k.Arrange(), 0);
  EXPECT_FALSE(k.Checkboxes());
  EXPECT_FALSE(k.AllowColumnReorder());
  EXPECT_EQ(k.ColumnHeaderIcons(), nullptr);
  EXPECT_FALSE(k.FontBold());
  EXPECT_FALSE(k.FontItalic());
  EXPECT_EQ(k.FontName(), "Verdana");
  EXPECT_FLOAT_EQ(k.FontSize(), 8);
  EXPECT_FALSE(k.FontStrikethru());
  EXPECT_FALSE(k.FontUnderline());
  EXPECT_FALSE(k.FullRowSelect());
  EXPECT_FALSE(k.GridLines());
  EXPECT_FALSE(k.HideColumnHeaders());
  EXPECT_TRUE(k.HideSelection());
  EXPECT_EQ(k.Icons(), nullptr);
  EXPECT_EQ(k.PasswordChar(), "");
  EXPECT_TRUE(k.Picture()->IsEmpty());
  EXPECT_TRUE(k.SortArrowUpPicture()->IsEmpty());
  EXPECT_TRUE(k.SortArrowDownPicture()->IsEmpty());
  EXPECT_EQ(k.PictureAlignment(), 0);
  EXPECT_EQ(k.SelLength(), 0);
  EXPECT_EQ(k.SelStart(), 0);
  EXPECT_EQ(k.SelText(), "");
  EXPECT_EQ(k.SmallIcons(), nullptr);
  EXPECT_FALSE(k.Sorted());
  EXPECT_EQ(k.SortKey(), 0);
  EXPECT_EQ(k.SortOrder(), 0);
  EXPECT_EQ(k.Text(), "");
  EXPECT_EQ(k.View(), ListView::lvwIcon);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(k.ColOrderAppName(), "");
  EXPECT_EQ(k.ColOrderSettingName(), "");
  EXPECT_EQ(k.DropDownText(), "cboBOX");
  EXPECT_FALSE(k.AutoSort());
  EXPECT_EQ(k.CalendarTrailingForeColor(), vbGrayText);
  EXPECT_EQ(k.CalendarTitleForeColor(), vbButtonText);
  EXPECT_EQ(k.CalendarTitleBackColor(), vbButtonFace);
  EXPECT_EQ(k.CalendarForeColor(), vbButtonText);
  EXPECT_EQ(k.CalendarBackColor(), vbWindowBackground);
  EXPECT_FALSE(k.SmartColumnSort());
  EXPECT_FALSE(k.Titlebar());
  EXPECT_EQ(k.TitleCaption(), "Title");
  EXPECT_EQ(k.TitleHeight(), 210);
  EXPECT_EQ(k.TitleBackColor(), vbButtonFace);
  EXPECT_EQ(k.TitleForeColor(), vbButtonText);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_FALSE(k.MultiSelect());
  EXPECT_EQ(k.DropWidth(), -1);
  EXPECT_EQ(k.DropLines(), 8);
  EXPECT_EQ(k.DropDelay(), 100);
  EXPECT_FALSE(k.SortArrows());
  EXPECT_EQ(k.OLEDropMode(), 0);
  EXPECT_EQ(k.OLEDragMode(), 0);
  EXPECT_TRUE(k.LabelWrap());
  EXPECT_FALSE(k.Tabs());
  EXPECT_EQ(k.TabCaptions(), "Tab 1|Tab 2|Tab 3");
  EXPECT_EQ(k.TabStyle(), ts_TAB);
  EXPECT_EQ(k.TabPlacement(), tplaceTOP);
  EXPECT_FALSE(k.RightToLeft());
  EXPECT_EQ(k.SortArrowSize(), 12);
  EXPECT_EQ(k.PrintingReportHeader(), "");

  std::vector<std::string> written;
  const PropertyBag saved = d.form.Save(k);
  for (const auto& [name, value] : saved.Entries()) written.push_back(name);
  EXPECT_EQ(written, (std::vector<std::string>{"Font", "FontName", "FontSize", "ListIndex"}));
}

// A new instance (no saved state) starts from its design-time settings and zero members, not
// from the read defaults.
TEST(DesignState, ANewInstanceStartsFromItsDesignTimeSettings) {
  Desk d;
  Kestrel& k = d.Place();
  EXPECT_EQ(k.View(), ListView::lvwReport);
  EXPECT_FALSE(k.PlaySounds());
  EXPECT_FALSE(k.AutoSort());
  EXPECT_FALSE(k.SmartColumnSort());
  EXPECT_FALSE(k.SortArrows());
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(k.DropWidth(), 0);
  EXPECT_EQ(k.DropLines(), 0);
  EXPECT_EQ(k.DropDelay(), 0);
  EXPECT_EQ(k.LineEvenColor(), 0u);
  EXPECT_EQ(k.LineOddColor(), 0u);
  EXPECT_FALSE(k.LineAltColor());
  EXPECT_EQ(k.SortArrowSize(), 0);
  EXPECT_EQ(k.FontName(), "Verdana");
  EXPECT_FLOAT_EQ(k.FontSize(), 8.25f);
  EXPECT_EQ(k.ListViewControl().Font()->Name(), "Verdana");
  EXPECT_EQ(k.CommandButtonControl().Font()->Size(), 6);
  EXPECT_EQ(k.CommandButtonControl().Caption(), "...");
  EXPECT_EQ(k.TitleCaption(), "Title");
  EXPECT_EQ(k.TitleHeight(), 210);
  EXPECT_EQ(k.DropDownText(), "cboBOX");
  EXPECT_EQ(k.TabCaptions(), "Tab 1|Tab 2|Tab 3");
  EXPECT_FALSE(k.Titlebar());
  EXPECT_FALSE(k.Tabs());
  EXPECT_EQ(k.ListIndex(), -1);
  for (const char* hidden : {"txtBOX", "SPINNER", "cboBOX", "cboDATE", "cmdBUTTON", "txtSEL", "lblTITLE", "TabCTL"})
    EXPECT_FALSE(FindControl(k, hidden)->Visible()) << hidden;
  EXPECT_TRUE(k.ListViewControl().Visible());
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
  ExpectBuiltInArrows(back.ColumnHeaderIcons());
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

// Form files built to hurt: numbers that fit no property, sizes no screen has. The reader refuses
// what cannot reach its property, naming the line; what it accepts loads, and saves to what loads
// back the same.
std::string KestrelForm(const std::string& begin, const std::string& property) {
  return "TAMARIND-FORM 1\nForm \"F\"\n" + begin + "\n  " + property + "\nEnd\nEndForm\n";
}
const std::string kKestrelBegin = "Begin Kestrel \"K1\" 0 0 6000 4000";

TEST(DesignState, HostileFormFilesAreRefusedAtTheLineThatCannotBeLoaded) {
  for (const char* property :
       {"\"TitleHeight\" = Long 2147483647", "\"TitleHeight\" = Long -1", "\"LineEvenColor\" = Double 1e10",
        "\"BackColor\" = String \"red\"", "\"BorderStyle\" = Long 40000", "\"DropLines\" = Double 3e9",
        "\"FontSize\" = Single 0.00001", "\"Font\" = Nothing", "\"PlaySounds\" = String \"often\"",
        "\"SmallIcons\" = Font \"Verdana\" 8 400 0 0 0 0", "\"TitleCaption\" = Null"}) {
    try {
      FormFile::Parse(KestrelForm(kKestrelBegin, property));
      ADD_FAILURE() << "accepted " << property;
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), err::InvalidPropertyValue);
      EXPECT_NE(e.Description().find("line 4: the property"), std::string::npos) << e.Description();
    }
  }
  // Each key's own limits are still inside: the largest title height, the widest colours.
  for (const char* property : {"\"TitleHeight\" = Long 16777216", "\"LineEvenColor\" = Double 4294967295",
                               "\"LineOddColor\" = Long -2147483648", "\"FontSize\" = Single 0.0001",
                               "\"PlaySounds\" = String \"True\"", "\"Unknown\" = Double 1e300"})
    EXPECT_NO_THROW(FormFile::Parse(KestrelForm(kKestrelBegin, property))) << property;
}

// A bag a host builds itself is not checked by any reader: loading drops what does not fit, and
// nothing it holds reaches a conversion that could misbehave.
TEST(DesignState, ValuesThatFitNoPropertyAreDroppedWhenABagIsLoaded) {
  Desk d;
  PropertyBag bag;
  bag.Store("TitleHeight", Variant(int32_t{2147483647}));
  bag.Store("LineEvenColor", Variant(std::numeric_limits<double>::quiet_NaN()));
  bag.Store("LineOddColor", Variant(-std::numeric_limits<double>::infinity()));
  bag.Store("BackColor", Variant(1e300));
  bag.Store("FontSize", Variant(0.00001f));
  bag.Store("DropLines", Variant(std::numeric_limits<double>::quiet_NaN()));
  bag.Store("TitleCaption", Variant("kept"));
  Kestrel& k = d.Place("K", &bag);
  EXPECT_EQ(k.TitleHeight(), 210);           // the label's design-time height
  EXPECT_EQ(k.LineEvenColor(), 0u);          // the members stay at zero
  EXPECT_EQ(k.LineOddColor(), 0u);
  EXPECT_EQ(k.BackColor(), vbWindowBackground);
  EXPECT_FLOAT_EQ(k.FontSize(), 8.25f);
  EXPECT_EQ(k.DropLines(), 0);
  EXPECT_EQ(k.TitleCaption(), "kept");
  Kestrel& again = d.Reload(k);  // and what it saves loads the same
  EXPECT_EQ(again.TitleHeight(), 210);
  EXPECT_FLOAT_EQ(again.FontSize(), 8.25f);
  // The property refuses what the file refuses.
  k.TitleHeight(2147483647);
  EXPECT_EQ(k.TitleHeight(), 210);
  k.TitleHeight(Kestrel::kMaxTitleHeight);
  EXPECT_EQ(k.TitleHeight(), Kestrel::kMaxTitleHeight);
}

// A Kestrel a billion twips wide loaded from a saved form holding the given property lines, on
// the desk's form, which is then shown.
Kestrel& ShownFromFormText(Desk& d, const std::string& properties) {
  const FormFile file = FormFile::Parse("TAMARIND-FORM 1\nForm \"F\"\nBegin Kestrel \"K1\" 0 0 1e9 4000\n" +
                                        properties + "End\nEndForm\n");
  const SavedControl& c = file.controls[0];
  Kestrel& k = d.form.Add<Kestrel>(c.name, c.left, c.top, c.width, c.height, &c.properties);
  d.form.Show();
  return k;
}

// A list far wider than any screen, a small-icon list of the tallest images: the alternating
// colours paint a picture no larger than they need, or fall back to the plain background.
TEST(DesignState, HugeSizesFromAFileNeverExhaustMemory) {
  Desk d;
  // Showing paints the stripes: an empty list with 32768-pixel icons has 32769-pixel bands.
  Kestrel& k = ShownFromFormText(d, "  \"LineAltColor\" = Boolean True\n  \"LineOddColor\" = Long 255\n"
                                    "  \"SmallIcons\" = ImageList 1 32768 0 1 0\n");
  EXPECT_TRUE(k.Picture()->IsEmpty());  // too large to paint: the plain background
  k.SmallIcons(nullptr);                // a normal row height: the stripes are painted, as a tile
  const PictureRef stripes = k.Picture();
  ASSERT_FALSE(stripes->IsEmpty());
  EXPECT_GE(stripes->WidthPx(), 1920);  // wider than an ordinary screen, far narrower than the list
  EXPECT_LE(int64_t{stripes->WidthPx()} * stripes->HeightPx(), int64_t{1} << 16);
  EXPECT_EQ(stripes->Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_FLOAT_EQ(k.ListViewControl().Width(), 1e9f);  // the list keeps its width
}

// A short saved form whose list is a billion twips wide with 2,768-pixel rows once took minutes to
// load: the stripes' picture grew with the list's width times the row height, and went into every
// save. The bands keep the row height exactly; the tile gets narrower, so the picture, and each save
// and load of the form, stay small whatever the sizes say.
TEST(DesignState, TallRowsOnAHugeListPaintANarrowTileOfTheRowHeight) {
  Desk d;
  Kestrel& k = ShownFromFormText(d, "  \"LineAltColor\" = Boolean True\n  \"LineOddColor\" = Long 255\n"
                                    "  \"LineEvenColor\" = Long 65280\n"
                                    "  \"SmallIcons\" = ImageList 3 02768 0 1 0\n");
  const PictureRef stripes = k.Picture();
  ASSERT_FALSE(stripes->IsEmpty());
  const int32_t band = 2769;  // the icon height plus one pixel
  ASSERT_EQ(stripes->HeightPx(), 2 * band);
  EXPECT_LE(int64_t{stripes->WidthPx()} * stripes->HeightPx(), int64_t{1} << 16);
  const int32_t right = stripes->WidthPx() - 1;
  for (int32_t x : {0, right}) {
    EXPECT_EQ(stripes->Pixel(x, band - 1), RGB(255, 0, 0));
    EXPECT_EQ(stripes->Pixel(x, band), RGB(0, 255, 0));
    EXPECT_EQ(stripes->Pixel(x, 2 * band - 1), RGB(0, 255, 0));
  }
  // What the form saves holds that small picture, and loads again to the same bands.
  const std::string saved = d.form.SaveForm().Serialize();
  EXPECT_LT(saved.size(), size_t{1} << 20);
  const FormFile again = FormFile::Parse(saved);
  Kestrel& back = d.form.Add<Kestrel>("K2", 0, 0, 1e9f, 4000, &again.controls[0].properties);
  EXPECT_TRUE(back.Picture()->SamePixels(*stripes));
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
  EXPECT_EQ(ErrorNumberOf([&] { FormFile::Load(path); }), err::InvalidPropertyValue);
  EXPECT_EQ(k.TitleCaption(), "kept");
}

}  // namespace
}  // namespace tamarind::testing
