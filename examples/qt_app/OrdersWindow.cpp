#include "OrdersWindow.h"

#include <QAbstractItemModel>
#include <QCloseEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>

#include <algorithm>
#include <string>

#include "OrderBook.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/printing/PdfPrinter.h"
#include "platform/qt/QtToolkit.h"
#include "runtime/Error.h"
#include "ui_OrdersWindow.h"
#include "widget/KestrelWidget.h"

using namespace orders;

namespace {

constexpr int kMessageTimeout = 8000;  // ms a passing status message stays

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

OrdersWindow::OrdersWindow(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::OrdersWindow>()) {
  ui_->setupUi(this);
  selectionLabel_ = new QLabel(this);
  statusBar()->addPermanentWidget(selectionLabel_);
  FillList(list());
  styleList();

  tamarind::KestrelWidget* orders = ui_->orders;
  using tamarind::KestrelWidget;
  connect(orders, &KestrelWidget::itemClick, this, &OrdersWindow::openEditor);
  connect(orders, &KestrelWidget::clicked, this, &OrdersWindow::showSelection);
  connect(orders, &KestrelWidget::changeComplete, this, &OrdersWindow::storeText);
  connect(orders, &KestrelWidget::dropDownChangeComplete, this, &OrdersWindow::storeText);
  connect(orders, &KestrelWidget::calendarChangeComplete, this, &OrdersWindow::storeDate);
  connect(orders, &KestrelWidget::spinnerUpClick, this, [this] { stepQuantity(+1); });
  connect(orders, &KestrelWidget::spinnerDownClick, this, [this] { stepQuantity(-1); });
  connect(orders, &KestrelWidget::commandButtonClick, this, &OrdersWindow::editNotes);
  connect(orders, &KestrelWidget::beforeColumnSort, this, &OrdersWindow::chooseSortType);
  connect(orders, &KestrelWidget::tabRequest, this, &OrdersWindow::nextEditableColumn);
  // Categories come from a fixed list: a typed one that is none of them is refused.
  connect(orders, &KestrelWidget::notInList, this, [this](tamarind::KestrelNotInList* entry) {
    entry->cancel = true;
    statusBar()->showMessage(tr("\"%1\" is no category; choose one from the list").arg(entry->newValue),
                             kMessageTimeout);
  });
  connect(ui_->filterEdit, &QLineEdit::textChanged, this, &OrdersWindow::applyFilter);
  connect(ui_->actionCopyAll, &QAction::triggered, this, &OrdersWindow::copyAll);
  connect(ui_->actionExport, &QAction::triggered, this, &OrdersWindow::exportList);
  connect(ui_->actionPrint, &QAction::triggered, this, &OrdersWindow::printList);
  connect(ui_->actionQuit, &QAction::triggered, this, &QWidget::close);

  restoreSettings();
  showSelection();
}

OrdersWindow::~OrdersWindow() = default;

tamarind::KestrelWidget& OrdersWindow::list() const { return *ui_->orders; }
QLineEdit& OrdersWindow::filterEdit() const { return *ui_->filterEdit; }
QLabel& OrdersWindow::detailLabel() const { return *ui_->detailLabel; }
QToolBar& OrdersWindow::toolBar() const { return *ui_->mainToolBar; }
QAction& OrdersWindow::copyAllAction() const { return *ui_->actionCopyAll; }
QAction& OrdersWindow::exportAction() const { return *ui_->actionExport; }
QAction& OrdersWindow::printAction() const { return *ui_->actionPrint; }

template <class Work>
bool OrdersWindow::guarded(const QString& what, Work&& work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (const tamarind::Error& e) {
    const QString message = tr("%1: error %2, %3").arg(what).arg(e.Number()).arg(FromUtf8(e.Description()));
    statusBar()->showMessage(message, kMessageTimeout);
    list().toolkit().MsgBox(message.toStdString(), tamarind::vbExclamation, windowTitle().toStdString());
    return false;
  }
}

// --- editing in place ---------------------------------------------------------------------------------------

void OrdersWindow::openEditor(int row, int column, bool secondClick, Qt::MouseButton button) {
  showSelection();
  tamarind::Kestrel& k = list().kestrel();
  // A click into the cell being edited leaves its editor as it is (Tab comes here for another cell).
  const bool editorOpen = k.TextBoxControl().Visible() || k.ComboBoxControl().Visible() ||
                          k.CalendarControl().Visible() || k.CommandButtonControl().Visible();
  if (secondClick && editorOpen && editedRow_ && editedColumn_ == column && editedRow_->Index() == row + 1) return;
  editedRow_.reset();
  editedColumn_ = -1;
  // A right click, or a click that adds a row to the selection, only selects.
  if (button != Qt::LeftButton || row < 0 || selectedCount_ != 1) return;
  const std::string text = list().model()->index(row, column).data().toString().toStdString();
  editedRow_ = k.ListItems().Item(row + 1);
  editedColumn_ = column;
  switch (column) {
    case Name:
      k.ShowTextBox(text);
      k.SetFocusToTextBox();
      break;
    case Qty:
      k.ShowTextBoxWithSpinner(text);
      k.SetFocusToTextBox();
      break;
    case Category:
      k.ShowDropDown(text);
      k.SetFocusToDropdown();
      break;
    case Due:
      k.ShowCalendar(text);
      break;
    case Notes:
      k.ShowCommandButton();
      break;
    default:  // pack sizes are the supplier's
      editedRow_.reset();
      editedColumn_ = -1;
      break;
  }
}

// Enter, Tab or a click elsewhere finished a text or drop-down edit: the list shows the new value
// only once the window stores it.
void OrdersWindow::storeText(const QString&, const QString& newText) {
  if (!editedRow_ || editedColumn_ < 0) return;
  QString value = newText.trimmed();
  if (editedColumn_ == Qty) {
    bool ok = false;
    const int qty = value.toInt(&ok);
    if (!ok || qty < 0) {
      statusBar()->showMessage(tr("Quantity \"%1\" refused: a whole number of packs, 0 or more").arg(newText),
                               kMessageTimeout);
      return;
    }
    value = QString::number(qty);
  } else if (editedColumn_ == Name && value.isEmpty()) {
    statusBar()->showMessage(tr("An order needs a name"), kMessageTimeout);
    return;
  }
  if (editedColumn_ == Name) editedRow_->Text(value.toStdString());
  else editedRow_->SubItems(editedColumn_, value.toStdString());
  showSelection();
}

void OrdersWindow::storeDate(const QString&, const QString& newDate, int column) {
  if (!editedRow_) return;
  const QDate date = DateOf(newDate);
  if (!date.isValid()) {
    statusBar()->showMessage(tr("\"%1\" is no date").arg(newDate), kMessageTimeout);
    return;
  }
  editedRow_->SubItems(column, DateText(date).toStdString());  // the day only: no time of day
  showSelection();
}

// The spin buttons step the quantity in the open text box; Enter stores it.
void OrdersWindow::stepQuantity(int delta) {
  bool ok = false;
  const int qty = list().text().trimmed().toInt(&ok);
  list().setText(QString::number(std::max(0, (ok ? qty : 0) + delta)));
}

void OrdersWindow::editNotes() {
  if (!editedRow_) return;
  bool ok = false;
  const QString notes = QInputDialog::getText(this, tr("Notes"), tr("Notes on %1:").arg(FromUtf8(editedRow_->Text())),
                                              QLineEdit::Normal, FromUtf8(editedRow_->SubItems(Notes)), &ok);
  if (!ok) return;
  editedRow_->SubItems(Notes, notes.trimmed().toStdString());
  showSelection();
}

// Pack sizes read "250 g": numbers once the unit is left out, so 50 g comes before 1000 g.
void OrdersWindow::chooseSortType(int column, tamarind::KestrelSortRequest* request) {
  if (column != Pack) return;
  request->sortType = tamarind::sdt_NUMERIC;
  request->omitChar = QStringLiteral(" g");
}

// Tab moves the edit to the next column that can be edited (past the last, the control wraps).
void OrdersWindow::nextEditableColumn(tamarind::KestrelTabRequest* request) {
  int next = request->currentColumn + 1;
  if (next == Pack) ++next;
  request->nextColumn = next;
}

// --- filter and selection ---------------------------------------------------------------------------------

void OrdersWindow::applyFilter(const QString& text) {
  tamarind::Kestrel& k = list().kestrel();
  try {
    k.FilterRemove();
    if (!text.isEmpty()) k.FilterWild(text.toStdString(), Name);
    statusBar()->clearMessage();
  } catch (const tamarind::Error& e) {
    // "[a-" is a pattern still being typed: the rows stay as they are until it is whole.
    if (e.Number() == tamarind::err::InvalidPatternString)
      statusBar()->showMessage(tr("Filter \"%1\" is not a whole pattern yet").arg(text));
    else
      statusBar()->showMessage(tr("Filter \"%1\": %2").arg(text, FromUtf8(e.Description())));
  }
  styleList();  // the rows a filter brings back come without it
  showSelection();
}

// What can be edited stands out; pack sizes come from the supplier and stay grey.
void OrdersWindow::styleList() {
  tamarind::Kestrel& k = list().kestrel();
  k.SetEditableItemsBold("0");
  k.SetNonEditableItemsForeColor("2", 0x606060);
}

void OrdersWindow::showSelection() {
  tamarind::Kestrel& k = list().kestrel();
  const QString indexes = FromUtf8(k.GetSelectedIndexes());
  const QStringList rows = indexes.isEmpty() ? QStringList() : indexes.split(QLatin1Char(','));
  const QAbstractItemModel& model = *list().model();
  selectedCount_ = int(rows.size());
  selectionLabel_->setText(tr("%1 of %2 selected").arg(rows.size()).arg(model.rowCount()));
  if (rows.size() != 1) {
    ui_->detailLabel->setText(rows.isEmpty() ? tr("No order selected") : tr("%1 orders selected").arg(rows.size()));
    return;
  }
  const int row = rows.front().toInt() - 1;
  const auto cell = [&](int column) { return model.index(row, column).data().toString(); };
  QString detail = tr("<b>%1</b>: %2 × %3, %4, due %5").arg(cell(Name).toHtmlEscaped(), cell(Qty), cell(Pack),
                                                            cell(Category), cell(Due));
  if (!cell(Notes).isEmpty()) detail += tr(". Notes: %1").arg(cell(Notes).toHtmlEscaped());
  ui_->detailLabel->setText(detail);
}

// --- copy, export, print ----------------------------------------------------------------------------------

void OrdersWindow::copyAll() {
  if (guarded(tr("Copy all"), [&] { list().kestrel().CopyAll(); }))
    statusBar()->showMessage(tr("%1 orders copied to the clipboard").arg(list().model()->rowCount()),
                             kMessageTimeout);
}

void OrdersWindow::exportList() {
  QString path = exportPath_;
  if (path.isEmpty()) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    path = QFileDialog::getSaveFileName(this, tr("Export the orders"), folder + QStringLiteral("/Spice orders.xls"),
                                        tr("Workbooks (*.xls)"));
    if (path.isEmpty()) return;
  }
  std::string file = path.toStdString();
  // A person gets the workbook opened; a run without one only writes it. The control reports a
  // failed export in its own message box.
  const bool open = exportPath_.isEmpty();
  if (!guarded(tr("Export"), [&] { list().kestrel().ExportToExcel(file, open); })) return;
  lastExport_ = FromUtf8(file);  // with ".xls" added when it was missing
  statusBar()->showMessage(tr("Exported to %1").arg(lastExport_), kMessageTimeout);
}

// On the toolkit's printer: the default printer, or the PDF folder when there is no print service.
void OrdersWindow::printList() {
  tamarind::platform::Printer& printer = list().toolkit().GetPrinter();
  auto* pdf = dynamic_cast<tamarind::printing::PdfPrinter*>(&printer);
  auto* queue = dynamic_cast<tamarind::printing::CupsPrinter*>(&printer);
  const std::filesystem::path before = pdf ? pdf->LastOutput() : std::filesystem::path();
  const int32_t jobBefore = queue ? queue->LastJobId() : 0;
  if (!guarded(tr("Print"), [&] { list().kestrel().PrintToDefaultPrinter(); })) return;
  // A failed job was reported by the control.
  if (!pdf || (pdf->LastOutput() == before && (!queue || queue->LastJobId() == jobBefore))) return;
  const int32_t count = pdf->LastPageCount();
  const QString pages = count == 1 ? tr("1 page") : tr("%1 pages").arg(count);
  if (queue && queue->LastJobId() != jobBefore)
    statusBar()->showMessage(tr("Printed %1 on %2").arg(pages, FromUtf8(queue->Destination())), kMessageTimeout);
  else
    statusBar()->showMessage(tr("Printed %1 into %2").arg(pages, FromUtf8(pdf->LastOutput().string())),
                             kMessageTimeout);
}

// --- settings ---------------------------------------------------------------------------------------------

void OrdersWindow::restoreSettings() {
  QSettings settings;
  restoreGeometry(settings.value("window/geometry").toByteArray());
  restoreState(settings.value("window/state").toByteArray());
  // The control keeps its column order under ColOrderAppName / ColOrderSettingName (set in the .ui).
  guarded(tr("Restoring the column order"), [&] { list().kestrel().RestoreColumnOrder(); });
  ui_->filterEdit->setText(settings.value("filter/text").toString());
}

void OrdersWindow::saveSettings() {
  QSettings settings;
  settings.setValue("window/geometry", saveGeometry());
  settings.setValue("window/state", saveState());
  settings.setValue("filter/text", ui_->filterEdit->text());
  list().kestrel().SaveColumnOrder();
}

void OrdersWindow::closeEvent(QCloseEvent* event) {
  // An edit still open is stored, not lost.
  guarded(tr("Closing"), [&] { list().kestrel().HideEditAreas(true); });
  saveSettings();
  event->accept();
}
