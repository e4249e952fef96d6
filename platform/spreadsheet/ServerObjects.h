#pragma once
// The objects of the in-process spreadsheet application (SpreadsheetServer.h describes what
// they answer). Collections and ranges are made afresh for each call, as light views of the
// application's state; an open workbook and its window live as long as the workbook is open.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/spreadsheet/Workbook.h"
#include "runtime/Dispatch.h"

namespace tamarind::spreadsheet::server {

class Application;
class WorkbookObject;
class WorksheetObject;

// The member a late-bound call names.
struct Member {
  std::string_view name;
  CallType type;
  Arguments& args;

  bool Is(std::string_view n) const { return SameName(name, n); }
  bool Reads() const { return type == CallType::Get || type == CallType::Method; }
  bool Lets() const { return type == CallType::Let; }
  // The value a Let assigns.
  const Variant& Assigned() const;
  // The positional arguments a Let has besides its value, or a read has.
  size_t Positional() const;
};
[[noreturn]] void NoSuchMember();

// A window of a workbook. Its visibility is the workbook's, saved with the file.
class WindowObject : public Dispatchable {
 public:
  explicit WindowObject(std::weak_ptr<WorkbookObject> book) : book_(std::move(book)) {}
  std::string TypeName() const override { return "Window"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;
  std::shared_ptr<WorkbookObject> Book() const;

 private:
  std::weak_ptr<WorkbookObject> book_;
};

class Application : public Dispatchable, public std::enable_shared_from_this<Application> {
 public:
  explicit Application(platform::Toolkit& tk) : tk_(tk) {}
  std::string TypeName() const override { return "Application"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;

  // A new instance, entered in the toolkit's running objects.
  static std::shared_ptr<Application> Start(platform::Toolkit& tk);

  // Opens a workbook file, or gives the one already open from that file. A workbook opened for
  // an automation client (showWindow false) has its window hidden.
  std::shared_ptr<WorkbookObject> Open(const std::string& path, bool showWindow);
  std::shared_ptr<WorkbookObject> Add();
  // Closes every workbook without saving and leaves the running objects.
  void Quit();
  bool HasQuit() const { return quit_; }
  void CheckRunning() const;

  platform::Toolkit& Toolkit() const { return tk_; }
  const std::vector<std::shared_ptr<WorkbookObject>>& Books() const { return books_; }
  // The workbooks' windows, the active one first.
  const std::vector<std::shared_ptr<WindowObject>>& WindowOrder() const { return windows_; }
  void Activate(const WorkbookObject& book);
  void Remove(const WorkbookObject& book);
  std::shared_ptr<WorkbookObject> ActiveBook() const;
  Variant Self() { return Variant(shared_from_this()); }

 private:
  std::shared_ptr<WorkbookObject> Adopt(std::shared_ptr<WorkbookObject> book);

  platform::Toolkit& tk_;
  bool visible_ = false;
  bool displayAlerts_ = true;
  bool quit_ = false;
  int32_t newBooks_ = 0;
  std::vector<std::shared_ptr<WorkbookObject>> books_;  // in the order they were opened
  std::vector<std::shared_ptr<WindowObject>> windows_;
};

class WorkbookObject : public Dispatchable, public std::enable_shared_from_this<WorkbookObject> {
 public:
  // fullName "" makes a workbook without a file yet, called untitledName until it is saved.
  WorkbookObject(std::weak_ptr<Application> app, Workbook data, std::string fullName, std::string untitledName = {});
  std::string TypeName() const override { return "Workbook"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;

  Workbook& Data() { return data_; }
  const std::string& FullName() const { return fullName_; }
  std::string Name() const;
  const std::shared_ptr<WindowObject>& Window() const { return window_; }
  void SetWindow(std::shared_ptr<WindowObject> w) { window_ = std::move(w); }
  // Marks the workbook changed since it was saved.
  void Changed() { saved_ = false; }
  void Save();
  void Close();
  bool IsClosed() const { return closed_; }
  // Error 440 once the workbook is closed; the application otherwise.
  std::shared_ptr<Application> App() const;
  Variant Self() { return Variant(shared_from_this()); }
  Variant SheetObject(int32_t index);  // 0-based

 private:
  std::weak_ptr<Application> app_;
  Workbook data_;
  std::string fullName_;  // "" until the workbook has a file
  std::string untitledName_;
  std::shared_ptr<WindowObject> window_;
  bool saved_ = true;
  bool closed_ = false;
};

// A rectangle of cells, 0-based and inclusive.
struct Area {
  int32_t firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
  int64_t CellCount() const {
    return static_cast<int64_t>(lastRow - firstRow + 1) * (lastColumn - firstColumn + 1);
  }
  bool WholeColumns() const { return firstRow == 0 && lastRow == kMaxRows - 1; }
  bool WholeRows() const { return firstColumn == 0 && lastColumn == kMaxColumns - 1; }
};
// "B3", "$A$1:C4", "A:C", "2:5" (letter case ignored). Error 1004 for anything else.
Area ParseAddress(std::string_view address);
std::string AddressOf(const Area& a);

class WorksheetObject : public Dispatchable, public std::enable_shared_from_this<WorksheetObject> {
 public:
  WorksheetObject(std::shared_ptr<WorkbookObject> book, std::shared_ptr<Worksheet> sheet)
      : book_(std::move(book)), sheet_(std::move(sheet)) {}
  std::string TypeName() const override { return "Worksheet"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;

  // Error 440 once the workbook is closed.
  WorkbookObject& Book() const;
  Worksheet& Sheet() const { return *sheet_; }
  bool IsActive() const;
  void Activate();
  // Pastes the clipboard's text with its first cell at the given position.
  void Paste(CellRef at);
  Variant RangeOf(const Area& a);

 private:
  std::shared_ptr<WorkbookObject> book_;
  std::shared_ptr<Worksheet> sheet_;
};

class RangeObject : public Dispatchable {
 public:
  RangeObject(std::shared_ptr<WorksheetObject> sheet, Area area) : sheet_(std::move(sheet)), area_(area) {}
  std::string TypeName() const override { return "Range"; }
  Variant Invoke(std::string_view name, CallType type, Arguments& args) override;
  const Area& Cells() const { return area_; }
  WorksheetObject& SheetObject() const { return *sheet_; }

 private:
  Variant ValueOfFirstCell() const;
  void SetValue(const Variant& v);
  Variant Relative(const Arguments& args) const;

  std::shared_ptr<WorksheetObject> sheet_;
  Area area_;
};

// The cell a Variant assigned to Value makes: text as typed, numbers, truth values, dates.
Cell CellFromVariant(const Variant& v);
// The Variant Value reads from a cell.
Variant VariantFromCell(const Cell* c);

}  // namespace tamarind::spreadsheet::server
