#include "platform/database/CellRules.h"

#include <cstdio>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Like.h"
#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace tamarind::database::cells {

namespace {

// The keyed sort reads a cell through a 256-character buffer, up to its first NUL.
std::string_view AsSortRead(std::string_view cell) {
  cell = cell.substr(0, utf8::Advance(cell, 0, 255));
  return cell.substr(0, cell.find('\0'));
}

std::string Omit(std::string_view text, std::string_view omit) {
  std::string out(text);
  for (size_t pos = 0; pos < omit.size();) {
    const size_t next = utf8::Advance(omit, pos, 1);
    out = text::Replace(out, omit.substr(pos, next - pos), "");
    pos = next;
  }
  return out;
}

std::string Escaped(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "\\U%08X", static_cast<unsigned>(c));
  return buffer;
}

}  // namespace

std::string Text(const Variant& v) {
  if (v.IsNull()) return {};
  if (v.IsString()) return v.AsString();
  return CStr(v);
}

std::string Key(const Variant& v) {
  std::string key = CStr(v);
  if (IsNumeric(Variant(key))) key = "'" + key + "'";
  return key;
}

std::string KeyFieldText(std::string_view key) {
  if (key.size() >= 2 && key.front() == '\'' && key.back() == '\'') {
    std::string inner(key.substr(1, key.size() - 2));
    if (IsNumeric(Variant(inner))) return inner;
  }
  return std::string(key);
}

double SortNumber(std::string_view cell, std::string_view omit) {
  cell = AsSortRead(cell);
  if (cell.empty()) return 0;
  const std::string text = Omit(cell, omit);
  if (const auto number = ParseNumber(text)) return *number;
  CDbl(Variant(text));  // the conversion's own error: 13, or 6 for an overflow
  Raise(err::TypeMismatch, "Kestrel");
}

double SortDate(std::string_view cell, std::string_view omit) {
  cell = AsSortRead(cell);
  if (cell.empty()) return 0;
  const auto date = ParseDate(Omit(cell, omit));
  return date ? date->SerialNumber() : 0;
}

bool OmitTouchesNumbers(std::string_view omit) {
  return omit.find_first_of("0123456789-+.E") != std::string_view::npos;
}

std::string WildPattern(std::string_view search) { return "*" + text::UCase(search) + "*"; }

std::string LikeToRegex(std::string_view pattern) {
  LikePattern{pattern};  // Error 93 for a malformed list, as the normal mode raises it
  const std::vector<char32_t> p = utf8::Decode(pattern);
  std::string out = "^";
  for (size_t i = 0; i < p.size(); ++i) {
    const char32_t c = p[i];
    if (c == U'?') {
      out += ".";
    } else if (c == U'*') {
      out += ".*";
    } else if (c == U'#') {
      out += "[0-9]";
    } else if (c == U'[') {
      // The list as the runtime reads it: "[]" is dropped, "[!]" is any character, "a-z" a range.
      size_t j = i + 1;
      const bool negated = j < p.size() && p[j] == U'!';
      if (negated) ++j;
      size_t close = j;
      while (p[close] != U']') ++close;  // present: the pattern compiled
      std::string set;
      for (size_t k = j; k < close;) {
        if (k + 2 < close && p[k + 1] == U'-') {
          set += Escaped(p[k]) + "-" + Escaped(p[k + 2]);
          k += 3;
        } else {
          set += Escaped(p[k]);
          ++k;
        }
      }
      if (!set.empty())
        out += (negated ? "[^" : "[") + set + "]";
      else if (negated)
        out += ".";
      i = close;
    } else {
      out += Escaped(c);
    }
  }
  return out + "$";
}

}  // namespace tamarind::database::cells
