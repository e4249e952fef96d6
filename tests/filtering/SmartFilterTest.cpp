// Filters on a list kept in order by smart sorting, and every way a filter or a restore can fail:
// the list is unlocked, the error reaches the host as it was raised, and no parked row is lost.

#include "FilteringFixture.h"

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
  EXPECT_EQ(k.SortKey(), kQty);
  EXPECT_EQ(k.SortOrder(), lvDESC);
  // First by the order column's text, then back by value; no header was clicked.
  EXPECT_EQ(host.log, (Texts{"BeforeColumnSort Order type=0", "ColumnSortComplete", "BeforeColumnSort Qty type=1",
                             "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_TRUE(LockedAndUnlocked());
}

TEST_F(SmartSortFilter, ATextColumnComesBackInTheDirectionItHad) {
  ClickHeader(kCustomer);  // by text, descending
  k.FilterWild("e", kCategory);  // the orders of seeds, leaves and flowers
  EXPECT_EQ(Column(kCustomer), (Texts{"Élodie Berg", "Dana Okafor", "Bram de Vries", "Ana Silva", "ana costa"}));
  EXPECT_EQ(k.SortOrder(), lvDESC);
  EXPECT_TRUE(k.Sorted());
  EXPECT_EQ(SortSounds(), 0);
}

// The type comes from the first row left after the opening sort by the order column, not from
// the row that was first before the filter.
TEST_F(SmartSortFilter, TheTypeIsDetectedFromTheFirstRemainingRow) {
  ClickHeader(kQty);
  k.ListItems().Item("o1")->SubItems(kQty, "n/a");  // the host edits the first order's quantity
  k.Filter("Leaves", kCategory, true);
  // A-100 leads and reads as text: the quantities are sorted as text, still descending.
  EXPECT_EQ(Column(kQty), (Texts{"n/a", "9", "7", "2", "100"}));
  EXPECT_EQ(host.log.at(2), "BeforeColumnSort Qty type=0");

  k.FilterRemove();
  host.log.clear();
  k.Filter("A-100", 0, true);
  // Now A-101 leads with a number: every remaining quantity is sorted by value.
  EXPECT_EQ(Column(kQty), (Texts{"100", "30", "9", "7", "4", "2"}));
  EXPECT_EQ(host.log.at(2), "BeforeColumnSort Qty type=1");
}

TEST_F(SmartSortFilter, AnEmptyListStillGetsTheOpeningSortAndItsSoundsBack) {
  k.ListItems().Clear();
  k.Filter("x", kCustomer);
  EXPECT_EQ(host.log, (Texts{"ColumnSortComplete"}));  // the opening sort, with nothing to sort
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_TRUE(k.PlaySounds());
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

class FilterFailures : public FilteringTest {};

TEST_F(FilterFailures, AColumnTheListDoesNotHaveIsRaisedWithTheListUnlocked) {
  k.Filter("x", 9);  // an empty list reads no cell
  FillOrders();
  const Raised beyond = RaisedBy([&] { k.Filter("x", 5); });
  EXPECT_EQ(beyond.number, err::IndexOutOfBounds);
  EXPECT_EQ(beyond.description, "Index out of bounds");
  EXPECT_FALSE(beyond.source.empty());
  EXPECT_TRUE(LockedAndUnlocked());
  EXPECT_EQ(RaisedBy([&] { k.FilterWild("x", -1); }).number, err::IndexOutOfBounds);
  EXPECT_EQ(RaisedBy([&] { k.Filter("x", 70000); }).number, err::Overflow);  // the list takes 16 bits
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(k.ListItems().Count(), 7);
  EXPECT_EQ(k.FilteredListItems, nullptr);
}

TEST_F(FilterFailures, AListWithoutItsClosingBracketIsAnInvalidPattern) {
  k.FilterWild("[abc", kCustomer);  // nothing to test it on
  FillOrders();
  const Raised e = RaisedBy([&] { k.FilterWild("[abc", kCustomer); });
  EXPECT_EQ(e.number, err::InvalidPatternString);
  EXPECT_EQ(e.description, "Invalid pattern string");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0);
  EXPECT_EQ(k.ListItems().Count(), 7);
  EXPECT_EQ(RaisedBy([&] { k.FilterWild("a[b-a]", kCustomer); }).number, err::InvalidPatternString);
}

// The host's own error in an event of the closing sort comes back to the host unchanged.
TEST_F(FilterFailures, AnErrorDuringTheClosingSortKeepsItsNumberDescriptionAndSource) {
  class ClosedBook : public SortEventLog {
   public:
    void BeforeColumnSort(const ColumnHeaderRef& h, SortDataType& t, std::string& o) override {
      SortEventLog::BeforeColumnSort(h, t, o);
      if (h->Text() == "Qty") throw Error(1001, "The order book is closed", "OrderBook");
    }
  } closed;
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

}  // namespace
}  // namespace tamarind::testing
