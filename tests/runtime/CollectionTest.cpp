#include "runtime/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;
using Texts_ = std::vector<std::string>;

Texts_ Texts(const Collection& c) {
  Texts_ out;
  for (const Variant& v : c) out.push_back(v.AsString());
  return out;
}

TEST(CollectionOrder, MembersAreOneBasedInAdditionOrder) {
  Collection c;
  c.Add("a");
  c.Add("b", "kb");
  c.Add(3);
  EXPECT_EQ(c.Count(), 3);
  EXPECT_EQ(c.Item(1).AsString(), "a");
  EXPECT_EQ(c(2).AsString(), "b");
  EXPECT_EQ(c.Item(Variant(2.5)).AsString(), "b");  // index 2.5 rounds to 2
}

TEST(CollectionOrder, BeforeAndAfterByIndexOrKey) {
  Collection c;
  c.Add("b", "kb");
  c.Add("d", "kd");
  c.Add("a", std::nullopt, Variant(1));
  c.Add("c", std::nullopt, std::nullopt, Variant("KB"));
  c.Add("e", std::nullopt, std::nullopt, Variant(4));
  c.Add("a0", std::nullopt, Variant("kb"));
  EXPECT_EQ(Texts(c), (Texts_{"a", "a0", "b", "c", "d", "e"}));
}

TEST(CollectionKeys, KeysMatchWithoutRegardToCase) {
  Collection c;
  c.Add(1, "Alpha");
  c.Add(2, "STRASSE");
  c.Add(3, "\xC3\x89t\xC3\xA9");  // Été
  EXPECT_EQ(c.Item("aLpHa").AsLong(), 1);
  EXPECT_EQ(c.Item("stra\xC3\x9F" "e").AsLong(), 2);  // straße folds to strasse
  EXPECT_EQ(c.Item("\xC3\xA9T\xC3\x89").AsLong(), 3);   // éTÉ
  EXPECT_EQ(c.Find("ete"), nullptr);                   // accents still count
}

TEST(CollectionKeys, BadKeysAndPositionsRaiseTheRuntimesErrors) {
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
  EXPECT_EQ(c.Count(), 1);  // nothing was added by the failing calls
}

TEST(CollectionKeys, RemovingByIndexOrKeyFreesTheKey) {
  Collection c;
  c.Add("a", "ka");
  c.Add("b", "kb");
  c.Add("c");
  c.Remove(Variant("KB"));
  EXPECT_EQ(c.Find("kb"), nullptr);
  c.Add("b2", "kb");  // the key is free again
  c.Remove(1);
  EXPECT_EQ(Texts(c), (Texts_{"c", "b2"}));
  EXPECT_EQ(c.Find("ka"), nullptr);
  EXPECT_EQ(c.Item("kb").AsString(), "b2");
  EXPECT_EQ(ErrorNumberOf([&] { c.Remove(3); }), err::SubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { c.Remove("ka"); }), err::InvalidProcedureCall);
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

}  // namespace
}  // namespace tamarind
