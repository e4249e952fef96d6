#include "runtime/Like.h"

#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind {

namespace {

// One element of a compiled pattern. Every element but Star stands for exactly one character.
struct Element {
  enum class Kind { Literal, Any, Digit, Star, Set };
  explicit Element(Kind k, char32_t c = 0) : kind(k), ch(c) {}

  Kind kind;
  char32_t ch;                                         // Literal
  bool negated = false;                                // Set
  std::vector<std::pair<char32_t, char32_t>> ranges;  // Set: inclusive ranges; a single character is a range of one
};

[[noreturn]] void InvalidPattern() { Raise(err::InvalidPatternString, "Like"); }

// Reads the list between "[" (or "[!") and "]".
//   "[]"   matches no character at all: it is dropped from the pattern;
//   "[!]"  matches any one character;
//   "-"    first or last in the list stands for itself; "a-z" is a range and must not descend.
void CompileSet(const std::vector<char32_t>& p, size_t& i, std::vector<Element>& out) {
  size_t j = i + 1;  // after "["
  const bool negated = j < p.size() && p[j] == U'!';
  if (negated) ++j;
  size_t close = j;
  while (close < p.size() && p[close] != U']') ++close;
  if (close == p.size()) InvalidPattern();
  i = close + 1;

  if (close == j) {
    if (negated) out.push_back(Element(Element::Kind::Any));
    return;
  }
  Element set{Element::Kind::Set};
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
  out.push_back(std::move(set));
}

std::vector<Element> Compile(std::string_view pattern) {
  const std::vector<char32_t> p = utf8::Decode(pattern);
  std::vector<Element> out;
  out.reserve(p.size());
  for (size_t i = 0; i < p.size();) {
    switch (p[i]) {
      case U'?':
        out.push_back(Element(Element::Kind::Any));
        ++i;
        break;
      case U'#':
        out.push_back(Element(Element::Kind::Digit));
        ++i;
        break;
      case U'*':
        // A run of stars matches what one star matches.
        if (out.empty() || out.back().kind != Element::Kind::Star) out.push_back(Element(Element::Kind::Star));
        ++i;
        break;
      case U'[':
        CompileSet(p, i, out);
        break;
      default:
        out.push_back(Element(Element::Kind::Literal, p[i]));
        ++i;
        break;
    }
  }
  return out;
}

bool MatchesOne(const Element& e, char32_t c) {
  switch (e.kind) {
    case Element::Kind::Literal:
      return c == e.ch;
    case Element::Kind::Any:
      return true;
    case Element::Kind::Digit:
      return c >= U'0' && c <= U'9';
    case Element::Kind::Set: {
      bool in = false;
      for (const auto& [low, high] : e.ranges) {
        if (c >= low && c <= high) {
          in = true;
          break;
        }
      }
      return in != e.negated;
    }
    case Element::Kind::Star:
      break;
  }
  return false;
}

}  // namespace

bool Like(std::string_view text, std::string_view pattern) {
  const std::vector<Element> pat = Compile(pattern);
  const std::vector<char32_t> t = utf8::Decode(text);

  // Greedy matching with one resume point: when an element fails, the most recent star takes one
  // more character and matching resumes after it. Since every other element takes exactly one
  // character, earlier stars never need to be revisited, so the cost is at most
  // text length x pattern length.
  constexpr size_t kNoStar = static_cast<size_t>(-1);
  size_t ti = 0, pi = 0, starPi = kNoStar, starTi = 0;
  while (ti < t.size()) {
    if (pi < pat.size() && pat[pi].kind == Element::Kind::Star) {
      starPi = pi++;
      starTi = ti;
    } else if (pi < pat.size() && MatchesOne(pat[pi], t[ti])) {
      ++pi;
      ++ti;
    } else if (starPi != kNoStar) {
      pi = starPi + 1;
      ti = ++starTi;
    } else {
      return false;
    }
  }
  while (pi < pat.size() && pat[pi].kind == Element::Kind::Star) ++pi;
  return pi == pat.size();
}

}  // namespace tamarind
