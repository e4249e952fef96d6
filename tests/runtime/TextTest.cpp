#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "runtime/Error.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::text {
namespace {

using test_support::ErrorNumberOf;

const std::string kCafe = "caf\xC3\xA9";            // café
const std::string kEmoji = "\xF0\x9F\x98\x80";       // U+1F600
const std::string kEuro = "\xE2\x82\xAC";            // €

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(TextCharacters, LengthCountsCodePoints) {
  EXPECT_EQ(Len(""), 0);
  EXPECT_EQ(Len("abc"), 3);
  EXPECT_EQ(Len(kCafe), 4);
  EXPECT_EQ(Len(kEmoji + kEuro), 2);
  EXPECT_EQ(Len("\xFF\xFE"), 2);           // ill-formed bytes count one each
  EXPECT_EQ(Len("\xE2\x82"), 2);           // a cut-off sequence
  EXPECT_EQ(Len("\xC0\xAF"), 2);           // an overlong form
  EXPECT_EQ(Len("\xED\xA0\x80"), 3);       // an encoded surrogate
  EXPECT_EQ(Len(std::string("a\0b", 3)), 3);
}

TEST(TextCharacters, LeftRightMidNeverSplitACharacter) {
  EXPECT_EQ(Left(kCafe, 4), kCafe);
  EXPECT_EQ(Left(kCafe, 3), "caf");
  EXPECT_EQ(Left(kCafe, 99), kCafe);
  EXPECT_EQ(Left(kCafe, 0), "");
  EXPECT_EQ(Right(kCafe, 1), "\xC3\xA9");
  EXPECT_EQ(Right(kCafe, 2), "f\xC3\xA9");
  EXPECT_EQ(Right(kCafe, 10), kCafe);
  EXPECT_EQ(Mid(kEuro + kEmoji + "xy", 2, 2), kEmoji + "x");
  EXPECT_EQ(Mid(kEuro + kEmoji + "xy", 2), kEmoji + "xy");
  EXPECT_EQ(Mid("abc", 4), "");
  EXPECT_EQ(Mid("abc", 9, 2), "");
  EXPECT_EQ(Mid("abc", 2, 0), "");
  EXPECT_EQ(Mid("a\xFF" "b", 2, 1), "\xFF");
  EXPECT_EQ(Truncate(kEmoji + kEmoji + kEmoji, 2), kEmoji + kEmoji);
  EXPECT_EQ(Truncate("abc", 5), "abc");
}

TEST(TextCharacters, NegativeCountsAndPositionsAreInvalid) {
  EXPECT_EQ(ErrorNumberOf([] { Left("abc", -1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Right("abc", -1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Truncate("abc", -2); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { InStr(0, "abc", "a"); }), err::InvalidProcedureCall);
}

TEST(TextSearch, InStrGivesCharacterPositions) {
  EXPECT_EQ(InStr("abcabc", "c"), 3);
  EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(InStr(7, "abcabc", "c"), 0);
  EXPECT_EQ(InStr("abc", "x"), 0);
  EXPECT_EQ(InStr(kEuro + kCafe + kEuro, kEuro), 1);
  EXPECT_EQ(InStr(2, kEuro + kCafe + kEuro, kEuro), 6);
  EXPECT_EQ(InStr(kEmoji + "ab", "b"), 3);
  EXPECT_EQ(InStr(2, "abc", ""), 2);
  EXPECT_EQ(InStr(4, "abc", ""), 4);
  EXPECT_EQ(InStr(5, "abc", ""), 0);
  EXPECT_EQ(InStr("", "a"), 0);
  // A lone byte is not found inside a character that happens to contain it.
  EXPECT_EQ(InStr(kCafe + "\xC3", "\xC3"), 5);
  EXPECT_EQ(InStr(kCafe, "\xA9"), 0);
}

TEST(TextSearch, ReplaceEveryOccurrenceLeftToRight) {
  EXPECT_EQ(Replace("a-b-c", "-", ", "), "a, b, c");
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");
  EXPECT_EQ(Replace("$1,200", "$", ""), "1,200");
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace("abc", "x", "y"), "abc");
  EXPECT_EQ(Replace(kCafe + kCafe, "\xC3\xA9", "e"), "cafecafe");
  EXPECT_EQ(Replace(kCafe, "\xA9", "!"), kCafe);
}

TEST(TextTrim, OnlySpacesAreRemoved) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(LTrim(""), "");
}

TEST(TextCase, FullUnicodeCaseMapping) {
  EXPECT_EQ(UCase("Hello, World 1"), "HELLO, WORLD 1");
  EXPECT_EQ(LCase("Hello, World 1"), "hello, world 1");
  EXPECT_EQ(UCase(kCafe), "CAF\xC3\x89");
  EXPECT_EQ(LCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(UCase("stra\xC3\x9F" "e"), "STRASSE");  // ß has no one-letter capital
  EXPECT_EQ(UCase("i"), "I");                       // en-US, not the Turkish dotted capital
  EXPECT_EQ(FoldCase("\xCE\xA3\xCE\x91\xCE\xA3"), "\xCF\x83\xCE\xB1\xCF\x83");  // ΣΑΣ -> σασ
  EXPECT_EQ(FoldCase("Stra\xC3\x9F" "E"), "strasse");
  EXPECT_EQ(FoldCase("K123"), "k123");
}

TEST(TextCase, IllFormedBytesAreKeptAsTheyAre) {
  EXPECT_EQ(UCase("a\xFF" "b"), "A\xFF" "B");
  EXPECT_EQ(LCase("\xC3\x89\x80" "A"), "\xC3\xA9\x80" "a");
  EXPECT_EQ(FoldCase("\xE2\x82" "X"), "\xE2\x82" "x");
}

TEST(TextCollation, CompareTextIgnoresCaseButNotAccents) {
  EXPECT_EQ(CompareText("apple", "APPLE"), 0);
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_GT(CompareText("banana", "Apple"), 0);
  EXPECT_NE(CompareText("r\xC3\xA9sum\xC3\xA9", "resume"), 0);
  EXPECT_LT(CompareText("resume", "r\xC3\xA9sum\xC3\xA9"), 0);
  EXPECT_LT(CompareText("\xC3\xA9t\xC3\xA9", "f"), 0);  // été sorts with the e's
  EXPECT_EQ(CompareText("e\xCC\x81", "\xC3\xA9"), 0);    // combining acute = precomposed é
  EXPECT_LT(CompareText("a", "ab"), 0);
  EXPECT_EQ(CompareText("", ""), 0);
}

TEST(TextCollation, CollationKeysOrderExactlyAsCompareText) {
  const std::vector<std::string> words = {
      "apple", "Apple", "APPLE", "banana", "Banana", "r\xC3\xA9sum\xC3\xA9", "resume", "Resume", "\xC3\xA9t\xC3\xA9",
      "ete", "f", "", " ", "10", "9", "a b", "ab", "a-b", "stra\xC3\x9F" "e", "strasse", kEmoji, "zebra", "\xFF",
      "e\xCC\x81", "\xC3\xA9", "\xD0\x96", "\xE4\xB8\xAD"};
  std::vector<std::string> keys;
  for (const std::string& w : words) keys.push_back(CollationKey(w));
  for (size_t i = 0; i < words.size(); ++i) {
    for (size_t j = 0; j < words.size(); ++j) {
      EXPECT_EQ(Sign(keys[i].compare(keys[j])), Sign(CompareText(words[i], words[j])))
          << "\"" << words[i] << "\" vs \"" << words[j] << "\"";
    }
  }
  EXPECT_EQ(CollationKey("ABC"), CollationKey("abc"));
}

TEST(TextCollation, EachThreadHasItsOwnCollator) {
  std::vector<std::string> sorted = {"delta", "Alpha", "charlie", "Bravo", "echo", "\xC3\xA9" "cho"};
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
  std::vector<std::thread> threads;
  std::vector<int> ok(4, 0);
  for (size_t t = 0; t < ok.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round) {
        std::vector<std::string> words = {"echo", "\xC3\xA9" "cho", "Bravo", "delta", "charlie", "Alpha"};
        std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) { return CompareText(a, b) < 0; });
        if (words != sorted) return;
      }
      ok[t] = 1;
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(std::count(ok.begin(), ok.end(), 1), 4);
  EXPECT_EQ(sorted.front(), "Alpha");
  EXPECT_EQ(sorted[4], "echo");
}

TEST(TextCharacters, ChrWAndAscW) {
  EXPECT_EQ(ChrW(U'A'), "A");
  EXPECT_EQ(ChrW(0xE9), "\xC3\xA9");
  EXPECT_EQ(ChrW(0x20AC), kEuro);
  EXPECT_EQ(ChrW(0x1F600), kEmoji);
  EXPECT_EQ(AscW(kEmoji + "x"), char32_t{0x1F600});
  EXPECT_EQ(AscW("A"), U'A');
  EXPECT_EQ(AscW("\xFF"), char32_t{0xFFFD});
  for (char32_t cp : {char32_t{0}, char32_t{0x7F}, char32_t{0x80}, char32_t{0x7FF}, char32_t{0x800},
                      char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
    EXPECT_EQ(AscW(ChrW(cp)), cp);
    EXPECT_EQ(Len(ChrW(cp)), 1);
  }
  EXPECT_EQ(ErrorNumberOf([] { ChrW(0xD800); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { ChrW(0x110000); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { AscW(""); }), err::InvalidProcedureCall);
}

}  // namespace
}  // namespace tamarind::text
