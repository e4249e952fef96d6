#pragma once
// The workbook model: worksheets of cells holding numbers, text, truth values or error values,
// and their column widths. It is what a .xls file holds and what the automation objects work on;
// Biff8.h reads and writes it.
//
// Rows and columns are 0-based here; the automation objects and addresses ("B3") are 1-based.
// The limits are those of the file format: 65,536 rows, 256 columns (A to IV), 32,767 characters
// of text in a cell, 31 characters in a sheet name.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tamarind::spreadsheet {

inline constexpr int32_t kMaxRows = 65536;
inline constexpr int32_t kMaxColumns = 256;
inline constexpr int32_t kMaxTextLength = 32767;  // UTF-16 code units, as the file counts them
inline constexpr int32_t kMaxSheetNameLength = 31;

// The errors of the workbook engine and its automation objects.
inline constexpr int32_t kEngineError = 1004;

// How a number is shown. Dates and times are numbers (days since 30 December 1899) shown as such.
enum class NumberFormat : uint8_t { General, Date, DateTime, Time };

// Whether a cell holds this day (days since 30 December 1899) as a date: a time of day alone
// (under 1), or a day from 1 January 1900 (day 2) on. The file's date system has no earlier
// days, so earlier dates are kept as their text.
inline constexpr bool HoldsAsDate(double days) { return (days >= 0 && days < 1) || days >= 2; }

struct Cell {
  enum class Kind : uint8_t { Empty, Number, Text, Boolean, Error };

  Kind kind = Kind::Empty;
  NumberFormat format = NumberFormat::General;  // for numbers
  uint8_t errorCode = 0;                        // for error values: 0x07 #DIV/0!, 0x2A #N/A, ...
  double number = 0;                            // a number, or a truth value as 0 / 1
  std::string text;                             // text, UTF-8

  static Cell Number(double value, NumberFormat f = NumberFormat::General);
  static Cell Text(std::string value);
  static Cell Boolean(bool value);
  static Cell Error(uint8_t code);

  bool IsEmpty() const { return kind == Kind::Empty; }
  bool operator==(const Cell&) const = default;
};

// The text of an error value ("#DIV/0!"); "#N/A" for a code the format does not name.
std::string_view ErrorText(uint8_t code);

// A cell position, 0-based.
struct CellRef {
  int32_t row = 0, column = 0;
  bool operator==(const CellRef&) const = default;
};

// "A" for column 0 ... "IV" for column 255.
std::string ColumnName(int32_t column);
// "B3" for row 2, column 1.
std::string CellName(CellRef ref);

class Worksheet {
 public:
  explicit Worksheet(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  // The workbook checks names (CheckSheetName) before it renames a sheet.
  void SetName(std::string name) { name_ = std::move(name); }

  // nullptr for an empty cell.
  const Cell* Find(int32_t row, int32_t column) const;
  // Makes room for rows up to endRow (exclusive) before many rows are set in order.
  void ReserveRows(int32_t endRow) {
    if (endRow > 0 && endRow <= kMaxRows) rows_.reserve(static_cast<size_t>(endRow));
  }
  // Makes room in a row for cells up to endColumn (exclusive) before they are set in order.
  void ReserveColumns(int32_t row, int32_t endColumn);
  // Sets a cell; an empty cell, or one of empty text, removes it. Error 1004 outside the sheet.
  void Set(int32_t row, int32_t column, Cell cell);
  // Calls f(row, column, cell) for every cell, row by row, each row in column order.
  template <class F>
  void ForEachCell(F&& f) const {
    for (size_t r = 0; r < rows_.size(); ++r)
      for (size_t c = 0; c < rows_[r].size(); ++c)
        if (!rows_[r][c].IsEmpty()) f(static_cast<int32_t>(r), static_cast<int32_t>(c), rows_[r][c]);
  }
  // The smallest rectangle holding every non-empty cell: first row, first column, last row + 1,
  // last column + 1. All 0 for an empty sheet.
  struct Bounds {
    int32_t firstRow = 0, firstColumn = 0, endRow = 0, endColumn = 0;
    bool Empty() const { return endRow == 0; }
  };
  Bounds UsedBounds() const;
  size_t CellCount() const;

  // Column width in 1/256 of the width of the digit zero of the workbook's font; nullopt for the
  // standard width.
  std::optional<uint16_t> ColumnWidth(int32_t column) const;
  void SetColumnWidth(int32_t column, std::optional<uint16_t> width);

  // The selected cell (the active cell of the sheet's window).
  CellRef ActiveCell() const { return activeCell_; }
  void SetActiveCell(CellRef c) { activeCell_ = c; }

 private:
  std::string name_;
  std::vector<std::vector<Cell>> rows_;  // rows_[r][c]; trailing empty cells are trimmed lazily
  std::vector<uint16_t> widths_;         // 0 = standard width
  CellRef activeCell_;
};

class Workbook {
 public:
  // A workbook with one empty sheet of that name.
  static Workbook WithSheet(std::string name);

  int32_t SheetCount() const { return static_cast<int32_t>(sheets_.size()); }
  // 0-based; Error 9 outside.
  const std::shared_ptr<Worksheet>& Sheet(int32_t index) const;
  // -1 when no sheet has the name (letter case ignored).
  int32_t FindSheet(std::string_view name) const;
  int32_t IndexOf(const Worksheet& sheet) const;  // -1 when not in this workbook
  // Inserts a sheet at index (0 .. SheetCount()). Its name must be valid and unused.
  void InsertSheet(int32_t index, std::shared_ptr<Worksheet> sheet);
  // Error 1004 for an empty name, one longer than 31 characters, one holding : \ / ? * [ ] or
  // starting or ending with an apostrophe, or the name of another sheet (letter case ignored).
  void CheckSheetName(std::string_view name, const Worksheet* renamed = nullptr) const;
  void RenameSheet(Worksheet& sheet, std::string name);
  // The first name "SheetN" no sheet has.
  std::string NewSheetName() const;

  int32_t ActiveSheet() const { return activeSheet_; }
  void SetActiveSheet(int32_t index);

  // Whether the workbook's window is hidden, as saved with the file.
  bool WindowHidden() const { return windowHidden_; }
  void SetWindowHidden(bool hidden) { windowHidden_ = hidden; }

 private:
  std::vector<std::shared_ptr<Worksheet>> sheets_;
  int32_t activeSheet_ = 0;
  bool windowHidden_ = false;
};

}  // namespace tamarind::spreadsheet
