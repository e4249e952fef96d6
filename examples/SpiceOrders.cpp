#include "examples/SpiceOrders.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Text.h"

namespace tamarind::demo {

using namespace platform;

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
    {"Fenugreek", "100", "Seeds", "10/28/2026", "Bulk sack"},
    {"Galangal", "10", "Roots", "12/12/2026", ""},
};

const char* const kCategories[] = {"Flowers", "Leaves", "Pods", "Roots", "Seeds"};

}  // namespace

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

void PrintTable(const std::string& title, Kestrel& k) {
  ListView& lv = k.ListViewControl();
  std::vector<int32_t> order = lv.ColumnOrder();
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header;
  for (int32_t c : order) {
    // A sort arrow beside its caption, as the header shows it: ^ ascending, v descending.
    const ColumnHeader& col = *lv.ColumnHeaders().Item(c + 1);
    const bool arrow = (col.HeaderFormat() & HDF_IMAGE) && lv.ColumnHeaderIcons();
    header.push_back(col.Text() + (arrow ? (col.HeaderImage() == 0 ? " ^" : " v") : ""));
  }
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

// --- the host ---------------------------------------------------------------------------------------

void OrderHost::ItemClick(const ListItemRef& Item, int16_t Button, bool SecondClick) {
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
      k_.CalendarControl().SetFocus();  // so a date can be typed straight away
      break;
    }
    case kNotes:
      k_.ShowCommandButton();
      k_.SetFocusToCommandButton();  // Space or Enter presses it
      break;
    default:
      break;
  }
}

void OrderHost::ChangeComplete(const std::string& OrigText, const std::string& NewText) {
  Log("ChangeComplete \"" + OrigText + "\" -> \"" + NewText + "\"");
  Store(NewText);
}

void OrderHost::DropDownChangeComplete(const std::string& OrigText, const std::string& NewText) {
  Log("DropDownChangeComplete \"" + OrigText + "\" -> \"" + NewText + "\"");
  Store(NewText);
}

void OrderHost::CalendarChangeComplete(const std::string& OldDate, const std::string& NewDate, int32_t SI) {
  Log("CalendarChangeComplete \"" + OldDate + "\" -> \"" + NewDate + "\" column " + std::to_string(SI));
  // Only the day counts in this list. The cell is the one under edit: after a Tab the picker still
  // names the column last clicked.
  Store(Date(CDate(Variant(NewDate)).DatePart()).ToString());
}

void OrderHost::NotInList(const std::string& OldValue, std::string& NewValue, bool& Cancel) {
  Log("NotInList \"" + NewValue + "\" (was \"" + OldValue + "\"): refused");
  Cancel = true;  // categories come from a fixed list
}

void OrderHost::TabRequest(int32_t& ItemIndex, int32_t CurrentSubItem, int32_t& NextSubItem) {
  NextSubItem = CurrentSubItem + 1;  // the next column; past the last one the control wraps
  Log("TabRequest row " + std::to_string(ItemIndex) + " column " + std::to_string(CurrentSubItem) + " -> " +
      std::to_string(NextSubItem));
}

void OrderHost::CommandButtonClick() {
  Log("CommandButtonClick: the notes editor would open here");
  ListItemRef item = CurrentRow();
  if (!item) return;
  item->SubItems(kNotes, item->SubItems(kNotes).empty() ? "Checked by phone" : item->SubItems(kNotes) + " (checked)");
}

void OrderHost::ColumnClick(const ColumnHeaderRef& ColumnHeader) { Log("ColumnClick " + ColumnHeader->Text()); }

void OrderHost::BeforeColumnSort(const ColumnHeaderRef& ColumnHeader, SortDataType& SortType, std::string&) {
  const char* detected = SortType == sdt_NUMERIC ? "numbers" : SortType == sdt_DATE ? "dates" : "text";
  Log("BeforeColumnSort " + ColumnHeader->Text() + ": sorting it as " + detected);
}

void OrderHost::ColumnSortComplete() { Log("ColumnSortComplete"); }

void OrderHost::Log(const std::string& line) { std::cout << "  event: " << line << "\n"; }

ListItemRef OrderHost::CurrentRow() const { return k_.SelectedItem(); }

void OrderHost::Store(const std::string& value, int32_t column) {
  const int32_t c = column < 0 ? k_.SubItemClicked() : column;
  ListItemRef item = CurrentRow();
  if (!item) return;
  if (c == 0) item->Text(value);
  else item->SubItems(c, value);
  Log("  stored \"" + value + "\" in row " + std::to_string(item->Index()) + " column " + std::to_string(c));
}

void OrderHost::Step(int delta) {
  TextBox& box = k_.TextBoxControl();
  const int32_t qty = std::max(0, (IsNumeric(Variant(box.Text())) ? CLng(Variant(box.Text())) : 0) + delta);
  box.Text(std::to_string(qty));
  Log(std::string("Spinner") + (delta > 0 ? "Up" : "Down") + "Click: quantity " + std::to_string(qty));
}

}  // namespace tamarind::demo
