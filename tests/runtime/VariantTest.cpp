#include "runtime/Variant.h"

#include <gtest/gtest.h>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

class Font : public Object {
 public:
  std::string TypeName() const override { return "StdFont"; }
};
class Picture : public Object {};

TEST(VariantKinds, TypeFollowsTheHeldValue) {
  EXPECT_EQ(Variant().Type(), VarType::Empty);
  EXPECT_EQ(Variant::Null().Type(), VarType::Null);
  EXPECT_EQ(Variant(true).Type(), VarType::Boolean);
  EXPECT_EQ(Variant(int16_t{3}).Type(), VarType::Integer);
  EXPECT_EQ(Variant(3).Type(), VarType::Long);
  EXPECT_EQ(Variant(1.5f).Type(), VarType::Single);
  EXPECT_EQ(Variant(1.5).Type(), VarType::Double);
  EXPECT_EQ(Variant(Date(1)).Type(), VarType::Date);
  EXPECT_EQ(Variant("x").Type(), VarType::String);
  EXPECT_EQ(Variant::Nothing().Type(), VarType::Object);
  EXPECT_EQ(Variant(std::make_shared<Font>()).Type(), VarType::Object);

  EXPECT_TRUE(Variant(Date(1)).IsNumericKind());
  EXPECT_TRUE(Variant(false).IsNumericKind());
  EXPECT_FALSE(Variant().IsNumericKind());
  EXPECT_FALSE(Variant("1").IsNumericKind());
  EXPECT_TRUE(Variant::Nothing().IsNothing());
  EXPECT_FALSE(Variant(std::make_shared<Font>()).IsNothing());
}

TEST(VariantKinds, ExactAccessorsRefuseOtherKinds) {
  EXPECT_EQ(Variant(int16_t{7}).AsInteger(), 7);
  EXPECT_EQ(Variant("abc").AsString(), "abc");
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant(7).AsInteger(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant(7).AsDouble(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant("7").AsLong(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant().AsString(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant::Null().AsBoolean(); }), err::TypeMismatch);
}

TEST(VariantKinds, ObjectCastsCheckTheType) {
  auto font = std::make_shared<Font>();
  const Variant v(font);
  EXPECT_EQ(v.As<Font>(), font);
  EXPECT_EQ(v.As<Font>()->TypeName(), "StdFont");
  EXPECT_EQ(Variant::Nothing().As<Font>(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { (void)v.As<Picture>(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant(1).As<Font>(); }), err::TypeMismatch);
}

TEST(VariantKinds, NumericValueOfEveryNumericKind) {
  EXPECT_EQ(Variant(true).NumericValue(), -1.0);
  EXPECT_EQ(Variant(false).NumericValue(), 0.0);
  EXPECT_EQ(Variant(int16_t{-3}).NumericValue(), -3.0);
  EXPECT_EQ(Variant(2.5f).NumericValue(), 2.5);
  EXPECT_EQ(Variant(Date(46362.75)).NumericValue(), 46362.75);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant("5").NumericValue(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant().NumericValue(); }), err::TypeMismatch);
}

TEST(VariantKinds, SameAsNeedsSameKindAndValue) {
  EXPECT_TRUE(Variant(1).SameAs(Variant(1)));
  EXPECT_FALSE(Variant(1).SameAs(Variant(int16_t{1})));
  EXPECT_FALSE(Variant(1).SameAs(Variant(1.0)));
  EXPECT_TRUE(Variant("a").SameAs(Variant(std::string("a"))));
  EXPECT_FALSE(Variant("a").SameAs(Variant("A")));
  EXPECT_TRUE(Variant().SameAs(Variant()));
  EXPECT_FALSE(Variant().SameAs(Variant::Null()));
  auto font = std::make_shared<Font>();
  EXPECT_TRUE(Variant(font).SameAs(Variant(font)));
  EXPECT_FALSE(Variant(font).SameAs(Variant(std::make_shared<Font>())));
}

std::strong_ordering Order(const Variant& a, const Variant& b, CompareMethod m = CompareMethod::Binary) {
  const auto r = Compare(a, b, m);
  EXPECT_TRUE(r.has_value());
  return r.value_or(std::strong_ordering::equal);
}

TEST(VariantCompare, NumbersCompareByValueAcrossKinds) {
  EXPECT_EQ(Order(int16_t{2}, 2.5), std::strong_ordering::less);
  EXPECT_EQ(Order(3, 3.0f), std::strong_ordering::equal);
  EXPECT_EQ(Order(true, 0), std::strong_ordering::less);  // True is -1
  EXPECT_EQ(Order(Date(2), 1.5), std::strong_ordering::greater);
  EXPECT_EQ(Order(Variant(), 0), std::strong_ordering::equal);
  EXPECT_EQ(Order(Variant(), -0.5), std::strong_ordering::greater);
  EXPECT_EQ(Order(Variant(), Variant()), std::strong_ordering::equal);
}

TEST(VariantCompare, StringsCompareBinaryByCodePoint) {
  EXPECT_EQ(Order("ABC", "abc"), std::strong_ordering::less);
  EXPECT_EQ(Order("abc", "abd"), std::strong_ordering::less);
  EXPECT_EQ(Order("ab", "abc"), std::strong_ordering::less);
  EXPECT_EQ(Order("\xC3\xA9", "z"), std::strong_ordering::greater);  // é is U+00E9
  EXPECT_EQ(Order("\xF0\x9F\x98\x80", "\xEF\xBF\xBD"), std::strong_ordering::greater);  // U+1F600 > U+FFFD
  EXPECT_EQ(Order(Variant(), ""), std::strong_ordering::equal);
  EXPECT_EQ(Order(Variant(), "a"), std::strong_ordering::less);
}

TEST(VariantCompare, TextMethodIgnoresCaseButNotAccents) {
  EXPECT_EQ(Order("ABC", "abc", CompareMethod::Text), std::strong_ordering::equal);
  EXPECT_EQ(Order("\xC3\xA9", "z", CompareMethod::Text), std::strong_ordering::less);
  EXPECT_NE(Order("\xC3\xA9", "e", CompareMethod::Text), std::strong_ordering::equal);
  EXPECT_TRUE(Equals("Straße", "STRAßE", CompareMethod::Text));
  EXPECT_FALSE(Equals("ABC", "abc"));
}

TEST(VariantCompare, ANumberIsLessThanAString) {
  EXPECT_EQ(Order(100, "10"), std::strong_ordering::less);
  EXPECT_EQ(Order("1", 1e300), std::strong_ordering::greater);
  EXPECT_FALSE(Equals(5, "5"));
}

TEST(VariantCompare, NullGivesNoResultAndObjectsMismatch) {
  EXPECT_FALSE(Compare(Variant::Null(), 1).has_value());
  EXPECT_FALSE(Compare("a", Variant::Null()).has_value());
  EXPECT_FALSE(Equals(Variant::Null(), Variant::Null()));
  EXPECT_EQ(ErrorNumberOf([] { (void)Compare(Variant::Nothing(), 1); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Equals("a", Variant(std::make_shared<Font>())); }), err::TypeMismatch);
}

TEST(VariantCompare, TextEqualsComparesTheVariantsText) {
  EXPECT_TRUE(TextEquals("5", Variant(5)));
  EXPECT_FALSE(TextEquals("5.0", Variant(5)));
  EXPECT_TRUE(TextEquals("2.5", Variant(2.5)));
  EXPECT_TRUE(TextEquals("True", Variant(true)));
  EXPECT_TRUE(TextEquals("12/6/2026", Variant(Date(46362))));
  EXPECT_TRUE(TextEquals("", Variant()));
  EXPECT_FALSE(TextEquals("", Variant::Null()));
  EXPECT_FALSE(TextEquals("abc", Variant("ABC")));
}

}  // namespace
}  // namespace tamarind
