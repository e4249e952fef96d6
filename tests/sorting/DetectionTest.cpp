// Type detection: a header click judges the column by its first row and sorts numbers by value,
// dates by date and everything else as text, by the list view's own comparison, through the
// type-aware click and through the plain AutoSort path.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

class TypeDetection : public SortingTest {
 protected:
  TypeDetection() { k.SmartColumnSort(true); }
};

// The first cell judges the column: a number (in any syntax the keys are read with) sorts it by
// value, a date by date. The first click on a list sorted ascending goes descending.
TEST_F(TypeDetection, ANumericOrDateFirstCellSortsTheColumnByValue) {
  struct Case {
    const char* caption;
    Texts cells;
    const char* type;
    Texts ascending;
  };
  const Case cases[] = {
      {"Qty", {"10", "9", "100", "-2.5", "1,000"}, "1", {"-2.5", "9", "10", "100", "1,000"}},
      {"Amount", {"$1,200", "(15)", "3.5E+2", "7-", " 42 "}, "1", {"(15)", "7-", " 42 ", "3.5E+2", "$1,200"}},
      {"Due", {"12/1/2026", "2/3/2025", "11/15/2026 9:30 AM", "Dec 24, 2025"}, "2",
       {"2/3/2025", "Dec 24, 2025", "11/15/2026 9:30 AM", "12/1/2026"}}};
  for (const Case& c : cases) {
    k.ColumnHeaders().Clear();
    k.ListItems().Clear();
    Fill({"Name", c.caption}, {});
    for (const std::string& cell : c.cells) AddRow({"row", cell});
    FreshClick(2);
    EXPECT_EQ(host.Only({"BeforeColumnSort"}).at(0), "BeforeColumnSort " + std::string(c.caption) + " type=" + c.type + " omit=\"\"");
    EXPECT_EQ(Column(1), Texts(c.ascending.rbegin(), c.ascending.rend())) << c.caption;
    Click(2);
    EXPECT_EQ(Column(1), c.ascending) << c.caption;
  }
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

// A host that takes the clicked column away in ColumnClick: the detection reports the missing
// cell and gives text, and restoring the alignments reports the missing column.
TEST_F(TypeDetection, AColumnRemovedByTheHostIsReportedAndTreatedAsText) {
  Fill({"Name", "Qty", "City"}, {{"a", "3", "Lyon"}, {"b", "1", "Oslo"}});
  host.onColumnClick = [&](const ColumnHeaderRef&) { k.ColumnHeaders().Remove(3); };
  Click(3);
  EXPECT_EQ(Messages(),
            (Texts{"35600:Error in DetermineSortType.  Error Message: Index out of bounds",
                   "35600:Error in call to SetColumnAlignments().\r\n\r\nError Description: Index out of bounds"}));
  EXPECT_EQ(host.log, (Texts{"ColumnClick City", "BeforeColumnSort City type=0 omit=\"\"", "ColumnSortComplete"}));
}

// --- text ------------------------------------------------------------------------------------------

class TextSort : public SortingTest {};

// Letter case does not count, accents sort with their letter, and rows of equal text keep their
// order in both directions.
TEST_F(TextSort, TextIgnoresCaseKeepsAccentsWithTheirLetterAndEqualTextsInOrder) {
  Fill({"Id", "Customer"}, {{"r1", "banana"}, {"r2", "Émile"}, {"r3", "apple"}, {"r4", "BANANA"},
                            {"r5", "eagle"}, {"r6", "Zoë"}, {"r7", "zebra"}});
  k.SmartColumnSort(true);
  Click(2);
  EXPECT_EQ(host.log[1], "BeforeColumnSort Customer type=0 omit=\"\"");
  EXPECT_EQ(Column(1), (Texts{"Zoë", "zebra", "Émile", "eagle", "banana", "BANANA", "apple"}));
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"apple", "banana", "BANANA", "eagle", "Émile", "zebra", "Zoë"}));
  EXPECT_TRUE(k.Sorted());
  EXPECT_EQ(k.SortOrder(), lvASC);
}

// Rows of equal text in the clicked column end in the order the list's previous sort key gives
// them, as the list view's own sort leaves them: here the quantities as text, "10" before "9".
TEST_F(TextSort, RowsOfEqualTextFollowThePreviousSortKeysText) {
  Fill({"Name", "Qty", "City"}, {{"a", "9", "Lyon"}, {"b", "10", "Oslo"}, {"c", "10", "Lyon"}, {"d", "100", "Oslo"}});
  k.SmartColumnSort(true);
  Click(2);  // numbers, descending: 100, 10, 10, 9
  Click(3);  // text, ascending; Lyon's 10 and 9 read as text in the earlier direction
  EXPECT_EQ(Column(0), (Texts{"a", "c", "d", "b"}));
}

// Without SmartColumnSort a click sorts by text while the list is Sorted, and brings the selected
// row into view.
TEST_F(TextSort, AutoSortAloneSortsTextAndScrollsTheSelectedRowIntoView) {
  k.ColumnHeaders().Add(0, {}, "Name", 1500);
  k.ColumnHeaders().Add(0, {}, "Qty", 1500);
  ListItemRef fortieth;
  for (int32_t i = 1; i <= 40; ++i) fortieth = AddRow({"row " + std::to_string(i), std::to_string(i)});
  k.AutoSort(true);  // also Sorted, by the names: "row 40" is 35th
  k.PlaySounds(true);
  fortieth->Selected(true);
  user.ScrollTo(lv, 30, 0);  // the last rows on screen
  Click(2);  // descending by the text of Qty: "9", "8", "7", "6", "5", "40", "4", ...
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty", "ColumnSortComplete"}));
  EXPECT_EQ(Column(1)[0], "9");
  const int32_t at = fortieth->Index() - 1;
  EXPECT_LT(at, 30);
  EXPECT_GE(at, lv.TopIndex());
  EXPECT_LT(at, lv.TopIndex() + lv.VisibleRowCount());
  EXPECT_EQ(SortSounds(), 1);
}

// With AutoSort but the list no longer Sorted (after a keyed sort, or set so by the host) a click
// raises ColumnClick and moves the arrow, nothing else.
TEST_F(TextSort, AClickOnAListThatIsNotSortedOnlyRaisesColumnClick) {
  Fill({"Name", "Qty"}, {{"b", "2"}, {"a", "1"}});
  k.AutoSort(true);
  k.Sorted(false);
  k.SortArrows(true);
  k.PlaySounds(true);
  FreshClick(2);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty"}));
  EXPECT_EQ(Column(0), (Texts{"a", "b"}));  // as Sorted left them
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_EQ(Arrows(), ".^");
  k.AutoSort(false);
  k.Sorted(true);
  FreshClick(2);  // AutoSort off: no sort either
  EXPECT_EQ(host.log, (Texts{"ColumnClick Qty"}));
}

}  // namespace
}  // namespace tamarind::testing
