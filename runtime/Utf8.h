#pragma once
// Code-point iteration over UTF-8 text, shared by the text helpers, Like and the case mapping.
//
// A well-formed sequence (no overlong forms, no surrogates, nothing above U+10FFFF) is one
// character. Every byte that does not start a well-formed sequence is a character of its own; it
// decodes to InvalidByteBase + the byte, a value outside Unicode, so that such a byte matches only
// the same byte and never a real character.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamarind::utf8 {

inline constexpr char32_t InvalidByteBase = 0x110000;

struct Char {
  char32_t codePoint;  // InvalidByteBase + byte for an ill-formed byte
  uint32_t length;     // bytes taken, 1 to 4
  bool valid;
};

// The character starting at byte pos (pos < s.size()) when that byte is not ASCII.
Char DecodeMultiByte(std::string_view s, size_t pos);
// The character starting at byte pos (pos < s.size()). ASCII, the common case, is decided here.
inline Char Decode(std::string_view s, size_t pos) {
  const auto b = static_cast<unsigned char>(s[pos]);
  return b < 0x80 ? Char{b, 1, true} : DecodeMultiByte(s, pos);
}

// The byte offset reached from byte offset pos after count characters; s.size() when the text
// ends first.
size_t Advance(std::string_view s, size_t pos, size_t count);

// The number of characters in s.
size_t Length(std::string_view s);

// All characters of s, in order.
std::vector<char32_t> Decode(std::string_view s);

// Appends the encoding of a Unicode scalar value; an InvalidByteBase value appends its byte back.
void Append(std::string& out, char32_t codePoint);

// True when the text holds only bytes below 0x80.
bool IsAscii(std::string_view s);

// True when codePoint is a Unicode scalar value (not a surrogate, at most U+10FFFF).
constexpr bool IsScalarValue(char32_t codePoint) {
  return codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

// The byte offset of the first occurrence of needle at or after byte offset from, where the match
// starts and ends on character boundaries of hay (so a lone byte never matches inside a
// character); std::string_view::npos when there is none. from must be a character boundary.
size_t FindCharacters(std::string_view hay, std::string_view needle, size_t from);

}  // namespace tamarind::utf8
