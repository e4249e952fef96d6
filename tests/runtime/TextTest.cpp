// UTF-8 text functions, collation and Like patterns.

#include "runtime/Like.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind {
namespace {

using namespace text;
using test_support::ErrorNumberOf;

using Results = std::vector<std::pair<std::string, std::string>>;  // {what a function gave, what it should}

const std::string kCafe = "caf\xC3\xA9";            // café
const std::string kEmoji = "\xF0\x9F\x98\x80";       // U+1F600
const std::string kEuro = "\xE2\x82\xAC";            // €

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(TextCharacters, LenLeftRightMidChrWAndAscWCountCodePointsAndNeverSplitACharacter) {
  // A cut-off sequence, an overlong form and an encoded surrogate are bytes one by one.
  for (const auto& [s, length] : std::vector<std::pair<std::string, int>>{
           {kCafe, 4}, {kEmoji + kEuro, 2}, {"\xE2\x82", 2}, {"\xC0\xAF", 2}, {"\xED\xA0\x80", 3}, {{"a\0b", 3}, 3}})
    EXPECT_EQ(Len(s), length) << s;
  for (const auto& [got, want] :
       Results{{Left(kCafe, 3), "caf"}, {Left(kCafe, 99), kCafe}, {Right(kCafe, 2), "f\xC3\xA9"},
               {Mid(kEuro + kEmoji + "xy", 2, 2), kEmoji + "x"}, {Mid(kEuro + kEmoji + "xy", 2), kEmoji + "xy"},
               {Mid("abc", 9, 2), ""}, {Mid("a\xFF" "b", 2, 1), "\xFF"},
               {Truncate(kEmoji + kEmoji + kEmoji, 2), kEmoji + kEmoji}})
    EXPECT_EQ(got, want);
  EXPECT_EQ(ErrorNumberOf([] { Left("abc", -1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0); }), err::InvalidProcedureCall);
  EXPECT_EQ(ChrW(0x20AC), kEuro);
  EXPECT_EQ(AscW("\xFF"), char32_t{0xFFFD});
  for (char32_t cp : {char32_t{0x7FF}, char32_t{0x800}, char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
    EXPECT_EQ(AscW(ChrW(cp) + "x"), cp);
  }
  EXPECT_EQ(ErrorNumberOf([] { ChrW(0xD800); }), err::InvalidProcedureCall);
}

TEST(TextSearch, InStrReplaceTrimAndCaseMapping) {
  // A lone byte is not found inside a character that happens to contain it.
  for (const auto& [got, want] : std::vector<std::pair<int32_t, int32_t>>{
           {InStr(4, "abcabc", "c"), 6}, {InStr(7, "abcabc", "c"), 0}, {InStr(2, kEuro + kCafe + kEuro, kEuro), 6},
           {InStr(kEmoji + "ab", "b"), 3}, {InStr(4, "abc", ""), 4}, {InStr(5, "abc", ""), 0},
           {InStr(kCafe + "\xC3", "\xC3"), 5}})
    EXPECT_EQ(got, want);
  EXPECT_EQ(ErrorNumberOf([] { InStr(0, "abc", "a"); }), err::InvalidProcedureCall);
  // Replace goes left to right, never overlapping; only spaces are trimmed. Case mapping is the
  // full Unicode one (en-US, not the Turkish dotted capital) and keeps ill-formed bytes as they are.
  for (const auto& [got, want] : Results{
           {Replace("aaa", "aa", "b"), "ba"}, {Replace("abc", "", "x"), "abc"},
           {Replace(kCafe + kCafe, "\xC3\xA9", "e"), "cafecafe"}, {Replace(kCafe, "\xA9", "!"), kCafe},
           {LTrim("  a "), "a "}, {RTrim("  a "), "  a"}, {Trim("\ta\t"), "\ta\t"},
           {UCase(kCafe), "CAF\xC3\x89"}, {LCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9"},
           {UCase("stra\xC3\x9F" "e"), "STRASSE"}, {UCase("i"), "I"},
           {FoldCase("\xCE\xA3\xCE\x91\xCE\xA3"), "\xCF\x83\xCE\xB1\xCF\x83"},  // ΣΑΣ -> σασ
           {UCase("a\xFF" "b"), "A\xFF" "B"}, {LCase("\xC3\x89\x80" "A"), "\xC3\xA9\x80" "a"}})
    EXPECT_EQ(got, want);
}

TEST(TextCollation, CompareTextIgnoresCaseButNotAccentsAndKeysOrderExactlyAsIt) {
  EXPECT_EQ(CompareText("apple", "APPLE"), 0);
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_LT(CompareText("resume", "r\xC3\xA9sum\xC3\xA9"), 0);
  EXPECT_LT(CompareText("\xC3\xA9t\xC3\xA9", "f"), 0);  // été sorts with the e's
  EXPECT_EQ(CompareText("e\xCC\x81", "\xC3\xA9"), 0);    // combining acute = precomposed é
  const std::vector<std::string> words = {
      "apple", "APPLE", "Banana", "r\xC3\xA9sum\xC3\xA9", "resume", "\xC3\xA9t\xC3\xA9", "ete", "f", "", " ",
      "10", "9", "a b", "ab", "a-b", "stra\xC3\x9F" "e", "strasse", kEmoji, "\xFF", "e\xCC\x81", "\xC3\xA9",
      "\xD0\x96", "\xE4\xB8\xAD"};
  // The keys of a whole column at once are the same keys, and their prefixes order them wherever
  // the prefixes differ.
  CollationKeys table;
  for (const std::string& w : words) table.Add(w);
  ASSERT_EQ(table.Size(), words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string key = CollationKey(words[i]);
    EXPECT_EQ(table.Key(i), key) << "\"" << words[i] << "\"";
    for (size_t j = 0; j < words.size(); ++j) {
      const std::string other = CollationKey(words[j]);
      EXPECT_EQ(Sign(key.compare(other)), Sign(CompareText(words[i], words[j])))
          << "\"" << words[i] << "\" vs \"" << words[j] << "\"";
      if (table.Prefix(i) != table.Prefix(j)) {
        EXPECT_EQ(table.Prefix(i) < table.Prefix(j), key < other) << "\"" << words[i] << "\" vs \"" << words[j] << "\"";
      }
    }
  }
}

TEST(LikePattern, WildcardsListsAndCodePointsAtAboutOneStepPerCharacter) {
  struct Case {
    const char* text;
    const char* pattern;
    bool matches;
  };
  const Case cases[] = {
      // Literals compare binary; "?" is one character, "#" one digit 0-9 ("/" and ":" are their neighbours).
      {"abc", "abc", true}, {"abc", "ABC", false}, {"abc", "ab", false}, {"a1c", "a?c", true}, {"ac", "a?c", false},
      {"a1c", "a#c", true}, {"abc", "a#c", false}, {"0", "#", true}, {"9", "#", true}, {"/", "#", false},
      {":", "#", false}, {"\xD9\xA3", "#", false},  // a digit of another script is no decimal digit here
      {"a]b", "a]b", true},                         // "]" outside a list is itself
      // "*" is any run, including none.
      {"", "*", true}, {"a", "a*", true}, {"xxabxcxx", "*abc*", false}, {"abcabd", "*abd", true},
      {"mississippi", "m*iss*ppi", true}, {"mississippi", "m*iss*ppix", false}, {"", "*?", false},
      // Lists, ranges and negation; "-" at either end and wildcards inside a list are themselves.
      {"b", "[abc]", true}, {"M", "[a-z]", false}, {"x", "[0-9x]", true}, {"d", "[!abc]", true},
      {"a", "[!abc]", false}, {"", "[!abc]", false}, {"-", "[a-]", true}, {"-", "[!a-c-]", false},
      {"?#", "[?][#]", true}, {"x", "[*]", false}, {"[", "[[]", true},
      {"ab", "a[]b", true},    // an empty list matches no character and is skipped
      {"axb", "a[!]b", true},  // an empty negated list matches any one character
      // Characters are code points, an ill-formed byte is one character of its own.
      {"caf\xC3\xA9", "caf?", true}, {"caf\xC3\xA9", "caf??", false}, {"\xF0\x9F\x98\x80!", "?!", true},
      {"\xC3\xA9", "[\xC3\xA0-\xC3\xBF]", true}, {"\xFF", "?", true}, {"a\xC3\xBF", "a\xFF", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Like(c.text, c.pattern), c.matches) << c.text << " Like " << c.pattern;
  // A malformed list is refused even when the text fails before it.
  for (const char* bad : {"[", "a*[!", "[z-a]", "x[a"})
    EXPECT_EQ(ErrorNumberOf([&] { Like("zzz", bad); }), err::InvalidPatternString) << bad;
  // Matching never backtracks: the cost follows the text, not the ways its stars could share it.
  const std::string as(255, 'a');
  uint64_t steps = 0;
  EXPECT_FALSE(LikePattern("*a*a*a*a*b*").Matches(as, steps));
  EXPECT_LE(steps, as.size() + 8);
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
  static const char* const alphabet[] = {"a", "b", "1", "7", "\xC3\xA9"};
  struct Piece {
    const char* pattern;
    unsigned accepts;  // bit i: the piece matches alphabet[i]; 0 is "*"
  };
  static const Piece pieces[] = {{"a", 0b00001}, {"b", 0b00010}, {"\xC3\xA9", 0b10000},
                                 {"?", 0b11111}, {"#", 0b01100}, {"[ab]", 0b00011},
                                 {"[!a]", 0b11110}, {"[0-5]", 0b00100}, {"*", 0}};
  uint64_t state = 12345;
  auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return (state >> 33) % n;
  };
  for (int round = 0; round < 3000; ++round) {
    std::vector<const Piece*> pat;
    std::string pattern, text;
    for (uint64_t i = 0, n = next(7); i < n; ++i) {
      pat.push_back(&pieces[next(std::size(pieces))]);
      pattern += pat.back()->pattern;
    }
    std::vector<size_t> codes;
    for (uint64_t i = 0, n = next(9); i < n; ++i) {
      codes.push_back(next(std::size(alphabet)));
      text += alphabet[codes.back()];
    }
    // fits[i][j]: the first i characters fit the first j pieces.
    std::vector<std::vector<bool>> fits(codes.size() + 1, std::vector<bool>(pat.size() + 1, false));
    fits[0][0] = true;
    for (size_t i = 0; i <= codes.size(); ++i)
      for (size_t j = 1; j <= pat.size(); ++j) {
        if (pat[j - 1]->accepts == 0) fits[i][j] = fits[i][j - 1] || (i > 0 && fits[i - 1][j]);
        else fits[i][j] = i > 0 && fits[i - 1][j - 1] && (pat[j - 1]->accepts >> codes[i - 1] & 1);
      }
    ASSERT_EQ(LikePattern(pattern).Matches(text), fits[codes.size()][pat.size()]) << text << " Like " << pattern;
  }
}

}  // namespace
}  // namespace tamarind
