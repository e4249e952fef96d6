#include "platform/controls/CheckBox.h"

#include "runtime/Error.h"

namespace tamarind::platform {

CheckBox::CheckBox(Toolkit& tk, Window* parent) : Control(tk, "ThunderRT6CheckBox", parent) {}

void CheckBox::Caption(std::string c) {
  caption_ = std::move(c);
  OnPropertyChanged("Caption");
}

void CheckBox::Value(int16_t v) {
  if (v < vbUnchecked || v > vbGrayed) Raise(err::InvalidPropertyValue, "CheckBox");
  if (v == value_) return;
  value_ = v;
  // The box shows the new value before the handlers of Click run.
  OnPropertyChanged("Value");
  Click();
}

void CheckBox::UserClick() { Value(value_ == vbChecked ? vbUnchecked : vbChecked); }

}  // namespace tamarind::platform
