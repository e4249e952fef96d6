// The demo host: the spice-order list edited in place on the headless desktop.
//
// It places a Kestrel on a form, fills it from a small built-in data set, styles the editable
// columns, and answers ItemClick as a real host does (examples/SpiceOrders): a text box on the
// name column, spin buttons on the quantity, a drop-down with a fixed list on the category, the
// calendar on the date and the "..." button on the notes. A scripted user then works with the
// list through the headless user driver, one act after another (editing, sorting by column
// headers, filtering and selecting, a second list filled from a database and printed, copying and
// export to a workbook file that is read back); every event is printed as it arrives. Finally the
// form's design state is saved to a file, loaded into a second instance, and both lists are
// printed as text tables.
//
// Usage: kestrel_demo [form-file]   (default: kestrel_demo.frm in the system's temporary folder)

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "control/Kestrel.h"
#include "examples/SpiceOrders.h"
#include "platform/FormFile.h"
#include "platform/controls/TabStrip.h"
#include "platform/database/SqliteDatabase.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/CellText.h"

using namespace tamarind;
using namespace tamarind::platform;
using namespace tamarind::demo;

namespace {

// What one act of the session works with.
struct Stage {
  headless::HeadlessToolkit& tk;
  headless::UserDriver& user;
  headless::HostForm& form;
  Kestrel& k;
  ListView& lv;
};

// Clicks, typing, Enter, the spinner, Tab, a refused category, a choice from the list, a picked
// date, the "..." button, a dragged column, and the focus leaving during an edit.
void EditingAct(Stage& s) {
  headless::UserDriver& user = s.user;
  Kestrel& k = s.k;
  ListView& lv = s.lv;
  std::cout << "A user edits the spice orders:\n";
  std::cout << "- renames Bay leaves and presses Enter\n";
  user.ClickCell(lv, 2, kName);
  user.Type("Bay laurel");
  user.PressKey(vbKeyReturn);

  user.Wait(800);
  std::cout << "- clicks the quantity of Cardamom, spins it up twice, then presses Tab\n";
  user.ClickCell(lv, 3, kQty);
  // The spin buttons beside the text box are the control's child "SPINNER", found as a host
  // finds any control on a form.
  UpDown& spinner = *FindControl<UpDown>(k, "SPINNER");
  user.ClickUpArrow(spinner);
  user.ClickUpArrow(spinner);
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
  auto& away = s.form.AddTextBox("txtSearch", 0, 4400, 3000, 300);
  std::cout << "- moves the focus out of the list while the edit is open\n";
  user.Focus(away);
  user.Wait(500);
}

// Header clicks with smart sorting: the quantities by value (9, 10, 100, not 10, 100, 9) in both
// directions, then the dates, then the names, the sort arrow following each click.
void SortingAct(Stage& s) {
  std::cout << "\nThe user sorts the list by clicking its column headers (smart sorting, sounds and arrows):\n";
  s.k.LoadTemplateSetting(ksv_SMARTSORT_GRID_SOUNDS_ARROWS);
  s.k.SizeColumns();
  const auto click = [&](int32_t column, const std::string& what) {
    s.user.Wait(800);
    std::cout << "- clicks the " << s.lv.ColumnHeaders().Item(column + 1)->Text() << " header" << what << "\n";
    s.user.ClickHeader(s.lv, column + 1);
    PrintTable("  The list now:", s.k);
  };
  click(kQty, " (the first click sorts descending)");
  click(kQty, " again");
  click(kDate, "");
  click(kName, "");
}

// The host behind the filtering act: the tabs are views of the orders by category. A click on a
// tab brings every order back and, for a category tab, narrows the list to it.
class CategoryTabsHost : public OrderHost {
 public:
  explicit CategoryTabsHost(Kestrel& k) : OrderHost(k), k_(k) {}
  void TabClick(int32_t& TabIndex) override {
    Log("TabClick " + std::to_string(TabIndex));
    k_.FilterRemove();
    const std::string category = CaptionOf(TabIndex);
    if (category != "All") k_.Filter(category, kCategory);
  }

 private:
  std::string CaptionOf(int32_t index) {
    std::string rest = k_.TabCaptions();
    for (int32_t i = 1; i < index; ++i) rest = rest.substr(rest.find('|') + 1);
    return rest.substr(0, rest.find('|'));
  }
  Kestrel& k_;
};

// The inner tab strip, found among the control's windows as a person finds it on screen.
TabStrip& TabsOf(Kestrel& k) {
  for (Window* w : k.ChildWindows())
    if (auto* strip = dynamic_cast<TabStrip*>(w)) return *strip;
  throw Error(err::ObjectNotSet, "kestrel_demo", "The control has no tab strip");
}

// Narrowing the orders: a wildcard search typed into the form's search box, a category left out,
// rows Ctrl+clicked and their keys and indexes read, everything brought back; then the title bar
// becomes category tabs and a click on a tab refills the list.
void FilterAct(Stage& s) {
  Kestrel& k = s.k;
  std::cout << "\nThe user narrows the list (the host keys each order by its number first):\n";
  int32_t number = 1001;
  k.ListItems().ForEach([&](const ListItemRef& item) { item->Key("SO-" + std::to_string(number++)); });
  CategoryTabsHost host(k);
  k.Attach(&host);

  s.user.Wait(800);
  std::cout << "- types \"e?\" into the search box: the host keeps the names with an e that is not their last letter\n";
  auto& search = s.form.AddTextBox("txtFilter", 3200, 4400, 3000, 300);
  s.user.Focus(search);
  s.user.Type("e?");
  k.FilterWild(search.Text(), kName);
  PrintTable("  The list now:", k);

  s.user.Wait(800);
  std::cout << "- leaves out the seeds\n";
  k.Filter("Seeds", kCategory, true);
  PrintTable("  The list now:", k);

  s.user.Wait(800);
  std::cout << "- Ctrl+clicks the first and the last row\n";
  k.MultiSelect(true);
  s.user.ClickCell(s.lv, 1, kQty, headless::CellPart::Label, vbLeftButton, vbCtrlMask);
  s.user.ClickCell(s.lv, k.ListItems().Count(), kQty, headless::CellPart::Label, vbLeftButton, vbCtrlMask);
  std::cout << "  selected keys: \"" << k.GetSelectedKeys() << "\", indexes: \"" << k.GetSelectedIndexes()
            << "\" (" << (k.FilteredListItems ? k.FilteredListItems->Count() : 0) << " orders parked)\n";

  s.user.Wait(800);
  std::cout << "- brings every order back\n";
  k.FilterRemove();
  PrintTable("  The list now:", k);

  s.user.Wait(800);
  std::cout << "- the host shows category tabs instead of the title bar; the user clicks \"Leaves\"\n";
  k.Titlebar(false);
  k.TabCaptions("All|Seeds|Leaves|Pods");
  k.Tabs(true);
  s.user.ClickTab(TabsOf(k), 3);
  PrintTable("  The list now:", k);
  std::cout << "- and then \"All\"\n";
  s.user.ClickTab(TabsOf(k), 1);
  std::cout << "  " << k.ListItems().Count() << " orders shown again\n";

  k.Tabs(false);
  k.Titlebar(true);
  k.MultiSelect(false);
  k.Attach(nullptr);
}

// A second list filled from the bundled stock database and printed as a report: on the
// system's default printer when there is one, else into a PDF file in the documents folder.
void RecordsAndPrintAct(Stage& s) {
  std::cout << "\nA second list is filled from the stock database (" << TAMARIND_DEMO_DATABASE << ") and printed:\n";
  Kestrel& stock = s.form.Add<Kestrel>("Stock1", 120, 120, 10500, 4200);
  stock.RecordSetFill(database::OpenSqliteRecordset(
                          TAMARIND_DEMO_DATABASE,
                          "SELECT sku, spice, store, grams, price, counted, notes FROM stock ORDER BY store, spice"),
                      "1:2:3:4:5:6", "0", "Spice:Store:Grams:Price:Counted:Notes");
  const float widths[] = {1500, 900, 800, 800, 1100, 2600};
  for (int32_t c = 1; c <= stock.ColumnHeaders().Count(); ++c) {
    stock.ColumnHeaders().Item(c)->Width(widths[c - 1]);
    if (c == 3 || c == 4) stock.ColumnHeaders().Item(c)->Alignment(ColumnHeader::lvwColumnRight);
  }
  std::cout << "- " << stock.ListItems().Count() << " rows; Saffron's row has the key "
            << stock.ListItems().Item("SA-250")->Key() << "\n";
  stock.PrintingReportHeader("Spice stock by store");
  stock.LineOddColor(RGB(255, 255, 255));
  stock.LineEvenColor(RGB(235, 242, 250));
  stock.LineAltColor(true);

  std::shared_ptr<printing::PdfPrinter> printer = printing::MakeDefaultPrinter();
  printer->JobName("Spice stock");
  s.tk.SetPrinter(printer);
  stock.PrintToDefaultPrinter();
  s.tk.SetPrinter(nullptr);
  if (auto* cups = dynamic_cast<printing::CupsPrinter*>(printer.get()))
    std::cout << "- printed on \"" << cups->Destination() << "\" as job " << cups->LastJobId() << "\n";
  else
    std::cout << "- printed to " << printer->LastOutput().string() << " (" << printer->Page().name << ")\n";
  PrintTable("The stock list:", stock);
}

// The whole list to the clipboard, then to a workbook file, which is read back cell by cell.
void ExportAct(Stage& s) {
  std::cout << "\nThe list goes to a spreadsheet:\n";
  s.k.CopyAll();
  const std::string copied = s.tk.GetClipboard().GetText();
  std::cout << "- CopyAll puts " << std::count(copied.begin(), copied.end(), '\r')
            << " lines of tab-separated text on the clipboard\n";
  std::string path = (std::filesystem::temp_directory_path() / "kestrel_demo_orders").string();
  const size_t boxesBefore = s.tk.MessageBoxes().size();
  s.k.ExportToExcel(path);
  std::cout << "- ExportToExcel wrote " << path << " (\".xls\" added to the name it was given)\n";
  for (const auto& call : s.tk.ShellImpl().Calls())
    std::cout << "- and asked the desktop to " << call.operation << " " << call.file << "\n";
  for (size_t i = boxesBefore; i < s.tk.MessageBoxes().size(); ++i)
    std::cout << "- message: " << s.tk.MessageBoxes()[i].prompt << "\n";
  const spreadsheet::Workbook book = spreadsheet::LoadWorkbook(path);
  for (int32_t i = 0; i < book.SheetCount(); ++i) {
    const spreadsheet::Worksheet& sheet = *book.Sheet(i);
    const auto bounds = sheet.UsedBounds();
    std::cout << "Sheet \"" << sheet.Name() << "\" of the file, " << bounds.endRow << " rows of " << bounds.endColumn
              << " columns:\n";
    for (int32_t r = 0; r < bounds.endRow; ++r) {
      std::cout << " ";
      for (int32_t c = 0; c < bounds.endColumn; ++c) {
        const spreadsheet::Cell* cell = sheet.Find(r, c);
        std::cout << " " << spreadsheet::CellName({r, c}) << "="
                  << (cell ? spreadsheet::DisplayText(*cell) : std::string()) << ";";
      }
      std::cout << "\n";
    }
  }
}

void PrintSoundsAndMessages(headless::HeadlessToolkit& tk) {
  std::cout << "\nSounds played:";
  for (const auto& r : tk.SoundImpl().Requests()) {
    static const char* const names[] = {"sort", "drop", "complete", "click"};
    const bool known = r.resourceId >= snd_SORT && r.resourceId <= snd_CLICK;
    std::cout << " " << (known ? names[r.resourceId - snd_SORT] : "other") << " at " << r.startMs << " ms"
              << (r.cutOff ? " (cut off)" : "") << ";";
  }
  std::cout << "\n" << tk.MessageBoxes().size() << " message boxes shown\n";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string formPath =
      argc > 1 ? argv[1] : (std::filesystem::temp_directory_path() / "kestrel_demo.frm").string();
  try {
    headless::HeadlessToolkit tk;
    headless::UserDriver user(tk);
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
      Stage stage{tk, user, form, k, k.ListViewControl()};

      EditingAct(stage);
      SortingAct(stage);
      FilterAct(stage);
      RecordsAndPrintAct(stage);
      ExportAct(stage);

      PrintSoundsAndMessages(tk);
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
