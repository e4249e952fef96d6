// Variants, collections and late binding.

#include "runtime/Collection.h"
#include "runtime/Dispatch.h"
#include "runtime/Variant.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

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

TEST(VariantKinds, AccessorsAndCastsRefuseOtherKindsAndSameAsNeedsKindAndValue) {
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
  EXPECT_TRUE(Variant("a").SameAs(Variant(std::string("a"))));
  EXPECT_FALSE(Variant(1).SameAs(Variant(int16_t{1})));
  EXPECT_FALSE(Variant("a").SameAs(Variant("A")));
  EXPECT_FALSE(Variant().SameAs(Variant::Null()));
  EXPECT_TRUE(Variant(font).SameAs(Variant(font)));
  EXPECT_FALSE(Variant(font).SameAs(Variant(std::make_shared<Font>())));
}

// -1, 0 or 1 as a compares to b; 2 when the comparison has no result (a Null).
int Sign(const Variant& a, const Variant& b, CompareMethod m) {
  const auto r = Compare(a, b, m);
  return !r ? 2 : *r < 0 ? -1 : *r > 0 ? 1 : 0;
}

// Numbers compare by value and before any string; strings compare binary by code point, or as text
// ignoring case with accents sorting beside their letter. Null gives no result.
TEST(VariantCompare, NumbersByValueBeforeStringsAndStringsByCodePointOrText) {
  using Cases = std::vector<std::tuple<Variant, Variant, int>>;
  for (const auto& [a, b, sign] : Cases{{int16_t{2}, 2.5, -1}, {3, 3.0f, 0}, {true, 0, -1}, {Date(2), 1.5, 1},
                                        {Variant(), 0, 0}, {Variant(), -0.5, 1}, {100, "10", -1}, {"1", 1e300, 1},
                                        {"ABC", "abc", -1}, {"ab", "abc", -1}, {Variant(), "", 0}, {Variant(), "a", -1},
                                        {"\xF0\x9F\x98\x80", "\xEF\xBF\xBD", 1},  // U+1F600 > U+FFFD
                                        {Variant::Null(), 1, 2}, {"a", Variant::Null(), 2}})
    EXPECT_EQ(Sign(a, b, CompareMethod::Binary), sign);
  for (const auto& [a, b, sign] : Cases{{"ABC", "abc", 0}, {"\xC3\xA9", "z", -1}, {"\xC3\xA9", "e", 1}})
    EXPECT_EQ(Sign(a, b, CompareMethod::Text), sign);
  EXPECT_FALSE(Equals(5, "5"));
  EXPECT_FALSE(Equals("ABC", "abc"));
  EXPECT_FALSE(Equals(Variant::Null(), Variant::Null()));
  EXPECT_EQ(ErrorNumberOf([] { (void)Compare(Variant::Nothing(), 1); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { (void)Equals("a", Variant(std::make_shared<Font>())); }), err::TypeMismatch);
  EXPECT_TRUE(TextEquals("5", Variant(5)));
  EXPECT_FALSE(TextEquals("5.0", Variant(5)));
  EXPECT_TRUE(TextEquals("12/6/2026", Variant(Date(46362))));
  EXPECT_TRUE(TextEquals("", Variant()));
  EXPECT_FALSE(TextEquals("", Variant::Null()));
  EXPECT_FALSE(TextEquals("abc", Variant("ABC")));
}

using Texts_ = std::vector<std::string>;

Texts_ Texts(const Collection& c) {
  Texts_ out;
  for (const Variant& v : c) out.push_back(v.AsString());
  return out;
}

TEST(CollectionOrder, MembersAreOneBasedInOrderOfAdditionBeforeOrAfterAndKeysIgnoreCase) {
  Collection c;
  c.Add("b", "kb");
  c.Add("d", "kd");
  EXPECT_EQ(c.Item(1).AsString(), "b");
  EXPECT_EQ(c(2).AsString(), "d");
  EXPECT_EQ(c.Item(Variant(2.5)).AsString(), "d");  // index 2.5 rounds to 2
  c.Add("a", std::nullopt, Variant(1));
  c.Add("c", std::nullopt, std::nullopt, Variant("KB"));
  c.Add("e", std::nullopt, std::nullopt, Variant(4));
  c.Add("a0", std::nullopt, Variant("kb"));
  EXPECT_EQ(Texts(c), (Texts_{"a", "a0", "b", "c", "d", "e"}));
  EXPECT_EQ(c.Count(), 6);
  c.Add(1, "Alpha");
  c.Add(2, "STRASSE");
  c.Add(3, "\xC3\x89t\xC3\xA9");  // Été
  EXPECT_EQ(c.Item("aLpHa").AsLong(), 1);
  EXPECT_EQ(c.Item("stra\xC3\x9F" "e").AsLong(), 2);  // straße folds to strasse
  EXPECT_EQ(c.Item("\xC3\xA9T\xC3\x89").AsLong(), 3);   // éTÉ
  EXPECT_EQ(c.Find("ete"), nullptr);                   // accents still count
}

TEST(CollectionKeys, BadKeysAndPositionsRaiseTheRuntimesErrorsAndRemovingFreesAKey) {
  Collection c;
  EXPECT_EQ(ErrorNumberOf([&] { c.Add("x", std::nullopt, Variant(1)); }), err::SubscriptOutOfRange);
  c.Add(1, "k1");
  EXPECT_EQ(ErrorNumberOf([&] { c.Add(2, "K1"); }), err::DuplicateKey);
  EXPECT_EQ(ErrorNumberOf([&] { c.Add(2, ""); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { c.Add("x", std::nullopt, std::nullopt, Variant(0)); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { c.Add("x", std::nullopt, Variant("nope")); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { c.Add("x", std::nullopt, Variant(1), Variant(1)); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { (void)c.Item("k2"); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([&] { (void)c.Item(0); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { (void)c.Item(2); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { c.Remove(2); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { c.Remove("k2"); }), err::InvalidProcedureCall);
  EXPECT_EQ(c.Count(), 1);  // nothing was added by the failing calls
  Collection r;
  r.Add("a", "ka");
  r.Add("b", "kb");
  r.Add("c");
  r.Remove(Variant("KB"));
  EXPECT_EQ(r.Find("kb"), nullptr);
  r.Add("b2", "kb");  // the key is free again
  r.Remove(1);
  EXPECT_EQ(Texts(r), (Texts_{"c", "b2"}));
  EXPECT_EQ(r.Find("ka"), nullptr);
  EXPECT_EQ(r.Item("kb").AsString(), "b2");
}

TEST(CollectionKeys, ManyKeysStayDirectlyReachable) {
  // The sort keys of a large list: "k" and the item parameter, one per row.
  constexpr int32_t kRows = 200'000;
  Collection c;
  for (int32_t i = 0; i < kRows; ++i) c.Add(static_cast<double>(i) / 2, "k" + std::to_string(i));
  ASSERT_EQ(c.Count(), kRows);
  for (int32_t i = kRows - 1; i >= 0; i -= 7) {
    ASSERT_EQ(c.Item("K" + std::to_string(i)).AsDouble(), static_cast<double>(i) / 2);
  }
  EXPECT_EQ(ErrorNumberOf([&] { c.Add(0, "k199999"); }), err::DuplicateKey);
}

// A small object with a property, a method with a named argument and a default member.
class Cell : public Dispatchable {
 public:
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    if (SameName(name, "Value") || name.empty()) {
      if (type == CallType::Get) return value;
      if (type == CallType::Let) return value = RequireArgument(args, 0);
    }
    if (SameName(name, "Offset") && type == CallType::Method) {
      const Variant* by = FindNamed(args, "By");
      return Variant(RequireArgument(args, 0).AsLong() + (by ? by->AsLong() : 0));
    }
    Raise(err::ObjectDoesNotSupport);
  }
  Variant value;
};

TEST(LateBinding, NamesMatchWithoutRegardToCaseAndErrorsForNothingUnknownMembersAndMissingArguments) {
  Variant obj(std::make_shared<Cell>());
  Let(obj, "VALUE", 42);
  EXPECT_EQ(Get(obj, "value").AsLong(), 42);
  EXPECT_EQ(DefaultValue(obj).AsLong(), 42);
  EXPECT_EQ(Call(obj, "offset", {1, Named("by", 2)}).AsLong(), 3);
  EXPECT_TRUE(SameName("ActiveSheet", "activesheet"));
  EXPECT_FALSE(SameName("Value", "Valu"));
  EXPECT_FALSE(SameName("A1", "a!"));  // only letters fold
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant::Nothing(), "Value"); }), err::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant(5), "Value"); }), err::ObjectNotSet);
  EXPECT_EQ(ErrorNumberOf([&] { Get(obj, "Formula"); }), err::ObjectDoesNotSupport);
  EXPECT_EQ(ErrorNumberOf([&] { Call(obj, "Offset"); }), err::ArgumentNotOptional);
  EXPECT_EQ(ErrorNumberOf([&] { Enumerate(obj); }), err::ObjectDoesNotSupport);
  // An object that is not late-bound at all.
  EXPECT_EQ(ErrorNumberOf([&] { Get(Variant(std::make_shared<Collection>()), "Count"); }), err::ObjectDoesNotSupport);
  // A plain value is its own default value.
  EXPECT_EQ(DefaultValue(Variant("x")).AsString(), "x");
}

}  // namespace
}  // namespace tamarind
