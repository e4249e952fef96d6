// Filtering as a host uses it: exact and wildcard tests on any column, exclusion, filters that
// accumulate, and FilterRemove bringing every parked row back with what it carried.

#include "FilteringFixture.h"

#include <map>
#include "platform/ImageList.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class ExactFilter : public FilteringTest {};

TEST_F(ExactFilter, KeepsOnlyCellsEqualCharacterForCharacterWithoutEventsOrSounds) {
  FillCustomers({"abc", "ABC", "abc ", "abc", "xabc"});
  k.PlaySounds(true);
  k.Filter("abc", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"k1", "k4"}));
  // Walked from the last row to the first: parked last row first.
  EXPECT_EQ(ParkedKeys(), (Texts{"k5", "k3", "k2"}));
  EXPECT_TRUE(LockedAndUnlocked());
  EXPECT_TRUE(host.log.empty());
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

TEST_F(ExactFilter, ColumnZeroIsTheItemsOwnTextAndAnEmptySearchKeepsEmptyCells) {
  FillOrders();
  k.Filter("B-200", 0);
  EXPECT_EQ(Keys(), (Texts{"o3"}));
  k.FilterRemove();
  k.ListItems().Item("o4")->SubItems(kDue, "");
  k.Filter("", kDue);
  EXPECT_EQ(Keys(), (Texts{"o4"}));
}

class WildcardFilter : public FilteringTest {};

// A cell containing the text, whatever the case, with the search text's own wildcards.
TEST_F(WildcardFilter, KeepsCellsContainingThePatternWhateverTheCase) {
  const Texts customers = {"xxABCyy", "abc", "ab c", "aBc", "", "ac", "room 12", "a-c"};
  const std::vector<std::pair<std::string, Texts>> cases = {
      {"abc", {"k1", "k2", "k4"}},      {"a?c", {"k1", "k2", "k4", "k8"}}, {"#", {"k7"}},
      {"a[b-]c", {"k1", "k2", "k4", "k8"}}, {"a[!b]c", {"k8"}},              {"r*2", {"k7"}},
      {"", {"k1", "k2", "k3", "k4", "k5", "k6", "k7", "k8"}}};
  FillCustomers(customers);
  for (const auto& [pattern, kept] : cases) {
    k.FilterWild(pattern, kCustomer);
    EXPECT_EQ(SortedKeys(), kept) << pattern;
    if (pattern.empty()) {
      EXPECT_EQ(k.FilteredListItems, nullptr);
    }
    k.FilterRemove();
  }
}

// Letters beyond ASCII are upper-cased as whole words are: "é" meets "É", "ß" meets "SS".
TEST_F(WildcardFilter, CaseIsIgnoredForEveryLetterNotJustAscii) {
  FillOrders();
  k.ListItems().Item("o7")->SubItems(kCustomer, "Ivan Straße");
  for (const auto& [pattern, kept] : std::vector<std::pair<std::string, Texts>>{
           {"élodie", {"o5"}}, {"CHLOÉ NOV", {"o3"}}, {"strasse", {"o7"}}, {"ana", {"o1", "o4", "o6"}}}) {
    k.FilterWild(pattern, kCustomer);
    EXPECT_EQ(SortedKeys(), kept) << pattern;
    k.FilterRemove();
  }
}

class Exclusion : public FilteringTest {};

TEST_F(Exclusion, ExcludeMatchTakesOutTheMatchingRowsInstead) {
  FillOrders();
  k.Filter("Leaves", kCategory, true);
  EXPECT_EQ(Keys(), (Texts{"o1", "o3", "o5", "o6", "o7"}));
  EXPECT_EQ(ParkedKeys(), (Texts{"o4", "o2"}));
  k.FilterRemove();
  k.FilterWild("A", kCustomer, true);  // every customer with an "a" goes; "á" is another letter
  EXPECT_EQ(Keys(), (Texts{"o3", "o5"}));
  k.FilterRemove();
  k.FilterWild("", kQty, true);  // an empty wildcard matches every row
  EXPECT_EQ(k.ListItems().Count(), 0);
  EXPECT_EQ(ParkedKeys().size(), 7u);
}

class AccumulationAndRestore : public FilteringTest {};

TEST_F(AccumulationAndRestore, RowsComeBackAfterThoseStillShownLastParkedLast) {
  FillCustomers({"keep", "go", "keep", "go", "go"});
  k.Filter("keep", kCustomer);
  k.FilterRemove();
  EXPECT_EQ(Column(kId), (Texts{"1", "3", "5", "4", "2"}));
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

TEST_F(AccumulationAndRestore, FiltersAccumulateAndOneRestoreBringsEveryRowBack) {
  FillOrders();
  k.FilterWild("a", kCustomer);         // "chloé novák" and "Élodie Berg" have no plain "a"
  k.Filter("Seeds", kCategory, true);  // then the seed orders o1 and o6
  EXPECT_EQ(Keys(), (Texts{"o2", "o4", "o7"}));
  const std::shared_ptr<Collection> parked = k.FilteredListItems;
  EXPECT_EQ(ParkedKeys(), (Texts{"o5", "o3", "o6", "o1"}));
  // A further filter tests only the rows still shown and adds to the same collection.
  k.Filter("Leaves", kCategory);
  EXPECT_EQ(k.FilteredListItems, parked);
  EXPECT_EQ(ParkedKeys(), (Texts{"o5", "o3", "o6", "o1", "o7"}));

  k.FilterRemove();
  EXPECT_EQ(k.FilteredListItems, nullptr);
  EXPECT_EQ(Keys(), (Texts{"o2", "o4", "o5", "o3", "o6", "o1", "o7"}));
  for (const char* key : {"o1", "o2", "o3", "o4", "o5", "o6", "o7"})
    EXPECT_EQ(k.ListItems().Item(key)->Key(), key) << "the list finds its key again";
  EXPECT_EQ(k.ListItems().Item("o6")->SubItems(kCustomer), "ana costa");
}

TEST_F(AccumulationAndRestore, ARestoredRowKeepsExactlyWhatItCarriedBesidesItsPlaceAndOwnStyle) {
  FillOrders();
  auto icons = std::make_shared<ImageList>();
  icons->Add(std::make_shared<StdPicture>(16, 16, RGB(1, 2, 3)));
  k.SmallIcons(icons);
  ListItemRef row = k.ListItems().Item("o3");
  row->SmallIcon(Variant(int32_t{1}));
  row->Tag(Variant("pods"));
  row->Bold(true);
  row->ToolTipText("row tip");
  row->Checked(true);
  user.ClickCell(lv, 3, kId);
  ASSERT_TRUE(row->Selected());
  ListSubItem qty = row->GetListSubItems().Item(kQty);
  qty.Tag(Variant(7.5));
  qty.ReportIcon(Variant(int32_t{1}));
  qty.Bold(true);
  qty.ForeColor(RGB(0, 0, 180));
  qty.Key("qty");
  qty.ToolTipText("seven");

  k.Filter("B-200", 0, true);
  k.FilterRemove();

  const ListItemRef back = k.ListItems().Item("o3");
  EXPECT_EQ(back->Index(), 7);
  EXPECT_EQ(back->Text(), "B-200");
  EXPECT_EQ(CLng(back->SmallIcon()), 1);
  EXPECT_EQ(CStr(back->Tag()), "pods");
  EXPECT_EQ(back->SubItems(kCustomer), "chloé novák");
  const ListSubItem restored = back->GetListSubItems().Item(kQty);
  EXPECT_EQ(restored.Text(), "7");
  EXPECT_EQ(CDbl(restored.Tag()), 7.5);
  EXPECT_EQ(CLng(restored.ReportIcon()), 1);
  EXPECT_TRUE(restored.Bold());
  EXPECT_EQ(restored.ForeColor(), RGB(0, 0, 180));
  EXPECT_EQ(restored.Key(), "qty");
  EXPECT_EQ(restored.ToolTipText(), "seven");
  // The row's own styling, check mark and selection are not carried back.
  EXPECT_FALSE(back->Bold());
  EXPECT_EQ(back->ToolTipText(), "");
  EXPECT_FALSE(back->Checked());
  EXPECT_FALSE(back->Selected());
}

TEST_F(AccumulationAndRestore, NothingToTakeOutOrBringBackOnlyLocksAndUnlocks) {
  k.Filter("x", kCustomer);
  EXPECT_EQ(k.FilteredListItems, nullptr);
  EXPECT_TRUE(LockedAndUnlocked());
  FillOrders();
  tk.Windows().ClearHistory();
  k.FilterRemove();
  EXPECT_EQ(tk.Windows().LockHistory(), (std::vector<HWND>{lv.hWnd(), 0}));
  EXPECT_EQ(Keys(), (Texts{"o1", "o2", "o3", "o4", "o5", "o6", "o7"}));
  // An emptied list adds nothing to the rows already parked.
  k.Filter("Seeds", kCategory);
  k.ListItems().Clear();
  k.FilterWild("zz", kCustomer);
  EXPECT_EQ(ParkedKeys(), (Texts{"o7", "o5", "o4", "o3", "o2"}));
}

TEST_F(AccumulationAndRestore, RowsTheHostAddedMeanwhileStayAndASortedListPlacesTheRestoredRows) {
  FillOrders();
  k.Filter("Leaves", kCategory);
  ListItemRef added = k.ListItems().Add(0, "n1", "A-050");
  k.FilterRemove();
  EXPECT_EQ(Keys(), (Texts{"o2", "o4", "n1", "o7", "o6", "o5", "o3", "o1"}));

  k.ListItems().Remove("n1");
  k.Sorted(true);  // by the order column, ascending
  k.Filter("Seeds", kCategory, true);
  k.FilterRemove();
  EXPECT_EQ(Column(kId), (Texts{"A-100", "A-101", "B-200", "B-201", "C-300", "C-301", "D-400"}));
}

// Removing a selected row keeps the rest of the selection as the user left it.
TEST_F(AccumulationAndRestore, TakingOutSelectedRowsKeepsTheOtherSelectedRows) {
  FillOrders();
  CtrlClickRows({2, 5, 7, 4});
  k.Filter("Leaves", kCategory, true);  // o2 and o4, the focused row, go
  EXPECT_EQ(k.GetSelectedKeys(), "o5,o7");
  ASSERT_NE(k.SelectedItem(), nullptr);
  EXPECT_EQ(k.SelectedItem()->Key(), "o5");  // no focused row left: the first selected one
  k.FilterRemove();
  EXPECT_EQ(k.GetSelectedKeys(), "o5,o7");  // the restored rows come back unselected
  user.ClickCell(lv, 1, kId);                // a plain click: the clicked row alone
  EXPECT_EQ(k.GetSelectedKeys(), "o1");
}

// Thousands of keyed rows taken out and put back again and again, with keys changed and reused
// meanwhile: every key the host expects finds its row, and no other key finds one.
TEST_F(AccumulationAndRestore, EveryKeyFindsItsRowThroughManyFiltersAndRestores) {
  const auto Key = [](int i) { return "key" + std::to_string(i); };
  std::map<std::string, std::string> expected;  // key -> the row's text
  for (int i = 0; i < 3000; ++i) {
    k.ListItems().Add(0, Key(i), std::to_string(i % 97));
    expected[Key(i)] = std::to_string(i % 97);
  }
  uint64_t state = 7;
  auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  for (int round = 0; round < 12; ++round) {
    k.FilterWild(std::to_string(next(10)), 0, next(2) == 0);
    // While filtered the host renames a few shown rows and adds rows under fresh keys.
    for (int j = 0; j < 20 && k.ListItems().Count() > 0; ++j) {
      ListItemRef row = k.ListItems().Item(static_cast<int32_t>(next(static_cast<uint64_t>(k.ListItems().Count()))) + 1);
      const std::string renamed = "renamed" + std::to_string(round) + "_" + std::to_string(j);
      expected[renamed] = row->Text();
      expected.erase(row->Key());
      row->Key(renamed);
      const std::string added = "added" + std::to_string(round) + "_" + std::to_string(j);
      k.ListItems().Add(0, added, "new");
      expected[added] = "new";
    }
    if (next(3) != 0) k.FilterRemove();
  }
  k.FilterRemove();
  ASSERT_EQ(static_cast<size_t>(k.ListItems().Count()), expected.size());
  for (const auto& [key, text] : expected) {
    ListItem* row = k.ListItems().FindKey(key);
    ASSERT_NE(row, nullptr) << key;
    EXPECT_EQ(row->Text(), text) << key;
  }
  for (int i = 0; i < 3000; i += 7)  // and no renamed row still answers to its old key
    EXPECT_EQ(k.ListItems().FindKey(Key(i)) != nullptr, expected.count(Key(i)) == 1) << Key(i);
}

}  // namespace
}  // namespace tamarind::testing
