#pragma once
// A fruit-order list in a Kestrel on a host form of the headless desktop, a person at the mouse and
// keyboard, and a host that answers the control's events as an application does: it opens an
// editor on every item click (one kind per column), stores every committed value in the list, and
// notes every event as one line. A test scripts the host's answers and reads the lines.
//
// Geometry of the headless desktop: 15 twips per pixel; Verdana 8.25 rows are 17 px (255 twips)
// high under a 20 px (300 twips) header; the columns are 1500, 1200, 1500, 1800 and 1800 twips wide.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Conversions.h"

namespace tamarind::testing {

enum class EditorKind { None, TextBox, Spinner, DropDown, Calendar, Button };

// The host application's side of the control.
class RecordingHost : public KestrelEvents {
 public:
  explicit RecordingHost(Kestrel& k) : k_(k) {}

  // --- the host's answers, set by a test ---
  // The editor ItemClick opens over each column.
  std::map<int32_t, EditorKind> editors{{0, EditorKind::TextBox}, {1, EditorKind::Spinner}, {2, EditorKind::DropDown},
                                        {3, EditorKind::Calendar}, {4, EditorKind::Button}};
  // False: a second click on the same cell leaves the open editor as it is.
  bool reopenOnSecondClick = true;
  bool cancelNotInList = false;
  // KeyPress clears these keys (KeyAscii = 0).
  std::set<int16_t> swallowedKeys;
  // TabRequest: changes the target cell; empty leaves the arguments as they came.
  std::function<void(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem)> answerTab;

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

  // --- events ---
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
    if (kind == EditorKind::Calendar) k_.ShowCalendar(text);
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

class EditingTest : public ::testing::Test {
 protected:
  // Column widths in twips (100, 80, 100, 120 and 120 px) and the rows' top edge.
  static constexpr float kWidth[5] = {1500, 1200, 1500, 1800, 1800};
  static constexpr float kHeaderTwips = 300, kRowTwips = 255;
  static constexpr float kListWidth = 9000;

  EditingTest() {
    form.Show();
    const char* captions[] = {"Name", "Qty", "Category", "Date", "Notes"};
    for (int i = 0; i < 5; ++i) k.ColumnHeaders().Add(0, {}, captions[i], kWidth[i]);
    AddRow({"Braeburn", "12", "Apple", "11/2/2026", ""});
    AddRow({"Lemon", "4", "Citrus", "11/9/2026", ""});
    AddRow({"Cherry", "7", "Stone fruit", "11/15/2026", "Sour"});
    AddRow({"Blueberry", "3", "Berry", "11/21/2026", "Frozen"});
    AddRow({"Lime", "2", "Citrus", "12/1/2026", ""});
    for (const char* c : {"Apple", "Berry", "Citrus", "Stone fruit"}) k.AddItem(c);
    k.Attach(&host);
  }
  ~EditingTest() override { k.Attach(nullptr); }

  // Name, Qty, Category, Date and Notes.
  void AddRow(const std::vector<std::string>& cells) {
    const platform::ListItemRef item = k.ListItems().Add(0, {}, cells[0]);
    for (int32_t column = 1; column <= 4; ++column) item->SubItems(column, cells[column]);
  }
  std::string Cell(int32_t row, int32_t column) {
    const platform::ListItemRef item = k.ListItems().Item(row);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  void GiveRowsIcons() {
    auto icons = std::make_shared<platform::ImageList>();
    icons->Add(std::make_shared<platform::StdPicture>(16, 16, 0x00FF00));
    k.SmallIcons(icons);
    for (int32_t row = 1; row <= k.ListItems().Count(); ++row) k.ListItems().Item(row)->SmallIcon(Variant(int32_t{1}));
  }
  // The top of a row (1-based) in twips while the list shows its first row first.
  static float RowTop(int32_t row) { return kHeaderTwips + static_cast<float>(row - 1) * kRowTwips; }

  platform::TextBox& Box() { return k.TextBoxControl(); }
  // The spin buttons have no member of their own: the user sees them, so a host finds them by name.
  platform::UpDown& Spinner() { return *platform::FindControl<platform::UpDown>(k, "SPINNER"); }
  platform::ComboBox& Combo() { return k.ComboBoxControl(); }
  platform::DTPicker& Calendar() { return k.CalendarControl(); }
  platform::CommandButton& Button() { return k.CommandButtonControl(); }
  // The tracking timer as the desktop sees it: the only timer this form runs.
  bool TimerOn() { return tk.TimersImpl().ActiveCount() > 0; }

  // The bytes of every sound played, in order.
  std::vector<std::vector<uint8_t>> SoundsPlayed() {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& r : tk.SoundImpl().Requests()) out.push_back(r.bytes);
    return out;
  }

  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Orders", 12000, 6000};
  Kestrel& k = form.Add<Kestrel>("K", 240, 240, kListWidth, 3600);
  platform::TextBox& away = form.AddTextBox("txtAway", 240, 4200, 2000, 300);
  platform::ListView& lv = k.ListViewControl();
  platform::headless::UserDriver user{tk};
  RecordingHost host{k};
};

}  // namespace tamarind::testing
