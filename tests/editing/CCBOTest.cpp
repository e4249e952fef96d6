// The drop-down editor: type-ahead completion and add-on-Enter driven by a person typing, the size
// of its list, and the events its handlers hang on.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "editing/CCBO.h"
#include "editing/basCBOSETTING.h"
#include "platform/Event.h"
#include "tests/editing/ComboFixture.h"

namespace tamarind {
namespace {

using editing::CCBO;
using platform::vbKeyBack;
using platform::vbKeyDelete;
using platform::vbKeyReturn;
using platform::vbKeyRight;

class CCBOTest : public testing::ComboFixture {
 protected:
  CCBOTest() { cbo->LinkedComboBox(combo); }
  std::unique_ptr<CCBO> cbo = std::make_unique<CCBO>();
};

// --- completion ----------------------------------------------------------------------------------

using TypeAheadCompletion = CCBOTest;

// The completed remainder is selected, right after what was typed; the next letters replace it,
// whatever their case.
TEST_F(TypeAheadCompletion, LettersCompleteToTheFirstEntryAndOpenTheList) {
  user.Type("a");
  EXPECT_EQ(combo->Text(), "Apple");
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->SelStart(), 1);
  EXPECT_EQ(combo->SelLength(), 4);
  user.Type("PR");
  EXPECT_EQ(combo->Text(), "Apricot");
  EXPECT_EQ(combo->SelStart(), 3);
  EXPECT_EQ(combo->SelText(), "icot");
}

TEST_F(TypeAheadCompletion, NoMatchClosesTheListAndKeepsTheText) {
  user.OpenList(*combo);
  user.Type("z");
  EXPECT_EQ(combo->Text(), "z");
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->SelLength(), 0);
  // Text that stops matching is kept as typed.
  combo->Text("");
  user.Type("ab");
  EXPECT_EQ(combo->Text(), "Ab");
  EXPECT_EQ(combo->SelStart(), 2);
}

TEST_F(TypeAheadCompletion, DeletingAndCursorKeysDoNotComplete) {
  user.Type("a");
  user.PressKey(vbKeyBack);
  EXPECT_EQ(combo->Text(), "A");
  user.Type("p");
  user.PressKey(vbKeyDelete);
  EXPECT_EQ(combo->Text(), "Ap");
  combo->Text("ban");
  user.PressKey(vbKeyRight);
  EXPECT_EQ(combo->Text(), "ban");
}

TEST_F(TypeAheadCompletion, DigitZeroStartsNoCompletionButOtherDigitsDo) {
  combo->Clear();
  combo->AddItem("007 Agents");
  combo->AddItem("101 Dalmatians");
  user.Type("0");
  EXPECT_EQ(combo->Text(), "0");
  combo->Text("");
  user.Type("1");
  EXPECT_EQ(combo->Text(), "101 Dalmatians");
  EXPECT_TRUE(combo->DroppedDown());
}

// --- adding on Enter ----------------------------------------------------------------------------

using AutoAdd = CCBOTest;

TEST_F(AutoAdd, EnterAddsTextOnlyWhenSetAndAbsentFromTheList) {
  EXPECT_FALSE(cbo->AutoAdd());
  user.Type("Cherry");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(combo->ListCount(), 3);
  cbo->AutoAdd(true);
  user.PressKey(vbKeyReturn);
  ASSERT_EQ(combo->ListCount(), 4);
  EXPECT_EQ(combo->List(3), "Cherry");
  EXPECT_EQ(combo->Text(), "Cherry");
  // The beginning of an entry is not the entry.
  combo->Text("App");
  user.PressKey(vbKeyReturn);
  ASSERT_EQ(combo->ListCount(), 5);
  EXPECT_EQ(combo->List(4), "App");
  // An entry that is there, in any case, is not added again.
  combo->Text("BANANA");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(combo->ListCount(), 5);
}

// --- the link with the combo box --------------------------------------------------------------------

using ComboBoxLink = CCBOTest;

TEST_F(ComboBoxLink, ComboBoxNoLongerLinkedIsLeftWithItsOtherHandlers) {
  int hostKeyUps = 0, hostKeyPresses = 0;
  combo->KeyUp.Connect([&](int16_t&, int16_t&) { ++hostKeyUps; });
  combo->KeyPress.Connect([&](int16_t&) { ++hostKeyPresses; });
  cbo->AutoAdd(true);
  auto other = tk.CreateComboBox(surface);
  other->AddItem("Cherry");
  cbo->LinkedComboBox(other);
  user.Type("a");
  user.PressKey(vbKeyReturn);
  EXPECT_EQ(combo->Text(), "a");
  EXPECT_EQ(combo->ListCount(), 3);
  EXPECT_EQ(hostKeyUps, 2);
  EXPECT_EQ(hostKeyPresses, 2);
  user.Focus(*other);
  user.Type("c");
  EXPECT_EQ(other->Text(), "Cherry");
  // Released, the object leaves the other combo box too.
  cbo.reset();
  other->Text("");
  user.Type("c");
  EXPECT_EQ(other->Text(), "c");
}

TEST_F(ComboBoxLink, ReleasedWhileTheListOpensFinishesTheCompletion) {
  // As the editor would when it is hidden from a DropDown handler.
  combo->DropDown.Connect([&] { cbo.reset(); });
  user.Type("b");
  EXPECT_EQ(cbo, nullptr);
  EXPECT_EQ(combo->Text(), "Banana");
  user.Type("x");  // nothing handles the keys any more
  EXPECT_EQ(combo->Text(), "Bx");
}


// --- the drop-down list's width: SetDropWidth ---------------------------------------------------------------------------------------

using DropWidth = testing::ComboFixture;

// Zero or less becomes the combo box's width in points; more widens only the list, never narrower
// than the combo box itself (100 pixels at 15 twips a pixel).
TEST_F(DropWidth, TheListIsAtLeastAsWideAsTheComboBox) {
  for (int32_t asked : {0, -40}) {
    int32_t w = asked;
    basCBOSETTING::SetDropWidth(tk, *combo, w);
    EXPECT_EQ(w, 75);  // 1,500 twips are 75 points
    EXPECT_EQ(combo->DroppedWidthPx(), 100);
  }
  int32_t w = 300;
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(combo->DroppedWidthPx(), 300);
  EXPECT_EQ(combo->BoundsPx().Width(), 100);
}

// --- and its height: SetDropLines ----------------------------------------------------------------------------------------

using DropLines = testing::ComboFixture;

TEST_F(DropLines, WindowIsItemHeightTimesLinesPlusTwo) {
  for (int i = 0; i < 20; ++i) combo->AddItem("Entry " + std::to_string(i));
  basCBOSETTING::SetDropLines(tk, *combo, surface, 8);
  const int32_t item = combo->ItemHeightPx();
  ASSERT_GT(item, 0);
  EXPECT_EQ(combo->DropWindowHeightPx(), item * 10);
  EXPECT_EQ(combo->VisibleListEntries(), 8);
  surface.ScaleMode(6);
  basCBOSETTING::SetDropLines(tk, *combo, surface, 12);
  EXPECT_EQ(combo->DropWindowHeightPx(), item * 14);
  EXPECT_EQ(combo->VisibleListEntries(), 12);
  // The combo box keeps its place and width, the container its scale mode.
  EXPECT_EQ(combo->Width(), 1500);
  EXPECT_EQ(surface.ScaleMode(), 6);
}

TEST_F(DropLines, ImpossibleLineCountsLeaveTheWindowAsItIs) {
  basCBOSETTING::SetDropLines(tk, *combo, surface, 8);
  const int32_t before = combo->DropWindowHeightPx();
  EXPECT_NO_THROW(basCBOSETTING::SetDropLines(tk, *combo, surface, -10));
  EXPECT_NO_THROW(basCBOSETTING::SetDropLines(tk, *combo, surface, INT32_MAX));
  EXPECT_EQ(combo->DropWindowHeightPx(), before);
  EXPECT_EQ(surface.ScaleMode(), 1);
}

// --- connecting and disconnecting single handlers of a control's event, also while it is raised ----

using platform::Event;


TEST(EventConnections, DisconnectRemovesOnlyThatHandler) {
  Event<int16_t&> e;
  std::string calls;
  e.Connect([&](int16_t&) { calls += "a"; });
  const auto b = e.Connect([&](int16_t&) { calls += "b"; });
  e.Connect([&](int16_t& k) {
    calls += "c";
    k = 0;
  });
  e.Disconnect(b);
  e.Disconnect(b);  // a stale token, and no token, change nothing
  e.Disconnect(0);
  int16_t key = 65;
  e(key);
  EXPECT_EQ(calls, "ac");
  EXPECT_EQ(key, 0);
  EXPECT_TRUE(e.Connected());
}

// Handlers disconnected while the event runs are skipped; DisconnectAll stops the raise.
TEST(EventConnections, DisconnectingWhileTheEventRunsSkipsTheDisconnectedHandlers) {
  Event<> e;
  std::string calls;
  Event<>::Token self = 0, second = 0;
  const std::string captured = "1";
  self = e.Connect([&, captured] {
    e.Disconnect(second);
    e.Disconnect(self);
    calls += captured;  // the handler's own state outlives its disconnection
  });
  second = e.Connect([&] { calls += "2"; });
  e.Connect([&] { calls += "3"; });
  e();
  e();
  EXPECT_EQ(calls, "133");
  e.Connect([&] {
    calls += "4";
    e.DisconnectAll();
  });
  e.Connect([&] { calls += "5"; });
  e();
  EXPECT_EQ(calls, "13334");
  EXPECT_FALSE(e.Connected());
}

}  // namespace
}  // namespace tamarind
