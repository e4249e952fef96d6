#include "platform/spreadsheet/Workbook.h"

#include <algorithm>

#include "runtime/Error.h"
#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace tamarind::spreadsheet {

Cell Cell::Number(double value, NumberFormat f) {
  Cell c;
  c.kind = Kind::Number;
  c.number = value;
  c.format = f;
  return c;
}

Cell Cell::Text(std::string value) {
  Cell c;
  c.kind = Kind::Text;
  c.text = std::move(value);
  return c;
}

Cell Cell::Boolean(bool value) {
  Cell c;
  c.kind = Kind::Boolean;
  c.number = value ? 1 : 0;
  return c;
}

Cell Cell::Error(uint8_t code) {
  Cell c;
  c.kind = Kind::Error;
  c.errorCode = code;
  return c;
}

std::string_view ErrorText(uint8_t code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    default: return "#N/A";
  }
}

std::string ColumnName(int32_t column) {
  std::string name;
  for (int32_t c = column + 1; c > 0; c = (c - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
  return name;
}

std::string CellName(CellRef ref) { return ColumnName(ref.column) + std::to_string(ref.row + 1); }

// --- Worksheet -----------------------------------------------------------------------------------------

const Cell* Worksheet::Find(int32_t row, int32_t column) const {
  if (row < 0 || column < 0 || static_cast<size_t>(row) >= rows_.size()) return nullptr;
  const auto& r = rows_[static_cast<size_t>(row)];
  if (static_cast<size_t>(column) >= r.size() || r[static_cast<size_t>(column)].IsEmpty()) return nullptr;
  return &r[static_cast<size_t>(column)];
}

void Worksheet::ReserveColumns(int32_t row, int32_t endColumn) {
  if (row < 0 || row >= kMaxRows || endColumn <= 0 || endColumn > kMaxColumns) return;
  const auto r = static_cast<size_t>(row);
  if (r >= rows_.size()) rows_.resize(r + 1);
  rows_[r].reserve(static_cast<size_t>(endColumn));
}

void Worksheet::Set(int32_t row, int32_t column, Cell cell) {
  if (row < 0 || row >= kMaxRows || column < 0 || column >= kMaxColumns)
    Raise(kEngineError, "Worksheet", "There is no cell at row " + std::to_string(row + 1) + ", column " +
                                         std::to_string(column + 1) + ": a worksheet has rows 1 to 65,536 and columns A to IV");
  const auto r = static_cast<size_t>(row), c = static_cast<size_t>(column);
  // Empty text is no cell: a text cell always has characters, as readers of the format expect.
  if (cell.IsEmpty() || (cell.kind == Cell::Kind::Text && cell.text.empty())) {
    if (r < rows_.size() && c < rows_[r].size()) rows_[r][c] = Cell{};
    return;
  }
  if (r >= rows_.size()) rows_.resize(r + 1);
  if (c >= rows_[r].size()) rows_[r].resize(c + 1);
  rows_[r][c] = std::move(cell);
}

Worksheet::Bounds Worksheet::UsedBounds() const {
  Bounds b;
  bool any = false;
  for (size_t r = 0; r < rows_.size(); ++r) {
    const auto& row = rows_[r];
    for (size_t c = 0; c < row.size(); ++c) {
      if (row[c].IsEmpty()) continue;
      const auto ri = static_cast<int32_t>(r), ci = static_cast<int32_t>(c);
      if (!any) {
        b = Bounds{ri, ci, ri + 1, ci + 1};
        any = true;
      } else {
        b.firstColumn = std::min(b.firstColumn, ci);
        b.endRow = ri + 1;
        b.endColumn = std::max(b.endColumn, ci + 1);
      }
    }
  }
  return b;
}

size_t Worksheet::CellCount() const {
  size_t n = 0;
  for (const auto& row : rows_)
    for (const Cell& c : row) n += c.IsEmpty() ? 0 : 1;
  return n;
}

std::optional<uint16_t> Worksheet::ColumnWidth(int32_t column) const {
  if (column < 0 || static_cast<size_t>(column) >= widths_.size() || widths_[static_cast<size_t>(column)] == 0)
    return std::nullopt;
  return widths_[static_cast<size_t>(column)];
}

void Worksheet::SetColumnWidth(int32_t column, std::optional<uint16_t> width) {
  if (column < 0 || column >= kMaxColumns) Raise(kEngineError, "Worksheet", "There is no column " + std::to_string(column + 1));
  const auto c = static_cast<size_t>(column);
  if (c >= widths_.size()) {
    if (!width) return;
    widths_.resize(c + 1, 0);
  }
  // A width of 0 would read back as the standard width; the narrowest kept width is 1/256.
  widths_[c] = width ? std::max<uint16_t>(*width, 1) : 0;
}

// --- Workbook -------------------------------------------------------------------------------------------

Workbook Workbook::WithSheet(std::string name) {
  Workbook w;
  w.InsertSheet(0, std::make_shared<Worksheet>(std::move(name)));
  return w;
}

const std::shared_ptr<Worksheet>& Workbook::Sheet(int32_t index) const {
  if (index < 0 || index >= SheetCount()) Raise(err::SubscriptOutOfRange, "Workbook");
  return sheets_[static_cast<size_t>(index)];
}

int32_t Workbook::FindSheet(std::string_view name) const {
  const std::string folded = text::FoldCase(name);
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (text::FoldCase(sheets_[i]->Name()) == folded) return static_cast<int32_t>(i);
  return -1;
}

int32_t Workbook::IndexOf(const Worksheet& sheet) const {
  for (size_t i = 0; i < sheets_.size(); ++i)
    if (sheets_[i].get() == &sheet) return static_cast<int32_t>(i);
  return -1;
}

void Workbook::CheckSheetName(std::string_view name, const Worksheet* renamed) const {
  auto refuse = [&](const std::string& why) {
    Raise(kEngineError, "Worksheet", "The sheet name \"" + std::string(name) + "\" " + why);
  };
  if (name.empty()) refuse("is empty");
  // The file stores names in UTF-16; 31 code units is the limit.
  size_t units = 0;
  for (size_t i = 0; i < name.size();) {
    const utf8::Char ch = utf8::Decode(name, i);
    units += ch.codePoint > 0xFFFF && ch.valid ? 2 : 1;
    i += ch.length;
  }
  if (units > static_cast<size_t>(kMaxSheetNameLength)) refuse("is longer than 31 characters");
  if (name.find_first_of(":\\/?*[]") != std::string_view::npos) refuse("holds one of : \\ / ? * [ ]");
  if (name.front() == '\'' || name.back() == '\'') refuse("starts or ends with an apostrophe");
  const int32_t other = FindSheet(name);
  if (other >= 0 && sheets_[static_cast<size_t>(other)].get() != renamed) refuse("is already taken by another sheet");
}

void Workbook::InsertSheet(int32_t index, std::shared_ptr<Worksheet> sheet) {
  if (index < 0 || index > SheetCount()) Raise(err::SubscriptOutOfRange, "Workbook");
  CheckSheetName(sheet->Name());
  sheets_.insert(sheets_.begin() + index, std::move(sheet));
  if (SheetCount() > 1 && index <= activeSheet_) ++activeSheet_;
}

void Workbook::RenameSheet(Worksheet& sheet, std::string name) {
  CheckSheetName(name, &sheet);
  sheet.SetName(std::move(name));
}

std::string Workbook::NewSheetName() const {
  for (int32_t n = 1;; ++n) {
    std::string name = "Sheet" + std::to_string(n);
    if (FindSheet(name) < 0) return name;
  }
}

void Workbook::SetActiveSheet(int32_t index) {
  if (index < 0 || index >= SheetCount()) Raise(err::SubscriptOutOfRange, "Workbook");
  activeSheet_ = index;
}

}  // namespace tamarind::spreadsheet
