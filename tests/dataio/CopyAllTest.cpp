// CopyAll as a host sees it: the clipboard's text, the progress bar over the list, and what a
// failure leaves behind.

#include "tests/dataio/ExportFixture.h"

namespace tamarind::testing {
namespace {

using CopyAll = ExportDesk;

// Each copy clears the clipboard, then sets the header line and a line per row.
TEST_F(CopyAll, HeaderLineThenOneLineForEachRowTabsBetweenCrAfter) {
  const auto copied = [&](const std::string& text) {
    const int32_t clears = tk.ClipboardImpl().Clears();
    const size_t sets = tk.ClipboardImpl().History().size();
    k->CopyAll();
    EXPECT_EQ(tk.ClipboardImpl().Clears(), clears + 1);
    ASSERT_EQ(tk.ClipboardImpl().History().size(), sets + 1);
    EXPECT_EQ(tk.ClipboardImpl().History().back(), text);
  };
  copied("\r");
  Columns({"A", "B"});
  copied("A\tB\r");
  Row({"1", "2"});
  copied("A\tB\r1\t2\r");
  Row({"3", "4"});
  Row({"5", "6"});
  copied("A\tB\r1\t2\r3\t4\r5\t6\r");
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
  // The header keeps its quotes, and its empty first header leaves no TAB; a cell's become ''.
  EXPECT_EQ(Clipboard(), "Size \"L\"\tQty\tNotes\rAnise\t5'' jar\t\tsay ''hi''\rx\t2\rBay\rClove\t42\t7\rz\r");
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
  EXPECT_EQ((std::vector{bar.Min(), bar.Max(), bar.Value()}), (std::vector<float>{0, kRows, kRows}));
  EXPECT_EQ(bar.Top(), k->Height() / 2);
  EXPECT_EQ(std::pair(bar.Left(), bar.Width()), std::pair(k->ListViewControl().Left(), k->ListViewControl().Width()));
  EXPECT_FALSE(bar.Visible());
  // Redrawn when the filled part moved a pixel, not for every row.
  const int32_t pixels = platform::TwipsToPixelsX(tk, bar.Width());
  EXPECT_EQ(bar.ShownPosition(), pixels);
  EXPECT_GE(bar.Repaints(), pixels / 2);
  EXPECT_LE(bar.Repaints(), pixels + 2);
  // A list without rows leaves the bar's range as it was.
  k->ListItems().Clear();
  k->CopyAll();
  EXPECT_EQ(bar.Max(), kRows);
  EXPECT_EQ(bar.Value(), 0);
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
