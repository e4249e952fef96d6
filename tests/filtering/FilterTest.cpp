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

TEST_F(ExactFilter, KeepsOnlyCellsEqualCharacterForCharacter) {
  Fill({{"k1", "1", "abc", "", "", ""},
        {"k2", "2", "ABC", "", "", ""},
        {"k3", "3", "abc ", "", "", ""},
        {"k4", "4", "abc", "", "", ""},
        {"k5", "5", "xabc", "", "", ""}});
  k.Filter("abc", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"k1", "k4"}));
  // Walked from the last row to the first: parked last row first.
  EXPECT_EQ(ParkedKeys(), (Texts{"k5", "k3", "k2"}));
  EXPECT_TRUE(LockedAndUnlocked());
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

TEST_F(ExactFilter, NoFilterEventsAndNoSounds) {
  FillOrders();
  k.PlaySounds(true);
  k.Filter("Seeds", kCategory);
  EXPECT_EQ(Keys(), (Texts{"o1", "o6"}));
  EXPECT_TRUE(host.log.empty());
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

class WildcardFilter : public FilteringTest {};

TEST_F(WildcardFilter, KeepsCellsContainingTheTextWhateverTheCase) {
  Fill({{"k1", "1", "xxABCyy", "", "", ""},
        {"k2", "2", "abc", "", "", ""},
        {"k3", "3", "ab c", "", "", ""},
        {"k4", "4", "aBc", "", "", ""},
        {"k5", "5", "", "", "", ""}});
  k.FilterWild("abc", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"k1", "k2", "k4"}));
  EXPECT_EQ(ParkedKeys(), (Texts{"k5", "k3"}));
}

TEST_F(WildcardFilter, TheSearchTextMayCarryItsOwnWildcards) {
  Fill({{"k1", "1", "ABC", "", "", ""},
        {"k2", "2", "xabcx", "", "", ""},
        {"k3", "3", "ac", "", "", ""},
        {"k4", "4", "room 12", "", "", ""},
        {"k5", "5", "a-c", "", "", ""}});
  k.FilterWild("a?c", kCustomer);
  EXPECT_EQ(SortedKeys(), (Texts{"k1", "k2", "k5"}));
  k.FilterRemove();
  k.FilterWild("#", kCustomer);
  EXPECT_EQ(SortedKeys(), (Texts{"k4"}));
  k.FilterRemove();
  k.FilterWild("a[b-]c", kCustomer);  // a list: "b" or "-"
  EXPECT_EQ(SortedKeys(), (Texts{"k1", "k2", "k5"}));
  k.FilterRemove();
  k.FilterWild("a[!b]c", kCustomer);
  EXPECT_EQ(SortedKeys(), (Texts{"k5"}));
  k.FilterRemove();
  k.FilterWild("r*2", kCustomer);
  EXPECT_EQ(SortedKeys(), (Texts{"k4"}));
}

// Letters beyond ASCII are upper-cased as whole words are: "é" meets "É", "ß" meets "SS".
TEST_F(WildcardFilter, CaseIsIgnoredForEveryLetterNotJustAscii) {
  FillOrders();
  k.ListItems().Item("o7")->SubItems(kCustomer, "Ivan Straße");
  k.FilterWild("élodie", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"o5"}));
  k.FilterRemove();
  k.FilterWild("CHLOÉ NOV", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"o3"}));
  k.FilterRemove();
  k.FilterWild("strasse", kCustomer);
  EXPECT_EQ(Keys(), (Texts{"o7"}));
  k.FilterRemove();
  k.FilterWild("ana", kCustomer);  // "Ana Silva", "Dana Okafor" and "ana costa"
  EXPECT_EQ(SortedKeys(), (Texts{"o1", "o4", "o6"}));
}

TEST_F(WildcardFilter, AnEmptySearchKeepsEveryRow) {
  FillOrders();
  k.FilterWild("", kCustomer);
  EXPECT_EQ(k.ListItems().Count(), 7);
  EXPECT_EQ(k.FilteredListItems, nullptr);
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
}

TEST_F(Exclusion, ExcludingWithAnEmptyWildcardTakesOutEveryRow) {
  FillOrders();
  k.FilterWild("", kQty, true);
  EXPECT_EQ(k.ListItems().Count(), 0);
  EXPECT_EQ(ParkedKeys(), (Texts{"o7", "o6", "o5", "o4", "o3", "o2", "o1"}));
  k.FilterRemove();
  EXPECT_EQ(Keys(), (Texts{"o7", "o6", "o5", "o4", "o3", "o2", "o1"}));
}

class AccumulationAndRestore : public FilteringTest {};

TEST_F(AccumulationAndRestore, RowsComeBackAfterThoseStillShownLastParkedLast) {
  Fill({{"r1", "1", "keep", "", "", ""},
        {"r2", "2", "go", "", "", ""},
        {"r3", "3", "keep", "", "", ""},
        {"r4", "4", "go", "", "", ""},
        {"r5", "5", "go", "", "", ""}});
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
  row->Icon(Variant(int32_t{1}));
  row->SmallIcon(Variant(int32_t{1}));
  row->Tag(Variant("pods"));
  row->Bold(true);
  row->ForeColor(RGB(200, 0, 0));
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
  EXPECT_NE(back, row);      // a new row in the list
  EXPECT_EQ(row->Index(), 0);  // the parked one stays out
  EXPECT_EQ(back->Index(), 7);
  EXPECT_EQ(back->Text(), "B-200");
  EXPECT_EQ(CLng(back->Icon()), 1);
  EXPECT_EQ(CLng(back->SmallIcon()), 1);
  EXPECT_EQ(CStr(back->Tag()), "pods");
  EXPECT_EQ(back->SubItems(kCustomer), "chloé novák");
  EXPECT_EQ(back->SubItems(kDue), "11/15/2026");
  const ListSubItem restored = back->GetListSubItems().Item(kQty);
  EXPECT_EQ(restored.Text(), "7");
  EXPECT_EQ(CDbl(restored.Tag()), 7.5);
  EXPECT_EQ(CLng(restored.ReportIcon()), 1);
  EXPECT_TRUE(restored.Bold());
  EXPECT_EQ(restored.ForeColor(), RGB(0, 0, 180));
  EXPECT_EQ(restored.Key(), "qty");
  EXPECT_EQ(restored.ToolTipText(), "seven");
  EXPECT_FALSE(back->GetListSubItems().Item(kCustomer).Bold());
  // The row's own styling, check mark and selection are not carried back.
  EXPECT_FALSE(back->Bold());
  EXPECT_EQ(back->ForeColor(), k.ListItems().Item("o1")->ForeColor());
  EXPECT_EQ(back->ToolTipText(), "");
  EXPECT_FALSE(back->Checked());
  EXPECT_FALSE(back->Selected());
}

TEST_F(AccumulationAndRestore, RestoreWithNothingParkedOnlyLocksAndUnlocks) {
  FillOrders();
  tk.Windows().ClearHistory();
  k.FilterRemove();
  EXPECT_EQ(tk.Windows().LockHistory(), (std::vector<HWND>{lv.hWnd(), 0}));
  EXPECT_EQ(Keys(), (Texts{"o1", "o2", "o3", "o4", "o5", "o6", "o7"}));
}

TEST_F(AccumulationAndRestore, AnEmptyListTakesNothingOutAndLeavesTheCollectionAsItWas) {
  k.Filter("x", kCustomer);
  EXPECT_EQ(k.FilteredListItems, nullptr);
  EXPECT_TRUE(LockedAndUnlocked());
  FillOrders();
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
  k.Filter("D-400", 0, true);                // then o7 goes too
  ASSERT_NE(k.SelectedItem(), nullptr);
  EXPECT_EQ(k.SelectedItem()->Key(), "o5");
  EXPECT_EQ(k.GetSelectedKeys(), "o5");
  k.FilterRemove();
  EXPECT_EQ(k.GetSelectedKeys(), "o5");  // the restored rows come back unselected
  user.ClickCell(lv, 1, kId);                // a plain click: the clicked row alone
  EXPECT_EQ(k.GetSelectedKeys(), "o1");
}

// Thousands of keyed rows taken out and put back again and again, with keys changed and reused
// meanwhile: every key the host expects finds its row, and no other key finds one.
TEST_F(AccumulationAndRestore, EveryKeyFindsItsRowThroughManyFiltersAndRestores) {
  std::map<std::string, std::string> expected;  // key -> the row's text
  for (int i = 0; i < 3000; ++i) {
    const std::string key = "key" + std::to_string(i);
    k.ListItems().Add(0, key, std::to_string(i % 97));
    expected[key] = std::to_string(i % 97);
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
  for (int i = 0; i < 3000; i += 7) {
    const std::string key = "key" + std::to_string(i);
    EXPECT_EQ(k.ListItems().FindKey(key) != nullptr, expected.count(key) == 1) << key;
  }
}

}  // namespace
}  // namespace tamarind::testing
