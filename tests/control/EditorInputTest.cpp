// What keys, clicks and focus changes in an open editor mean: Enter, the host's KeyPress, the
// drop-down's list check and NotInList, Tab navigation, the calendar's report, and the focus leaving
// the control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Resources.h"
#include "runtime/Conversions.h"
#include "tests/control/EditingFixture.h"

namespace tamarind::testing {
namespace {

using platform::vbKeyReturn;
using platform::vbKeyTab;
using Lines = std::vector<std::string>;
using Sounds = std::vector<std::vector<uint8_t>>;

// --- the text box ---------------------------------------------------------------------------------

class TextBoxCommit : public EditingTest {};

TEST_F(TextBoxCommit, EnterWithoutAChangeStillReportsAndSounds) {
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Only({"ChangeComplete"}), Lines{"ChangeComplete \"Lemon\" -> \"Lemon\" col=0"});
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
  EXPECT_FALSE(Box().Visible());
}

TEST_F(TextBoxCommit, EnterIsSilentWhileSoundsAreOff) {
  user.ClickCell(lv, 2, 0);
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("ChangeComplete"), 1u);
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

TEST_F(TextBoxCommit, HostClearingEnterInKeyPressKeepsTheEditOpen) {
  host.swallowedKeys = {13};
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(Box().Visible());
  EXPECT_EQ(Box().Text(), "Yuzu");
  EXPECT_EQ(Cell(2, 0), "Lemon");
}

TEST_F(TextBoxCommit, HostSeesEveryKeyFirstAndMayDropIt) {
  host.swallowedKeys = {static_cast<int16_t>('x')};
  user.ClickCell(lv, 2, 0);
  user.Type("1x2");
  EXPECT_EQ(Box().Text(), "12");
  EXPECT_EQ(host.Only({"KeyPress"}), (Lines{"KeyPress 49", "KeyPress 120", "KeyPress 50"}));
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
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
  EXPECT_TRUE(away.HasFocus());
}

TEST_F(TextBoxCommit, FocusLeavingWithoutAChangeReportsNothing) {
  user.ClickCell(lv, 2, 0);
  user.Focus(away);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_FALSE(Box().Visible());
}

TEST_F(TextBoxCommit, HostCancellingValidateKeepsTheFocusAndTheEdit) {
  host.cancelValidate = true;
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.Focus(away);
  EXPECT_EQ(host.Count("TextBoxValidate"), 1u);
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(Box().Visible());
  EXPECT_TRUE(Box().HasFocus());
  EXPECT_EQ(Box().Text(), "Yuzu");
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

TEST_F(DropDownCommit, EnterOnAnEntryReportsBeforeClosingEvenWhenUnchanged) {
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Only({"NotInList", "DropDownChangeComplete"}),
            Lines{"DropDownChangeComplete \"Berry\" -> \"Berry\" visible=True"});
  EXPECT_FALSE(Combo().Visible());
}

TEST_F(DropDownCommit, RefusedByEnterTheTextRevertsAndTheDropDownCloses) {
  host.cancelNotInList = true;
  k.DropDownText("Plum");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("NotInList"), 1u);
  EXPECT_EQ(host.Count("DropDownChangeComplete"), 0u);
  EXPECT_EQ(Combo().Text(), "Berry");
  EXPECT_FALSE(Combo().Visible());
  EXPECT_EQ(Cell(4, 2), "Berry");
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

TEST_F(DropDownCommit, RefusedOnAClickTheTextRevertsAndTheDropDownStaysOpen) {
  host.cancelNotInList = true;
  host.reopenOnSecondClick = false;
  k.DropDownText("Plum");
  user.ClickCell(lv, 4, 2);
  EXPECT_EQ(host.Only({"DropDownClick", "NotInList", "DropDownChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=4 button=1 second=False col=2 open=none", "DropDownClick",
                   "NotInList \"Berry\" \"Plum\"", "ItemClick row=4 button=1 second=True col=2 open=dropdown"}));
  EXPECT_EQ(Combo().Text(), "Berry");
  EXPECT_TRUE(Combo().Visible());
  EXPECT_EQ(Cell(4, 2), "Berry");
}

TEST_F(DropDownCommit, AcceptedOnAClickTheDropDownClosesBeforeTheReport) {
  host.reopenOnSecondClick = false;
  k.DropDownText("Plum");
  user.ClickCell(lv, 4, 2);
  EXPECT_EQ(host.Only({"NotInList", "DropDownChangeComplete"}),
            (Lines{"NotInList \"Berry\" \"Plum\"", "DropDownChangeComplete \"Berry\" -> \"Plum\" visible=False"}));
  EXPECT_EQ(Cell(4, 2), "Plum");
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
}

TEST_F(DropDownCommit, FocusLeavingReportsTheChangeSilentlyAndCloses) {
  k.DropDownText("Citrus");
  user.Focus(away);
  EXPECT_EQ(host.Only({"DropDownChangeComplete", "NotInList"}),
            Lines{"DropDownChangeComplete \"Berry\" -> \"Citrus\" visible=True"});
  EXPECT_FALSE(Combo().Visible());
  EXPECT_EQ(Cell(4, 2), "Citrus");
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());
}

// --- Tab --------------------------------------------------------------------------------------------

class TabNavigation : public EditingTest {
 protected:
  void TabToNextColumn() {
    host.answerTab = [](int32_t&, int32_t current, int32_t& next) { next = current + 1; };
  }
};

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

TEST_F(TabNavigation, TabCommitsTheEditThenMovesItAsASecondClick) {
  TabToNextColumn();
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "ChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=2 button=1 second=False col=0 open=none", "TabRequest item=2 current=0 next=0",
                   "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0",
                   "ItemClick row=2 button=1 second=True col=1 open=textbox"}));
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
  EXPECT_EQ(host.OpenEditor(), "spinner");
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0]);
  EXPECT_EQ(Box().Text(), "4");
  EXPECT_EQ(k.SubItemClicked(), 1);
}

TEST_F(TabNavigation, TabPastTheLastColumnWrapsToTheItemColumn) {
  TabToNextColumn();
  user.ClickCell(lv, 3, 4);
  ASSERT_EQ(host.OpenEditor(), "button");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "ItemClick"}),
            (Lines{"ItemClick row=3 button=1 second=False col=4 open=none", "TabRequest item=3 current=4 next=4",
                   "ItemClick row=3 button=1 second=True col=0 open=button"}));
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(host.OpenEditor(), "textbox");
  EXPECT_FLOAT_EQ(Box().Left(), 20);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));
}

TEST_F(TabNavigation, TabToAnotherRowSelectsItAndClicksWithTheLeftButton) {
  host.answerTab = [](int32_t& item, int32_t, int32_t& next) {
    item += 2;
    next = 0;
  };
  user.ClickCell(lv, 2, 1, platform::headless::CellPart::Label, platform::vbRightButton);
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"ItemClick"}), (Lines{"ItemClick row=2 button=2 second=False col=1 open=none",
                                             "ItemClick row=4 button=1 second=True col=0 open=spinner"}));
  EXPECT_EQ(k.SelectedItem()->Index(), 4);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(4));
  EXPECT_EQ(Box().Text(), "Blueberry");
  // Tab moves the row of the last item click but not its column: a click on the new cell is a
  // click on another column of the same row.
  user.ClickCell(lv, 4, 0);
  EXPECT_EQ(host.Only({"ItemClick"}).back(), "ItemClick row=4 button=1 second=False col=0 open=none");
}

TEST_F(TabNavigation, TabToARowOutOfViewScrollsItIntoView) {
  for (int32_t i = 6; i <= 30; ++i) AddRow("Row " + std::to_string(i), "1", "Apple", "1/1/2027", "");
  host.answerTab = [](int32_t& item, int32_t, int32_t&) { item = 25; };
  user.ClickCell(lv, 2, 0);
  ASSERT_EQ(lv.TopIndex(), 0);
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"ItemClick"}).back(), "ItemClick row=25 button=1 second=True col=0 open=textbox");
  EXPECT_GT(lv.TopIndex(), 0);
  const float top = k.ListItems().Item(25)->Top();
  EXPECT_GE(top, kHeaderTwips);
  EXPECT_LT(top, lv.Height());
  EXPECT_FLOAT_EQ(Box().Top(), top);
  EXPECT_EQ(Box().Text(), "Row 25");
}

TEST_F(TabNavigation, TabCommitsAChangedDropDown) {
  TabToNextColumn();
  user.ClickCell(lv, 4, 2);
  k.DropDownText("Apple");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "DropDownChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=4 button=1 second=False col=2 open=none", "TabRequest item=4 current=2 next=2",
                   "DropDownChangeComplete \"Berry\" -> \"Apple\" visible=False",
                   "ItemClick row=4 button=1 second=True col=3 open=none"}));
  EXPECT_EQ(Cell(4, 2), "Apple");
  EXPECT_EQ(host.OpenEditor(), "calendar");
}

// --- the calendar -----------------------------------------------------------------------------------

class CalendarEditing : public EditingTest {};

TEST_F(CalendarEditing, ReportCarriesTheCreationColumnOfTheLastClick) {
  k.AllowColumnReorder(true);
  user.DragColumn(lv, 4, 1);  // Date shown first
  user.ClickCell(lv, 5, 3);
  EXPECT_FLOAT_EQ(Calendar().Left(), 50);
  user.PickDate(Calendar(), Date::FromCalendar(2027, 1, 15));
  EXPECT_EQ(host.Only({"CalendarChangeComplete"}),
            Lines{"CalendarChangeComplete \"12/1/2026\" -> \"1/15/2027\" SI=3"});
  EXPECT_EQ(Cell(5, 3), "1/15/2027");
}

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

TEST_F(CalendarEditing, SameDatePickedAgainReportsNothing) {
  user.ClickCell(lv, 5, 3);
  user.PickDate(Calendar(), Date::FromCalendar(2026, 12, 1));
  EXPECT_EQ(host.Count("CalendarChangeComplete"), 0u);
  EXPECT_FALSE(Calendar().Visible());
}

TEST_F(CalendarEditing, EmptyDefaultOpensOnNowAndWritesItBackWhileTheTagStaysEmpty) {
  host.editors.clear();
  user.ClickCell(lv, 2, 3);
  std::string when;
  k.ShowCalendar(when);
  ASSERT_FALSE(when.empty());
  const Date now = tk.ClockImpl().Now();
  EXPECT_EQ(CDate(Variant(when)), CDate(Variant(now.ToString())));  // the clock's now, to the second
  EXPECT_EQ(when.substr(0, 10), "12/6/2026 ");
  EXPECT_EQ(Calendar().Tag(), "");
  EXPECT_EQ(CStr(Calendar().Value()), when);
  EXPECT_TRUE(Calendar().Visible());
  // The calendar reports its value even while it is being filled.
  EXPECT_EQ(host.Only({"CalendarChange"}).back(), "CalendarChange \"" + when + "\"");
}

TEST_F(CalendarEditing, EnterClosesTheCalendar) {
  user.ClickCell(lv, 5, 3);
  user.Focus(Calendar());
  user.PressKey(vbKeyReturn);
  EXPECT_FALSE(Calendar().Visible());
  EXPECT_FALSE(TimerOn());
}

}  // namespace
}  // namespace tamarind::testing
