#pragma once
// A combo box on a user control on a host form of the headless desktop, visible and focused, with a
// person at the keyboard.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/Messages.h"
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

// A combo box that notes every message sent to its window.
class SpyComboBox : public platform::ComboBox {
 public:
  using ComboBox::ComboBox;
  struct Message {
    uint32_t msg;
    platform::WPARAM wParam;
  };
  platform::LRESULT WindowProc(uint32_t msg, platform::WPARAM wParam, platform::LPARAM lParam) override {
    messages.push_back({msg, wParam});
    return ComboBox::WindowProc(msg, wParam, lParam);
  }
  std::vector<Message> Sent(uint32_t msg) const {
    std::vector<Message> out;
    for (const Message& m : messages)
      if (m.msg == msg) out.push_back(m);
    return out;
  }
  std::vector<Message> messages;
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
  std::shared_ptr<SpyComboBox> combo = std::make_shared<SpyComboBox>(tk, &surface);
  platform::headless::UserDriver user{tk};
};

}  // namespace tamarind::testing
