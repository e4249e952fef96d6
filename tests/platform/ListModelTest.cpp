// The list view's rows and columns: keys, indexes, removal, sub-items, item parameters.

#include <gtest/gtest.h>

#include <set>

#include "Fixture.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform::testing {
namespace {

int32_t ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

class ListModel : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  ListItems& items = lv->ListItems();
};

TEST_F(ListModel, KeysAreUniqueCaseSensitiveAndNeverNumeric) {
  items.Add(0, "a1", "first");
  EXPECT_EQ(ErrorOf([&] { items.Add(0, "a1", "again"); }), err::KeyNotUnique);
  EXPECT_EQ(items.Count(), 1);
  items.Add(0, "A1", "other case");  // keys name data rows: "a1" and "A1" are different rows
  for (const char* numeric : {"123", " 12 ", "1.5", "-3", "$5", "1E3"})
    EXPECT_EQ(ErrorOf([&] { items.Add(0, numeric, "x"); }), err::InvalidKey) << numeric;
  items.Add(0, "'123'", "quoted");
  items.Add(0, "1:2", "joined");
  EXPECT_EQ(items.Item("'123'")->Text(), "quoted");
  EXPECT_EQ(items.Item(std::string_view("1:2"))->Index(), 4);
  EXPECT_EQ(items.Count(), 4);
}

TEST_F(ListModel, IndexesAreOneBasedAndCheckedAtBothEnds) {
  items.Add(0, {}, "one");
  items.Add(0, {}, "three");
  items.Add(2, {}, "two");
  EXPECT_EQ(items.Item(2)->Text(), "two");
  EXPECT_EQ(items.Item(3)->Index(), 3);
  EXPECT_EQ(ErrorOf([&] { items.Item(0); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { items.Item(4); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { items.Add(5, {}, "gap"); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { items.Remove(4); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { items.Item("missing"); }), err::ElementNotFound);
}

TEST_F(ListModel, RemovedItemStaysReadableWhileHeld) {
  auto item = items.Add(0, "k", "kept");
  item->SubItems(2, "Oslo");
  item->GetListSubItems().Item(2).Bold(true);
  item->Tag(Variant("tag"));
  items.Add(0, {}, "after");
  items.Remove(1);
  EXPECT_EQ(item->Index(), 0);
  EXPECT_EQ(item->Owner(), nullptr);
  EXPECT_EQ(item->Key(), "k");
  EXPECT_EQ(item->Text(), "kept");
  EXPECT_EQ(item->SubItems(2), "Oslo");
  EXPECT_TRUE(item->GetListSubItems().Item(2).Bold());
  EXPECT_EQ(CStr(item->Tag()), "tag");
  EXPECT_EQ(items.FindKey("k"), nullptr);  // the key is free again
  items.Add(0, "k", "new");
  EXPECT_EQ(ErrorOf([&] { item->Top(); }), err::ObjectNotSet);
  EXPECT_EQ(items.Item(1)->Text(), "after");
}

TEST_F(ListModel, SubItemsFollowTheColumns) {
  auto item = items.Add(0, {}, "row");
  EXPECT_EQ(item->SubItems(2), "");  // never set: empty
  EXPECT_EQ(item->GetListSubItems().Count(), 0);
  item->SubItems(2, "c");
  EXPECT_EQ(item->GetListSubItems().Count(), 2);  // sub-item 1 came along
  EXPECT_EQ(item->SubItems(1), "");
  EXPECT_EQ(ErrorOf([&] { item->SubItems(3, "beyond the columns"); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { item->SubItems(0); }), err::IndexOutOfBounds);
  EXPECT_EQ(ErrorOf([&] { item->GetListSubItems().Item(3); }), err::IndexOutOfBounds);
  auto sub = item->GetListSubItems().Item(1);
  sub.Key("s1");
  EXPECT_EQ(ErrorOf([&] { item->GetListSubItems().Item(2).Key("s1"); }), err::KeyNotUnique);
  EXPECT_EQ(item->GetListSubItems().Item(std::string_view("s1")).Index(), 1);
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
  for (int i = items.Count(); i >= 1; i -= 2) items.Remove(i);  // every other row, reading between
  for (int i = 1; i <= items.Count(); ++i) ASSERT_EQ(items.Item(i)->Text(), std::to_string(2 * (i - 1)));
  while (items.Count() > 0) items.Remove(1);
  EXPECT_EQ(lv->TopIndex(), 0);
  EXPECT_EQ(lv->GetFirstVisible(), nullptr);
}

TEST_F(ListModel, SelectionIsSingleUnlessMultiSelect) {
  auto a = items.Add(0, {}, "a"), b = items.Add(0, {}, "b");
  EXPECT_EQ(lv->SelectedItem(), nullptr);
  a->Selected(true);
  b->Selected(true);
  EXPECT_FALSE(a->Selected());
  EXPECT_EQ(lv->SelectedItem(), b);
  lv->MultiSelect(true);
  a->Selected(true);
  EXPECT_TRUE(b->Selected());
  lv->SelectedItem(nullptr);
  EXPECT_FALSE(a->Selected());
  EXPECT_FALSE(b->Selected());
  b->Selected(true);
  items.Remove(2);
  EXPECT_EQ(lv->SelectedItem(), nullptr);
}

TEST_F(ListModel, ColumnsKeepTheirIndexWhenMoved) {
  auto& cols = lv->ColumnHeaders();
  EXPECT_EQ(cols.Item(2)->Text(), "Qty");
  EXPECT_FLOAT_EQ(cols.Item(2)->Width(), 1440);
  cols.Item(3)->Position(1);
  EXPECT_EQ(lv->ColumnOrder(), (std::vector<int32_t>{2, 0, 1}));
  EXPECT_EQ(cols.Item(3)->Index(), 3);
  EXPECT_EQ(cols.Item(1)->Position(), 2);
  cols.Add(2, "mid", "Middle");  // takes display place 2, later columns shift
  EXPECT_EQ(lv->ColumnOrder(), (std::vector<int32_t>{3, 1, 0, 2}));
  EXPECT_EQ(ErrorOf([&] { cols.Add(0, "mid"); }), err::KeyNotUnique);
  EXPECT_EQ(ErrorOf([&] { cols.Item(1)->Alignment(3); }), err::InvalidPropertyValue);
  cols.Remove(1);
  EXPECT_EQ(lv->ColumnOrder(), (std::vector<int32_t>{2, 0, 1}));
}

}  // namespace
}  // namespace tamarind::platform::testing
