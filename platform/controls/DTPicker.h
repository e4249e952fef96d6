#pragma once
// The common-controls date picker: a date value with a month calendar that drops down.

#include <cstdint>
#include <string>

#include "platform/Control.h"
#include "runtime/Variant.h"

namespace tamarind::platform {

class DTPicker : public Control {
 public:
  DTPicker(Toolkit& tk, Window* parent);

  // A Date. Setting accepts a Date, a number (serial) or a text that reads as a date; anything
  // else is Error 380 (Invalid property value), as is a date outside MinDate..MaxDate.
  // Change is raised when the value differs.
  Variant Value() const { return Variant(value_); }
  Date DateValue() const { return value_; }
  void Value(const Variant& v);

  Date MinDate() const { return minDate_; }
  void MinDate(Date d) {
    minDate_ = d;
    OnPropertyChanged("MinDate");
  }
  Date MaxDate() const { return maxDate_; }
  void MaxDate(Date d) {
    maxDate_ = d;
    OnPropertyChanged("MaxDate");
  }

  OLE_COLOR CalendarBackColor() const { return calendarBackColor_; }
  void CalendarBackColor(OLE_COLOR c) { calendarBackColor_ = c; }
  OLE_COLOR CalendarForeColor() const { return calendarForeColor_; }
  void CalendarForeColor(OLE_COLOR c) { calendarForeColor_ = c; }
  OLE_COLOR CalendarTitleBackColor() const { return calendarTitleBackColor_; }
  void CalendarTitleBackColor(OLE_COLOR c) { calendarTitleBackColor_ = c; }
  OLE_COLOR CalendarTitleForeColor() const { return calendarTitleForeColor_; }
  void CalendarTitleForeColor(OLE_COLOR c) { calendarTitleForeColor_ = c; }
  OLE_COLOR CalendarTrailingForeColor() const { return calendarTrailingForeColor_; }
  void CalendarTrailingForeColor(OLE_COLOR c) { calendarTrailingForeColor_ = c; }

  // Editing from the keyboard, field by field in the order the picker shows the date
  // (month/day/year). A digit replaces the current field or adds to what was just typed there and
  // moves on once the field can take no more; a separator ("/", "-", ".", space) or Right moves to
  // the next field and Left to the one before; Up and Down step the field round its range. The
  // value changes (with Change) as soon as the fields make a date the picker accepts; a year
  // counts once its four digits are typed. Taking the focus starts again at the month.
  enum class Field { Month, Day, Year };
  Field CurrentField() const { return field_; }
  void SelectField(Field f);
  void TypeCharacter(char32_t c);
  void StepField(int32_t delta);

  // The month calendar: opening raises DropDown, closing CloseUp.
  bool DroppedDown() const { return droppedDown_; }
  void OpenCalendar();
  void CloseCalendar();

  Event<> Change;
  Event<> DropDown;
  Event<> CloseUp;

 protected:
  // A hidden picker cannot show its month calendar.
  void OnPropertyChanged(std::string_view property) override {
    if (property == "Visible" && !Visible()) droppedDown_ = false;
  }
  void OnFocusReceived() override;

 private:
  Date value_;
  Date minDate_, maxDate_;
  OLE_COLOR calendarBackColor_ = vbWindowBackground, calendarForeColor_ = vbButtonText,
            calendarTitleBackColor_ = vbButtonFace, calendarTitleForeColor_ = vbButtonText,
            calendarTrailingForeColor_ = vbGrayText;
  bool droppedDown_ = false;
  Field field_ = Field::Month;
  std::string typed_;      // the digits typed into the current field so far
  bool advanced_ = false;  // the last digit filled a field and moved on

  // The value with one field replaced, when the picker can take it (the day kept within the month).
  bool TrySet(Field f, int32_t number);
};

}  // namespace tamarind::platform
