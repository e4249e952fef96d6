#include "platform/spreadsheet/CellText.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "runtime/Calendar.h"
#include "runtime/Conversions.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

constexpr size_t kMaxSignificantDigits = 15;

// A number as a spreadsheet reads typed text (see EnterText); nullopt when the text is no number.
std::optional<double> ReadTypedNumber(std::string_view s) {
  s = TrimSpaces(s);
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = TrimSpaces(s.substr(1, s.size() - 2));
  }
  bool percent = false;
  if (!s.empty() && s.back() == '%') {
    percent = true;
    s = TrimSpaces(s.substr(0, s.size() - 1));
  }
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    if (negative) return std::nullopt;  // "(-5)" is no number
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (!s.empty() && s.front() == '$') s.remove_prefix(1);

  std::string clean;  // digits, '.', exponent: what from_chars reads
  size_t i = 0;
  const size_t wholeStart = i;
  while (i < s.size() && IsDigit(s[i])) clean.push_back(s[i++]);
  if (i < s.size() && s[i] == ',') {
    // Thousands separators: a first group of one to three digits, then groups of exactly three.
    if (i - wholeStart < 1 || i - wholeStart > 3) return std::nullopt;
    while (i < s.size() && s[i] == ',') {
      ++i;
      size_t n = 0;
      while (i < s.size() && IsDigit(s[i]) && n < 4) {
        clean.push_back(s[i++]);
        ++n;
      }
      if (n != 3) return std::nullopt;
    }
  }
  const size_t wholeDigits = clean.size();
  size_t fractionDigits = 0;
  if (i < s.size() && s[i] == '.') {
    clean.push_back('.');
    ++i;
    while (i < s.size() && IsDigit(s[i])) {
      clean.push_back(s[i++]);
      ++fractionDigits;
    }
  }
  if (wholeDigits + fractionDigits == 0) return std::nullopt;
  // Significant digits: from the first non-zero digit to the last one.
  {
    size_t first = std::string::npos, last = 0, pos = 0;
    for (char c : clean) {
      if (c == '.') continue;
      if (c != '0') {
        if (first == std::string::npos) first = pos;
        last = pos;
      }
      ++pos;
    }
    if (first != std::string::npos && last - first + 1 > kMaxSignificantDigits) return std::nullopt;
  }
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    clean.push_back('e');
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean.push_back(s[i++]);
    size_t n = 0;
    while (i < s.size() && IsDigit(s[i])) {
      clean.push_back(s[i++]);
      ++n;
    }
    if (n == 0 || n > 4) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;

  double value = 0;
  const auto [end, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (ec != std::errc() || end != clean.data() + clean.size() || !std::isfinite(value)) return std::nullopt;
  if (percent) value /= 100;
  if (negative) value = -value;
  return value == 0 ? 0.0 : value;
}

// Whether a date text is a time alone: its first digits are followed by ':'.
bool IsTimeAlone(std::string_view s) {
  s = TrimSpaces(s);
  size_t i = 0;
  while (i < s.size() && IsDigit(s[i])) ++i;
  return i > 0 && i < s.size() && s[i] == ':';
}

bool HasDigit(std::string_view s) {
  for (char c : s)
    if (IsDigit(c)) return true;
  return false;
}

// Digits from the first non-zero digit to the last one.
int SignificantDigits(std::string_view s) {
  const size_t first = s.find_first_of("123456789");
  if (first == std::string_view::npos) return 0;
  const size_t last = s.find_last_of("123456789");
  int n = 0;
  for (size_t i = first; i <= last; ++i) n += IsDigit(s[i]) ? 1 : 0;
  return n;
}

// A number in General format: at most 11 characters. Plain digits while they show as many
// significant digits as the scientific form would (up to 6), the scientific form otherwise.
std::string GeneralText(double x) {
  if (x == 0 || !std::isfinite(x)) return "0";
  constexpr int kWidth = 11;
  char buf[64];
  const double magnitude = std::fabs(x);
  const int wholeDigits = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
  const int signWidth = x < 0 ? 1 : 0;
  if (wholeDigits + signWidth <= kWidth) {
    const int decimals = std::max(0, kWidth - signWidth - wholeDigits - 1);
    auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
      while (s.back() == '0') s.pop_back();
      if (s.back() == '.') s.pop_back();
    }
    auto exact = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    const std::string_view full(buf, static_cast<size_t>(exact.ptr - buf));
    const int wanted = std::min(6, SignificantDigits(full.substr(0, full.find('e'))));
    if (static_cast<int>(s.size()) <= kWidth && SignificantDigits(s) >= wanted) return s;
  }
  auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 5);
  std::string s(buf, r.ptr);
  const size_t e = s.find('e');
  std::string mantissa = s.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  const int exponent = std::atoi(s.c_str() + e + 1);
  std::string out = mantissa + (exponent < 0 ? "E-" : "E+");
  const int absExponent = std::abs(exponent);
  if (absExponent < 10) out += '0';
  return out + std::to_string(absExponent);
}

std::string DateText(double serial, NumberFormat f) {
  const auto split = calendar::Split(serial);
  if (!split) return GeneralText(serial);  // outside the dates a cell can show
  const auto ymd = calendar::FromDayNumber(split->day);
  const int32_t h = split->seconds / 3600, m = split->seconds / 60 % 60, s = split->seconds % 60;
  auto two = [](int32_t v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  const std::string date = std::to_string(ymd.month) + "/" + std::to_string(ymd.day) + "/" + std::to_string(ymd.year);
  switch (f) {
    case NumberFormat::Date: return date;
    case NumberFormat::DateTime: return date + " " + std::to_string(h) + ":" + two(m);
    case NumberFormat::Time: return std::to_string(h) + ":" + two(m) + ":" + two(s);
    case NumberFormat::General: break;
  }
  return GeneralText(serial);
}

}  // namespace

Cell EnterText(std::string_view text) {
  if (text.empty()) return {};
  if (text.front() == '\'') return Cell::Text(std::string(text.substr(1)));
  if (!HasDigit(text)) return Cell::Text(std::string(text));
  if (auto n = ReadTypedNumber(text)) return Cell::Number(*n);
  if (auto d = ParseDate(text)) {
    const double serial = d->SerialNumber();
    if (IsTimeAlone(text)) return Cell::Number(serial, NumberFormat::Time);
    if (!HoldsAsDate(serial)) return Cell::Text(std::string(text));
    return Cell::Number(serial, serial != std::floor(serial) ? NumberFormat::DateTime : NumberFormat::Date);
  }
  return Cell::Text(std::string(text));
}

TextGrid ParseTabText(std::string_view text) {
  TextGrid grid;
  std::vector<std::string> row;
  std::string cell;
  size_t i = 0;
  const size_t n = text.size();
  bool rowOpen = false;  // something of the current row has been read

  auto endCell = [&] {
    row.push_back(std::move(cell));
    cell.clear();
  };
  auto endRow = [&] {
    endCell();
    // A row of one empty cell is an empty line: it keeps its place but holds no cells.
    if (row.size() == 1 && row[0].empty()) row.clear();
    grid.push_back(std::move(row));
    row.clear();
    rowOpen = false;
  };
  // Reads unquoted text up to the next TAB or line end.
  auto readPlain = [&] {
    const size_t stop = text.find_first_of("\t\r\n", i);
    const size_t end = stop == std::string_view::npos ? n : stop;
    cell.append(text.substr(i, end - i));
    i = end;
  };

  while (i < n) {
    rowOpen = true;
    if (cell.empty() && text[i] == '"') {
      // A quoted cell: find its closing quote first; without one the quote is plain text.
      size_t j = i + 1;
      std::string quoted;
      bool closed = false;
      while (j < n) {
        if (text[j] == '"') {
          if (j + 1 < n && text[j + 1] == '"') {
            quoted.push_back('"');
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        quoted.push_back(text[j++]);
      }
      if (closed) {
        cell = std::move(quoted);
        i = j;
      }
      readPlain();
    } else {
      readPlain();
    }
    if (i >= n) break;
    const char c = text[i];
    if (c == '\t') {
      endCell();
      ++i;
      rowOpen = true;
      if (i >= n) break;
      continue;
    }
    // CR, CR LF or LF
    ++i;
    if (c == '\r' && i < n && text[i] == '\n') ++i;
    endRow();
  }
  if (rowOpen) endRow();
  return grid;
}

std::string DisplayText(const Cell& cell) {
  switch (cell.kind) {
    case Cell::Kind::Empty: return {};
    case Cell::Kind::Text: return cell.text;
    case Cell::Kind::Boolean: return cell.number != 0 ? "TRUE" : "FALSE";
    case Cell::Kind::Error: return std::string(ErrorText(cell.errorCode));
    case Cell::Kind::Number:
      return cell.format == NumberFormat::General ? GeneralText(cell.number) : DateText(cell.number, cell.format);
  }
  return {};
}

size_t Utf16Length(std::string_view text) {
  size_t units = 0;
  for (size_t i = 0; i < text.size();) {
    const utf8::Char ch = utf8::Decode(text, i);
    units += ch.valid && ch.codePoint > 0xFFFF ? 2 : 1;
    i += ch.length;
  }
  return units;
}

}  // namespace tamarind::spreadsheet
