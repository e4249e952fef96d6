#include "platform/spreadsheet/CellText.h"

#include <array>
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
    // The shortest text that reads back as x is what rounding to the decimals shows when it has
    // no more of them and fits: the double lies far closer to it than half the last decimal (and
    // its fifteen-digit rounding has the same digits). Columns of ordinary numbers end here.
    {
      const auto shortest = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
      const std::string_view s(buf, static_cast<size_t>(shortest.ptr - buf));
      if (shortest.ec == std::errc() && static_cast<int>(s.size()) <= kWidth) {
        const size_t point = s.find('.');
        const size_t fraction = point == std::string_view::npos ? 0 : s.size() - point - 1;
        if (static_cast<int>(fraction) <= decimals) return std::string(s);
      }
    }
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
  if (!split || f == NumberFormat::General) return GeneralText(serial);  // outside the dates a cell can show
  const auto ymd = calendar::FromDayNumber(split->day);
  const int32_t h = split->seconds / 3600, m = split->seconds / 60 % 60, s = split->seconds % 60;
  // Written in place: a fitted column measures the text of every date in it.
  char buf[32];
  char* out = buf;
  auto put = [&](int32_t v) {  // 0 to 9999
    char digits[4];
    int k = 0;
    do {
      digits[k++] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v > 0 && k < 4);
    while (k > 0) *out++ = digits[--k];
  };
  auto two = [&](int32_t v) {
    *out++ = static_cast<char>('0' + v / 10);
    *out++ = static_cast<char>('0' + v % 10);
  };
  if (f == NumberFormat::Time) {
    put(h);
    *out++ = ':';
    two(m);
    *out++ = ':';
    two(s);
  } else {
    put(ymd.month);
    *out++ = '/';
    put(ymd.day);
    *out++ = '/';
    put(ymd.year);
    if (f == NumberFormat::DateTime) {
      *out++ = ' ';
      put(h);
      *out++ = ':';
      two(m);
    }
  }
  return std::string(buf, out);
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

namespace {
// TAB, CR and LF end a cell.
constexpr std::array<bool, 256> kEndsCell = [] {
  std::array<bool, 256> ends{};
  ends['\t'] = ends['\r'] = ends['\n'] = true;
  return ends;
}();
}  // namespace

bool TabTextReader::NextRow() {
  std::string_view rest;
  while (NextCell(rest)) {
  }
  if (pos_ >= text_.size()) return false;  // the end of the text after a line end adds no row
  inRow_ = true;
  afterTab_ = false;
  column_ = 0;
  return true;
}

bool TabTextReader::NextCell(std::string_view& cell) {
  if (!inRow_) return false;
  const size_t n = text_.size();
  if (pos_ >= n) {
    // A TAB ended the text: the row ends with an empty cell.
    inRow_ = false;
    if (!afterTab_) return false;
    afterTab_ = false;
    cell = {};
    ++column_;
    return true;
  }
  size_t i = pos_;
  bool quoted = false;
  if (text_[i] == '"') {
    // A quoted cell: find its closing quote first; without one the quote is plain text.
    quoted_.clear();
    for (size_t j = i + 1; j < n;) {
      if (text_[j] != '"') {
        quoted_.push_back(text_[j++]);
        continue;
      }
      if (j + 1 < n && text_[j + 1] == '"') {
        quoted_.push_back('"');
        j += 2;
        continue;
      }
      quoted = true;
      i = j + 1;
      break;
    }
  }
  // Unquoted text, or what follows the closing quote, runs to the next TAB or line end.
  size_t end = i;
  while (end < n && !kEndsCell[static_cast<unsigned char>(text_[end])]) ++end;
  if (quoted) {
    quoted_.append(text_.substr(i, end - i));
    cell = quoted_;
  } else {
    cell = text_.substr(i, end - i);
  }
  if (end < n && text_[end] == '\t') {
    pos_ = end + 1;
    afterTab_ = true;
    ++column_;
    return true;
  }
  // CR, CR LF, LF or the end of the text ends the row.
  pos_ = end < n ? end + 1 : n;
  if (end < n && text_[end] == '\r' && pos_ < n && text_[pos_] == '\n') ++pos_;
  inRow_ = false;
  afterTab_ = false;
  // A row of one empty cell is an empty line: it keeps its place but holds no cells.
  if (column_ == 0 && cell.empty()) return false;
  ++column_;
  return true;
}

TextGrid ParseTabText(std::string_view text) {
  TextGrid grid;
  TabTextReader reader(text);
  while (reader.NextRow()) {
    std::vector<std::string>& row = grid.emplace_back();
    for (std::string_view cell; reader.NextCell(cell);) row.emplace_back(cell);
  }
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
