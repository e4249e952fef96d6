// Turning presses on the list into the current cell (pixel conversion, presses outside every cell,
// icon presses, first and second clicks, the commit of an open edit before the new cell is taken,
// the screen position of the current cell), and what keys, clicks and focus changes in an open
// editor mean: Enter, the host's KeyPress, the drop-down's list check and NotInList, Tab
// navigation, the calendar's report, and the focus leaving the control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Resources.h"
#include "runtime/Conversions.h"
#include "tests/control/FruitOrders.h"

namespace tamarind::testing {
namespace {

using platform::vbKeyReturn;
using platform::vbKeyTab;
using platform::headless::CellPart;
using Lines = std::vector<std::string>;
using Sounds = std::vector<std::vector<uint8_t>>;

// --- presses on the list: the current cell --------------------------------------------------------



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
  EXPECT_EQ(host.Count("ItemClick"), 2u);  // no row below the last, no item click; nor on a check box
  EXPECT_EQ(host.Count("MouseDown"), 4u);
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

TEST_F(CellHitResolution, ChangedTextIsReportedBeforeTheNewCellIsTakenAndUnchangedTextIsNot) {
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.Type("Lemon");  // typed over with the same text
  user.ClickCell(lv, 3, 0);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
  EXPECT_EQ(Box().Text(), "Cherry");
  user.Type("Yuzu");
  host.log.clear();
  user.ClickCell(lv, 4, 2);
  EXPECT_EQ(host.Only({"MouseDown", "ItemClick", "ChangeComplete"}),
            (Lines{"MouseDown button=1", "ChangeComplete \"Cherry\" -> \"Yuzu\" col=0",
                   "ItemClick row=4 button=1 second=False col=2 open=none"}));
  EXPECT_EQ(Cell(3, 0), "Yuzu");
  EXPECT_EQ(Cell(4, 2), "Berry");
  EXPECT_EQ(host.OpenEditor(), "dropdown");
  EXPECT_EQ(SoundsPlayed(), (std::vector<std::vector<uint8_t>>{platform::LoadResData(snd_COMPLETE, "WAVE")}));
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
  EXPECT_FALSE(TimerOn());
  // With no text box open the same cell is measured again.
  EXPECT_EQ(k.GetSubItemTopOnScreen(), kTopPx * 15);
  EXPECT_EQ(k.GetSubItemRightOnScreen(), (kLeftPx + 101) * 15);
  EXPECT_EQ(k.GetSubItemBottomOnScreen(), (kTopPx + 17) * 15);
  // The quantity of the same row: one column further right, past the 100-pixel name column.
  user.ClickCell(lv, 2, 1);
  EXPECT_EQ(k.GetSubItemLeftOnScreen(), (kLeftPx + 100) * 15);
}

// --- the text box ---------------------------------------------------------------------------------

class TextBoxCommit : public EditingTest {};

// Enter reports even an unchanged text, with a sound, unless the host clears it in KeyPress.
// Swallowed letters: tests/qt/SameOnBothTest.
TEST_F(TextBoxCommit, EnterReportsEvenWithoutAChangeUnlessTheHostClearsIt) {
  k.PlaySounds(true);
  host.swallowedKeys = {13};
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(Box().Visible());
  EXPECT_EQ(Cell(2, 0), "Lemon");
  host.swallowedKeys.clear();
  Box().Text("Lemon");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Only({"ChangeComplete"}), Lines{"ChangeComplete \"Lemon\" -> \"Lemon\" col=0"});
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
  EXPECT_FALSE(Box().Visible());
}

TEST_F(TextBoxCommit, FocusLeavingTheControlReportsTheChangeSilentlyAndCloses) {
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  tk.SoundImpl().Clear();
  user.Focus(away);
  EXPECT_EQ(host.Only({"TextBoxValidate", "ChangeComplete"}),
            (Lines{"TextBoxValidate", "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0"}));
  EXPECT_FALSE(Box().Visible());
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

// --- the drop-down --------------------------------------------------------------------------------

class DropDownCommit : public EditingTest {
 protected:
  DropDownCommit() {
    k.PlaySounds(true);
    user.ClickCell(lv, 4, 2);  // Berry
    tk.SoundImpl().Clear();
  }
};

TEST_F(DropDownCommit, ListCheckIsCaseSensitive) {
  k.DropDownText("apple");  // the list holds "Apple"
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Only({"NotInList", "DropDownChangeComplete"}),
            (Lines{"NotInList \"Berry\" \"apple\"", "DropDownChangeComplete \"Berry\" -> \"apple\" visible=True"}));
  EXPECT_FALSE(Combo().Visible());
  EXPECT_EQ(Cell(4, 2), "apple");
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
}

// Refused by Enter the drop-down closes (tests/qt/SameOnBothTest), silently; refused on a click
// into its own cell it stays open.
TEST_F(DropDownCommit, ARefusedTextRevertsAndOnlyEnterClosesTheDropDown) {
  host.cancelNotInList = true;
  host.reopenOnSecondClick = false;
  k.DropDownText("Plum");
  user.ClickCell(lv, 4, 2);
  EXPECT_EQ(host.Only({"DropDownClick", "NotInList", "DropDownChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=4 button=1 second=False col=2 open=none", "DropDownClick",
                   "NotInList \"Berry\" \"Plum\"", "ItemClick row=4 button=1 second=True col=2 open=dropdown"}));
  EXPECT_EQ(Combo().Text(), "Berry");
  EXPECT_TRUE(Combo().Visible());
  k.DropDownText("Plum");
  user.Focus(Combo());
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("NotInList"), 2u);
  EXPECT_EQ(host.Count("DropDownChangeComplete"), 0u);
  EXPECT_EQ(Combo().Text(), "Berry");
  EXPECT_FALSE(Combo().Visible());
  EXPECT_EQ(Cell(4, 2), "Berry");
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

// --- Tab --------------------------------------------------------------------------------------------

class TabNavigation : public EditingTest {};

TEST_F(TabNavigation, TabTheHostIgnoresDoesNothing) {
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "ChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=2 button=1 second=False col=0 open=none", "TabRequest item=2 current=0 next=0"}));
  EXPECT_TRUE(Box().Visible());
  EXPECT_EQ(Box().Text(), "Yuzu");  // no tab character either
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(Cell(2, 0), "Lemon");
}

// A Tab past the last column wraps to the first, with a sound for the committed edit. The commit
// before the move: tests/qt/SameOnBothTest.
TEST_F(TabNavigation, TabPastTheLastColumnWrapsToTheFirst) {
  host.answerTab = [](int32_t&, int32_t current, int32_t& next) { next = current + 1; };
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 4);
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "ItemClick"}).back(), "ItemClick row=2 button=1 second=True col=0 open=button");
  EXPECT_EQ(host.OpenEditor(), "textbox");
  EXPECT_FLOAT_EQ(Box().Left(), 20);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(2));
  user.Focus(Box());  // a Tab moves no focus: the user clicks into the text box
  user.Type("Yuzu");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
  EXPECT_EQ(host.OpenEditor(), "spinner");
}

// --- the calendar -----------------------------------------------------------------------------------

class CalendarEditing : public EditingTest {};

TEST_F(CalendarEditing, ReportCarriesTheColumnOfTheLastItemClickNotOfTheLastPress) {
  k.Checkboxes(true);
  user.ClickCell(lv, 5, 3);
  user.ClickCell(lv, 1, 0, platform::headless::CellPart::StateIcon);  // a check box: no item click
  ASSERT_EQ(k.SubItemClicked(), 0);
  ASSERT_TRUE(Calendar().Visible());
  user.PickDate(Calendar(), Date::FromCalendar(2027, 1, 15));
  EXPECT_EQ(host.Only({"CalendarChangeComplete"}),
            Lines{"CalendarChangeComplete \"12/1/2026\" -> \"1/15/2027\" SI=3"});
  EXPECT_EQ(Cell(5, 3), "1/15/2027");
  EXPECT_EQ(Cell(1, 0), "Braeburn");
}

TEST_F(CalendarEditing, EmptyDefaultOpensOnNowAndWritesItBackWhileTheTagStaysEmpty) {
  host.editors.clear();
  user.ClickCell(lv, 2, 3);
  std::string when;
  k.ShowCalendar(when);
  ASSERT_FALSE(when.empty());
  const Date now = tk.ClockImpl().Now();
  EXPECT_EQ(CDate(Variant(when)), CDate(Variant(now.ToString())));  // the clock's now, to the second
  EXPECT_EQ(Calendar().Tag(), "");
  EXPECT_EQ(CStr(Calendar().Value()), when);
  // The calendar reports its value even while it is being filled.
  EXPECT_EQ(host.Only({"CalendarChange"}).back(), "CalendarChange \"" + when + "\"");
}

}  // namespace
}  // namespace tamarind::testing
