// Where an editor lands over its cell (each kind, display order, header icons, check boxes, right to
// left), how it follows the cell at the tracking timer's ticks, the timer's own life and sounds, and
// the Show procedures' error reports.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/Resources.h"
#include "tests/control/FruitOrders.h"

namespace tamarind::testing {
namespace {

using platform::vbKeyReturn;

// --- opening over the clicked cell: what only the headless desktop measures exactly ----------------
// (the events and stored values of the same sessions on both realisations: tests/qt/SameOnBothTest)

class RoadOfOneEdit : public EditingTest {
 protected:
  void ExpectAt(const platform::Control& c, float left, float top, float width, float height = -1) {
    EXPECT_TRUE(c.Visible());
    EXPECT_FLOAT_EQ(c.Left(), left);
    EXPECT_FLOAT_EQ(c.Top(), top);
    EXPECT_FLOAT_EQ(c.Width(), width);
    if (height >= 0) {
      EXPECT_FLOAT_EQ(c.Height(), height);
    }
  }
};

// Each editor starts 20 twips into its cell and is 20 twips wider than the column; the spin
// buttons take their width from the text box, the calendar is one pixel taller than the row, and
// the "..." button keeps its own width at the cell's right end.
TEST_F(RoadOfOneEdit, EachEditorOpensExactlyOverTheClickedCell) {
  const float qty = 20 + kWidth[0], category = qty + kWidth[1], date = category + kWidth[2], notes = date + kWidth[3];
  user.ClickCell(lv, 2, 0);
  ExpectAt(Box(), 20, RowTop(2), kWidth[0] + 20);
  user.ClickCell(lv, 3, 1);
  ExpectAt(Box(), qty, RowTop(3), kWidth[1] + 20 - Spinner().Width(), kRowTwips);
  ExpectAt(Spinner(), qty + Box().Width(), RowTop(3), Spinner().Width());
  user.ClickCell(lv, 4, 2);
  ExpectAt(Combo(), category, RowTop(4), kWidth[2] + 20);
  user.ClickCell(lv, 1, 3);
  ExpectAt(Calendar(), date, RowTop(1), kWidth[3] + 20, kRowTwips + 15);
  EXPECT_EQ(Calendar().DateValue(), Date::FromCalendar(2026, 11, 2));
  user.ClickCell(lv, 5, 4);
  ExpectAt(Button(), notes + kWidth[4] + 20 - 255, RowTop(5), 255, kRowTwips);
}

TEST_F(RoadOfOneEdit, TheTextIsSelectedToBeTypedOverAndTheTimerRunsUntilTheCommit) {
  user.ClickCell(lv, 2, 0);
  EXPECT_TRUE(Box().HasFocus());
  EXPECT_EQ(Box().SelStart(), 0);
  EXPECT_EQ(Box().SelLength(), 5);
  EXPECT_TRUE(TimerOn());
  user.Type("Yuzu");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(Cell(2, 0), "Yuzu");
  EXPECT_FALSE(TimerOn());
  user.ClickCell(lv, 4, 2);
  user.ChooseEntry(Combo(), "Citrus");
  EXPECT_FALSE(TimerOn());
  EXPECT_TRUE(tk.SoundImpl().Requests().empty());  // PlaySounds is off
}

TEST_F(RoadOfOneEdit, TheButtonClicksAudiblyWhateverPlaySoundsSays) {
  ASSERT_FALSE(k.PlaySounds());
  user.ClickCell(lv, 5, 4);
  user.Click(Button());
  EXPECT_EQ(Cell(5, 4), "Checked by phone");
  EXPECT_EQ(SoundsPlayed(), (std::vector<std::vector<uint8_t>>{platform::LoadResData(snd_CLICK, "WAVE")}));
}

// --- display order, icons, check boxes, right to left ------------------------------------------------

// The host opens nothing on its own: each test clicks a cell and opens an editor over it as a
// host would, then reads where the Show put it and where the next tracking tick keeps it.
class EditorLeft : public EditingTest {
 protected:
  EditorLeft() {
    host.editors.clear();
    k.AllowColumnReorder(true);
  }
  void ExpectPlaced(const platform::Control& editor, float left, float width, float top) {
    for (const char* when : {"placed by the Show", "after a tick"}) {
      if (std::string_view(when) == "after a tick") user.Wait(100);
      EXPECT_TRUE(editor.Visible()) << when;
      EXPECT_FLOAT_EQ(editor.Left(), left) << when;
      EXPECT_FLOAT_EQ(editor.Width(), width) << when;
      EXPECT_FLOAT_EQ(editor.Top(), top) << when;
    }
  }
};

TEST_F(EditorLeft, ItemColumnMovedFromTheFirstPlaceStartsTheRowAtFiftyTwips) {
  user.DragColumn(lv, 4, 1);  // Date first
  ASSERT_EQ(lv.ColumnOrder(), (std::vector<int32_t>{3, 0, 1, 2, 4}));
  user.ClickCell(lv, 2, 0);
  k.ShowTextBox("Lemon");
  ExpectPlaced(Box(), 50 + kWidth[3], kWidth[0] + 20, RowTop(2));
}

TEST_F(EditorLeft, HeaderIconsNarrowEachEarlierColumnAndTheMargin) {
  k.SortArrows(true);
  ASSERT_TRUE(lv.ColumnHeaderIcons());
  user.ClickCell(lv, 2, 2);
  k.ShowTextBox("Citrus");
  ExpectPlaced(Box(), 20 + (kWidth[0] - 5) + (kWidth[1] - 5), kWidth[2] + 8, RowTop(2));
}

TEST_F(EditorLeft, CheckBoxesShiftTheEditorLeftOfTheItemsOwnLeft) {
  k.Checkboxes(true);
  ASSERT_FLOAT_EQ(k.ListItems().Item(2)->Left(), 240);  // the row's text starts past the check box
  user.ClickCell(lv, 2, 2);
  EXPECT_FALSE(k.ListItems().Item(2)->Checked());
  k.ShowTextBox("Citrus");
  ExpectPlaced(Box(), 240 + 20 + kWidth[0] + kWidth[1] - 240, kWidth[2] + 20, RowTop(2));
}

TEST_F(EditorLeft, RightToLeftMirrorsTheEditorInTheListsWidth) {
  k.RightToLeft(true);
  ASSERT_FLOAT_EQ(lv.Width(), kListWidth);
  user.ClickCell(lv, 2, 2);
  k.ShowTextBox("Citrus");
  float left = 20 + kWidth[0] + kWidth[1], width = kWidth[2] + 20;
  ExpectPlaced(Box(), kListWidth - left - width, width, RowTop(2));
  // The check-box shift is taken before mirroring, so here it cancels out.
  k.Checkboxes(true);
  k.ShowDropDown("Citrus");
  ExpectPlaced(Combo(), kListWidth - left - width, width, RowTop(2));
  // The text box and its spin buttons are mirrored as one block, the spin buttons staying on the right.
  user.ClickCell(lv, 2, 1);
  k.ShowTextBoxWithSpinner("4");
  left = 20 + kWidth[0];
  width = kWidth[1] + 20;
  ExpectPlaced(Box(), kListWidth - left - width, width - Spinner().Width(), RowTop(2));
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
}

// --- tracking ----------------------------------------------------------------------------------------

// Following the cell to where it scrolled or moved (both realisations: tests/qt/SameOnBothTest),
// only at the timer's ticks, and neither clipped nor hidden where the cell left the list's view.
TEST_F(EditorLeft, TheEditorFollowsItsCellOutOfViewAtTheNextTick) {
  host.editors = {{1, EditorKind::Spinner}, {2, EditorKind::TextBox}};
  for (int32_t i = 6; i <= 30; ++i) AddRow({"Row " + std::to_string(i), "1", "Apple", "1/1/2027", ""});
  user.ClickCell(lv, 3, 1);
  user.ScrollTo(lv, 10, 0);  // row 11 first: row 3 above the view
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));  // nothing moves between ticks
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), kHeaderTwips + (3 - 11) * kRowTwips);
  EXPECT_FLOAT_EQ(Spinner().Top(), Box().Top());
  EXPECT_TRUE(Box().Visible());
  EXPECT_TRUE(Spinner().Visible());
  user.ScrollTo(lv, 0, 0);
  user.ClickCell(lv, 2, 2);
  user.DragColumn(lv, 3, 5);       // Category last
  user.ResizeColumn(lv, 3, 4200);  // and running past the list's right edge
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1] + kWidth[3] + kWidth[4]);
  EXPECT_FLOAT_EQ(Box().Width(), 4220);
  EXPECT_GT(Box().Left() + Box().Width(), lv.Width());
  EXPECT_TRUE(Box().Visible());
}

// --- showing and hiding -------------------------------------------------------------------------------

class EditorShowAndHide : public EditingTest {
 protected:
  EditorShowAndHide() { host.editors.clear(); }  // the tests open the editors themselves
};

TEST_F(EditorShowAndHide, EveryShowStartsTheTrackingTimerAndEveryHideStopsIt) {
  user.ClickCell(lv, 2, 1);  // selects the row; the host opens nothing
  ASSERT_FALSE(TimerOn());
  const std::vector<std::pair<std::string, std::function<void()>>> shows = {
      {"textbox", [&] { k.ShowTextBox("4"); }},
      {"spinner", [&] { k.ShowTextBoxWithSpinner("4"); }},
      {"dropdown", [&] { k.ShowDropDown("Citrus"); }},
      {"calendar", [&] { k.ShowCalendar("11/9/2026"); }},
      {"button", [&] { k.ShowCommandButton(); }}};
  // Text box, drop-down, calendar and button.
  const std::vector<std::function<void()>> hides = {[&] { k.HideTextBox(); }, [&] { k.HideDropDown(); },
                                                    [&] { k.HideCalendar(); }, [&] { k.HideCommandButton(); }};
  for (const auto& [editor, show] : shows) {
    for (size_t h = 0; h < hides.size(); ++h) {
      show();
      EXPECT_TRUE(TimerOn()) << editor;
      EXPECT_EQ(host.OpenEditor(), editor);
      hides[h]();  // also a Hide of an editor that is not the open one
      EXPECT_FALSE(TimerOn()) << editor << " then Hide " << h;
      k.HideEditAreas(false);
    }
  }
}

// HideEditAreas closes every editor; only when asked does it first report a changed text box or
// drop-down. Unchanged text is never reported.
TEST_F(EditorShowAndHide, HideEditAreasReportsChangesOnlyWhenAskedTo) {
  host.editors = {{0, EditorKind::TextBox}, {1, EditorKind::Spinner}, {2, EditorKind::DropDown}};
  for (bool report : {false, true}) {
    user.ClickCell(lv, 2, 1);  // spin buttons beside the text box
    user.Type("9");
    k.HideEditAreas(report);
    EXPECT_EQ(host.OpenEditor(), "none");
    user.ClickCell(lv, 3, 2);
    Combo().Text("Citrus");
    k.HideEditAreas(report);
    EXPECT_FALSE(Combo().Visible());
    user.ClickCell(lv, 4, 0);
    k.HideEditAreas(report);  // opened and closed unchanged
  }
  EXPECT_EQ(host.Only({"ChangeComplete", "DropDownChangeComplete"}),
            (std::vector<std::string>{"ChangeComplete \"4\" -> \"9\" col=1",
                                      "DropDownChangeComplete \"Stone fruit\" -> \"Citrus\" visible=True"}));
  EXPECT_EQ(Cell(2, 1), "9");
}

TEST_F(EditorShowAndHide, ShowWithoutASelectedItemReportsAndOpensNothing) {
  ASSERT_FALSE(k.SelectedItem());
  k.ShowDropDown("Plum");
  ASSERT_EQ(tk.MessageBoxes().size(), 1u);
  EXPECT_EQ(tk.MessageBoxes()[0].title, "Warning");
  EXPECT_EQ(tk.MessageBoxes()[0].buttons, vbCritical);
  EXPECT_EQ(tk.MessageBoxes()[0].prompt.rfind("91:Error in ShowDropDown.  Error Message: ", 0), 0u);
  EXPECT_EQ(host.OpenEditor(), "none");
  EXPECT_EQ(tk.Windows().LockedWindow(), 0u);
  EXPECT_FALSE(TimerOn());
  EXPECT_TRUE(host.Only({"DropDownChange", "DropDownChangeComplete"}).empty());
  // The failed show does not leave change events held back: a change of the drop-down's text,
  // with no Show in between to reset anything, is reported.
  Combo().Text("Plum");
  EXPECT_EQ(host.Count("DropDownChange"), 1u);
}

}  // namespace
}  // namespace tamarind::testing
