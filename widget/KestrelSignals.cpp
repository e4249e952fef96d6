#include "widget/KestrelSignals.h"

#include "platform/qt/QtSupport.h"

namespace tamarind {

using platform::qt::ToQString;
using platform::qt::ToUtf8;

namespace {

// The model's row of an item: ListItems(r + 1) is row r; -1 for no item.
int RowOf(const platform::ListItemRef& item) { return item ? item->Index() - 1 : -1; }

Qt::MouseButton QtButtonOf(int16_t button) {
  switch (button) {
    case platform::vbLeftButton: return Qt::LeftButton;
    case platform::vbRightButton: return Qt::RightButton;
    case platform::vbMiddleButton: return Qt::MiddleButton;
    default: return Qt::NoButton;
  }
}

}  // namespace

// Every event: the host's object first, then the signal. The arguments an event answers through are
// copied into the signal's object and back once the slots ran.

void KestrelWidget::SignalBridge::HitTest(float& x, float& y, int16_t& HitResult) {
  if (host_) host_->HitTest(x, y, HitResult);
  KestrelHitTest a{x, y, HitResult};
  emit w_.hitTest(&a);
  x = a.x, y = a.y, HitResult = static_cast<int16_t>(a.hitResult);
}

void KestrelWidget::SignalBridge::OLEStartDrag(DataRef& Data, int32_t& AllowedEffects) {
  if (host_) host_->OLEStartDrag(Data, AllowedEffects);
  KestrelDrag a{.data = Data, .allowedEffects = AllowedEffects};
  emit w_.oleStartDrag(&a);
  Data = a.data, AllowedEffects = a.allowedEffects;
}

void KestrelWidget::SignalBridge::OLESetData(DataRef& Data, int16_t& DataFormat) {
  if (host_) host_->OLESetData(Data, DataFormat);
  KestrelDrag a{.data = Data, .dataFormat = DataFormat};
  emit w_.oleSetData(&a);
  Data = a.data, DataFormat = static_cast<int16_t>(a.dataFormat);
}

void KestrelWidget::SignalBridge::OLEGiveFeedback(int32_t& Effect, bool& DefaultCursors) {
  if (host_) host_->OLEGiveFeedback(Effect, DefaultCursors);
  KestrelDrag a{.data = nullptr, .effect = Effect, .defaultCursors = DefaultCursors};
  emit w_.oleGiveFeedback(&a);
  Effect = a.effect, DefaultCursors = a.defaultCursors;
}

void KestrelWidget::SignalBridge::OLEDragOver(DataRef& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                                              float& x, float& y, int16_t& State) {
  if (host_) host_->OLEDragOver(Data, Effect, Button, Shift, x, y, State);
  KestrelDrag a{.data = Data, .effect = Effect, .button = Button, .shift = Shift, .x = x, .y = y, .state = State};
  emit w_.oleDragOver(&a);
  Data = a.data, Effect = a.effect, Button = static_cast<int16_t>(a.button), Shift = static_cast<int16_t>(a.shift);
  x = a.x, y = a.y, State = static_cast<int16_t>(a.state);
}

void KestrelWidget::SignalBridge::OLEDragDrop(DataRef& Data, int32_t& Effect, int16_t& Button, int16_t& Shift,
                                              float& x, float& y) {
  if (host_) host_->OLEDragDrop(Data, Effect, Button, Shift, x, y);
  KestrelDrag a{.data = Data, .effect = Effect, .button = Button, .shift = Shift, .x = x, .y = y};
  emit w_.oleDragDrop(&a);
  Data = a.data, Effect = a.effect, Button = static_cast<int16_t>(a.button), Shift = static_cast<int16_t>(a.shift);
  x = a.x, y = a.y;
}

void KestrelWidget::SignalBridge::OLECompleteDrag(int32_t& Effect) {
  if (host_) host_->OLECompleteDrag(Effect);
  KestrelDrag a{.data = nullptr, .effect = Effect};
  emit w_.oleCompleteDrag(&a);
  Effect = a.effect;
}

void KestrelWidget::SignalBridge::CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate,
                                                         int32_t SI) {
  if (host_) host_->CalendarChangeComplete(OldDate, NewDate, SI);
  emit w_.calendarChangeComplete(ToQString(OldDate), ToQString(NewDate), SI);
}

void KestrelWidget::SignalBridge::CalendarChange(const std::string& NewDate) {
  if (host_) host_->CalendarChange(NewDate);
  emit w_.calendarChange(ToQString(NewDate));
}

void KestrelWidget::SignalBridge::ChangeComplete(const std::string& OrigText, const std::string& NewText) {
  if (host_) host_->ChangeComplete(OrigText, NewText);
  emit w_.changeComplete(ToQString(OrigText), ToQString(NewText));
}

void KestrelWidget::SignalBridge::DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) {
  if (host_) host_->DropDownChangeComplete(OrigText, NewText);
  emit w_.dropDownChangeComplete(ToQString(OrigText), ToQString(NewText));
}

void KestrelWidget::SignalBridge::DropDownChange(const std::string& OrigText) {
  if (host_) host_->DropDownChange(OrigText);
  emit w_.dropDownChange(ToQString(OrigText));
}

void KestrelWidget::SignalBridge::DropDownClick() {
  if (host_) host_->DropDownClick();
  emit w_.dropDownClick();
}

void KestrelWidget::SignalBridge::Click() {
  if (host_) host_->Click();
  emit w_.clicked();
}

void KestrelWidget::SignalBridge::DblClick() {
  if (host_) host_->DblClick();
  emit w_.doubleClicked();
}

void KestrelWidget::SignalBridge::KeyDown(int16_t& KeyCode, int16_t& Shift) {
  if (host_) host_->KeyDown(KeyCode, Shift);
  KestrelKey a{.keyCode = KeyCode, .shift = Shift};
  emit w_.keyDown(&a);
  KeyCode = static_cast<int16_t>(a.keyCode), Shift = static_cast<int16_t>(a.shift);
}

void KestrelWidget::SignalBridge::KeyPress(int16_t& KeyAscii) {
  if (host_) host_->KeyPress(KeyAscii);
  KestrelKey a{.keyAscii = KeyAscii};
  emit w_.keyPress(&a);
  KeyAscii = static_cast<int16_t>(a.keyAscii);
}

void KestrelWidget::SignalBridge::KeyUp(int16_t& KeyCode, int16_t& Shift) {
  if (host_) host_->KeyUp(KeyCode, Shift);
  KestrelKey a{.keyCode = KeyCode, .shift = Shift};
  emit w_.keyUp(&a);
  KeyCode = static_cast<int16_t>(a.keyCode), Shift = static_cast<int16_t>(a.shift);
}

namespace {

template <class Signal>
void EmitMouse(KestrelWidget& w, Signal signal, int16_t& Button, int16_t& Shift, float& x, float& y) {
  KestrelMouse a{Button, Shift, x, y};
  emit(w.*signal)(&a);
  Button = static_cast<int16_t>(a.button), Shift = static_cast<int16_t>(a.shift), x = a.x, y = a.y;
}

}  // namespace

void KestrelWidget::SignalBridge::MouseDown(int16_t& Button, int16_t& Shift, float& x, float& y) {
  if (host_) host_->MouseDown(Button, Shift, x, y);
  EmitMouse(w_, &KestrelWidget::mouseDown, Button, Shift, x, y);
}

void KestrelWidget::SignalBridge::MouseMove(int16_t& Button, int16_t& Shift, float& x, float& y) {
  if (host_) host_->MouseMove(Button, Shift, x, y);
  EmitMouse(w_, &KestrelWidget::mouseMove, Button, Shift, x, y);
}

void KestrelWidget::SignalBridge::MouseUp(int16_t& Button, int16_t& Shift, float& x, float& y) {
  if (host_) host_->MouseUp(Button, Shift, x, y);
  EmitMouse(w_, &KestrelWidget::mouseUp, Button, Shift, x, y);
}

void KestrelWidget::SignalBridge::Change(const std::string& OrigText) {
  if (host_) host_->Change(OrigText);
  emit w_.changed(ToQString(OrigText));
}

void KestrelWidget::SignalBridge::ColumnClick(const ColumnHeaderRef& ColumnHeader) {
  if (host_) host_->ColumnClick(ColumnHeader);
  emit w_.columnClick(ColumnHeader ? ColumnHeader->Index() - 1 : -1);
}

void KestrelWidget::SignalBridge::DropDown() {
  if (host_) host_->DropDown();
  emit w_.dropDown();
}

void KestrelWidget::SignalBridge::ItemCheck(const ListItemRef& Item) {
  if (host_) host_->ItemCheck(Item);
  emit w_.itemCheck(RowOf(Item), Item && Item->Checked());
}

void KestrelWidget::SignalBridge::ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) {
  if (host_) host_->ItemClick(Item, Button, SecondClick);
  emit w_.itemClick(RowOf(Item), w_.kestrel().SubItemClicked(), SecondClick, QtButtonOf(Button));
}

void KestrelWidget::SignalBridge::Scroll() {
  if (host_) host_->Scroll();
  emit w_.scrolled();
}

void KestrelWidget::SignalBridge::NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) {
  if (host_) host_->NotInList(OldValue, NewValue, Cancel);
  KestrelNotInList a{ToQString(OldValue), ToQString(NewValue), Cancel};
  emit w_.notInList(&a);
  NewValue = ToUtf8(a.newValue), Cancel = a.cancel;
}

void KestrelWidget::SignalBridge::ColumnSortComplete() {
  if (host_) host_->ColumnSortComplete();
  emit w_.columnSortComplete();
}

void KestrelWidget::SignalBridge::BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType,
                                                   std::string& OmitChar) {
  if (host_) host_->BeforeColumnSort(ColumnHeader, SortType, OmitChar);
  KestrelSortRequest a{SortType, ToQString(OmitChar)};
  emit w_.beforeColumnSort(ColumnHeader ? ColumnHeader->Index() - 1 : -1, &a);
  SortType = a.sortType, OmitChar = ToUtf8(a.omitChar);
}

void KestrelWidget::SignalBridge::TitleBarClick(int16_t Button) {
  if (host_) host_->TitleBarClick(Button);
  emit w_.titleBarClick(QtButtonOf(Button));
}

void KestrelWidget::SignalBridge::CommandButtonClick() {
  if (host_) host_->CommandButtonClick();
  emit w_.commandButtonClick();
}

void KestrelWidget::SignalBridge::ExportToExcelComplete(std::shared_ptr<CEXCEL>& obj) {
  if (host_) host_->ExportToExcelComplete(obj);
  KestrelWorkbook a{obj};
  emit w_.exportToExcelComplete(&a);
  obj = a.workbook;
}

void KestrelWidget::SignalBridge::TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) {
  if (host_) host_->TabRequest(ItemIndex, CurrentSubItem, NextSubItem);
  KestrelTabRequest a{ItemIndex - 1, CurrentSubItem, NextSubItem};
  emit w_.tabRequest(&a);
  ItemIndex = a.row + 1, NextSubItem = a.nextColumn;
}

void KestrelWidget::SignalBridge::TextBoxValidate(bool& Cancel) {
  if (host_) host_->TextBoxValidate(Cancel);
  emit w_.textBoxValidate(&Cancel);
}

void KestrelWidget::SignalBridge::ComboBoxValidate(bool& Cancel) {
  if (host_) host_->ComboBoxValidate(Cancel);
  emit w_.comboBoxValidate(&Cancel);
}

void KestrelWidget::SignalBridge::CalendarValidate(bool& Cancel) {
  if (host_) host_->CalendarValidate(Cancel);
  emit w_.calendarValidate(&Cancel);
}

void KestrelWidget::SignalBridge::SpinnerDownClick() {
  if (host_) host_->SpinnerDownClick();
  emit w_.spinnerDownClick();
}

void KestrelWidget::SignalBridge::SpinnerUpClick() {
  if (host_) host_->SpinnerUpClick();
  emit w_.spinnerUpClick();
}

void KestrelWidget::SignalBridge::TabClick(int32_t& TabIndex) {
  if (host_) host_->TabClick(TabIndex);
  int tab = TabIndex;
  emit w_.tabClick(&tab);
  TabIndex = tab;
}

}  // namespace tamarind
