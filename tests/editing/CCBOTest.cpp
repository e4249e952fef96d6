// Type-ahead completion and add-on-Enter in the drop-down editor, driven by a person typing.

#include <gtest/gtest.h>

#include "editing/CCBO.h"
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

TEST_F(TypeAheadCompletion, LetterCompletesToTheFirstEntryAndOpensTheList) {
  user.Type("a");
  EXPECT_EQ(combo->Text(), "Apple");
  EXPECT_TRUE(combo->DroppedDown());
  // The completed remainder is selected, right after what was typed.
  EXPECT_EQ(combo->SelStart(), 1);
  EXPECT_EQ(combo->SelLength(), 4);
  EXPECT_EQ(combo->SelText(), "pple");
}

TEST_F(TypeAheadCompletion, NextLettersReplaceTheSuggestionWhateverTheirCase) {
  user.Type("aPR");
  EXPECT_EQ(combo->Text(), "Apricot");
  EXPECT_EQ(combo->SelStart(), 3);
  EXPECT_EQ(combo->SelText(), "icot");
}

TEST_F(TypeAheadCompletion, NoMatchClosesTheListAndKeepsTheText) {
  user.OpenList(*combo);
  ASSERT_TRUE(combo->DroppedDown());
  user.Type("z");
  EXPECT_EQ(combo->Text(), "z");
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->SelStart(), 1);
  EXPECT_EQ(combo->SelLength(), 0);
  // Text that stops matching is kept as typed.
  combo->Text("");
  user.Type("ab");
  EXPECT_EQ(combo->Text(), "Ab");
  EXPECT_FALSE(combo->DroppedDown());
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
  EXPECT_FALSE(combo->DroppedDown());
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
  EXPECT_EQ(cbo->LinkedComboBox(), other);
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

}  // namespace
}  // namespace tamarind
