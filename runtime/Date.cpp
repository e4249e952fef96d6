#include "runtime/Date.h"

#include <cmath>

#include "runtime/Calendar.h"
#include "runtime/Error.h"

namespace tamarind {

namespace calendar {

std::optional<DayAndTime> Split(double serial) {
  if (!std::isfinite(serial)) return std::nullopt;
  const double whole = std::trunc(serial);
  if (whole < static_cast<double>(kFirstDay) || whole > static_cast<double>(kLastDay)) return std::nullopt;
  auto day = static_cast<int64_t>(whole);
  const double fraction = std::fabs(serial - whole);  // removing the whole part is exact
  auto seconds = static_cast<int32_t>(std::lround(fraction * kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    // Rounded up to the next midnight; the last second of the last day stays where it is.
    if (day == kLastDay) {
      seconds = kSecondsPerDay - 1;
    } else {
      seconds = 0;
      ++day;
    }
  }
  return DayAndTime{day, seconds};
}

}  // namespace calendar

namespace {

calendar::DayAndTime SplitOrRaise(double serial) {
  auto parts = calendar::Split(serial);
  if (!parts) Raise(err::InvalidProcedureCall, "Date");
  return *parts;
}

void AppendTwoDigits(std::string& out, int32_t v) {
  out.push_back(static_cast<char>('0' + v / 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

}  // namespace

Date Date::FromCalendar(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  if (!calendar::IsValid(year, month, day, hour, minute, second)) Raise(err::InvalidProcedureCall, "Date");
  return Date(calendar::Serial(calendar::DayNumber(year, month, day), hour * 3600 + minute * 60 + second));
}

Date Date::FromCalendar(const CalendarDate& c) {
  return FromCalendar(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second);
}

Date Date::Serial(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute, int32_t second) {
  // Months roll into years first, then days and seconds are counted from the first of that month.
  const int64_t months = static_cast<int64_t>(year) * 12 + (static_cast<int64_t>(month) - 1);
  const int64_t y = months >= 0 ? months / 12 : -((-months + 11) / 12);
  const auto m = static_cast<int32_t>(months - y * 12 + 1);
  if (y < 0 || y > 1'000'000) Raise(err::InvalidProcedureCall, "Date");  // far outside; keeps the sums small
  const int64_t firstOfMonth = calendar::DayNumber(y, m, 1);
  const int64_t seconds = (firstOfMonth + (static_cast<int64_t>(day) - 1)) * calendar::kSecondsPerDay +
                          static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
  int64_t dayNumber = seconds / calendar::kSecondsPerDay;
  int64_t secondsOfDay = seconds % calendar::kSecondsPerDay;
  if (secondsOfDay < 0) {
    secondsOfDay += calendar::kSecondsPerDay;
    --dayNumber;
  }
  if (dayNumber < calendar::kFirstDay || dayNumber > calendar::kLastDay) Raise(err::InvalidProcedureCall, "Date");
  return Date(calendar::Serial(dayNumber, static_cast<int32_t>(secondsOfDay)));
}

CalendarDate Date::ToCalendar() const {
  const calendar::DayAndTime parts = SplitOrRaise(serial_);
  const calendar::YearMonthDay ymd = calendar::FromDayNumber(parts.day);
  return CalendarDate{ymd.year, ymd.month, ymd.day, parts.seconds / 3600, parts.seconds / 60 % 60, parts.seconds % 60};
}

int32_t Date::Weekday() const {
  const int64_t day = SplitOrRaise(serial_).day;  // day 0 was a Saturday
  return static_cast<int32_t>(((day % 7) + 7 + 6) % 7) + 1;
}

bool Date::HasTime() const { return SplitOrRaise(serial_).seconds != 0; }

Date Date::DatePart() const { return Date(static_cast<double>(SplitOrRaise(serial_).day)); }

std::string Date::ToString() const {
  const calendar::DayAndTime parts = SplitOrRaise(serial_);
  std::string out;
  if (parts.day != 0) {
    const calendar::YearMonthDay ymd = calendar::FromDayNumber(parts.day);
    out = std::to_string(ymd.month) + '/' + std::to_string(ymd.day) + '/' + std::to_string(ymd.year);
    if (parts.seconds == 0) return out;
    out.push_back(' ');
  }
  const int32_t hour = parts.seconds / 3600;
  const int32_t hour12 = hour % 12 == 0 ? 12 : hour % 12;
  out += std::to_string(hour12);
  out.push_back(':');
  AppendTwoDigits(out, parts.seconds / 60 % 60);
  out.push_back(':');
  AppendTwoDigits(out, parts.seconds % 60);
  out += hour < 12 ? " AM" : " PM";
  return out;
}

}  // namespace tamarind
