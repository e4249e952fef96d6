#pragma once
// The control's events. A host derives from KestrelEvents, overrides the events it answers and
// attaches the object to the control. Events are raised synchronously: arguments passed by
// reference come back with the host's changes before the control goes on. A handler that throws a
// tamarind::Error is handled by the procedure that raised the event, in that procedure's own way.

#include <cstdint>
#include <memory>
#include <string>

#include "core/Enums.h"
#include "platform/DataObject.h"
#include "platform/listview/ColumnHeaders.h"
#include "platform/listview/ListItem.h"

namespace tamarind {

class CEXCEL;

class KestrelEvents {
 public:
  using ListItemRef = platform::ListItemRef;
  using ColumnHeaderRef = platform::ColumnHeaderRef;
  using DataRef = std::shared_ptr<platform::DataObject>;

  virtual ~KestrelEvents() = default;

  virtual void HitTest(float& /*x*/, float& /*y*/, int16_t& /*HitResult*/) {}
  virtual void OLEStartDrag(DataRef& /*Data*/, int32_t& /*AllowedEffects*/) {}
  virtual void OLESetData(DataRef& /*Data*/, int16_t& /*DataFormat*/) {}
  virtual void OLEGiveFeedback(int32_t& /*Effect*/, bool& /*DefaultCursors*/) {}
  virtual void OLEDragOver(DataRef& /*Data*/, int32_t& /*Effect*/, int16_t& /*Button*/, int16_t& /*Shift*/,
                           float& /*x*/, float& /*y*/, int16_t& /*State*/) {}
  virtual void OLEDragDrop(DataRef& /*Data*/, int32_t& /*Effect*/, int16_t& /*Button*/, int16_t& /*Shift*/,
                           float& /*x*/, float& /*y*/) {}
  virtual void CalendarChangeComplete(const std::string& /*OldDate*/, const std::string& /*NewDate*/, int32_t /*SI*/) {}
  virtual void CalendarChange(const std::string& /*NewDate*/) {}
  virtual void ChangeComplete(const std::string& /*OrigText*/, const std::string& /*NewText*/) {}
  virtual void DropDownChangeComplete(const std::string& /*OrigText*/, const std::string& /*NewText*/) {}
  virtual void DropDownChange(const std::string& /*OrigText*/) {}
  virtual void DropDownClick() {}
  virtual void Click() {}
  virtual void DblClick() {}
  virtual void KeyDown(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void KeyPress(int16_t& /*KeyAscii*/) {}
  virtual void KeyUp(int16_t& /*KeyCode*/, int16_t& /*Shift*/) {}
  virtual void MouseDown(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*x*/, float& /*y*/) {}
  virtual void MouseMove(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*x*/, float& /*y*/) {}
  virtual void MouseUp(int16_t& /*Button*/, int16_t& /*Shift*/, float& /*x*/, float& /*y*/) {}
  virtual void Change(const std::string& /*OrigText*/) {}
  virtual void ColumnClick(const ColumnHeaderRef& /*ColumnHeader*/) {}
  virtual void DropDown() {}
  virtual void ItemCheck(const ListItemRef& /*Item*/) {}
  // The default event: the host usually opens an editor here.
  virtual void ItemClick(const ListItemRef& /*Item*/, int16_t /*Button*/, bool /*SecondClick*/) {}
  virtual void Scroll() {}
  virtual void NotInList(const std::string& /*OldValue*/, std::string& /*NewValue*/, bool& /*Cancel*/) {}
  virtual void ColumnSortComplete() {}
  virtual void BeforeColumnSort(const ColumnHeaderRef& /*ColumnHeader*/, SortDataType& /*SortType*/,
                                std::string& /*OmitChar*/) {}
  virtual void TitleBarClick(int16_t /*Button*/) {}
  virtual void CommandButtonClick() {}
  virtual void ExportToExcelComplete(std::shared_ptr<CEXCEL>& /*obj*/) {}
  virtual void TabRequest(int32_t& /*ItemIndex*/, int32_t /*CurrentSubItem*/, int32_t& /*NextSubItem*/) {}
  virtual void TextBoxValidate(bool& /*Cancel*/) {}
  virtual void ComboBoxValidate(bool& /*Cancel*/) {}
  virtual void CalendarValidate(bool& /*Cancel*/) {}
  virtual void SpinnerDownClick() {}
  virtual void SpinnerUpClick() {}
  virtual void TabClick(int32_t& /*TabIndex*/) {}
  virtual void OLECompleteDrag(int32_t& /*Effect*/) {}
};

}  // namespace tamarind
