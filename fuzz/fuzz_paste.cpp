// libFuzzer target: clipboard text pasted into a worksheet by the in-process spreadsheet server,
// and the cell text reader on its own.

#include <cstdint>
#include <string>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/spreadsheet/AutoFit.h"
#include "platform/spreadsheet/CellText.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"

using namespace tamarind;

namespace {

struct Desktop {
  Desktop() { app = spreadsheet::StartApplication(tk); }
  platform::headless::HeadlessToolkit tk;
  Variant app;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Desktop desktop;
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (const auto& row : spreadsheet::ParseTabText(text))
    for (const std::string& cell : row) {
      const spreadsheet::Cell c = spreadsheet::EnterText(cell);
      (void)spreadsheet::FittedWidth(spreadsheet::DisplayText(c));
    }

  // A new workbook for every input: the paste lands at the top, or near the last row.
  const Variant book = Call(Get(desktop.app, "Workbooks"), "Add");
  const Variant sheet = Get(book, "ActiveSheet");
  desktop.tk.GetClipboard().SetText(text);
  try {
    const Variant destination = Get(sheet, "Range", {size % 2 ? "A1" : "C65530"});
    Call(sheet, "Paste", {Named("Destination", destination)});
    Call(Get(Get(sheet, "Cells"), "EntireColumn"), "AutoFit");
  } catch (const Error&) {
  }
  Call(book, "Close");
  desktop.tk.ClipboardImpl().ClearHistory();
  return 0;
}
