// Where an editor lands over its cell (display order, header icons, small icons, check boxes,
// right to left), how it follows the cell at the tracking timer's ticks, the timer's own life, and
// the Show procedures' error reports.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/control/EditingFixture.h"

namespace tamarind::testing {
namespace {

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
  user.ClickCell(lv, 2, 3);
  k.ShowCalendar("11/9/2026");
  ExpectPlaced(Calendar(), 50, kWidth[3] + 20, RowTop(2));
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

TEST_F(EditorLeft, SmallIconsPutTheEditorFortyTwipsLower) {
  GiveRowsIcons();
  user.ClickCell(lv, 3, 1);
  k.ShowTextBox("7");
  ExpectPlaced(Box(), 20 + kWidth[0], kWidth[1] + 20, RowTop(3) + 40);
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
  ASSERT_TRUE(Spinner().Visible());
  ExpectPlaced(Box(), kListWidth - left - width, width - Spinner().Width(), RowTop(2));
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
  EXPECT_FLOAT_EQ(Spinner().Left() + Spinner().Width(), kListWidth - left);
  EXPECT_FLOAT_EQ(Spinner().Top(), RowTop(2));
}

// --- tracking ----------------------------------------------------------------------------------------

// Text boxes everywhere but the quantity, which keeps its spin buttons.
class EditorTracking : public EditingTest {
 protected:
  EditorTracking() {
    for (auto& [column, kind] : host.editors)
      if (kind != EditorKind::Spinner) kind = EditorKind::TextBox;
    k.AllowColumnReorder(true);
  }
};

TEST_F(EditorTracking, EditorFollowsItsRowAtTheNextTickEvenOutOfView) {
  for (int32_t i = 6; i <= 30; ++i) AddRow({"Row " + std::to_string(i), "1", "Apple", "1/1/2027", ""});
  user.ClickCell(lv, 3, 1);
  ASSERT_EQ(host.OpenEditor(), "spinner");
  user.ScrollTo(lv, 2, 0);  // row 3 now first
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));  // nothing moves between ticks
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), kHeaderTwips);
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0]);
  EXPECT_FLOAT_EQ(Spinner().Top(), Box().Top());
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
  // Scrolled out of view, the row takes the editor along above the list, neither clipped nor hidden.
  user.ScrollTo(lv, 10, 0);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), kHeaderTwips + (3 - 11) * kRowTwips);
  EXPECT_TRUE(Box().Visible());
  EXPECT_TRUE(Spinner().Visible());
  EXPECT_TRUE(TimerOn());
}

TEST_F(EditorTracking, EditorFollowsItsColumnDraggedOrResized) {
  user.ClickCell(lv, 2, 2);
  ASSERT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1]);
  user.DragColumn(lv, 3, 1);  // Category first
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1]);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), 50);
  user.DragColumn(lv, 3, 5);  // and last
  user.ResizeColumn(lv, 3, 4200);  // now running past the list's right edge
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
  user.ClickCell(lv, 2, 0);
  user.Type("Yuzu");
  k.HideEditAreas(false);
  EXPECT_EQ(host.OpenEditor(), "none");
  EXPECT_EQ(host.Count("ChangeComplete"), 0u);
  EXPECT_EQ(Cell(2, 0), "Lemon");

  user.ClickCell(lv, 3, 2);
  Combo().Text("Citrus");
  k.HideEditAreas(false);
  EXPECT_FALSE(Combo().Visible());
  EXPECT_EQ(host.Count("DropDownChangeComplete"), 0u);

  user.ClickCell(lv, 2, 1);  // spin buttons beside the text box
  ASSERT_TRUE(Spinner().Visible());
  user.Type("9");
  k.HideEditAreas(true);
  EXPECT_FALSE(Spinner().Visible());
  EXPECT_EQ(host.Only({"ChangeComplete"}), (std::vector<std::string>{"ChangeComplete \"4\" -> \"9\" col=1"}));

  user.ClickCell(lv, 3, 2);
  Combo().Text("Citrus");
  k.HideEditAreas(true);
  EXPECT_EQ(host.Only({"DropDownChangeComplete"}),
            (std::vector<std::string>{"DropDownChangeComplete \"Stone fruit\" -> \"Citrus\" visible=True"}));
  user.ClickCell(lv, 4, 0);
  k.HideEditAreas(true);  // opened and closed unchanged
  EXPECT_EQ(host.Count("ChangeComplete"), 1u);
}

TEST_F(EditorShowAndHide, ShowWithoutASelectedItemReportsAndOpensNothing) {
  ASSERT_FALSE(k.SelectedItem());
  k.ShowDropDown("Plum");
  ASSERT_EQ(tk.MessageBoxes().size(), 1u);
  const platform::headless::MessageBoxRecord& box = tk.MessageBoxes()[0];
  EXPECT_EQ(box.title, "Warning");
  const std::string start = "91:Error in ShowDropDown.  Error Message: ";
  EXPECT_EQ(box.prompt.substr(0, start.size()), start);
  EXPECT_GT(box.prompt.size(), start.size()) << "the description follows";
  EXPECT_EQ(box.buttons, vbCritical);
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
