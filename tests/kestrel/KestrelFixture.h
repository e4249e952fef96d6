#pragma once
// The desk the suites of the control start from: a headless desktop with a form to site Kestrels
// on and a person at the mouse and keyboard; and KestrelTest, one Kestrel shown on that form,
// attached to a RecordingHost.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/FormFile.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Error.h"
#include "tests/kestrel/RecordingHost.h"
#include "tests/runtime/TestSupport.h"

namespace tamarind::testing {

using platform::ColumnHeaderRef;
using platform::ListItemRef;
using Texts = std::vector<std::string>;
using test_support::ErrorNumberOf;

// One text of every row, from the first row to the last.
template <class Text>
Texts EachRow(Kestrel& k, Text text) {
  Texts out;
  k.ListItems().ForEach([&](const ListItemRef& item) { out.push_back(text(*item)); });
  return out;
}

struct Desk {
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Form1", 12000, 9000};
  platform::headless::UserDriver user{tk};

  Kestrel& Place(const std::string& name = "K1", const platform::PropertyBag* saved = nullptr) {
    return form.Add<Kestrel>(name, 0, 0, 6000, 4000, saved);
  }
  // Saves a control and sites a new one from what was saved.
  Kestrel& Reload(Kestrel& k, const std::string& name = "K2") {
    bags.push_back(form.Save(k));
    return Place(name, &bags.back());
  }
  std::vector<platform::PropertyBag> bags;
};

// The host opens no editor unless a test says which.
class KestrelTest : public ::testing::Test, protected Desk {
 protected:
  // Where the control sits on the desk's form, in twips.
  explicit KestrelTest(float left = 240, float top = 240, float width = 9000, float height = 3600)
      : k(form.Add<Kestrel>("K", left, top, width, height)), lv(k.ListViewControl()) {
    form.Show();
    host.editors.clear();
    k.Attach(&host);
  }
  ~KestrelTest() override { k.Attach(nullptr); }

  // The texts of a column (0 = the item's text) from the first row to the last.
  Texts Column(int32_t column) const {
    return EachRow(k, [&](const platform::ListItem& item) { return item.ColumnText(column); });
  }
  // The prompts of the message boxes shown so far, in order.
  Texts Messages() const {
    Texts out;
    for (const auto& m : tk.MessageBoxes()) out.push_back(m.prompt);
    return out;
  }
  int32_t SortSounds() {
    int32_t n = 0;
    for (const auto& r : tk.SoundImpl().Requests()) n += r.resourceId == snd_SORT ? 1 : 0;
    return n;
  }

  Kestrel& k;
  platform::ListView& lv;
  RecordingHost host{k};
};

}  // namespace tamarind::testing
