// The fourteen presets of LoadTemplateSetting.

#include "SortingFixture.h"

namespace tamarind::testing {
namespace {

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

// The properties are assigned in a fixed order, each with its side effects.
TEST_F(Presets, PropertiesAreAssignedInOrderWithTheirSideEffects) {
  form.ClearPropertyChanges();
  k.LoadTemplateSetting(ksv_SMARTSORT_NOGRID_SOUNDS_ARROWS);
  EXPECT_EQ(form.PropertyChanges(), (Texts{"SmartColumnSort", "AutoSort", "Sorted", "GridLines", "PlaySounds",
                                           "SortArrows"}));
  form.ClearPropertyChanges();
  k.LoadTemplateSetting(ksv_NOSORT_GRID_NOSOUNDS_NOARROWS);
  EXPECT_EQ(form.PropertyChanges(), (Texts{"SmartColumnSort", "AutoSort", "Sorted", "GridLines", "PlaySounds",
                                           "SortArrows"}));
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
