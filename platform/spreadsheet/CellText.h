#pragma once
// Text in and out of cells, as a spreadsheet reads what a person types or pastes and shows what a
// cell holds (English, United States conventions).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/spreadsheet/Workbook.h"

namespace tamarind::spreadsheet {

// The cell a typed text makes.
//   - Numbers: optional spaces around; a sign before ("-5", "+5") or parentheses for a negative
//     amount ("(5)"); a "$" before the digits; digits with "," between groups of three
//     ("1,234,567"); a decimal point; an exponent ("1.5E+3"); a "%" after (divided by 100).
//     A number of more than 15 significant digits stays text: a double cannot hold it to the
//     digit, and an article number or a card number must not lose its last digits.
//   - Dates and times, as the runtime reads them ("12/6/2026", "2026-12-06", "6-Dec-2026",
//     "10:30", "12/6/2026 3:04 PM"): the day's serial number, shown as a date, a date and time
//     or a time. A date before 1 January 1900 stays text: no cell holds it as a date.
//   - A leading apostrophe makes the rest text as it stands ("'007").
//   - "" makes an empty cell; everything else is text.
Cell EnterText(std::string_view text);

// Tab-separated text as rows of cell texts: TAB between cells; CR, CR LF or LF ends a row; the
// end of the text after a line end adds no row. A cell that starts with a double quote is quoted:
// it runs to the next double quote that is not doubled, may hold TABs and line ends, and "" in it
// is one double quote; text after the closing quote up to the next TAB or line end is appended as
// it stands. A quote that is never closed is taken literally, so one stray quote cannot swallow
// the rest of the text.
using TextGrid = std::vector<std::vector<std::string>>;
TextGrid ParseTabText(std::string_view text);

// The same rules, row by row and cell by cell, without copying the text of a cell that is not
// quoted: a paste of a whole list reads its cells where they stand.
//
//   TabTextReader reader(text);
//   while (reader.NextRow())
//     for (std::string_view cell; reader.NextCell(cell);) ...
class TabTextReader {
 public:
  explicit TabTextReader(std::string_view text) : text_(text) {}
  // Moves to the next row, past what is left of the current one; false after the last row.
  bool NextRow();
  // The current row's next cell, valid until the next call; false after the row's last cell.
  bool NextCell(std::string_view& cell);

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int32_t column_ = 0;
  bool inRow_ = false;     // a row is started and not all of its cells are read
  bool afterTab_ = false;  // the last cell read ended at a TAB
  std::string quoted_;     // the text of the latest quoted cell
};

// What a cell shows: General numbers with up to 11 characters ("1234.5", "1.23457E+11"),
// dates as m/d/yyyy, times as h:mm:ss, "TRUE"/"FALSE", the error's text.
std::string DisplayText(const Cell& cell);

// The number of UTF-16 code units of UTF-8 text (an ill-formed byte counts as one).
size_t Utf16Length(std::string_view text);

}  // namespace tamarind::spreadsheet
