// Token lists, the column styling that reads them, and the short wait.

#include <gtest/gtest.h>

#include "KestrelFixture.h"
#include "presentation/basTOKENS.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class Tokens : public ::testing::Test {
 protected:
  headless::HeadlessToolkit tk;
  int16_t Count(const std::string& text, const std::string& delim = ",") {
    return basTOKENS::CountTokens(tk, text, delim);
  }
};

TEST_F(Tokens, CountingFollowsTheDelimiters) {
  EXPECT_EQ(Count(""), 0);
  EXPECT_EQ(Count("a"), 1);
  EXPECT_EQ(Count(",,"), 3);         // empty tokens count
  EXPECT_EQ(Count("aaa", "aa"), 3);  // each search starts one character after the previous match
}

TEST_F(Tokens, GetTokenTakesTheTrimmedFrontToken) {
  std::string list = "1, 2 ,,3";
  std::vector<std::string> tokens;
  for (int16_t n = Count(list); n > 0; --n) tokens.push_back(basTOKENS::GetToken(tk, list, ","));
  EXPECT_EQ(tokens, (std::vector<std::string>{"1", "2", "", "3"}));
  EXPECT_EQ(list, "");
  std::string longer = "a::b";
  EXPECT_EQ(basTOKENS::GetToken(tk, longer, "::"), "a");
  EXPECT_EQ(longer, ":b");  // a longer delimiter is found whole, but only its first character goes
}

// Positions are counted in characters and held to 16 bits: the last position that fits is 32767,
// for the delimiter's place and for the number of tokens, whatever the characters' bytes.
TEST_F(Tokens, PositionsAndCountsStopAtTheSixteenBitLimit) {
  EXPECT_EQ(Count(std::string(32766, ',')), 32767);
  EXPECT_TRUE(tk.MessageBoxes().empty());
  EXPECT_EQ(Count(std::string(32767, ',')), 0);  // 32768 tokens
  ASSERT_EQ(tk.MessageBoxes().size(), 1u);
  EXPECT_EQ(tk.MessageBoxes()[0].prompt, "6:Error in CountTokens() Function.  Error Message:Overflow");
  std::string e;  // "é" is two bytes but one character
  for (int i = 0; i < 32766; ++i) e += "é";
  EXPECT_EQ(Count(e + ",x"), 2);       // the comma at character 32767
  EXPECT_EQ(Count(e + "é,x"), 0);      // at 32768
  std::string tooFar = e + "é,x";
  EXPECT_EQ(basTOKENS::GetToken(tk, tooFar, ","), "");
  EXPECT_EQ(tooFar, e + "é,x");  // left as it was
  EXPECT_EQ(tk.MessageBoxes().size(), 3u);
}

TEST_F(Tokens, PauseWaitsOnTheClockWhileEventsRun) {
  int32_t none = 0;
  basTOKENS::Pause(tk, none);
  EXPECT_EQ(tk.GetClock().GetTickCount(), 0u);
  int ran = 0;
  tk.Post([&] { ++ran; });
  int32_t ms = 100;
  basTOKENS::Pause(tk, ms);
  EXPECT_EQ(tk.GetClock().GetTickCount(), 100u);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(tk.DoEventsCount(), 100);
}

class Styling : public ::testing::Test {
 protected:
  Desk d;
  Kestrel& k = d.Place();
  void SetUp() override {
    for (const char* c : {"Name", "Qty", "City", "Notes"}) k.ColumnHeaders().Add(0, {}, c);
    for (int i = 1; i <= 3; ++i) {
      auto item = k.ListItems().Add(0, {}, "row" + std::to_string(i));
      item->SubItems(1, std::to_string(i));
      item->SubItems(2, "Oslo");
    }
  }
  bool SubBold(int row, int j) { return k.ListItems().Item(row)->GetListSubItems().Item(j).Bold(); }
};

TEST_F(Styling, ListedColumnsOfEveryRowAreStyled) {
  k.SetEditableItemsBold("1, 2");
  for (int row = 1; row <= 3; ++row) {
    EXPECT_TRUE(SubBold(row, 1));
    EXPECT_TRUE(SubBold(row, 2));
    EXPECT_FALSE(k.ListItems().Item(row)->Bold());
  }
  k.SetEditableItemsBold("0");
  EXPECT_TRUE(k.ListItems().Item(2)->Bold());
  k.SetEditableItemsForeColor("2", RGB(0, 0, 200));
  k.SetNonEditableItemsForeColor("0", RGB(90, 90, 90));
  EXPECT_EQ(k.ListItems().Item(3)->GetListSubItems().Item(2).ForeColor(), RGB(0, 0, 200));
  EXPECT_EQ(k.ListItems().Item(3)->ForeColor(), RGB(90, 90, 90));
  // Nothing listed, or no rows: silently nothing.
  k.SetEditableItemsBold("");
  k.ListItems().Clear();
  k.SetEditableItemsBold("1,2");
  EXPECT_TRUE(d.tk.MessageBoxes().empty());
}

TEST_F(Styling, TheFirstBadTokenStopsWithAMessage) {
  k.SetEditableItemsBold("1,x,2");
  EXPECT_TRUE(SubBold(3, 1));   // styled before the error
  EXPECT_FALSE(SubBold(3, 2));  // never reached
  ASSERT_EQ(d.tk.MessageBoxes().size(), 1u);
  EXPECT_EQ(d.tk.MessageBoxes()[0].prompt, "13:Error in SetEditableItemsBold.  Error Message: Type mismatch");
  EXPECT_EQ(d.tk.MessageBoxes()[0].buttons, vbCritical);
}

}  // namespace
}  // namespace tamarind::testing
