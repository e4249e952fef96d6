#include "runtime/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "runtime/Calendar.h"
#include "runtime/Error.h"

namespace tamarind {

namespace {

// --- reading text --------------------------------------------------------------------------------

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

// A cursor over the text being parsed.
struct Scanner {
  std::string_view s;
  size_t i = 0;

  bool AtEnd() const { return i >= s.size(); }
  char Peek(size_t ahead = 0) const { return i + ahead < s.size() ? s[i + ahead] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || AtEnd()) return false;
    ++i;
    return true;
  }
  size_t SkipSpaces() {
    const size_t from = i;
    while (!AtEnd() && s[i] == ' ') ++i;
    return i - from;
  }
  // A run of digits of minDigits to maxDigits; the value and the digit count, or nothing (and the
  // cursor unmoved) when the run is missing or too long.
  std::optional<std::pair<int32_t, size_t>> Number(size_t minDigits, size_t maxDigits) {
    size_t j = i;
    int32_t value = 0;
    while (j < s.size() && IsDigit(s[j])) {
      if (j - i >= maxDigits) return std::nullopt;
      value = value * 10 + (s[j] - '0');
      ++j;
    }
    const size_t count = j - i;
    if (count < minDigits) return std::nullopt;
    i = j;
    return std::pair{value, count};
  }
  std::string_view Word() {
    const size_t from = i;
    while (!AtEnd() && IsLetter(s[i])) ++i;
    return s.substr(from, i - from);
  }
};

// --- numbers -------------------------------------------------------------------------------------

enum class NumberStatus { Ok, Invalid, Overflow };

struct NumberResult {
  NumberStatus status = NumberStatus::Invalid;
  double value = 0.0;
};

// The one reader of numeric text; ParseNumber, IsNumeric and every C... conversion use it.
//
//   text     = spaces affix* core affix* spaces
//   affix    = sign | "$" | "(" (before the core) | ")" (after it), each followed by optional spaces
//   core     = whole ["." digits] [("E" | "e") [sign] digits]  with at least one digit before "E"
//   whole    = digits with "," allowed between two digits: "1,234" and also the loose "1,2" (12)
//
// At most one sign and one "$"; parentheses come as a pair, make the amount negative and exclude
// a sign.
NumberResult ReadNumber(std::string_view text) {
  Scanner sc{text};
  bool negative = false, haveSign = false, haveCurrency = false, openParen = false, closeParen = false;
  const auto takeSignOrCurrency = [&](char c) {
    if (c == '+' || c == '-') {
      if (haveSign || openParen) return false;
      haveSign = true;
      negative = c == '-';
      return true;
    }
    if (c == '$') {
      if (haveCurrency) return false;
      haveCurrency = true;
      return true;
    }
    return false;
  };

  sc.SkipSpaces();
  for (;; sc.SkipSpaces()) {
    const char c = sc.Peek();
    if (c == '+' || c == '-' || c == '$') {
      if (!takeSignOrCurrency(c)) return {};
    } else if (c == '(') {
      if (openParen || haveSign) return {};
      openParen = true;
    } else {
      break;
    }
    ++sc.i;
  }

  // The digits go to a plain "123.45e6" text for the standard reader.
  std::string plain;
  size_t wholeDigits = 0, fractionDigits = 0;
  while (!sc.AtEnd()) {
    const char c = sc.Peek();
    if (IsDigit(c)) {
      plain.push_back(c);
      ++wholeDigits;
    } else if (c == ',') {
      if (sc.i == 0 || !IsDigit(text[sc.i - 1]) || !IsDigit(sc.Peek(1))) return {};
    } else {
      break;
    }
    ++sc.i;
  }
  if (sc.Take('.')) {
    plain.push_back('.');
    while (IsDigit(sc.Peek())) {
      plain.push_back(sc.Peek());
      ++fractionDigits;
      ++sc.i;
    }
  }
  if (wholeDigits + fractionDigits == 0) return {};

  int64_t exponent = 0;
  if (sc.Peek() == 'e' || sc.Peek() == 'E') {
    ++sc.i;
    bool negativeExponent = false;
    if (sc.Peek() == '+' || sc.Peek() == '-') {
      negativeExponent = sc.Peek() == '-';
      ++sc.i;
    }
    if (!IsDigit(sc.Peek())) return {};
    while (IsDigit(sc.Peek())) {
      exponent = std::min<int64_t>(exponent * 10 + (sc.Peek() - '0'), 1'000'000);  // far beyond any double
      ++sc.i;
    }
    if (negativeExponent) exponent = -exponent;
    plain += 'e';
    plain += std::to_string(exponent);
  }

  for (sc.SkipSpaces(); !sc.AtEnd(); sc.SkipSpaces()) {
    const char c = sc.Peek();
    if (c == ')') {
      if (!openParen || closeParen) return {};
      closeParen = true;
    } else if (!takeSignOrCurrency(c)) {
      return {};
    }
    ++sc.i;
  }
  if (openParen != closeParen) return {};

  double value = 0.0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (end != plain.data() + plain.size()) return {};
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the decimal exponent of the first significant digit decides.
    const std::string_view digits = std::string_view(plain).substr(0, plain.find('e'));
    const size_t first = digits.find_first_of("123456789");
    const size_t point = std::min(digits.find('.'), digits.size());
    const int64_t magnitude = (first < point ? static_cast<int64_t>(point - first) - 1
                                             : -static_cast<int64_t>(first - point)) + exponent;
    if (magnitude > 0) return {NumberStatus::Overflow, 0.0};
    value = 0.0;
  } else if (ec != std::errc()) {
    return {};
  }
  if (negative || openParen) value = -value;
  if (value == 0.0) value = 0.0;  // no negative zero
  return {NumberStatus::Ok, value};
}

// --- dates ---------------------------------------------------------------------------------------

constexpr std::string_view kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};

// 1-12 for a month's full name or its three-letter abbreviation, any case; 0 otherwise.
int32_t MonthFromName(std::string_view word) {
  for (int32_t m = 0; m < 12; ++m) {
    const std::string_view name = kMonthNames[m];
    if (EqualsIgnoringAsciiCase(word, name) || EqualsIgnoringAsciiCase(word, name.substr(0, 3))) return m + 1;
  }
  return 0;
}

// A year of two digits (00-29 are 2000-2029, 30-99 are 1930-1999) or of three or four.
std::optional<int32_t> ReadYear(Scanner& sc) {
  const auto year = sc.Number(2, 4);
  if (!year) return std::nullopt;
  if (year->second == 2) return year->first < 30 ? 2000 + year->first : 1900 + year->first;
  return year->first;
}

struct YearMonthDay {
  int32_t year = 0, month = 0, day = 0;
};

// m/d/y, yyyy-mm-dd, d-Mon-y or "Month d, y" at the cursor.
std::optional<YearMonthDay> ReadDatePart(Scanner& sc) {
  YearMonthDay d;
  if (IsLetter(sc.Peek())) {
    d.month = MonthFromName(sc.Word());
    if (d.month == 0 || sc.SkipSpaces() == 0) return std::nullopt;
    const auto day = sc.Number(1, 2);
    if (!day) return std::nullopt;
    d.day = day->first;
    const bool comma = sc.Take(',');
    if (sc.SkipSpaces() == 0 && !comma) return std::nullopt;
    const auto year = ReadYear(sc);
    if (!year) return std::nullopt;
    d.year = *year;
    return d;
  }
  const auto first = sc.Number(1, 4);
  if (!first) return std::nullopt;
  if (sc.Take('/')) {
    if (first->second > 2) return std::nullopt;
    const auto day = sc.Number(1, 2);
    if (!day || !sc.Take('/')) return std::nullopt;
    const auto year = ReadYear(sc);
    if (!year) return std::nullopt;
    return YearMonthDay{*year, first->first, day->first};
  }
  if (sc.Take('-')) {
    if (first->second == 4) {
      const auto month = sc.Number(1, 2);
      if (!month || !sc.Take('-')) return std::nullopt;
      const auto day = sc.Number(1, 2);
      if (!day) return std::nullopt;
      return YearMonthDay{first->first, month->first, day->first};
    }
    if (first->second > 2) return std::nullopt;
    const int32_t month = MonthFromName(sc.Word());
    if (month == 0 || !sc.Take('-')) return std::nullopt;
    const auto year = ReadYear(sc);
    if (!year) return std::nullopt;
    return YearMonthDay{*year, month, first->first};
  }
  return std::nullopt;
}

// h:mm or h:mm:ss, optionally followed by AM or PM; the seconds since midnight.
std::optional<int32_t> ReadTime(Scanner& sc) {
  const auto hour = sc.Number(1, 2);
  if (!hour || !sc.Take(':')) return std::nullopt;
  const auto minute = sc.Number(1, 2);
  if (!minute || minute->first > 59) return std::nullopt;
  int32_t second = 0;
  if (sc.Take(':')) {
    const auto s = sc.Number(1, 2);
    if (!s || s->first > 59) return std::nullopt;
    second = s->first;
  }
  const size_t beforeMarker = sc.i;
  sc.SkipSpaces();
  const std::string_view marker = sc.Word();
  int32_t h = hour->first;
  if (EqualsIgnoringAsciiCase(marker, "AM") || EqualsIgnoringAsciiCase(marker, "PM")) {
    if (h < 1 || h > 12) return std::nullopt;
    h = h % 12 + (LowerAscii(marker[0]) == 'p' ? 12 : 0);
  } else {
    if (!marker.empty()) return std::nullopt;
    sc.i = beforeMarker;
    if (h > 23) return std::nullopt;
  }
  return h * 3600 + minute->first * 60 + second;
}

// The one reader of date text; ParseDate, IsDate and CDate use it.
std::optional<Date> ReadDate(std::string_view text) {
  Scanner sc{text};
  sc.SkipSpaces();
  const size_t start = sc.i;

  if (auto ymd = ReadDatePart(sc)) {
    int32_t seconds = 0;
    if (sc.SkipSpaces() > 0 && !sc.AtEnd()) {
      const auto time = ReadTime(sc);
      if (!time) return std::nullopt;
      seconds = *time;
      sc.SkipSpaces();
    }
    if (!sc.AtEnd()) return std::nullopt;
    if (!calendar::IsValid(ymd->year, ymd->month, ymd->day, 0, 0, 0)) return std::nullopt;
    return Date(calendar::Serial(calendar::DayNumber(ymd->year, ymd->month, ymd->day), seconds));
  }

  sc.i = start;
  const auto time = ReadTime(sc);
  if (!time) return std::nullopt;
  sc.SkipSpaces();
  if (!sc.AtEnd()) return std::nullopt;
  return Date(calendar::Serial(0, *time));
}

// --- conversions ---------------------------------------------------------------------------------

// The numeric value of any Variant that has one: Empty is 0, text is read by ReadNumber.
double ToNumber(const Variant& v) {
  if (v.IsEmpty()) return 0.0;
  if (v.IsNull()) Raise(err::InvalidUseOfNull);
  if (v.IsString()) {
    const NumberResult r = ReadNumber(v.AsString());
    if (r.status == NumberStatus::Overflow) Raise(err::Overflow);
    if (r.status != NumberStatus::Ok) Raise(err::TypeMismatch);
    return r.value;
  }
  return v.NumericValue();  // Error 13 for objects
}

// A whole number in [low, high] after rounding halves to even; Error 6 otherwise.
double RoundedInRange(double d, double low, double high) {
  const double r = RoundHalfEven(d);
  if (!(r >= low && r <= high)) Raise(err::Overflow);  // also NaN
  return r;
}

// Digits of a number in the runtime's general format: `digits` significant digits, trailing zeros
// removed, exponent form when the decimal exponent is below -4 or at least maxExponent.
std::string FormatGeneral(double d, int digits, int maxExponent) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
  if (d == 0.0) return "0";
  // "-d.ddde+XX", correctly rounded (the same text as printf's %e, many times faster).
  char sci[64];
  const char* const sciEnd = std::to_chars(sci, sci + sizeof sci, d, std::chars_format::scientific, digits - 1).ptr;
  const bool negative = sci[0] == '-';
  const char* const ePos = std::find(static_cast<const char*>(sci), sciEnd, 'e');
  // The significant digits without the point and without trailing zeros.
  char mantissa[32];
  size_t m = 0;
  for (const char* c = sci + (negative ? 1 : 0); c < ePos; ++c)
    if (*c != '.') mantissa[m++] = *c;
  while (m > 1 && mantissa[m - 1] == '0') --m;
  int exponent = 0;
  std::from_chars(ePos + (ePos[1] == '+' ? 2 : 1), sciEnd, exponent);

  char out[64];
  size_t o = 0;
  auto put = [&](char c) { out[o++] = c; };
  if (negative) put('-');
  if (exponent < -4 || exponent >= maxExponent) {
    put(mantissa[0]);
    if (m > 1) {
      put('.');
      for (size_t i = 1; i < m; ++i) put(mantissa[i]);
    }
    const int absExponent = exponent < 0 ? -exponent : exponent;
    put('E');
    put(exponent < 0 ? '-' : '+');
    if (absExponent < 10) put('0');
    o = static_cast<size_t>(std::to_chars(out + o, out + sizeof out, absExponent).ptr - out);
  } else if (exponent >= 0) {
    const auto wholeDigits = static_cast<size_t>(exponent) + 1;
    for (size_t i = 0; i < wholeDigits; ++i) put(i < m ? mantissa[i] : '0');
    if (m > wholeDigits) {
      put('.');
      for (size_t i = wholeDigits; i < m; ++i) put(mantissa[i]);
    }
  } else {
    put('0');
    put('.');
    for (int i = 0; i < -exponent - 1; ++i) put('0');
    for (size_t i = 0; i < m; ++i) put(mantissa[i]);
  }
  return std::string(out, o);
}

}  // namespace

double RoundHalfEven(double x) {
  if (!std::isfinite(x)) return x;
  const double lower = std::floor(x);
  const double diff = x - lower;  // exact
  if (diff < 0.5) return lower;
  if (diff > 0.5) return lower + 1.0;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::optional<double> ParseNumber(std::string_view text) {
  const NumberResult r = ReadNumber(text);
  if (r.status != NumberStatus::Ok) return std::nullopt;
  return r.value;
}

std::optional<Date> ParseDate(std::string_view text) { return ReadDate(text); }

bool IsNumeric(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
      return true;
    case VarType::String:
      return ParseNumber(v.AsString()).has_value();
    default:
      return false;  // Null, objects, and Date values, which the runtime does not count as numeric
  }
}

bool IsDate(const Variant& v) {
  if (v.Type() == VarType::Date) return calendar::Split(v.AsDate().SerialNumber()).has_value();
  return v.IsString() && ParseDate(v.AsString()).has_value();
}

std::string CStr(const Variant& v) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return {};
        } else if constexpr (std::is_same_v<T, NullValue>) {
          Raise(err::InvalidUseOfNull);
        } else if constexpr (std::is_same_v<T, bool>) {
          return x ? "True" : "False";
        } else if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>) {
          return std::to_string(x);
        } else if constexpr (std::is_same_v<T, float>) {
          return FormatSingle(x);
        } else if constexpr (std::is_same_v<T, double>) {
          return FormatDouble(x);
        } else if constexpr (std::is_same_v<T, Date>) {
          return x.ToString();
        } else if constexpr (std::is_same_v<T, std::string>) {
          return x;
        } else {
          Raise(err::TypeMismatch);
        }
      },
      v.Raw());
}

bool CBool(const Variant& v) {
  if (v.IsString()) {
    std::string_view s = v.AsString();
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (EqualsIgnoringAsciiCase(s, "True")) return true;
    if (EqualsIgnoringAsciiCase(s, "False")) return false;
  }
  return ToNumber(v) != 0.0;
}

int16_t CInt(const Variant& v) {
  return static_cast<int16_t>(RoundedInRange(ToNumber(v), std::numeric_limits<int16_t>::min(),
                                             std::numeric_limits<int16_t>::max()));
}

int32_t CLng(const Variant& v) {
  return static_cast<int32_t>(RoundedInRange(ToNumber(v), std::numeric_limits<int32_t>::min(),
                                             std::numeric_limits<int32_t>::max()));
}

float CSng(const Variant& v) {
  const double d = ToNumber(v);
  if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) Raise(err::Overflow);
  return static_cast<float>(d);
}

double CDbl(const Variant& v) { return ToNumber(v); }

Date CDate(const Variant& v) {
  if (v.Type() == VarType::Date) {
    // A Date value made from an arbitrary serial number (NaN, or beyond 9999) stops here rather
    // than travelling on until it is printed.
    if (!calendar::Split(v.AsDate().SerialNumber())) Raise(err::Overflow);
    return v.AsDate();
  }
  if (v.IsString()) {
    const auto d = ParseDate(v.AsString());
    if (!d) Raise(err::TypeMismatch);
    return *d;
  }
  const double serial = ToNumber(v);
  if (!calendar::Split(serial)) Raise(err::Overflow);
  return Date(serial);
}

int32_t IntDiv(double a, double b) {
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  const auto dividend = static_cast<int64_t>(RoundedInRange(a, kLow, kHigh));
  const auto divisor = static_cast<int64_t>(RoundedInRange(b, kLow, kHigh));
  if (divisor == 0) Raise(err::DivisionByZero);
  const int64_t quotient = dividend / divisor;  // truncates toward zero
  if (quotient > std::numeric_limits<int32_t>::max()) Raise(err::Overflow);  // -2147483648 \ -1
  return static_cast<int32_t>(quotient);
}

std::string FormatDouble(double d) { return FormatGeneral(d, 15, 15); }

std::string FormatSingle(float f) { return FormatGeneral(static_cast<double>(f), 7, 7); }

}  // namespace tamarind
