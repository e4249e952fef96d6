// Saving and loading the control's design-time state.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <type_traits>

#include "KestrelFixture.h"
#include "platform/ImageList.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {
namespace {

using namespace platform;

// What a host reads back: numbers and enumerations as numbers, flags as True/False, fonts,
// pictures and image lists by what they show.
std::string Shown(bool v) { return v ? "True" : "False"; }
std::string Shown(const std::string& v) { return v; }
std::string Shown(const char* v) { return v; }
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>>>
std::string Shown(T v) {
  std::ostringstream out;
  out << static_cast<double>(v);
  return out.str();
}
std::string Shown(const FontRef& f) {
  return f ? f->Name() + " " + Shown(f->Size()) + (f->Bold() ? " bold" : "") : "Nothing";
}
std::string Shown(const PictureRef& p) {
  if (!p || p->IsEmpty()) return "Nothing";
  return Shown(p->WidthPx()) + "x" + Shown(p->HeightPx()) + " " + Shown(p->Pixel(0, 0));
}
std::string Shown(const ImageListRef& l) {
  return l ? Shown(l->Count()) + " of " + Shown(l->ImageWidth()) + " " + Shown(l->Item(1).Picture) : "Nothing";
}
FontRef Face(const char* name, float size, bool bold = false) { return std::make_shared<StdFont>(name, size, bold); }
PictureRef Pic(int32_t size, OLE_COLOR c) { return std::make_shared<StdPicture>(size, size, c); }
ImageListRef Images(OLE_COLOR c) {
  auto l = std::make_shared<ImageList>();
  l->Add(Pic(16, c));
  return l;
}

// One property of a family: its saved name, the names it reports to the container when set, how a
// host sets it away from its default and what a host reads back.
struct Prop {
  std::string key;
  std::vector<std::string> reported;
  std::function<void(Kestrel&)> set;
  std::function<std::string(Kestrel&)> get;
  std::string expected;
};
#define PROP_AS(name, key, value)                                                             \
  Prop { key, {key}, [](Kestrel& k) { k.name(value); }, [](Kestrel& k) { return Shown(k.name()); }, \
         Shown(value) }
#define PROP(name, value) PROP_AS(name, #name, value)

struct Family {
  const char* name;
  std::vector<Prop> props;
};
void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

// Each value of a family differs from the others, so a value read into or written from another
// property's place shows.
const Family kFamilies[] = {
    {"Colours",
     {PROP(BackColor, RGB(1, 0, 0)), PROP(ForeColor, RGB(2, 0, 0)), PROP(LineEvenColor, RGB(3, 0, 0)),
      PROP(LineOddColor, RGB(4, 0, 0)), PROP(CalendarBackColor, RGB(5, 0, 0)), PROP(CalendarForeColor, RGB(6, 0, 0)),
      PROP(CalendarTitleBackColor, RGB(7, 0, 0)), PROP(CalendarTitleForeColor, RGB(8, 0, 0)),
      PROP(CalendarTrailingForeColor, RGB(9, 0, 0)), PROP(TitleBackColor, RGB(10, 0, 0)),
      PROP(TitleForeColor, RGB(11, 0, 0))}},
    {"Flags",
     {Prop{"SmartColumnSort", {"SmartColumnSort", "AutoSort", "Sorted"}, [](Kestrel& k) { k.SmartColumnSort(true); },
           [](Kestrel& k) { return Shown(k.SmartColumnSort()); }, "True"},
      Prop{"AutoSort", {"AutoSort", "Sorted"}, [](Kestrel& k) { k.AutoSort(true); },
           [](Kestrel& k) { return Shown(k.AutoSort()); }, "True"},
      PROP(Sorted, true), PROP(LineAltColor, true), PROP(Enabled, false),
      PROP(Checkboxes, true), PROP(AllowColumnReorder, true), PROP(FontBold, true), PROP(FontItalic, true),
      PROP(FontStrikethru, true), PROP(FontUnderline, true), PROP(FullRowSelect, true), PROP(GridLines, true),
      PROP(HideColumnHeaders, true), PROP(HideSelection, false), PROP_AS(Titlebar, "TitleBar", true),
      PROP(PlaySounds, false), PROP(MultiSelect, true), PROP(SortArrows, true), PROP(LabelWrap, false),
      PROP(Tabs, true), PROP(RightToLeft, true)}},
    {"NumbersAndEnumerations",
     {PROP(BorderStyle, 0), PROP(Appearance, 0), PROP(Arrange, 2), PROP(PictureAlignment, 3), PROP(SortKey, 4),
      PROP(SortOrder, 1), PROP(View, 2), PROP(OLEDragMode, 1), PROP(OLEDropMode, 1), PROP(TabStyle, ts_BUTTON),
      PROP(TabPlacement, tplaceBOTTOM), PROP(DropWidth, 100), PROP(DropLines, 12), PROP(DropDelay, 50),
      PROP(TitleHeight, 400), PROP(SortArrowSize, 16), PROP(FontSize, 10.5f), PROP(SubItemClicked, 3)}},
    {"Texts",
     {PROP(Text, "typed"), PROP(PasswordChar, "*"), PROP(DropDownText, "Citrus"), PROP(ColOrderAppName, "Orders"),
      PROP(ColOrderSettingName, "Main"), PROP(TitleCaption, "Orders\r\nDecember «Q4» \"✓\" "),
      PROP(TabCaptions, "Open|Shipped"), PROP(PrintingReportHeader, "Stock"), PROP(FontName, "Georgia")}},
    {"FontsAndPictures",
     {PROP(Font, Face("Tahoma", 10)), PROP(TitleFont, Face("Georgia", 11.25f, true)), PROP(Picture, Pic(4, RGB(1, 2, 3))),
      PROP(SortArrowUpPicture, Pic(9, RGB(4, 5, 6))), PROP(SortArrowDownPicture, Pic(10, RGB(7, 8, 9))),
      PROP(Icons, Images(RGB(0, 0, 1))), PROP(SmallIcons, Images(RGB(0, 0, 2))),
      PROP(ColumnHeaderIcons, Images(RGB(0, 0, 3)))}},
};

class SavedFamily : public ::testing::TestWithParam<Family> {};

// On a control holding the read defaults, each property set away from its default reports its own
// saved name, once; the form file's text holds it under that name; and a new control loaded from
// it reads the value back.
TEST_P(SavedFamily, AChangedValueIsSavedUnderItsNameAndReadBackByANewControl) {
  Desk d;
  const PropertyBag defaults;
  Kestrel& k = d.Place("K1", &defaults);
  for (const Prop& p : GetParam().props) {
    d.form.ClearPropertyChanges();
    p.set(k);
    EXPECT_EQ(d.form.PropertyChanges(), p.reported) << p.key;
    EXPECT_EQ(p.get(k), p.expected) << p.key;
  }
  const FormFile file = FormFile::Parse(d.form.SaveForm().Serialize());
  const PropertyBag& saved = file.Find("K1")->properties;
  Kestrel& back = d.Place("K2", &saved);
  for (const Prop& p : GetParam().props) {
    EXPECT_TRUE(std::any_of(saved.Entries().begin(), saved.Entries().end(),
                            [&](const auto& e) { return e.first == p.key; }))
        << p.key << " is not saved under its name";
    EXPECT_EQ(p.get(back), p.expected) << p.key;
  }
}

INSTANTIATE_TEST_SUITE_P(Kestrel, SavedFamily, ::testing::ValuesIn(kFamilies),
                         [](const auto& family) { return std::string(family.param.name); });

// A new instance starts from its design-time settings and zero members and keeps them through a
// save; a saved instance with every key absent takes the read defaults, which are the defaults
// the save leaves out: loaded and saved at once it writes only the whole font it changed, the two
// font keys always stored, and the list index an empty drop-down list cannot take.
TEST(DesignState, NewAndLoadedInstancesStartFromTheirOwnDefaults) {
  Desk d;
  Kestrel& k = d.Place();
  EXPECT_EQ(k.View(), ListView::lvwReport);
  EXPECT_FALSE(k.PlaySounds());
  EXPECT_EQ(k.DropLines(), 0);
  EXPECT_EQ(k.FontName(), "Verdana");
  EXPECT_FLOAT_EQ(k.FontSize(), 8.25f);
  EXPECT_EQ(k.CommandButtonControl().Caption(), "...");
  EXPECT_EQ(k.TabCaptions(), "Tab 1|Tab 2|Tab 3");
  EXPECT_EQ(k.ListIndex(), -1);
  for (const char* hidden : {"txtBOX", "SPINNER", "cboBOX", "cboDATE", "cmdBUTTON", "txtSEL", "lblTITLE", "TabCTL"})
    EXPECT_FALSE(FindControl(k, hidden)->Visible()) << hidden;
  EXPECT_TRUE(k.ListViewControl().Visible());
  Kestrel& back = d.Reload(k);
  EXPECT_FALSE(back.PlaySounds());
  EXPECT_EQ(back.SortArrowSize(), 0);

  PropertyBag empty;
  Kestrel& loaded = d.Place("K3", &empty);
  EXPECT_EQ(loaded.View(), ListView::lvwIcon);
  EXPECT_TRUE(loaded.PlaySounds());
  EXPECT_EQ(loaded.DropLines(), 8);
  EXPECT_EQ(loaded.TitleFont()->Name(), "MS Sans Serif");
  Texts written;
  const PropertyBag resaved = d.form.Save(loaded);
  for (const auto& [name, value] : resaved.Entries()) written.push_back(name);
  EXPECT_EQ(written, (Texts{"Font", "FontName", "FontSize", "ListIndex"}));
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
  EXPECT_EQ(back.TextBoxControl().BorderStyle(), 1);
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

TEST(DesignState, LoadedSortArrowsSetOnlyTheFlag) {
  Desk d;
  PropertyBag bag;
  bag.Store("SortArrows", Variant(true));
  Kestrel& back = d.Place("K1", &bag);
  EXPECT_TRUE(back.SortArrows());
  EXPECT_EQ(back.ColumnHeaderIcons(), nullptr);  // no arrows bound until SortArrows is assigned
}

TEST(DesignState, RightToLeftMirrorsTheListOnlyWhenLoaded) {
  Desk d;
  Kestrel& k = d.Place();
  auto& wm = d.tk.Windows();
  auto mirrored = [&](HWND h) { return (wm.GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
  k.RightToLeft(true);
  EXPECT_TRUE(k.ComboBoxControl().RightToLeft());
  EXPECT_FALSE(mirrored(k.ListViewhWnd()));  // at run time only the editors
  Kestrel& back = d.Reload(k);
  const HWND header = wm.GetWindow(back.ListViewhWnd(), GW_CHILD);
  EXPECT_TRUE(mirrored(back.ListViewhWnd()));
  EXPECT_TRUE(mirrored(header));
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
  bag.Store("BackColor", Variant(-std::numeric_limits<double>::infinity()));
  bag.Store("FontSize", Variant(0.00001f));
  bag.Store("TitleCaption", Variant("kept"));
  Kestrel& k = d.Place("K", &bag);
  EXPECT_EQ(k.TitleHeight(), 210);           // the label's design-time height
  EXPECT_EQ(k.LineEvenColor(), 0u);          // the member stays at zero
  EXPECT_EQ(k.BackColor(), vbWindowBackground);
  EXPECT_FLOAT_EQ(k.FontSize(), 8.25f);
  EXPECT_EQ(k.TitleCaption(), "kept");
  Kestrel& again = d.Reload(k);  // and what it saves loads the same
  EXPECT_EQ(again.TitleHeight(), 210);
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

// A list far wider than any screen, rows thousands of pixels tall: the alternating colours paint
// a picture no larger than they need (a narrow tile of exactly two rows), so each save and load of
// the form stays small; or, past what can be painted, fall back to the plain background.
TEST(DesignState, HugeSizesFromAFileNeverExhaustMemory) {
  Desk d;
  Kestrel& k = ShownFromFormText(d, "  \"LineAltColor\" = Boolean True\n  \"LineOddColor\" = Long 255\n"
                                    "  \"LineEvenColor\" = Long 65280\n"
                                    "  \"SmallIcons\" = ImageList 3 02768 0 1 0\n");
  const PictureRef stripes = k.Picture();
  ASSERT_FALSE(stripes->IsEmpty());
  const int32_t band = 2769;  // the icon height plus one pixel
  ASSERT_EQ(stripes->HeightPx(), 2 * band);
  EXPECT_LE(int64_t{stripes->WidthPx()} * stripes->HeightPx(), int64_t{1} << 16);
  for (int32_t x : {0, stripes->WidthPx() - 1}) {
    EXPECT_EQ(stripes->Pixel(x, band - 1), RGB(255, 0, 0));
    EXPECT_EQ(stripes->Pixel(x, band), RGB(0, 255, 0));
  }
  const std::string saved = d.form.SaveForm().Serialize();
  EXPECT_LT(saved.size(), size_t{1} << 20);
  const FormFile again = FormFile::Parse(saved);
  Kestrel& back = d.form.Add<Kestrel>("K2", 0, 0, 1e9f, 4000, &again.controls[0].properties);
  EXPECT_TRUE(back.Picture()->SamePixels(*stripes));
  EXPECT_FLOAT_EQ(k.ListViewControl().Width(), 1e9f);  // the list keeps its width

  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(1, 32768));
  k.SmallIcons(icons);  // 32769-pixel bands: too large to paint
  EXPECT_TRUE(k.Picture()->IsEmpty());
  k.SmallIcons(nullptr);  // a normal row height: painted again, wider than an ordinary screen
  ASSERT_FALSE(k.Picture()->IsEmpty());
  EXPECT_GE(k.Picture()->WidthPx(), 1920);
  EXPECT_LE(int64_t{k.Picture()->WidthPx()} * k.Picture()->HeightPx(), int64_t{1} << 16);
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
