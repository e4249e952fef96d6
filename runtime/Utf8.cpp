#include "runtime/Utf8.h"

namespace tamarind::utf8 {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

Char DecodeMultiByte(std::string_view s, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  const Char invalid{InvalidByteBase + b0, 1, false};

  uint32_t length;
  char32_t cp;
  char32_t minimum;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    cp = b0 & 0x1F;
    minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    cp = b0 & 0x0F;
    minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    cp = b0 & 0x07;
    minimum = 0x10000;
  } else {
    return invalid;  // a continuation byte, an overlong lead (C0, C1) or F5-FF
  }
  if (pos + length > s.size()) return invalid;
  for (uint32_t i = 1; i < length; ++i) {
    const unsigned char b = byte(pos + i);
    if (!IsContinuation(b)) return invalid;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || !IsScalarValue(cp)) return invalid;
  return Char{cp, length, true};
}

size_t Advance(std::string_view s, size_t pos, size_t count) {
  while (count > 0 && pos < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[pos]);
    pos += b < 0x80 ? 1 : Decode(s, pos).length;
    --count;
  }
  return pos < s.size() ? pos : s.size();
}

size_t Length(std::string_view s) {
  size_t n = 0;
  for (size_t pos = 0; pos < s.size(); ++n) {
    const unsigned char b = static_cast<unsigned char>(s[pos]);
    pos += b < 0x80 ? 1 : Decode(s, pos).length;
  }
  return n;
}

std::vector<char32_t> Decode(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const Char c = Decode(s, pos);
    out.push_back(c.codePoint);
    pos += c.length;
  }
  return out;
}

void Append(std::string& out, char32_t cp) {
  if (cp >= InvalidByteBase && cp <= InvalidByteBase + 0xFF) {
    out.push_back(static_cast<char>(cp - InvalidByteBase));
  } else if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

size_t FindCharacters(std::string_view hay, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
  size_t boundary = from;  // always a character boundary
  size_t q = hay.find(needle, from);
  while (q != std::string_view::npos) {
    while (boundary < q) boundary += Decode(hay, boundary).length;
    if (boundary == q) {
      const size_t target = q + needle.size();
      size_t end = q;
      while (end < target) end += Decode(hay, end).length;
      if (end == target) return q;
      boundary += Decode(hay, boundary).length;
    }
    q = hay.find(needle, boundary);
  }
  return std::string_view::npos;
}

}  // namespace tamarind::utf8
