#include "platform/controls/DTPicker.h"

#include <algorithm>

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

// --- keyboard editing ------------------------------------------------------------------------------

namespace {
int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}
}  // namespace

void DTPicker::OnFocusReceived() {
  Control::OnFocusReceived();
  SelectField(Field::Month);
}

void DTPicker::SelectField(Field f) {
  typed_.clear();
  advanced_ = false;
  field_ = f;
  OnPropertyChanged("Field");
}

bool DTPicker::TrySet(Field f, int32_t number) {
  CalendarDate c = value_.ToCalendar();
  switch (f) {
    case Field::Month:
      if (number < 1 || number > 12) return false;
      c.Month = number;
      break;
    case Field::Day:
      if (number < 1 || number > DaysInMonth(c.Year, c.Month)) return false;
      c.Day = number;
      break;
    case Field::Year:
      if (number < 1 || number > 9999) return false;
      c.Year = number;
      break;
  }
  // A month or year with fewer days keeps the day at the month's last, as a picker does.
  c.Day = std::min(c.Day, DaysInMonth(c.Year, c.Month));
  const Date d = Date::FromCalendar(c);
  if (d < minDate_ || d > maxDate_) return false;
  Value(Variant(d));
  return true;
}

void DTPicker::TypeCharacter(char32_t c) {
  if (c == U'/' || c == U'-' || c == U'.' || c == U' ') {
    // "12/" moves on once: the separator after a field the digits filled is the move already made.
    if (advanced_) advanced_ = false;
    else if (field_ != Field::Year) SelectField(static_cast<Field>(static_cast<int>(field_) + 1));
    return;
  }
  if (c < U'0' || c > U'9') return;
  advanced_ = false;
  typed_ += static_cast<char>(c);
  const int32_t number = std::stoi(typed_);
  if (field_ == Field::Year) {
    // Only a whole year is a year: "2" on its way to "2024" is no date to show.
    if (typed_.size() < 4) return;
    TrySet(Field::Year, number);
    typed_.clear();
    return;
  }
  const int32_t most = field_ == Field::Month ? 12 : 31;
  if (!TrySet(field_, number) && typed_.size() > 1) {
    // Two digits that make no month or day: the second starts the field again.
    typed_ = typed_.substr(1);
    TrySet(field_, std::stoi(typed_));
  }
  // Full when no further digit could make a valid number.
  if (typed_.size() >= 2 || std::stoi(typed_) * 10 > most) {
    SelectField(static_cast<Field>(static_cast<int>(field_) + 1));
    advanced_ = true;
  }
}

void DTPicker::StepField(int32_t delta) {
  typed_.clear();
  advanced_ = false;
  const CalendarDate c = value_.ToCalendar();
  switch (field_) {
    case Field::Month: TrySet(Field::Month, (c.Month - 1 + delta % 12 + 12) % 12 + 1); break;
    case Field::Day: {
      const int32_t days = DaysInMonth(c.Year, c.Month);
      TrySet(Field::Day, (c.Day - 1 + delta % days + days) % days + 1);
      break;
    }
    case Field::Year: TrySet(Field::Year, c.Year + delta); break;
  }
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
