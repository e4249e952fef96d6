#pragma once
// The intrinsic check box: a caption beside a box that is unchecked, checked or grayed.

#include <cstdint>
#include <string>

#include "platform/Control.h"

namespace tamarind::platform {

// Value is 0 (unchecked), 1 (checked) or 2 (grayed). Setting a different Value raises Click, as
// on the platform, so a host hears of every change in one place. The user's click, or Space
// pressed and released on the focused box, turns an unchecked or grayed box checked and a checked
// box unchecked (UserClick); grayed is only ever set by the program.
class CheckBox : public Control {
 public:
  static constexpr int16_t vbUnchecked = 0;
  static constexpr int16_t vbChecked = 1;
  static constexpr int16_t vbGrayed = 2;

  CheckBox(Toolkit& tk, Window* parent);

  const std::string& Caption() const { return caption_; }
  void Caption(std::string c);
  int16_t Value() const { return value_; }
  void Value(int16_t v);  // Error 380 outside 0..2
  // What a click of the user does: the next value, then Click. Realisations call it for the
  // user's click and for Space; it never asks whether the box is shown or enabled.
  void UserClick();

  std::string WindowText() const override { return caption_; }

 private:
  std::string caption_;
  int16_t value_ = vbUnchecked;
};

}  // namespace tamarind::platform
