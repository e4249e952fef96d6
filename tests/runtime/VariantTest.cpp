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

TEST(VariantKinds, AccessorsAndCastsRefuseOtherKinds) {
  EXPECT_TRUE(Variant(Date(1)).IsNumericKind());
  EXPECT_TRUE(Variant(false).IsNumericKind());
  EXPECT_FALSE(Variant("1").IsNumericKind());
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant(7).AsInteger(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant().AsString(); }), err::TypeMismatch);
  EXPECT_EQ(Variant(true).NumericValue(), -1.0);
  EXPECT_EQ(Variant(Date(46362.75)).NumericValue(), 46362.75);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant("5").NumericValue(); }), err::TypeMismatch);
  auto font = std::make_shared<Font>();
  const Variant v(font);
  EXPECT_EQ(v.As<Font>(), font);
  EXPECT_EQ(Variant::Nothing().As<Font>(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { (void)v.As<Picture>(); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Variant(1).As<Font>(); }), err::TypeMismatch);
}

TEST(VariantKinds, SameAsNeedsSameKindAndValue) {
  EXPECT_TRUE(Variant("a").SameAs(Variant(std::string("a"))));
  EXPECT_FALSE(Variant(1).SameAs(Variant(int16_t{1})));
  EXPECT_FALSE(Variant("a").SameAs(Variant("A")));
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

TEST(VariantCompare, NumbersCompareByValueAndBeforeAnyString) {
  EXPECT_EQ(Order(int16_t{2}, 2.5), std::strong_ordering::less);
  EXPECT_EQ(Order(3, 3.0f), std::strong_ordering::equal);
  EXPECT_EQ(Order(true, 0), std::strong_ordering::less);  // True is -1
  EXPECT_EQ(Order(Date(2), 1.5), std::strong_ordering::greater);
  EXPECT_EQ(Order(Variant(), 0), std::strong_ordering::equal);
  EXPECT_EQ(Order(Variant(), -0.5), std::strong_ordering::greater);
  EXPECT_EQ(Order(100, "10"), std::strong_ordering::less);  // a number is less than any string
  EXPECT_EQ(Order("1", 1e300), std::strong_ordering::greater);
  EXPECT_FALSE(Equals(5, "5"));
}

TEST(VariantCompare, StringsCompareBinaryByCodePointOrTextIgnoringCase) {
  EXPECT_EQ(Order("ABC", "abc"), std::strong_ordering::less);
  EXPECT_EQ(Order("ab", "abc"), std::strong_ordering::less);
  EXPECT_EQ(Order("\xF0\x9F\x98\x80", "\xEF\xBF\xBD"), std::strong_ordering::greater);  // U+1F600 > U+FFFD
  EXPECT_EQ(Order(Variant(), ""), std::strong_ordering::equal);
  EXPECT_EQ(Order(Variant(), "a"), std::strong_ordering::less);
  EXPECT_EQ(Order("ABC", "abc", CompareMethod::Text), std::strong_ordering::equal);
  EXPECT_EQ(Order("\xC3\xA9", "z", CompareMethod::Text), std::strong_ordering::less);  // é sorts with e
  EXPECT_NE(Order("\xC3\xA9", "e", CompareMethod::Text), std::strong_ordering::equal);
  EXPECT_FALSE(Equals("ABC", "abc"));
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
  EXPECT_TRUE(TextEquals("12/6/2026", Variant(Date(46362))));
  EXPECT_TRUE(TextEquals("", Variant()));
  EXPECT_FALSE(TextEquals("", Variant::Null()));
  EXPECT_FALSE(TextEquals("abc", Variant("ABC")));
}

}  // namespace
}  // namespace tamarind
