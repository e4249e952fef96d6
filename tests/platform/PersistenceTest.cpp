// The property bag and the form file that carries it.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "Fixture.h"
#include "platform/FormFile.h"
#include "platform/ImageList.h"
#include "platform/SavedProperties.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::platform::testing {
namespace {

using test_support::ErrorNumberOf;

// Names match without regard to case. Thousands of values, as a long form file holds: every one is
// found, also after a value written back to its default left the bag and moved the rest. Values
// equal to their default are not stored.
TEST(PropertyBagRules, NamesIgnoreCaseManyValuesStayReachableAndDefaultsAreNotStored) {
  PropertyBag bag;
  for (int32_t i = 0; i < 4000; ++i) bag.Store("Key" + std::to_string(i), Variant(i));
  bag.WriteProperty("key10", Variant(int32_t{0}), Variant(int32_t{0}));  // back to its default: removed
  EXPECT_FALSE(bag.Contains("Key10"));
  EXPECT_EQ(bag.Entries().size(), 3999u);
  EXPECT_EQ(bag.ReadProperty("KEY11").AsLong(), 11);
  EXPECT_EQ(bag.ReadProperty("Key3999").AsLong(), 3999);
  bag.WriteProperty("key11", Variant(int32_t{-11}), Variant(int32_t{0}));  // the moved entry is updated in place
  EXPECT_EQ(bag.Entries()[10].second.AsLong(), -11);
  EXPECT_EQ(bag.Entries().size(), 3999u);
  EXPECT_EQ(bag.ReadProperty("Missing", Variant(int32_t{42})).AsLong(), 42);
  bag.WriteProperty("FontSize", Variant(8.0f), Variant(int16_t{8}));  // 8 = 8: nothing stored
  EXPECT_FALSE(bag.Contains("FontSize"));
  bag.WriteProperty("FontSize", Variant(8.0f), Variant(int16_t{0}));
  EXPECT_TRUE(bag.Contains("FontSize"));
  bag.WriteProperty("Text", Variant(""), Variant(int32_t{0}));  // text and number never equal
  EXPECT_TRUE(bag.Contains("Text"));
  auto a = std::make_shared<StdFont>("Verdana", 8.25f), b = std::make_shared<StdFont>("Verdana", 8.25f);
  bag.WriteProperty("Font", Variant(a), Variant(b));  // equal attributes count as the default
  EXPECT_FALSE(bag.Contains("Font"));
  b->Bold(true);
  bag.WriteProperty("Font", Variant(a), Variant(b));
  EXPECT_TRUE(bag.Contains("Font"));
  bag.WriteProperty("Picture", Variant(std::make_shared<StdPicture>()), Variant::Nothing());  // empty picture
  EXPECT_FALSE(bag.Contains("Picture"));
}

FormFile SampleForm() {
  FormFile f;
  f.caption = "Orders \"Q4\"";
  SavedControl c{.typeName = "Kestrel", .name = "Kestrel1", .left = 120, .top = 90.5f, .width = 6000,
                 .height = 4000, .properties = {}};
  PropertyBag& b = c.properties;
  b.Store("TitleCaption", Variant("Line one\nLine two\r\n\ttabbed \"quoted\" \\ back ümlaut ✓ \x01 end "));
  for (const auto& [name, value] : std::vector<std::pair<const char*, Variant>>{
           {"Empty", ""}, {"LineOddColor", static_cast<int32_t>(0x80000005u)}, {"Flag", true}, {"Small", int16_t{-3}},
           {"FontSize", 8.25f}, {"Ratio", 0.1 + 0.2}, {"When", Date::FromCalendar(2026, 12, 6, 15, 4, 5)},
           {"Nothing", Variant::Nothing()}, {"Null", Variant::Null()}, {"Unset", Variant()}})
    b.Store(name, value);
  auto font = std::make_shared<StdFont>("Comic \"Sans\"", 12.5f, true);
  font->Italic(true);
  font->Charset(2);
  b.Store("Font", Variant(font));
  auto pic = std::make_shared<StdPicture>(3, 2, RGB(10, 20, 30));
  pic->SetPixel(2, 1, RGB(255, 0, 128));
  b.Store("Picture", Variant(pic));
  auto icons = std::make_shared<ImageList>();
  icons->Add(0, "up", std::make_shared<StdPicture>(12, 12, RGB(0, 255, 0)));
  icons->Add(0, "", std::make_shared<StdPicture>(12, 12, RGB(1, 2, 3)));
  icons->MaskColor(RGB(0, 255, 0));
  b.Store("SmallIcons", Variant(icons));
  f.controls.push_back(c);
  return f;
}

TEST(FormFileFormat, EveryValueKindComesBackExactly) {
  const FormFile original = SampleForm();
  const std::string text = original.Serialize();
  const FormFile back = FormFile::Parse(text);
  EXPECT_EQ(back.caption, original.caption);
  ASSERT_EQ(back.controls.size(), 1u);
  const SavedControl& c = back.controls[0];
  EXPECT_EQ(std::make_tuple(c.typeName, c.name, c.left, c.top, c.width, c.height),
            std::make_tuple(std::string("Kestrel"), std::string("Kestrel1"), 120.0f, 90.5f, 6000.0f, 4000.0f));
  const auto& want = original.controls[0].properties.Entries();
  const auto& got = c.properties.Entries();
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].first, want[i].first);
    EXPECT_EQ(got[i].second.Type(), want[i].second.Type()) << want[i].first;
    if (!want[i].second.IsObject()) {
      EXPECT_TRUE(got[i].second.SameAs(want[i].second) || (want[i].second.IsNull() && got[i].second.IsNull()))
          << want[i].first;
    } else {
      EXPECT_TRUE(PropertyBag::EqualsDefault(got[i].second, want[i].second)) << want[i].first;
    }
  }
  EXPECT_EQ(c.properties.ReadProperty("Picture").As<StdPicture>()->Pixel(2, 1), RGB(255, 0, 128));
  EXPECT_EQ(c.properties.ReadProperty("SmallIcons").As<ImageList>()->Item(1).Key, "up");
  // The text is readable: one line per property, control characters escaped.
  EXPECT_NE(text.find("\"TitleCaption\" = String \"Line one\\nLine two"), std::string::npos);
}

// A small form with one line the tests replace.
std::string OneControlForm(const std::string& beginLine, const std::string& propertyLine = {}) {
  return "TAMARIND-FORM 1\nForm \"F\"\n" + beginLine + "\n" + (propertyLine.empty() ? "" : propertyLine + "\n") +
         "End\nEndForm\n";
}
const std::string kBegin = "Begin Gauge \"G1\" 0 0 1200 600";

// The reader refuses text with the property error, saying why and naming the line at fault (if line > 0).
void ExpectRefusedAtLine(const std::string& text, int line, const std::string& why = {}) {
  try {
    FormFile::Parse(text);
    ADD_FAILURE() << "accepted:\n" << text;
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), err::InvalidPropertyValue) << text;
    const std::string at = line > 0 ? "line " + std::to_string(line) + ":" : "";
    EXPECT_NE(e.Description().find(at), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find(why), std::string::npos) << e.Description();
  }
}

TEST(FormFileFormat, DamagedFilesAreRefusedWithTheLineAtFaultAndEveryNumberMustBeFinite) {
  const std::string text = SampleForm().Serialize();
  ExpectRefusedAtLine(text.substr(0, text.size() - 8), 0, "truncated");  // the last lines lost
  ExpectRefusedAtLine("TAMARIND-FORM 2\nForm \"x\"\nEndForm\n", 1, "version 2");
  std::string badNumber = text;
  badNumber.replace(badNumber.find("Single 8.25"), 11, "Single 8,25");
  ExpectRefusedAtLine(badNumber, 9);
  std::string badPicture = text;
  badPicture.replace(badPicture.find("Picture Qk"), 10, "Picture Xk");
  ExpectRefusedAtLine(badPicture, 0, "picture");
  ExpectRefusedAtLine(text + "garbage\n", 0, "after EndForm");
  ASSERT_NO_THROW(FormFile::Parse(OneControlForm(kBegin, "  \"Ratio\" = Double 0.5")));
  // Words after what a line holds.
  ExpectRefusedAtLine("TAMARIND-FORM 1 beta\nForm \"F\"\nEndForm\n", 1, "after the version");
  ExpectRefusedAtLine("TAMARIND-FORM 1\nForm \"F\" \"G\"\nEndForm\n", 2, "after the form's caption");
  ExpectRefusedAtLine(OneControlForm(kBegin + " 7"), 3, "after the control's size");
  ExpectRefusedAtLine("TAMARIND-FORM 1\nForm \"F\"\nEndForm now\n", 3, "after EndForm");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"Ratio\" = Double 0.5 0.25"), 4, "after the value");
  // Positions and sizes: finite, sizes not negative.
  for (const char* bad : {"nan 0 1200 600", "0 inf 1200 600", "0 0 -inf 600", "0 0 1200 NAN", "0 0 -1 600"})
    ExpectRefusedAtLine(OneControlForm(std::string("Begin Gauge \"G1\" ") + bad), 3);
  // Values: no NaN or infinity, dates within the years 100 to 9999.
  for (const char* bad : {"Single inf", "Single -infinity", "Double nan", "Date nan", "Date 1e10", "Date -657435",
                          "Single 1e39", "Integer 32768", "Long -2147483649"})
    ExpectRefusedAtLine(OneControlForm(kBegin, std::string("  \"V\" = ") + bad), 4);
  ASSERT_NO_THROW(FormFile::Parse(OneControlForm(kBegin, "  \"V\" = Date -657434")));  // 1 January 100
  // A font size that rounds to nothing, an image list larger than any picture.
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"F\" = Font \"Verdana\" 0.00004 400 0 0 0 0"), 4, "font size");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"I\" = ImageList 16 2147483647 0 1 0"), 4, "image size");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"I\" = ImageList 32769 16 0 1 0"), 4, "image size");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"I\" = ImageList -1 16 0 1 0"), 4, "image size");
  // The same property twice, in any letter case.
  ExpectRefusedAtLine("TAMARIND-FORM 1\nForm \"F\"\n" + kBegin + "\n  \"Tint\" = Long 1\n  \"TINT\" = Long 2\nEnd\nEndForm\n",
                      5, "appears twice");
}

TEST(FormFileFormat, TheWriterNeverWritesWhatTheReaderRefuses) {
  const std::function<void(SavedControl&)> spoil[] = {
      [](SavedControl& c) { c.left = std::numeric_limits<float>::quiet_NaN(); },
      [](SavedControl& c) { c.properties.Store("Ratio", Variant(std::numeric_limits<double>::infinity())); },
      [](SavedControl& c) { c.properties.Store("When", Variant(Date(std::nan("")))); }};
  for (const auto& change : spoil) {
    FormFile f = SampleForm();
    change(f.controls[0]);
    EXPECT_EQ(ErrorNumberOf([&] { f.Serialize(); }), err::InvalidPropertyValue);
  }
}

// A control type's rules decide what its saved keys hold; the reader names the line that breaks
// one. Types without rules, and keys without one, take any value.
TEST(FormFileFormat, ValuesAreCheckedAgainstTheRulesOfTheirControlTypeEachKindTakingWhatItsPropertyHolds) {
  SavedPropertyRules rules;
  rules.Add("Level", [](const Variant& v) { saved::Long(v, 0, 100); });
  rules.Add("Tint", [](const Variant& v) { saved::Color(v); });
  rules.Add("On", [](const Variant& v) { saved::Boolean(v); });
  RegisterSavedPropertyRules("Gauge", std::move(rules));

  for (const char* fine : {"\"level\" = Integer 100", "\"Tint\" = Double 4294967295", "\"On\" = String \"false\"",
                           "\"Other\" = Long 2147483647"})
    EXPECT_NO_THROW(FormFile::Parse(OneControlForm(kBegin, std::string("  ") + fine))) << fine;
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"LEVEL\" = Long 101"), 4, "\"LEVEL\"");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"Level\" = String \"ten\""), 4, "number");
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"Tint\" = Double 4294967296"), 4);
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"Tint\" = Nothing"), 4);
  ExpectRefusedAtLine(OneControlForm(kBegin, "  \"On\" = String \"maybe\""), 4);
  ASSERT_NO_THROW(FormFile::Parse(OneControlForm("Begin Dial \"D\" 0 0 1 1", "  \"Level\" = Long 101")));
  // The conversions the rules use, one by one.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(saved::Color(Variant(int32_t{-2147483643})), vbWindowBackground);
  EXPECT_EQ(saved::Color(Variant(-2147483648.0)), 0x80000000u);
  for (const Variant& bad : {Variant(nan), Variant(-2147483649.0), Variant("red")})
    EXPECT_EQ(ErrorNumberOf([&] { saved::Color(bad); }), err::InvalidPropertyValue);
  EXPECT_EQ(saved::Integer(Variant(32767.4)), 32767);
  EXPECT_EQ(ErrorNumberOf([&] { saved::Integer(Variant(32767.5)); }), err::InvalidPropertyValue);  // 32768
  EXPECT_EQ(saved::Integer(Variant(-32768.5)), -32768);  // halves to even
  EXPECT_EQ(saved::Long(Variant("12")), 12);
  EXPECT_EQ(ErrorNumberOf([&] { saved::Long(Variant(2147483647.5)); }), err::InvalidPropertyValue);
  EXPECT_FLOAT_EQ(saved::FontSize(Variant(0.0001f)), 0.0001f);
  EXPECT_EQ(ErrorNumberOf([&] { saved::FontSize(Variant(2048.5)); }), err::InvalidPropertyValue);
  EXPECT_EQ(ErrorNumberOf([&] { saved::FontSize(Variant(nan)); }), err::InvalidPropertyValue);
  EXPECT_TRUE(saved::Boolean(Variant(" TRUE ")));
  EXPECT_EQ(ErrorNumberOf([&] { saved::Boolean(Variant(nan)); }), err::InvalidPropertyValue);
  EXPECT_EQ(saved::Text(Variant(1.5)), "1.5");
  EXPECT_EQ(ErrorNumberOf([&] { saved::Text(Variant::Null()); }), err::InvalidPropertyValue);
  EXPECT_EQ(ErrorNumberOf([&] { saved::FontObject(Variant::Nothing()); }), err::InvalidPropertyValue);
  EXPECT_EQ(saved::PictureObject(Variant::Nothing()), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { saved::ImageListObject(Variant(std::make_shared<StdFont>())); }),
            err::InvalidPropertyValue);
}

// Base64 is read back exactly: each length that leaves one or two bytes over its last full group
// comes back, and only the one text that encodes the bytes is accepted.
TEST(FormFileFormat, Base64ComesBackAtEveryLengthAndStrayTextIsRefused) {
  for (const std::vector<uint8_t>& bytes : {std::vector<uint8_t>{}, std::vector<uint8_t>{0xFF},
                                            std::vector<uint8_t>{0xFF, 0x01}, std::vector<uint8_t>{1, 2, 3},
                                            std::vector<uint8_t>{0, 0, 0, 0xFE}, std::vector<uint8_t>{7, 8, 9, 10, 11}})
    EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes) << Base64Encode(bytes);
  EXPECT_EQ(Base64Encode({0xFF}), "/w==");
  EXPECT_EQ(Base64Encode({0xFF, 0x01}), "/wE=");
  for (const char* bad : {"/w=", "/w", "/", "/x==", "/wF=", "/w==AAAA", "A=AA", "/w=A", "AA AA"})
    EXPECT_EQ(ErrorNumberOf([&] { Base64Decode(bad); }), err::InvalidPropertyValue) << bad;
}

TEST(PlatformLimits, FontSizesPicturesAndPositionsRefuseWhatTheyCannotHold) {
  StdFont f;
  f.Size(0.00006f);  // rounds up to the smallest size kept
  EXPECT_FLOAT_EQ(f.Size(), 0.0001f);
  EXPECT_EQ(ErrorNumberOf([&] { f.Size(0.00004f); }), err::InvalidPropertyValue);
  EXPECT_FLOAT_EQ(f.Size(), 0.0001f);
  EXPECT_EQ(ErrorNumberOf([&] { StdPicture(StdPicture::kMaxSidePx + 1, 1); }), err::OutOfMemory);
  EXPECT_EQ(ErrorNumberOf([&] { StdPicture(20000, 20000); }), err::OutOfMemory);
  EXPECT_EQ(ErrorNumberOf([&] { StdPicture(0, 5); }), err::InvalidPicture);
  // An image list of a height no picture has holds nothing, and a row is at most as high as the
  // largest picture plus one pixel.
  auto icons = std::make_shared<ImageList>();
  icons->ImageHeight(2147483647);
  EXPECT_EQ(ErrorNumberOf([&] { icons->Add(std::make_shared<StdPicture>(16, 16)); }), err::InvalidPicture);
  Desktop d;
  auto lv = d.MakeList();
  lv->SmallIcons(icons);
  EXPECT_EQ(lv->RowHeightPx(), StdPicture::kMaxSidePx + 1);
  for (int i = 0; i < 70000; ++i) lv->ListItems().Add();
  EXPECT_EQ(lv->RowTopPx(69999), std::numeric_limits<int32_t>::max());  // beyond 32 bits: at the edge
  EXPECT_EQ(ErrorNumberOf([&] { d.surface.Left(std::nanf("")); }), err::InvalidPropertyValue);
  EXPECT_EQ(ErrorNumberOf([&] { d.surface.Width(std::numeric_limits<float>::infinity()); }), err::InvalidPropertyValue);
  EXPECT_EQ(ErrorNumberOf([&] { d.surface.Move(0, 0, std::nanf(""), 10); }), err::InvalidPropertyValue);
  EXPECT_FLOAT_EQ(d.surface.Left(), 300);
}

}  // namespace
}  // namespace tamarind::platform::testing
