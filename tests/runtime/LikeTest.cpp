#include "runtime/Like.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace tamarind
