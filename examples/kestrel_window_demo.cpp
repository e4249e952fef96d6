// The spice-order list in a real window (Qt 6 Widgets).
//
// With a display, the demo opens a window in which a person edits the list: a text box on the name,
// spin buttons on the quantity, a drop-down with a fixed list on the category, the month calendar on
// the date and the "..." button on the notes (the host of examples/SpiceOrders). Headers can be
// dragged into another order and resized, and a click on a header sorts its column the way its
// values read (numbers, dates, text) with an arrow showing the direction; rows show in alternating
// colours under a title bar. The search box below the list keeps the orders whose name contains
// what is typed ("?", "*", "#" and "[a-c]" work too), and the buttons beside it copy the whole list
// to the clipboard, export it to a workbook in the documents folder and open it, and print it; the
// line under them says where the printed report went (the printer, or the PDF file).
//
// Without a usable display (none set, or one that does not answer), it says so in one line and
// plays a scripted user session on the same real widgets on Qt's offscreen platform, with real
// mouse and key events at the places the widgets report, and writes a screenshot of the window
// after each step into a folder it names.
//
// With --big, the window shows instead a table of millions of generated orders in the list's
// virtual mode (the list holds only the rows it draws; the database sorts and filters), and the
// scripted session sorts it, searches it and goes to its end, printing the time of each step.
//
// Usage: kestrel_window_demo [--script] [--rtl] [--shots folder] [--big [file]] [--big-rows N] [--help]
//   --script        play the scripted session even when a display is there
//   --rtl           the list as a saved right-to-left instance: list, header and editors mirrored
//   --shots folder  where the screenshots go (default: kestrel-window-demo in the temporary folder)
//   --big [file]    the generated orders table in virtual mode (default: bigtable/orders.db in the
//                   build folder), written first when the file is no such table
//   --big-rows N    the table has N orders (written again when it has another count; 10,000,000
//                   for a new table unless given)
//   --help          print this usage and exit

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>

#include "control/Kestrel.h"
#include "BigTable.h"
#include "examples/SpiceOrders.h"
#include "platform/database/SqlRowSource.h"
#include "platform/PropertyBag.h"
#include "platform/controls/SimpleControls.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/PdfPrinter.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "runtime/Conversions.h"
#include "runtime/Dispatch.h"

using namespace tamarind;
using namespace tamarind::platform;
using namespace tamarind::platform::qt;
using namespace tamarind::demo;

namespace {

// --- the display -----------------------------------------------------------------------------------------

// Whether a window can be shown. The display is tried in a child process first, so a display that
// refuses the connection or never answers costs a message, not a crash or a hang.
bool DisplayUsable(std::string& why) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform == "offscreen" || platform == "minimal") {
    why = "QT_QPA_PLATFORM is " + platform.toStdString();
    return false;
  }
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    why = "no DISPLAY or WAYLAND_DISPLAY is set";
    return false;
  }
  const pid_t child = fork();
  if (child < 0) {
    why = "the display could not be tried";
    return false;
  }
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    int argc = 1;
    char name[] = "display-probe";
    char* argv[] = {name, nullptr};
    QGuiApplication probe(argc, argv);
    _exit(QGuiApplication::primaryScreen() ? 0 : 3);
  }
  constexpr auto kPatience = std::chrono::seconds(5);
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (done < 0 || std::chrono::steady_clock::now() - start > kPatience) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      why = "the display did not answer within 5 seconds";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  why = "the display could not be opened";
  return false;
}

// --- the form ----------------------------------------------------------------------------------------------

// The demo's host, which also notes whether the user has sorted the list by a header.
class WindowHost : public OrderHost {
 public:
  using OrderHost::OrderHost;
  void ColumnSortComplete() override {
    OrderHost::ColumnSortComplete();
    sorted = true;
  }
  bool sorted = false;
};

// What a saved right-to-left instance holds: the list mirrors only when loaded so.
const PropertyBag& RightToLeftSaved() {
  static const PropertyBag saved = [] {
    PropertyBag bag;
    bag.WriteProperty("View", Variant(int16_t{3}), Variant(int16_t{0}));
    bag.WriteProperty("RightToLeft", Variant(true), Variant(false));
    return bag;
  }();
  return saved;
}

struct OrdersForm {
  OrdersForm(QtToolkit& toolkit, bool rightToLeft)
      : tk(toolkit),
        form(tk, "Spice orders", 11400, 5760),
        k(form.Add<Kestrel>("Orders1", 120, 120, 11160, 4500, rightToLeft ? &RightToLeftSaved() : nullptr)),
        host(k) {
    k.DropLines(int32_t{8});
    k.TitleCaption("Spice orders");
    k.Titlebar(true);
    k.TitleHeight(330);
    k.FullRowSelect(true);
    k.GridLines(true);
    k.AllowColumnReorder(true);
    k.PlaySounds(true);
    k.LineOddColor(RGB(255, 255, 255));
    k.LineEvenColor(RGB(238, 244, 250));
    k.LineAltColor(true);
    k.SmartColumnSort(true);
    k.SortArrows(true);
    search = &form.AddTextBox("txtSearch", 120, 4740, 3000, 330);
    search->Text(kSearchHint);
    // The hint makes way for the user's text, and every change of the text narrows the list anew.
    search->GotFocus.Connect([this] {
      if (search->Text() == kSearchHint) search->Text("");
    });
    search->Change.Connect([this] { Search(); });
    AddButton(copyAll, "cmdCopyAll", "Copy all", 0, [this] { k.CopyAll(); });
    AddButton(exportButton, "cmdExport", "Export", 1, [this] { Export(); });
    AddButton(print, "cmdPrint", "Print", 2, [this] { Print(); });
    status = tk.CreateLabel(form);
    status->Name("lblStatus");
    status->Move(120, 5130, 11160, 300);
    Fill(k);
    Style();
    k.Attach(&host);
    // The list fills the window but for a margin, the search box below it and the status line
    // under that.
    form.Resized.Connect([this](float width, float height) {
      form.MoveControl(k, 120, 120, std::max(1200.0f, width - 240), std::max(900.0f, height - 1260));
      search->Move(120, std::max(1020.0f, height - 1020));
      for (CommandButton* b : {copyAll.get(), exportButton.get(), print.get()}) b->Top(search->Top());
      status->Move(120, search->Top() + 390, std::max(1200.0f, width - 240), 300);
    });
    form.Show();
    k.ListViewControl().SetFocus();  // the window opens ready for the keys, on the list
  }
  ~OrdersForm() { k.Attach(nullptr); }

  // Every order back, then only those whose name holds the search text (letter case aside). The
  // control puts the orders it brings back after the others; the user sorted the list, so the host
  // sorts it again the way it was (a filter does that itself).
  void Search() {
    k.FilterRemove();
    const std::string text = search->Text();
    if (!text.empty() && text != kSearchHint) {
      try {
        k.FilterWild(text, kName);
        status->Caption("");
      } catch (const Error& e) {
        // A pattern still being typed ("[a-" before its "]") is no pattern yet: every order
        // stays and the status line says why, rather than a message box at every key.
        if (e.Number() != err::InvalidPatternString) throw;
        status->Caption("Search: \"" + text + "\" is not a whole pattern yet");
      }
    } else if (host.sorted) {
      const int16_t column = k.SortKey();
      const SortDataType type = column == kQty ? sdt_NUMERIC : column == kDate ? sdt_DATE : sdt_STRING;
      k.PerformSortOnColumn(column + 1, type, static_cast<SortDataDir>(k.SortOrder()));
    }
    // The orders brought back lost the bold of their names on the way: the host's look again.
    Style();
  }
  // The host's look: what can be edited in bold, quantities and dates in blue, the notes in grey.
  void Style() {
    k.SetEditableItemsBold("0, 1, 2, 3");
    k.SetEditableItemsForeColor("1,3", RGB(0, 0, 160));
    k.SetNonEditableItemsForeColor("4", RGB(96, 96, 96));
  }
  // A workbook in the documents folder, opened with the desktop's opener once saved; a host that
  // runs the spreadsheet application already gets the workbook open in it instead.
  void Export() {
    const std::filesystem::path folder = exportFolder.empty() ? printing::DocumentsFolder() : exportFolder;
    std::string path = (folder / "Spice orders").string();
    k.ExportToExcel(path);
  }
  // The report on the default printer, and a line saying where it went: the print queue, or the
  // PDF file (the printer without a print service, or a report the service did not take, which
  // the toolkit also tells about in a notice). A job that failed was reported by the control and
  // leaves the line as it was.
  void Print() {
    auto* pdf = dynamic_cast<printing::PdfPrinter*>(&tk.GetPrinter());
    auto* queue = dynamic_cast<printing::CupsPrinter*>(pdf);
    const std::filesystem::path before = pdf ? pdf->LastOutput() : std::filesystem::path();
    const int32_t jobBefore = queue ? queue->LastJobId() : 0;
    k.PrintingReportHeader("Spice orders");
    k.PrintToDefaultPrinter();
    if (!pdf || (pdf->LastOutput() == before && (!queue || queue->LastJobId() == jobBefore))) return;
    const std::string pages = std::to_string(pdf->LastPageCount()) + (pdf->LastPageCount() == 1 ? " page" : " pages");
    if (queue && queue->LastJobId() > 0)
      status->Caption("Printed: " + pages + " sent to the printer \"" + queue->Destination() + "\" (job " +
                      std::to_string(queue->LastJobId()) + ")");
    else if (queue)
      status->Caption("Not printed: the report was kept in " + pdf->LastOutput().string());
    else
      status->Caption("Printed: " + pages + " in " + pdf->LastOutput().string());
  }

  static constexpr const char* kSearchHint = "Search...";
  std::filesystem::path exportFolder;  // the documents folder unless set
  QtToolkit& tk;
  QtHostForm form;
  Kestrel& k;
  WindowHost host;
  TextBox* search = nullptr;
  std::shared_ptr<CommandButton> copyAll, exportButton, print;
  std::shared_ptr<Label> status;  // where the last printed report went

 private:
  // Buttons to the right of the search box, in the order given.
  void AddButton(std::shared_ptr<CommandButton>& button, const char* name, const char* caption, int place,
                 std::function<void()> onClick) {
    button = tk.CreateCommandButton(form);
    button->Name(name);
    button->Caption(caption);
    button->Move(3240 + place * 1260.0f, 4740, 1200, 330);
    button->Click.Connect([this, onClick = std::move(onClick)] {
      try {
        onClick();
      } catch (const Error& e) {  // the control reports its own failures; anything else is shown here
        tk.MsgBox(e.Description(), vbExclamation, "Spice orders");
      }
    });
  }
};

// --- the scripted session ------------------------------------------------------------------------------

// Real mouse and key events, sent where the widgets say things are.
class ScriptedUser {
 public:
  void Click(const ClickTarget& t) {
    if (!t) throw std::runtime_error("nothing to click at this step");
    Mouse(t.widget, QEvent::MouseMove, t.at, Qt::NoButton);  // the pointer gets there first
    Mouse(t.widget, QEvent::MouseButtonPress, t.at, Qt::LeftButton);
    Mouse(t.widget, QEvent::MouseButtonRelease, t.at, Qt::NoButton);
    Settle(60);
  }
  void Drag(const targets::Drag& d) {
    Mouse(d.from.widget, QEvent::MouseButtonPress, d.from.at, Qt::LeftButton);
    Mouse(d.from.widget, QEvent::MouseMove, (d.from.at + d.to) / 2, Qt::LeftButton);
    Mouse(d.from.widget, QEvent::MouseMove, d.to, Qt::LeftButton);
    Mouse(d.from.widget, QEvent::MouseButtonRelease, d.to, Qt::NoButton);
    Settle(60);
  }
  void Type(const QString& text) {
    for (QChar c : text) Key(static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
  }
  void Key(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) throw std::runtime_error("no widget has the keyboard focus");
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    if (QWidget* now = QApplication::focusWidget()) target = now;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
    Settle(20);
  }
  // Time passes with the event loop running (the editors' tracking timer ticks meanwhile).
  static void Settle(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (std::chrono::steady_clock::now() < end);
  }

 private:
  static void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
};

class Session {
 public:
  Session(OrdersForm& f, std::string folder)
      : f_(f), lv_(dynamic_cast<QtListView&>(f.k.ListViewControl())), folder_(std::move(folder)) {
    f_.exportFolder = folder_;  // a scripted session leaves nothing in the user's documents
  }

  void Step(const std::string& what) { std::cout << "- " << what << "\n"; }
  void Shot(const std::string& name) {
    ScriptedUser::Settle(150);
    ++shots_;
    const std::string path = folder_ + "/" + (shots_ < 10 ? "0" : "") + std::to_string(shots_) + "-" + name + ".png";
    f_.form.WindowWidget()->grab().save(QString::fromStdString(path));
  }

  // Every kind of edit of one order from the keyboard alone, from the list with the focus.
  void PlayKeyboard() {
    Kestrel& k = f_.k;
    Step("a keyboard user: End goes to the last order and opens its name; types, Tab, types, ...");
    user_.Key(Qt::Key_End, "");
    const int32_t row = k.ListItems().Count();
    Expect(k.SelectedItem() && k.SelectedItem()->Index() == row, "End selects the last order");
    user_.Type("Galangal root");
    user_.Key(Qt::Key_Tab, "\t");  // commits the name and opens the quantity
    user_.Key(Qt::Key_End, "");  // the quantity opens with the caret at its start
    user_.Key(Qt::Key_Backspace, "\b");
    user_.Key(Qt::Key_Backspace, "\b");
    user_.Type("12");
    user_.Key(Qt::Key_Tab, "\t");  // commits the quantity and opens the category
    user_.Type("Se");  // the control completes it to "Seeds"
    user_.Key(Qt::Key_Return, "\r");
    Shot("keyboard-category");
    user_.Key(Qt::Key_Tab, "\t");  // from the list, on to the date
    Expect(f_.tk.Focus().Focused() == &k.CalendarControl(), "the date picker has the focus as it opens");
    user_.Type("12/24/2026");
    Shot("keyboard-date-typed");
    user_.Key(Qt::Key_Return, "\r");
    user_.Key(Qt::Key_Tab, "\t");  // on to the notes' "..." button
    user_.Key(Qt::Key_Space, " ");
    const ListItemRef item = k.ListItems().Item(row);
    std::cout << "  the order now: " << item->Text() << ", " << item->SubItems(kQty) << ", " << item->SubItems(kCategory)
              << ", " << item->SubItems(kDate) << ", " << item->SubItems(kNotes) << "\n";
    Expect(item->Text() == "Galangal root" && item->SubItems(kQty) == "12" && item->SubItems(kCategory) == "Seeds" &&
               CDate(Variant(item->SubItems(kDate))) == Date::FromCalendar(2026, 12, 24) &&
               item->SubItems(kNotes) == "Checked by phone",
           "every edit made from the keyboard is stored");
    Shot("keyboard-edits");
    // Back to the list: Tab wraps to the name, Enter closes it, and the arrows take over.
    user_.Key(Qt::Key_Tab, "\t");
    user_.Key(Qt::Key_Return, "\r");
    user_.Key(Qt::Key_Home, "");
    Expect(k.SelectedItem() && k.SelectedItem()->Index() == 1, "Home selects the first order");
    user_.Key(Qt::Key_Return, "\r");  // closes the name the move opened, unchanged
    Expect(f_.tk.Focus().Focused() == &k.ListViewControl(), "the list has the focus again");
  }

  void Play() {
    Kestrel& k = f_.k;
    Shot("opened");
    PlayKeyboard();
    Step("renames Bay leaves and presses Enter");
    user_.Click(targets::Cell(lv_, 2, kName));
    user_.Type("Bay laurel");
    Shot("typing-a-name");
    user_.Key(Qt::Key_Return, "\r");
    Shot("name-stored");

    Step("clicks the quantity of Cardamom, spins it up twice, then presses Tab");
    user_.Click(targets::Cell(lv_, 3, kQty));
    auto& spinner = SpinnerOf(k);
    user_.Click(targets::SpinArrow(spinner, true));
    user_.Click(targets::SpinArrow(spinner, true));
    Shot("spin-buttons");
    user_.Key(Qt::Key_Tab, "\t");
    Shot("tab-to-category");

    Step("types a category that is not in the list and presses Enter");
    user_.Type("Bark");
    user_.Key(Qt::Key_Return, "\r");
    Shot("not-in-list-refused");

    Step("opens the category of Dill and chooses Seeds from the list");
    auto& combo = dynamic_cast<QtComboBox&>(k.ComboBoxControl());
    user_.Click(targets::Cell(lv_, 4, kCategory));
    user_.Click(targets::DropDownArrow(combo));
    user_.Click(targets::DropDownEntry(combo, "Seeds"));
    Shot("category-chosen");

    Step("picks a new date for Anise in the month calendar");
    auto& picker = dynamic_cast<QtDTPicker&>(k.CalendarControl());
    user_.Click(targets::Cell(lv_, 1, kDate));
    Shot("date-picker");
    user_.Click(targets::CalendarArrow(picker));
    for (bool day = false; !day;) user_.Click(targets::CalendarStep(picker, Date::FromCalendar(2026, 12, 24), day));
    Shot("date-stored");

    Step("presses the \"...\" button on the notes of Elderflower");
    user_.Click(targets::Cell(lv_, 5, kNotes));
    Shot("notes-button");
    QWidget* button = dynamic_cast<QtCommandButton&>(k.CommandButtonControl()).Button();
    user_.Click({button, button->rect().center()});
    Shot("notes-stored");

    Step("drags the Date column to the front and clicks the Qty header");
    user_.Drag(targets::ColumnDrag(lv_, kDate + 1, 1));
    user_.Click(targets::HeaderSection(lv_, kQty + 1));
    Shot("column-dragged");

    Step("renames Anise and moves the focus out of the list while the edit is open");
    user_.Click(targets::Cell(lv_, RowOf("Anise"), kName));
    user_.Type("Star anise");
    QWidget* search = f_.tk.WidgetOf(*f_.search);
    user_.Click({search, search->rect().center()});
    Shot("focus-left");

    std::cout << "  quantities now: " << ColumnTexts(kQty) << "\n";
    Step("clicks the Qty header again: the quantities the other way round");
    user_.Click(targets::HeaderSection(lv_, kQty + 1));
    std::cout << "  quantities now: " << ColumnTexts(kQty) << "\n";
    Shot("sorted-by-quantity");
    Step("clicks the Date header: the orders by date");
    user_.Click(targets::HeaderSection(lv_, kDate + 1));
    std::cout << "  dates now: " << ColumnTexts(kDate) << "\n";
    Shot("sorted-by-date");

    Step("types \"an\" into the search box: the orders whose name holds \"an\"");
    user_.Click({search, search->rect().center()});
    user_.Type("an");
    std::cout << "  " << k.ListItems().Count() << " orders shown, "
              << (k.FilteredListItems ? k.FilteredListItems->Count() : 0) << " taken out\n";
    Shot("searched");
    Step("types \"[a-c]*\" one key at a time: the orders whose name holds a, b or c");
    user_.Key(Qt::Key_Backspace, "\b");
    user_.Key(Qt::Key_Backspace, "\b");
    const size_t boxes = f_.tk.MessageBoxes().size();
    user_.Type("[a-c");
    std::cout << "  the window says: " << f_.status->Caption() << "\n";
    user_.Type("]*");
    std::cout << "  " << k.ListItems().Count() << " orders shown, "
              << (k.FilteredListItems ? k.FilteredListItems->Count() : 0) << " taken out\n";
    if (f_.tk.MessageBoxes().size() != boxes) throw std::runtime_error("a search text being typed raised a message box");
    Shot("searched-pattern");
    Step("clears the search box: every order back");
    for (int i = 0; i < 6; ++i) user_.Key(Qt::Key_Backspace, "\b");
    std::cout << "  " << k.ListItems().Count() << " orders shown, dates " << ColumnTexts(kDate) << "\n";
    int32_t bold = 0;
    k.ListItems().ForEach([&](const ListItemRef& item) { bold += item->Bold() ? 1 : 0; });
    std::cout << "  " << bold << " names in bold\n";
    if (bold != k.ListItems().Count()) throw std::runtime_error("the orders brought back lost their bold names");
    Shot("search-cleared");

    Step("presses Copy all: the list goes to the clipboard as tab-separated lines");
    PressButton(*f_.copyAll);
    const std::string copied = f_.tk.GetClipboard().GetText();
    std::cout << "  " << std::count(copied.begin(), copied.end(), '\r') << " lines on the clipboard\n";

    // The session runs a spreadsheet application first, so the export stays open in it (nothing
    // is opened on the desktop); the session then saves it next to the screenshots.
    Step("presses Export with the spreadsheet application running: the workbook stays open in it");
    Variant excel = spreadsheet::StartApplication(f_.tk);
    PressButton(*f_.exportButton);
    const std::string book = folder_ + "/orders.xls";
    Call(Get(excel, "Workbooks", {1}), "SaveAs", {book});
    Call(excel, "Quit");
    std::cout << "  saved from the running instance to " << book << "\n";

    Step("presses Print: the report goes to a PDF file next to the screenshots");
    auto pdf = std::make_shared<printing::PdfPrinter>(printing::PaperForLocale(), folder_);
    pdf->JobName("Spice orders");
    f_.tk.SetPrinter(pdf);
    PressButton(*f_.print);
    std::cout << "  the window says: " << f_.status->Caption() << "\n";
    if (pdf->LastOutput().empty() || f_.status->Caption().find(pdf->LastOutput().string()) == std::string::npos)
      throw std::runtime_error("the window does not say where the report went");
    Shot("printed");
  }

 private:
  static void Expect(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("not so: " + what);
  }
  // The texts of a column from the first row to the last.
  std::string ColumnTexts(int32_t column) {
    std::string texts;
    f_.k.ListItems().ForEach([&](const ListItemRef& item) {
      if (!texts.empty()) texts += ", ";
      texts += column == 0 ? item->Text() : item->SubItems(column);
    });
    return texts;
  }
  // The row showing an order, wherever the sorting has put it.
  int32_t RowOf(const std::string& name) {
    ListItemRef item = f_.k.FindItem(name);
    if (!item) throw std::runtime_error("no order named " + name);
    return item->Index();
  }
  void PressButton(CommandButton& button) {
    QWidget* w = f_.tk.WidgetOf(button);
    user_.Click({w, w->rect().center()});
  }
  static QtUpDown& SpinnerOf(Kestrel& k) {
    for (Window* w : k.ChildWindows())
      if (auto* s = dynamic_cast<QtUpDown*>(w)) return *s;
    throw std::runtime_error("the control has no spin buttons");
  }

  OrdersForm& f_;
  QtListView& lv_;
  std::string folder_;
  ScriptedUser user_;
  int shots_ = 0;
};

// --- the big table (virtual mode) ----------------------------------------------------------------

// The generated orders table in a window: the list holds none of its rows but those it draws, the
// engine sorts (a header click) and filters (the search box, on Enter: every search is a scan of
// the whole table, too slow to run at every key). A click on a quantity edits it in place; the
// host writes the new quantity back with an UPDATE and the list reads the rows again.
class BigHost : public KestrelEvents {
 public:
  static constexpr int32_t kQtyColumn = 3;
  void Bind(Kestrel& k, std::shared_ptr<database::SqliteDatabase> db) {
    k_ = &k;
    db_ = std::move(db);
  }
  void ItemClick(const ListItemRef& item, int16_t, bool) override {
    if (k_->SubItemClicked() != kQtyColumn) return;
    editing_ = item->Key();
    k_->ShowTextBoxWithSpinner(item->SubItems(kQtyColumn));
    k_->SetFocusToTextBox();
  }
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    if (editing_.size() < 3 || NewText == OrigText) return;
    // The row key is the id as the list writes a numeric key: '17'.
    const std::string id = editing_.substr(1, editing_.size() - 2);
    char* end = nullptr;
    const long long qty = std::strtoll(NewText.c_str(), &end, 10);
    if (NewText.empty() || *end != '\0' || qty < 0) {
      std::cout << "  \"" << NewText << "\" is no quantity: order " << id << " keeps " << OrigText << "\n";
      k_->RefreshRows();  // the cell shows what the table holds
      return;
    }
    db_->Execute("UPDATE orders SET qty = " + std::to_string(qty) + " WHERE id = " + std::to_string(std::stoll(id)));
    std::cout << "  order " << id << ": quantity " << OrigText << " -> " << qty << " written to the table\n";
    k_->RefreshRows();
  }
  void BeforeColumnSort(const ColumnHeaderRef& column, SortDataType&, std::string&) override {
    column_ = column->Text();
    start_ = std::chrono::steady_clock::now();
  }
  void ColumnSortComplete() override {
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
    std::cout << "  sorted by " << column_ << " in " << ms << " ms\n";
  }

 private:
  std::string column_;
  std::chrono::steady_clock::time_point start_;
  Kestrel* k_ = nullptr;
  std::shared_ptr<database::SqliteDatabase> db_;
  std::string editing_;  // the key of the row whose quantity is edited
};

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct BigOrdersForm {
  static constexpr int32_t kCustomer = 1, kQtyColumn = 3;  // 0-based, as the source shows them
  static constexpr const char* kSearchHint = "Customer... (Enter)";

  BigOrdersForm(QtToolkit& toolkit, std::string file)
      : tk(toolkit),
        path(std::move(file)),
        form(tk, "Orders (virtual)", 11400, 5760),
        k(form.Add<Kestrel>("Orders1", 120, 120, 11160, 4500)) {
    k.TitleCaption("Orders");
    k.Titlebar(true);
    k.TitleHeight(330);
    k.FullRowSelect(true);
    k.GridLines(true);
    k.LineOddColor(RGB(255, 255, 255));
    k.LineEvenColor(RGB(238, 244, 250));
    k.LineAltColor(true);
    k.SmartColumnSort(true);
    k.SortArrows(true);
    search = &form.AddTextBox("txtSearch", 120, 4740, 3000, 330);
    search->Text(kSearchHint);
    search->GotFocus.Connect([this] {
      if (search->Text() == kSearchHint) search->Text("");
    });
    search->KeyPress.Connect([this](int16_t& ascii) {
      if (ascii != 13) return;
      ascii = 0;
      Search();
    });
    status = tk.CreateLabel(form);
    status->Name("lblStatus");
    status->Move(3240, 4770, 8040, 300);
    k.Attach(&host);
    form.Resized.Connect([this](float width, float height) {
      form.MoveControl(k, 120, 120, std::max(1200.0f, width - 240), std::max(900.0f, height - 1260));
      search->Move(120, std::max(1020.0f, height - 1020));
      status->Move(3240, search->Top() + 30, std::max(1200.0f, width - 3360), 300);
    });
  }
  ~BigOrdersForm() { k.Attach(nullptr); }

  // Binds the table and shows the window; the time it took.
  double Open() {
    const auto start = std::chrono::steady_clock::now();
    db = database::SqliteDatabase::Open(path, database::SqliteDatabase::Mode::ReadWrite);
    host.Bind(k, db);
    k.BindRowSource(database::OpenSqliteRowSource(
        db, {"orders", "id", {"id", "customer", "item", "qty", "price", "due"}, {"Id", "Customer", "Item", "Qty", "Price", "Due"}}));
    form.Show();
    Paint();
    const double ms = MillisecondsSince(start);
    k.ListViewControl().SetFocus();
    Report();
    return ms;
  }
  // Every order again, then those whose customer holds the search text (letter case aside).
  void Search() {
    const auto start = std::chrono::steady_clock::now();
    k.FilterRemove();
    const std::string text = search->Text();
    try {
      if (!text.empty() && text != kSearchHint) k.FilterWild(text, kCustomer);
    } catch (const Error& e) {
      if (e.Number() != err::InvalidPatternString) throw;
      status->Caption("Search: \"" + text + "\" is not a whole pattern");
      return;
    }
    Paint();
    const double ms = MillisecondsSince(start);
    std::cout << "  searched \"" << text << "\" in " << ms << " ms: " << k.ListItems().Count() << " orders\n";
    Report();
  }
  void Paint() {
    QWidget* viewport = dynamic_cast<QtListView&>(k.ListViewControl()).ReportWidget()->viewport();
    viewport->repaint();
    QApplication::processEvents();
  }
  void Report() { status->Caption(std::to_string(k.ListItems().Count()) + " orders"); }

  QtToolkit& tk;
  std::string path;
  std::shared_ptr<database::SqliteDatabase> db;
  QtHostForm form;
  Kestrel& k;
  BigHost host;
  TextBox* search = nullptr;
  std::shared_ptr<Label> status;
};

// The scripted session on the big table: each step timed from the events sent to the rows
// painted.
class BigSession {
 public:
  BigSession(BigOrdersForm& f, std::string folder)
      : f_(f), lv_(dynamic_cast<QtListView&>(f.k.ListViewControl())), folder_(std::move(folder)) {}

  void Play(double openMs) {
    Kestrel& k = f_.k;
    const int32_t rows = k.ListItems().Count();
    std::cout << "- binds the table and paints the first rows: " << Ms(openMs) << ", " << rows << " orders\n";
    Expect(rows > 0 && k.VirtualMode(), "the list shows the table's rows in virtual mode");
    Shot("opened");

    Time("clicks the Qty header: the orders by quantity", [&] { Click(targets::HeaderSection(lv_, BigOrdersForm::kQtyColumn + 1)); });
    const std::string first = TopQuantities();
    std::cout << "  quantities on top: " << first << "\n";
    Shot("sorted-by-quantity");
    Time("clicks it again: the other way round", [&] { Click(targets::HeaderSection(lv_, BigOrdersForm::kQtyColumn + 1)); });
    const std::string second = TopQuantities();
    std::cout << "  quantities on top: " << second << "\n";
    Expect(first != second, "the second click turns the order over");
    Shot("sorted-by-quantity-other-way");

    Time("presses End: the last order", [&] { Key(Qt::Key_End); });
    ExpectLastShown(rows);
    Shot("end");

    QWidget* search = f_.tk.WidgetOf(*f_.search);
    Click({search, search->rect().center()});
    for (QChar c : QString("anna")) Key(static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
    Time("types \"anna\" in the search box and presses Enter: the customers holding it", [&] { Key(Qt::Key_Return, "\r"); });
    const int32_t kept = k.ListItems().Count();
    std::cout << "  " << kept << " orders shown (" << 100.0 * kept / rows << "%), rows " << lv_.TopIndex() + 1 << " to "
              << lv_.TopIndex() + lv_.VisibleRowCount() << " on screen\n";
    Expect(kept > 0 && kept < rows, "the search keeps some of the orders");
    Expect(ToUpper(TopText(BigOrdersForm::kCustomer)).find("ANNA") != std::string::npos, "the orders kept hold the text");
    Shot("searched");

    lv_.SetFocus();
    Time("presses End in the list: the last of them", [&] { Key(Qt::Key_End); });
    ExpectLastShown(kept);
    Shot("searched-end");

    Click({search, search->rect().center()});
    for (int i = 0; i < 4; ++i) Key(Qt::Key_Backspace, "\b");
    Time("clears the search box and presses Enter: every order back", [&] { Key(Qt::Key_Return, "\r"); });
    Expect(k.ListItems().Count() == rows, "every order is back");
    Shot("search-cleared");
    lv_.SetFocus();
    Time("presses End: the last order again", [&] { Key(Qt::Key_End); });
    ExpectLastShown(rows);
    Shot("end-again");

    // An edit written back: the quantity of the last order, typed over, Enter.
    const ListItemRef last = k.ListItems().Item(rows);
    const std::string key = last->Key(), before = last->SubItems(BigOrdersForm::kQtyColumn);
    const std::string typed = before == "7" ? "8" : "7";
    Click(targets::Cell(lv_, rows, BigOrdersForm::kQtyColumn));
    Key(Qt::Key_End);
    for (size_t i = 0; i < before.size(); ++i) Key(Qt::Key_Backspace, "\b");
    for (char c : typed) Key(static_cast<Qt::Key>(c), QString(c));
    Time("types a new quantity for the last order and presses Enter: an UPDATE, the rows read again",
         [&] { Key(Qt::Key_Return, "\r"); });
    // The order moved to its place for the new quantity: found again by its key.
    Expect(k.ListItems().Item(std::string_view(key))->SubItems(BigOrdersForm::kQtyColumn) == typed, "the list shows the quantity written");
    Expect(k.ListItems().Count() == rows, "every order is still there");
    Shot("edited");
    // Put back, so that the table stays as generated.
    f_.db->Execute("UPDATE orders SET qty = " + before + " WHERE id = " + key.substr(1, key.size() - 2));
    k.RefreshRows();
  }

 private:
  static std::string Ms(double ms) { return std::to_string(static_cast<int64_t>(ms + 0.5)) + " ms"; }
  static std::string ToUpper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }
  static void Expect(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error("not so: " + what);
  }
  void ExpectLastShown(int32_t rows) {
    const int32_t last = lv_.TopIndex() + lv_.VisibleRowCount();
    std::cout << "  rows " << lv_.TopIndex() + 1 << " to " << last << " of " << rows << " on screen\n";
    Expect(last == rows, "the last row is on screen");
  }
  template <class F>
  void Time(const std::string& what, F&& act) {
    const auto start = std::chrono::steady_clock::now();
    act();
    f_.Paint();
    std::cout << "- " << what << ": " << Ms(MillisecondsSince(start)) << "\n";
  }
  std::string TopText(int32_t column) {
    ListItemRef item = f_.k.ListItems().Item(lv_.TopIndex() + 1);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  // The quantities of the first rows on screen, which must already be in order.
  std::string TopQuantities() {
    std::string texts;
    int64_t before = 0;
    int direction = 0;
    for (int32_t row = lv_.TopIndex() + 1; row <= lv_.TopIndex() + std::min(5, lv_.VisibleRowCount()); ++row) {
      const std::string text = f_.k.ListItems().Item(row)->SubItems(BigOrdersForm::kQtyColumn);
      const int64_t qty = std::stoll(text);
      if (!texts.empty()) {
        const int step = qty > before ? 1 : qty < before ? -1 : 0;
        Expect(step == 0 || direction == 0 || step == direction, "the rows on top are in order");
        if (step != 0) direction = step;
        texts += ", ";
      }
      texts += text;
      before = qty;
    }
    return texts;
  }
  void Shot(const std::string& name) {
    ScriptedUser::Settle(100);
    ++shots_;
    const std::string path = folder_ + "/big-" + (shots_ < 10 ? "0" : "") + std::to_string(shots_) + "-" + name + ".png";
    f_.form.WindowWidget()->grab().save(QString::fromStdString(path));
  }
  // Events sent with no time allowed to pass, so the step's time is the work's.
  static void Click(const ClickTarget& t) {
    if (!t) throw std::runtime_error("nothing to click at this step");
    for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
      const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QMouseEvent e(type, t.at, t.widget->mapToGlobal(t.at), button, buttons, Qt::NoModifier);
      QApplication::sendEvent(t.widget, &e);
    }
    QApplication::processEvents();
  }
  static void Key(Qt::Key key, const QString& text = {}) {
    QWidget* target = QApplication::focusWidget();
    if (!target) throw std::runtime_error("no widget has the keyboard focus");
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (QWidget* now = QApplication::focusWidget()) target = now;
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
  }

  BigOrdersForm& f_;
  QtListView& lv_;
  std::string folder_;
  int shots_ = 0;
};

// The table at path, made first when it is none (rows of them, or the default count); with rows
// given, a table of another size is made again.
std::string EnsureBigTable(std::string path, int64_t rows) {
  if (path.empty()) path = TAMARIND_BIGTABLE_DEFAULT;
  if (rows < 0 && bigtable::ExistingRows(path) >= 0) return path;
  if (rows < 0) rows = bigtable::kDefaultRows;
  if (bigtable::ExistingRows(path) != rows) {
    std::filesystem::create_directories(std::filesystem::absolute(path).parent_path());
    std::cout << "Writing " << rows << " orders to " << path << " (once)...\n" << std::flush;
  }
  const auto made = bigtable::Ensure(path, rows, [](const std::string& line) { std::cout << "  " << line << "\n" << std::flush; });
  if (made.written) std::cout << "  written in " << made.seconds << " s\n";
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  bool script = false, rightToLeft = false, big = false;
  std::string bigFile;
  int64_t bigRows = -1;
  std::string folder = (std::filesystem::temp_directory_path() / "kestrel-window-demo").string();
  constexpr const char* kUsage =
      "usage: kestrel_window_demo [--script] [--rtl] [--shots folder] [--big [file]] [--big-rows N] [--help]\n"
      "  --script        play the scripted session even when a display is there\n"
      "  --rtl           the list as a saved right-to-left instance: list, header and editors mirrored\n"
      "  --shots folder  where the screenshots go (default: kestrel-window-demo in the temporary folder)\n"
      "  --big [file]    the generated orders table in virtual mode (default: bigtable/orders.db in the\n"
      "                  build folder), written first when the file is no such table\n"
      "  --big-rows N    the table has N orders (10,000,000 for a new table unless given)\n"
      "  --help          print this usage and exit\n";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (a == "--script") script = true;
    else if (a == "--rtl") rightToLeft = true;
    else if (a == "--shots" && i + 1 < argc) folder = argv[++i];
    else if (a == "--big") {
      big = true;
      if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) bigFile = argv[++i];
    } else if (a == "--big-rows" && i + 1 < argc) {
      big = true;
      char* end = nullptr;
      bigRows = std::strtoll(argv[++i], &end, 10);
      if (*end != '\0' || bigRows < 0) {
        std::cerr << kUsage;
        return 2;
      }
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  std::string why;
  const bool window = !script && DisplayUsable(why);
  if (!window) {
    std::filesystem::create_directories(folder);
    std::cout << (script ? std::string("Scripted session") : "No usable display (" + why + ")")
              << ": playing the scripted session on Qt's offscreen platform; screenshots go to " << folder << "\n";
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  try {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName("Spice orders");
    QtToolkit tk;
    if (big) {
      BigOrdersForm orders(tk, EnsureBigTable(bigFile, bigRows));
      const double openMs = orders.Open();
      if (window) {
        std::cout << "Bound " << orders.k.ListItems().Count() << " orders in " << openMs << " ms\n";
        return app.exec();
      }
      tk.AnswerMessageBoxes([](const ShownMessageBox&) { return vbOK; });
      std::cout << "A user sorts, searches and scrolls " << orders.k.ListItems().Count() << " orders in "
                << orders.path << ":\n";
      BigSession(orders, folder).Play(openMs);
      std::cout << "\n" << tk.MessageBoxes().size() << " message boxes shown; screenshots in " << folder << "\n";
      return tk.MessageBoxes().empty() ? 0 : 1;
    }
    OrdersForm orders(tk, rightToLeft);
    if (window) return app.exec();

    // Message boxes are answered as a person would, after a moment.
    tk.AnswerMessageBoxes([](const ShownMessageBox&) { return vbOK; });
    Session session(orders, folder);
    std::cout << "A user edits the spice orders in the window:\n";
    session.Play();
    PrintTable("The list after the session:", orders.k);
    std::cout << "\n" << tk.MessageBoxes().size() << " message boxes shown; screenshots in " << folder << "\n";
  } catch (const Error& e) {
    std::cerr << "kestrel_window_demo: error " << e.Number() << ": " << e.Description() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "kestrel_window_demo: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
