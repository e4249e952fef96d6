// Numbers and dates sorted by their value, as the rows' order shows it: the events of a click, the
// shared direction, ties, empty and unconvertible cells, the host's SortType and OmitChar, and
// PerformSortOnColumn.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

class KeyedSort : public SortingTest {
 protected:
  KeyedSort() {
    k.SmartColumnSort(true);
    k.PlaySounds(true);
  }
  void FillOrders() {
    Fill({"Name", "Qty", "Due"}, {{"Anise", "10", "11/2/2026"},
                                  {"Bay", "9", "1/15/2027"},
                                  {"Cumin", "100", "3/4/2026"},
                                  {"Dill", "-4", "11/21/2026"}});
  }
};

TEST_F(KeyedSort, AClickRaisesColumnClickBeforeColumnSortAndColumnSortCompleteAndPlaysTheSound) {
  FillOrders();
  Click(2);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "BeforeColumnSort Qty type=1 omit=\"\"", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9", "-4"}));
  // A keyed sort is not the list's own: it is no longer kept sorted.
  EXPECT_FALSE(k.Sorted());
  EXPECT_EQ(k.SortKey(), 1);
  EXPECT_EQ(k.SortOrder(), lvDESC);
  AddRow({"Eel grass", "50", ""});
  EXPECT_EQ(Column(0).back(), "Eel grass");
}

// One direction for the whole list: each click turns it over, whichever column it is on.
TEST_F(KeyedSort, TheDirectionIsSharedByAllColumns) {
  FillOrders();
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9", "-4"}));
  Click(3);
  EXPECT_EQ(Column(2), (Texts{"3/4/2026", "11/2/2026", "11/21/2026", "1/15/2027"}));
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9", "-4"}));
}

TEST_F(KeyedSort, EmptyCellsSortAsZeroBetweenNegativeAndPositiveValues) {
  Fill({"Name", "Qty"}, {{"a", "-5"}, {"b", ""}, {"c", "3"}, {"d", "-1"}, {"e", "7"}, {"f", "0.5"}});
  Click(2);
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"-5", "-1", "", "0.5", "3", "7"}));
}

// Rows of equal value keep their order in both directions, also on a list whose rows were
// added after many others had been removed.
TEST_F(KeyedSort, RowsOfEqualValueKeepTheirOrder) {
  Fill({"Name", "Qty"}, {});
  for (int32_t i = 0; i < 200; ++i) AddRow({"gone", "1"});
  k.ListItems().Clear();
  for (const char* name : {"a", "b", "c", "d", "e"}) AddRow({name, std::string(name) < "c" ? "5" : "3"});
  k.ListItems().Item(5)->SubItems(1, "5");
  Click(2);
  EXPECT_EQ(Column(0), (Texts{"a", "b", "e", "c", "d"}));
  Click(2);
  EXPECT_EQ(Column(0), (Texts{"c", "d", "a", "b", "e"}));
}

// The host turns a column that reads as text into numbers and names what to leave out.
TEST_F(KeyedSort, TheHostsSortTypeAndOmitCharDecideTheSort) {
  Fill({"Name", "Rate"}, {{"a", "5%"}, {"b", "300%"}, {"c", "40%"}});
  host.sortType = sdt_NUMERIC;
  host.omitChar = "%";
  Click(2);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Rate type=0 omit=\"\"");  // as detected, before the host's answer
  EXPECT_EQ(Column(1), (Texts{"300%", "40%", "5%"}));
  // Several characters: each of them is left out wherever it occurs.
  k.ListItems().Item(2)->SubItems(1, "€40 %");
  host.omitChar = "€%";
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"5%", "€40 %", "300%"}));
  EXPECT_TRUE(Messages().empty());
}

// A cell that is no number ends the sort at that row: the rows stay as they were, but the sort
// state is already set, and the click goes on to the sound, the event and the arrow.
TEST_F(KeyedSort, AnUnconvertibleCellLeavesTheRowsWhereTheyWere) {
  Fill({"Name", "Qty"}, {{"a", "10"}, {"b", "9"}, {"c", "n/a"}, {"d", "100"}});
  k.SortArrows(true);
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"10", "9", "n/a", "100"}));
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "BeforeColumnSort Qty type=1 omit=\"\"", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_EQ(k.SortOrder(), lvDESC);
  EXPECT_EQ(Arrows(), ".v");
  EXPECT_TRUE(Messages().empty());
}

// No sort from the host: nothing sorted, no sound, the arrow left; a type without meaning: nothing
// sorted, but the sound and the arrow of a sort.
TEST_F(KeyedSort, NoSortOrATypeWithoutMeaningFromTheHostSortsNothing) {
  FillOrders();
  k.SortArrows(true);
  Click(2);
  host.sortType = std_NOSORT;
  FreshClick(1);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Name", "BeforeColumnSort Name type=0 omit=\"\"", "ColumnSortComplete"}));
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9", "-4"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_EQ(Arrows(), ".v.");
  host.sortType = static_cast<SortDataType>(3);
  FreshClick(3);
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9", "-4"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_EQ(Arrows(), "..v");  // neither turned the direction over
}

// A date column: cells that are no date gather with the empty ones before every real date.
TEST_F(KeyedSort, DateCellsThatAreNoDateSortWithTheEmptyOnes) {
  Fill({"Name", "Due"}, {{"a", "11/2/2026"}, {"b", ""}, {"c", "soon"}, {"d", "1/5/2026"}, {"e", "12/30/1899"}});
  Click(2);
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"", "soon", "12/30/1899", "1/5/2026", "11/2/2026"}));
}

TEST_F(KeyedSort, SelectedRowsAndTheOpenEditorAfterASort) {
  FillOrders();
  const ListItemRef bay = k.ListItems().Item(2);
  user.ClickCell(lv, 2, 0);
  k.ShowTextBox("Bay");
  Click(2);
  EXPECT_FALSE(k.TextBoxControl().Visible());  // the click closes the editor
  EXPECT_EQ(k.SelectedItem(), bay);            // the selection moves with its row
  EXPECT_EQ(bay->Index(), 3);
}

// PerformSortOnColumn: numbers and dates go in the direction asked for, text turns the direction
// over as a click does. No ColumnClick.
TEST_F(KeyedSort, PerformSortOnColumnHonoursTheDirectionForNumbersOnly) {
  FillOrders();
  k.PerformSortOnColumn(2, sdt_NUMERIC, lvASC);
  k.PerformSortOnColumn(2, sdt_NUMERIC, lvASC);
  EXPECT_EQ(Column(1), (Texts{"-4", "9", "10", "100"}));
  k.PerformSortOnColumn(3, sdt_DATE, lvDESC);
  EXPECT_EQ(Column(2), (Texts{"1/15/2027", "11/21/2026", "11/2/2026", "3/4/2026"}));
  EXPECT_EQ(host.log[0], "BeforeColumnSort Qty type=1 omit=\"\"");

  host.log.clear();
  k.PerformSortOnColumn(2, sdt_STRING, lvASC);
  const Texts first = Column(1);
  k.PerformSortOnColumn(2, sdt_STRING, lvASC);
  EXPECT_EQ(first, (Texts{"-4", "10", "100", "9"}));  // SortOrder was 1: ascending now
  EXPECT_EQ(Column(1), (Texts{"9", "100", "10", "-4"}));
  EXPECT_EQ(host.log, (Texts{"BeforeColumnSort Qty type=0 omit=\"\"", "ColumnSortComplete",
                             "BeforeColumnSort Qty type=0 omit=\"\"", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 5);
}

// Errors reach the host, and nothing after the failing step happens.
TEST_F(KeyedSort, PerformSortOnColumnPassesItsErrorsToTheHost) {
  FillOrders();
  k.SortArrows(true);
  EXPECT_EQ(ErrorNumberOf([&] { k.PerformSortOnColumn(9, sdt_NUMERIC, lvASC); }), 35600);
  k.ListItems().Item(2)->SubItems(1, "nine");
  EXPECT_EQ(ErrorNumberOf([&] { k.PerformSortOnColumn(2, sdt_NUMERIC, lvDESC); }), 13);
  EXPECT_EQ(host.log, (Texts{"BeforeColumnSort Qty type=1 omit=\"\""}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_EQ(Arrows(), "^..");  // still where SortArrows put it
  EXPECT_EQ(Column(0), (Texts{"Anise", "Bay", "Cumin", "Dill"}));
  // On an empty list nothing is looked at, not even the column.
  k.ListItems().Clear();
  host.log.clear();
  k.PerformSortOnColumn(9, sdt_NUMERIC, lvASC);
  EXPECT_EQ(host.log, (Texts{"ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_EQ(Arrows(), "...");
}

}  // namespace
}  // namespace tamarind::testing
