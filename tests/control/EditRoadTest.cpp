// One edit from the user's click to the value the host stores, for each kind of editor.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Resources.h"
#include "tests/control/EditingFixture.h"

namespace tamarind::testing {
namespace {

using platform::vbKeyReturn;
using Lines = std::vector<std::string>;

class RoadOfOneEdit : public EditingTest {};

TEST_F(RoadOfOneEdit, TextBoxOpensOverTheCellAndEnterStoresTheTypedText) {
  user.ClickCell(lv, 2, 0);
  ASSERT_TRUE(Box().Visible());
  EXPECT_FLOAT_EQ(Box().Left(), 20);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(2));
  EXPECT_FLOAT_EQ(Box().Width(), kWidth[0] + 20);
  EXPECT_EQ(Box().Text(), "Lemon");
  // The text box has the focus with its text selected, so typing replaces it.
  EXPECT_TRUE(Box().HasFocus());
  EXPECT_EQ(Box().SelStart(), 0);
  EXPECT_EQ(Box().SelLength(), 5);
  EXPECT_TRUE(TimerOn());

  user.Type("Yuzu");
  EXPECT_EQ(host.Only({"Change"}), Lines(4, "Change \"Lemon\""));
  user.PressKey(vbKeyReturn);

  EXPECT_EQ(host.Only({"MouseDown", "ItemClick", "ChangeComplete"}),
            (Lines{"MouseDown button=1", "ItemClick row=2 button=1 second=False col=0 open=none",
                   "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0"}));
  EXPECT_FALSE(Box().Visible());
  EXPECT_FALSE(TimerOn());
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());  // PlaySounds is off
}

TEST_F(RoadOfOneEdit, SpinnerSitsRightOfANarrowerTextBoxAndTheHostCountsWithIt) {
  user.ClickCell(lv, 3, 1);
  ASSERT_TRUE(Box().Visible());
  ASSERT_TRUE(Spinner().Visible());
  const float cellWidth = kWidth[1] + 20;
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0]);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));
  EXPECT_FLOAT_EQ(Box().Width(), cellWidth - Spinner().Width());
  EXPECT_FLOAT_EQ(Box().Height(), kRowTwips);
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
  EXPECT_FLOAT_EQ(Spinner().Top(), Box().Top());
  EXPECT_EQ(Box().Text(), "7");

  user.ClickUpArrow(Spinner());
  user.ClickUpArrow(Spinner());
  user.ClickDownArrow(Spinner());
  EXPECT_EQ(Box().Text(), "8");
  user.PressKey(vbKeyReturn);

  EXPECT_EQ(host.Only({"SpinnerUpClick", "SpinnerDownClick", "ChangeComplete"}),
            (Lines{"SpinnerUpClick", "SpinnerUpClick", "SpinnerDownClick", "ChangeComplete \"7\" -> \"8\" col=1"}));
  EXPECT_EQ(Cell(3, 1), "8");
  EXPECT_FALSE(Box().Visible());
  EXPECT_FALSE(Spinner().Visible());
}

TEST_F(RoadOfOneEdit, DropDownChoiceClosesTheListThenReportsAndIsStored) {
  user.ClickCell(lv, 4, 2);
  ASSERT_TRUE(Combo().Visible());
  EXPECT_FLOAT_EQ(Combo().Left(), 20 + kWidth[0] + kWidth[1]);
  EXPECT_FLOAT_EQ(Combo().Top(), RowTop(4));
  EXPECT_FLOAT_EQ(Combo().Width(), kWidth[2] + 20);
  EXPECT_EQ(Combo().Text(), "Berry");

  user.ChooseEntry(Combo(), "Citrus");

  EXPECT_EQ(host.Only({"DropDown", "DropDownClick", "DropDownChangeComplete", "NotInList"}),
            (Lines{"DropDown", "DropDownClick", "DropDownChangeComplete \"Berry\" -> \"Citrus\" visible=False"}));
  EXPECT_EQ(Cell(4, 2), "Citrus");
  EXPECT_FALSE(Combo().Visible());
  EXPECT_FALSE(TimerOn());
}

TEST_F(RoadOfOneEdit, CalendarOneRowTallPicksADateAndReportsItsColumn) {
  user.ClickCell(lv, 1, 3);
  ASSERT_TRUE(Calendar().Visible());
  EXPECT_FLOAT_EQ(Calendar().Left(), 20 + kWidth[0] + kWidth[1] + kWidth[2]);
  EXPECT_FLOAT_EQ(Calendar().Top(), RowTop(1));
  EXPECT_FLOAT_EQ(Calendar().Width(), kWidth[3] + 20);
  EXPECT_FLOAT_EQ(Calendar().Height(), kRowTwips + 15);  // one pixel taller than the row
  EXPECT_EQ(Calendar().DateValue(), Date::FromCalendar(2026, 11, 2));

  user.PickDate(Calendar(), Date::FromCalendar(2026, 12, 24));

  EXPECT_EQ(host.Only({"CalendarChangeComplete"}),
            Lines{"CalendarChangeComplete \"11/2/2026\" -> \"12/24/2026\" SI=3"});
  EXPECT_EQ(Cell(1, 3), "12/24/2026");
  EXPECT_FALSE(Calendar().Visible());
  EXPECT_FALSE(TimerOn());
}

TEST_F(RoadOfOneEdit, ButtonAtTheCellsRightEndClicksAudiblyAndTheHostStoresItsDialogValue) {
  ASSERT_FALSE(k.PlaySounds());
  user.ClickCell(lv, 5, 4);
  ASSERT_TRUE(Button().Visible());
  const float cellLeft = 20 + kWidth[0] + kWidth[1] + kWidth[2] + kWidth[3];
  EXPECT_FLOAT_EQ(Button().Width(), 255);  // keeps its own width
  EXPECT_FLOAT_EQ(Button().Left(), cellLeft + kWidth[4] + 20 - 255);
  EXPECT_FLOAT_EQ(Button().Top(), RowTop(5));
  EXPECT_FLOAT_EQ(Button().Height(), kRowTwips);

  user.Click(Button());

  EXPECT_EQ(host.Count("CommandButtonClick"), 1u);
  EXPECT_EQ(Cell(5, 4), "Checked by phone");
  // The button answers with its click sound whatever PlaySounds says.
  EXPECT_EQ(SoundsPlayed(), (std::vector<std::vector<uint8_t>>{platform::LoadResData(snd_CLICK, "WAVE")}));
}

}  // namespace
}  // namespace tamarind::testing
