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

TEST_F(TextBoxCommit, HostClearingAKeyInKeyPressDropsIt) {
  host.swallowedKeys = {13, static_cast<int16_t>('x')};
  user.ClickCell(lv, 2, 0);
  user.Type("Yxuzu");
  EXPECT_EQ(Box().Text(), "Yuzu");
  user.PressKey(vbKeyReturn);  // a cleared Enter commits nothing
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_TRUE(Box().Visible());
  EXPECT_EQ(Box().Text(), "Yuzu");
  EXPECT_EQ(Cell(2, 0), "Lemon");
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

TEST_F(TabNavigation, TabPastTheLastColumnWrapsAndATabCommitsTheEditBeforeMovingIt) {
  host.answerTab = [](int32_t&, int32_t current, int32_t& next) { next = current + 1; };
  k.PlaySounds(true);
  user.ClickCell(lv, 2, 4);
  ASSERT_EQ(host.OpenEditor(), "button");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(host.OpenEditor(), "textbox");
  EXPECT_FLOAT_EQ(Box().Left(), 20);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(2));
  user.Focus(Box());  // a Tab moves no focus: the user clicks into the text box
  tk.SoundImpl().Clear();
  user.Type("Yuzu");
  user.PressKey(vbKeyTab);
  EXPECT_EQ(host.Only({"TabRequest", "ChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=2 button=1 second=False col=4 open=none", "TabRequest item=2 current=4 next=4",
                   "ItemClick row=2 button=1 second=True col=0 open=button", "TabRequest item=2 current=0 next=0",
                   "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0",
                   "ItemClick row=2 button=1 second=True col=1 open=textbox"}));
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_EQ(SoundsPlayed(), Sounds{platform::LoadResData(snd_COMPLETE, "WAVE")});
  EXPECT_EQ(host.OpenEditor(), "spinner");
  EXPECT_EQ(Box().Text(), "4");
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
  EXPECT_EQ(when.substr(0, 10), "12/6/2026 ");
  EXPECT_EQ(Calendar().Tag(), "");
  EXPECT_EQ(CStr(Calendar().Value()), when);
  EXPECT_TRUE(Calendar().Visible());
  // The calendar reports its value even while it is being filled.
  EXPECT_EQ(host.Only({"CalendarChange"}).back(), "CalendarChange \"" + when + "\"");
}

}  // namespace
}  // namespace tamarind::testing
