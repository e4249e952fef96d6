// Filters on a list kept in order by smart sorting, and every way a filter or a restore can fail:
// the list is unlocked, the error reaches the host as it was raised, and no parked row is lost.
// Then what the host asks about the selection and the rows: selected keys and indexes with their
// joining rule, the round trip through the list's own text order under smart sorting, the first
// row shown and the list's search.

#include "FilteringFixture.h"
#include "platform/listview/ListView.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class SmartSortFilter : public FilteringTest {
 protected:
  SmartSortFilter() {
    FillOrders();
    k.SmartColumnSort(true);
    k.PlaySounds(true);
  }
  void ClickHeader(int32_t column) {
    user.ClickHeader(lv, column + 1);
    host.log.clear();
    tk.SoundImpl().Clear();
  }
};

TEST_F(SmartSortFilter, TheListIsSortedAgainByItsColumnAndDirectionWithoutASound) {
  ClickHeader(kQty);  // by value, descending
  ASSERT_EQ(Column(kQty), (Texts{"100", "30", "12", "9", "7", "4", "2"}));
  k.Filter("Leaves", kCategory, true);
  EXPECT_EQ(Column(kQty), (Texts{"100", "12", "9", "7", "2"}));
  EXPECT_EQ(k.SortOrder(), lvDESC);
  // First by the order column's text, then back by value; no header was clicked.
  EXPECT_EQ(host.log, (Texts{"BeforeColumnSort Order type=0 omit=\"\"", "ColumnSortComplete", "BeforeColumnSort Qty type=1 omit=\"\"",
                             "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_TRUE(LockedAndUnlocked());
}

TEST_F(SmartSortFilter, ATextColumnComesBackInTheDirectionItHad) {
  ClickHeader(kCustomer);  // by text, descending
  k.FilterWild("e", kCategory);  // the orders of seeds, leaves and flowers
  EXPECT_EQ(Column(kCustomer), (Texts{"Élodie Berg", "Dana Okafor", "Bram de Vries", "Ana Silva", "ana costa"}));
  EXPECT_TRUE(k.Sorted());
}

// The type comes from the first row left after the opening sort by the order column, not from
// the row that was first before the filter.
TEST_F(SmartSortFilter, TheTypeIsDetectedFromTheFirstRemainingRow) {
  ClickHeader(kQty);
  k.ListItems().Item("o1")->SubItems(kQty, "n/a");  // the host edits the first order's quantity
  k.Filter("Leaves", kCategory, true);
  // A-100 leads and reads as text: the quantities are sorted as text, still descending.
  EXPECT_EQ(Column(kQty), (Texts{"n/a", "9", "7", "2", "100"}));
  EXPECT_EQ(host.log.at(2), "BeforeColumnSort Qty type=0 omit=\"\"");

  k.FilterRemove();
  host.log.clear();
  k.Filter("A-100", 0, true);
  // Now A-101 leads with a number: every remaining quantity is sorted by value.
  EXPECT_EQ(Column(kQty), (Texts{"100", "30", "9", "7", "4", "2"}));
  EXPECT_EQ(host.log.at(2), "BeforeColumnSort Qty type=1 omit=\"\"");
}

TEST_F(SmartSortFilter, AnEmptyListStillGetsTheOpeningSortAndItsSoundsBack) {
  k.ListItems().Clear();
  k.Filter("x", kCustomer);
  EXPECT_EQ(host.log, (Texts{"ColumnSortComplete"}));  // the opening sort, with nothing to sort
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

class FilterFailures : public FilteringTest {};

// A column the list does not have, or a list without its closing bracket: the error is raised
// with the list unlocked and every row still shown; on an empty list nothing is read to fail.
TEST_F(FilterFailures, ABadColumnOrPatternIsRaisedWithTheListUnlocked) {
  k.Filter("x", 9);
  k.FilterWild("[abc", kCustomer);
  FillOrders();
  const Raised beyond = RaisedBy([&] { k.Filter("x", 5); });
  EXPECT_EQ(beyond.number, err::IndexOutOfBounds);
  EXPECT_EQ(beyond.description, "Index out of bounds");
  EXPECT_FALSE(beyond.source.empty());
  EXPECT_TRUE(LockedAndUnlocked());
  EXPECT_EQ(RaisedBy([&] { k.FilterWild("x", -1); }).number, err::IndexOutOfBounds);
  EXPECT_EQ(RaisedBy([&] { k.Filter("x", 70000); }).number, err::Overflow);  // the list takes 16 bits
  const Raised pattern = RaisedBy([&] { k.FilterWild("[abc", kCustomer); });
  EXPECT_EQ(pattern.number, err::InvalidPatternString);
  EXPECT_EQ(pattern.description, "Invalid pattern string");
  EXPECT_EQ(RaisedBy([&] { k.FilterWild("a[b-a]", kCustomer); }).number, err::InvalidPatternString);
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(k.ListItems().Count(), 7);
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

// The host's own error in an event of the closing sort comes back to the host unchanged.
TEST_F(FilterFailures, AnErrorDuringTheClosingSortKeepsItsNumberDescriptionAndSource) {
  class ClosedBook : public RecordingHost {
   public:
    using RecordingHost::RecordingHost;
    void BeforeColumnSort(const ColumnHeaderRef& h, SortDataType& t, std::string& o) override {
      RecordingHost::BeforeColumnSort(h, t, o);
      if (h->Text() == "Qty") throw Error(1001, "The order book is closed", "OrderBook");
    }
  } closed{k};
  FillOrders();
  k.SmartColumnSort(true);
  k.PlaySounds(true);
  user.ClickHeader(lv, kQty + 1);
  k.Attach(&closed);
  const Raised e = RaisedBy([&] { k.Filter("Seeds", kCategory); });
  EXPECT_EQ(e.number, 1001);
  EXPECT_EQ(e.description, "The order book is closed");
  EXPECT_EQ(e.source, "OrderBook");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_FALSE(k.PlaySounds());  // left silenced by the failed filter
  EXPECT_EQ(SortedKeys(), (Texts{"o1", "o6"}));
  EXPECT_EQ(ParkedKeys().size(), 5u);
  k.Attach(&host);
  k.FilterRemove();
  EXPECT_EQ(SortedKeys(), (Texts{"o1", "o2", "o3", "o4", "o5", "o6", "o7"}));
}

TEST_F(FilterFailures, AQuantityThatIsNoNumberStopsTheClosingSortButNoRowIsLost) {
  FillOrders();
  k.SmartColumnSort(true);
  user.ClickHeader(lv, kQty + 1);
  k.ListItems().Item("o3")->SubItems(kQty, "seven");
  EXPECT_EQ(RaisedBy([&] { k.Filter("Roots", kCategory, true); }).number, err::TypeMismatch);
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(ParkedKeys(), (Texts{"o7"}));
  k.FilterRemove();
  EXPECT_EQ(k.ListItems().Count(), 7);
}

// A restore that meets a key in use stops there; the rows stay parked, so once the host clears
// the way a second restore brings back every row, none twice.
TEST_F(FilterFailures, AKeyInUseStopsTheRestoreAndEveryRowStaysParked) {
  FillOrders();
  k.Filter("A-101", 0, true);
  k.Filter("C-300", 0, true);
  k.Filter("C-301", 0, true);
  ASSERT_EQ(ParkedKeys(), (Texts{"o2", "o5", "o6"}));
  k.ListItems().Add(0, "o5", "Z-999");  // the host reuses a parked row's key

  const Raised e = RaisedBy([&] { k.FilterRemove(); });
  EXPECT_EQ(e.number, err::KeyNotUnique);
  EXPECT_EQ(e.description, "Key is not unique in collection");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(Keys(), (Texts{"o1", "o3", "o4", "o7", "o5", "o2"}));  // o2 came back before the clash
  EXPECT_EQ(ParkedKeys(), (Texts{"o2", "o5", "o6"}));

  k.ListItems().Remove("o5");
  EXPECT_EQ(RaisedBy([&] { k.FilterRemove(); }).number, err::KeyNotUnique);  // o2 is back already
  k.ListItems().Remove("o2");
  k.FilterRemove();
  EXPECT_EQ(Keys(), (Texts{"o1", "o3", "o4", "o7", "o2", "o5", "o6"}));
  EXPECT_EQ(k.ListItems().Item("o5")->Text(), "C-300");
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

TEST_F(FilterFailures, ACollectionTheHostFilledWithSomethingElseIsRefused) {
  FillOrders();
  k.FilteredListItems = std::make_shared<Collection>();
  k.FilteredListItems->Add(Variant("not a row"));
  EXPECT_EQ(RaisedBy([&] { k.FilterRemove(); }).number, err::ObjectRequired);
  k.FilteredListItems->Remove(1);
  k.FilteredListItems->Add(Variant(std::make_shared<Collection>()));
  EXPECT_EQ(RaisedBy([&] { k.FilterRemove(); }).number, err::TypeMismatch);
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(k.ListItems().Count(), 7);
}

// --- what the host asks about the selection and the rows ------------------------------------------


class SelectedKeysAndIndexes : public FilteringTest {
 protected:
  // The host selects exactly these rows (1-based).
  void Select(const std::vector<int32_t>& rows) {
    k.MultiSelect(true);
    k.ListItems().ForEach([](const ListItemRef& item) { item->Selected(false); });
    for (int32_t r : rows) k.ListItems().Item(r)->Selected(true);
  }
};

TEST_F(SelectedKeysAndIndexes, RowsTheUserCtrlClickedInListOrderWithAnyDelimiter) {
  EXPECT_EQ(k.GetSelectedKeys(), "");
  FillOrders();
  EXPECT_EQ(k.GetSelectedIndexes(), "");
  EXPECT_TRUE(LockedAndUnlocked());
  CtrlClickRows({7, 2, 5});
  EXPECT_EQ(k.GetSelectedIndexes(), "2,5,7");
  EXPECT_EQ(k.GetSelectedIndexes("|"), "2|5|7");
  EXPECT_EQ(k.GetSelectedIndexes(""), "257");
  EXPECT_EQ(k.GetSelectedKeys(), "o2,o5,o7");
  EXPECT_EQ(k.GetSelectedKeys(" ; "), "o2 ; o5 ; o7");
  EXPECT_EQ(k.SelectedItem()->Key(), "o5");  // the row clicked last
}

// A few rows of many, clicked down the list and then one above them: the answer is in list order
// whatever the order of the clicks, and the rows clicked before the one above come once each.
TEST_F(SelectedKeysAndIndexes, AFewRowsOfManyInListOrderWhateverTheOrderOfTheClicks) {
  for (int i = 1; i <= 100; ++i) k.ListItems().Add(0, "r" + std::to_string(i), "row");
  for (const auto& [clicked, indexes] : std::vector<std::pair<std::vector<int32_t>, std::string>>{
           {{10, 20, 30}, "10,20,30"}, {{10, 20, 30, 5}, "5,10,20,30"}, {{99, 1}, "1,99"}, {{42}, "42"}}) {
    Select(clicked);
    EXPECT_EQ(k.GetSelectedIndexes(), indexes);
    std::string keys = "r" + indexes;
    for (size_t at = keys.find(','); at != std::string::npos; at = keys.find(',', at + 2)) keys.insert(at + 1, "r");
    EXPECT_EQ(k.GetSelectedKeys(), keys);
  }
}

TEST_F(SelectedKeysAndIndexes, AnEmptyKeyLeavesNoTraceFirstAndAnEmptyPlaceAfterAKey) {
  for (const char* key : {"a", "", "c", "", "b"}) k.ListItems().Add(0, key, "row");
  for (const auto& [rows, keys] : std::vector<std::pair<std::vector<int32_t>, std::string>>{
           {{1, 2, 3}, "a,,c"}, {{4, 5}, "b"}, {{1, 2}, "a,"}, {{2, 4}, ""}}) {
    Select(rows);
    EXPECT_EQ(k.GetSelectedKeys(), keys);
  }
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
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "BeforeColumnSort Qty type=1 omit=\"\"", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_TRUE(LockedAndUnlocked());
  EXPECT_EQ(k.GetSelectedIndexes(), "6,7");
}

TEST_F(SmartSortQueries, ADateColumnTakesTheSameRoundTrip) {
  user.ClickHeader(lv, kDue + 1);
  user.ClickHeader(lv, kDue + 1);  // ascending by date
  const Texts byDate = Column(kDue);
  CtrlClickRows({1, 7});
  Reset();
  // The list's own text sort turns the direction over: "12/12/2026" is read before "10/28/2026".
  EXPECT_EQ(k.GetSelectedKeys(), "o7,o6");
  EXPECT_EQ(Column(kDue), byDate);
  EXPECT_EQ(k.SortOrder(), lvASC);
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

}  // namespace
}  // namespace tamarind::testing
