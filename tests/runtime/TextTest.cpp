#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(TextCharacters, LengthCountsCodePointsAndIllFormedBytesOneEach) {
  EXPECT_EQ(Len(kCafe), 4);
  EXPECT_EQ(Len(kEmoji + kEuro), 2);
  EXPECT_EQ(Len("\xE2\x82"), 2);      // a cut-off sequence
  EXPECT_EQ(Len("\xC0\xAF"), 2);      // an overlong form
  EXPECT_EQ(Len("\xED\xA0\x80"), 3);  // an encoded surrogate
  EXPECT_EQ(Len(std::string("a\0b", 3)), 3);
}

TEST(TextCharacters, LeftRightMidNeverSplitACharacter) {
  EXPECT_EQ(Left(kCafe, 3), "caf");
  EXPECT_EQ(Left(kCafe, 99), kCafe);
  EXPECT_EQ(Right(kCafe, 2), "f\xC3\xA9");
  EXPECT_EQ(Mid(kEuro + kEmoji + "xy", 2, 2), kEmoji + "x");
  EXPECT_EQ(Mid(kEuro + kEmoji + "xy", 2), kEmoji + "xy");
  EXPECT_EQ(Mid("abc", 9, 2), "");
  EXPECT_EQ(Mid("a\xFF" "b", 2, 1), "\xFF");
  EXPECT_EQ(Truncate(kEmoji + kEmoji + kEmoji, 2), kEmoji + kEmoji);
  EXPECT_EQ(ErrorNumberOf([] { Left("abc", -1); }), err::InvalidProcedureCall);
  EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0); }), err::InvalidProcedureCall);
}

TEST(TextSearch, InStrGivesCharacterPositions) {
  EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(InStr(7, "abcabc", "c"), 0);
  EXPECT_EQ(InStr(2, kEuro + kCafe + kEuro, kEuro), 6);
  EXPECT_EQ(InStr(kEmoji + "ab", "b"), 3);
  EXPECT_EQ(InStr(4, "abc", ""), 4);
  EXPECT_EQ(InStr(5, "abc", ""), 0);
  // A lone byte is not found inside a character that happens to contain it.
  EXPECT_EQ(InStr(kCafe + "\xC3", "\xC3"), 5);
  EXPECT_EQ(ErrorNumberOf([] { InStr(0, "abc", "a"); }), err::InvalidProcedureCall);
}

TEST(TextSearch, ReplaceAndTrim) {
  EXPECT_EQ(Replace("aaa", "aa", "b"), "ba");  // left to right, never overlapping
  EXPECT_EQ(Replace("abc", "", "x"), "abc");
  EXPECT_EQ(Replace(kCafe + kCafe, "\xC3\xA9", "e"), "cafecafe");
  EXPECT_EQ(Replace(kCafe, "\xA9", "!"), kCafe);
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // only spaces are removed
}

TEST(TextCase, FullUnicodeCaseMapping) {
  EXPECT_EQ(UCase(kCafe), "CAF\xC3\x89");
  EXPECT_EQ(LCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(UCase("stra\xC3\x9F" "e"), "STRASSE");  // ß has no one-letter capital
  EXPECT_EQ(UCase("i"), "I");                       // en-US, not the Turkish dotted capital
  EXPECT_EQ(FoldCase("\xCE\xA3\xCE\x91\xCE\xA3"), "\xCF\x83\xCE\xB1\xCF\x83");  // ΣΑΣ -> σασ
  EXPECT_EQ(UCase("a\xFF" "b"), "A\xFF" "B");       // ill-formed bytes are kept as they are
  EXPECT_EQ(LCase("\xC3\x89\x80" "A"), "\xC3\xA9\x80" "a");
}

TEST(TextCollation, CompareTextIgnoresCaseButNotAccents) {
  EXPECT_EQ(CompareText("apple", "APPLE"), 0);
  EXPECT_LT(CompareText("apple", "Banana"), 0);
  EXPECT_LT(CompareText("resume", "r\xC3\xA9sum\xC3\xA9"), 0);
  EXPECT_LT(CompareText("\xC3\xA9t\xC3\xA9", "f"), 0);  // été sorts with the e's
  EXPECT_EQ(CompareText("e\xCC\x81", "\xC3\xA9"), 0);    // combining acute = precomposed é
}

TEST(TextCollation, CollationKeysOrderExactlyAsCompareText) {
  const std::vector<std::string> words = {
      "apple", "APPLE", "Banana", "r\xC3\xA9sum\xC3\xA9", "resume", "\xC3\xA9t\xC3\xA9", "ete", "f", "", " ",
      "10", "9", "a b", "ab", "a-b", "stra\xC3\x9F" "e", "strasse", kEmoji, "\xFF", "e\xCC\x81", "\xC3\xA9",
      "\xD0\x96", "\xE4\xB8\xAD"};
  std::vector<std::string> keys;
  for (const std::string& w : words) keys.push_back(CollationKey(w));
  // The keys of a whole column at once are the same keys, and their prefixes order them wherever
  // the prefixes differ.
  CollationKeys table;
  for (const std::string& w : words) table.Add(w);
  ASSERT_EQ(table.Size(), words.size());
  for (size_t i = 0; i < words.size(); ++i) {
    EXPECT_EQ(table.Key(i), keys[i]) << "\"" << words[i] << "\"";
    for (size_t j = 0; j < words.size(); ++j) {
      EXPECT_EQ(Sign(keys[i].compare(keys[j])), Sign(CompareText(words[i], words[j])))
          << "\"" << words[i] << "\" vs \"" << words[j] << "\"";
      if (table.Prefix(i) != table.Prefix(j)) {
        EXPECT_EQ(table.Prefix(i) < table.Prefix(j), keys[i] < keys[j]) << "\"" << words[i] << "\" vs \"" << words[j] << "\"";
      }
    }
  }
}

TEST(TextCharacters, ChrWAndAscW) {
  EXPECT_EQ(ChrW(0x20AC), kEuro);
  EXPECT_EQ(AscW("\xFF"), char32_t{0xFFFD});
  for (char32_t cp : {char32_t{0x7FF}, char32_t{0x800}, char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
    EXPECT_EQ(AscW(ChrW(cp) + "x"), cp);
  }
  EXPECT_EQ(ErrorNumberOf([] { ChrW(0xD800); }), err::InvalidProcedureCall);
}

}  // namespace
}  // namespace tamarind::text
