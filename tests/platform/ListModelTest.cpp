// The list view's rows and columns: keys, indexes, removal, sub-items, item parameters.

#include <gtest/gtest.h>

#include <set>

#include "Fixture.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::platform::testing {
namespace {

using test_support::ErrorNumberOf;

class ListModel : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  ListItems& items = lv->ListItems();
};

TEST_F(ListModel, KeysAreUniqueCaseSensitiveAndNeverNumeric) {
  items.Add(0, "a1", "first");
  EXPECT_EQ(ErrorNumberOf([&] { items.Add(0, "a1", "again"); }), err::KeyNotUnique);
  items.Add(0, "A1", "other case");  // keys name data rows: "a1" and "A1" are different rows
  for (const char* numeric : {"123", " 12 ", "-3", "$5", "1E3"})
    EXPECT_EQ(ErrorNumberOf([&] { items.Add(0, numeric, "x"); }), err::InvalidKey) << numeric;
  items.Add(0, "1:2", "joined");
  EXPECT_EQ(items.Item(std::string_view("1:2"))->Index(), 3);
  EXPECT_EQ(items.Count(), 3);
}

TEST_F(ListModel, IndexesAreOneBasedAndCheckedAtBothEnds) {
  items.Add(0, {}, "one");
  items.Add(0, {}, "three");
  items.Add(2, {}, "two");
  EXPECT_EQ(items.Item(2)->Text(), "two");
  EXPECT_EQ(items.Item(3)->Index(), 3);
  EXPECT_EQ(ErrorNumberOf([&] { items.Item(0); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorNumberOf([&] { items.Item(4); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorNumberOf([&] { items.Add(5, {}, "gap"); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorNumberOf([&] { items.Remove(4); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorNumberOf([&] { items.Item("missing"); }), err::ElementNotFound);
  items.Add(4, {}, "four");  // one past the last row is the end
  EXPECT_EQ(items.Item(4)->Text(), "four");
  EXPECT_EQ(items.Item(3)->Text(), "three");
  EXPECT_EQ(ErrorNumberOf([&] { items.Add(-1, {}, "before"); }), err::IndexOutOfBounds);
}

TEST_F(ListModel, RemovedItemStaysReadableWhileHeld) {
  auto item = items.Add(0, "k", "kept");
  item->SubItems(2, "Oslo");
  item->Tag(Variant("tag"));
  EXPECT_EQ(ErrorNumberOf([&] { item->SubItems(3, "beyond the columns"); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorNumberOf([&] { item->SubItems(3); }), err::IndexOutOfBounds);  // read one past the last column
  EXPECT_EQ(ErrorNumberOf([&] { item->SubItems(0); }), err::IndexOutOfBounds);
  EXPECT_EQ(item->SubItems(1), "");  // a sub-item never set reads empty
  items.Remove(1);
  EXPECT_EQ(item->Index(), 0);
  EXPECT_EQ(item->Owner(), nullptr);
  EXPECT_EQ(item->Text(), "kept");
  EXPECT_EQ(item->SubItems(2), "Oslo");
  EXPECT_EQ(CStr(item->Tag()), "tag");
  items.Add(0, "k", "new");  // the key is free again
  EXPECT_EQ(ErrorNumberOf([&] { item->Top(); }), err::ObjectNotSet);  // no place on screen
}

TEST_F(ListModel, ItemParametersAreUniqueAndStable) {
  std::vector<ListItemRef> added;
  for (int i = 0; i < 50; ++i) added.push_back(items.Add(0, {}, "row" + std::to_string(i)));
  std::set<LPARAM> params;
  for (auto& it : added) params.insert(it->ItemParam());
  EXPECT_EQ(params.size(), 50u);
  const LPARAM p7 = added[7]->ItemParam();
  items.Remove(3);
  lv->SortOrder(ListView::lvwDescending);
  lv->Sorted(true);
  EXPECT_EQ(added[7]->ItemParam(), p7);
  auto newcomer = items.Add(0, {}, "row99");
  EXPECT_EQ(params.count(newcomer->ItemParam()), 0u);  // a removed row's parameter is not reused
}

TEST_F(ListModel, IndexStaysRightThroughManyRemovalsAndInsertions) {
  // Enough rows for several internal blocks.
  for (int i = 0; i < 3000; ++i) items.Add(0, {}, std::to_string(i));
  auto watched = items.Item(2500);
  for (int i = 2999; i >= 1; i -= 2) items.Remove(i);  // every other row, last to first
  EXPECT_EQ(items.Count(), 1500);
  EXPECT_EQ(watched->Index(), 1250);
  EXPECT_EQ(items.Item(1250)->Text(), "2499");
  items.Add(1, {}, "front");
  EXPECT_EQ(watched->Index(), 1251);
  for (int i = 1; i <= items.Count(); ++i) ASSERT_EQ(items.Item(i)->Index(), i);
}

TEST_F(ListModel, RemovingRowsOfAScrolledListKeepsTheLastPageFull) {
  for (int i = 0; i < 100; ++i) items.Add(0, {}, std::to_string(i));
  const int32_t page = lv->VisibleRowCount();
  ASSERT_GT(page, 5);
  lv->ScrollTo(90, 0);  // beyond the last full page: held at it
  EXPECT_EQ(lv->TopIndex(), 100 - page);
  for (int i = 0; i < 10; ++i) items.Remove(items.Count());
  EXPECT_EQ(lv->TopIndex(), 90 - page);
  EXPECT_EQ(lv->GetFirstVisible()->Text(), std::to_string(90 - page));
  while (items.Count() > 0) items.Remove(1);
  EXPECT_EQ(lv->TopIndex(), 0);
  EXPECT_EQ(lv->GetFirstVisible(), nullptr);
}

}  // namespace
}  // namespace tamarind::platform::testing
