#pragma once
// The runtime's Like operator (binary comparison, character by character in code points):
//   ?        any one character
//   *        any run of characters, also none
//   #        one decimal digit 0-9
//   [list]   one character of the list; a range is written a-z; "-" first or last stands for itself
//   [!list]  one character not in the list
//   other    the character itself
// A "[" without its "]" is Error 93 (Invalid pattern string).
//
// A pattern is compiled once into the runs of one-character elements between its stars. Matching
// never backtracks: the first run must sit at the start of the text, the last at its end, and each
// run between them is found at its leftmost place after the one before (which is always the best
// choice, since a star takes any run). A run is searched with one bit per element, 64 elements to
// a machine word, so a match costs one step per character of the text for runs of up to 64
// elements (and one per word for longer ones), whatever the pattern.

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace tamarind {

class LikePattern {
 public:
  // Error 93 for a malformed list ("[" without "]", or a range such as "z-a").
  explicit LikePattern(std::string_view pattern);

  bool Matches(std::string_view text) const;
  // The same, adding to steps the number of character tests made (for checking the cost).
  bool Matches(std::string_view text, uint64_t& steps) const;

 private:
  // One element: every kind stands for exactly one character.
  struct Element {
    enum class Kind { Literal, Any, Digit, Set };
    explicit Element(Kind k, char32_t c = 0) : kind(k), ch(c) {}
    Kind kind;
    char32_t ch;                                          // Literal
    bool negated = false;                                 // Set
    std::vector<std::pair<char32_t, char32_t>> ranges;   // Set: inclusive; a single character is a range of one
    bool Accepts(char32_t c) const;
  };
  // The elements between two stars (or an end of the pattern).
  struct Run {
    std::vector<Element> elements;
    // One bit per element, in words of 64: for each character below 128, the elements that accept
    // it (words words per character).
    size_t words = 0;
    std::vector<uint64_t> asciiMask;
    size_t Size() const { return elements.size(); }
    void Prepare();
    // The elements that accept c, word w.
    uint64_t Mask(char32_t c, size_t w) const;
    template <class C>
    bool MatchesAt(const C* t, size_t at, uint64_t& steps) const;
    // Start of the leftmost occurrence inside [from, end), or end + 1 when there is none.
    template <class C>
    size_t Find(const C* t, size_t from, size_t end, uint64_t& steps) const;
  };

  static void CompileSet(const std::vector<char32_t>& p, size_t& i, Run& into);
  template <class C>
  bool MatchCodes(const C* t, size_t n, uint64_t& steps) const;

  std::vector<Run> runs_;  // one more than the number of stars
};

bool Like(std::string_view text, std::string_view pattern);

}  // namespace tamarind
