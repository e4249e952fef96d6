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

struct Server {
  Server() {
    app = spreadsheet::StartApplication(tk);
    book = Call(Get(app, "Workbooks"), "Add");
    sheet = Get(book, "ActiveSheet");
  }
  platform::headless::HeadlessToolkit tk;
  Variant app, book, sheet;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Server server;
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (const auto& row : spreadsheet::ParseTabText(text))
    for (const std::string& cell : row) {
      const spreadsheet::Cell c = spreadsheet::EnterText(cell);
      (void)spreadsheet::FittedWidth(spreadsheet::DisplayText(c));
    }

  server.tk.GetClipboard().SetText(text);
  try {
    const Variant destination = Get(server.sheet, "Range", {size % 2 ? "A1" : "C65530"});
    Call(server.sheet, "Paste", {Named("Destination", destination)});
    Call(Get(Get(server.sheet, "Cells"), "EntireColumn"), "AutoFit");
  } catch (const Error&) {
  }
  Call(Get(server.sheet, "Cells"), "ClearContents");
  server.tk.ClipboardImpl().ClearHistory();
  return 0;
}
