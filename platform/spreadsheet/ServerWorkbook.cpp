// An open workbook, its sheets, and ranges of their cells.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "platform/spreadsheet/AutoFit.h"
#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/CellText.h"
#include "platform/spreadsheet/ServerObjects.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "runtime/Calendar.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::spreadsheet::server {

namespace {

// The most cells one assignment may fill: a whole column several times over, but not a sheet.
constexpr int64_t kMaxCellsPerAssignment = 1 << 20;

[[noreturn]] void Refuse(const char* source, const std::string& why) { Raise(kEngineError, source, why); }

// 65536 -> "65,536"
std::string Grouped(int64_t n) {
  std::string digits = std::to_string(n);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return digits;
}

int32_t Position(const Variant& index, int32_t count) {
  if (!index.IsNumericKind() && !index.IsString()) Raise(err::TypeMismatch);
  const int32_t i = CLng(index);
  if (i < 1 || i > count) Raise(err::SubscriptOutOfRange);
  return i;
}

// A named argument, or else the positional one at i; nullptr when neither is given.
const Variant* ArgumentOf(const Arguments& args, std::string_view name, size_t i) {
  if (const Variant* v = FindNamed(args, name)) return v;
  size_t positional = 0;
  for (const tamarind::Argument& a : args) {
    if (!a.name.empty()) continue;
    if (positional++ == i) return a.value.IsEmpty() ? nullptr : &a.value;
  }
  return nullptr;
}

Variant ItemOrSelf(const Variant& collection, Member& m) {
  if (m.Positional() == 0) return collection;
  return tamarind::Invoke(collection, "Item", CallType::Get, m.args);
}

// A fixed list of objects answering Count, Item and For Each.
class ObjectList : public Dispatchable {
 public:
  ObjectList(std::string typeName, std::vector<Variant> items, Variant parent, Variant application)
      : typeName_(std::move(typeName)), items_(std::move(items)), parent_(std::move(parent)), app_(std::move(application)) {}
  std::string TypeName() const override { return typeName_; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    Member m{name, type, args};
    if (!m.Reads()) NoSuchMember();
    if (m.Is("Count")) return static_cast<int32_t>(items_.size());
    if (m.Is("Item") || m.Is(""))
      return items_[static_cast<size_t>(Position(RequireArgument(args, 0), static_cast<int32_t>(items_.size())) - 1)];
    if (m.Is("Parent")) return parent_;
    if (m.Is("Application")) return app_;
    NoSuchMember();
  }
  std::vector<Variant> Enumerate() override { return items_; }

 private:
  std::string typeName_;
  std::vector<Variant> items_;
  Variant parent_, app_;
};

class SheetsObject : public Dispatchable {
 public:
  explicit SheetsObject(std::shared_ptr<WorkbookObject> book) : book_(std::move(book)) {}
  std::string TypeName() const override { return "Sheets"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override {
    Member m{name, type, args};
    if (!m.Reads()) NoSuchMember();
    Workbook& data = book_->Data();
    if (m.Is("Count")) return data.SheetCount();
    if (m.Is("Item") || m.Is("")) {
      const Variant& index = RequireArgument(args, 0);
      if (index.IsString()) {
        const int32_t found = data.FindSheet(index.AsString());
        if (found < 0) Raise(err::SubscriptOutOfRange);
        return book_->SheetObject(found);
      }
      return book_->SheetObject(Position(index, data.SheetCount()) - 1);
    }
    if (m.Is("Add")) return Add(args);
    if (m.Is("Parent")) return book_->Self();
    if (m.Is("Application")) return book_->App()->Self();
    NoSuchMember();
  }
  std::vector<Variant> Enumerate() override {
    std::vector<Variant> out;
    for (int32_t i = 0; i < book_->Data().SheetCount(); ++i) out.push_back(book_->SheetObject(i));
    return out;
  }

 private:
  // The index in this workbook of a sheet passed as Before or After.
  int32_t IndexOfSheet(const Variant& v) const {
    auto sheet = v.As<WorksheetObject>();
    if (!sheet) Raise(err::ObjectRequired);
    const int32_t index = book_->Data().IndexOf(sheet->Sheet());
    if (index < 0) Refuse("Sheets", "The sheet given as Before or After is not a sheet of this workbook");
    return index;
  }

  // New sheets go before Before, after After, or else before the active sheet; the last one
  // added becomes the active sheet and is returned.
  Variant Add(const Arguments& args) {
    Workbook& data = book_->Data();
    const Variant* before = ArgumentOf(args, "Before", 0);
    const Variant* after = ArgumentOf(args, "After", 1);
    const Variant* count = ArgumentOf(args, "Count", 2);
    if (before && after) Raise(err::InvalidProcedureCall);
    const int32_t at = before ? IndexOfSheet(*before) : after ? IndexOfSheet(*after) + 1 : data.ActiveSheet();
    const int32_t n = count ? CLng(*count) : 1;
    if (n < 1 || n > 255) Raise(err::InvalidProcedureCall);
    for (int32_t k = 0; k < n; ++k) data.InsertSheet(at, std::make_shared<Worksheet>(data.NewSheetName()));
    data.SetActiveSheet(at);
    book_->Changed();
    return book_->SheetObject(at);
  }

  std::shared_ptr<WorkbookObject> book_;
};

std::string FullPath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// --- addresses ------------------------------------------------------------------------------------------

struct Ref {
  int32_t row = -1, column = -1;  // -1 where the reference names whole columns or rows
};

// "B3", "$B$3", "B", "3": one end of an address.
bool ParseRef(std::string_view s, Ref& ref) {
  size_t i = 0;
  if (i < s.size() && s[i] == '$') ++i;
  int32_t column = 0;
  size_t letters = 0;
  while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) {
    column = column * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
    ++i;
    if (++letters > 2) return false;
  }
  if (letters > 0) {
    if (column > kMaxColumns) return false;
    ref.column = column - 1;
    if (i < s.size() && s[i] == '$') ++i;
  }
  int32_t row = 0;
  size_t digits = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
    row = row * 10 + (s[i] - '0');
    ++i;
    if (++digits > 5) return false;
  }
  if (digits > 0) {
    if (row < 1 || row > kMaxRows) return false;
    ref.row = row - 1;
  }
  return i == s.size() && (letters > 0 || digits > 0);
}

}  // namespace

Area ParseAddress(std::string_view address) {
  const std::string trimmed = text::Trim(address);
  const std::string_view s = trimmed;
  auto refuse = [&]() -> Area {
    Refuse("Range", "'" + std::string(address) +
                        "' is not a cell address of this workbook: its sheets have columns A to IV and rows 1 to 65,536");
  };
  const size_t colon = s.find(':');
  Ref a, b;
  if (colon == std::string_view::npos) {
    if (!ParseRef(s, a) || a.row < 0 || a.column < 0) return refuse();
    return Area{a.row, a.column, a.row, a.column};
  }
  if (!ParseRef(s.substr(0, colon), a) || !ParseRef(s.substr(colon + 1), b)) return refuse();
  const bool cells = a.row >= 0 && a.column >= 0 && b.row >= 0 && b.column >= 0;
  const bool columns = a.row < 0 && b.row < 0 && a.column >= 0 && b.column >= 0;
  const bool rows = a.column < 0 && b.column < 0 && a.row >= 0 && b.row >= 0;
  if (cells)
    return Area{std::min(a.row, b.row), std::min(a.column, b.column), std::max(a.row, b.row), std::max(a.column, b.column)};
  if (columns) return Area{0, std::min(a.column, b.column), kMaxRows - 1, std::max(a.column, b.column)};
  if (rows) return Area{std::min(a.row, b.row), 0, std::max(a.row, b.row), kMaxColumns - 1};
  return refuse();
}

std::string AddressOf(const Area& a) {
  if (a.WholeColumns() && !a.WholeRows())
    return "$" + ColumnName(a.firstColumn) + ":$" + ColumnName(a.lastColumn);
  if (a.WholeRows() && !a.WholeColumns())
    return "$" + std::to_string(a.firstRow + 1) + ":$" + std::to_string(a.lastRow + 1);
  auto corner = [](int32_t row, int32_t column) { return "$" + ColumnName(column) + "$" + std::to_string(row + 1); };
  std::string s = corner(a.firstRow, a.firstColumn);
  if (a.CellCount() > 1) s += ":" + corner(a.lastRow, a.lastColumn);
  return s;
}

// --- values -------------------------------------------------------------------------------------------

Cell CellFromVariant(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Boolean: return Cell::Boolean(v.AsBoolean());
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double: return Cell::Number(v.NumericValue());
    case VarType::Date: {
      const double serial = v.AsDate().SerialNumber();
      if (serial >= 0 && serial < 1) return Cell::Number(serial, NumberFormat::Time);
      if (!HoldsAsDate(serial)) return Cell::Text(CStr(v));
      return Cell::Number(serial, serial == std::floor(serial) ? NumberFormat::Date : NumberFormat::DateTime);
    }
    case VarType::String:
      if (Utf16Length(v.AsString()) > static_cast<size_t>(kMaxTextLength))
        Refuse("Range", "A cell holds at most 32,767 characters; the text has " + Grouped(static_cast<int64_t>(Utf16Length(v.AsString()))));
      return EnterText(v.AsString());
    case VarType::Object: {
      if (v.IsNothing()) Raise(err::ObjectNotSet);
      const Variant value = DefaultValue(v);
      if (value.IsObject()) Raise(err::TypeMismatch);
      return CellFromVariant(value);
    }
  }
  Raise(err::TypeMismatch);
}

Variant VariantFromCell(const Cell* c) {
  if (!c) return {};
  switch (c->kind) {
    case Cell::Kind::Empty: return {};
    case Cell::Kind::Text: return c->text;
    case Cell::Kind::Boolean: return c->number != 0;
    case Cell::Kind::Error: return std::string(ErrorText(c->errorCode));
    case Cell::Kind::Number:
      if (c->format != NumberFormat::General && calendar::Split(c->number)) return Date(c->number);
      return c->number;
  }
  return {};
}

// --- Workbook ----------------------------------------------------------------------------------------------

WorkbookObject::WorkbookObject(std::weak_ptr<Application> app, Workbook data, std::string fullName,
                               std::string untitledName)
    : app_(std::move(app)), data_(std::move(data)), fullName_(std::move(fullName)), untitledName_(std::move(untitledName)) {}

std::string WorkbookObject::Name() const {
  return fullName_.empty() ? untitledName_ : std::filesystem::path(fullName_).filename().string();
}

std::shared_ptr<Application> WorkbookObject::App() const {
  auto app = app_.lock();
  if (closed_ || !app) Raise(err::AutomationError, "Workbook", "The workbook has been closed");
  return app;
}

Variant WorkbookObject::SheetObject(int32_t index) {
  return Variant(std::make_shared<WorksheetObject>(shared_from_this(), data_.Sheet(index)));
}

void WorkbookObject::Save() {
  if (fullName_.empty()) Refuse("Workbook", "The workbook " + Name() + " has no file yet: save it with SaveAs");
  SaveWorkbook(data_, fullName_);
  saved_ = true;
}

void WorkbookObject::Close() {
  if (closed_) return;
  closed_ = true;
  if (auto app = app_.lock()) app->Remove(*this);
}

Variant WorkbookObject::Invoke(std::string_view name, CallType type, Arguments& args) {
  const auto app = App();
  Member m{name, type, args};
  if (m.Is("Saved")) {
    if (m.Lets()) {
      saved_ = CBool(m.Assigned());
      return {};
    }
    if (m.Reads()) return saved_;
  }
  if (!m.Reads()) NoSuchMember();
  if (m.Is("Name")) return Name();
  if (m.Is("FullName")) return fullName_.empty() ? Name() : fullName_;
  if (m.Is("Path")) return fullName_.empty() ? std::string() : std::filesystem::path(fullName_).parent_path().string();
  if (m.Is("Sheets") || m.Is("Worksheets")) return ItemOrSelf(Variant(std::make_shared<SheetsObject>(shared_from_this())), m);
  if (m.Is("ActiveSheet")) return SheetObject(data_.ActiveSheet());
  if (m.Is("Windows"))
    return ItemOrSelf(Variant(std::make_shared<ObjectList>("Windows", std::vector<Variant>{Variant(window_)}, Self(),
                                                           app->Self())),
                      m);
  if (m.Is("Save")) {
    Save();
    return {};
  }
  if (m.Is("SaveAs")) {
    const std::string path = FullPath(CStr(RequireArgument(args, 0)));
    for (const auto& other : app->Books())
      if (other.get() != this && other->FullName() == path)
        Refuse("Workbook", "'" + path + "' is the file of another open workbook");
    const std::string previous = fullName_;
    fullName_ = path;
    try {
      Save();
    } catch (const Error&) {
      fullName_ = previous;
      throw;
    }
    return {};
  }
  if (m.Is("Close")) {
    if (const Variant* save = ArgumentOf(args, "SaveChanges", 0); save && CBool(*save)) Save();
    Close();
    return {};
  }
  if (m.Is("Activate")) {
    app->Activate(*this);
    return {};
  }
  if (m.Is("Application") || m.Is("Parent")) return app->Self();
  NoSuchMember();
}

// --- Worksheet --------------------------------------------------------------------------------------------

WorkbookObject& WorksheetObject::Book() const {
  book_->App();  // Error 440 once the workbook is closed
  return *book_;
}

bool WorksheetObject::IsActive() const { return book_->Data().ActiveSheet() == book_->Data().IndexOf(*sheet_); }

void WorksheetObject::Activate() {
  WorkbookObject& book = Book();
  book.Data().SetActiveSheet(book.Data().IndexOf(*sheet_));
  book.App()->Activate(book);
}

Variant WorksheetObject::RangeOf(const Area& a) { return Variant(std::make_shared<RangeObject>(shared_from_this(), a)); }

void WorksheetObject::Paste(CellRef at) {
  WorkbookObject& book = Book();
  const std::string clip = book.App()->Toolkit().GetClipboard().GetText();
  if (clip.empty()) Refuse("Worksheet", "There is nothing to paste: the clipboard holds no text");
  // The text is read twice where it stands, for the size of the block and then for its cells,
  // rather than copied into a grid of strings first.
  int64_t rows = 0, columns = 0;
  int64_t longRow = -1, longColumn = -1;  // the first cell whose text is too long
  TabTextReader measure(clip);
  while (measure.NextRow()) {
    int64_t c = 0;
    for (std::string_view cell; measure.NextCell(cell); ++c)
      if (longRow < 0 && cell.size() > static_cast<size_t>(kMaxTextLength) && Utf16Length(cell) > static_cast<size_t>(kMaxTextLength)) {
        longRow = rows;
        longColumn = c;
      }
    columns = std::max(columns, c);
    ++rows;
  }
  // Nothing is pasted unless all of it fits.
  if (at.row + rows > kMaxRows) spreadsheet::RefusePasteRows(rows, at.row + 1);
  if (at.column + columns > kMaxColumns)
    Refuse("Worksheet", "Cannot paste " + Grouped(columns) + " columns at column " + ColumnName(at.column) +
                            ": a worksheet has 256 columns (A to IV)");
  if (longRow >= 0)
    Refuse("Worksheet", "Cannot paste the text of cell " +
                            CellName({at.row + static_cast<int32_t>(longRow), at.column + static_cast<int32_t>(longColumn)}) +
                            ": a cell holds at most 32,767 characters");
  // The pasted block replaces what was there, also where a line has fewer cells than the widest.
  const int32_t endColumn = at.column + static_cast<int32_t>(columns);
  sheet_->ReserveRows(at.row + static_cast<int32_t>(rows));
  TabTextReader cells(clip);
  for (int32_t row = at.row; cells.NextRow(); ++row) {
    int32_t column = at.column;
    for (std::string_view cell; cells.NextCell(cell); ++column) {
      // A row's cells get their room once instead of growing cell by cell.
      if (column == at.column) sheet_->ReserveColumns(row, endColumn);
      sheet_->Set(row, column, EnterText(cell));
    }
    for (; column < endColumn; ++column)
      if (sheet_->Find(row, column)) sheet_->Set(row, column, Cell{});
  }
  book.Changed();
}

Variant WorksheetObject::Invoke(std::string_view name, CallType type, Arguments& args) {
  WorkbookObject& book = Book();
  Member m{name, type, args};
  if (m.Is("Name")) {
    if (m.Lets()) {
      book.Data().RenameSheet(*sheet_, CStr(m.Assigned()));
      book.Changed();
      return {};
    }
    if (m.Reads()) return sheet_->Name();
  }
  if (!m.Reads()) NoSuchMember();
  if (m.Is("Index")) return book.Data().IndexOf(*sheet_) + 1;
  if (m.Is("Range")) {
    auto areaOf = [](const Variant& v) {
      if (v.IsObject()) {
        auto r = v.As<RangeObject>();
        if (!r) Raise(err::TypeMismatch);
        return r->Cells();
      }
      return ParseAddress(CStr(v));
    };
    Area a = areaOf(RequireArgument(args, 0));
    if (m.Positional() > 1) {
      const Area b = areaOf(RequireArgument(args, 1));
      a = Area{std::min(a.firstRow, b.firstRow), std::min(a.firstColumn, b.firstColumn), std::max(a.lastRow, b.lastRow),
               std::max(a.lastColumn, b.lastColumn)};
    }
    return RangeOf(a);
  }
  if (m.Is("Cells")) {
    const Variant all = RangeOf(Area{0, 0, kMaxRows - 1, kMaxColumns - 1});
    return m.Positional() == 0 ? all : tamarind::Invoke(all, "Item", CallType::Get, args);
  }
  if (m.Is("UsedRange")) {
    const Worksheet::Bounds b = sheet_->UsedBounds();
    return RangeOf(b.Empty() ? Area{} : Area{b.firstRow, b.firstColumn, b.endRow - 1, b.endColumn - 1});
  }
  if (m.Is("Select") || m.Is("Activate")) {
    Activate();
    return {};
  }
  if (m.Is("Paste")) {
    CellRef at = sheet_->ActiveCell();
    if (const Variant* destination = ArgumentOf(args, "Destination", 0)) {
      auto r = destination->As<RangeObject>();
      if (!r) Raise(err::ObjectRequired);
      if (&r->SheetObject().Sheet() != sheet_.get())
        Refuse("Worksheet", "The destination of a paste must be a range of the same sheet");
      at = CellRef{r->Cells().firstRow, r->Cells().firstColumn};
    }
    Paste(at);
    return {};
  }
  if (m.Is("Parent")) return book.Self();
  if (m.Is("Application")) return book.App()->Self();
  NoSuchMember();
}

// --- Range -------------------------------------------------------------------------------------------------

Variant RangeObject::ValueOfFirstCell() const {
  return VariantFromCell(sheet_->Sheet().Find(area_.firstRow, area_.firstColumn));
}

void RangeObject::SetValue(const Variant& v) {
  WorkbookObject& book = sheet_->Book();
  const Cell cell = CellFromVariant(v);
  if (area_.CellCount() > kMaxCellsPerAssignment)
    Refuse("Range", "A value can be given to at most " + Grouped(kMaxCellsPerAssignment) + " cells at once");
  for (int32_t r = area_.firstRow; r <= area_.lastRow; ++r)
    for (int32_t c = area_.firstColumn; c <= area_.lastColumn; ++c) sheet_->Sheet().Set(r, c, cell);
  book.Changed();
}

// Cells(row, column) relative to the range's first cell; the column may be given by its letters.
Variant RangeObject::Relative(const Arguments& args) const {
  const int32_t row = CLng(RequireArgument(args, 0));
  const Variant& col = RequireArgument(args, 1);
  int32_t column = 0;
  if (col.IsString() && !IsNumeric(col)) {
    const Area a = ParseAddress(col.AsString() + "1");
    column = a.firstColumn + 1;
  } else {
    column = CLng(col);
  }
  const int64_t r = static_cast<int64_t>(area_.firstRow) + row - 1;
  const int64_t c = static_cast<int64_t>(area_.firstColumn) + column - 1;
  if (r < 0 || r >= kMaxRows || c < 0 || c >= kMaxColumns)
    Refuse("Range", "Cells(" + std::to_string(row) + ", " + std::to_string(column) + ") lies outside the sheet");
  const auto ri = static_cast<int32_t>(r), ci = static_cast<int32_t>(c);
  return sheet_->RangeOf(Area{ri, ci, ri, ci});
}

Variant RangeObject::Invoke(std::string_view name, CallType type, Arguments& args) {
  WorkbookObject& book = sheet_->Book();
  Member m{name, type, args};
  const bool value = m.Is("Value") || (m.Is("") && m.Positional() == 0);
  if (value) {
    if (m.Lets()) {
      SetValue(m.Assigned());
      return {};
    }
    if (m.Reads()) {
      if (area_.CellCount() > 1)
        Refuse("Range", "The value of " + AddressOf(area_) + " is that of many cells: read them one by one");
      return ValueOfFirstCell();
    }
  }
  if (!m.Reads()) NoSuchMember();
  if (m.Is("Item") || m.Is("")) return Relative(args);
  if (m.Is("Cells")) return m.Positional() == 0 ? Variant(sheet_->RangeOf(area_)) : Relative(args);
  if (m.Is("Text")) {
    const Cell* c = sheet_->Sheet().Find(area_.firstRow, area_.firstColumn);
    return DisplayText(c ? *c : Cell{});
  }
  if (m.Is("Address")) return AddressOf(area_);
  if (m.Is("Row")) return area_.firstRow + 1;
  if (m.Is("Column")) return area_.firstColumn + 1;
  if (m.Is("Count")) return static_cast<int32_t>(area_.CellCount());
  if (m.Is("EntireColumn")) return sheet_->RangeOf(Area{0, area_.firstColumn, kMaxRows - 1, area_.lastColumn});
  if (m.Is("EntireRow")) return sheet_->RangeOf(Area{area_.firstRow, 0, area_.lastRow, kMaxColumns - 1});
  if (m.Is("AutoFit")) {
    if (area_.WholeColumns()) {
      AutoFitColumns(sheet_->Sheet(), area_.firstColumn, area_.lastColumn);
      book.Changed();
    } else if (!area_.WholeRows()) {
      // Rows always take the height of their text here, so fitting whole rows changes nothing.
      Refuse("Range", "AutoFit needs whole columns or whole rows (EntireColumn, EntireRow)");
    }
    return {};
  }
  if (m.Is("Select") || m.Is("Activate")) {
    if (!sheet_->IsActive()) Refuse("Range", "A range can be selected only on the active sheet");
    sheet_->Sheet().SetActiveCell({area_.firstRow, area_.firstColumn});
    book.App()->Activate(book);
    return {};
  }
  if (m.Is("ClearContents")) {
    std::vector<CellRef> filled;
    sheet_->Sheet().ForEachCell([&](int32_t r, int32_t c, const Cell&) {
      if (r >= area_.firstRow && r <= area_.lastRow && c >= area_.firstColumn && c <= area_.lastColumn) filled.push_back({r, c});
    });
    for (const CellRef& at : filled) sheet_->Sheet().Set(at.row, at.column, Cell{});
    book.Changed();
    return {};
  }
  if (m.Is("Worksheet") || m.Is("Parent")) return Variant(sheet_);
  if (m.Is("Application")) return book.App()->Self();
  NoSuchMember();
}

}  // namespace tamarind::spreadsheet::server

namespace tamarind::spreadsheet {

void RefusePasteRows(int64_t rows, int32_t atRow) {
  Raise(kEngineError, "Worksheet",
        "Cannot paste " + server::Grouped(rows) + " rows at row " + server::Grouped(atRow) + ": a worksheet has 65,536 rows");
}

}  // namespace tamarind::spreadsheet
