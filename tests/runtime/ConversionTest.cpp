// Numbers and dates: their text forms, conversions, rounding and ranges.

#include "runtime/Conversions.h"
#include "runtime/Date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

struct NumberCase {
  const char* text;
  std::optional<double> value;
};

// Every text is checked three ways: ParseNumber, IsNumeric and CDbl must agree.
void ExpectNumberText(const std::vector<NumberCase>& cases) {
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    const std::optional<double> parsed = ParseNumber(c.text);
    EXPECT_EQ(parsed.has_value(), c.value.has_value());
    EXPECT_EQ(IsNumeric(Variant(c.text)), c.value.has_value());
    if (c.value) {
      EXPECT_DOUBLE_EQ(parsed.value_or(NAN), *c.value);
      EXPECT_DOUBLE_EQ(CDbl(Variant(c.text)), *c.value);
    } else {
      EXPECT_EQ(ErrorNumberOf([&] { CDbl(Variant(c.text)); }), err::TypeMismatch);
    }
  }
}

TEST(NumberText, AcceptedAndRejectedFormsAndValuesBeyondADouble) {
  ExpectNumberText({
      {"  42  ", 42},  {"+5", 5},       {"5-", -5},           {"- 5", -5},        {".5", 0.5},
      {"5.", 5},       {"1.5E+3", 1500}, {"-1.5e-3", -0.0015}, {"$ 1,200", 1200},  {"-$5", -5},
      {"5$", 5},       {"($5.50)", -5.5}, {"( 5 )", -5},       {"12,345.6", 12345.6},
      {"1,2", 12},  // separators are accepted anywhere between two digits of the whole part
  });
  for (const char* bad : {"", "abc", ".", "$", ",5", "1,,2", "1,", "1.2,3", "1.2.3", "--5", "-5-", "(-5)", "(5", "$$5",
                          "1e+", "1 2", "0x10", "\t5"})
    ExpectNumberText({{bad, std::nullopt}});
  EXPECT_FALSE(IsNumeric(Variant("1E400")));
  EXPECT_EQ(ErrorNumberOf([] { CDbl(Variant("1E400")); }), err::Overflow);
  EXPECT_EQ(ParseNumber("1E-400"), 0.0);
  EXPECT_EQ(ParseNumber("1.7976931348623157E308"), std::numeric_limits<double>::max());
  EXPECT_TRUE(IsNumeric(Variant()));
  EXPECT_FALSE(IsNumeric(Variant::Null()));
  EXPECT_FALSE(IsNumeric(Variant(Date(5))));
}

TEST(WholeNumberRounding, CIntCLngAndIntegerDivisionRoundHalvesToEvenAndCheckTheirRange) {
  // The exact ends of each range convert; one past them overflows, from numbers and from text.
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min(), kMax = std::numeric_limits<int32_t>::max();
  using Cases = std::vector<std::pair<Variant, int32_t>>;
  for (const auto& [v, want] : Cases{{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-32768.5, -32768}, {int32_t{32767}, 32767},
                                     {"32767", 32767}, {32767.49, 32767}, {"-32768", -32768}})
    EXPECT_EQ(CInt(v), want) << CStr(v);
  for (const auto& [v, want] : Cases{{2147483647.0, kMax}, {"2147483647", kMax}, {"-2147483648", kMin}, {1507.5, 1508},
                                     {1508.5, 1508}, {Date(46362.75), 46363}, {-2147483648.5, kMin}})
    EXPECT_EQ(CLng(v), want) << CStr(v);
  for (const Variant& v : {Variant(32767.5), Variant("32768"), Variant(int32_t{-32769})})
    EXPECT_EQ(ErrorNumberOf([&] { CInt(v); }), err::Overflow) << CStr(v);
  for (const Variant& v : {Variant("2147483648"), Variant(-2147483649.0), Variant(2147483647.5), Variant(NAN)})
    EXPECT_EQ(ErrorNumberOf([&] { CLng(v); }), err::Overflow) << CStr(v);
  EXPECT_EQ(ErrorNumberOf([] { CLng(Variant::Null()); }), err::InvalidUseOfNull);
  // 1507.5 \ 15 is 1508 \ 15; -7.5 \ 2 is -8 \ 2; 10 \ 3.5 is 10 \ 4; 0.4 rounds to 0.
  using Divisions = std::vector<std::tuple<double, double, int32_t>>;
  for (const auto& [a, b, want] :
       Divisions{{1507.5, 15, 100}, {1499, 15, 99}, {-7.5, 2, -4}, {7, -2, -3}, {10, 3.5, 2}})
    EXPECT_EQ(IntDiv(a, b), want) << a << " \\ " << b;
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(5, 0); }), err::DivisionByZero);
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(5, 0.4); }), err::DivisionByZero);
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(3e9, 2); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { IntDiv(-2147483648.0, -1); }), err::Overflow);
}

TEST(NumberFormat, DoublesPrintWithFifteenDigitsSinglesWithSevenAndOtherKindsConvert) {
  const std::pair<double, const char*> doubles[] = {
      {0.1 + 0.2, "0.3"}, {-0.0, "0"}, {2.0 / 3, "0.666666666666667"}, {999999999999999.0, "999999999999999"},
      {999999999999999.9, "1E+15"},  // rounds up into exponent form
      {1.25e20, "1.25E+20"}, {1e100, "1E+100"}, {0.0001, "0.0001"}, {-0.000015, "-1.5E-05"},
      {std::numeric_limits<double>::max(), "1.79769313486232E+308"},
  };
  for (const auto& [d, text] : doubles) EXPECT_EQ(FormatDouble(d), text);
  EXPECT_EQ(FormatSingle(1.0f / 3), "0.3333333");
  EXPECT_EQ(FormatSingle(12345678.0f), "1.234568E+07");
  for (double d : {1.0 / 7, -123.456, 1e-10, 6.02214076e23}) {
    EXPECT_NEAR(*ParseNumber(FormatDouble(d)), d, std::fabs(d) * 1e-14) << d;
  }
  for (const auto& [v, text] : std::vector<std::pair<Variant, const char*>>{
           {Variant(), ""}, {true, "True"}, {std::numeric_limits<int32_t>::min(), "-2147483648"}, {1e15, "1E+15"},
           {Date(46362.5), "12/6/2026 12:00:00 PM"}})
    EXPECT_EQ(CStr(v), text);
  EXPECT_EQ(ErrorNumberOf([] { CStr(Variant::Null()); }), err::InvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { CStr(Variant::Nothing()); }), err::TypeMismatch);
  EXPECT_TRUE(CBool(Variant(" tRUE ")));
  EXPECT_TRUE(CBool(Variant("0.5")));
  EXPECT_EQ(ErrorNumberOf([] { CBool(Variant("yes")); }), err::TypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { CSng(Variant(1e39)); }), err::Overflow);
  EXPECT_EQ(CDbl(Variant(Date(46362.25))), 46362.25);
  EXPECT_EQ(ErrorNumberOf([] { CDbl(Variant(std::make_shared<Object>())); }), err::TypeMismatch);
}

constexpr double kSecond = 1.0 / 86400.0;

CalendarDate Day(int32_t y, int32_t m, int32_t d, int32_t h = 0, int32_t mi = 0, int32_t s = 0) {
  return CalendarDate{y, m, d, h, mi, s};
}

TEST(DateSerial, CalendarDatesMapToDaysSinceDayZeroAndBackWithinTheRangeToTheSecond) {
  // No 29 February 1900; 1 January 100 and 31 December 9999 are the ends of the range.
  for (const auto& [day, serial] : std::vector<std::pair<CalendarDate, double>>{
           {Day(1899, 12, 30), 0}, {Day(1900, 3, 1), 61}, {Day(2024, 2, 29), 45351}, {Day(100, 1, 1), -657434},
           {Day(9999, 12, 31), 2958465}, {Day(2026, 12, 6, 18), 46362.75}, {Day(1899, 12, 29, 6), -1.25}})
    EXPECT_DOUBLE_EQ(Date::FromCalendar(day).SerialNumber(), serial) << serial;
  for (double day = -657434; day <= 2958465; day += 997) {
    const Date d(day + 0.5);
    EXPECT_EQ(Date::FromCalendar(d.ToCalendar()), d) << day;
  }
  // Before day zero the time still counts forward from midnight.
  EXPECT_EQ(Date(-1.25).ToCalendar(), Day(1899, 12, 29, 6));
  EXPECT_EQ(Date(-0.5).ToCalendar(), Day(1899, 12, 30, 12));  // a time on day 0
  EXPECT_EQ(Date(-1.25).DatePart(), Date(-1));
  EXPECT_EQ(Date(-1.25).Weekday(), 6);  // Friday, weeks starting on Sunday
  for (const CalendarDate& bad :
       {Day(2026, 2, 29), Day(1900, 2, 29), Day(2026, 1, 1, 24), Day(99, 12, 31), Day(10000, 1, 1)})
    EXPECT_EQ(ErrorNumberOf([&] { Date::FromCalendar(bad); }), err::InvalidProcedureCall) << bad.Year;
  EXPECT_EQ(ErrorNumberOf([] { Date::FromCalendar(2000, 2, 29); }), 0);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(2958466).ToString(); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { (void)Date(-657435).ToCalendar(); }), err::InvalidProcedureCall);
  EXPECT_EQ(Date(46362 + 10.0 / 24 + 0.6 * kSecond).Second(), 1);
  const Date late(46362 + 86399.6 * kSecond);  // 23:59:59.6 is the next midnight
  EXPECT_EQ(late.ToCalendar(), Day(2026, 12, 7));
  EXPECT_FALSE(late.HasTime());
  EXPECT_EQ(late.DatePart(), Date(46363));
}

TEST(DateText, MonthDayYearWithTwelveHourTimeAndDayZeroAsTimeAlone) {
  for (const auto& [day, text] : std::vector<std::pair<CalendarDate, const char*>>{
           {Day(2026, 12, 6), "12/6/2026"}, {Day(2026, 12, 6, 15, 4, 5), "12/6/2026 3:04:05 PM"},
           {Day(2026, 12, 6, 12), "12/6/2026 12:00:00 PM"}, {Day(2026, 12, 6, 0, 0, 1), "12/6/2026 12:00:01 AM"},
           {Day(1899, 12, 29, 6), "12/29/1899 6:00:00 AM"}, {Day(1899, 12, 30, 15, 4, 5), "3:04:05 PM"},
           {Day(1899, 12, 30), "12:00:00 AM"}, {Day(1899, 12, 31), "12/31/1899"}})
    EXPECT_EQ(Date::FromCalendar(day).ToString(), text);
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

TEST(DateParsing, AcceptedAndImpossibleTextsAndPrintedDatesReadBack) {
  ExpectDateText({
      {"  2/29/2024  ", Day(2024, 2, 29)},   {"01/02/2026", Day(2026, 1, 2)},
      {"1/1/29", Day(2029, 1, 1)},           {"1/1/30", Day(1930, 1, 1)},  // two-digit years: 1930-2029
      {"2026-12-06", Day(2026, 12, 6)},      {"6-dec-26", Day(2026, 12, 6)},
      {"06-DECEMBER-2026", Day(2026, 12, 6)}, {"December 6, 2026", Day(2026, 12, 6)},
      {"dec 6 2026", Day(2026, 12, 6)},
      {"12/6/2026 3:04:05 PM", Day(2026, 12, 6, 15, 4, 5)},  {"12/6/2026 12:00:00 AM", Day(2026, 12, 6)},
      {"12/6/2026 12:30 pm", Day(2026, 12, 6, 12, 30)},      {"2026-12-06 23:59:59", Day(2026, 12, 6, 23, 59, 59)},
      {"Dec 6, 2026 9:15am", Day(2026, 12, 6, 9, 15)},       {"3:04:05 PM", Day(1899, 12, 30, 15, 4, 5)},
  });
  EXPECT_DOUBLE_EQ(ParseDate("12/29/1899 6:00 AM")->SerialNumber(), -1.25);
  EXPECT_DOUBLE_EQ(ParseDate("18:00")->SerialNumber(), 0.75);
  // "2/30/2026" is not read in another field order.
  for (const char* bad : {"", "2/30/2026", "13/1/2026", "1/1/5", "12/6", "12/31/10000", "2026-13-01", "6-Foo-2026",
                          "12/6/2026 24:00", "12/6/2026 13:00 PM", "12/6/2026 3:60", "12.6.2026", "45000",
                          "12/6/2026 3:04 PM extra"})
    ExpectDateText({{bad, std::nullopt}});
  for (double serial : {46362.6430671296, -1.25, 0.75, 2958465.5, -657434.0}) {
    const Date d(serial);
    const auto back = ParseDate(d.ToString());
    ASSERT_TRUE(back.has_value()) << d.ToString();
    EXPECT_EQ(back->ToCalendar(), d.ToCalendar()) << d.ToString();
  }
}

// A Date value made from any serial number is checked where it enters a conversion: NaN, an
// infinity or a day beyond the runtime's range stops there with Overflow instead of travelling on
// until it is printed.
TEST(DateConversion, CDateOfOtherKindsAndDatesOutsideTheRange) {
  EXPECT_EQ(CDate(Variant(46362.5)), Date(46362.5));
  EXPECT_EQ(CDate(Variant(true)), Date(-1));
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant(3e6)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant::Null()); }), err::InvalidUseOfNull);
  EXPECT_FALSE(IsDate(Variant(46362)));  // a number converts but is no date
  for (const double serial : {std::nan(""), HUGE_VAL, -HUGE_VAL, 2958466.0, -657435.0}) {
    EXPECT_EQ(ErrorNumberOf([&] { CDate(Variant(Date(serial))); }), err::Overflow) << serial;
    EXPECT_FALSE(IsDate(Variant(Date(serial)))) << serial;
  }
  EXPECT_EQ(CDate(Variant(Date(2958465.5))), Date(2958465.5));  // the last day of 9999, at noon
  EXPECT_TRUE(IsDate(Variant(Date(-657434.0))));                 // 1 January 100
}

}  // namespace
}  // namespace tamarind
