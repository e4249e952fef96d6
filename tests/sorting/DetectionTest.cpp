// Type detection: a header click judges the column by its first row and sorts numbers by value,
// dates by date and everything else as text.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

class TypeDetection : public SortingTest {
 protected:
  TypeDetection() { k.SmartColumnSort(true); }
};

// 9, 10, 100 by value, where text order would give 10, 100, 9. The first click on a list sorted
// ascending goes descending.
TEST_F(TypeDetection, ANumericFirstCellSortsTheColumnByValue) {
  Fill({"Name", "Qty"}, {{"a", "10"}, {"b", "9"}, {"c", "100"}, {"d", "-2.5"}, {"e", "1,000"}});
  Click(2);
  ASSERT_EQ(host.log.size(), 3u);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Qty type=1 omit=\"\"");
  EXPECT_EQ(Column(1), (Texts{"1,000", "100", "10", "9", "-2.5"}));
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"-2.5", "9", "10", "100", "1,000"}));
}

TEST_F(TypeDetection, ADateFirstCellSortsTheColumnByDate) {
  Fill({"Name", "Due"}, {{"a", "12/1/2026"}, {"b", "2/3/2025"}, {"c", "11/15/2026 9:30 AM"}, {"d", "Dec 24, 2025"}});
  Click(2);
  Click(2);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Due type=2 omit=\"\"");
  EXPECT_EQ(Column(1), (Texts{"2/3/2025", "Dec 24, 2025", "11/15/2026 9:30 AM", "12/1/2026"}));
}

// Every syntax the first cell is recognised by is one the keys are read with: the column sorts
// by value instead of failing on its own first cell.
TEST_F(TypeDetection, TheFirstCellIsJudgedByTheRulesTheKeysAreReadWith) {
  Fill({"Name", "Amount"}, {{"a", "$1,200"}, {"b", "(15)"}, {"c", "3.5E+2"}, {"d", "7-"}, {"e", " 42 "}});
  Click(2);
  Click(2);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Amount type=1 omit=\"\"");
  EXPECT_EQ(Column(1), (Texts{"(15)", "7-", " 42 ", "3.5E+2", "$1,200"}));
}

// Later rows are not looked at: a text first cell makes a column of numbers a text column, and so
// does an empty one.
TEST_F(TypeDetection, OnlyTheFirstRowDecidesAndAnEmptyCellIsText) {
  Fill({"Name", "Qty", "Note"}, {{"a", "9", ""}, {"b", "5", "7"}, {"c", "100", "12"}, {"d", "10", "3"}});
  Click(3);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Note type=0 omit=\"\"");
  EXPECT_EQ(Column(2), (Texts{"7", "3", "12", ""}));  // text order, descending
  k.ListItems().Item(1)->SubItems(1, "abc");  // the first row now: b
  host.log.clear();
  Click(2);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Qty type=0 omit=\"\"");
  EXPECT_EQ(Column(1), (Texts{"10", "100", "9", "abc"}));
}

TEST_F(TypeDetection, AnEmptyListIsNotLookedAtButTheClickStillCompletes) {
  Fill({"Name", "Qty"}, {});
  k.PlaySounds(true);
  Click(2);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "ColumnSortComplete"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_TRUE(Messages().empty());
}

// A host that takes the clicked column away in ColumnClick: the detection reports the missing
// cell and gives text, and restoring the alignments reports the missing column.
TEST_F(TypeDetection, AColumnRemovedByTheHostIsReportedAndTreatedAsText) {
  Fill({"Name", "Qty", "City"}, {{"a", "3", "Lyon"}, {"b", "1", "Oslo"}});
  host.onColumnClick = [&](const ColumnHeaderRef&) { k.ColumnHeaders().Remove(3); };
  Click(3);
  EXPECT_EQ(Messages(),
            (Texts{"35600:Error in DetermineSortType.  Error Message: Index out of bounds",
                   "35600:Error in call to SetColumnAlignments().\r\n\r\nError Description: Index out of bounds"}));
  EXPECT_EQ(tk.MessageBoxes()[0].title, "Warning");
  EXPECT_EQ(tk.MessageBoxes()[0].buttons, vbCritical);
  EXPECT_EQ(host.log, (Texts{"ColumnClick City", "BeforeColumnSort City type=0 omit=\"\"", "ColumnSortComplete"}));
}

}  // namespace
}  // namespace tamarind::testing
