// The property bag and the form file that carries it.

#include <gtest/gtest.h>

#include "Fixture.h"
#include "platform/FormFile.h"
#include "platform/ImageList.h"

namespace tamarind::platform::testing {
namespace {

TEST(PropertyBagRules, NamesMatchWithoutRegardToCase) {
  PropertyBag bag;
  bag.WriteProperty("TitleBar", Variant(true), Variant(false));
  EXPECT_TRUE(bag.ReadProperty("TITLEBAR", Variant(false)).AsBoolean());
  bag.WriteProperty("titlebar", Variant(false), Variant(true));  // the same entry, overwritten
  EXPECT_EQ(bag.Entries().size(), 1u);
  EXPECT_FALSE(bag.ReadProperty("TitleBar").AsBoolean());
  EXPECT_EQ(bag.ReadProperty("Missing", Variant(int32_t{42})).AsLong(), 42);
}

TEST(PropertyBagRules, ValuesEqualToTheirDefaultAreNotStored) {
  PropertyBag bag;
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
  b.Store("Empty", Variant(""));
  b.Store("LineOddColor", Variant(int32_t{static_cast<int32_t>(0x80000005u)}));
  b.Store("Flag", Variant(true));
  b.Store("Small", Variant(int16_t{-3}));
  b.Store("FontSize", Variant(8.25f));
  b.Store("Ratio", Variant(0.1 + 0.2));
  b.Store("When", Variant(Date::FromCalendar(2026, 12, 6, 15, 4, 5)));
  b.Store("Nothing", Variant::Nothing());
  b.Store("Null", Variant::Null());
  b.Store("Unset", Variant());
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
  EXPECT_EQ(c.typeName, "Kestrel");
  EXPECT_EQ(c.name, "Kestrel1");
  EXPECT_FLOAT_EQ(c.top, 90.5f);
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
  // The text is readable: one line per property, the caption in plain words.
  EXPECT_NE(text.find("\"TitleCaption\" = String \"Line one\\nLine two"), std::string::npos);
  EXPECT_NE(text.find("ümlaut ✓ \\x01 end \""), std::string::npos);
  EXPECT_EQ(text.rfind("TAMARIND-FORM 1\n", 0), 0u);
}

TEST(FormFileFormat, DamagedFilesAreRefusedWithTheLineAtFault) {
  const std::string text = SampleForm().Serialize();
  auto refuse = [](const std::string& t, const std::string& mention) {
    try {
      FormFile::Parse(t);
      ADD_FAILURE() << "accepted: " << t.substr(0, 60);
    } catch (const Error& e) {
      EXPECT_EQ(e.Number(), err::InvalidPropertyValue);
      EXPECT_NE(e.Description().find(mention), std::string::npos) << e.Description();
    }
  };
  refuse(text.substr(0, text.size() - 8), "truncated");  // the last lines lost
  refuse("TAMARIND-FORM 2\nForm \"x\"\nEndForm\n", "version 2");
  std::string badNumber = text;
  badNumber.replace(badNumber.find("Single 8.25"), 11, "Single 8,25");
  refuse(badNumber, "line 9");
  std::string badPicture = text;
  badPicture.replace(badPicture.find("Picture Qk"), 10, "Picture Xk");
  refuse(badPicture, "picture");
  refuse(text + "garbage\n", "after EndForm");
}

}  // namespace
}  // namespace tamarind::platform::testing
