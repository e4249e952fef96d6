// Text into cells as a spreadsheet reads it, tab-separated text as rows of cells, and what cells
// show.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/spreadsheet/AutoFit.h"
#include "platform/spreadsheet/CellText.h"
#include "runtime/Date.h"

namespace tamarind::testing {
namespace {

using spreadsheet::Cell;
using spreadsheet::EnterText;
using spreadsheet::NumberFormat;
using spreadsheet::ParseTabText;
using spreadsheet::TextGrid;

TEST(TypedText, NumbersAreReadAsASpreadsheetReadsThem) {
  const std::vector<std::pair<const char*, double>> numbers = {
      {"42", 42},         {"-3.5", -3.5},      {"+8", 8},           {" 7 ", 7},
      {"007", 7},         {".5", 0.5},         {"1,234,567", 1234567}, {"$1,200.50", 1200.5},
      {"-$3", -3},        {"(5)", -5},         {"12%", 0.12},       {"1.5E+3", 1500},
      {"2e-3", 0.002},    {"100000000000000000000", 1e20},          {"123456789012345", 123456789012345.0},
  };
  for (const auto& [text, value] : numbers) {
    const Cell c = EnterText(text);
    EXPECT_EQ(c.kind, Cell::Kind::Number) << text;
    EXPECT_DOUBLE_EQ(c.number, value) << text;
    EXPECT_EQ(c.format, NumberFormat::General) << text;
  }
  // Text that only looks like a number stays text, exactly as it was typed.
  for (const char* text : {"1,2", "1,23", "12,3456", "12-", "1.2.3", "--5", "(-5)", "5 5", "1e", "0x10", "Infinity",
                           "nan", "$", "%", "1234567890123456",  // 16 significant digits: the last would be lost
                           "4111 1111 1111 1111", "A-12"}) {
    const Cell c = EnterText(text);
    EXPECT_EQ(c.kind, Cell::Kind::Text) << text;
    EXPECT_EQ(c.text, text);
  }
}

TEST(TypedText, DatesAndTimesBecomeNumbersShownAsDatesOrTimes) {
  struct Case {
    const char* text;
    double serial;
    NumberFormat format;
  };
  const std::vector<Case> cases = {
      {"12/6/2026", Date::FromCalendar(2026, 12, 6).SerialNumber(), NumberFormat::Date},
      {"2026-12-06", Date::FromCalendar(2026, 12, 6).SerialNumber(), NumberFormat::Date},
      {"6-Dec-2026", Date::FromCalendar(2026, 12, 6).SerialNumber(), NumberFormat::Date},
      {"12/6/2026 3:30 PM", Date::FromCalendar(2026, 12, 6, 15, 30).SerialNumber(), NumberFormat::DateTime},
      {"10:30", 0.4375, NumberFormat::Time},
      {"0:00:01", 1.0 / 86400, NumberFormat::Time},
  };
  for (const Case& c : cases) {
    const Cell cell = EnterText(c.text);
    EXPECT_EQ(cell.kind, Cell::Kind::Number) << c.text;
    EXPECT_DOUBLE_EQ(cell.number, c.serial) << c.text;
    EXPECT_EQ(cell.format, c.format) << c.text;
  }
  EXPECT_EQ(EnterText("2/30/2026").kind, Cell::Kind::Text);
  EXPECT_EQ(EnterText("25:00").kind, Cell::Kind::Text);
}

TEST(TypedText, ApostropheKeepsTextAndEmptyTextLeavesNoCell) {
  EXPECT_EQ(EnterText("'007"), Cell::Text("007"));
  EXPECT_EQ(EnterText("'12/6/2026"), Cell::Text("12/6/2026"));
  EXPECT_EQ(EnterText("Cardamom"), Cell::Text("Cardamom"));
  EXPECT_TRUE(EnterText("").IsEmpty());
}

TEST(TabText, TabsSeparateCellsAndAnyLineEndSeparatesRows) {
  EXPECT_EQ(ParseTabText(""), TextGrid{});
  EXPECT_EQ(ParseTabText("A\tB\r1\t2\r"), (TextGrid{{"A", "B"}, {"1", "2"}}));
  EXPECT_EQ(ParseTabText("A\tB\r\n1\t2\r\n"), (TextGrid{{"A", "B"}, {"1", "2"}}));
  EXPECT_EQ(ParseTabText("A\nB"), (TextGrid{{"A"}, {"B"}}));
  // An empty line keeps its place; the line end after the last line adds no row.
  EXPECT_EQ(ParseTabText("A\r\rB\r"), (TextGrid{{"A"}, {}, {"B"}}));
  EXPECT_EQ(ParseTabText("\r"), (TextGrid{{}}));
  // Empty cells keep their columns.
  EXPECT_EQ(ParseTabText("\tx\t\ty\r"), (TextGrid{{"", "x", "", "y"}}));
  EXPECT_EQ(ParseTabText("a\t"), (TextGrid{{"a", ""}}));
}

TEST(TabText, QuotedCellsHoldTabsLineEndsAndQuotes) {
  EXPECT_EQ(ParseTabText("\"a\tb\"\tc\r"), (TextGrid{{"a\tb", "c"}}));
  EXPECT_EQ(ParseTabText("\"two\rlines\"\r"), (TextGrid{{"two\rlines"}}));
  EXPECT_EQ(ParseTabText("\"say \"\"hi\"\"\"\r"), (TextGrid{{"say \"hi\""}}));
  EXPECT_EQ(ParseTabText("\"q\"tail\tx"), (TextGrid{{"qtail", "x"}}));
  // A quote inside a cell is a character; one never closed is taken as it stands.
  EXPECT_EQ(ParseTabText("5\" pipe\tx\r"), (TextGrid{{"5\" pipe", "x"}}));
  EXPECT_EQ(ParseTabText("\"open\tx\ry\r"), (TextGrid{{"\"open", "x"}, {"y"}}));
}

TEST(CellDisplay, NumbersShowInElevenCharactersDatesAsDates) {
  const std::vector<std::pair<Cell, std::string>> cases = {
      {Cell::Number(1234.5), "1234.5"},
      {Cell::Number(0.1 + 0.2), "0.3"},
      {Cell::Number(1.0 / 3), "0.333333333"},
      {Cell::Number(-2.0 / 3), "-0.66666667"},
      {Cell::Number(12345678901.0), "12345678901"},
      {Cell::Number(123456789012.0), "1.23457E+11"},
      {Cell::Number(-0.000001234), "-1.234E-06"},
      {Cell::Number(0), "0"},
      {Cell::Number(Date::FromCalendar(2026, 12, 6).SerialNumber(), NumberFormat::Date), "12/6/2026"},
      {Cell::Number(Date::FromCalendar(2026, 12, 6, 9, 5).SerialNumber(), NumberFormat::DateTime), "12/6/2026 9:05"},
      {Cell::Number(0.75, NumberFormat::Time), "18:00:00"},
      {Cell::Boolean(false), "FALSE"},
      {Cell::Error(0x2A), "#N/A"},
  };
  for (const auto& [cell, shown] : cases) EXPECT_EQ(spreadsheet::DisplayText(cell), shown);
}

TEST(ColumnFit, WidthFollowsTheShownCharacters) {
  // Arial: "i" is narrow, "W" wide, digits in between; a wider text never gets a narrower column.
  const uint16_t narrow = spreadsheet::FittedWidth(std::string(20, 'i'));
  const uint16_t digits = spreadsheet::FittedWidth(std::string(20, '0'));
  const uint16_t wide = spreadsheet::FittedWidth(std::string(20, 'W'));
  EXPECT_LT(narrow, digits);
  EXPECT_LT(digits, wide);
  // Twenty digits are twenty widths of the digit zero plus the cell's margins.
  EXPECT_GE(digits, 20 * 256);
  EXPECT_LT(digits, 21 * 256);
  // The longest line counts, and no column is wider than 255 characters.
  EXPECT_EQ(spreadsheet::FittedWidth("00000\n00"), spreadsheet::FittedWidth("00000"));
  EXPECT_EQ(spreadsheet::FittedWidth(std::string(1000, 'W')), 255 * 256);
  EXPECT_GT(spreadsheet::FittedWidth("中文"), spreadsheet::FittedWidth("ab"));
}

}  // namespace
}  // namespace tamarind::testing
