// Turning presses on the list into the current cell: pixel conversion, presses outside every cell,
// icon presses, first and second clicks, the commit of an open edit before the new cell is taken,
// and the screen position of the current cell.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Resources.h"
#include "tests/control/EditingFixture.h"

namespace tamarind::testing {
namespace {

using platform::headless::CellPart;
using Lines = std::vector<std::string>;

class CellHitResolution : public EditingTest {};

TEST_F(CellHitResolution, TwipsAreRoundedToWholeNumbersBeforeTheDivisionByTwipsPerPixel) {
  host.editors.clear();
  // Name is 100 px wide: pixel 99 is its last, pixel 100 the first of Qty.
  const float y = RowTop(2) + kRowTwips / 2;
  user.PressAt(lv, 1507.5f, y);  // 1508 \ 15 = 100
  EXPECT_EQ(k.SubItemClicked(), 1);
  user.PressAt(lv, 1499.0f, y);  // 1499 \ 15 = 99
  EXPECT_EQ(k.SubItemClicked(), 0);
  user.PressAt(lv, 1499.5f, y);  // 1500 \ 15 = 100, not 99.97 cut to 99
  EXPECT_EQ(k.SubItemClicked(), 1);
}

TEST_F(CellHitResolution, OnlyAPressOnTheIconSetsIconClickedAndAPressBelowTheRowsKeepsTheColumn) {
  GiveRowsIcons();
  k.Checkboxes(true);
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  EXPECT_TRUE(k.IconClicked());
  EXPECT_EQ(k.SubItemClicked(), 0);
  user.ClickCell(lv, 2, 0, CellPart::StateIcon);  // the check box is no icon
  EXPECT_FALSE(k.IconClicked());
  EXPECT_TRUE(k.ListItems().Item(2)->Checked());
  user.ClickCell(lv, 3, 2, CellPart::Label);
  EXPECT_FALSE(k.IconClicked());
  user.ClickBelowRows(lv, 4);
  EXPECT_EQ(k.SubItemClicked(), 2);  // not the column under the press
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  user.ClickBelowRows(lv, 4);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_FALSE(k.IconClicked());
  EXPECT_EQ(host.Count("ItemClick"), 3u);  // no row below the last, no item click; nor on a check box
  EXPECT_EQ(host.Count("MouseDown"), 6u);
}

TEST_F(CellHitResolution, SameCellClickedTwiceIsASecondClickAndTheEditorStaysOpen) {
  host.reopenOnSecondClick = false;
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.ClickCell(lv, 2, 0);
  EXPECT_EQ(host.Only({"ItemClick", "ChangeComplete"}),
            (Lines{"ItemClick row=2 button=1 second=False col=0 open=none",
                   "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0",
                   "ItemClick row=2 button=1 second=True col=0 open=textbox"}));
  EXPECT_TRUE(Box().Visible());
  EXPECT_EQ(Box().Text(), "Yuzu");
  EXPECT_EQ(Box().Tag(), "Lemon");  // the press reported the change but did not end the edit
  EXPECT_TRUE(Box().HasFocus());
  EXPECT_TRUE(TimerOn());
}

TEST_F(CellHitResolution, AnotherColumnOrRowClosesTheEditorBeforeItemClick) {
  user.ClickCell(lv, 2, 0);
  user.ClickCell(lv, 2, 1);
  user.ClickCell(lv, 3, 1);
  EXPECT_EQ(host.Only({"ItemClick"}), (Lines{"ItemClick row=2 button=1 second=False col=0 open=none",
                                             "ItemClick row=2 button=1 second=False col=1 open=none",
                                             "ItemClick row=3 button=1 second=False col=1 open=none"}));
  EXPECT_EQ(host.OpenEditor(), "spinner");
  EXPECT_EQ(Box().Text(), "7");
}

TEST_F(CellHitResolution, ChangedTextIsReportedBeforeTheNewCellIsTaken) {
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.ClickCell(lv, 3, 2);
  EXPECT_EQ(host.Only({"MouseDown", "ItemClick", "ChangeComplete"}),
            (Lines{"MouseDown button=1", "ItemClick row=2 button=1 second=False col=0 open=none",
                   "MouseDown button=1", "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0",
                   "ItemClick row=3 button=1 second=False col=2 open=none"}));
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_EQ(Cell(3, 2), "Stone fruit");
  EXPECT_EQ(host.OpenEditor(), "dropdown");
  EXPECT_EQ(SoundsPlayed(), (std::vector<std::vector<uint8_t>>{platform::LoadResData(snd_COMPLETE, "WAVE")}));
}

TEST_F(CellHitResolution, UnchangedTextIsNotReportedByAPressElsewhere) {
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.Type("Lemon");  // typed over with the same text
  user.ClickCell(lv, 3, 0);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
  EXPECT_EQ(Box().Text(), "Cherry");
}

// The screen position of the current cell, worked out from the desktop's layout: the form's client
// area starts at (104, 130) on the screen (the form at (100, 100), a 4-pixel frame, a 30-pixel
// caption); the control stands 240 twips (16 px) inside it with the list at its top left; the text
// box over row 2's name starts 20 twips (1 px once in whole pixels) into the row and is the column
// plus 20 twips (101 px) wide; row 2 starts under the 20-pixel header and the 17-pixel first row.
TEST_F(CellHitResolution, ScreenEdgeQueryClosesAnOpenTextBoxWithoutAnEvent) {
  constexpr int32_t kLeftPx = 104 + 16 + 1, kTopPx = 130 + 16 + 20 + 17;
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  const size_t events = host.log.size();

  EXPECT_EQ(k.GetSubItemLeftOnScreen(), kLeftPx * 15);
  EXPECT_FALSE(Box().Visible());
  EXPECT_EQ(host.log.size(), events);
  EXPECT_EQ(Cell(2, 0), "Lemon");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0u);
  EXPECT_FALSE(TimerOn());
  // With no text box open the same cell is measured again.
  EXPECT_EQ(k.GetSubItemTopOnScreen(), kTopPx * 15);
  EXPECT_EQ(k.GetSubItemRightOnScreen(), (kLeftPx + 101) * 15);
  EXPECT_EQ(k.GetSubItemBottomOnScreen(), (kTopPx + 17) * 15);
  // The quantity of the same row: one column further right, past the 100-pixel name column.
  user.ClickCell(lv, 2, 1);
  EXPECT_EQ(k.GetSubItemLeftOnScreen(), (kLeftPx + 100) * 15);
  EXPECT_EQ(k.GetSubItemTopOnScreen(), kTopPx * 15);
}

}  // namespace
}  // namespace tamarind::testing
