// Turning presses on the list into the current cell: pixel conversion, presses outside every cell,
// icon presses, first and second clicks, the commit of an open edit before the new cell is taken,
// the screen position of the current cell, and SubItemClicked at design time.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "resources/Resources.h"
#include "runtime/Error.h"
#include "tests/control/EditingFixture.h"

namespace tamarind::testing {
namespace {

using platform::headless::CellPart;
using Lines = std::vector<std::string>;

class CellHitResolution : public EditingTest {
 protected:
  void GiveRowsIcons() {
    auto icons = std::make_shared<platform::ImageList>();
    icons->Add(std::make_shared<platform::StdPicture>(16, 16, 0x0000FF));
    k.SmallIcons(icons);
    for (int32_t row = 1; row <= 5; ++row) k.ListItems().Item(row)->SmallIcon(Variant(int32_t{1}));
  }
};

TEST_F(CellHitResolution, TwipsAreRoundedToWholeNumbersBeforeTheDivisionByTwipsPerPixel) {
  host.editors.clear();
  // Name is 100 px wide: pixel 99 is its last, pixel 100 the first of Qty.
  user.PressAt(lv, 1507.5f, RowMiddle(2));  // 1508 \ 15 = 100
  EXPECT_EQ(k.SubItemClicked(), 1);
  user.PressAt(lv, 1499.0f, RowMiddle(2));  // 1499 \ 15 = 99
  EXPECT_EQ(k.SubItemClicked(), 0);
  user.PressAt(lv, 1499.5f, RowMiddle(2));  // 1500 \ 15 = 100, not 99.97 cut to 99
  EXPECT_EQ(k.SubItemClicked(), 1);
}

TEST_F(CellHitResolution, PressBelowTheLastRowKeepsThePreviousColumn) {
  GiveRowsIcons();
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  ASSERT_TRUE(k.IconClicked());
  user.ClickCell(lv, 3, 2);
  ASSERT_EQ(k.SubItemClicked(), 2);
  user.ClickBelowRows(lv, 4);
  EXPECT_EQ(k.SubItemClicked(), 2);
  EXPECT_FALSE(k.IconClicked());
  EXPECT_EQ(host.Count("ItemClick"), 2u);  // no row there, no item click
  EXPECT_EQ(host.Count("MouseDown"), 3u);
}

TEST_F(CellHitResolution, OnlyAPressExactlyOnTheIconSetsIconClicked) {
  GiveRowsIcons();
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  EXPECT_TRUE(k.IconClicked());
  EXPECT_EQ(k.SubItemClicked(), 0);
  user.ClickCell(lv, 2, 0, CellPart::Label);
  EXPECT_FALSE(k.IconClicked());
  EXPECT_EQ(k.SubItemClicked(), 0);
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  user.ClickCell(lv, 2, 1);
  EXPECT_FALSE(k.IconClicked());
}

TEST_F(CellHitResolution, CheckBoxPressIsNotAnIconPress) {
  GiveRowsIcons();
  k.Checkboxes(true);
  user.ClickCell(lv, 2, 0, CellPart::Icon);
  EXPECT_TRUE(k.IconClicked());
  user.ClickCell(lv, 2, 0, CellPart::StateIcon);
  EXPECT_FALSE(k.IconClicked());
  EXPECT_TRUE(k.ListItems().Item(2)->Checked());
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

TEST_F(CellHitResolution, TextBoxOpenedOnThePressTakesTheFocusWithItsTextSelected) {
  const uint64_t before = tk.ClockImpl().Milliseconds();
  user.PressCell(lv, 2, 0);  // not released yet
  EXPECT_TRUE(Box().HasFocus());
  EXPECT_EQ(Box().SelStart(), 0);
  EXPECT_EQ(Box().SelLength(), 5);
  EXPECT_GE(tk.ClockImpl().Milliseconds() - before, 100u);  // the press pauses while the editor settles
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

TEST_F(CellHitResolution, RightButtonReachesItemClick) {
  user.ClickCell(lv, 4, 2, CellPart::Label, platform::vbRightButton);
  EXPECT_EQ(host.Only({"ItemClick"}), Lines{"ItemClick row=4 button=2 second=False col=2 open=none"});
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

TEST_F(CellHitResolution, ChangedDropDownIsCommittedByAPressElsewhere) {
  user.ClickCell(lv, 4, 2);
  k.DropDownText("Citrus");
  user.ClickCell(lv, 1, 0);
  EXPECT_EQ(host.Only({"DropDownChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=4 button=1 second=False col=2 open=none",
                   "DropDownChangeComplete \"Berry\" -> \"Citrus\" visible=False",
                   "ItemClick row=1 button=1 second=False col=0 open=none"}));
  EXPECT_EQ(Cell(4, 2), "Citrus");
}

TEST_F(CellHitResolution, ScreenEdgeQueryClosesAnOpenTextBoxWithoutAnEvent) {
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  platform::RECT r;
  ASSERT_TRUE(tk.Windows().GetWindowRect(Box().hWnd(), r));
  const size_t events = host.log.size();

  EXPECT_EQ(k.GetSubItemLeftOnScreen(), r.left * 15);
  EXPECT_FALSE(Box().Visible());
  EXPECT_EQ(host.log.size(), events);
  EXPECT_EQ(Cell(2, 0), "Lemon");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0u);
  EXPECT_FALSE(TimerOn());

  // Without an open text box each query measures the same cell and leaves nothing open.
  EXPECT_EQ(k.GetSubItemRightOnScreen(), r.right * 15);
  EXPECT_EQ(k.GetSubItemTopOnScreen(), r.top * 15);
  EXPECT_EQ(k.GetSubItemBottomOnScreen(), r.bottom * 15);
  EXPECT_FALSE(Box().Visible());
  EXPECT_EQ(host.log.size(), events);
  EXPECT_EQ(tk.Windows().LockedWindow(), 0u);
}

TEST_F(CellHitResolution, SubItemClickedCannotBeSetAtDesignTime) {
  form.SetUserMode(false);
  form.ClearPropertyChanges();
  try {
    k.SubItemClicked(3);
    ADD_FAILURE() << "no error at design time";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 387);
  }
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_TRUE(form.PropertyChanges().empty());

  form.SetUserMode(true);
  k.SubItemClicked(3);
  EXPECT_EQ(k.SubItemClicked(), 3);
  EXPECT_EQ(form.PropertyChanges(), std::vector<std::string>{"SubItemClicked"});
}

}  // namespace
}  // namespace tamarind::testing
