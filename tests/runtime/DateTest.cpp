#include "runtime/Date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

constexpr double kSecond = 1.0 / 86400.0;

TEST(DateSerial, CalendarDatesMapToDaysSinceDayZero) {
  EXPECT_EQ(Date::FromCalendar(1899, 12, 30).SerialNumber(), 0.0);
  EXPECT_EQ(Date::FromCalendar(1900, 3, 1).SerialNumber(), 61.0);  // no 29 February 1900
  EXPECT_EQ(Date::FromCalendar(2024, 2, 29).SerialNumber(), 45351.0);
  EXPECT_EQ(Date::FromCalendar(100, 1, 1).SerialNumber(), -657434.0);
  EXPECT_EQ(Date::FromCalendar(9999, 12, 31).SerialNumber(), 2958465.0);
  EXPECT_DOUBLE_EQ(Date::FromCalendar(2026, 12, 6, 18).SerialNumber(), 46362.75);
  for (double day = -657434; day <= 2958465; day += 997) {
    const Date d(day + 0.5);
    EXPECT_EQ(Date::FromCalendar(d.ToCalendar()), d) << day;
  }
}

TEST(DateSerial, TimeBeforeDayZeroCountsForwardFromMidnight) {
  EXPECT_DOUBLE_EQ(Date::FromCalendar(1899, 12, 29, 6).SerialNumber(), -1.25);
  EXPECT_EQ(Date(-1.25).ToCalendar(), (CalendarDate{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(Date(-0.5).ToCalendar(), (CalendarDate{1899, 12, 30, 12, 0, 0}));  // a time on day 0
  EXPECT_EQ(Date(-1.25).DatePart(), Date(-1));
  EXPECT_EQ(Date(-1.25).Weekday(), 6);  // Friday, weeks starting on Sunday
}

TEST(DateSerial, FieldsOutOfRangeAreInvalidArguments) {
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 2, 29); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(1900, 2, 29); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2000, 2, 29); }), 0);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 1, 1, 24); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(99, 12, 31); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(10000, 1, 1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(2958466).ToString(); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(-657435).ToCalendar(); }), err::InvalidProcedureCall);
}

TEST(DateSerial, ReadingRoundsToTheNearestSecond) {
  EXPECT_EQ(Date(46362 + 10.0 / 24 + 0.6 * kSecond).Second(), 1);
  const Date late(46362 + 86399.6 * kSecond);  // 23:59:59.6 is the next midnight
  EXPECT_EQ(late.ToCalendar(), (CalendarDate{2026, 12, 7, 0, 0, 0}));
  EXPECT_FALSE(late.HasTime());
  EXPECT_EQ(late.DatePart(), Date(46363));
}

TEST(DateText, MonthDayYearWithTwelveHourTimeAndDayZeroAsTimeAlone) {
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6).ToString(), "12/6/2026");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 15, 4, 5).ToString(), "12/6/2026 3:04:05 PM");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 12, 0, 0).ToString(), "12/6/2026 12:00:00 PM");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 0, 0, 1).ToString(), "12/6/2026 12:00:01 AM");
  EXPECT_EQ(Date(-1.25).ToString(), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(Date::FromCalendar(1899, 12, 30, 15, 4, 5).ToString(), "3:04:05 PM");
  EXPECT_EQ(Date(0).ToString(), "12:00:00 AM");
  EXPECT_EQ(Date(1).ToString(), "12/31/1899");
}

struct DateCase {
  const char* text;
  std::optional<CalendarDate> value;
};

// ParseDate, IsDate and CDate must agree on every text.
void ExpectDateText(const std::vector<DateCase>& cases) {
  for (const DateCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    const std::optional<Date> parsed = ParseDate(c.text);
    ASSERT_EQ(parsed.has_value(), c.value.has_value());
    EXPECT_EQ(IsDate(Variant(c.text)), c.value.has_value());
    if (c.value) {
      EXPECT_EQ(parsed->ToCalendar(), *c.value);
      EXPECT_EQ(CDate(Variant(c.text)), *parsed);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CDate(Variant(c.text)); }), err::TypeMismatch);
    }
  }
}

CalendarDate Day(int32_t y, int32_t m, int32_t d, int32_t h = 0, int32_t mi = 0, int32_t s = 0) {
  return CalendarDate{y, m, d, h, mi, s};
}

TEST(DateParsing, TheAcceptedDateForms) {
  ExpectDateText({
      {"  2/29/2024  ", Day(2024, 2, 29)},   {"01/02/2026", Day(2026, 1, 2)},
      {"1/1/29", Day(2029, 1, 1)},           {"1/1/30", Day(1930, 1, 1)},  // two-digit years: 1930-2029
      {"2026-12-06", Day(2026, 12, 6)},      {"6-dec-26", Day(2026, 12, 6)},
      {"06-DECEMBER-2026", Day(2026, 12, 6)}, {"December 6, 2026", Day(2026, 12, 6)},
      {"dec 6 2026", Day(2026, 12, 6)},
  });
}

TEST(DateParsing, DatesWithTimesAndTimesAlone) {
  ExpectDateText({
      {"12/6/2026 3:04:05 PM", Day(2026, 12, 6, 15, 4, 5)},  {"12/6/2026 12:00:00 AM", Day(2026, 12, 6)},
      {"12/6/2026 12:30 pm", Day(2026, 12, 6, 12, 30)},      {"2026-12-06 23:59:59", Day(2026, 12, 6, 23, 59, 59)},
      {"Dec 6, 2026 9:15am", Day(2026, 12, 6, 9, 15)},       {"3:04:05 PM", Day(1899, 12, 30, 15, 4, 5)},
  });
  EXPECT_DOUBLE_EQ(ParseDate("12/29/1899 6:00 AM")->SerialNumber(), -1.25);
  EXPECT_DOUBLE_EQ(ParseDate("18:00")->SerialNumber(), 0.75);
}

TEST(DateParsing, ImpossibleOrForeignTextsAreNoDates) {
  // "2/30/2026" is not read in another field order.
  ExpectDateText({
      {"", std::nullopt},                 {"2/30/2026", std::nullopt},           {"13/1/2026", std::nullopt},
      {"1/1/5", std::nullopt},            {"12/6", std::nullopt},                {"12/31/10000", std::nullopt},
      {"2026-13-01", std::nullopt},       {"6-Foo-2026", std::nullopt},          {"12/6/2026 24:00", std::nullopt},
      {"12/6/2026 13:00 PM", std::nullopt}, {"12/6/2026 3:60", std::nullopt},    {"12.6.2026", std::nullopt},
      {"12/6/2026 3:04 PM extra", std::nullopt}, {"45000", std::nullopt},
  });
}

TEST(DateParsing, PrintedDatesReadBack) {
  for (double serial : {46362.6430671296, -1.25, 0.75, 2958465.5, -657434.0}) {
    const Date d(serial);
    const auto back = ParseDate(d.ToString());
    ASSERT_TRUE(back.has_value()) << d.ToString();
    EXPECT_EQ(back->ToCalendar(), d.ToCalendar()) << d.ToString();
  }
}

TEST(DateConversion, CDateOfOtherKinds) {
  EXPECT_EQ(CDate(Variant(46362.5)), Date(46362.5));
  EXPECT_EQ(CDate(Variant(true)), Date(-1));
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant(3e6)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant::Null()); }), err::InvalidUseOfNull);
  EXPECT_FALSE(IsDate(Variant(46362)));  // a number converts but is no date
}

// A Date value made from any serial number is checked where it enters a conversion: NaN, an
// infinity or a day beyond the runtime's range stops there with Overflow instead of travelling on
// until it is printed.
TEST(DateConversion, DateValuesOutsideTheRangeAreRefusedWhereTheyEnter) {
  for (const double serial : {std::nan(""), HUGE_VAL, -HUGE_VAL, 2958466.0, -657435.0}) {
    EXPECT_EQ(ErrorNumberOf([&] { CDate(Variant(Date(serial))); }), err::Overflow) << serial;
    EXPECT_FALSE(IsDate(Variant(Date(serial)))) << serial;
  }
  EXPECT_EQ(CDate(Variant(Date(2958465.5))), Date(2958465.5));  // the last day of 9999, at noon
  EXPECT_TRUE(IsDate(Variant(Date(-657434.0))));                 // 1 January 100
}

}  // namespace
}  // namespace tamarind
