#pragma once
// A desk for the property pages: one realisation with a designer at it. Its host form holds two
// Kestrels, K1 and K2 (the designer's selection, K1 first), and the page a test sites; the
// designer's hands click the page's controls and type into its text boxes as on that realisation:
// the headless user driver, or real input events (QTest) on the Qt widgets. The desktop's shell
// records what it was asked to open, and message boxes are answered OK.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/HostForm.h"
#include "platform/controls/CheckBox.h"
#include "platform/controls/TextBox.h"
#include "runtime/Error.h"

namespace tamarind::testing {

class PageDesk {
 public:
  virtual ~PageDesk() = default;
  virtual platform::Toolkit& Tk() = 0;
  Kestrel& K1() { return *k1_; }
  Kestrel& K2() { return *k2_; }

  // Sites a page of type P beside the two controls, on the shown form.
  template <class P>
  P& Site() {
    P& page = Form().Add<P>("ppg", 4800, 120, 5700, 4200);
    Settle();
    return page;
  }

  // --- the designer's hands ---
  virtual void Click(platform::Control& control) = 0;
  // Space pressed and released on the box (which takes the focus).
  virtual void PressSpace(platform::CheckBox& box) = 0;
  // Clicks into the box, deletes its text with Backspace and types the new one.
  virtual void Retype(platform::TextBox& box, std::string_view text) = 0;

  // --- what the desktop was asked ---
  // "<title>|<prompt>|<buttons and icon>" for each message box.
  virtual std::vector<std::string> MessageBoxes() = 0;
  // "<operation> <file>" for each call of the shell.
  virtual std::vector<std::string> Opened() = 0;

 protected:
  virtual platform::HostForm& Form() = 0;
  // Lets the realisation show what was just made.
  virtual void Settle() {}
  // Sites the two controls and shows the form.
  void Build(platform::HostForm& form);

 private:
  Kestrel* k1_ = nullptr;
  Kestrel* k2_ = nullptr;
};

struct PageRealisation {
  const char* name;
  std::unique_ptr<PageDesk> (*make)();
};
inline void PrintTo(const PageRealisation& r, std::ostream* os) { *os << r.name; }
inline std::string PageRealisationName(const ::testing::TestParamInfo<PageRealisation>& info) {
  return info.param.name;
}
// Headless always; Qt where the Qt realisation is built.
std::vector<PageRealisation> PageRealisations();

// The control of that name on a page; fails the test's run when there is none.
template <class C>
C& Part(platform::Window& page, std::string_view name) {
  C* c = platform::FindControl<C>(page, name);
  if (!c) throw std::runtime_error("the page has no " + std::string(name));
  return *c;
}

// The number of the error f raises, 0 when it raises none.
template <class F>
int32_t ErrorOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace tamarind::testing
