// The demo host: an order list edited in place on the headless desktop.
//
// It places a Kestrel on a form, fills it from a small built-in data set, styles the editable
// columns, and answers ItemClick as a real host does: a text box on the name column, spin buttons
// on the quantity, a drop-down with a fixed list on the category, the calendar on the date and the
// "..." button on the notes. A scripted user then edits the list through the headless user driver:
// clicks, typing, Enter, Tab across cells, a category that is not in the list (which the host
// refuses), a date picked. Every event is printed as it arrives; the host stores every committed
// value. Finally the form's design state is saved to a file, loaded into a second instance, and
// both lists are printed as text tables.
//
// Usage: kestrel_demo [form-file]   (default: kestrel_demo.frm in the system's temporary folder)

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/FormFile.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Conversions.h"
#include "runtime/Text.h"

using namespace tamarind;
using namespace tamarind::platform;

namespace {

struct Order {
  const char* name;
  const char* qty;
  const char* category;
  const char* date;
  const char* notes;
};

const Order kOrders[] = {
    {"Anise", "12", "Seeds", "11/2/2026", "Whole, not ground"},
    {"Bay leaves", "4", "Leaves", "11/9/2026", ""},
    {"Cardamom", "7", "Pods", "11/15/2026", "Green"},
    {"Dill", "3", "Leaves", "11/21/2026", "Fresh only"},
    {"Elderflower", "2", "Flowers", "12/1/2026", ""},
};

const char* const kCategories[] = {"Flowers", "Leaves", "Pods", "Roots", "Seeds"};

enum Column { kName = 0, kQty = 1, kCategory = 2, kDate = 3, kNotes = 4 };

// Prints a list as a text table, columns in display order.
void PrintTable(const std::string& title, Kestrel& k) {
  ListView& lv = k.ListViewControl();
  std::vector<int32_t> order = lv.ColumnOrder();
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header;
  for (int32_t c : order) header.push_back(lv.ColumnHeaders().Item(c + 1)->Text());
  rows.push_back(header);
  lv.ListItems().ForEach([&](const ListItemRef& item) {
    std::vector<std::string> row;
    for (int32_t c : order) row.push_back(item->ColumnText(c));
    rows.push_back(row);
  });
  std::vector<int32_t> widths(order.size(), 0);
  for (const auto& row : rows)
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], text::Len(row[i]));
  std::cout << "\n" << title << "\n";
  for (size_t r = 0; r < rows.size(); ++r) {
    std::cout << "  ";
    for (size_t i = 0; i < rows[r].size(); ++i) {
      std::cout << rows[r][i] << std::string(static_cast<size_t>(widths[i] - text::Len(rows[r][i]) + 2), ' ');
    }
    std::cout << "\n";
    if (r == 0) {
      std::cout << "  ";
      for (int32_t w : widths) std::cout << std::string(static_cast<size_t>(w), '-') << "  ";
      std::cout << "\n";
    }
  }
}

// The host: opens the right editor for each column and stores every committed value.
class OrderHost : public KestrelEvents {
 public:
  explicit OrderHost(Kestrel& k) : k_(k) {}

  void ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) override {
    Log("ItemClick row " + std::to_string(Item->Index()) + " column " + std::to_string(k_.SubItemClicked()) +
        (SecondClick ? " (second click)" : "") + (Button == vbRightButton ? " right button" : ""));
    switch (k_.SubItemClicked()) {
      case kName:
        k_.ShowTextBox(Item->Text());
        k_.SetFocusToTextBox();
        break;
      case kQty:
        k_.ShowTextBoxWithSpinner(Item->SubItems(kQty));
        k_.SetFocusToTextBox();
        break;
      case kCategory:
        k_.ShowDropDown(Item->SubItems(kCategory));
        k_.SetFocusToDropdown();
        break;
      case kDate: {
        std::string when = Item->SubItems(kDate);
        k_.ShowCalendar(when);
        break;
      }
      case kNotes:
        k_.ShowCommandButton();
        break;
      default:
        break;
    }
  }
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    Log("ChangeComplete \"" + OrigText + "\" -> \"" + NewText + "\"");
    Store(NewText);
  }
  void DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    Log("DropDownChangeComplete \"" + OrigText + "\" -> \"" + NewText + "\"");
    Store(NewText);
  }
  void CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate, int32_t SI) override {
    Log("CalendarChangeComplete \"" + OldDate + "\" -> \"" + NewDate + "\" column " + std::to_string(SI));
    // Only the day counts in this list.
    Store(Date(CDate(Variant(NewDate)).DatePart()).ToString(), SI);
  }
  void NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) override {
    Log("NotInList \"" + NewValue + "\" (was \"" + OldValue + "\"): refused");
    Cancel = true;  // categories come from a fixed list
  }
  void TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) override {
    NextSubItem = CurrentSubItem + 1;  // the next column; past the last one the control wraps
    Log("TabRequest row " + std::to_string(ItemIndex) + " column " + std::to_string(CurrentSubItem) + " -> " +
        std::to_string(NextSubItem));
  }
  void SpinnerUpClick() override { Step(+1); }
  void SpinnerDownClick() override { Step(-1); }
  void CommandButtonClick() override {
    Log("CommandButtonClick: the notes editor would open here");
    auto item = k_.ListItems().Item(k_.State().m_CurItem);
    item->SubItems(kNotes, item->SubItems(kNotes).empty() ? "Checked by phone" : item->SubItems(kNotes) + " (checked)");
  }
  void DropDown() override { Log("DropDown"); }
  void DropDownClick() override { Log("DropDownClick"); }

 private:
  void Log(const std::string& line) { std::cout << "  event: " << line << "\n"; }
  void Store(const std::string& value, int32_t column = -1) {
    const int32_t c = column < 0 ? k_.SubItemClicked() : column;
    auto item = k_.ListItems().Item(k_.State().m_CurItem);
    if (c == 0) item->Text(value);
    else item->SubItems(c, value);
    Log("  stored \"" + value + "\" in row " + std::to_string(item->Index()) + " column " + std::to_string(c));
  }
  void Step(int delta) {
    TextBox& box = k_.TextBoxControl();
    const int32_t qty = std::max(0, (IsNumeric(Variant(box.Text())) ? CLng(Variant(box.Text())) : 0) + delta);
    box.Text(std::to_string(qty));
    Log(std::string("Spinner") + (delta > 0 ? "Up" : "Down") + "Click: quantity " + std::to_string(qty));
  }
  Kestrel& k_;
};

void Fill(Kestrel& k) {
  const std::pair<const char*, float> columns[] = {
      {"Name", 1800}, {"Qty", 900}, {"Category", 1500}, {"Date", 1500}, {"Notes", 2400}};
  for (const auto& [caption, width] : columns) k.ColumnHeaders().Add(0, {}, caption, width);
  for (const Order& o : kOrders) {
    auto item = k.ListItems().Add(0, {}, o.name);
    item->SubItems(kQty, o.qty);
    item->SubItems(kCategory, o.category);
    item->SubItems(kDate, o.date);
    item->SubItems(kNotes, o.notes);
  }
  for (const char* c : kCategories) k.AddItem(c);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string formPath =
      argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "kestrel_demo.frm").string();
  try {
    headless::HeadlessToolkit tk;
    headless::UserDriver user(tk);
    std::string saved;
    {
      headless::HostForm form(tk, "Orders", 11000, 5000);
      Kestrel& k = form.Add<Kestrel>("Orders1", 120, 120, 10500, 4200);
      k.TitleCaption("Spice orders");
      k.Titlebar(true);
      k.TitleHeight(300);
      k.FullRowSelect(true);
      k.GridLines(true);
      k.AllowColumnReorder(true);
      k.PlaySounds(true);
      form.Show();
      Fill(k);
      k.SetEditableItemsBold("0, 1, 2, 3");
      k.SetEditableItemsForeColor("1,3", RGB(0, 0, 160));
      k.SetNonEditableItemsForeColor("4", RGB(96, 96, 96));
      OrderHost host(k);
      k.Attach(&host);
      ListView& lv = k.ListViewControl();

      std::cout << "A user edits the spice orders:\n";
      std::cout << "- renames Bay leaves and presses Enter\n";
      user.ClickCell(lv, 2, kName);
      user.Type("Bay laurel");
      user.PressKey(vbKeyReturn);

      user.Wait(800);
      std::cout << "- clicks the quantity of Cardamom, spins it up twice, then presses Tab\n";
      user.ClickCell(lv, 3, kQty);
      user.ClickUpArrow(k.State().SPINNER.operator*());
      user.ClickUpArrow(*k.State().SPINNER);
      user.PressKey(vbKeyTab);

      user.Wait(800);
      std::cout << "- types a category that is not in the list and presses Enter\n";
      user.Type("Bark");
      user.PressKey(vbKeyReturn);

      user.Wait(800);
      std::cout << "- opens the category of Dill and chooses Seeds from the list\n";
      user.ClickCell(lv, 4, kCategory);
      user.ChooseEntry(k.ComboBoxControl(), "Seeds");

      user.Wait(800);
      std::cout << "- picks a new date for Anise in the calendar\n";
      user.ClickCell(lv, 1, kDate);
      user.PickDate(k.CalendarControl(), Date::FromCalendar(2026, 12, 24));

      user.Wait(800);
      std::cout << "- presses the \"...\" button on the notes of Elderflower\n";
      user.ClickCell(lv, 5, kNotes);
      user.Click(k.CommandButtonControl());

      user.Wait(800);
      std::cout << "- drags the Date column to the front and clicks elsewhere\n";
      user.DragColumn(lv, 4, 1);
      user.ClickCell(lv, 1, kName);
      user.Type("Star anise");
      auto& away = form.AddTextBox("txtSearch", 0, 4400, 3000, 300);
      std::cout << "- moves the focus out of the list while the edit is open\n";
      user.Focus(away);
      user.Wait(500);

      std::cout << "\nSounds played:";
      for (const auto& r : tk.SoundImpl().Requests()) {
        static const char* const names[] = {"sort", "drop", "complete", "click"};
        const bool known = r.resourceId >= snd_SORT && r.resourceId <= snd_CLICK;
        std::cout << " " << (known ? names[r.resourceId - snd_SORT] : "other") << " at " << r.startMs << " ms"
                  << (r.cutOff ? " (cut off)" : "") << ";";
      }
      std::cout << "\n" << tk.MessageBoxes().size() << " message boxes shown\n";
      PrintTable("The list after the session (first instance):", k);

      form.SaveToFile(formPath);
      k.Attach(nullptr);
    }
    {
      const FormFile file = FormFile::Load(formPath);
      std::cout << "\nDesign state saved to " << formPath << " (" << file.controls[0].properties.Entries().size()
                << " values) and loaded into a second instance.\n";
      headless::HostForm form(tk, "Orders (reloaded)", 11000, 5000);
      const SavedControl& savedControl = file.controls[0];
      Kestrel& k2 = form.Add<Kestrel>(savedControl.name, savedControl.left, savedControl.top, savedControl.width,
                                      savedControl.height, &savedControl.properties);
      form.Show();
      Fill(k2);
      PrintTable("The second instance, filled from the built-in data with the saved settings (title \"" +
                     k2.TitleCaption() + "\", grid lines " + (k2.GridLines() ? "on" : "off") + "):",
                 k2);
    }
  } catch (const Error& e) {
    std::cerr << "kestrel_demo: error " << e.Number() << ": " << e.Description() << "\n";
    return 1;
  }
  return 0;
}
