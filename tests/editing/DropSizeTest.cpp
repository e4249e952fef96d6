// The width and height of the drop-down editor's list: SetDropWidth and SetDropLines.

#include <gtest/gtest.h>

#include <climits>

#include "editing/basCBOSETTING.h"
#include "tests/editing/ComboFixture.h"

namespace tamarind {
namespace {

// --- width ---------------------------------------------------------------------------------------

using DropWidth = testing::ComboFixture;

TEST_F(DropWidth, ZeroBecomesTheComboBoxWidthInPoints) {
  int32_t w = 0;
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 75);  // 1,500 twips are 75 points
  // The list is never narrower than the combo box itself (100 pixels at 15 twips a pixel).
  EXPECT_EQ(combo->DroppedWidthPx(), 100);
  int32_t negative = -40;
  basCBOSETTING::SetDropWidth(tk, *combo, negative);
  EXPECT_EQ(negative, 75);
}

TEST_F(DropWidth, LargerValueWidensOnlyTheList) {
  int32_t w = 300;
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 300);
  EXPECT_EQ(combo->DroppedWidthPx(), 300);
  EXPECT_EQ(combo->Width(), 1500);
  EXPECT_EQ(combo->BoundsPx().Width(), 100);
}

// --- height ----------------------------------------------------------------------------------------

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
  EXPECT_EQ(combo->Left(), 300);
  EXPECT_EQ(combo->Top(), 240);
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

}  // namespace
}  // namespace tamarind
