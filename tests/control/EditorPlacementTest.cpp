// Where an editor lands over its cell (display order, header icons, small icons, check boxes,
// right to left), how it follows the cell at the tracking timer's ticks, the timer's own life, and
// the Show procedures' error reports.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "runtime/Conversions.h"
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
    EXPECT_TRUE(editor.Visible());
    EXPECT_FLOAT_EQ(editor.Left(), left) << "placed by the Show";
    EXPECT_FLOAT_EQ(editor.Width(), width) << "placed by the Show";
    EXPECT_FLOAT_EQ(editor.Top(), top) << "placed by the Show";
    user.Wait(100);
    EXPECT_FLOAT_EQ(editor.Left(), left) << "after a tick";
    EXPECT_FLOAT_EQ(editor.Width(), width) << "after a tick";
    EXPECT_FLOAT_EQ(editor.Top(), top) << "after a tick";
  }
};

TEST_F(EditorLeft, ColumnsDraggedToOtherPlacesAreSummedInDisplayOrder) {
  user.DragColumn(lv, 5, 2);  // Notes between Name and Qty
  ASSERT_EQ(lv.ColumnOrder(), (std::vector<int32_t>{0, 4, 1, 2, 3}));
  user.ClickCell(lv, 2, 2);
  EXPECT_EQ(k.SubItemClicked(), 2);
  k.ShowTextBox("Citrus");
  ExpectPlaced(Box(), 20 + kWidth[0] + kWidth[4] + kWidth[1], kWidth[2] + 20, RowTop(2));
  user.ClickCell(lv, 2, 4);
  k.ShowDropDown("");
  ExpectPlaced(Combo(), 20 + kWidth[0], kWidth[4] + 20, RowTop(2));
}

TEST_F(EditorLeft, ItemColumnMovedFromTheFirstPlaceStartsTheRowAtFiftyTwips) {
  user.DragColumn(lv, 4, 1);  // Date first
  ASSERT_EQ(lv.ColumnOrder(), (std::vector<int32_t>{3, 0, 1, 2, 4}));
  user.ClickCell(lv, 2, 3);
  k.ShowCalendar("11/9/2026");
  ExpectPlaced(Calendar(), 50, kWidth[3] + 20, RowTop(2));
  user.ClickCell(lv, 2, 0);
  k.ShowTextBox("Lemon");
  ExpectPlaced(Box(), 50 + kWidth[3], kWidth[0] + 20, RowTop(2));
  user.ClickCell(lv, 2, 1);
  k.ShowTextBox("4");
  ExpectPlaced(Box(), 50 + kWidth[3] + kWidth[0], kWidth[1] + 20, RowTop(2));
}

TEST_F(EditorLeft, HeaderIconsNarrowEachEarlierColumnAndTheMargin) {
  k.SortArrows(true);
  ASSERT_TRUE(lv.ColumnHeaderIcons());
  user.ClickCell(lv, 2, 2);
  k.ShowTextBox("Citrus");
  ExpectPlaced(Box(), 20 + (kWidth[0] - 5) + (kWidth[1] - 5), kWidth[2] + 8, RowTop(2));
  user.ClickCell(lv, 3, 0);
  k.ShowDropDown("Cherry");
  ExpectPlaced(Combo(), 20, kWidth[0] + 8, RowTop(3));
}

TEST_F(EditorLeft, SmallIconsPutTheEditorFortyTwipsLower) {
  auto icons = std::make_shared<platform::ImageList>();
  icons->Add(std::make_shared<platform::StdPicture>(16, 16, 0x00FF00));
  k.SmallIcons(icons);
  for (int32_t row = 1; row <= 5; ++row) k.ListItems().Item(row)->SmallIcon(Variant(int32_t{1}));
  user.ClickCell(lv, 3, 1);
  k.ShowTextBox("7");
  ExpectPlaced(Box(), 20 + kWidth[0], kWidth[1] + 20, RowTop(3) + 40);
  k.ShowCommandButton();
  ExpectPlaced(Button(), 20 + kWidth[0] + kWidth[1] + 20 - 255, 255, RowTop(3) + 40);
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
  const float left = 20 + kWidth[0] + kWidth[1], width = kWidth[2] + 20;
  ExpectPlaced(Box(), kListWidth - left - width, width, RowTop(2));
  k.ShowCalendar("11/9/2026");
  ExpectPlaced(Calendar(), kListWidth - left - width, width, RowTop(2));
}

TEST_F(EditorLeft, RightToLeftAppliesTheCheckBoxShiftBeforeMirroring) {
  k.Checkboxes(true);
  k.RightToLeft(true);
  user.ClickCell(lv, 2, 2);
  k.ShowDropDown("Citrus");
  const float left = 240 + 20 + kWidth[0] + kWidth[1] - 240, width = kWidth[2] + 20;
  ExpectPlaced(Combo(), kListWidth - left - width, width, RowTop(2));
}

TEST_F(EditorLeft, RightToLeftMirrorsTheSpinnerPairAsOneBlockWithTheSpinnerOnTheRight) {
  k.RightToLeft(true);
  user.ClickCell(lv, 2, 1);
  k.ShowTextBoxWithSpinner("4");
  const float left = 20 + kWidth[0], width = kWidth[1] + 20;
  ASSERT_TRUE(Spinner().Visible());
  ExpectPlaced(Box(), kListWidth - left - width, width - Spinner().Width(), RowTop(2));
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
  EXPECT_FLOAT_EQ(Spinner().Left() + Spinner().Width(), kListWidth - left);
  EXPECT_FLOAT_EQ(Spinner().Top(), RowTop(2));
}

TEST_F(EditorLeft, RightToLeftMirrorsTheButtonWithItsOwnWidth) {
  k.RightToLeft(true);
  user.ClickCell(lv, 5, 4);
  k.ShowCommandButton();
  const float cellLeft = 20 + kWidth[0] + kWidth[1] + kWidth[2] + kWidth[3];
  const float buttonLeft = cellLeft + kWidth[4] + 20 - 255;
  ExpectPlaced(Button(), kListWidth - buttonLeft - 255, 255, RowTop(5));
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
  void AddRows(int32_t n) {
    for (int32_t i = 0; i < n; ++i) AddRow("Row " + std::to_string(i + 6), "1", "Apple", "1/1/2027", "");
  }
};

TEST_F(EditorTracking, EditorFollowsItsRowAtTheNextTickAfterAScroll) {
  AddRows(25);
  user.ClickCell(lv, 3, 0);
  ASSERT_FLOAT_EQ(Box().Top(), RowTop(3));
  user.ScrollTo(lv, 2, 0);  // row 3 now first
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));  // nothing moves between ticks
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), kHeaderTwips);
  EXPECT_FLOAT_EQ(Box().Left(), 20);
  EXPECT_TRUE(Box().Visible());
}

TEST_F(EditorTracking, RowScrolledOutOfViewTakesTheEditorAlongUnclipped) {
  AddRows(25);
  user.ClickCell(lv, 2, 0);
  user.ScrollTo(lv, 10, 0);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), kHeaderTwips + (1 - 10) * kRowTwips);  // above the list's client area
  EXPECT_TRUE(Box().Visible());
  EXPECT_FLOAT_EQ(Box().Width(), kWidth[0] + 20);
  EXPECT_TRUE(TimerOn());
  user.ScrollTo(lv, 0, 0);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(2));
}

TEST_F(EditorTracking, SpinnerFollowsItsTextBox) {
  AddRows(25);
  user.ClickCell(lv, 4, 1);
  user.ScrollTo(lv, 1, 0);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Top(), RowTop(3));
  EXPECT_FLOAT_EQ(Spinner().Top(), Box().Top());
  EXPECT_FLOAT_EQ(Spinner().Left(), Box().Left() + Box().Width());
}

TEST_F(EditorTracking, EditorFollowsItsColumnDraggedElsewhere) {
  user.ClickCell(lv, 2, 2);
  ASSERT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1]);
  user.DragColumn(lv, 3, 1);  // Category first
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1]);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), 50);
  user.DragColumn(lv, 3, 5);  // and last
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), 20 + kWidth[0] + kWidth[1] + kWidth[3] + kWidth[4]);
  EXPECT_FLOAT_EQ(Box().Width(), kWidth[2] + 20);
}

TEST_F(EditorTracking, ResizedColumnsMoveAndWidenTheEditorPastTheListsEdge) {
  user.ClickCell(lv, 2, 4);
  user.ResizeColumn(lv, 5, 4200);  // Notes now runs past the list's right edge
  user.ResizeColumn(lv, 2, 1500);
  user.Wait(100);
  const float left = 20 + kWidth[0] + 1500 + kWidth[2] + kWidth[3];
  EXPECT_FLOAT_EQ(Box().Left(), left);
  EXPECT_FLOAT_EQ(Box().Width(), 4220);
  EXPECT_GT(Box().Left() + Box().Width(), lv.Width());  // not clipped to the list
  EXPECT_TRUE(Box().Visible());
}

TEST_F(EditorTracking, HorizontalScrollMovesTheEditorWithTheItemsLeft) {
  user.ResizeColumn(lv, 5, 4200);
  user.ClickCell(lv, 2, 2);
  user.ScrollTo(lv, 0, 40);
  ASSERT_EQ(lv.ScrollXPx(), 40);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), -600 + 20 + kWidth[0] + kWidth[1]);
}

TEST_F(EditorTracking, HorizontalScrollLeavesTheEditorWhileTheItemColumnIsNotFirst) {
  user.ResizeColumn(lv, 5, 4200);
  user.DragColumn(lv, 2, 1);  // Qty first
  user.ClickCell(lv, 2, 2);
  const float before = Box().Left();
  EXPECT_FLOAT_EQ(before, 50 + kWidth[1] + kWidth[0]);
  user.ScrollTo(lv, 0, 40);
  user.Wait(100);
  EXPECT_FLOAT_EQ(Box().Left(), before);
}

// --- showing and hiding -------------------------------------------------------------------------------

class EditorShowAndHide : public EditingTest {};

TEST_F(EditorShowAndHide, EveryShowStartsTheTrackingTimerAndEveryHideStopsIt) {
  host.editors.clear();
  user.ClickCell(lv, 2, 1);  // selects the row; the host opens nothing
  ASSERT_FALSE(TimerOn());
  const std::vector<std::pair<std::string, std::function<void()>>> shows = {
      {"ShowTextBox", [&] { k.ShowTextBox("4"); }},
      {"ShowTextBoxWithSpinner", [&] { k.ShowTextBoxWithSpinner("4"); }},
      {"ShowDropDown", [&] { k.ShowDropDown("Citrus"); }},
      {"ShowCalendar", [&] { k.ShowCalendar("11/9/2026"); }},
      {"ShowCommandButton", [&] { k.ShowCommandButton(); }}};
  const std::vector<std::pair<std::string, std::function<void()>>> hides = {
      {"HideTextBox", [&] { k.HideTextBox(); }},
      {"HideDropDown", [&] { k.HideDropDown(); }},
      {"HideCalendar", [&] { k.HideCalendar(); }},
      {"HideCommandButton", [&] { k.HideCommandButton(); }}};
  for (const auto& [showName, show] : shows) {
    for (const auto& [hideName, hide] : hides) {
      show();
      EXPECT_TRUE(TimerOn()) << showName;
      hide();  // also a Hide of an editor that is not the open one
      EXPECT_FALSE(TimerOn()) << showName << " then " << hideName;
      k.HideEditAreas(false);
    }
  }
}

TEST_F(EditorShowAndHide, EachShowLeavesOnlyItsOwnEditorOpen) {
  host.editors.clear();
  user.ClickCell(lv, 2, 1);
  k.ShowTextBoxWithSpinner("4");
  k.ShowDropDown("Citrus");
  EXPECT_EQ(host.OpenEditor(), "dropdown");
  EXPECT_FALSE(Box().Visible());
  EXPECT_FALSE(Spinner().Visible());
  k.ShowCalendar("11/9/2026");
  EXPECT_EQ(host.OpenEditor(), "calendar");
  EXPECT_FALSE(Combo().Visible());
  k.ShowCommandButton();
  EXPECT_EQ(host.OpenEditor(), "button");
  EXPECT_FALSE(Calendar().Visible());
  k.ShowTextBox("4");
  EXPECT_EQ(host.OpenEditor(), "textbox");
  EXPECT_FALSE(Button().Visible());
}

TEST_F(EditorShowAndHide, ShowTextBoxSelectsTheWholeTextForTyping) {
  host.editors.clear();
  user.ClickCell(lv, 2, 0);
  k.ShowTextBox("Lemon");
  EXPECT_EQ(Box().Text(), "Lemon");
  EXPECT_EQ(Box().Tag(), "Lemon");
  EXPECT_EQ(Box().SelStart(), 0);
  EXPECT_EQ(Box().SelLength(), 5);
  EXPECT_EQ(host.Count("Change"), 0u);  // filling the editor is no change of the user's
}

TEST_F(EditorShowAndHide, DropDownIsFilledAndPlacedBehindOnePaintingLockAndAPlainSleep) {
  host.editors.clear();
  k.DropDelay(250);
  user.ClickCell(lv, 3, 2);
  tk.Windows().ClearHistory();
  const int32_t loops = tk.DoEventsCount();
  k.ShowDropDown("Stone fruit");
  EXPECT_EQ(tk.Windows().LockHistory(), (std::vector<platform::HWND>{k.hwnd(), 0}));
  EXPECT_EQ(tk.Windows().LockedWindow(), 0u);
  ASSERT_FALSE(tk.ClockImpl().Sleeps().empty());
  EXPECT_EQ(tk.ClockImpl().Sleeps().back(), 250u);
  EXPECT_EQ(tk.DoEventsCount(), loops);  // nothing else ran meanwhile
  EXPECT_TRUE(Combo().Visible());
  EXPECT_EQ(Combo().Tag(), "Stone fruit");
}

TEST_F(EditorShowAndHide, EnterClosesTheEditorAndStopsTheTimer) {
  user.ClickCell(lv, 2, 0);
  ASSERT_TRUE(TimerOn());
  user.PressKey(platform::vbKeyReturn);
  EXPECT_FALSE(TimerOn());
}

// --- Show without a selected item ---------------------------------------------------------------

class ShowWithoutSelection : public EditingTest {};

TEST_F(ShowWithoutSelection, EachShowReportsAndOpensNothing) {
  ASSERT_FALSE(k.SelectedItem());
  const std::vector<std::pair<std::string, std::function<void()>>> shows = {
      {"ShowTextBox", [&] { k.ShowTextBox("x"); }},
      {"ShowTextBoxWithSpinner", [&] { k.ShowTextBoxWithSpinner("x"); }},
      {"ShowDropDown", [&] { k.ShowDropDown("Plum"); }},
      {"ShowCalendar", [&] { k.ShowCalendar("11/9/2026"); }},
      {"ShowCommandButton", [&] { k.ShowCommandButton(); }}};
  for (const auto& [name, show] : shows) {
    tk.ClearMessageBoxes();
    show();
    ASSERT_EQ(tk.MessageBoxes().size(), 1u) << name;
    const platform::headless::MessageBoxRecord& box = tk.MessageBoxes()[0];
    EXPECT_EQ(box.title, "Warning");
    const std::string start = "91:Error in " + name + ".  Error Message: ";
    EXPECT_EQ(box.prompt.substr(0, start.size()), start);
    EXPECT_GT(box.prompt.size(), start.size()) << "the description follows";
    EXPECT_EQ(box.buttons, vbCritical);
    EXPECT_EQ(host.OpenEditor(), "none") << name;
    EXPECT_FALSE(k.State().m_Loading) << name;  // nothing public shows whether change events are held back
    EXPECT_EQ(tk.Windows().LockedWindow(), 0u) << name;
    EXPECT_FALSE(TimerOn()) << name;
  }
  EXPECT_TRUE(host.Only({"ChangeComplete", "DropDownChange", "DropDownChangeComplete", "CalendarChangeComplete"})
                  .empty());
}

TEST_F(ShowWithoutSelection, CalendarRefusingItsTextReportsBeforeItShows) {
  host.editors.clear();
  user.ClickCell(lv, 2, 3);
  k.ShowCalendar("not a date");
  ASSERT_EQ(tk.MessageBoxes().size(), 1u);
  const std::string start = ":Error in ShowCalendar.  Error Message: ";
  EXPECT_NE(tk.MessageBoxes()[0].prompt.find(start), std::string::npos);
  EXPECT_FALSE(Calendar().Visible());
  EXPECT_FALSE(k.State().m_Loading);
  // The text box reports its changes again.
  host.editors[0] = EditorKind::TextBox;
  user.ClickCell(lv, 2, 0);
  user.Type("Y");
  EXPECT_EQ(host.Only({"Change"}), std::vector<std::string>{"Change \"Lemon\""});
}

}  // namespace
}  // namespace tamarind::testing
