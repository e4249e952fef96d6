// Sort arrows in the header: on the sorted column only, for the current direction, from the
// built-in pair or the host's own pictures, with captions and alignments unchanged.

#include "SortingFixture.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"

namespace tamarind::testing {
namespace {

using platform::HDF_IMAGE;
using platform::RGB;

class HeaderArrows : public SortingTest {
 protected:
  HeaderArrows() {
    Fill({"Name", "Qty", "City"}, {{"Anise", "12", "Lyon"}, {"Bay", "4", "Oslo"}, {"Cumin", "7", "Ghent"}});
    k.ColumnHeaders().Item(2)->Alignment(platform::ColumnHeader::lvwColumnRight);
    k.SmartColumnSort(true);
  }
  const platform::ColumnHeader& Header(int32_t i) { return *k.ColumnHeaders().Item(i); }
};

TEST_F(HeaderArrows, OnlyTheSortedColumnShowsTheArrowOfTheCurrentDirection) {
  k.SortArrows(true);
  EXPECT_EQ(Arrows(), "^..");  // binding them shows the list's current sort
  Click(2);
  EXPECT_EQ(Arrows(), ".v.");
  EXPECT_EQ(Header(2).HeaderFormat(), 0x5801);  // caption, image on its right, still right-aligned
  Click(2);
  EXPECT_EQ(Arrows(), ".^.");
  Click(3);
  EXPECT_EQ(Arrows(), "..v");
  EXPECT_EQ(Header(2).HeaderFormat(), 0x4001);
  EXPECT_EQ(Header(2).Alignment(), platform::ColumnHeader::lvwColumnRight);
  k.PerformSortOnColumn(1, sdt_STRING, lvASC);
  EXPECT_EQ(Arrows(), "^..");
}

// A host that sorts in its own ColumnClick, with the control's sorting off, still gets the arrow
// for the direction it left.
TEST_F(HeaderArrows, TheArrowFollowsAClickThatSortedNothing) {
  k.SmartColumnSort(false);
  k.AutoSort(false);
  k.SortArrows(true);
  host.onColumnClick = [&](const ColumnHeaderRef& h) {
    k.SortKey(static_cast<int16_t>(h->Index() - 1));
    k.SortOrder(1);
  };
  FreshClick(3);
  EXPECT_EQ(host.log, (Texts{"ColumnClick City"}));
  EXPECT_EQ(Column(2), (Texts{"Oslo", "Lyon", "Ghent"}));
  EXPECT_EQ(Arrows(), "..v");
}

// The alignments are saved before ColumnClick and put back after the sort and after the arrows;
// without SortArrows the header shows no image, and the alignments stay.
TEST_F(HeaderArrows, AlignmentsComeBackAndWithoutSortArrowsNoImageShows) {
  k.SortArrows(true);
  host.onColumnClick = [&](const ColumnHeaderRef&) {
    k.ColumnHeaders().Item(2)->Alignment(platform::ColumnHeader::lvwColumnCenter);
  };
  Click(2);
  EXPECT_EQ(Header(2).Alignment(), platform::ColumnHeader::lvwColumnRight);
  EXPECT_EQ(Header(2).HeaderFormat(), 0x5801);
  k.SortArrows(false);
  EXPECT_EQ(Arrows(), "...");
  EXPECT_EQ(k.ColumnHeaderIcons(), nullptr);
  Click(3);
  EXPECT_EQ(Arrows(), "...");
  EXPECT_EQ(Header(2).Alignment(), platform::ColumnHeader::lvwColumnRight);
}

// How many pixels of a picture's rows [from, to) are drawn, not the transparent green.
int32_t Drawn(const platform::StdPicture& p, int32_t from, int32_t to) {
  int32_t n = 0;
  for (int32_t y = from; y < to; ++y)
    for (int32_t x = 0; x < p.WidthPx(); ++x) n += p.Pixel(x, y) != RGB(0, 255, 0) ? 1 : 0;
  return n;
}

// The built-in pair: 12 x 12 on a pure green that is transparent; the first points up (wider at
// its foot), the second as much drawn, pointing down.
TEST_F(HeaderArrows, TheBuiltInArrowsPointUpThenDown) {
  k.SortArrows(true);
  const platform::ImageListRef icons = k.ColumnHeaderIcons();
  ASSERT_NE(icons, nullptr);
  ASSERT_EQ(icons->Count(), 2);
  EXPECT_EQ(icons->MaskColor(), RGB(0, 255, 0));
  const platform::StdPicture& up = *icons->Item(1).Picture;
  const platform::StdPicture& down = *icons->Item(2).Picture;
  ASSERT_EQ(up.WidthPx(), 12);
  ASSERT_EQ(up.HeightPx(), 12);
  EXPECT_LT(Drawn(up, 0, 6), Drawn(up, 6, 12));
  EXPECT_GT(Drawn(down, 0, 6), Drawn(down, 6, 12));
  EXPECT_EQ(Drawn(up, 0, 12), Drawn(down, 0, 12));
}

// The host's two pictures, of any size, become the arrows at SortArrowSize; with only one of them
// set, the built-in pair is used.
TEST_F(HeaderArrows, TheHostsPicturesBecomeTheArrowsAtSortArrowSize) {
  auto up = std::make_shared<platform::StdPicture>(24, 24, RGB(200, 0, 0));
  up->FillRect(0, 12, 24, 24, RGB(0, 0, 200));  // red above blue
  auto down = std::make_shared<platform::StdPicture>(16, 16, RGB(0, 120, 0));
  k.SortArrowSize(16);
  k.SortArrowUpPicture(up);
  k.SortArrows(true);
  EXPECT_EQ(k.ColumnHeaderIcons()->ImageWidth(), 12);  // one picture is not enough

  k.SortArrowDownPicture(down);
  k.SortArrows(true);
  const platform::ImageListRef icons = k.ColumnHeaderIcons();
  ASSERT_EQ(icons->Count(), 2);
  EXPECT_EQ(icons->ImageWidth(), 16);
  const platform::StdPicture& first = *icons->Item(1).Picture;
  EXPECT_EQ(first.Pixel(3, 7), RGB(200, 0, 0));
  EXPECT_EQ(first.Pixel(3, 8), RGB(0, 0, 200));
  EXPECT_EQ(icons->Item(2).Picture, down);  // already the right size
  // A size no header arrow has: the pictures are refused, quietly, and nothing else changes.
  k.SortArrowSize(100000);
  k.SortArrows(true);
  EXPECT_EQ(k.ColumnHeaderIcons()->Count(), 0);
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace tamarind::testing
