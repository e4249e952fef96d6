#pragma once
// A Kestrel on a form of the headless desktop, the host answering ExportToExcelComplete, a folder
// for the exported files, and ways to fill the list and to find the control's progress bar and
// message strip the way a person sees them (by their names in the window tree).

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

#include "control/Kestrel.h"
#include "dataio/CEXCEL.h"
#include "platform/controls/SimpleControls.h"
#include "platform/controls/TextBox.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"
#include "tests/spreadsheet/FreexlWorkbook.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {

// The fixture is also the host: it counts ExportToExcelComplete and keeps the workbook it was handed.
class ExportDesk : public ::testing::Test, public KestrelEvents {
 protected:
  void SetUp() override {
    k = &form.Add<Kestrel>("K1", 0, 0, 6000, 4000);
    form.Show();
    k->Attach(this);
  }
  void TearDown() override {
    k->Attach(nullptr);
    // Nothing an export started may outlive the test.
    const Variant running = ResumeGet<Variant>([&] { return tk.GetObject("", "Excel.Application"); });
    if (running.IsObject() && !running.IsNothing()) Call(running, "Quit");
  }
  void ExportToExcelComplete(std::shared_ptr<CEXCEL>& obj) override {
    ++completes;
    last = obj;
    if (onComplete) onComplete(obj);
  }

  void Columns(std::initializer_list<const char*> texts) {
    for (const char* t : texts) k->ColumnHeaders().Add(0, {}, t);
  }
  // A row: the item's text, then its sub-items in order.
  platform::ListItemRef Row(std::initializer_list<std::string> cells) {
    auto it = cells.begin();
    platform::ListItemRef item = k->ListItems().Add(0, {}, *it++);
    for (int32_t j = 1; it != cells.end(); ++it, ++j) item->SubItems(j, *it);
    return item;
  }

  template <class C>
  C& Inner(const std::string& name) {
    for (platform::Window* w : k->ChildWindows())
      if (auto* c = dynamic_cast<C*>(w); c && c->Name() == name) return *c;
    throw std::logic_error("no inner control " + name);
  }
  platform::ProgressBar& Bar() { return Inner<platform::ProgressBar>("prgBAR"); }
  platform::TextBox& Strip() { return Inner<platform::TextBox>("lblEXCELMSG"); }

  bool Running() { return ResumeNext([&] { tk.GetObject("", "Excel.Application"); }); }
  std::string Clipboard() { return tk.GetClipboard().GetText(); }
  const std::vector<platform::headless::MessageBoxRecord>& Boxes() { return tk.MessageBoxes(); }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Form1", 12000, 9000};
  platform::headless::UserDriver user{tk};
  Kestrel* k = nullptr;
  TempFolder dir;
  // What the host does with the workbook it is handed; nothing when unset.
  std::function<void(std::shared_ptr<CEXCEL>&)> onComplete;
  int32_t completes = 0;
  std::shared_ptr<CEXCEL> last;
};

}  // namespace tamarind::testing
