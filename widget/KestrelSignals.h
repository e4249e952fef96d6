#pragma once
// Inside KestrelWidget: the control's events turned into the widget's signals, and the property
// changes the control reports turned into NOTIFY signals.

#include <string_view>

#include "core/KestrelEvents.h"
#include "widget/KestrelWidget.h"

namespace tamarind {

// Attached to the control as its events: each event goes to the host's KestrelEvents (when set),
// then out as a signal; the answers of both come back through the event's arguments.
class KestrelWidget::SignalBridge : public KestrelEvents {
 public:
  explicit SignalBridge(KestrelWidget& w) : w_(w) {}
  void SetHostEvents(KestrelEvents* host) { host_ = host; }

  void HitTest(float& x, float& y, int16_t& HitResult) override;
  void OLEStartDrag(DataRef& Data, int32_t& AllowedEffects) override;
  void OLESetData(DataRef& Data, int16_t& DataFormat) override;
  void OLEGiveFeedback(int32_t& Effect, bool& DefaultCursors) override;
  void OLEDragOver(DataRef& Data, int32_t& Effect, int16_t& Button, int16_t& Shift, float& x, float& y,
                   int16_t& State) override;
  void OLEDragDrop(DataRef& Data, int32_t& Effect, int16_t& Button, int16_t& Shift, float& x, float& y) override;
  void OLECompleteDrag(int32_t& Effect) override;
  void CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate, int32_t SI) override;
  void CalendarChange(const std::string& NewDate) override;
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override;
  void DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) override;
  void DropDownChange(const std::string& OrigText) override;
  void DropDownClick() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(int16_t& KeyCode, int16_t& Shift) override;
  void KeyPress(int16_t& KeyAscii) override;
  void KeyUp(int16_t& KeyCode, int16_t& Shift) override;
  void MouseDown(int16_t& Button, int16_t& Shift, float& x, float& y) override;
  void MouseMove(int16_t& Button, int16_t& Shift, float& x, float& y) override;
  void MouseUp(int16_t& Button, int16_t& Shift, float& x, float& y) override;
  void Change(const std::string& OrigText) override;
  void ColumnClick(const ColumnHeaderRef& ColumnHeader) override;
  void DropDown() override;
  void ItemCheck(const ListItemRef& Item) override;
  void ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) override;
  void Scroll() override;
  void NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) override;
  void ColumnSortComplete() override;
  void BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string& OmitChar) override;
  void TitleBarClick(int16_t Button) override;
  void CommandButtonClick() override;
  void ExportToExcelComplete(std::shared_ptr<CEXCEL>& obj) override;
  void TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) override;
  void TextBoxValidate(bool& Cancel) override;
  void ComboBoxValidate(bool& Cancel) override;
  void CalendarValidate(bool& Cancel) override;
  void SpinnerDownClick() override;
  void SpinnerUpClick() override;
  void TabClick(int32_t& TabIndex) override;

 private:
  KestrelWidget& w_;
  KestrelEvents* host_ = nullptr;
};

// Emits the NOTIFY signal of the property the control reported by its saved name (none for a
// name without a Q_PROPERTY).
void NotifyPropertyChange(KestrelWidget& w, std::string_view savedName);

}  // namespace tamarind
