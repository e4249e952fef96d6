#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

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
      {"12/6/2026", Day(2026, 12, 6)},
      {"01/02/2026", Day(2026, 1, 2)},
      {"  2/29/2024  ", Day(2024, 2, 29)},
      {"2026-12-06", Day(2026, 12, 6)},
      {"2026-1-2", Day(2026, 1, 2)},
      {"6-Dec-2026", Day(2026, 12, 6)},
      {"6-dec-26", Day(2026, 12, 6)},
      {"06-DECEMBER-2026", Day(2026, 12, 6)},
      {"December 6, 2026", Day(2026, 12, 6)},
      {"Dec 6, 2026", Day(2026, 12, 6)},
      {"dec 6 2026", Day(2026, 12, 6)},
      {"Sep 30,2026", Day(2026, 9, 30)},
      {"1/1/100", Day(100, 1, 1)},
      {"12/31/9999", Day(9999, 12, 31)},
  });
}

TEST(DateParsing, TwoDigitYearsUseTheWindow) {
  ExpectDateText({
      {"1/1/00", Day(2000, 1, 1)},
      {"1/1/29", Day(2029, 1, 1)},
      {"1/1/30", Day(1930, 1, 1)},
      {"1/1/99", Day(1999, 1, 1)},
      {"Mar 5, 45", Day(1945, 3, 5)},
  });
}

TEST(DateParsing, DatesWithTimes) {
  ExpectDateText({
      {"12/6/2026 3:04:05 PM", Day(2026, 12, 6, 15, 4, 5)},
      {"12/6/2026 15:04", Day(2026, 12, 6, 15, 4)},
      {"12/6/2026 12:00:00 AM", Day(2026, 12, 6)},
      {"12/6/2026 12:30 pm", Day(2026, 12, 6, 12, 30)},
      {"2026-12-06 23:59:59", Day(2026, 12, 6, 23, 59, 59)},
      {"Dec 6, 2026 9:15am", Day(2026, 12, 6, 9, 15)},
      {"12/29/1899 6:00 AM", Day(1899, 12, 29, 6)},
  });
  EXPECT_DOUBLE_EQ(ParseDate("12/29/1899 6:00 AM")->SerialNumber(), -1.25);
}

TEST(DateParsing, ATimeAloneIsOnDayZero) {
  ExpectDateText({
      {"3:04:05 PM", Day(1899, 12, 30, 15, 4, 5)},
      {"0:00", Day(1899, 12, 30)},
      {"23:59", Day(1899, 12, 30, 23, 59)},
      {"12:00 AM", Day(1899, 12, 30)},
  });
  EXPECT_DOUBLE_EQ(ParseDate("18:00")->SerialNumber(), 0.75);
}

TEST(DateParsing, ImpossibleOrForeignTextsAreNoDates) {
  ExpectDateText({
      {"", std::nullopt},
      {"2/30/2026", std::nullopt},  // not read as another order
      {"13/1/2026", std::nullopt},
      {"2/29/2026", std::nullopt},
      {"0/1/2026", std::nullopt},
      {"1/1/99999", std::nullopt},
      {"1/1/5", std::nullopt},
      {"12/6", std::nullopt},
      {"12/31/10000", std::nullopt},
      {"1/1/0099", std::nullopt},
      {"2026-13-01", std::nullopt},
      {"26-12-06", std::nullopt},
      {"6-Foo-2026", std::nullopt},
      {"Smarch 6, 2026", std::nullopt},
      {"Dec 62026", std::nullopt},
      {"12/6/2026 24:00", std::nullopt},
      {"12/6/2026 13:00 PM", std::nullopt},
      {"12/6/2026 0:30 AM", std::nullopt},
      {"12/6/2026 3:60", std::nullopt},
      {"12/6/2026 3:04:60", std::nullopt},
      {"12/6/2026 3 PM", std::nullopt},
      {"12/6/2026 3:04 XM", std::nullopt},
      {"12/6/2026x", std::nullopt},
      {"12/6/2026 3:04 PM extra", std::nullopt},
      {"12.6.2026", std::nullopt},
      {"45000", std::nullopt},
      {"hello", std::nullopt},
  });
}

TEST(DateParsing, PrintedDatesReadBack) {
  for (double serial : {46362.0, 46362.6430671296, -1.25, 0.75, 2958465.5, -657434.0}) {
    const Date d(serial);
    const auto back = ParseDate(d.ToString());
    ASSERT_TRUE(back.has_value()) << d.ToString();
    EXPECT_EQ(back->ToCalendar(), d.ToCalendar()) << d.ToString();
  }
}

TEST(DateConversion, CDateOfOtherKinds) {
  EXPECT_EQ(CDate(Variant(46362.5)), Date(46362.5));
  EXPECT_EQ(CDate(Variant(1)), Date(1));
  EXPECT_EQ(CDate(Variant(true)), Date(-1));
  EXPECT_EQ(CDate(Variant()), Date(0));
  EXPECT_EQ(CDate(Variant(Date(7))), Date(7));
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant(3e6)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant(-700000)); }), err::Overflow);
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant::Null()); }), err::InvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { CDate(Variant::Nothing()); }), err::TypeMismatch);
  EXPECT_TRUE(IsDate(Variant(Date(3))));
  EXPECT_FALSE(IsDate(Variant(46362)));
  EXPECT_FALSE(IsDate(Variant()));
  EXPECT_FALSE(IsDate(Variant::Null()));
}

}  // namespace
}  // namespace tamarind
