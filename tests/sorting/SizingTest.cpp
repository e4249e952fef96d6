// SizeColumns: widths measured from the texts and captions by the list view, the extra room, the
// last column filling the list, and the arrows and alignments coming through.
//
// Headless measures: Verdana 8.25 characters are 6 px wide, the list adds 12 px to the widest text
// of a column and 16 px for a header image; 15 twips per pixel.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

constexpr float kTwips = 15, kChar = 6, kPadding = 12, kHeaderImage = 16;

// The width LVM_SETCOLUMNWIDTH gives a column whose widest text (or caption) has n characters.
constexpr float Fit(int n, float extraPx = 0) { return (static_cast<float>(n) * kChar + kPadding + extraPx) * kTwips; }

class Sizing : public SortingTest {
 protected:
  Sizing() {
    Fill({"Name", "Qty", "City"}, {{"Elderflower", "12", "Lyon"}, {"Bay", "7", "Rotterdam"}});
    k.ColumnHeaders().Item(2)->Alignment(platform::ColumnHeader::lvwColumnRight);
    k.ColumnHeaders().Item(3)->Alignment(platform::ColumnHeader::lvwColumnCenter);
  }
  float Width(int32_t i) { return k.ColumnHeaders().Item(i)->Width(); }
  float ClientWidth() { return static_cast<float>(lv.ClientRectPx().Width()) * kTwips; }
};

// Each column fits its widest text or its caption, gets 180 twips more, and the last one fills
// what is left of the list.
TEST_F(Sizing, ColumnsFitTheirTextsAndCaptionsAndTheLastFillsTheList) {
  k.SizeColumns();
  EXPECT_EQ(Width(1), Fit(11) + 180);  // "Elderflower"
  EXPECT_EQ(Width(2), Fit(3) + 180);   // the caption "Qty" is wider than "12"
  EXPECT_EQ(Width(3), ClientWidth() - Width(1) - Width(2));
  AddRow({"Star anise of Vietnam", "1200", "Ho Chi Minh City"});
  k.SizeColumns();
  EXPECT_EQ(Width(1), Fit(21) + 180);
  EXPECT_EQ(Width(2), Fit(4) + 180);
  EXPECT_TRUE(Messages().empty());
}

// The last column is fitted again after the room is added: wider than what is left of the list,
// it is just as wide as its texts.
TEST_F(Sizing, ALastColumnWiderThanTheRestOfTheListFitsItsTexts) {
  k.ListItems().Item(1)->SubItems(2, std::string(120, 'x'));
  k.SizeColumns();
  EXPECT_EQ(Width(3), Fit(120));
  EXPECT_GT(Width(3), ClientWidth() - Width(1) - Width(2));
}

// With the header showing images the room is 380 twips, the sorted column's caption makes room
// for its arrow, and the arrow stays where it was.
TEST_F(Sizing, WithSortArrowsTheColumnsGetMoreRoomAndKeepTheirArrow) {
  k.SmartColumnSort(true);
  k.SortArrows(true);
  Click(2);
  ASSERT_EQ(Arrows(), ".v.");
  k.SizeColumns();
  EXPECT_EQ(Width(1), Fit(11) + 380);
  EXPECT_EQ(Width(2), Fit(3, kHeaderImage) + 380);
  EXPECT_EQ(Arrows(), ".v.");
  EXPECT_EQ(k.ColumnHeaders().Item(2)->HeaderFormat(), 0x5801);
}

TEST_F(Sizing, AlignmentsAndThePaintingOfTheListComeBack) {
  tk.Windows().ClearHistory();
  k.SizeColumns();
  EXPECT_EQ(k.ColumnHeaders().Item(1)->Alignment(), platform::ColumnHeader::lvwColumnLeft);
  EXPECT_EQ(k.ColumnHeaders().Item(2)->Alignment(), platform::ColumnHeader::lvwColumnRight);
  EXPECT_EQ(k.ColumnHeaders().Item(3)->Alignment(), platform::ColumnHeader::lvwColumnCenter);
  EXPECT_EQ(tk.Windows().LockHistory(), (std::vector<platform::HWND>{k.ListViewhWnd(), 0}));
}

// Outside report view the list measures nothing, but every column still gets its room.
TEST_F(Sizing, OutsideReportViewColumnsOnlyGetTheirRoom) {
  k.View(platform::ListView::lvwList);
  k.SizeColumns();
  EXPECT_EQ(Width(1), 1500 + 180);
  EXPECT_EQ(Width(3), 1500 + 180);
}

// A single column fits and fills the list, without the extra room; no columns, nothing at all.
TEST(SizingOneOrNoColumn, ASingleColumnFillsTheListAndNoColumnIsNoMatter) {
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Orders", 12000, 6000};
  Kestrel& k = form.Add<Kestrel>("K", 240, 240, 9000, 3600);
  form.Show();
  k.SizeColumns();
  EXPECT_TRUE(tk.MessageBoxes().empty());
  k.ColumnHeaders().Add(0, {}, "Name", 1000);
  k.ListItems().Add(0, {}, "Elderflower");
  k.SizeColumns();
  EXPECT_EQ(k.ColumnHeaders().Item(1)->Width(),
            static_cast<float>(k.ListViewControl().ClientRectPx().Width()) * kTwips);
}

}  // namespace
}  // namespace tamarind::testing
