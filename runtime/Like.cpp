#include "runtime/Like.h"

#include <algorithm>

#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind {

namespace {

[[noreturn]] void InvalidPattern() { Raise(err::InvalidPatternString, "Like"); }

// The characters of a text that is not plain ASCII, decoded into a buffer each thread reuses, so
// that testing a million cells allocates nothing.
const std::vector<char32_t>& DecodeToBuffer(std::string_view text) {
  thread_local std::vector<char32_t> buffer;
  buffer.clear();
  for (size_t pos = 0; pos < text.size();) {
    const utf8::Char c = utf8::Decode(text, pos);
    buffer.push_back(c.codePoint);
    pos += c.length;
  }
  return buffer;
}

char32_t CodeOf(unsigned char c) { return c; }
char32_t CodeOf(char32_t c) { return c; }

}  // namespace

bool LikePattern::Element::Accepts(char32_t c) const {
  switch (kind) {
    case Kind::Literal:
      return c == ch;
    case Kind::Any:
      return true;
    case Kind::Digit:
      return c >= U'0' && c <= U'9';
    case Kind::Set: {
      bool in = false;
      for (const auto& [low, high] : ranges) {
        if (c >= low && c <= high) {
          in = true;
          break;
        }
      }
      return in != negated;
    }
  }
  return false;
}

// Reads the list between "[" (or "[!") and "]".
//   "[]"   matches no character at all: it is dropped from the pattern;
//   "[!]"  matches any one character;
//   "-"    first or last in the list stands for itself; "a-z" is a range and must not descend.
void LikePattern::CompileSet(const std::vector<char32_t>& p, size_t& i, Run& into) {
  size_t j = i + 1;  // after "["
  const bool negated = j < p.size() && p[j] == U'!';
  if (negated) ++j;
  size_t close = j;
  while (close < p.size() && p[close] != U']') ++close;
  if (close == p.size()) InvalidPattern();
  i = close + 1;

  if (close == j) {
    if (negated) into.elements.push_back(Element(Element::Kind::Any));
    return;
  }
  Element set(Element::Kind::Set);
  set.negated = negated;
  for (size_t k = j; k < close;) {
    if (k + 2 < close && p[k + 1] == U'-') {
      if (p[k] > p[k + 2]) InvalidPattern();
      set.ranges.emplace_back(p[k], p[k + 2]);
      k += 3;
    } else {
      set.ranges.emplace_back(p[k], p[k]);
      ++k;
    }
  }
  into.elements.push_back(std::move(set));
}

LikePattern::LikePattern(std::string_view pattern) {
  const std::vector<char32_t> p = utf8::Decode(pattern);
  runs_.emplace_back();
  for (size_t i = 0; i < p.size();) {
    Run& run = runs_.back();
    switch (p[i]) {
      case U'?':
        run.elements.push_back(Element(Element::Kind::Any));
        ++i;
        break;
      case U'#':
        run.elements.push_back(Element(Element::Kind::Digit));
        ++i;
        break;
      case U'*':
        // A run of stars matches what one star matches: an empty run between two stars is dropped.
        if (runs_.size() == 1 || !run.elements.empty()) runs_.emplace_back();
        ++i;
        break;
      case U'[':
        CompileSet(p, i, run);
        break;
      default:
        run.elements.push_back(Element(Element::Kind::Literal, p[i]));
        ++i;
        break;
    }
  }
  for (Run& run : runs_) run.Prepare();
}

void LikePattern::Run::Prepare() {
  words = (elements.size() + 63) / 64;
  asciiMask.assign(128 * words, 0);
  for (char32_t c = 0; c < 128; ++c)
    for (size_t e = 0; e < elements.size(); ++e)
      if (elements[e].Accepts(c)) asciiMask[c * words + e / 64] |= uint64_t{1} << (e % 64);
}

uint64_t LikePattern::Run::Mask(char32_t c, size_t w) const {
  if (c < 128) return asciiMask[c * words + w];
  uint64_t mask = 0;
  const size_t last = std::min(elements.size(), (w + 1) * 64);
  for (size_t e = w * 64; e < last; ++e)
    if (elements[e].Accepts(c)) mask |= uint64_t{1} << (e % 64);
  return mask;
}

template <class C>
bool LikePattern::Run::MatchesAt(const C* t, size_t at, uint64_t& steps) const {
  for (size_t e = 0; e < elements.size(); ++e) {
    ++steps;
    if (!elements[e].Accepts(CodeOf(t[at + e]))) return false;
  }
  return true;
}

// Bit e of the state: the last e + 1 characters read match the first e + 1 elements. Each
// character shifts the state by one element and keeps the elements that accept it.
template <class C>
size_t LikePattern::Run::Find(const C* t, size_t from, size_t end, uint64_t& steps) const {
  const size_t m = elements.size();
  if (m == 0) return from;
  if (end < from || end - from < m) return end + 1;
  const uint64_t found = uint64_t{1} << ((m - 1) % 64);
  if (words == 1) {
    uint64_t state = 0;
    for (size_t i = from; i < end; ++i) {
      ++steps;
      state = ((state << 1) | 1) & Mask(CodeOf(t[i]), 0);
      if (state & found) return i + 1 - m;
    }
    return end + 1;
  }
  thread_local std::vector<uint64_t> state;
  state.assign(words, 0);
  for (size_t i = from; i < end; ++i) {
    const char32_t c = CodeOf(t[i]);
    uint64_t carry = 1;
    for (size_t w = 0; w < words; ++w) {
      ++steps;
      const uint64_t out = state[w] >> 63;
      state[w] = ((state[w] << 1) | carry) & Mask(c, w);
      carry = out;
    }
    if (state[words - 1] & found) return i + 1 - m;
  }
  return end + 1;
}

template <class C>
bool LikePattern::MatchCodes(const C* t, size_t n, uint64_t& steps) const {
  const Run& head = runs_.front();
  if (runs_.size() == 1) return head.Size() == n && head.MatchesAt(t, 0, steps);
  const Run& tail = runs_.back();
  if (head.Size() + tail.Size() > n) return false;
  if (!head.MatchesAt(t, 0, steps) || !tail.MatchesAt(t, n - tail.Size(), steps)) return false;
  // The runs between the stars, each at its leftmost place after the one before, all before the tail.
  size_t pos = head.Size();
  const size_t end = n - tail.Size();
  for (size_t r = 1; r + 1 < runs_.size(); ++r) {
    const size_t at = runs_[r].Find(t, pos, end, steps);
    if (at > end) return false;
    pos = at + runs_[r].Size();
  }
  return true;
}

bool LikePattern::Matches(std::string_view text, uint64_t& steps) const {
  if (utf8::IsAscii(text)) return MatchCodes(reinterpret_cast<const unsigned char*>(text.data()), text.size(), steps);
  const std::vector<char32_t>& codes = DecodeToBuffer(text);
  return MatchCodes(codes.data(), codes.size(), steps);
}

bool LikePattern::Matches(std::string_view text) const {
  uint64_t steps = 0;
  return Matches(text, steps);
}

bool Like(std::string_view text, std::string_view pattern) { return LikePattern(pattern).Matches(text); }

}  // namespace tamarind
