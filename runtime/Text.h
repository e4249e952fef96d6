#pragma once
// UTF-8 text as the runtime sees it: positions and lengths count characters (code points), never
// bytes, and no operation splits a character. Positions are 1-based, as the runtime's are.
// Invalid UTF-8 bytes count as one character each and are kept as they are.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamarind::text {

int32_t Len(std::string_view s);
std::string Left(std::string_view s, int32_t count);   // Error 5 for a negative count
std::string Right(std::string_view s, int32_t count);  // Error 5 for a negative count
// Characters from start (1-based) on; all of them when count is negative. Error 5 for start < 1.
std::string Mid(std::string_view s, int32_t start, int32_t count = -1);

// Position (1-based, in characters) of the first occurrence of find at or after start; 0 when
// there is none. An empty find gives start (when start <= Len(s) + 1). Error 5 for start < 1.
int32_t InStr(int32_t start, std::string_view s, std::string_view find);
inline int32_t InStr(std::string_view s, std::string_view find) { return InStr(1, s, find); }

// Removes spaces (U+0020 only, as the runtime does) from the left, right or both ends.
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string Trim(std::string_view s);

// Full Unicode case mapping (ICU, en-US).
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
// Case folding for matching without regard to letter case (keys, Text comparison).
std::string FoldCase(std::string_view s);

// Every occurrence of find replaced by with, left to right; an empty find changes nothing.
std::string Replace(std::string_view s, std::string_view find, std::string_view with);

// Locale-aware comparison that ignores letter case (ICU collation, en-US, secondary strength):
// negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);
// A sort key for CompareText: comparing two keys bytewise orders their texts as CompareText does.
std::string CollationKey(std::string_view s);

// The collation keys of many texts, kept one after another in one buffer: a list of a million
// rows is keyed without an allocation per row. Key(i) equals CollationKey of the i-th text added.
class CollationKeys {
 public:
  void Reserve(size_t texts, size_t bytes);
  // Keys one more text; its number is the count of texts added before it.
  void Add(std::string_view s);
  size_t Size() const { return ends_.size(); }
  std::string_view Key(size_t i) const;
  // The first eight bytes of key i as a big-endian number, a shorter key padded with zero bytes.
  // Keys never hold a zero byte, so two keys whose prefixes differ compare as their prefixes do,
  // and two keys of at most eight bytes with equal prefixes are equal.
  uint64_t Prefix(size_t i) const;

 private:
  std::string bytes_;
  std::vector<size_t> ends_;
  std::u16string units_;  // the text being keyed, as UTF-16
};

// One character from its code point (Error 5 for a surrogate or a value above U+10FFFF), and the
// code point of the first character (Error 5 for ""; U+FFFD when the text starts with an ill-formed byte).
std::string ChrW(char32_t codePoint);
char32_t AscW(std::string_view s);

// The first count characters of s; s itself when it is shorter. Never splits a character.
// Error 5 for a negative count.
std::string Truncate(std::string_view s, int32_t count);

}  // namespace tamarind::text
