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

// Typed text becomes a number, a date or time, or stays text exactly as it was typed. The forms
// a list's texts take most (grouped, signed and currency numbers, percentages, exponents, dates
// and times in five forms, look-alikes) go through an export to four readers in tests/readers.
TEST(TypedText, BecomesTheCellASpreadsheetMakesOfIt) {
  auto day = [](int h = 0, int mi = 0) { return Date::FromCalendar(2026, 12, 6, h, mi).SerialNumber(); };
  const std::vector<std::pair<const char*, Cell>> cases = {
      {"42", Cell::Number(42)}, {"-3.5", Cell::Number(-3.5)}, {"+8", Cell::Number(8)}, {" 7 ", Cell::Number(7)},
      {"007", Cell::Number(7)}, {".5", Cell::Number(0.5)}, {"$1,200.50", Cell::Number(1200.5)}, {"-$3", Cell::Number(-3)},
      {"(5)", Cell::Number(-5)}, {"12%", Cell::Number(0.12)}, {"2e-3", Cell::Number(0.002)},
      {"100000000000000000000", Cell::Number(1e20)}, {"123456789012345", Cell::Number(123456789012345.0)},
      {"2026-12-06", Cell::Number(day(), NumberFormat::Date)}, {"12/6/2026 3:30 PM", Cell::Number(day(15, 30), NumberFormat::DateTime)},
      {"0:00:01", Cell::Number(1.0 / 86400, NumberFormat::Time)}, {"'12/6/2026", Cell::Text("12/6/2026")}, {"", Cell{}},
  };
  for (const auto& [text, cell] : cases) EXPECT_EQ(EnterText(text), cell) << text;
  // Text that only looks like a number or a date stays text, exactly as it was typed.
  for (const char* text : {"1,2", "1,23", "12,3456", "12-", "--5", "(-5)", "5 5", "1e", "0x10", "Infinity", "nan", "$", "%",
                           "1234567890123456",  // 16 significant digits: the last would be lost
                           "2/30/2026", "25:00", "12/31/1899"})
    EXPECT_EQ(EnterText(text), Cell::Text(text)) << text;
}

TEST(TabText, TabsSeparateCellsAnyLineEndSeparatesRowsQuotesHoldBoth) {
  const std::vector<std::pair<const char*, TextGrid>> cases = {
      {"", {}}, {"A\tB\r1\t2\r", {{"A", "B"}, {"1", "2"}}}, {"A\tB\r\n1\t2\r\n", {{"A", "B"}, {"1", "2"}}}, {"A\nB", {{"A"}, {"B"}}},
      // An empty line keeps its place (the line end after the last line adds no row), an empty cell its column.
      {"A\r\rB\r", {{"A"}, {}, {"B"}}}, {"\r", {{}}}, {"\tx\t\ty\r", {{"", "x", "", "y"}}}, {"a\t", {{"a", ""}}},
      // Quoted cells hold TABs, line ends and quotes.
      {"\"a\tb\"\tc\r", {{"a\tb", "c"}}}, {"\"two\rlines\"\r", {{"two\rlines"}}}, {"\"say \"\"hi\"\"\"\r", {{"say \"hi\""}}}, {"\"q\"tail\tx", {{"qtail", "x"}}},
      // A quote inside a cell is a character; one never closed is taken as it stands.
      {"5\" pipe\tx\r", {{"5\" pipe", "x"}}}, {"\"open\tx\ry\r", {{"\"open", "x"}, {"y"}}},
  };
  for (const auto& [text, grid] : cases) EXPECT_EQ(ParseTabText(text), grid) << text;
}

TEST(CellDisplay, NumbersShowInElevenCharactersDatesAsDates) {
  const std::vector<std::pair<Cell, std::string>> cases = {
      {Cell::Number(1234.5), "1234.5"}, {Cell::Number(0.1 + 0.2), "0.3"}, {Cell::Number(1.0 / 3), "0.333333333"},
      {Cell::Number(-2.0 / 3), "-0.66666667"}, {Cell::Number(12345678901.0), "12345678901"},
      {Cell::Number(123456789012.0), "1.23457E+11"}, {Cell::Number(-0.000001234), "-1.234E-06"}, {Cell::Number(0), "0"},
      {Cell::Number(Date::FromCalendar(2026, 12, 6).SerialNumber(), NumberFormat::Date), "12/6/2026"},
      {Cell::Number(Date::FromCalendar(2026, 12, 6, 9, 5).SerialNumber(), NumberFormat::DateTime), "12/6/2026 9:05"},
      {Cell::Number(0.75, NumberFormat::Time), "18:00:00"}, {Cell::Boolean(false), "FALSE"}, {Cell::Error(0x2A), "#N/A"},
  };
  for (const auto& [cell, shown] : cases) EXPECT_EQ(spreadsheet::DisplayText(cell), shown) << shown;
}

TEST(ColumnFit, WidthFollowsTheShownCharacters) {
  // Arial: "i" is narrow, "W" wide, digits in between; a wider text never gets a narrower column.
  using spreadsheet::FittedWidth;
  const uint16_t narrow = FittedWidth(std::string(20, 'i')), digits = FittedWidth(std::string(20, '0')), wide = FittedWidth(std::string(20, 'W'));
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
