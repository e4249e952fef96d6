#pragma once
// The host application's side of a Kestrel, as the suites of the control (and of the Qt
// realisation) see it: every event is noted as one line in `log`, and the answers a test scripts
// are members. By default ItemClick opens one kind of editor per column of the fruit-order list
// and stores every committed value in the list, as an application does.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {

enum class EditorKind { None, TextBox, Spinner, DropDown, Calendar, Button };

class RecordingHost : public KestrelEvents {
 public:
  explicit RecordingHost(Kestrel& k) : k_(k) {}

  // --- the host's answers, set by a test ---
  // The editor ItemClick opens over each column.
  static std::map<int32_t, EditorKind> OneKindPerColumn() {
    return {{0, EditorKind::TextBox}, {1, EditorKind::Spinner}, {2, EditorKind::DropDown},
            {3, EditorKind::Calendar}, {4, EditorKind::Button}};
  }
  std::map<int32_t, EditorKind> editors = OneKindPerColumn();
  // False: a second click on the same cell leaves the open editor as it is.
  bool reopenOnSecondClick = true;
  bool cancelNotInList = false;
  // Whether the host gives the opened date picker the focus, so the user can type a date.
  bool focusCalendar = false;
  // KeyPress clears these keys (KeyAscii = 0).
  std::set<int16_t> swallowedKeys;
  // TabRequest: changes the target cell; empty leaves the arguments as they came.
  std::function<void(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem)> answerTab;
  // BeforeColumnSort: what the host sets (unset: left as they came).
  std::optional<SortDataType> sortType;
  std::optional<std::string> omitChar;
  // Runs inside ColumnClick, after the line is noted.
  std::function<void(const ColumnHeaderRef&)> onColumnClick;
  // What TabClick writes into TabIndex.
  std::optional<int32_t> answerTabIndex;

  // --- what happened ---
  std::vector<std::string> log;
  // The cell the host last opened an editor over; committed values are stored there.
  int32_t editRow = 0, editColumn = -1;

  // The lines of the named events, in order.
  std::vector<std::string> Only(std::initializer_list<std::string_view> names) const {
    std::vector<std::string> out;
    for (const std::string& line : log) {
      const std::string_view name = std::string_view(line).substr(0, line.find(' '));
      if (std::find(names.begin(), names.end(), name) != names.end()) out.push_back(line);
    }
    return out;
  }
  size_t Count(std::string_view name) const { return Only({name}).size(); }

  // Which editor is open now, as the host sees it.
  std::string OpenEditor() const {
    if (k_.TextBoxControl().Visible())
      return platform::FindControl(k_, "SPINNER")->Visible() ? "spinner" : "textbox";
    if (k_.ComboBoxControl().Visible()) return "dropdown";
    if (k_.CalendarControl().Visible()) return "calendar";
    if (k_.CommandButtonControl().Visible()) return "button";
    return "none";
  }

  // --- editing ---
  void ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) override {
    const int32_t column = k_.SubItemClicked();
    Note("ItemClick row=" + std::to_string(Item ? Item->Index() : 0) + " button=" + std::to_string(Button) +
         " second=" + Bool(SecondClick) + " col=" + std::to_string(column) + " open=" + OpenEditor());
    if (!Item || (SecondClick && !reopenOnSecondClick)) return;
    const auto it = editors.find(column);
    const EditorKind kind = it == editors.end() ? EditorKind::None : it->second;
    if (kind == EditorKind::None) return;
    editRow = Item->Index();
    editColumn = column;
    std::string text = CellText(editRow, column);  // ShowCalendar may write a date back into it
    if (kind == EditorKind::TextBox) k_.ShowTextBox(text);
    if (kind == EditorKind::Spinner) k_.ShowTextBoxWithSpinner(text);
    if (kind == EditorKind::DropDown) {
      k_.ShowDropDown(text);
      k_.SetFocusToDropdown();
    }
    if (kind == EditorKind::Calendar) {
      k_.ShowCalendar(text);
      if (focusCalendar) k_.CalendarControl().SetFocus();
    }
    if (kind == EditorKind::Button) k_.ShowCommandButton();
  }
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    Note("ChangeComplete \"" + OrigText + "\" -> \"" + NewText + "\" col=" + std::to_string(k_.SubItemClicked()));
    Store(editColumn, NewText);
  }
  void DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    Note("DropDownChangeComplete \"" + OrigText + "\" -> \"" + NewText +
         "\" visible=" + Bool(k_.ComboBoxControl().Visible()));
    Store(editColumn, NewText);
  }
  void CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate, int32_t SI) override {
    Note("CalendarChangeComplete \"" + OldDate + "\" -> \"" + NewDate + "\" SI=" + std::to_string(SI));
    Store(SI, NewDate);
  }
  void NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) override {
    Note("NotInList \"" + OldValue + "\" \"" + NewValue + "\"");
    Cancel = cancelNotInList;
  }
  void TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) override {
    Note("TabRequest item=" + std::to_string(ItemIndex) + " current=" + std::to_string(CurrentSubItem) +
         " next=" + std::to_string(NextSubItem));
    if (answerTab) answerTab(ItemIndex, CurrentSubItem, NextSubItem);
  }
  void KeyPress(int16_t& KeyAscii) override {
    Note("KeyPress " + std::to_string(KeyAscii));
    if (swallowedKeys.count(KeyAscii)) KeyAscii = 0;
  }
  void Change(const std::string& OrigText) override { Note("Change \"" + OrigText + "\""); }
  void ItemCheck(const ListItemRef& Item) override {
    Note("ItemCheck row=" + std::to_string(Item ? Item->Index() : 0) + " checked=" + Bool(Item && Item->Checked()));
  }
  void DropDownChange(const std::string& OrigText) override { Note("DropDownChange \"" + OrigText + "\""); }
  void CalendarChange(const std::string& NewDate) override { Note("CalendarChange \"" + NewDate + "\""); }
  void DropDownClick() override { Note("DropDownClick"); }
  void DropDown() override { Note("DropDown"); }
  void MouseDown(int16_t& Button, int16_t&, float&, float&) override { Note("MouseDown button=" + std::to_string(Button)); }
  void TextBoxValidate(bool&) override { Note("TextBoxValidate"); }
  void SpinnerUpClick() override { Note("SpinnerUpClick"); Step(+1); }
  void SpinnerDownClick() override { Note("SpinnerDownClick"); Step(-1); }
  void CommandButtonClick() override {
    Note("CommandButtonClick");
    Store(editColumn, "Checked by phone");  // what the host's own notes dialog returns
  }

  // --- sorting ---
  void ColumnClick(const ColumnHeaderRef& ColumnHeader) override {
    Note("ColumnClick " + ColumnHeader->Text());
    if (onColumnClick) onColumnClick(ColumnHeader);
  }
  void BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string& OmitChar) override {
    Note("BeforeColumnSort " + ColumnHeader->Text() + " type=" + std::to_string(SortType) + " omit=\"" + OmitChar + "\"");
    if (sortType) SortType = *sortType;
    if (omitChar) OmitChar = *omitChar;
  }
  void ColumnSortComplete() override { Note("ColumnSortComplete"); }

  // --- the title bar and the tabs ---
  void TitleBarClick(int16_t Button) override { Note("TitleBarClick " + std::to_string(Button)); }
  void TabClick(int32_t& TabIndex) override {
    Note("TabClick " + std::to_string(TabIndex));
    if (answerTabIndex) TabIndex = *answerTabIndex;
  }

 private:
  static std::string Bool(bool b) { return b ? "True" : "False"; }
  void Note(std::string line) { log.push_back(std::move(line)); }
  std::string CellText(int32_t row, int32_t column) const {
    const ListItemRef item = k_.ListItems().Item(row);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  void Store(int32_t column, const std::string& value) {
    if (editRow < 1 || column < 0) return;
    const ListItemRef item = k_.ListItems().Item(editRow);
    column == 0 ? item->Text(value) : item->SubItems(column, value);
  }
  // The spin buttons count the quantity in the text box up or down.
  void Step(int32_t delta) {
    k_.TextBoxControl().Text(std::to_string(CLng(Variant(k_.TextBoxControl().Text())) + delta));
  }

  Kestrel& k_;
};

}  // namespace tamarind::testing
