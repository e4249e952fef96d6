// Sorted lists and the keyed sort of LVM_SORTITEMS.

#include <gtest/gtest.h>

#include <unordered_map>

#include "Fixture.h"
#include "runtime/Conversions.h"

namespace tamarind::platform::testing {
namespace {

using Texts_ = std::vector<std::string>;

Texts_ Texts(const ListView& lv, int32_t column = 0) {
  Texts_ out;
  lv.ListItems().ForEach([&](const ListItemRef& it) { out.push_back(it->ColumnText(column)); });
  return out;
}

class Sorting : public ::testing::Test {
 protected:
  Desktop d;
  std::shared_ptr<ListView> lv = d.MakeList();
  ListItems& items = lv->ListItems();

  ListItemRef Row(const std::string& name, const std::string& qty = {}) {
    auto it = items.Add(0, {}, name);
    if (!qty.empty()) it->SubItems(1, qty);
    return it;
  }
};

// Case is ignored, accents sort with their letter, and rows of equal text keep their order.
TEST_F(Sorting, SortedSortsAtOnceStableCaseInsensitiveAndLocaleAware) {
  for (const char* n : {"banana", "zeta", "Émile", "BANANA", "eagle", "ångström", "Apple"}) Row(n);
  lv->Sorted(true);
  EXPECT_EQ(Texts(*lv), (Texts_{"ångström", "Apple", "banana", "BANANA", "eagle", "Émile", "zeta"}));
  lv->SortOrder(ListView::lvwDescending);  // re-sorts while Sorted
  EXPECT_EQ(Texts(*lv), (Texts_{"zeta", "Émile", "eagle", "banana", "BANANA", "Apple", "ångström"}));
}

TEST_F(Sorting, SortKeyChoosesTheColumnAndSortsByItsText) {
  for (const char* q : {"10", "9", "100", ""}) Row(std::string("r") + q, q);  // "" leaves no sub-item
  lv->SortKey(1);
  lv->Sorted(true);
  EXPECT_EQ(Texts(*lv), (Texts_{"r", "r10", "r100", "r9"}));
}

TEST_F(Sorting, AddedRowsGoToTheirSortedPlace) {
  lv->Sorted(true);
  for (const char* n : {"m", "C", "x", "a", "M"}) Row(n);
  EXPECT_EQ(Texts(*lv), (Texts_{"a", "C", "m", "M", "x"}));
  lv->Sorted(false);
  Row("b");  // no longer kept in order
  EXPECT_EQ(Texts(*lv).back(), "b");
}

// Descending, every added row lands where sorting the whole list again would put it: before the
// smaller texts, at both ends, and after the rows of equal text already there.
TEST_F(Sorting, RowsAddedWhileSortedDescendingGoWhereAFullSortPutsThem) {
  lv->SortOrder(ListView::lvwDescending);
  lv->Sorted(true);
  for (const char* n : {"m", "c", "x", "a", "M", "z", "0", "x"}) Row(n);
  EXPECT_EQ(Texts(*lv), (Texts_{"z", "x", "x", "m", "M", "c", "a", "0"}));
  const ListItemRef second = items.Item(3);  // the later "x"
  lv->SortOrder(ListView::lvwAscending);
  lv->SortOrder(ListView::lvwDescending);
  EXPECT_EQ(Texts(*lv), (Texts_{"z", "x", "x", "m", "M", "c", "a", "0"}));
  EXPECT_EQ(second->Index(), 3);
}

// The compare routine reads keys computed once per row, by item parameter.
std::unordered_map<LPARAM, double>* gKeys = nullptr;
int32_t CompareByKey(LPARAM a, LPARAM b, LPARAM descending) {
  const double d = (*gKeys)[a] - (*gKeys)[b];
  const int32_t r = d < 0 ? -1 : d > 0 ? 1 : 0;
  return descending ? -r : r;
}

TEST_F(Sorting, SortItemsHandsTheItemParametersToTheCompareRoutine) {
  for (const char* q : {"10", "9", "100", "-1", "9"}) Row(std::string("r") + q, q);
  std::unordered_map<LPARAM, double> keys;
  items.ForEach([&](const ListItemRef& it) { keys[it->ItemParam()] = CDbl(Variant(it->ColumnText(1))); });
  gKeys = &keys;
  auto& wm = d.tk.Windows();
  EXPECT_EQ(wm.SendMessage(lv->hWnd(), LVM_SORTITEMS, 1, reinterpret_cast<LPARAM>(&CompareByKey)), 1);
  EXPECT_EQ(Texts(*lv, 1), (Texts_{"100", "10", "9", "9", "-1"}));
  EXPECT_FALSE(lv->Sorted());  // a keyed sort is not the list's own sort state
  for (int i = 1; i <= items.Count(); ++i) EXPECT_EQ(items.Item(i)->Index(), i);
  EXPECT_EQ(wm.SendMessage(lv->hWnd(), LVM_SORTITEMS, 0, 0), 0);  // no routine: nothing happens
  gKeys = nullptr;
}

}  // namespace
}  // namespace tamarind::platform::testing
