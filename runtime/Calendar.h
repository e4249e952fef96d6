#pragma once
// Calendar arithmetic behind Date (proleptic Gregorian calendar, day 0 = 30 December 1899).
// Used by Date and by the date parser, which must check a date without raising.

#include <cstdint>
#include <optional>

namespace tamarind::calendar {

constexpr bool IsLeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int32_t DaysInMonth(int64_t y, int32_t m) {
  constexpr int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// The day number of a date (month 1-12, day 1-31; not checked).
constexpr int64_t DayNumber(int64_t y, int32_t m, int32_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 719468: 1 March 0 to 1970; 25569: 1899-12-30 to 1970
}

struct YearMonthDay {
  int32_t year, month, day;
};

constexpr YearMonthDay FromDayNumber(int64_t dayNumber) {
  const int64_t z = dayNumber - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const auto day = static_cast<int32_t>(doy - (153 * mp + 2) / 5 + 1);
  const auto month = static_cast<int32_t>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int32_t>(yoe + era * 400 + (month <= 2 ? 1 : 0)), month, day};
}

inline constexpr int64_t kFirstDay = DayNumber(100, 1, 1);     // 1 January 100
inline constexpr int64_t kLastDay = DayNumber(9999, 12, 31);  // 31 December 9999
inline constexpr int32_t kSecondsPerDay = 86400;

static_assert(DayNumber(1899, 12, 30) == 0);
static_assert(kFirstDay == -657434 && kLastDay == 2958465);

// The serial number of a day and a time of day: the fraction counts forward from midnight also
// for days before day 0.
constexpr double Serial(int64_t dayNumber, int32_t secondsOfDay) {
  const double fraction = static_cast<double>(secondsOfDay) / kSecondsPerDay;
  return dayNumber >= 0 ? static_cast<double>(dayNumber) + fraction : static_cast<double>(dayNumber) - fraction;
}

// A serial number as a day and a time of day rounded to the second; nullopt for a serial number
// outside the valid dates (or not a number).
struct DayAndTime {
  int64_t day;
  int32_t seconds;
};
std::optional<DayAndTime> Split(double serial);

// Whether the fields form a valid date and time within 100-9999.
constexpr bool IsValid(int64_t y, int32_t mo, int32_t d, int32_t h, int32_t mi, int32_t s) {
  return y >= 100 && y <= 9999 && mo >= 1 && mo <= 12 && d >= 1 && d <= DaysInMonth(y, mo) && h >= 0 && h <= 23 &&
         mi >= 0 && mi <= 59 && s >= 0 && s <= 59;
}

}  // namespace tamarind::calendar
