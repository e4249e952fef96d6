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

// Typed text becomes a number, a date or time, or stays text exactly as it was typed.
TEST(TypedText, BecomesTheCellASpreadsheetMakesOfIt) {
  auto date = [](int y, int m, int d, int h = 0, int mi = 0) { return Date::FromCalendar(y, m, d, h, mi).SerialNumber(); };
  const std::vector<std::pair<const char*, Cell>> cases = {
      {"42", Cell::Number(42)}, {"-3.5", Cell::Number(-3.5)}, {"+8", Cell::Number(8)}, {" 7 ", Cell::Number(7)},
      {"007", Cell::Number(7)}, {".5", Cell::Number(0.5)}, {"1,234,567", Cell::Number(1234567)},
      {"$1,200.50", Cell::Number(1200.5)}, {"-$3", Cell::Number(-3)}, {"(5)", Cell::Number(-5)},
      {"12%", Cell::Number(0.12)}, {"1.5E+3", Cell::Number(1500)}, {"2e-3", Cell::Number(0.002)},
      {"100000000000000000000", Cell::Number(1e20)}, {"123456789012345", Cell::Number(123456789012345.0)},
      {"12/6/2026", Cell::Number(date(2026, 12, 6), NumberFormat::Date)},
      {"2026-12-06", Cell::Number(date(2026, 12, 6), NumberFormat::Date)},
      {"6-Dec-2026", Cell::Number(date(2026, 12, 6), NumberFormat::Date)},
      {"12/6/2026 3:30 PM", Cell::Number(date(2026, 12, 6, 15, 30), NumberFormat::DateTime)},
      {"1/1/1900", Cell::Number(date(1900, 1, 1), NumberFormat::Date)},
      {"10:30", Cell::Number(0.4375, NumberFormat::Time)}, {"0:00:01", Cell::Number(1.0 / 86400, NumberFormat::Time)},
      {"'007", Cell::Text("007")}, {"'12/6/2026", Cell::Text("12/6/2026")}, {"Cardamom", Cell::Text("Cardamom")},
      {"", Cell{}},
  };
  for (const auto& [text, cell] : cases) EXPECT_EQ(EnterText(text), cell) << text;
  // Text that only looks like a number or a date stays text, exactly as it was typed.
  for (const char* text : {"1,2", "1,23", "12,3456", "12-", "1.2.3", "--5", "(-5)", "5 5", "1e", "0x10", "Infinity",
                           "nan", "$", "%", "1234567890123456",  // 16 significant digits: the last would be lost
                           "4111 1111 1111 1111", "A-12", "2/30/2026", "25:00", "12/31/1899"})
    EXPECT_EQ(EnterText(text), Cell::Text(text)) << text;
}

TEST(TabText, TabsSeparateCellsAnyLineEndSeparatesRowsQuotesHoldBoth) {
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
  // Quoted cells hold TABs, line ends and quotes.
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
