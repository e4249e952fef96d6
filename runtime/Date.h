#pragma once
// The runtime's Date: a serial number of days since 30 December 1899 (day 0), held in a double.
// The whole part counts days (negative before day 0), the fraction is the time of day as a part of
// 24 hours; for negative serials the fraction still counts forward from midnight, so -1.25 is
// 29 December 1899 06:00. Valid dates run from 1 January 100 to 31 December 9999.

#include <compare>
#include <cstdint>
#include <string>

namespace tamarind {

struct CalendarDate {
  int32_t Year = 1899, Month = 12, Day = 30;   // Month 1-12, Day 1-31
  int32_t Hour = 0, Minute = 0, Second = 0;    // 24-hour clock
  bool operator==(const CalendarDate&) const = default;
};

class Date {
 public:
  constexpr Date() = default;
  constexpr explicit Date(double serial) : serial_(serial) {}

  // A calendar date and time; Error 5 for a field out of its range or a date outside 100-9999.
  static Date FromCalendar(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                           int32_t second = 0);
  static Date FromCalendar(const CalendarDate& c);
  // The runtime's DateSerial/TimeSerial arithmetic: months and days out of range roll over into the
  // next or previous year or month (month 13 of 2020 is January 2021). Error 5 outside 100-9999.
  static Date Serial(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                     int32_t second = 0);

  constexpr double SerialNumber() const { return serial_; }
  // Rounded to the nearest second (23:59:59.5 is the next midnight). This and everything below
  // raise Error 5 for a serial number outside the valid dates.
  CalendarDate ToCalendar() const;
  int32_t Year() const { return ToCalendar().Year; }
  int32_t Month() const { return ToCalendar().Month; }
  int32_t Day() const { return ToCalendar().Day; }
  int32_t Hour() const { return ToCalendar().Hour; }
  int32_t Minute() const { return ToCalendar().Minute; }
  int32_t Second() const { return ToCalendar().Second; }
  int32_t Weekday() const;  // 1 = Sunday ... 7 = Saturday
  bool HasTime() const;     // a time of day other than midnight
  Date DatePart() const;    // midnight of the same day

  // The default text form (en-US): "12/6/2026" at midnight, "12/6/2026 3:04:05 PM" otherwise,
  // and the time alone ("3:04:05 PM") for a time on day 0, as the runtime prints it (day 0 at
  // midnight is "12:00:00 AM"). Years before 1000 have no leading zeros ("1/1/100").
  std::string ToString() const;

  friend constexpr bool operator==(Date a, Date b) { return a.serial_ == b.serial_; }
  friend constexpr auto operator<=>(Date a, Date b) { return a.serial_ <=> b.serial_; }

 private:
  double serial_ = 0.0;
};

}  // namespace tamarind
