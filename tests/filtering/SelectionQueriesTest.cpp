// What the host asks about the selection and the rows: selected keys and indexes with their
// joining rule, the round trip through the list's own text order under smart sorting, the first
// row shown, the selected row and the list's search.

#include "FilteringFixture.h"
#include "platform/listview/ListView.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class SelectedKeysAndIndexes : public FilteringTest {
 protected:
  // The host selects exactly these rows (1-based).
  void Select(const std::vector<int32_t>& rows) {
    k.MultiSelect(true);
    k.ListItems().ForEach([](const ListItemRef& item) { item->Selected(false); });
    for (int32_t r : rows) k.ListItems().Item(r)->Selected(true);
  }
};

TEST_F(SelectedKeysAndIndexes, NothingSelectedGivesEmptyTexts) {
  EXPECT_EQ(k.GetSelectedKeys(), "");
  FillOrders();
  EXPECT_EQ(k.GetSelectedKeys(), "");
  EXPECT_EQ(k.GetSelectedIndexes(), "");
  EXPECT_TRUE(LockedAndUnlocked());
}

TEST_F(SelectedKeysAndIndexes, RowsTheUserCtrlClickedInListOrderWithAnyDelimiter) {
  FillOrders();
  CtrlClickRows({7, 2, 5});
  EXPECT_EQ(k.GetSelectedIndexes(), "2,5,7");
  EXPECT_EQ(k.GetSelectedIndexes("|"), "2|5|7");
  EXPECT_EQ(k.GetSelectedIndexes(""), "257");
  EXPECT_EQ(k.GetSelectedKeys(), "o2,o5,o7");
  EXPECT_EQ(k.GetSelectedKeys(" ; "), "o2 ; o5 ; o7");
}

TEST_F(SelectedKeysAndIndexes, AnEmptyKeyLeavesNoTraceFirstAndAnEmptyPlaceAfterAKey) {
  Fill({{"a", "1", "", "", "", ""},
        {"", "2", "", "", "", ""},
        {"c", "3", "", "", "", ""},
        {"", "4", "", "", "", ""},
        {"b", "5", "", "", "", ""}});
  Select({1, 2, 3});
  EXPECT_EQ(k.GetSelectedKeys(), "a,,c");
  Select({4, 5});
  EXPECT_EQ(k.GetSelectedKeys(), "b");
  Select({1, 2});
  EXPECT_EQ(k.GetSelectedKeys(), "a,");
  Select({2, 4});
  EXPECT_EQ(k.GetSelectedKeys(), "");
  EXPECT_EQ(k.GetSelectedIndexes(), "2,4");
}

TEST_F(SelectedKeysAndIndexes, IndexesCountPastTenAndFollowTheRowsAfterAFilter) {
  for (int i = 1; i <= 12; ++i) k.ListItems().Add(0, "row" + std::to_string(i), std::to_string(i % 3));
  Select({1, 10, 12});
  EXPECT_EQ(k.GetSelectedIndexes(), "1,10,12");
  k.Filter("0", 0, true);  // rows 3, 6, 9 and 12 go
  EXPECT_EQ(k.GetSelectedIndexes(), "1,7");
  EXPECT_EQ(k.GetSelectedKeys(), "row1,row10");
}

class SmartSortQueries : public FilteringTest {
 protected:
  SmartSortQueries() {
    FillOrders();
    k.SmartColumnSort(true);
    k.PlaySounds(true);
  }
  void Reset() {
    host.log.clear();
    tk.SoundImpl().Clear();
  }
};

// Read in the list's own text order of the sort column, then sorted by value again as a header
// click sorts: 9 and 7 are rows 4 and 5 by value but rows 7 and 6 by text.
TEST_F(SmartSortQueries, ANumericSortColumnIsReadInTextOrderThenSortedByValueAgain) {
  user.ClickHeader(lv, kQty + 1);  // by value, descending
  ASSERT_EQ(Column(kQty), (Texts{"100", "30", "12", "9", "7", "4", "2"}));
  CtrlClickRows({4, 5});
  Reset();
  EXPECT_EQ(k.GetSelectedKeys(), "o3,o7");
  EXPECT_EQ(Column(kQty), (Texts{"100", "30", "12", "9", "7", "4", "2"}));
  EXPECT_EQ(k.SortOrder(), lvDESC);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "BeforeColumnSort Qty type=1", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_TRUE(k.SmartColumnSort());

  Reset();
  EXPECT_EQ(k.GetSelectedIndexes(), "6,7");
  EXPECT_EQ(host.log.size(), 3u);
  EXPECT_EQ(Column(kQty), (Texts{"100", "30", "12", "9", "7", "4", "2"}));
  EXPECT_TRUE(LockedAndUnlocked());
}

TEST_F(SmartSortQueries, ADateColumnTakesTheSameRoundTrip) {
  user.ClickHeader(lv, kDue + 1);
  user.ClickHeader(lv, kDue + 1);  // ascending by date
  const Texts byDate = Column(kDue);
  ASSERT_EQ(byDate.front(), "10/28/2026");
  CtrlClickRows({1, 7});
  Reset();
  // The list's own text sort turns the direction over: "12/12/2026" is read before "10/28/2026".
  EXPECT_EQ(k.GetSelectedKeys(), "o7,o6");
  EXPECT_EQ(Column(kDue), byDate);
  EXPECT_EQ(k.SortOrder(), lvASC);
  EXPECT_EQ(host.log.front(), "ColumnClick Due");
}

TEST_F(SmartSortQueries, ATextSortColumnIsReadAsItStandsWithoutAnyEvent) {
  user.ClickHeader(lv, kCustomer + 1);
  const Texts before = Column(kCustomer);
  CtrlClickRows({1, 2});
  Reset();
  EXPECT_EQ(k.GetSelectedIndexes(), "1,2");
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(Column(kCustomer), before);
}

// With no row to judge the column by, the detection reports its error each time it is asked.
TEST_F(SmartSortQueries, AnEmptyListReportsTheDetectionAndGivesAnEmptyText) {
  k.ListItems().Clear();
  EXPECT_EQ(k.GetSelectedKeys(), "");
  EXPECT_EQ(Messages(), (Texts{"35600:Error in DetermineSortType.  Error Message: Index out of bounds",
                               "35600:Error in DetermineSortType.  Error Message: Index out of bounds"}));
  EXPECT_EQ(tk.MessageBoxes().front().title, "Warning");
  EXPECT_EQ(tk.MessageBoxes().front().buttons, vbCritical);
  EXPECT_TRUE(host.log.empty());
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
}

class ForwardingQueries : public FilteringTest {};

TEST_F(ForwardingQueries, GetFirstVisibleIsTheTopRowShown) {
  EXPECT_EQ(k.GetFirstVisible(), nullptr);
  for (int i = 1; i <= 40; ++i) k.ListItems().Add(0, "row" + std::to_string(i), "Row " + std::to_string(i));
  EXPECT_EQ(k.GetFirstVisible()->Key(), "row1");
  user.ScrollRows(lv, 10);
  ASSERT_NE(k.GetFirstVisible(), nullptr);
  EXPECT_EQ(k.GetFirstVisible()->Key(), "row11");
}

TEST_F(ForwardingQueries, FindItemSearchesTextsSubItemsAndTagsAndAnyFailureIsNothing) {
  FillOrders();
  k.ListItems().Item("o5")->Tag(Variant("gift"));
  EXPECT_EQ(k.FindItem("b-200")->Key(), "o3");  // letter case does not count
  EXPECT_EQ(k.FindItem("B-2"), nullptr);          // the whole text by default
  EXPECT_EQ(k.FindItem("B-2", ListView::lvwText, {}, ListView::lvwPartial)->Key(), "o3");
  EXPECT_EQ(k.FindItem("B-2", ListView::lvwText, 4, ListView::lvwPartial)->Key(), "o4");  // from row 4 on
  EXPECT_EQ(k.FindItem("dana okafor", ListView::lvwSubItem)->Key(), "o4");
  EXPECT_EQ(k.FindItem("GIFT", ListView::lvwTag)->Key(), "o5");
  EXPECT_EQ(k.FindItem("no such order"), nullptr);
  EXPECT_EQ(k.FindItem("B-200", Variant("anywhere")), nullptr);  // no number: no search
  EXPECT_EQ(k.FindItem("B-200", ListView::lvwText, 99), nullptr);
  EXPECT_TRUE(tk.MessageBoxes().empty());
}

TEST_F(ForwardingQueries, SelectedItemIsTheRowTheUserLastSelected) {
  FillOrders();
  EXPECT_EQ(k.SelectedItem(), nullptr);
  user.ClickCell(lv, 3, kCustomer);
  EXPECT_EQ(k.SelectedItem()->Key(), "o3");
  CtrlClickRows({5});
  EXPECT_EQ(k.SelectedItem()->Key(), "o5");
}

}  // namespace
}  // namespace tamarind::testing
