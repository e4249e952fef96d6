#include "dataio/CEXCEL.h"

#include "runtime/Conversions.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"

namespace tamarind {

namespace {
// The spreadsheet application's main window class, and the message (WM_USER + 18) that makes an
// instance running without an automation client enter the running objects.
constexpr const char* kMainWindowClass = "XLMAIN";
constexpr uint32_t kRegisterMessage = 1042;
}  // namespace

void CEXCEL::OpenExcel(const std::string& FileName, const bool& MakeVisible) {
  if (!ResumeNext([&] { XL = tk_.GetObject("", "Excel.Application"); })) {
    ExcelWasNotRunning = true;
    Err().Clear();
  }
  if (!XL.IsObject() || XL.IsNothing()) SignalExcelWindow();
  // A workbook that cannot be opened leaves no object behind (not even the running application),
  // so the export stops at its next call instead of writing into another open workbook.
  if (!ResumeNext([&] { XL = tk_.GetObject(FileName, ""); })) XL = Variant::Nothing();
  ResumeEach([&] { Let(Get(XL, "Application"), "Visible", MakeVisible); },
             [&] { Let(Get(Get(XL, "Parent"), "Windows", {1}), "Visible", true); });
}

void CEXCEL::SignalExcelWindow() {
  // The in-process application owns no window, so on this library's desktops nothing is found;
  // a desktop that has such a window gets the signal.
  ResumeNext([&] {
    platform::WindowManager& windows = tk_.Windows();
    const platform::HWND h = windows.FindWindow(kMainWindowClass);
    if (h != 0) windows.SendMessage(h, kRegisterMessage, 0, 0);
  });
}

void CEXCEL::CloseExcel(const bool& SaveWorkBooks) {
  // Windows hidden when the file is saved would stay hidden when it is opened again.
  for (const Variant& window : Enumerate(Get(Get(XL, "Parent"), "Windows"))) Let(window, "Visible", true);
  if (!SaveWorkBooks) {
    Let(Get(XL, "Application"), "DisplayAlerts", false);
  } else {
    for (const Variant& book : Enumerate(Get(Get(XL, "Application"), "Workbooks"))) Call(book, "Save");
  }
  if (ExcelWasNotRunning) Call(Get(XL, "Application"), "Quit");
  XL = Variant::Nothing();
}

int32_t CEXCEL::SheetCount() {
  return ResumeGet<int32_t>([&] { return CLng(Get(Get(XL, "sheets"), "Count")); });
}

std::string CEXCEL::SheetName(const int32_t& sNUM) {
  return ResumeGet<std::string>([&] { return CStr(Get(Get(XL, "sheets", {sNUM}), "Name")); });
}

Variant CEXCEL::GetCell(const int32_t& SheetNumber, const std::string& Column, const int32_t& row) {
  return ResumeGet<Variant>(
      [&] { return Get(Get(Get(XL, "sheets", {SheetNumber}), "Range", {Column + CStr(row)}), "Value"); });
}

void CEXCEL::WriteToCell(const Variant& pValue, const int32_t& SheetNumber, const std::string& Column,
                         const int32_t& row) {
  ResumeNext([&] { Let(Get(Get(XL, "sheets", {SheetNumber}), "Range", {Column + CStr(row)}), "Value", pValue); });
}

void CEXCEL::AddShet(const std::string& sNAME) {
  ResumeEach([&] { Call(Get(XL, "sheets"), "Add", {Named("Before", Get(XL, "sheets", {1}))}); },
             [&] { Let(Get(XL, "sheets", {1}), "Name", sNAME); });
}

}  // namespace tamarind
