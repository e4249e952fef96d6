#pragma once
// A combo box on a user control on a host form of the headless desktop, visible and focused, with a
// person at the keyboard.

#include <gtest/gtest.h>

#include <memory>

#include "platform/UserControl.h"
#include "platform/controls/ComboBox.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"

namespace tamarind::testing {

// The surface the combo box lies on, as the control's own surface would be.
class Surface : public platform::UserControl {
 public:
  explicit Surface(platform::Toolkit& tk) : UserControl(tk, "TestSurface") {}
};

class ComboFixture : public ::testing::Test {
 protected:
  ComboFixture() {
    combo->Move(300, 240, 1500, 315);
    for (const char* entry : {"Apple", "Apricot", "Banana"}) combo->AddItem(entry);
    form.Show();
    user.Focus(*combo);
  }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk};
  Surface& surface = form.Add<Surface>("Surface1", 600, 450, 4800, 3600);
  std::shared_ptr<platform::ComboBox> combo = tk.CreateComboBox(surface);
  platform::headless::UserDriver user{tk};
};

}  // namespace tamarind::testing
