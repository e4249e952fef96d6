// The Listview and Titlebar pages on both realisations: a page shows the first selected control's
// properties, the designer's clicks and typing mark it changed, and applying writes it back to
// that control alone, stopping at a property that refuses its value.

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "designtime/ListviewPage.h"
#include "designtime/TitlebarPage.h"
#include "tests/designtime/PageDesks.h"

namespace tamarind::testing {
namespace {

using designtime::ListviewPage;
using designtime::TitlebarPage;
using platform::CheckBox;
using platform::TextBox;

// The Listview page's boxes in the page's order; the sort key comes between AutoSort and Sorted.
struct Flag {
  const char* box;
  bool (Kestrel::*get)() const;
  void (Kestrel::*set)(bool);
};
const Flag kFlags[] = {{"chkSmartColumnSort", &Kestrel::SmartColumnSort, &Kestrel::SmartColumnSort},
                       {"chkPlaySounds", &Kestrel::PlaySounds, &Kestrel::PlaySounds},
                       {"chkMultiSelect", &Kestrel::MultiSelect, &Kestrel::MultiSelect},
                       {"chkAutoSort", &Kestrel::AutoSort, &Kestrel::AutoSort},
                       {"chkSorted", &Kestrel::Sorted, &Kestrel::Sorted},
                       {"chkHideSelection", &Kestrel::HideSelection, &Kestrel::HideSelection},
                       {"chkHideColumnHeaders", &Kestrel::HideColumnHeaders, &Kestrel::HideColumnHeaders},
                       {"chkGridLines", &Kestrel::GridLines, &Kestrel::GridLines},
                       {"chkFullRowSelect", &Kestrel::FullRowSelect, &Kestrel::FullRowSelect},
                       {"chkCheckboxes", &Kestrel::Checkboxes, &Kestrel::Checkboxes}};
constexpr size_t kFlagCount = std::size(kFlags);

// Only flag `on` set (none for kFlagCount). In the page's order, so SmartColumnSort turning
// AutoSort and Sorted on is undone by the assignments after it.
void SetOnly(Kestrel& k, size_t on) {
  for (size_t i = 0; i < kFlagCount; ++i) (k.*kFlags[i].set)(i == on);
}
// The ten properties as "0"/"1", in the page's order.
std::string Flags(Kestrel& k) {
  std::string out;
  for (const Flag& f : kFlags) out += (k.*f.get)() ? '1' : '0';
  return out;
}
std::string OneHot(size_t on) {
  std::string out(kFlagCount, '0');
  if (on < kFlagCount) out[on] = '1';
  return out;
}

class Pages : public ::testing::TestWithParam<PageRealisation> {
 protected:
  Pages() : desk(GetParam().make()), k1(desk->K1()), k2(desk->K2()) {}

  // Counts how often the page says it became changed.
  template <class P>
  void Watch(P& page) {
    page.PageChanged.Connect([this] { ++pageChanged; });
  }
  // The values of the Listview page's boxes, as "0"/"1"/"2".
  std::string Boxes(platform::Window& page) {
    std::string out;
    for (const Flag& f : kFlags) out += static_cast<char>('0' + Part<CheckBox>(page, f.box).Value());
    return out;
  }

  std::unique_ptr<PageDesk> desk;
  Kestrel& k1;
  Kestrel& k2;
  int pageChanged = 0;
};

// --- Listview ------------------------------------------------------------------------------------------

TEST_P(Pages, ListviewShowsEachPropertyOfTheFirstControlInItsOwnBox) {
  auto& page = desk->Site<ListviewPage>();
  Watch(page);
  for (const Flag& f : kFlags) (k2.*f.set)(true);  // never what K1 shows
  for (size_t on = 0; on < kFlagCount; ++on) {
    SetOnly(k1, on);
    k1.SortKey(static_cast<int16_t>(on + 2));
    page.Select({&k1, &k2});
    EXPECT_EQ(Boxes(page), OneHot(on)) << kFlags[on].box;  // True is -1: And 1 ticks the box
    EXPECT_EQ(Part<TextBox>(page, "txtSortKey").Text(), std::to_string(on + 2));
  }
  // Filling raised every box's Click and the sort key's Change: no edit for all that.
  EXPECT_FALSE(page.Changed());
  EXPECT_EQ(pageChanged, 0);
  EXPECT_EQ(ErrorOf([&] { page.Select({}); }), err::SubscriptOutOfRange);
}

TEST_P(Pages, ListviewAppliesEachBoxToItsOwnPropertyOfTheFirstControlOnly) {
  auto& page = desk->Site<ListviewPage>();
  for (const Flag& f : kFlags) (k2.*f.set)(true);
  k2.SortKey(4);
  for (size_t on = 0; on < kFlagCount; ++on) {
    SetOnly(k1, kFlagCount);
    page.Select({&k1, &k2});
    desk->Click(Part<CheckBox>(page, kFlags[on].box));
    page.Apply();
    EXPECT_EQ(Flags(k1), OneHot(on)) << kFlags[on].box;
    EXPECT_FALSE(page.Changed());
  }
  desk->Retype(Part<TextBox>(page, "txtSortKey"), "3");
  page.Apply();
  EXPECT_EQ(k1.SortKey(), 3);
  EXPECT_EQ(Flags(k2), std::string(kFlagCount, '1'));
  EXPECT_EQ(k2.SortKey(), 4);
}

TEST_P(Pages, ListviewApplyStopsAtASortKeyThatIsNoNumber) {
  auto& page = desk->Site<ListviewPage>();
  for (const Flag& f : kFlags) (k1.*f.set)(true);  // cleared below: True turns other sorting flags on
  k1.SortKey(1);
  page.Select({&k1});
  for (const Flag& f : kFlags) desk->Click(Part<CheckBox>(page, f.box));
  desk->Retype(Part<TextBox>(page, "txtSortKey"), "abc");
  EXPECT_EQ(ErrorOf([&] { page.Apply(); }), err::TypeMismatch);
  // The four boxes before the sort key were applied, the six after it were not.
  EXPECT_EQ(Flags(k1), "0000111111");
  EXPECT_EQ(k1.SortKey(), 1);
  EXPECT_TRUE(page.Changed());
}

TEST_P(Pages, ListviewEachBoxAndTheSortKeyMarkThePageChanged) {
  auto& page = desk->Site<ListviewPage>();
  Watch(page);
  for (size_t i = 0; i < kFlagCount; ++i) {
    page.Select({&k1});
    ASSERT_FALSE(page.Changed());
    CheckBox& box = Part<CheckBox>(page, kFlags[i].box);
    const int16_t filled = box.Value();
    desk->Click(box);
    EXPECT_TRUE(page.Changed()) << kFlags[i].box;
    EXPECT_EQ(pageChanged, static_cast<int>(i) + 1) << kFlags[i].box;
    desk->PressSpace(box);  // back as it was: still an edit, and no second PageChanged
    EXPECT_EQ(box.Value(), filled) << kFlags[i].box;
  }
  EXPECT_EQ(pageChanged, static_cast<int>(kFlagCount));
  page.Select({&k1});
  desk->Retype(Part<TextBox>(page, "txtSortKey"), "2");
  EXPECT_TRUE(page.Changed());
  EXPECT_EQ(pageChanged, static_cast<int>(kFlagCount) + 1);
}

// --- Titlebar ------------------------------------------------------------------------------------------

TEST_P(Pages, TitlebarShowsTheFirstControlsTitle) {
  auto& page = desk->Site<TitlebarPage>();
  k1.Titlebar(true);
  k1.TitleCaption("Spice orders");
  k1.TitleHeight(450);
  k2.Titlebar(false);
  k2.TitleCaption("Other");
  page.Select({&k1, &k2});
  EXPECT_EQ(Part<CheckBox>(page, "chkTitleBar").Value(), CheckBox::vbChecked);
  EXPECT_EQ(Part<TextBox>(page, "txtTitleCaption").Text(), "Spice orders");
  EXPECT_EQ(Part<TextBox>(page, "txtTitleHeight").Text(), "450");
  page.Select({&k2, &k1});
  EXPECT_EQ(Part<CheckBox>(page, "chkTitleBar").Value(), CheckBox::vbUnchecked);
  EXPECT_EQ(Part<TextBox>(page, "txtTitleCaption").Text(), "Other");
  EXPECT_FALSE(page.Changed());
}

TEST_P(Pages, TitlebarAppliesToTheFirstControlAndStopsAtAHeightThatIsNoNumber) {
  auto& page = desk->Site<TitlebarPage>();
  k1.Titlebar(true);
  k1.TitleCaption("Orders");
  k1.TitleHeight(300);
  k2.TitleCaption("Untouched");
  page.Select({&k1, &k2});
  desk->Click(Part<CheckBox>(page, "chkTitleBar"));
  desk->Retype(Part<TextBox>(page, "txtTitleCaption"), "Spices");
  desk->Retype(Part<TextBox>(page, "txtTitleHeight"), "600");
  page.Apply();
  EXPECT_FALSE(k1.Titlebar());
  EXPECT_EQ(k1.TitleCaption(), "Spices");
  EXPECT_EQ(k1.TitleHeight(), 600);
  EXPECT_EQ(k2.TitleCaption(), "Untouched");

  desk->Click(Part<CheckBox>(page, "chkTitleBar"));
  desk->Retype(Part<TextBox>(page, "txtTitleCaption"), "Herbs");
  desk->Retype(Part<TextBox>(page, "txtTitleHeight"), "tall");
  EXPECT_EQ(ErrorOf([&] { page.Apply(); }), err::TypeMismatch);
  EXPECT_TRUE(k1.Titlebar());
  EXPECT_EQ(k1.TitleCaption(), "Herbs");
  EXPECT_EQ(k1.TitleHeight(), 600);
  EXPECT_TRUE(page.Changed());
}

TEST_P(Pages, TitlebarTheBoxAndBothTextsMarkThePageChanged) {
  auto& page = desk->Site<TitlebarPage>();
  Watch(page);
  const auto edits = std::vector<std::function<void()>>{
      [&] { desk->Click(Part<CheckBox>(page, "chkTitleBar")); },
      [&] { desk->Retype(Part<TextBox>(page, "txtTitleCaption"), "Herbs"); },
      [&] { desk->Retype(Part<TextBox>(page, "txtTitleHeight"), "360"); }};
  for (size_t i = 0; i < edits.size(); ++i) {
    page.Select({&k1});
    ASSERT_FALSE(page.Changed());
    edits[i]();
    EXPECT_TRUE(page.Changed()) << "edit " << i;
    EXPECT_EQ(pageChanged, static_cast<int>(i) + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Designtime, Pages, ::testing::ValuesIn(PageRealisations()), PageRealisationName);

}  // namespace
}  // namespace tamarind::testing
