// The width and height of the drop-down editor's list: SetDropWidth and SetDropLines.

#include <gtest/gtest.h>

#include <climits>

#include "editing/basCBOSETTING.h"
#include "tests/editing/ComboFixture.h"

namespace tamarind {
namespace {

using platform::CB_GETITEMHEIGHT;
using platform::CB_SETDROPPEDWIDTH;

// --- width ---------------------------------------------------------------------------------------

using DropWidth = testing::ComboFixture;

TEST_F(DropWidth, ZeroBecomesTheComboBoxWidthInPoints) {
  int32_t w = 0;
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 75);  // 1,500 twips are 75 points
  const auto sent = combo->Sent(CB_SETDROPPEDWIDTH);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].wParam, 75u);
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

TEST_F(DropWidth, HalfPointsRoundToTheEvenNeighbour) {
  int32_t w = 0;
  combo->Width(1530);  // 76.5 points
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 76);
  w = 0;
  combo->Width(1550);  // 77.5 points
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 78);
}

TEST_F(DropWidth, NothingIsSentForAWidthOfZero) {
  int32_t w = 0;
  combo->Width(10);  // half a point rounds to 0
  basCBOSETTING::SetDropWidth(tk, *combo, w);
  EXPECT_EQ(w, 0);
  EXPECT_TRUE(combo->Sent(CB_SETDROPPEDWIDTH).empty());
}

// --- height ----------------------------------------------------------------------------------------

using DropLines = testing::ComboFixture;

TEST_F(DropLines, WindowIsItemHeightTimesLinesPlusTwo) {
  for (int i = 0; i < 20; ++i) combo->AddItem("Entry " + std::to_string(i));
  basCBOSETTING::SetDropLines(tk, *combo, surface, 8);
  const int32_t item = combo->ItemHeightPx();
  ASSERT_GT(item, 0);
  EXPECT_EQ(combo->Sent(CB_GETITEMHEIGHT).size(), 1u);
  EXPECT_EQ(combo->DropWindowHeightPx(), item * 10);
  EXPECT_EQ(combo->VisibleListEntries(), 8);
  basCBOSETTING::SetDropLines(tk, *combo, surface, 12);
  EXPECT_EQ(combo->DropWindowHeightPx(), item * 14);
  EXPECT_EQ(combo->VisibleListEntries(), 12);
}

TEST_F(DropLines, ComboBoxKeepsItsPlaceAndWidth) {
  basCBOSETTING::SetDropLines(tk, *combo, surface, 8);
  EXPECT_EQ(combo->Left(), 300);
  EXPECT_EQ(combo->Top(), 240);
  EXPECT_EQ(combo->Width(), 1500);
}

TEST_F(DropLines, ContainerScaleModeIsRestored) {
  surface.ScaleMode(6);
  basCBOSETTING::SetDropLines(tk, *combo, surface, 8);
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
