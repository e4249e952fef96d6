// The property sheet on both realisations, driven by the designer's hands: its tabs, the Apply
// button that follows the pages' edits, OK and Cancel, a property's error on Apply, and the
// standard colour and font pages choosing through the desktop's choosers.

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "designtime/PropertySheet.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/UserDriver.h"
#include "tests/designtime/PageDesks.h"

#ifdef TAMARIND_DESIGNTIME_QT
#include <QApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QTest>

#include "platform/qt/QtControls.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#endif

namespace tamarind::testing {
namespace {

using designtime::PropertySheet;
using platform::CheckBox;
using platform::OLE_COLOR;
using platform::RGB;
using platform::ComboBox;
using platform::CommandButton;
using platform::StdFont;
using platform::TextBox;

struct ColorProperty {
  const char* name;
  OLE_COLOR (Kestrel::*get)() const;
};
const ColorProperty kColors[] = {{"BackColor", &Kestrel::BackColor},
                                 {"ForeColor", &Kestrel::ForeColor},
                                 {"LineEvenColor", &Kestrel::LineEvenColor},
                                 {"LineOddColor", &Kestrel::LineOddColor},
                                 {"TitleBackColor", &Kestrel::TitleBackColor},
                                 {"TitleForeColor", &Kestrel::TitleForeColor},
                                 {"CalendarBackColor", &Kestrel::CalendarBackColor},
                                 {"CalendarForeColor", &Kestrel::CalendarForeColor},
                                 {"CalendarTitleBackColor", &Kestrel::CalendarTitleBackColor},
                                 {"CalendarTitleForeColor", &Kestrel::CalendarTitleForeColor},
                                 {"CalendarTrailingForeColor", &Kestrel::CalendarTrailingForeColor}};
std::vector<OLE_COLOR> Colors(Kestrel& k) {
  std::vector<OLE_COLOR> out;
  for (const ColorProperty& p : kColors) out.push_back((k.*p.get)());
  return out;
}

class Sheets : public ::testing::TestWithParam<PageRealisation> {
 protected:
  Sheets() : desk(GetParam().make()), k1(desk->K1()), k2(desk->K2()) {
    headless_ = dynamic_cast<platform::headless::HeadlessToolkit*>(&desk->Tk());
    if (headless_) user_ = std::make_unique<platform::headless::UserDriver>(*headless_);
  }

  // Opens the sheet for K1 and K2 on the desk's desktop: a real window on Qt.
  PropertySheet& Open() {
    PropertySheet::FormMaker maker;
#ifdef TAMARIND_DESIGNTIME_QT
    if (!headless_)
      maker = [](platform::Toolkit& tk, std::string caption, float w, float h) -> std::unique_ptr<platform::HostForm> {
        return std::make_unique<platform::qt::QtHostForm>(static_cast<platform::qt::QtToolkit&>(tk), caption, w, h);
      };
#endif
    sheet = std::make_unique<PropertySheet>(desk->Tk(), std::vector<Kestrel*>{&k1, &k2}, maker);
    sheet->Closed.Connect([this] { ++closed; });
#ifdef TAMARIND_DESIGNTIME_QT
    if (!headless_) {
      QWidget* window = static_cast<platform::qt::QtHostForm&>(sheet->Form()).WindowWidget();
      QApplication::setActiveWindow(window);
      if (!QTest::qWaitForWindowExposed(window)) throw std::runtime_error("the sheet was never shown");
      QApplication::processEvents();
    }
#endif
    return *sheet;
  }

  template <class C>
  C& On(int32_t tab, std::string_view name) {
    return Part<C>(sheet->Page(tab), name);
  }

  void ClickTab(int32_t index) {
    if (headless_) return user_->ClickTab(sheet->Tabs(), index);
#ifdef TAMARIND_DESIGNTIME_QT
    QTabBar* bar = dynamic_cast<platform::qt::QtTabStrip&>(sheet->Tabs()).Bar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index - 1).center());
    QApplication::processEvents();
#endif
  }

  void ChooseEntry(ComboBox& combo, std::string_view text) {
    if (headless_) return user_->ChooseEntry(combo, text);
#ifdef TAMARIND_DESIGNTIME_QT
    auto& qcombo = dynamic_cast<platform::qt::QtComboBox&>(combo);
    const platform::qt::ClickTarget arrow = platform::qt::targets::DropDownArrow(qcombo);
    QTest::mouseClick(arrow.widget, Qt::LeftButton, Qt::NoModifier, arrow.at);
    QApplication::processEvents();
    // The opened list takes no click unless the pointer moved onto the entry first.
    const platform::qt::ClickTarget entry = platform::qt::targets::DropDownEntry(qcombo, text);
    if (!entry) throw std::runtime_error("the drop-down did not open on the entry");
    QMouseEvent move(QEvent::MouseMove, entry.at, entry.widget->mapToGlobal(entry.at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(entry.widget, &move);
    QTest::mouseClick(entry.widget, Qt::LeftButton, Qt::NoModifier, entry.at);
    QApplication::processEvents();
#endif
  }

  // What the next colour (font) chooser answers; nothing cancels it.
  void AnswerColor(std::optional<OLE_COLOR> c) {
    if (headless_) return headless_->QueueColorAnswer(c);
#ifdef TAMARIND_DESIGNTIME_QT
    Qt().AnswerChoosers([c](platform::qt::ShownChooser& shown) {
      if (c) shown.color = *c;
      return c.has_value();
    });
#endif
  }
  void AnswerFont(std::optional<StdFont> f) {
    if (headless_) return headless_->QueueFontAnswer(f);
#ifdef TAMARIND_DESIGNTIME_QT
    Qt().AnswerChoosers([f](platform::qt::ShownChooser& shown) {
      if (f) shown.font = *f;
      return f.has_value();
    });
#endif
  }
  // "<title> <chosen>" for each chooser shown.
  std::vector<std::string> Choosers() {
    std::vector<std::string> out;
    if (headless_) {
      for (const auto& c : headless_->Choosers()) out.push_back(c.title + (c.chosen ? " chosen" : " cancelled"));
      return out;
    }
#ifdef TAMARIND_DESIGNTIME_QT
    for (const auto& c : Qt().Choosers()) out.push_back(c.title + (c.chosen ? " chosen" : " cancelled"));
#endif
    return out;
  }

  std::unique_ptr<PageDesk> desk;
  Kestrel& k1;
  Kestrel& k2;
  std::unique_ptr<PropertySheet> sheet;
  int closed = 0;

 private:
#ifdef TAMARIND_DESIGNTIME_QT
  platform::qt::QtToolkit& Qt() { return dynamic_cast<platform::qt::QtToolkit&>(desk->Tk()); }
#endif
  platform::headless::HeadlessToolkit* headless_ = nullptr;
  std::unique_ptr<platform::headless::UserDriver> user_;
};

TEST_P(Sheets, ShowsThePagesInTabOrderAndEnablesApplyOnlyWhileAPageHoldsEdits) {
  PropertySheet& s = Open();
  const std::vector<std::string> captions{"Listview", "Titlebar", "StandardColor", "StandardFont", "About"};
  ASSERT_EQ(s.Tabs().Count(), 5);
  for (int32_t i = 1; i <= 5; ++i) EXPECT_EQ(s.Tabs().Item(i).Caption(), captions[static_cast<size_t>(i - 1)]);
  // Each tab shows its own page and only that one.
  for (int32_t i : {2, 3, 4, 5, 1}) {
    ClickTab(i);
    EXPECT_EQ(s.ShownPage().Caption(), captions[static_cast<size_t>(i - 1)]);
    for (int32_t j = 1; j <= 5; ++j) EXPECT_EQ(s.Page(j).Visible(), i == j) << i << " " << j;
  }
  EXPECT_FALSE(s.ApplyButton().Enabled());

  k1.GridLines(false);
  k2.GridLines(false);
  desk->Click(On<CheckBox>(1, "chkGridLines"));
  EXPECT_TRUE(s.ApplyButton().Enabled());
  EXPECT_FALSE(k1.GridLines());  // nothing is written before Apply
  desk->Click(s.ApplyButton());
  EXPECT_TRUE(k1.GridLines());
  EXPECT_FALSE(k2.GridLines());
  EXPECT_FALSE(s.ApplyButton().Enabled());
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(s.Result(), PropertySheet::Outcome::Open);
}

TEST_P(Sheets, OkAppliesAndClosesCancelClosesWithoutApplying) {
  k1.GridLines(false);
  k1.TitleCaption("Before");
  Open();
  desk->Click(On<CheckBox>(1, "chkGridLines"));
  ClickTab(2);
  desk->Retype(On<TextBox>(2, "txtTitleCaption"), "Cancelled");
  desk->Click(sheet->CancelButton());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(sheet->Result(), PropertySheet::Outcome::Cancel);
  EXPECT_FALSE(k1.GridLines());
  EXPECT_EQ(k1.TitleCaption(), "Before");

  closed = 0;
  Open();
  desk->Click(On<CheckBox>(1, "chkGridLines"));
  ClickTab(2);
  desk->Retype(On<TextBox>(2, "txtTitleCaption"), "After");
  desk->Click(sheet->OkButton());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(sheet->Result(), PropertySheet::Outcome::Ok);
  EXPECT_TRUE(k1.GridLines());
  EXPECT_EQ(k1.TitleCaption(), "After");
  EXPECT_TRUE(desk->MessageBoxes().empty());
}

// A property that refuses its value stops Apply there, with the error in a message box; what came
// before stays applied, what comes after waits, and OK does not close.
TEST_P(Sheets, AnErrorOnApplyIsReportedAndStopsThere) {
  const std::string mismatch = "Kestrel|Run-time error '13':\n\n" + Error::StandardDescription(err::TypeMismatch) + "|48";
  k1.GridLines(false);
  k1.MultiSelect(false);
  k1.TitleCaption("Before");
  Open();
  desk->Click(On<CheckBox>(1, "chkMultiSelect"));   // before the sort key
  desk->Retype(On<TextBox>(1, "txtSortKey"), "x");  // no number
  desk->Click(On<CheckBox>(1, "chkGridLines"));     // after it
  ClickTab(2);
  desk->Retype(On<TextBox>(2, "txtTitleCaption"), "Later");
  desk->Click(sheet->ApplyButton());
  EXPECT_EQ(desk->MessageBoxes(), std::vector<std::string>{mismatch});
  EXPECT_TRUE(k1.MultiSelect());
  EXPECT_FALSE(k1.GridLines());
  EXPECT_EQ(k1.TitleCaption(), "Before");
  EXPECT_TRUE(sheet->ApplyButton().Enabled());
  desk->Click(sheet->OkButton());
  EXPECT_EQ(desk->MessageBoxes().size(), 2u);
  EXPECT_EQ(closed, 0);

  // An error on a later page: the pages before it are applied.
  ClickTab(1);
  desk->Retype(On<TextBox>(1, "txtSortKey"), "2");
  ClickTab(2);
  desk->Retype(On<TextBox>(2, "txtTitleHeight"), "tall");
  desk->Click(sheet->ApplyButton());
  EXPECT_EQ(desk->MessageBoxes().size(), 3u);
  EXPECT_EQ(k1.SortKey(), 2);
  EXPECT_TRUE(k1.GridLines());
  EXPECT_FALSE(sheet->Page(1).Changed());
  EXPECT_TRUE(sheet->Page(2).Changed());
  EXPECT_TRUE(sheet->ApplyButton().Enabled());
}

TEST_P(Sheets, TheColorPageWritesTheColorChosenForTheChosenProperty) {
  k1.TitleBackColor(RGB(200, 200, 200));
  const std::vector<OLE_COLOR> before = Colors(k1), others = Colors(k2);
  Open();
  ClickTab(3);
  auto& list = On<ComboBox>(3, "cboProperties");
  auto& swatch = On<platform::Label>(3, "lblSwatch");
  ASSERT_EQ(list.ListCount(), static_cast<int32_t>(std::size(kColors)));
  for (size_t i = 0; i < std::size(kColors); ++i) EXPECT_EQ(list.List(static_cast<int32_t>(i)), kColors[i].name);
  ChooseEntry(list, "TitleBackColor");
  EXPECT_EQ(swatch.BackColor(), RGB(200, 200, 200));

  AnswerColor(std::nullopt);
  desk->Click(On<CommandButton>(3, "cmdChoose"));
  EXPECT_FALSE(sheet->ApplyButton().Enabled());
  EXPECT_EQ(swatch.BackColor(), RGB(200, 200, 200));

  AnswerColor(RGB(10, 20, 30));
  desk->Click(On<CommandButton>(3, "cmdChoose"));
  EXPECT_EQ(Choosers(), (std::vector<std::string>{"TitleBackColor cancelled", "TitleBackColor chosen"}));
  EXPECT_EQ(swatch.BackColor(), RGB(10, 20, 30));
  EXPECT_EQ(k1.TitleBackColor(), RGB(200, 200, 200));
  ASSERT_TRUE(sheet->ApplyButton().Enabled());
  ChooseEntry(list, "ForeColor");  // another property shown: the chosen colour is still held
  EXPECT_EQ(swatch.BackColor(), before[1]);
  desk->Click(sheet->ApplyButton());

  std::vector<OLE_COLOR> expected = before;
  expected[4] = RGB(10, 20, 30);
  EXPECT_EQ(Colors(k1), expected);
  EXPECT_EQ(Colors(k2), others);
  EXPECT_FALSE(sheet->ApplyButton().Enabled());
}

TEST_P(Sheets, TheFontPageWritesTheFontChosenForTheChosenProperty) {
  k1.Font(std::make_shared<StdFont>("Verdana", 8.25f));
  k1.TitleFont(std::make_shared<StdFont>("Verdana", 9.0f));
  const StdFont font = *k1.Font(), title = *k1.TitleFont();
  Open();
  ClickTab(4);
  auto& list = On<ComboBox>(4, "cboProperties");
  ChooseEntry(list, "TitleFont");
  EXPECT_EQ(On<platform::Label>(4, "lblSample").Font()->Size(), 9.0f);

  AnswerFont(std::nullopt);
  desk->Click(On<CommandButton>(4, "cmdChoose"));
  desk->Click(sheet->OkButton());
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(*k1.TitleFont(), title);

  Open();
  ClickTab(4);
  ChooseEntry(On<ComboBox>(4, "cboProperties"), "TitleFont");
  AnswerFont(StdFont("DejaVu Sans", 14, true));  // a family with a bold face on the Qt desktop too
  desk->Click(On<CommandButton>(4, "cmdChoose"));
  EXPECT_EQ(On<platform::Label>(4, "lblSample").Font()->Size(), 14.0f);
  desk->Click(sheet->OkButton());
  EXPECT_EQ(Choosers(), (std::vector<std::string>{"TitleFont cancelled", "TitleFont chosen"}));
  EXPECT_EQ(k1.TitleFont()->Size(), 14.0f);
  EXPECT_TRUE(k1.TitleFont()->Bold());
  EXPECT_EQ(*k1.Font(), font);
}

INSTANTIATE_TEST_SUITE_P(BothRealisations, Sheets, ::testing::ValuesIn(PageRealisations()), PageRealisationName);

}  // namespace
}  // namespace tamarind::testing
