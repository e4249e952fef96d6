// The list view's rows and columns (keys, indexes, removal, sub-items, item parameters), sorted
// lists and the keyed sort of LVM_SORTITEMS.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <tuple>

#include "Fixture.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::platform::testing {
namespace {

using test_support::ErrorNumberOf;

class ListModel : public ::testing::Test {
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
using Sorting = ListModel;

TEST_F(ListModel, KeysAreUniqueCaseSensitiveAndNeverNumericAndIndexesAreOneBased) {
  items.Add(0, "a1", "first");
  EXPECT_EQ(ErrorNumberOf([&] { items.Add(0, "a1", "again"); }), err::KeyNotUnique);
  items.Add(0, "A1", "other case");  // keys name data rows: "a1" and "A1" are different rows
  for (const char* numeric : {"123", " 12 ", "-3", "$5", "1E3"})
    EXPECT_EQ(ErrorNumberOf([&] { items.Add(0, numeric, "x"); }), err::InvalidKey) << numeric;
  items.Add(0, "1:2", "joined");
  EXPECT_EQ(items.Item(std::string_view("1:2"))->Index(), 3);
  EXPECT_EQ(items.Count(), 3);
  items.Clear();  // the keys are free again
  items.Add(0, "a1", "one");
  items.Add(0, {}, "three");
  items.Add(2, {}, "two");
  EXPECT_EQ(items.Item(2)->Text(), "two");
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
  EXPECT_EQ(std::make_tuple(item->Index(), item->Owner(), item->Text(), item->SubItems(2), CStr(item->Tag())),
            std::make_tuple(0, nullptr, std::string("kept"), std::string("Oslo"), std::string("tag")));
  items.Add(0, "k", "new");  // the key is free again
  EXPECT_EQ(ErrorNumberOf([&] { item->Top(); }), err::ObjectNotSet);  // no place on screen
}

// Enough rows for several internal blocks: indexes stay right through removals and insertions;
// item parameters are unique, kept through sorts, and never reused.
TEST_F(ListModel, IndexesAndItemParametersStayRightThroughManyRemovalsAndInsertions) {
  std::set<LPARAM> params;
  for (int i = 0; i < 3000; ++i) params.insert(items.Add(0, {}, std::to_string(i))->ItemParam());
  EXPECT_EQ(params.size(), 3000u);
  auto watched = items.Item(2500);
  const LPARAM watchedParam = watched->ItemParam();
  for (int i = 2999; i >= 1; i -= 2) items.Remove(i);  // every other row, last to first
  EXPECT_EQ(items.Count(), 1500);
  EXPECT_EQ(watched->Index(), 1250);
  EXPECT_EQ(items.Item(1250)->Text(), "2499");
  EXPECT_EQ(params.count(items.Add(1, {}, "front")->ItemParam()), 0u);  // a removed row's parameter is not reused
  EXPECT_EQ(watched->Index(), 1251);
  for (int i = 1; i <= items.Count(); ++i) ASSERT_EQ(items.Item(i)->Index(), i);
  lv->SortOrder(ListView::lvwDescending);
  lv->Sorted(true);
  EXPECT_EQ(watched->ItemParam(), watchedParam);
}

TEST_F(ListModel, RemovingRowsOfAScrolledListKeepsTheLastPageFull) {
  for (int i = 0; i < 100; ++i) items.Add(0, {}, std::to_string(i));
  const int32_t page = lv->VisibleRowCount();
  ASSERT_GT(page, 5);
  lv->ScrollTo(90, 0);  // beyond the last full page: held at it
  EXPECT_EQ(lv->TopIndex(), 100 - page);
  for (int i = 0; i < 10; ++i) items.Remove(items.Count());
  EXPECT_EQ(std::make_tuple(lv->TopIndex(), lv->GetFirstVisible()->Text()),
            std::make_tuple(90 - page, std::to_string(90 - page)));
  while (items.Count() > 0) items.Remove(1);
  EXPECT_EQ(std::make_tuple(lv->TopIndex(), lv->GetFirstVisible()), std::make_tuple(0, nullptr));

  // Half the rows taken out at once from under the last page: the same.
  for (int i = 0; i < 100; ++i) items.Add(0, {}, std::to_string(i));
  lv->ScrollTo(90, 0);
  items.RemoveIf([](const ListItem& row) { return std::stoi(row.Text()) % 2 == 1; });
  EXPECT_EQ(std::make_tuple(lv->TopIndex(), lv->GetFirstVisible()->Text()),
            std::make_tuple(50 - page, std::to_string(2 * (50 - page))));
}

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


// Two lists given the same rows, selection and focus: one loses rows one Remove at a time from
// the last to the first, the other loses the same rows through one RemoveIf. Afterwards they must
// agree on every row, key, index, selection and focus, and on the items taken out and their order.
TEST_F(ListModel, RemovingManyRowsAtOnceEndsAsRemovingThemOneByOne) {
  std::mt19937 random(11);
  for (const int rows : {7, 600, 5000}) {
    for (const int keepOneIn : {2, 10, 1000}) {
      Desktop other;
      std::shared_ptr<ListView> one = d.MakeList(), many = other.MakeList();
      for (ListView* lv2 : {one.get(), many.get()}) {
        lv2->MultiSelect(true);
        for (int i = 0; i < rows; ++i) {
          // Every third row without a key; inserted at the front now and then, so blocks split.
          const std::string key = i % 3 == 1 ? std::string() : "r" + std::to_string(i);
          lv2->ListItems().Add(i % 7 == 3 ? 1 : 0, key, std::to_string(i));
        }
      }
      std::vector<uint8_t> selected(static_cast<size_t>(rows)), taken(static_cast<size_t>(rows));
      for (auto& s2 : selected) s2 = random() % 5 == 0;
      for (auto& t : taken) t = random() % static_cast<unsigned>(keepOneIn) != 0;
      const auto focus = static_cast<int32_t>(random() % static_cast<unsigned>(rows)) + 1;
      for (ListView* lv2 : {one.get(), many.get()}) {
        for (int32_t i = 1; i <= rows; ++i)
          if (selected[static_cast<size_t>(i - 1)]) lv2->ListItems().Item(i)->Selected(true);
        lv2->FocusedItem(lv2->ListItems().Item(focus));
      }
      std::vector<ListItemRef> removedOne;
      for (int32_t i = rows; i >= 1; --i)
        if (taken[static_cast<size_t>(i - 1)]) {
          removedOne.push_back(one->ListItems().Item(i));
          one->ListItems().Remove(i);
        }
      int32_t tested = rows;
      const std::vector<ListItemRef> removedMany = many->ListItems().RemoveIf([&](const ListItem& row) {
        EXPECT_EQ(row.Index(), tested) << "rows are tested from the last to the first";
        return taken[static_cast<size_t>(--tested)] != 0;
      });

      const std::string where = std::to_string(rows) + " rows, one in " + std::to_string(keepOneIn) + " kept";
      ASSERT_EQ(Texts(*one), Texts(*many)) << where;
      ASSERT_EQ(removedOne.size(), removedMany.size()) << where;
      for (size_t i = 0; i < removedOne.size(); ++i) {
        ASSERT_EQ(removedOne[i]->Text(), removedMany[i]->Text()) << where;
        ASSERT_EQ(std::make_tuple(removedMany[i]->Index(), removedMany[i]->Owner()), std::make_tuple(0, nullptr));
        if (!removedOne[i]->Key().empty()) {
          EXPECT_EQ(many->ListItems().FindKey(removedOne[i]->Key()), nullptr) << where;
        }
      }
      for (int32_t i = 1; i <= many->ListItems().Count(); ++i) {
        const ListItemRef& row = many->ListItems().Item(i);
        ASSERT_EQ(row->Index(), i) << where;
        ASSERT_EQ(row->Selected(), one->ListItems().Item(i)->Selected()) << where;
        if (!row->Key().empty()) {
          ASSERT_EQ(many->ListItems().FindKey(row->Key()), row.get()) << where;
        }
      }
      EXPECT_EQ(many->SelectedCount(), one->SelectedCount()) << where;
      const ListItemRef focusedOne = one->FocusedItem(), focusedMany = many->FocusedItem();
      EXPECT_EQ(focusedOne ? focusedOne->Text() : "none", focusedMany ? focusedMany->Text() : "none") << where;
      // The keys of the rows taken out are free again, and the list goes on taking rows anywhere.
      if (!removedMany.empty() && !removedMany.front()->Key().empty()) {
        EXPECT_NO_THROW(many->ListItems().Add(1, removedMany.front()->Key(), "back"));
      }
      many->ListItems().Add(many->ListItems().Count() / 2 + 1, {}, "middle");
      for (int32_t i = 1; i <= many->ListItems().Count(); ++i) ASSERT_EQ(many->ListItems().Item(i)->Index(), i);
    }
  }
}

// The selected rows read alone, in list order with their indexes, whatever the order they were
// selected in and however the rows moved between blocks since.
TEST_F(ListModel, SelectedRowsInListOrderMatchAWalkOverEveryRow) {
  std::mt19937 random(5);
  lv->MultiSelect(true);
  for (int i = 0; i < 4000; ++i) items.Add(i % 5 == 0 ? 1 : 0, {}, std::to_string(i));
  for (int i = 0; i < 900; ++i)
    items.Item(static_cast<int32_t>(random() % static_cast<unsigned>(items.Count())) + 1)->Selected(true);
  for (int i = 0; i < 300; ++i) {
    const auto at = static_cast<int32_t>(random() % static_cast<unsigned>(items.Count())) + 1;
    if (i % 2) items.Remove(at);
    else items.Add(at, {}, "added" + std::to_string(i));
  }
  std::vector<std::pair<int32_t, ListItem*>> walked;
  for (int32_t i = 1; i <= items.Count(); ++i)
    if (items.Item(i)->Selected()) walked.emplace_back(i, items.Item(i).get());
  ASSERT_GT(walked.size(), 500u);
  EXPECT_EQ(lv->SelectedInListOrder(), walked);
  std::vector<ListItem*> refs;
  for (const ListItemRef& item : lv->SelectedItems()) refs.push_back(item.get());
  ASSERT_EQ(refs.size(), walked.size());
  for (size_t i = 0; i < refs.size(); ++i) EXPECT_EQ(refs[i], walked[i].second);
}

// Case is ignored, accents sort with their letter, and rows of equal text keep their order.
// Reverses the order of adding.
int32_t Reverse(LPARAM a, LPARAM b, LPARAM) { return a < b ? 1 : a > b ? -1 : 0; }

TEST_F(Sorting, SortedSortsAtOnceStableCaseInsensitiveAndLocaleAwareByTheKeyColumn) {
  for (const char* n : {"banana", "zeta", "Émile", "BANANA", "eagle", "ångström", "Apple"}) Row(n);
  lv->Sorted(true);
  EXPECT_EQ(Texts(*lv), (Texts_{"ångström", "Apple", "banana", "BANANA", "eagle", "Émile", "zeta"}));
  lv->SortOrder(ListView::lvwDescending);  // re-sorts while Sorted
  EXPECT_EQ(Texts(*lv), (Texts_{"zeta", "Émile", "eagle", "banana", "BANANA", "Apple", "ångström"}));
  // The sort key chooses the column, sorted by its text.
  lv->Sorted(false);
  items.Clear();
  for (const char* q : {"10", "9", "100", ""}) Row(std::string("r") + q, q);  // "" leaves no sub-item
  lv->SortKey(1);
  lv->SortBy(1, ListView::lvwAscending);
  EXPECT_EQ(Texts(*lv), (Texts_{"r", "r10", "r100", "r9"}));
  // The keyed sort of LVM_SORTITEMS hands the compare routine the item parameters, and renumbers the rows.
  lv->Sorted(false);
  ASSERT_EQ(d.tk.Windows().SendMessage(lv->hWnd(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&Reverse)), 1);
  EXPECT_EQ(Texts(*lv), (Texts_{"r", "r100", "r9", "r10"}));
  EXPECT_EQ(items.Item(4)->Index(), 4);
}

// Rows added while sorted go where sorting the whole list again would put them: at both ends, and
// after the rows of equal text already there. Once no longer sorted, they go to the end.
TEST_F(Sorting, RowsAddedWhileSortedGoWhereAFullSortPutsThem) {
  lv->Sorted(true);
  for (const char* n : {"m", "C", "x", "a", "M"}) Row(n);
  EXPECT_EQ(Texts(*lv), (Texts_{"a", "C", "m", "M", "x"}));
  lv->SortOrder(ListView::lvwDescending);
  for (const char* n : {"c", "z", "0", "x"}) Row(n);
  const Texts_ descending = {"z", "x", "x", "m", "M", "C", "c", "a", "0"};
  EXPECT_EQ(Texts(*lv), descending);
  const ListItemRef later = items.Item(3);  // the "x" added last
  lv->SortOrder(ListView::lvwAscending);
  lv->SortOrder(ListView::lvwDescending);
  EXPECT_EQ(Texts(*lv), descending);
  EXPECT_EQ(later->Index(), 3);
  lv->Sorted(false);
  Row("b");
  EXPECT_EQ(Texts(*lv).back(), "b");
}

// Thousands of rows, mostly different texts with repeats among them: the order is the one a
// stable sort comparing the texts pair by pair with the collator gives.
TEST_F(Sorting, ALongListSortsAsPairwiseComparisonsDo) {
  std::mt19937 random(11);
  const char* const stems[] = {"alpha", "Alpha", "\u00E9clair", "eclair", "Zulu", "zulu ", "10", "9", ""};
  std::vector<std::pair<std::string, LPARAM>> expected;
  for (int i = 0; i < 9000; ++i) {
    std::string text = stems[random() % std::size(stems)];
    if (i < 5000 || random() % 3 == 0) text += std::to_string(random() % 100000);  // first unique, then repeats
    expected.emplace_back(text, Row(text)->ItemParam());
  }
  for (int16_t order : {ListView::lvwDescending, ListView::lvwAscending}) {  // each sort starts from the last
    lv->SortBy(0, order);
    std::stable_sort(expected.begin(), expected.end(), [order](const auto& a, const auto& b) {
      const int c = text::CompareText(a.first, b.first);
      return order == ListView::lvwAscending ? c < 0 : c > 0;
    });
    std::vector<LPARAM> params;
    for (const auto& e : expected) params.push_back(e.second);
    EXPECT_EQ(Params(*lv), params);
  }
}

// SortBy does in one sort what the three assignments do one after another, whatever the list's
// state: rows of equal text in the new column keep the order the sort by the old column gave them.
// Between sorts both lists go through the same changes: texts, rows added and removed, sub-items
// shifted, a keyed sort, the sort state changed without sorting.
TEST_F(Sorting, SortByEndsAsTheThreeAssignmentsEndOneByOne) {
  Desktop other;
  std::shared_ptr<ListView> twin = other.MakeList();
  auto both = [&](const std::function<void(ListView&)>& change) {
    change(*lv);
    change(*twin);
  };
  std::mt19937 random(7);
  const char* const words[] = {"a", "B", "b", "\xC3\xA9", "e", "E", "10", "9", ""};
  auto word = [&] { return std::string(words[random() % std::size(words)]); };
  auto addRow = [&](int i) {
    const std::string a = word() + std::to_string(i % 7), b = word(), c = word();
    both([&](ListView& l) {
      auto it = l.ListItems().Add(0, {}, a);
      it->SubItems(1, b);
      it->SubItems(2, c);
    });
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
    ASSERT_TRUE(lv->Sorted() && lv->SortKey() == key && lv->SortOrder() == order);

    const int32_t row = static_cast<int32_t>(random() % static_cast<uint32_t>(lv->ListItems().Count())) + 1;
    const std::string text = word();
    const auto k = static_cast<int16_t>(random() % 3), o = static_cast<int16_t>(random() % 2);
    switch (random() % 7) {
      case 0: both([&](ListView& l) { l.ListItems().Item(row)->SubItems(1 + round % 2, text); }); break;
      case 1: both([&](ListView& l) { l.ListItems().Item(row)->Text(text); }); break;
      case 2: addRow(round); break;
      case 3: both([&](ListView& l) { l.ListItems().Remove(row); }); break;
      case 4:
        both([](ListView& l) {
          l.Sorted(false);
          l.GetToolkit().Windows().SendMessage(l.hWnd(), LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&Reverse));
        });
        break;
      case 5:
        both([&](ListView& l) {
          l.Sorted(false);
          l.SortKey(k);
          l.SortOrder(o);
        });
        break;
      default: both([&](ListView& l) { l.ListItems().Item(row)->GetListSubItems().Add(1, {}, text); }); break;
    }
  }
}

}  // namespace
}  // namespace tamarind::platform::testing
