#include "runtime/Date.h"

#include <gtest/gtest.h>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

constexpr double kSecond = 1.0 / 86400.0;

TEST(DateSerial, CalendarDatesMapToDaysSinceDayZero) {
  EXPECT_EQ(Date::FromCalendar(1899, 12, 30).SerialNumber(), 0.0);
  EXPECT_EQ(Date::FromCalendar(1900, 3, 1).SerialNumber(), 61.0);  // no 29 February 1900
  EXPECT_EQ(Date::FromCalendar(2000, 1, 1).SerialNumber(), 36526.0);
  EXPECT_EQ(Date::FromCalendar(2024, 2, 29).SerialNumber(), 45351.0);
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6).SerialNumber(), 46362.0);
  EXPECT_EQ(Date::FromCalendar(100, 1, 1).SerialNumber(), -657434.0);
  EXPECT_EQ(Date::FromCalendar(9999, 12, 31).SerialNumber(), 2958465.0);
  EXPECT_DOUBLE_EQ(Date::FromCalendar(2026, 12, 6, 18).SerialNumber(), 46362.75);
}

TEST(DateSerial, TimeBeforeDayZeroCountsForwardFromMidnight) {
  EXPECT_DOUBLE_EQ(Date::FromCalendar(1899, 12, 29, 6).SerialNumber(), -1.25);
  const CalendarDate c = Date(-1.25).ToCalendar();
  EXPECT_EQ(c, (CalendarDate{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(Date(-2.75).ToCalendar(), (CalendarDate{1899, 12, 28, 18, 0, 0}));
  // The fraction of a serial between -1 and 0 is a time on day 0.
  EXPECT_EQ(Date(-0.5).ToCalendar(), (CalendarDate{1899, 12, 30, 12, 0, 0}));
}

TEST(DateSerial, CalendarRoundTripsAcrossTheWholeRange) {
  for (double day = -657434; day <= 2958465; day += 997) {
    const Date d(day + 0.5);
    const CalendarDate c = d.ToCalendar();
    EXPECT_EQ(Date::FromCalendar(c), d) << day;
    EXPECT_EQ(c.Hour, 12);
  }
}

TEST(DateSerial, FieldsOutOfRangeAreInvalidArguments) {
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 2, 29); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 13, 1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 4, 31); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 1, 1, 24); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2026, 1, 1, 0, 60); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(99, 12, 31); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(10000, 1, 1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2000, 2, 29); }), 0);
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(1900, 2, 29); }), err::InvalidProcedureCall);
}

TEST(DateSerial, SerialRollsMonthsDaysAndTimesOver) {
  EXPECT_EQ(Date::Serial(2020, 13, 1), Date::FromCalendar(2021, 1, 1));
  EXPECT_EQ(Date::Serial(2021, 0, 1), Date::FromCalendar(2020, 12, 1));
  EXPECT_EQ(Date::Serial(2021, -13, 1), Date::FromCalendar(2019, 11, 1));
  EXPECT_EQ(Date::Serial(2021, 3, 0), Date::FromCalendar(2021, 2, 28));
  EXPECT_EQ(Date::Serial(2024, 2, 30), Date::FromCalendar(2024, 3, 1));
  EXPECT_EQ(Date::Serial(2020, 1, 1, 25), Date::FromCalendar(2020, 1, 2, 1));
  EXPECT_EQ(Date::Serial(2020, 1, 1, 0, 0, -1), Date::FromCalendar(2019, 12, 31, 23, 59, 59));
  EXPECT_EQ(Date::Serial(1899, 12, 30, -18), Date::FromCalendar(1899, 12, 29, 6));
  EXPECT_EQ(Date::Serial(10000, -11, 1), Date::FromCalendar(9999, 1, 1));
  EXPECT_EQ(ErrorNumberOf([] { Date::Serial(9999, 12, 32); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Date::Serial(100, 1, 0); }), err::InvalidProcedureCall);
}

TEST(DateParts, ReadingRoundsToTheNearestSecond) {
  const double tenOClock = 46362 + 10.0 / 24;
  EXPECT_EQ(Date(tenOClock - 0.4 * kSecond).ToCalendar(), (CalendarDate{2026, 12, 6, 10, 0, 0}));
  EXPECT_EQ(Date(tenOClock + 0.6 * kSecond).Second(), 1);
  // 23:59:59.6 is the next midnight.
  const Date late(46362 + 86399.6 * kSecond);
  EXPECT_EQ(late.ToCalendar(), (CalendarDate{2026, 12, 7, 0, 0, 0}));
  EXPECT_FALSE(late.HasTime());
  EXPECT_EQ(late.DatePart(), Date(46363));
}

TEST(DateParts, WeekdayStartsOnSunday) {
  EXPECT_EQ(Date(0).Weekday(), 7);                                 // 30 December 1899, a Saturday
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6).Weekday(), 1);         // Sunday
  EXPECT_EQ(Date::FromCalendar(2024, 2, 29, 23, 59).Weekday(), 5);  // Thursday
  EXPECT_EQ(Date(-1.25).Weekday(), 6);                              // Friday 29 December 1899
}

TEST(DateParts, DatePartAndHasTime) {
  EXPECT_TRUE(Date(46362.75).HasTime());
  EXPECT_FALSE(Date(46362).HasTime());
  EXPECT_EQ(Date(46362.75).DatePart(), Date(46362));
  EXPECT_EQ(Date(-1.25).DatePart(), Date(-1));
  EXPECT_EQ(Date(-1.25).Year(), 1899);
  EXPECT_EQ(Date(-1.25).Month(), 12);
  EXPECT_EQ(Date(-1.25).Day(), 29);
  EXPECT_EQ(Date(-1.25).Hour(), 6);
  EXPECT_EQ(Date(-1.25).Minute(), 0);
}

TEST(DateText, DefaultFormIsMonthDayYearWithTwelveHourTime) {
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6).ToString(), "12/6/2026");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 15, 4, 5).ToString(), "12/6/2026 3:04:05 PM");
  EXPECT_EQ(Date::FromCalendar(2026, 1, 2, 9, 30, 0).ToString(), "1/2/2026 9:30:00 AM");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 12, 0, 0).ToString(), "12/6/2026 12:00:00 PM");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 0, 0, 1).ToString(), "12/6/2026 12:00:01 AM");
  EXPECT_EQ(Date::FromCalendar(2026, 12, 6, 23, 59, 59).ToString(), "12/6/2026 11:59:59 PM");
  EXPECT_EQ(Date(-1.25).ToString(), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(Date::FromCalendar(100, 1, 1).ToString(), "1/1/100");
}

TEST(DateText, DayZeroPrintsTheTimeAlone) {
  EXPECT_EQ(Date::FromCalendar(1899, 12, 30, 15, 4, 5).ToString(), "3:04:05 PM");
  EXPECT_EQ(Date(0.5).ToString(), "12:00:00 PM");
  EXPECT_EQ(Date(0).ToString(), "12:00:00 AM");
  EXPECT_EQ(Date(1).ToString(), "12/31/1899");
}

TEST(DateText, SerialsOutsideTheValidDatesCannotBeRead) {
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(2958466).ToString(); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(-657435).ToCalendar(); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(1e300).Year(); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(2958465.99999).ToString(); }), 0);  // last second of 9999
}

}  // namespace
}  // namespace tamarind
