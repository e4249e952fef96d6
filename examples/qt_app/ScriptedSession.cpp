#include "ScriptedSession.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "OrderBook.h"
#include "OrdersWindow.h"
#include "platform/printing/PdfPrinter.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"
#include "runtime/Date.h"
#include "widget/KestrelWidget.h"

namespace {

using namespace orders;
namespace tq = tamarind::platform::qt;

struct CheckFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Session {
 public:
  explicit Session(QString scratch) : scratch_(std::move(scratch)) {}
  int checks() const { return checks_; }

  void Play() {
    OpenWindow();
    FirstLook();
    EditName();
    StepQuantity();
    EditCategory();
    PickDate();
    EditNotes();
    TabAcross();
    SortByPack();
    SelectTwo();
    CopyAll();
    Export();
    Print();
    TypeFilterPattern();
    DragColumnAndClose();
    ReopenWithSettings();
  }

 private:
  // --- the steps --------------------------------------------------------------------------------------

  void OpenWindow() {
    window_ = std::make_unique<OrdersWindow>();
    window_->setExportPath(scratch_ + QStringLiteral("/orders.xls"));
    tq::QtToolkit& tk = window_->list().toolkit();
    // Nobody is there to read a message box: each is answered, and noted so the checks see it.
    tk.AnswerMessageBoxes([](const tq::ShownMessageBox& box) {
      std::cout << "  message box answered: " << box.title << ": " << box.prompt << "\n";
      return tamarind::vbOK;
    });
    // Reports go to PDF files in the scratch folder, never to a real printer.
    printer_ = std::make_shared<tamarind::printing::PdfPrinter>(
        tamarind::printing::PaperForLocale(), std::filesystem::path(QFile::encodeName(scratch_ + "/printed").toStdString()));
    printer_->JobName("Spice orders");
    tk.SetPrinter(printer_);
    window_->show();
    Require(QTest::qWaitForWindowExposed(window_.get()), "the window was never shown");
    window_->activateWindow();
    Require(QTest::qWaitForWindowActive(window_.get()), "the window never became active");
  }

  void FirstLook() {
    Step("The window opens: the orders built in code, the list laid out by the .ui");
    const QAbstractItemModel& m = Model();
    Check(m.rowCount() == SampleOrders().size(), QStringLiteral("the list holds the %1 orders").arg(SampleOrders().size()));
    Check(m.columnCount() == ColumnCount && Header(Name) == "Name" && Header(Pack) == "Pack" && Header(Notes) == "Notes",
          "six columns, Name to Notes, as model() header data");
    tamarind::KestrelWidget& list = window_->list();
    Check(list.gridLines() && list.fullRowSelect() && list.multiSelect() && list.titlebar() &&
              list.titleCaption() == "Spice orders" && list.lineAltColor() && list.lineEvenColor() == QColor(238, 244, 250),
          "the properties set in the .ui reached the control");
    Check(list.kestrel().ColOrderAppName() == "TamarindQtApp" && list.kestrel().ColOrderSettingName() == "Orders",
          "the column order's setting names come from the .ui");
    window_->resize(1024, 700);
    Settle(100);
    Check(list.width() > 800 && list.height() > 300, "the layout gives the list the room the window has");
  }

  void EditName() {
    Step("Clicks the name of Bay leaves, types Bay laurel and presses Enter");
    const int row = RowOf("Bay leaves");
    ClickCell(row, Name);
    QWidget* box = Toolkit().WidgetOf(Kestrel().TextBoxControl());
    Check(box && QApplication::focusWidget() == box, "the click opened the text box with the keyboard focus");
    QTest::keyClicks(box, "Bay laurel");
    QTest::keyClick(box, Qt::Key_Return);
    Settle();
    Check(Cell(row, Name) == "Bay laurel", "Enter stored the typed name: model() has it");
    Check(Kestrel().ListItems().Item(row + 1)->Text() == "Bay laurel", "and so has the control's own row");
    Check(!Kestrel().TextBoxControl().Visible(), "the text box closed");
    Check(window_->detailLabel().text().contains("Bay laurel"), "the detail line shows the new name");
    Check(window_->selectionLabel().text() == QStringLiteral("1 of %1 selected").arg(Model().rowCount()),
          "the status bar counts one selected order");
  }

  void StepQuantity() {
    Step("Clicks the quantity of Cardamom, clicks the up arrow twice, presses Enter");
    const int row = RowOf("Cardamom");
    const int before = Cell(row, Qty).toInt();
    ClickCell(row, Qty);
    tq::QtUpDown* spinner = Spinner();
    Require(spinner, "the control has no spin buttons");
    Click(tq::targets::SpinArrow(*spinner, true));
    Click(tq::targets::SpinArrow(*spinner, true));
    Check(window_->list().text() == QString::number(before + 2), "the spin buttons stepped the quantity in the editor");
    Key(Qt::Key_Return);
    Check(Cell(row, Qty) == QString::number(before + 2), "Enter stored the stepped quantity");

    Step("Types \"lots\" as the quantity of Cardamom and presses Enter");
    ClickCell(row, Qty);
    Keys("lots");
    Key(Qt::Key_Return);
    Check(Cell(row, Qty) == QString::number(before + 2), "a quantity that is no number is not stored");
    Check(window_->statusBar()->currentMessage().contains("refused"), "the status bar says it was refused");
  }

  void EditCategory() {
    Step("Opens the category drop-down of Dill and chooses Seeds");
    const int row = RowOf("Dill");
    Require(Cell(row, Category) != "Seeds", "Dill's category is Seeds already");
    ClickCell(row, Category);
    auto& combo = dynamic_cast<tq::QtComboBox&>(Kestrel().ComboBoxControl());
    Click(tq::targets::DropDownArrow(combo));
    const tq::ClickTarget seeds = tq::targets::DropDownEntry(combo, "Seeds");
    Check(bool(seeds), "the opened drop-down lists the categories");
    Click(seeds);
    Check(Cell(row, Category) == "Seeds", "the chosen category is stored");

    Step("Types Gum, no category of the list, into Dill's drop-down and presses Enter");
    ClickCell(row, Category);
    Keys("Gum");
    Key(Qt::Key_Return);
    Check(Cell(row, Category) == "Seeds", "the typed category is refused (notInList answered with cancel)");
  }

  void PickDate() {
    Step("Opens the calendar on the due date of Anise and picks 24 December 2026");
    const int row = RowOf("Anise");
    ClickCell(row, Due);
    auto& picker = dynamic_cast<tq::QtDTPicker&>(Kestrel().CalendarControl());
    Click(tq::targets::CalendarArrow(picker));
    const tamarind::Date wanted = tamarind::Date::FromCalendar(2026, 12, 24);
    bool day = false;
    for (int clicks = 0; !day && clicks < 24; ++clicks) {
      const tq::ClickTarget next = tq::targets::CalendarStep(picker, wanted, day);
      Require(bool(next), "the month calendar is not open");
      Click(next);
    }
    Check(day, "the calendar reached December 2026");
    Check(DateOf(Cell(row, Due)) == QDate(2026, 12, 24), "the picked day is stored as the due date");
  }

  void EditNotes() {
    Step("Clicks the notes of Elderflower, presses the \"...\" button and types notes in the dialog");
    const int row = RowOf("Elderflower");
    ClickCell(row, Notes);
    QPushButton* button = dynamic_cast<tq::QtCommandButton&>(Kestrel().CommandButtonControl()).Button();
    Check(button && button->isVisible(), "the click shows the \"...\" button on the cell");
    QString asked;
    AnswerDialog([&](QInputDialog& dialog) {
      asked = dialog.labelText();
      QLineEdit* edit = dialog.findChild<QLineEdit*>();
      if (!edit) return;
      QTest::keyClicks(edit, "Organic, 2 tins");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    Click({button, button->rect().center()});
    // A window manager hands the activation back to the window once its dialog is gone; the
    // offscreen platform has none, so the session does it.
    window_->activateWindow();
    Require(QTest::qWaitForWindowActive(window_.get()), "the window did not become active again");
    Check(asked.contains("Elderflower"), "the button opened the notes dialog for Elderflower");
    Check(Cell(row, Notes) == "Organic, 2 tins", "the notes typed in the dialog are stored");
  }

  void TabAcross() {
    Step("Clicks the name of Cumin and presses Tab twice");
    const int row = RowOf("Cumin");
    ClickCell(row, Name);
    Key(Qt::Key_Tab);
    Check(Kestrel().SubItemClicked() == Qty && window_->list().text() == Cell(row, Qty) &&
              QApplication::focusWidget() == Toolkit().WidgetOf(Kestrel().TextBoxControl()),
          "Tab moved the edit to the quantity (tabRequest answered)");
    Key(Qt::Key_Tab);
    Check(Kestrel().SubItemClicked() == Category && Kestrel().ComboBoxControl().Visible(),
          "the next Tab skipped the pack size and opened the category drop-down");
    const QString category = Cell(row, Category);
    Key(Qt::Key_Return);
    Check(!Kestrel().ComboBoxControl().Visible() && Cell(row, Category) == category,
          "Enter closed the drop-down, the category as it was");
  }

  void SortByPack() {
    Step("Clicks the Pack header, then again");
    const int rows = Model().rowCount();
    // As text "1000 g" comes before "250 g": only a numeric sort puts the sizes in order.
    QStringList texts = ColumnTexts(Pack);
    texts.sort();
    Require(!Ordered(Grams(texts), true) && !Ordered(Grams(texts), false), "the pack sizes sort the same as text");
    Click(tq::targets::HeaderSection(ListView(), Pack + 1));
    const QList<int> first = Grams(ColumnTexts(Pack));
    const bool ascending = Ordered(first, true);
    Check(ascending || Ordered(first, false), "the pack sizes are in numeric order (beforeColumnSort answered)");
    Click(tq::targets::HeaderSection(ListView(), Pack + 1));
    Check(Ordered(Grams(ColumnTexts(Pack)), !ascending), "the second click turned the order over");
    Check(Model().rowCount() == rows && RowOf("Bay laurel") >= 0, "every order, with its edits, is still there");
  }

  void SelectTwo() {
    Step("Clicks a pack size, then Ctrl+clicks the name of another order");
    ClickCell(0, Pack);
    Check(window_->selectionLabel().text() == QStringLiteral("1 of %1 selected").arg(Model().rowCount()),
          "one order selected, no editor on the pack size");
    Check(!Kestrel().TextBoxControl().Visible() && !Kestrel().ComboBoxControl().Visible(), "pack sizes open no editor");
    ClickCell(2, Name, Qt::ControlModifier);
    int selected = 0;
    Kestrel().ListItems().ForEach([&](const tamarind::platform::ListItemRef& item) { selected += item->Selected(); });
    Check(selected == 2, "Ctrl+click on a name added the row to the selection");
    Check(!Kestrel().TextBoxControl().Visible(), "and opened no editor: a click that extends the selection only selects");
    Check(window_->selectionLabel().text() == QStringLiteral("2 of %1 selected").arg(Model().rowCount()) &&
              window_->detailLabel().text() == "2 orders selected",
          "the status bar and the detail line count two");
  }

  void CopyAll() {
    Step("Presses Copy all on the toolbar");
    QApplication::clipboard()->clear();
    PressToolButton(window_->copyAllAction());
    QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\r'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    Check(lines.size() == Model().rowCount() + 1, "the clipboard holds the header line and a line per order");
    Check(!lines.isEmpty() && lines.front() == "Name\tQty\tPack\tCategory\tDue\tNotes", "the header line, tab-separated");
    Check(std::any_of(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("Bay laurel\t"); }),
          "the edited name is among the lines");
  }

  void Export() {
    Step("Presses Export on the toolbar (no dialog without a user: a file in the scratch folder)");
    const size_t boxes = Toolkit().MessageBoxes().size();
    PressToolButton(window_->exportAction());
    const QFileInfo file(window_->lastExport());
    Check(file.fileName() == "orders.xls" && file.exists() && file.size() > 0, "the workbook was written");
    QFile f(file.filePath());
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(8) : QByteArray();
    Check(head == QByteArray::fromHex("d0cf11e0a1b11ae1"), "it is a compound document, as .xls workbooks are");
    Check(Toolkit().MessageBoxes().size() == boxes, "no message box reported a failure");
    Check(window_->statusBar()->currentMessage().contains(file.filePath()), "the status bar says where it went");
  }

  void Print() {
    Step("Presses Print on the toolbar (the toolkit's printer: PDF files in the scratch folder)");
    PressToolButton(window_->printAction());
    const QString pdf = QString::fromStdString(printer_->LastOutput().string());
    QFile f(pdf);
    Check(!pdf.isEmpty() && f.open(QIODevice::ReadOnly) && f.read(5) == "%PDF-" && printer_->LastPageCount() >= 1,
          "the report was printed into a PDF file");
    Check(window_->statusBar()->currentMessage().contains(pdf), "the status bar says where it went");
  }

  void TypeFilterPattern() {
    Step("Types \"[a-c]*\" into the filter, one key at a time");
    QLineEdit& filter = window_->filterEdit();
    Click({&filter, filter.rect().center()});
    Require(QApplication::focusWidget() == &filter, "the filter box did not take the focus");
    const int all = Model().rowCount();
    const QStringList names = ColumnTexts(Name);
    const size_t boxes = Toolkit().MessageBoxes().size();
    QTest::keyClick(&filter, '[');
    Settle();
    Check(Model().rowCount() == all && window_->statusBar()->currentMessage().contains("not a whole pattern"),
          "after \"[\" every order stays and the status bar says the pattern is not whole yet");
    for (const char c : std::string("a-c]*")) {
      QTest::keyClick(&filter, c);
      Settle(20);
    }
    const QRegularExpression abc("[a-c]", QRegularExpression::CaseInsensitiveOption);
    const QStringList shown = ColumnTexts(Name);
    Check(filter.text() == "[a-c]*" && window_->isVisible() && Toolkit().MessageBoxes().size() == boxes,
          "the window took every key, without a message box");
    Check(shown.size() == names.filter(abc).size() && shown.filter(abc).size() == shown.size() && shown.size() < all,
          QStringLiteral("the list shows the %1 orders whose name holds a, b or c").arg(names.filter(abc).size()));
    QTest::keyClick(&filter, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&filter, Qt::Key_Backspace);
    Settle();
    Check(Model().rowCount() == all, "clearing the filter brought every order back");
    int bold = 0;
    Kestrel().ListItems().ForEach([&](const tamarind::platform::ListItemRef& item) { bold += item->Bold(); });
    Check(bold == all, "every name is bold again, the rows the filter brought back too");
  }

  void DragColumnAndClose() {
    Step("Drags the Due header to the front, filters \"an\" and closes the window");
    const tq::targets::Drag drag = tq::targets::ColumnDrag(ListView(), Due + 1, 1);
    QTest::mousePress(drag.from.widget, Qt::LeftButton, {}, drag.from.at);
    QTest::mouseMove(drag.from.widget, (drag.from.at + drag.to) / 2);
    QTest::mouseMove(drag.from.widget, drag.to);
    QTest::mouseRelease(drag.from.widget, Qt::LeftButton, {}, drag.to);
    Settle();
    order_ = Kestrel().ListViewControl().ColumnOrder();
    Check(!order_.empty() && order_.front() == Due, "the Due column is first");

    QLineEdit& filter = window_->filterEdit();
    Click({&filter, filter.rect().center()});
    QTest::keyClicks(&filter, "an");
    Settle();
    const QRegularExpression an("an", QRegularExpression::CaseInsensitiveOption);
    filtered_ = ColumnTexts(Name).filter(an).size();
    Check(Model().rowCount() == filtered_, "the filter keeps the orders whose name holds \"an\"");
    size_ = window_->size();
    Check(Toolkit().MessageBoxes().empty(), "no message box was shown in the whole session");
    Check(window_->close(), "the window closes");
    Check(QSettings().fileName().startsWith(scratch_), "QSettings wrote under the scratch folder, not the user's");
    Check(QFileInfo::exists(scratch_ + "/config/tamarind/registry.txt"),
          "the control saved its column order under the scratch folder too");
    window_.reset();
    Settle();
  }

  void ReopenWithSettings() {
    Step("Starts the window again: what the first one saved comes back");
    OpenWindow();
    Check(window_->filterEdit().text() == "an" && Model().rowCount() == filtered_,
          "the filter text came back and filters the list");
    Check(window_->size() == size_, "the window has its size again");
    Check(Kestrel().ListViewControl().ColumnOrder() == order_, "the column order came back, Due first");
    Check(Toolkit().MessageBoxes().empty(), "no message box");
    window_->close();
    window_.reset();
  }

  // --- checks and input -------------------------------------------------------------------------------

  void Step(const char* what) { std::cout << "- " << what << "\n"; }
  void Check(bool held, const QString& what) {
    ++checks_;
    if (!held) throw CheckFailed(what.toStdString());
    std::cout << "    ok: " << what.toStdString() << "\n";
  }
  // A precondition of the next checks: it fails the session but is no check of its own.
  static void Require(bool held, const QString& what) {
    if (!held) throw CheckFailed(what.toStdString());
  }
  // Time passes with the event loop running (the editors follow their cells on a timer).
  static void Settle(int ms = 60) { QTest::qWait(ms); }

  void Click(const tq::ClickTarget& t, Qt::KeyboardModifiers modifiers = {}) {
    Require(bool(t), "nothing to click at this step");
    QTest::mouseMove(t.widget, t.at);  // the pointer gets there first
    QTest::mouseClick(t.widget, Qt::LeftButton, modifiers, t.at);
    Settle();
  }
  void ClickCell(int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    Kestrel().ListItems().Item(row + 1)->EnsureVisible();
    Settle(20);
    const tq::ClickTarget t = tq::targets::Cell(ListView(), row + 1, column);
    Require(t && t.widget->rect().contains(t.at), QStringLiteral("row %1, column %2 is not on screen").arg(row).arg(column));
    Click(t, modifiers);
  }
  void PressToolButton(QAction& action) {
    QWidget* button = window_->toolBar().widgetForAction(&action);
    Require(button, "the toolbar has no button for " + action.text());
    Click({button, button->rect().center()});
  }
  // Keys go where the keyboard focus is, as a person's do.
  static void Key(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    Require(target, "no widget has the keyboard focus");
    QTest::keyClick(target, key);
    Settle();
  }
  static void Keys(const char* text) {
    QWidget* target = QApplication::focusWidget();
    Require(target, "no widget has the keyboard focus");
    QTest::keyClicks(target, text);
    Settle();
  }
  // Answers the next modal input dialog once it is up (its own event loop runs meanwhile).
  void AnswerDialog(std::function<void(QInputDialog&)> answer) {
    auto* poll = new QTimer(window_.get());
    auto deadline = std::make_shared<int>(250);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, answer = std::move(answer)] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      if (dialog && dialog->isVisible()) {
        poll->deleteLater();
        answer(*dialog);
      } else if (--*deadline == 0) {
        poll->deleteLater();
      }
    });
    poll->start(20);
  }

  // --- reading the window --------------------------------------------------------------------------------

  tamarind::Kestrel& Kestrel() { return window_->list().kestrel(); }
  tq::QtToolkit& Toolkit() { return window_->list().toolkit(); }
  tq::QtListView& ListView() { return dynamic_cast<tq::QtListView&>(Kestrel().ListViewControl()); }
  const QAbstractItemModel& Model() { return *window_->list().model(); }
  QString Header(int column) { return Model().headerData(column, Qt::Horizontal).toString(); }
  QString Cell(int row, int column) { return Model().index(row, column).data().toString(); }
  QStringList ColumnTexts(int column) {
    QStringList texts;
    for (int row = 0; row < Model().rowCount(); ++row) texts << Cell(row, column);
    return texts;
  }
  int RowOf(const QString& name) {
    const int row = ColumnTexts(Name).indexOf(name);
    Require(row >= 0, "no order named " + name);
    return row;
  }
  tq::QtUpDown* Spinner() {
    for (tamarind::platform::Window* w : Kestrel().ChildWindows())
      if (auto* spinner = dynamic_cast<tq::QtUpDown*>(w)) return spinner;
    return nullptr;
  }
  static QList<int> Grams(const QStringList& texts) {
    QList<int> grams;
    for (const QString& t : texts) grams << GramsOf(t);
    return grams;
  }
  static bool Ordered(const QList<int>& values, bool ascending) {
    return ascending ? std::is_sorted(values.begin(), values.end())
                     : std::is_sorted(values.rbegin(), values.rend());
  }

  QString scratch_;
  std::unique_ptr<OrdersWindow> window_;
  std::shared_ptr<tamarind::printing::PdfPrinter> printer_;
  std::vector<int32_t> order_;
  qsizetype filtered_ = 0;
  QSize size_;
  int checks_ = 0;
};

}  // namespace

int RunScriptedSession(const QString& scratchFolder) {
  std::cout << "Scripted session; settings, export and printed report in " << scratchFolder.toStdString() << "\n";
  Session session(scratchFolder);
  try {
    session.Play();
  } catch (const CheckFailed& e) {
    std::cerr << "FAILED after " << session.checks() << " checks: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "FAILED after " << session.checks() << " checks: " << e.what() << "\n";
    return 1;
  }
  std::cout << "All " << session.checks() << " checks held.\n";
  return 0;
}
