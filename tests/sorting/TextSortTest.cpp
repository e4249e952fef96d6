// Text sorts by the list view's own comparison, through a type-aware click and through the plain
// AutoSort path.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

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
  EXPECT_EQ(k.SortKey(), 1);
  EXPECT_EQ(k.SortOrder(), lvASC);
}

// After a text sort the list stays sorted: a row added later takes its place.
TEST_F(TextSort, RowsAddedAfterATextSortGoToTheirPlace) {
  Fill({"Name", "Qty"}, {{"Dill", "3"}, {"anise", "12"}, {"Cumin", "7"}});
  k.SmartColumnSort(true);
  Click(1);
  Click(1);
  AddRow({"bay", "4"});
  EXPECT_EQ(Column(0), (Texts{"anise", "bay", "Cumin", "Dill"}));
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
