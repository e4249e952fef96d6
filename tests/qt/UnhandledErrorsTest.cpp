// An error that no handler takes never ends the program: on both realisations it is reported as the
// desktop reports an unhandled run-time error (its number and description, titled with the
// application's title), and the user goes on with the data as they were.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/Error.h"
#include "tests/qt/Desks.h"

namespace tamarind::testing {
namespace {

using Lines = std::vector<std::string>;

class UnhandledErrors : public ::testing::TestWithParam<Realisation> {
 protected:
  UnhandledErrors() : desk(GetParam().make()), k(desk->K()) {}

  // What a report of the error says, as the user reads it.
  std::string Report(int32_t number, const std::string& description) const {
    return desk->Tk().App().Title + "|Run-time error '" + std::to_string(number) + "':\n\n" + description;
  }
  Lines Names() {
    Lines out;
    k.ListItems().ForEach([&](const platform::ListItemRef& item) { out.push_back(item->Text()); });
    return out;
  }
  // Every box shown says the same, and there is at least one.
  void ExpectOnlyReports(const std::string& report) {
    desk->Wait(150);  // a realisation may report once its event loop is back
    const Lines boxes = desk->MessageBoxes();
    ASSERT_FALSE(boxes.empty()) << "no report of " << report;
    for (const std::string& box : boxes) EXPECT_EQ(box, report);
  }

  std::unique_ptr<Desk> desk;
  Kestrel& k;
};

TEST_P(UnhandledErrors, AHostHandlerThatFailsOnAClickIsReportedAndTheNextClickStillWorks) {
  int clicks = 0;
  desk->Away().Click.Connect([&] {
    ++clicks;
    Raise(err::SubscriptOutOfRange, "OrderForm", "No price list for this order");
  });
  desk->ClickAway();
  ExpectOnlyReports(Report(err::SubscriptOutOfRange, "No price list for this order"));
  desk->ClickAway();
  desk->ClickCell(4, 1);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(SelectedRow(k), 4);
}

TEST_P(UnhandledErrors, APatternTypedOneKeyAtATimeFiltersOnceItIsWhole) {
  // The host filters the names as the search box changes; "[" alone is no pattern (error 93).
  desk->Away().Change.Connect([&] {
    k.FilterRemove();
    k.FilterWild(desk->Away().Text(), 0);
  });
  desk->ClickAway();
  desk->Type("[a-c]*");
  ExpectOnlyReports(Report(err::InvalidPatternString, "Invalid pattern string"));
  EXPECT_EQ(desk->Away().Text(), "[a-c]*");  // no key was lost
  EXPECT_EQ(Names(), (Lines{"Braeburn", "Cherry", "Blueberry"}));
  k.FilterRemove();  // the filtered rows come back after the kept ones
  EXPECT_EQ(Names(), (Lines{"Braeburn", "Cherry", "Blueberry", "Lemon", "Lime"}));
}

TEST_P(UnhandledErrors, ATimerThatFailsIsReportedAndKeepsTicking) {
  int ticks = 0;
  const auto id = desk->Tk().Timers().StartTimer(20, [&] {
    ++ticks;
    Raise(err::DivisionByZero, "Clock");
  });
  desk->Wait(200);
  desk->Tk().Timers().StopTimer(id);
  EXPECT_GE(ticks, 2);
  ExpectOnlyReports(Report(err::DivisionByZero, "Division by zero"));
}

INSTANTIATE_TEST_SUITE_P(Realisations, UnhandledErrors, ::testing::ValuesIn(kRealisations), RealisationName);

}  // namespace
}  // namespace tamarind::testing
