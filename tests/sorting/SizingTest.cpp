// SizeColumns and LoadTemplateSetting. SizeColumns: widths measured from the texts and captions by the list view, the extra room, the
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
TEST_F(SortingTest, ASingleColumnFillsTheListAndNoColumnIsNoMatter) {
  k.SizeColumns();
  EXPECT_TRUE(Messages().empty());
  Fill({"Name"}, {{"Elderflower"}});
  k.SizeColumns();
  EXPECT_EQ(k.ColumnHeaders().Item(1)->Width(), static_cast<float>(lv.ClientRectPx().Width()) * kTwips);
}

// --- the fourteen presets of LoadTemplateSetting ----------------------------------------------------


class Presets : public SortingTest {
 protected:
  // SmartColumnSort, AutoSort, Sorted, GridLines, PlaySounds, SortArrows as "TF..." letters.
  std::string Settings() {
    std::string out;
    for (bool b : {k.SmartColumnSort(), k.AutoSort(), k.Sorted(), k.GridLines(), k.PlaySounds(), k.SortArrows()})
      out += b ? 'T' : 'F';
    return out;
  }
  // Every one of the six the opposite of what a preset of sorting sets.
  void Unsorted() {
    k.SmartColumnSort(false);
    k.AutoSort(false);
    k.Sorted(false);
  }
};

TEST_F(Presets, EachPresetSetsItsCombination) {
  // By value; the sorting presets turn AutoSort and Sorted on through SmartColumnSort.
  const char* const expected[] = {"TTTTTT", "TTTTTF", "TTTTFT", "TTTTFF", "TTTFTT", "TTTFTF", "TTTFFT",
                                  "TTTFFF", "FFFTTT", "FFFTTT", "FFFTFT", "FFFFTT", "FFFTFF", "FFFFFF"};
  for (int32_t st = 0; st < 14; ++st) {
    SCOPED_TRACE(st);
    Unsorted();
    k.GridLines(true);
    k.PlaySounds(false);
    k.SortArrows(true);
    k.LoadTemplateSetting(static_cast<SettingTemplateTypes>(st));
    const std::string once = Settings();
    EXPECT_EQ(once, expected[st]);
    // From the opposite starting point the same preset gives the same settings.
    k.SmartColumnSort(true);
    k.GridLines(false);
    k.PlaySounds(true);
    k.SortArrows(false);
    k.LoadTemplateSetting(static_cast<SettingTemplateTypes>(st));
    EXPECT_EQ(Settings(), once);
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Presets, AValueThatNamesNoPresetChangesNothing) {
  k.LoadTemplateSetting(ksv_SMARTSORT_GRID_NO_SOUNDS_NOARROWS);
  const std::string before = Settings();
  form.ClearPropertyChanges();
  for (int32_t st : {14, -1, 1000}) k.LoadTemplateSetting(static_cast<SettingTemplateTypes>(st));
  EXPECT_EQ(Settings(), before);
  EXPECT_TRUE(form.PropertyChanges().empty());
  EXPECT_TRUE(Messages().empty());
}

// What a user then sees: a sorting preset sorts numbers on a click, with sound and arrow; a
// preset without sorting lets a click sort nothing but still shows the arrow.
TEST_F(Presets, APresetDecidesWhatAHeaderClickDoes) {
  Fill({"Name", "Qty"}, {{"a", "10"}, {"b", "9"}, {"c", "100"}});
  k.LoadTemplateSetting(ksv_SMARTSORT_GRID_SOUNDS_ARROWS);
  Click(2);
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9"}));
  EXPECT_EQ(SortSounds(), 1);
  EXPECT_EQ(Arrows(), ".v");
  k.LoadTemplateSetting(ksv_NOSORT_GRID_SOUNDS_NOARROWS);  // the arrows stay on
  FreshClick(1);
  EXPECT_EQ(host.log, (Texts{"ColumnClick Name"}));
  EXPECT_EQ(Column(1), (Texts{"100", "10", "9"}));
  EXPECT_EQ(SortSounds(), 0);
  EXPECT_EQ(Arrows(), "v.");
}

}  // namespace
}  // namespace tamarind::testing
