// The same user session on both realisations: headless (the user driver) and Qt (real input events
// on real widgets). A host sees the same events and stores the same values on both, and the
// editors keep the same relation to their cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "runtime/Conversions.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/qt/Desks.h"

namespace tamarind::testing {
namespace {

using platform::vbKeyReturn;
using platform::vbKeyTab;
using Lines = std::vector<std::string>;

class OnBoth : public ::testing::TestWithParam<Realisation> {
 protected:
  OnBoth() : desk(GetParam().make()), k(desk->K()), host(k) { k.Attach(&host); }
  ~OnBoth() override { k.Attach(nullptr); }

  std::string Cell(int32_t row, int32_t column) {
    const platform::ListItemRef item = k.ListItems().Item(row);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  // Where a row's editors belong: the row's top in the control, as the list reports it.
  float RowTopInControl(int32_t row) { return desk->List().Top() + k.ListItems().Item(row)->Top(); }
  // The edit reached the list and no editor is left open.
  void ExpectStored(int32_t row, int32_t column, const std::string& text) {
    EXPECT_EQ(Cell(row, column), text);
    EXPECT_EQ(host.OpenEditor(), "none");
  }

  std::unique_ptr<Desk> desk;
  Kestrel& k;
  RecordingHost host;
};

class RoadOfOneEdit : public OnBoth {};

TEST_P(RoadOfOneEdit, TextBoxTypedAndEntered) {
  desk->ClickCell(2, 0);
  ASSERT_EQ(host.OpenEditor(), "textbox");
  EXPECT_EQ(k.TextBoxControl().Text(), "Lemon");
  EXPECT_TRUE(k.TextBoxControl().HasFocus());
  desk->Type("Yuzu");
  desk->PressKey(vbKeyReturn);

  EXPECT_EQ(host.Only({"MouseDown", "ItemClick", "Change", "ChangeComplete"}),
            (Lines{"MouseDown button=1", "ItemClick row=2 button=1 second=False col=0 open=none", "Change \"Lemon\"",
                   "Change \"Lemon\"", "Change \"Lemon\"", "Change \"Lemon\"",
                   "ChangeComplete \"Lemon\" -> \"Yuzu\" col=0"}));
  ExpectStored(2, 0, "Yuzu");
}

TEST_P(RoadOfOneEdit, SpinnerCountsAndEnterStores) {
  desk->ClickCell(3, 1);
  ASSERT_EQ(host.OpenEditor(), "spinner");
  for (const bool up : {true, true, false}) desk->ClickSpinner(up);
  EXPECT_EQ(k.TextBoxControl().Text(), "8");
  desk->PressKey(vbKeyReturn);

  EXPECT_EQ(host.Only({"SpinnerUpClick", "SpinnerDownClick", "ChangeComplete"}),
            (Lines{"SpinnerUpClick", "SpinnerUpClick", "SpinnerDownClick", "ChangeComplete \"7\" -> \"8\" col=1"}));
  ExpectStored(3, 1, "8");
}

TEST_P(RoadOfOneEdit, DropDownEntryChosenFromTheOpenList) {
  desk->ClickCell(4, 2);
  ASSERT_EQ(host.OpenEditor(), "dropdown");
  EXPECT_EQ(k.ComboBoxControl().Text(), "Berry");
  desk->ChooseEntry("Citrus");

  EXPECT_EQ(host.Only({"DropDown", "DropDownClick", "DropDownChangeComplete", "NotInList"}),
            (Lines{"DropDown", "DropDownClick", "DropDownChangeComplete \"Berry\" -> \"Citrus\" visible=False"}));
  ExpectStored(4, 2, "Citrus");
}

TEST_P(RoadOfOneEdit, CalendarDayPickedInTheMonthCalendar) {
  desk->ClickCell(1, 3);
  ASSERT_EQ(host.OpenEditor(), "calendar");
  desk->PickDate(Date::FromCalendar(2026, 12, 24));

  EXPECT_EQ(host.Only({"CalendarChangeComplete"}),
            Lines{"CalendarChangeComplete \"11/2/2026\" -> \"12/24/2026\" SI=3"});
  ExpectStored(1, 3, "12/24/2026");
}

TEST_P(RoadOfOneEdit, CommandButtonAtTheCellsRightEnd) {
  desk->ClickCell(5, 4);
  ASSERT_EQ(host.OpenEditor(), "button");
  const platform::CommandButton& button = k.CommandButtonControl();
  float cellRight = 20;  // the placement's cell: 20 twips in, and 20 twips wider than its column
  for (float w : Desk::kWidth) cellRight += w;
  EXPECT_FLOAT_EQ(button.Left() + button.Width(), cellRight + 20);
  EXPECT_FLOAT_EQ(button.Top(), RowTopInControl(5));
  desk->ClickCommandButton();

  EXPECT_EQ(host.Count("CommandButtonClick"), 1u);
  EXPECT_EQ(Cell(5, 4), "Checked by phone");
}

class Navigation : public OnBoth {};

TEST_P(Navigation, TabCommitsAndMovesTheEditToTheCellTheHostNames) {
  host.answerTab = [](int32_t& item, int32_t, int32_t& next) {
    item = 4;
    next = 2;
  };
  desk->ClickCell(2, 0);
  desk->Type("Lime");
  desk->PressKey(vbKeyTab);

  EXPECT_EQ(host.Only({"TabRequest", "ChangeComplete", "ItemClick"}),
            (Lines{"ItemClick row=2 button=1 second=False col=0 open=none", "TabRequest item=2 current=0 next=0",
                   "ChangeComplete \"Lemon\" -> \"Lime\" col=0", "ItemClick row=4 button=1 second=True col=2 open=textbox"}));
  EXPECT_EQ(Cell(2, 0), "Lime");
  EXPECT_EQ(host.OpenEditor(), "dropdown");
  EXPECT_EQ(k.ComboBoxControl().Text(), "Berry");
  EXPECT_EQ(k.SubItemClicked(), 2);
  EXPECT_EQ(SelectedRow(k), 4);
  EXPECT_FLOAT_EQ(k.ComboBoxControl().Top(), RowTopInControl(4));
}

TEST_P(Navigation, ACategoryNotInTheListIsRefusedAndTheCellKeepsItsValue) {
  host.cancelNotInList = true;
  desk->ClickCell(4, 2);
  ASSERT_EQ(host.OpenEditor(), "dropdown");
  desk->Type("Bark");
  EXPECT_EQ(k.ComboBoxControl().Text(), "Bark");
  desk->PressKey(vbKeyReturn);

  EXPECT_EQ(host.Only({"NotInList", "DropDownChangeComplete"}), Lines{"NotInList \"Berry\" \"Bark\""});
  EXPECT_EQ(Cell(4, 2), "Berry");
  EXPECT_EQ(k.ComboBoxControl().Text(), "Berry");
}

TEST_P(Navigation, ArrowKeysMoveTheSelectionAndEachMoveIsAnItemClick) {
  host.editors.clear();  // no editor: the list keeps the focus
  desk->ClickCell(2, 1);
  for (const int16_t key : {platform::vbKeyDown, platform::vbKeyDown, platform::vbKeyUp}) desk->PressKey(key);

  EXPECT_EQ(host.Only({"ItemClick"}),
            (Lines{"ItemClick row=2 button=1 second=False col=1 open=none",
                   "ItemClick row=3 button=1 second=False col=1 open=none",
                   "ItemClick row=4 button=1 second=False col=1 open=none",
                   "ItemClick row=3 button=1 second=False col=1 open=none"}));
  EXPECT_EQ(SelectedRow(k), 3);
}

// In a MultiSelect list too, an arrow moves the selection: the row it lands on is selected alone.
TEST_P(Navigation, AnArrowInAMultiSelectListSelectsTheRowItLandsOnAlone) {
  host.editors.clear();
  k.MultiSelect(true);
  desk->ClickCell(3, 1);
  k.ListItems().Item(1)->Selected(true);  // selected by the host: the focus goes with it
  ASSERT_EQ(SelectedRows(k), (std::vector<int32_t>{1, 3}));
  desk->PressKey(platform::vbKeyDown);
  EXPECT_EQ(SelectedRows(k), (std::vector<int32_t>{2}));
  desk->PressKey(platform::vbKeyHome);
  EXPECT_EQ(SelectedRows(k), (std::vector<int32_t>{1}));
  desk->PressKey(platform::vbKeyUp);  // already at the top: nothing changes
  EXPECT_EQ(SelectedRows(k), (std::vector<int32_t>{1}));
}

TEST_P(Navigation, KeysTheHostSwallowsNeverReachTheText) {
  host.swallowedKeys = {'x', ' '};
  desk->ClickCell(1, 0);
  desk->Type("Fox trot");
  EXPECT_EQ(k.TextBoxControl().Text(), "Fotrot");
  desk->PressKey(vbKeyReturn);
  EXPECT_EQ(Cell(1, 0), "Fotrot");
}

TEST_P(Navigation, APressOnACheckBoxTicksItWithoutAnItemClick) {
  k.Checkboxes(true);
  desk->Wait(0);
  desk->ClickCheckBox(2);
  EXPECT_TRUE(k.ListItems().Item(2)->Checked());
  EXPECT_EQ(host.Count("ItemClick"), 0u);
  desk->ClickCheckBox(2);
  EXPECT_FALSE(k.ListItems().Item(2)->Checked());
  desk->ClickCell(2, 1);  // the label of the same row is an ordinary click
  EXPECT_FALSE(k.ListItems().Item(2)->Checked());
  EXPECT_EQ(host.Count("ItemClick"), 1u);
}

TEST_P(Navigation, APressOnAnItemsIconIsAnIconClickAndTheEditorSitsBelowIt) {
  auto icons = std::make_shared<platform::ImageList>();
  icons->Add(std::make_shared<platform::StdPicture>(16, 16, platform::RGB(0, 160, 0)));
  k.SmallIcons(icons);
  for (int32_t row = 1; row <= k.ListItems().Count(); ++row) k.ListItems().Item(row)->SmallIcon(Variant(int32_t{1}));
  desk->Wait(0);

  desk->ClickIcon(3);
  EXPECT_TRUE(k.IconClicked());
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_EQ(SelectedRow(k), 3);
  // With small icons the editor sits 40 twips below the row's top.
  EXPECT_FLOAT_EQ(k.TextBoxControl().Top(), RowTopInControl(3) + 40);
  desk->ClickCell(4, 1);
  EXPECT_FALSE(k.IconClicked());
}

// The keyboard map of a list with the focus (no editor opens: the list keeps the focus).
class KeyboardMap : public OnBoth {
 protected:
  void SetUp() override { host.editors.clear(); }
  int32_t Focused() { return List().FocusedItem() ? List().FocusedItem()->Index() : 0; }
  platform::ListView& List() { return desk->List(); }
};
using Rows = std::vector<int32_t>;
using platform::vbCtrlMask;
using platform::vbShiftMask;

// Shift gathers the rows from the anchor to the row landed on; Ctrl moves the focus alone, and
// Ctrl+Space adds the focused row or takes it out; a plain key selects the row alone again.
TEST_P(KeyboardMap, ShiftGathersARangeAndCtrlMovesTheFocusAlone) {
  k.MultiSelect(true);
  desk->ClickCell(2, 1);
  desk->PressKey(platform::vbKeyDown, vbShiftMask);
  desk->PressKey(platform::vbKeyDown, vbShiftMask);
  EXPECT_EQ(SelectedRows(k), (Rows{2, 3, 4}));
  desk->PressKey(platform::vbKeyUp, vbShiftMask);
  EXPECT_EQ(SelectedRows(k), (Rows{2, 3}));
  EXPECT_EQ(Focused(), 3);
  desk->PressKey(platform::vbKeyDown, vbCtrlMask);
  desk->PressKey(platform::vbKeyDown, vbCtrlMask);
  EXPECT_EQ(SelectedRows(k), (Rows{2, 3}));
  EXPECT_EQ(Focused(), 5);
  desk->PressKey(platform::vbKeySpace, vbCtrlMask);
  EXPECT_EQ(SelectedRows(k), (Rows{2, 3, 5}));
  // The row Ctrl+Space chose is where the next range starts.
  desk->PressKey(platform::vbKeyUp, vbShiftMask);
  EXPECT_EQ(SelectedRows(k), (Rows{4, 5}));
  desk->PressKey(platform::vbKeySpace, vbCtrlMask);
  EXPECT_EQ(SelectedRows(k), (Rows{5}));
  desk->PressKey(platform::vbKeyHome);
  EXPECT_EQ(SelectedRows(k), (Rows{1}));
  desk->PressKey(platform::vbKeyEnd, vbShiftMask);
  EXPECT_EQ(SelectedRows(k), (Rows{1, 2, 3, 4, 5}));
  // Every move that selected is an item click; the focus moving alone is none.
  EXPECT_EQ(host.Count("ItemClick"), 8u);
}

// In a list of one selection, Shift and Ctrl change nothing of what the arrows do.
TEST_P(KeyboardMap, ModifiersInAListOfOneSelectionMoveItLikePlainArrows) {
  desk->ClickCell(2, 0);
  desk->PressKey(platform::vbKeyDown, vbShiftMask);
  EXPECT_EQ(SelectedRows(k), (Rows{3}));
  desk->PressKey(platform::vbKeyDown, vbCtrlMask);
  EXPECT_EQ(SelectedRows(k), (Rows{4}));
  EXPECT_EQ(Focused(), 4);
}

// Page Down goes to the last row shown whole, then a page further; Page Up the other way.
TEST_P(KeyboardMap, PageKeysGoToTheEdgeOfWhatIsShownThenAPageOn) {
  desk->AddRows(60);
  desk->Wait(0);
  const int32_t page = List().VisibleRowCount();
  ASSERT_GT(page, 2);
  desk->ClickCell(2, 0);
  desk->PressKey(platform::vbKeyPageDown);
  EXPECT_EQ(SelectedRow(k), page);
  desk->PressKey(platform::vbKeyPageDown);
  EXPECT_EQ(SelectedRow(k), 2 * page - 1);
  EXPECT_EQ(List().TopIndex() + page, SelectedRow(k));  // scrolled so the row is the last shown
  desk->PressKey(platform::vbKeyPageUp);
  EXPECT_EQ(SelectedRow(k), List().TopIndex() + 1);
  desk->PressKey(platform::vbKeyPageUp);
  EXPECT_EQ(SelectedRow(k), std::max(1, List().TopIndex() + 1));
  desk->PressKey(platform::vbKeyEnd);
  EXPECT_EQ(SelectedRow(k), k.ListItems().Count());
  desk->PressKey(platform::vbKeyPageDown);  // already at the end
  EXPECT_EQ(SelectedRow(k), k.ListItems().Count());
}

TEST_P(KeyboardMap, SpaceTicksTheFocusedRowsCheckBox) {
  k.Checkboxes(true);
  desk->Wait(0);
  desk->ClickCell(2, 1);
  desk->PressKey(platform::vbKeySpace);
  desk->PressKey(platform::vbKeyDown);
  desk->PressKey(platform::vbKeySpace);
  desk->PressKey(platform::vbKeySpace);
  EXPECT_EQ(host.Only({"ItemCheck"}), (Lines{"ItemCheck row=2 checked=True", "ItemCheck row=3 checked=True",
                                              "ItemCheck row=3 checked=False"}));
  EXPECT_TRUE(k.ListItems().Item(2)->Checked());
  EXPECT_FALSE(k.ListItems().Item(3)->Checked());
  EXPECT_EQ(SelectedRows(k), (Rows{3}));
}

// Letters typed in quick succession find the first row from the focused one starting with them;
// one letter again steps on through the rows starting with it; a pause starts a new search.
TEST_P(KeyboardMap, TypedLettersGoToTheRowWhoseNameStartsWithThem) {
  desk->ClickCell(1, 0);  // Braeburn, Lemon, Cherry, Blueberry, Lime
  desk->Type("l");
  EXPECT_EQ(SelectedRow(k), 2);
  desk->Type("i");
  EXPECT_EQ(SelectedRow(k), 5);
  desk->Wait(1100);
  desk->Type("b");
  EXPECT_EQ(SelectedRow(k), 1);  // from Lime on, round to the top
  desk->Type("b");
  EXPECT_EQ(SelectedRow(k), 4);
  desk->Type("x");  // "bbx" starts no name: the selection stays
  EXPECT_EQ(SelectedRow(k), 4);
  desk->Wait(1100);
  desk->Type("C");
  EXPECT_EQ(SelectedRow(k), 3);
  EXPECT_EQ(host.Count("ItemClick"), 6u);
}

// The date picker takes the focus as it opens; a date typed field by field and Enter commit it.
TEST_P(KeyboardMap, ADateTypedIntoTheOpenPickerIsCommittedWithEnter) {
  host.editors = RecordingHost::OneKindPerColumn();
  host.focusCalendar = true;
  desk->ClickCell(1, 3);
  ASSERT_EQ(host.OpenEditor(), "calendar");
  ASSERT_TRUE(k.CalendarControl().HasFocus());
  desk->Type("12/24/2026");
  EXPECT_EQ(k.CalendarControl().DateValue(), Date::FromCalendar(2026, 12, 24));
  desk->PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("CalendarChangeComplete"), 1u);
  EXPECT_EQ(host.OpenEditor(), "none");
  EXPECT_EQ(CDate(Variant(Cell(1, 3))).DatePart(), Date::FromCalendar(2026, 12, 24).DatePart());
  // Arrows step the field the keys are on, round its range; Left and Right change the field.
  desk->ClickCell(2, 3);
  ASSERT_EQ(host.OpenEditor(), "calendar");
  desk->PressKey(platform::vbKeyRight);
  desk->PressKey(platform::vbKeyDown);
  desk->PressKey(platform::vbKeyDown);
  EXPECT_EQ(k.CalendarControl().DateValue(), Date::FromCalendar(2026, 11, 7));
  desk->PressKey(platform::vbKeyLeft);
  desk->PressKey(platform::vbKeyUp);
  desk->PressKey(platform::vbKeyUp);
  EXPECT_EQ(k.CalendarControl().DateValue(), Date::FromCalendar(2026, 1, 7));
  // A month of fewer days keeps the day inside it; a month that is none starts the field again.
  desk->PressKey(platform::vbKeyRight);
  desk->Type("31");  // the day is full: the keys move on to the year
  desk->PressKey(platform::vbKeyLeft);
  desk->PressKey(platform::vbKeyLeft);
  desk->Type("2");
  EXPECT_EQ(k.CalendarControl().DateValue(), Date::FromCalendar(2026, 2, 28));
  desk->PressKey(platform::vbKeyLeft);
  desk->Type("19");
  EXPECT_EQ(k.CalendarControl().DateValue(), Date::FromCalendar(2026, 9, 28));
}

// The drop-down's list opened from the keyboard takes the keys as the edit field does: an arrow
// chooses the entry after (a choice, as a click on it: stored, the editor closed first), letters
// type and the control completes them, and Enter stores.
TEST_P(KeyboardMap, KeysInTheOpenedListChooseTypeAndStore) {
  host.editors = RecordingHost::OneKindPerColumn();
  desk->ClickCell(4, 2);
  ASSERT_EQ(host.OpenEditor(), "dropdown");
  desk->PressKey(platform::vbKeyF1 + 3);  // F4
  ASSERT_TRUE(k.ComboBoxControl().DroppedDown());
  desk->PressKey(platform::vbKeyDown);
  ExpectStored(4, 2, "Citrus");

  desk->ClickCell(5, 2);
  desk->PressKey(platform::vbKeyF1 + 3);
  ASSERT_TRUE(k.ComboBoxControl().DroppedDown());
  for (int i = 0; i < 6; ++i) desk->PressKey(platform::vbKeyBack);  // "Citrus" typed away
  desk->Type("St");
  EXPECT_EQ(k.ComboBoxControl().Text(), "Stone fruit");
  desk->PressKey(vbKeyReturn);
  EXPECT_EQ(host.Only({"DropDownChangeComplete"}),
            (Lines{"DropDownChangeComplete \"Berry\" -> \"Citrus\" visible=False",
                   "DropDownChangeComplete \"Citrus\" -> \"Stone fruit\" visible=True"}));
  ExpectStored(5, 2, "Stone fruit");
}

TEST_P(KeyboardMap, SpaceAndEnterPressTheButtonWithTheFocus) {
  host.editors = RecordingHost::OneKindPerColumn();
  desk->ClickCell(1, 4);
  ASSERT_EQ(host.OpenEditor(), "button");
  k.SetFocusToCommandButton();
  desk->PressKey(platform::vbKeySpace);
  desk->PressKey(vbKeyReturn);
  EXPECT_EQ(host.Count("CommandButtonClick"), 2u);
  EXPECT_EQ(Cell(1, 4), "Checked by phone");
}

class Tracking : public OnBoth {};

TEST_P(Tracking, AnOpenEditorFollowsItsRowWhenTheListScrolls) {
  desk->AddRows(40);
  desk->ClickCell(3, 0);
  ASSERT_EQ(host.OpenEditor(), "textbox");
  const float before = k.TextBoxControl().Top();
  EXPECT_FLOAT_EQ(before, RowTopInControl(3));

  desk->ScrollDown(2);
  desk->Wait(250);  // the tracking timer ticks every 100 ms

  EXPECT_EQ(desk->List().TopIndex(), 2);
  EXPECT_FLOAT_EQ(k.TextBoxControl().Top(), RowTopInControl(3));
  EXPECT_FLOAT_EQ(before - k.TextBoxControl().Top(), 2 * k.ListItems().Item(3)->Height());
  EXPECT_EQ(host.OpenEditor(), "textbox");
}

TEST_P(Tracking, AnOpenEditorFollowsItsColumnWhenTheUserDragsIt) {
  k.AllowColumnReorder(true);
  desk->ClickCell(1, 1);
  ASSERT_EQ(host.OpenEditor(), "spinner");
  EXPECT_FLOAT_EQ(k.TextBoxControl().Left(), 20 + Desk::kWidth[0]);

  desk->DragColumn(2, 1);  // Qty to the front
  desk->Wait(250);

  EXPECT_EQ(desk->List().ColumnOrder(), (std::vector<int32_t>{1, 0, 2, 3, 4}));
  // With the item column away from the first place the first column's editor starts at 50 twips.
  EXPECT_FLOAT_EQ(k.TextBoxControl().Left(), 50);
  EXPECT_EQ(host.OpenEditor(), "spinner");
}

TEST_P(Tracking, MovingTheFocusOutOfTheControlReportsThePendingEdit) {
  desk->ClickCell(1, 0);
  desk->Type("Star anise");
  desk->ClickAway();

  EXPECT_EQ(host.Only({"ChangeComplete"}), Lines{"ChangeComplete \"Braeburn\" -> \"Star anise\" col=0"});
  ExpectStored(1, 0, "Star anise");
  EXPECT_TRUE(desk->Away().HasFocus());
}


INSTANTIATE_TEST_SUITE_P(Realisations, RoadOfOneEdit, ::testing::ValuesIn(kRealisations), RealisationName);
INSTANTIATE_TEST_SUITE_P(Realisations, Navigation, ::testing::ValuesIn(kRealisations), RealisationName);
INSTANTIATE_TEST_SUITE_P(Realisations, KeyboardMap, ::testing::ValuesIn(kRealisations), RealisationName);
INSTANTIATE_TEST_SUITE_P(Realisations, Tracking, ::testing::ValuesIn(kRealisations), RealisationName);

}  // namespace
}  // namespace tamarind::testing
