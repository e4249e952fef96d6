#include "runtime/Like.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using test_support::ErrorNumberOf;

TEST(LikePattern, LiteralsAndSingleCharacterWildcards) {
  EXPECT_TRUE(Like("abc", "abc"));
  EXPECT_FALSE(Like("abc", "ABC"));  // binary comparison
  EXPECT_FALSE(Like("abc", "ab"));
  EXPECT_TRUE(Like("a1c", "a?c"));
  EXPECT_FALSE(Like("ac", "a?c"));
  EXPECT_TRUE(Like("a1c", "a#c"));
  EXPECT_FALSE(Like("abc", "a#c"));
  // "#" is every digit from 0 to 9 and nothing beside them ("/" and ":" are their neighbours).
  EXPECT_TRUE(Like("0", "#"));
  EXPECT_TRUE(Like("9", "#"));
  EXPECT_FALSE(Like("/", "#"));
  EXPECT_FALSE(Like(":", "#"));
  EXPECT_FALSE(Like("٣", "#"));  // a digit of another script is no decimal digit here
  EXPECT_TRUE(Like("a]b", "a]b"));  // "]" outside a list is itself
}

TEST(LikePattern, StarMatchesAnyRunIncludingNone) {
  EXPECT_TRUE(Like("", "*"));
  EXPECT_TRUE(Like("a", "a*"));
  EXPECT_FALSE(Like("xxabxcxx", "*abc*"));
  EXPECT_TRUE(Like("abcabd", "*abd"));
  EXPECT_TRUE(Like("mississippi", "m*iss*ppi"));
  EXPECT_FALSE(Like("mississippi", "m*iss*ppix"));
  EXPECT_FALSE(Like("", "*?"));
}

TEST(LikePattern, CharacterLists) {
  EXPECT_TRUE(Like("b", "[abc]"));
  EXPECT_FALSE(Like("M", "[a-z]"));
  EXPECT_TRUE(Like("x", "[0-9x]"));
  EXPECT_TRUE(Like("d", "[!abc]"));
  EXPECT_FALSE(Like("a", "[!abc]"));
  EXPECT_FALSE(Like("", "[!abc]"));
  EXPECT_TRUE(Like("-", "[a-]"));      // "-" at either end is itself
  EXPECT_FALSE(Like("-", "[!a-c-]"));
  EXPECT_TRUE(Like("?#", "[?][#]"));   // wildcards in a list are themselves
  EXPECT_FALSE(Like("x", "[*]"));
  EXPECT_TRUE(Like("[", "[[]"));
  EXPECT_TRUE(Like("ab", "a[]b"));    // an empty list matches no character and is skipped
  EXPECT_TRUE(Like("axb", "a[!]b"));  // an empty negated list matches any one character
}

TEST(LikePattern, CharactersAreCodePointsNotBytes) {
  EXPECT_TRUE(Like("caf\xC3\xA9", "caf?"));
  EXPECT_FALSE(Like("caf\xC3\xA9", "caf??"));
  EXPECT_TRUE(Like("\xF0\x9F\x98\x80!", "?!"));       // U+1F600 then "!"
  EXPECT_TRUE(Like("\xC3\xA9", "[\xC3\xA0-\xC3\xBF]"));  // é in à-ÿ
  EXPECT_TRUE(Like("\xFF", "?"));                     // an ill-formed byte is one character
  EXPECT_FALSE(Like("a\xC3\xBF", "a\xFF"));           // ÿ is not the lone byte 0xFF
}

TEST(LikePattern, MalformedListsAreInvalidPatterns) {
  EXPECT_EQ(ErrorNumberOf([] { Like("", "["); }), err::InvalidPatternString);
  EXPECT_EQ(ErrorNumberOf([] { Like("a", "a*[!"); }), err::InvalidPatternString);
  EXPECT_EQ(ErrorNumberOf([] { Like("b", "[z-a]"); }), err::InvalidPatternString);
  EXPECT_EQ(ErrorNumberOf([] { Like("zzz", "x[a"); }), err::InvalidPatternString);  // even when the text fails earlier
}

TEST(LikePattern, ManyStarsDoNotBacktrackExponentially) {
  const std::string text(20000, 'a');
  std::string pattern;
  for (int i = 0; i < 30; ++i) pattern += "*a";
  EXPECT_TRUE(Like(text, pattern));
  EXPECT_FALSE(Like(text, pattern + "b"));
}

// Matching never backtracks: the cost follows the text, not the ways its stars could share it.
TEST(LikePattern, CostsAboutOneStepPerCharacterWhateverTheStars) {
  const std::string as(255, 'a');
  uint64_t steps = 0;
  EXPECT_FALSE(LikePattern("*a*a*a*a*b").Matches(as, steps));
  EXPECT_LE(steps, 2u);  // the last character is no "b": decided at once
  steps = 0;
  EXPECT_FALSE(LikePattern("*a*a*a*a*b*").Matches(as, steps));
  EXPECT_LE(steps, as.size() + 8);
  steps = 0;
  EXPECT_TRUE(LikePattern("?*a*#*a*a[!a]*").Matches(as + "1aab", steps));
  EXPECT_LE(steps, 2 * (as.size() + 4));

  // A near miss at every place, with the whole pattern still ahead each time.
  const std::string text = std::string(10000, 'a') + "b";
  steps = 0;
  EXPECT_TRUE(LikePattern("*aaaaaaaab*").Matches(text, steps));
  EXPECT_LE(steps, text.size() + 20);
  // A run longer than a machine word costs one step per character and word.
  steps = 0;
  EXPECT_TRUE(LikePattern("*" + std::string(100, 'a') + "b*").Matches(text, steps));
  EXPECT_LE(steps, 2 * text.size() + 200);
}

// A pattern built from pieces whose meaning is known, matched by a plain table of which text
// prefixes fit which pattern prefixes: the compiled matcher must agree on every case.
TEST(LikePattern, AgreesWithAPlainTableMatcherOnRandomCases) {
  struct Piece {
    const char* pattern;
    bool star;
    bool (*accepts)(char32_t);
  };
  static const Piece pieces[] = {
      {"a", false, [](char32_t c) { return c == U'a'; }},
      {"b", false, [](char32_t c) { return c == U'b'; }},
      {"\xC3\xA9", false, [](char32_t c) { return c == U'\u00E9'; }},
      {"?", false, [](char32_t) { return true; }},
      {"#", false, [](char32_t c) { return c >= U'0' && c <= U'9'; }},
      {"[ab]", false, [](char32_t c) { return c == U'a' || c == U'b'; }},
      {"[!a]", false, [](char32_t c) { return c != U'a'; }},
      {"[0-5]", false, [](char32_t c) { return c >= U'0' && c <= U'5'; }},
      {"*", true, nullptr},
  };
  static const char32_t alphabet[] = {U'a', U'b', U'1', U'7', U'\u00E9'};
  uint64_t state = 12345;
  auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<const Piece*> pat;
    std::string pattern;
    for (uint64_t i = 0, n = next(7); i < n; ++i) {
      pat.push_back(&pieces[next(std::size(pieces))]);
      pattern += pat.back()->pattern;
    }
    std::vector<char32_t> codes;
    std::string text;
    for (uint64_t i = 0, n = next(9); i < n; ++i) {
      codes.push_back(alphabet[next(std::size(alphabet))]);
      text += codes.back() == U'\u00E9' ? std::string("\xC3\xA9") : std::string(1, static_cast<char>(codes.back()));
    }
    // fits[i][j]: the first i characters fit the first j pieces.
    std::vector<std::vector<bool>> fits(codes.size() + 1, std::vector<bool>(pat.size() + 1, false));
    fits[0][0] = true;
    for (size_t i = 0; i <= codes.size(); ++i)
      for (size_t j = 1; j <= pat.size(); ++j) {
        if (pat[j - 1]->star) fits[i][j] = fits[i][j - 1] || (i > 0 && fits[i - 1][j]);
        else fits[i][j] = i > 0 && fits[i - 1][j - 1] && pat[j - 1]->accepts(codes[i - 1]);
      }
    ASSERT_EQ(LikePattern(pattern).Matches(text), fits[codes.size()][pat.size()]) << text << " Like " << pattern;
  }
}

}  // namespace
}  // namespace tamarind
