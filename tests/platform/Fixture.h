#pragma once
// A headless desktop with one form, one user control on it and a list view inside that control.

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "platform/listview/ListView.h"

namespace tamarind::platform::testing {

// A user control that records its lifecycle and key events in `log`.
class Surface : public UserControl {
 public:
  explicit Surface(Toolkit& tk) : UserControl(tk, "TestSurface") {}
  std::string TypeName() const override { return "Surface"; }
  std::vector<std::string> log;
  int16_t swallow = -1;       // a key press the control cancels
  int* terminated = nullptr;  // counts Terminate where the test can read it after the control is gone

 protected:
  void UserControl_Initialize() override { log.push_back("Initialize"); }
  void UserControl_InitProperties() override { log.push_back("InitProperties"); }
  void UserControl_ReadProperties(PropertyBag&) override { log.push_back("ReadProperties"); }
  void UserControl_Resize() override { log.push_back("Resize"); }
  void UserControl_Show() override { log.push_back("Show"); }
  void UserControl_EnterFocus() override { log.push_back("EnterFocus"); }
  void UserControl_ExitFocus() override { log.push_back("ExitFocus"); }
  void UserControl_KeyDown(int16_t& k, int16_t&) override { log.push_back("uc.KeyDown " + std::to_string(k)); }
  void UserControl_KeyPress(int16_t& a) override {
    if (a == swallow) a = 0;
  }
  void UserControl_Terminate() override {
    if (terminated) ++*terminated;
  }
};

struct Desktop {
  headless::HeadlessToolkit tk;
  headless::HostForm form{tk, "Form1", 12000, 9000};
  Surface& surface = form.Add<Surface>("Surface1", 300, 300, 6000, 4500);
  headless::UserDriver user{tk};

  // A report-view list filling the surface, with the given columns (1440 twips = 96 px each).
  std::shared_ptr<ListView> MakeList(std::vector<std::string> columns = {"Name", "Qty", "City"}) {
    auto lv = tk.CreateListView(surface);
    lv->Move(0, 0, 6000, 4500);
    lv->BorderStyle(0);  // client area = window: pixel arithmetic in tests stays plain
    for (auto& c : columns) lv->ColumnHeaders().Add(0, {}, c);
    return lv;
  }
};

}  // namespace tamarind::platform::testing
