// Sorted lists and the keyed sort of LVM_SORTITEMS.

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

#include "Fixture.h"
#include "runtime/Conversions.h"
#include "runtime/Text.h"

namespace tamarind::platform::testing {
namespace {

using Texts_ = std::vector<std::string>;

Texts_ Texts(const ListView& lv, int32_t column = 0) {
  Texts_ out;
  lv.ListItems().ForEach([&](const ListItemRef& it) { out.push_back(it->ColumnText(column)); });
  return out;
}

// The rows by item parameter, which names each row.
std::vector<LPARAM> Params(const ListView& lv) {
  std::vector<LPARAM> out;
  lv.ListItems().ForEach([&](const ListItemRef& it) { out.push_back(it->ItemParam()); });
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

// Thousands of rows, mostly different texts with repeats among them: the order is the one a
// stable sort comparing the texts pair by pair with the collator gives.
TEST_F(Sorting, ALongListSortsAsPairwiseComparisonsDo) {
  std::mt19937 random(11);
  const char* const stems[] = {"alpha", "Alpha", "\u00E9clair", "eclair", "Zulu", "zulu ", "10", "9", ""};
  std::vector<std::pair<std::string, LPARAM>> reference;
  for (int i = 0; i < 9000; ++i) {
    std::string text = stems[random() % std::size(stems)];
    if (i < 5000 || random() % 3 == 0) text += std::to_string(random() % 100000);  // first unique, then repeats
    reference.emplace_back(text, Row(text)->ItemParam());
  }
  for (int16_t order : {ListView::lvwDescending, ListView::lvwAscending}) {
    lv->SortBy(0, order);
    std::vector<std::pair<std::string, LPARAM>> expected = reference;
    std::stable_sort(expected.begin(), expected.end(), [order](const auto& a, const auto& b) {
      const int c = text::CompareText(a.first, b.first);
      return order == ListView::lvwAscending ? c < 0 : c > 0;
    });
    std::vector<LPARAM> params;
    for (const auto& e : expected) params.push_back(e.second);
    EXPECT_EQ(Params(*lv), params);
    reference = expected;  // the next sort starts from this order
  }
}

// The compare routine reads keys computed once per row, by item parameter.
std::unordered_map<LPARAM, double>* gKeys = nullptr;
int32_t CompareByKey(LPARAM a, LPARAM b, LPARAM descending) {
  const double d = (*gKeys)[a] - (*gKeys)[b];
  const int32_t r = d < 0 ? -1 : d > 0 ? 1 : 0;
  return descending ? -r : r;
}

// Reverses the order of adding.
int32_t Reverse(LPARAM a, LPARAM b, LPARAM) { return a < b ? 1 : a > b ? -1 : 0; }

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

// SortBy does in one sort what the three assignments do one after another, whatever the list's
// state: rows of equal text in the new column keep the order the sort by the old column gave them.
// Between sorts both lists go through the same changes: texts, rows added and removed, sub-items
// shifted, a keyed sort, the sort state changed without sorting.
TEST_F(Sorting, SortByEndsAsTheThreeAssignmentsEndOneByOne) {
  Desktop other;
  std::shared_ptr<ListView> twin = other.MakeList();
  const std::vector<ListView*> both = {lv.get(), twin.get()};
  std::mt19937 random(7);
  const char* const words[] = {"a", "B", "b", "\xC3\xA9", "e", "E", "10", "9", ""};
  auto word = [&] { return std::string(words[random() % std::size(words)]); };
  auto addRow = [&](int i) {
    const std::string a = word() + std::to_string(i % 7), b = word(), c = word();
    for (ListView* list : both) {
      auto it = list->ListItems().Add(0, {}, a);
      it->SubItems(1, b);
      it->SubItems(2, c);
    }
  };
  for (int i = 0; i < 60; ++i) addRow(i);
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    const auto key = static_cast<int16_t>(random() % 3), order = static_cast<int16_t>(random() % 2);
    lv->SortBy(key, order);
    twin->Sorted(true);
    twin->SortKey(key);
    twin->SortOrder(order);
    ASSERT_EQ(Params(*lv), Params(*twin));
    // And the rows do stand in order of that column, as the collator compares its texts.
    const Texts_ texts = Texts(*lv, key);
    for (size_t i = 1; i < texts.size(); ++i) {
      const int c = text::CompareText(texts[i - 1], texts[i]);
      ASSERT_TRUE(order == ListView::lvwAscending ? c <= 0 : c >= 0) << "\"" << texts[i - 1] << "\", \"" << texts[i] << "\"";
    }
    ASSERT_TRUE(lv->Sorted());
    ASSERT_EQ(lv->SortKey(), key);
    ASSERT_EQ(lv->SortOrder(), order);

    const int32_t n = lv->ListItems().Count();
    const int32_t row = static_cast<int32_t>(random() % static_cast<uint32_t>(n)) + 1;
    const std::string text = word();
    switch (random() % 7) {
      case 0:
        for (ListView* list : both) list->ListItems().Item(row)->SubItems(1 + round % 2, text);
        break;
      case 1:
        for (ListView* list : both) list->ListItems().Item(row)->Text(text);
        break;
      case 2:
        addRow(round);
        break;
      case 3:
        for (ListView* list : both) list->ListItems().Remove(row);
        break;
      case 4:
        for (ListView* list : both) {
          list->Sorted(false);
          list->GetToolkit().Windows().SendMessage(list->hWnd(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&Reverse));
        }
        break;
      case 5: {
        const auto k = static_cast<int16_t>(random() % 3), o = static_cast<int16_t>(random() % 2);
        for (ListView* list : both) {
          list->Sorted(false);
          list->SortKey(k);
          list->SortOrder(o);
        }
        break;
      }
      default:
        for (ListView* list : both) list->ListItems().Item(row)->GetListSubItems().Add(1, {}, text);
        break;
    }
  }
}

}  // namespace
}  // namespace tamarind::platform::testing
