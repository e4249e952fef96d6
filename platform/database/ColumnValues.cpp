#include "platform/database/ColumnValues.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::database {

namespace {

bool ContainsNoCase(std::string_view hay, std::string_view needle) {
  if (needle.size() > hay.size()) return false;
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
    size_t j = 0;
    while (j < needle.size() &&
           std::toupper(static_cast<unsigned char>(hay[i + j])) == static_cast<unsigned char>(needle[j]))
      ++j;
    if (j == needle.size()) return true;
  }
  return false;
}

// Reads exactly n digits at pos.
bool Digits(std::string_view s, size_t& pos, size_t n, int32_t& out) {
  if (pos + n > s.size()) return false;
  out = 0;
  for (size_t i = 0; i < n; ++i) {
    const char c = s[pos + i];
    if (c < '0' || c > '9') return false;
    out = out * 10 + (c - '0');
  }
  pos += n;
  return true;
}

bool Expect(std::string_view s, size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

// "hh:mm[:ss[.fff]]" at pos, as a fraction of a day.
bool ParseTime(std::string_view s, size_t& pos, double& dayFraction) {
  int32_t h = 0, m = 0, sec = 0;
  if (!Digits(s, pos, 2, h) || !Expect(s, pos, ':') || !Digits(s, pos, 2, m)) return false;
  double fraction = 0;
  if (pos < s.size() && s[pos] == ':') {
    ++pos;
    if (!Digits(s, pos, 2, sec)) return false;
    if (pos < s.size() && s[pos] == '.') {
      ++pos;
      double scale = 0.1;
      const size_t start = pos;
      while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        fraction += (s[pos] - '0') * scale;
        scale /= 10;
        ++pos;
      }
      if (pos == start) return false;
    }
  }
  if (h > 23 || m > 59 || sec > 59) return false;
  dayFraction = (h * 3600.0 + m * 60.0 + sec + fraction) / 86400.0;
  return true;
}

std::optional<Date> FromSerial(double serial) {
  // 1 January 100 and the end of 31 December 9999.
  constexpr double first = -657434, last = 2958466;
  if (!std::isfinite(serial) || serial < first || serial >= last) return std::nullopt;
  return Date(serial);
}

}  // namespace

DeclaredKind KindOfDeclaredType(std::string_view declaredType) {
  if (ContainsNoCase(declaredType, "DATE") || ContainsNoCase(declaredType, "TIME")) return DeclaredKind::Date;
  if (ContainsNoCase(declaredType, "BOOL")) return DeclaredKind::Boolean;
  return DeclaredKind::Plain;
}

Variant IntegerValue(int64_t v) {
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
  constexpr int64_t exact = int64_t{1} << 53;
  if (v >= -exact && v <= exact) return Variant(static_cast<double>(v));
  return Variant(std::to_string(v));
}

std::optional<Date> ParseDateText(std::string_view s) {
  size_t pos = 0;
  double fraction = 0;
  // A time alone.
  if (s.size() >= 3 && s[2] == ':') {
    if (!ParseTime(s, pos, fraction) || pos != s.size()) return std::nullopt;
    return Date(fraction);
  }
  int32_t y = 0, mo = 0, d = 0;
  if (!Digits(s, pos, 4, y) || !Expect(s, pos, '-') || !Digits(s, pos, 2, mo) || !Expect(s, pos, '-') ||
      !Digits(s, pos, 2, d))
    return std::nullopt;
  if (pos < s.size()) {
    if (s[pos] != ' ' && s[pos] != 'T') return std::nullopt;
    ++pos;
    if (!ParseTime(s, pos, fraction)) return std::nullopt;
    if (pos < s.size() && s[pos] == 'Z') ++pos;
    if (pos != s.size()) return std::nullopt;
  }
  if (y < 100) return std::nullopt;
  try {
    const Date day = Date::FromCalendar(y, mo, d);
    return Date(day.SerialNumber() + fraction);
  } catch (const Error&) {
    return std::nullopt;
  }
}

std::optional<Date> DateFromUnixSeconds(double seconds) {
  // 1970-01-01 is serial 25569.
  return FromSerial(25569.0 + seconds / 86400.0);
}

std::optional<Date> DateFromJulianDay(double julianDay) {
  // Julian day 2415018.5 is midnight starting 30 December 1899, serial 0.
  return FromSerial(julianDay - 2415018.5);
}

Variant DecimalValue(std::string_view text) {
  int32_t significant = 0;
  bool leading = true, digits = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits = true;
      if (c != '0') leading = false;
      if (!leading) ++significant;
    } else if (c != '.' && c != '-' && c != '+') {
      return Variant(std::string(text));  // an exponent or anything else: keep the text as written
    }
  }
  if (!digits || significant > 15) return Variant(std::string(text));
  double v = 0;
  const char* first = text.data();
  if (!text.empty() && text.front() == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v);
  if (ec != std::errc() || ptr != text.data() + text.size()) return Variant(std::string(text));
  return Variant(v);
}

}  // namespace tamarind::database
