#pragma once
// The desk most suites of the control start from: a Kestrel sited on a shown headless form,
// attached to a host that records what it is told, and the user driver to click and type.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"

namespace tamarind::testing {

// Where the control sits, in twips, on a form 12000 twips wide.
struct Placement {
  float formHeight = 6000;
  float left = 240, top = 240, width = 9000, height = 3600;
};

template <class Host>
class KestrelOnAForm : public ::testing::Test {
 protected:
  explicit KestrelOnAForm(Placement p = {})
      : form(tk, "Orders", 12000, p.formHeight),
        k(form.Add<Kestrel>("K", p.left, p.top, p.width, p.height)),
        lv(k.ListViewControl()) {
    form.Show();
    k.Attach(&host);
  }
  ~KestrelOnAForm() override { k.Attach(nullptr); }

  // The prompts of the message boxes shown so far, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const auto& m : tk.MessageBoxes()) out.push_back(m.prompt);
    return out;
  }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form;
  Kestrel& k;
  platform::ListView& lv;
  platform::headless::UserDriver user{tk};
  Host host;
};

}  // namespace tamarind::testing
