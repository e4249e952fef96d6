// CopyAll as a host sees it: the clipboard's text, the progress bar over the list, and what a
// failure leaves behind.

#include "tests/dataio/ExportFixture.h"

namespace tamarind::testing {
namespace {

using CopyAll = ExportDesk;

TEST_F(CopyAll, HeaderLineThenOneLineForEachRowTabsBetweenCrAfter) {
  Columns({"A", "B"});
  Row({"1", "2"});
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "A\tB\r1\t2\r");

  Row({"3", "4"});
  Row({"5", "6"});
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "A\tB\r1\t2\r3\t4\r5\t6\r");
}

TEST_F(CopyAll, AnEmptyListCopiesItsHeaderLine) {
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "\r");
  Columns({"Name", "Qty", "Notes"});
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "Name\tQty\tNotes\r");
}

TEST_F(CopyAll, CellsFollowTheJoiningAndQuoteRules) {
  Columns({"", "Size \"L\"", "Qty", "Notes"});
  Row({"Anise", "5\" jar", "", "say \"hi\""});      // a cell with quotes; an empty cell in between
  Row({"", "x", "2"});                               // no item text: the line starts at "x"
  Row({"Bay"});                                      // never given sub-items: a short line
  auto tagged = Row({"Clove", "", "7"});
  tagged->GetListSubItems().Item(1).Tag(Variant(42));  // an empty sub-item shows its Tag
  Row({"", "", "", "z"});
  k->CopyAll();
  EXPECT_EQ(Clipboard(),
            "Size \"L\"\tQty\tNotes\r"          // the header keeps its quotes, and its empty first header leaves no TAB
            "Anise\t5'' jar\t\tsay ''hi''\r"
            "x\t2\r"
            "Bay\r"
            "Clove\t42\t7\r"
            "z\r");
}

TEST_F(CopyAll, ColumnsGoInIndexOrderWhateverTheirPlaceOrWidth) {
  Columns({"Name", "Qty", "Date"});
  k->AllowColumnReorder(true);
  Row({"Anise", "2", "12/6/2026"});
  user.DragColumn(k->ListViewControl(), 3, 1);  // Date to the front
  k->ColumnHeaders().Item(2)->Width(0);         // Qty hidden
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "Name\tQty\tDate\rAnise\t2\t12/6/2026\r");
}

TEST_F(CopyAll, ProgressBarCoversTheMiddleOfTheListAndEndsHidden) {
  Columns({"N"});
  constexpr int32_t kRows = 5000;
  for (int32_t i = 0; i < kRows; ++i) k->ListItems().Add(0, {}, std::to_string(i));
  platform::ProgressBar& bar = Bar();
  k->CopyAll();
  // Once per row from 0: the last row leaves it full.
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), kRows);
  EXPECT_EQ(bar.Value(), kRows);
  EXPECT_EQ(bar.Top(), k->Height() / 2);
  EXPECT_EQ(bar.Left(), k->ListViewControl().Left());
  EXPECT_EQ(bar.Width(), k->ListViewControl().Width());
  EXPECT_FALSE(bar.Visible());
  // Redrawn when the filled part moved a pixel, not for every row.
  const int32_t pixels = platform::TwipsToPixelsX(tk, bar.Width());
  EXPECT_EQ(bar.ShownPosition(), pixels);
  EXPECT_GE(bar.Repaints(), pixels / 2);
  EXPECT_LE(bar.Repaints(), pixels + 2);
}

TEST_F(CopyAll, AListWithoutRowsLeavesTheBarsRangeAsItWas) {
  Columns({"N"});
  for (int i = 0; i < 3; ++i) Row({"r"});
  k->CopyAll();
  k->ListItems().Clear();
  k->CopyAll();
  EXPECT_EQ(Bar().Max(), 3);
  EXPECT_EQ(Bar().Value(), 0);
}

TEST_F(CopyAll, ClearsTheClipboardThenSetsTheText) {
  Columns({"A"});
  Row({"1"});
  const int32_t clears = tk.ClipboardImpl().Clears();
  const size_t sets = tk.ClipboardImpl().History().size();
  k->CopyAll();
  EXPECT_EQ(tk.ClipboardImpl().Clears(), clears + 1);
  ASSERT_EQ(tk.ClipboardImpl().History().size(), sets + 1);
  EXPECT_EQ(tk.ClipboardImpl().History().back(), "A\r1\r");
}

TEST_F(CopyAll, AFailureLeavesTheClipboardAsItWasAndSaysNothing) {
  Columns({"A", "B"});
  Row({"1", "2"});
  auto bad = Row({"3", ""});
  // A Tag that has no text form ends the copy.
  bad->GetListSubItems().Item(1).Tag(Variant(std::make_shared<Collection>()));
  tk.GetClipboard().SetText("before");
  const int32_t clears = tk.ClipboardImpl().Clears();
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "before");
  EXPECT_EQ(tk.ClipboardImpl().Clears(), clears);
  EXPECT_TRUE(Boxes().empty());
  // The bar stays where the copy stopped until the next copy completes.
  EXPECT_TRUE(Bar().Visible());
  EXPECT_EQ(Bar().Value(), 2);
  bad->GetListSubItems().Item(1).Tag(Variant("t"));
  k->CopyAll();
  EXPECT_EQ(Clipboard(), "A\tB\r1\t2\r3\tt\r");
  EXPECT_FALSE(Bar().Visible());
}

}  // namespace
}  // namespace tamarind::testing
