#include "platform/controls/DTPicker.h"

#include "runtime/Conversions.h"
#include "runtime/Error.h"

namespace tamarind::platform {

DTPicker::DTPicker(Toolkit& tk, Window* parent)
    : Control(tk, "DTPicker20WndClass", parent),
      value_(Date::FromCalendar(2000, 1, 1)),
      minDate_(Date::FromCalendar(1601, 1, 1)),
      maxDate_(Date::FromCalendar(9999, 12, 31, 23, 59, 59)) {}

void DTPicker::Value(const Variant& v) {
  Date d;
  if (v.Type() == VarType::Date) {
    d = v.AsDate();
  } else if (v.IsNumericKind() && v.Type() != VarType::Boolean) {
    d = Date(v.NumericValue());
  } else if (v.IsString()) {
    auto parsed = ParseDate(v.AsString());
    if (!parsed) Raise(err::InvalidPropertyValue, "DTPicker");
    d = *parsed;
  } else {
    Raise(err::InvalidPropertyValue, "DTPicker");
  }
  if (d < minDate_ || d > maxDate_) Raise(err::InvalidPropertyValue, "DTPicker");
  const bool changed = d != value_;
  value_ = d;
  OnPropertyChanged("Value");
  if (changed) Change();
}

void DTPicker::OpenCalendar() {
  if (droppedDown_ || !Visible()) return;
  droppedDown_ = true;
  DropDown();
  OnPropertyChanged("DroppedDown");
}

void DTPicker::CloseCalendar() {
  if (!droppedDown_) return;
  droppedDown_ = false;
  OnPropertyChanged("DroppedDown");
  CloseUp();
}

}  // namespace tamarind::platform
