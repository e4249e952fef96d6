#include "platform/qt/QtToolkit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QFile>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/audio/AlsaSoundOutput.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/TextBox.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtListView.h"
#include "platform/printing/CupsPrinter.h"
#include "platform/UnhandledErrors.h"
#include "platform/qt/QtSupport.h"
#include "runtime/Error.h"

namespace tamarind::platform::qt {

namespace {

int32_t TwipsPerPixel(double dpi) {
  if (dpi <= 0) return 15;
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(1440.0 / dpi)));
}

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

// --- screen ------------------------------------------------------------------------------------------

int32_t QtScreen::TwipsPerPixelX() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return TwipsPerPixel(s ? s->logicalDotsPerInchX() : 96);
}

int32_t QtScreen::TwipsPerPixelY() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return TwipsPerPixel(s ? s->logicalDotsPerInchY() : 96);
}

void QtScreen::MousePointer(int16_t pointer) {
  pointer_ = pointer;
  const bool wait = pointer == vbHourglass;
  if (wait && !overridden_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  if (!wait && overridden_) QGuiApplication::restoreOverrideCursor();
  overridden_ = wait;
}

// --- clipboard ---------------------------------------------------------------------------------------

void QtClipboard::Clear() { QGuiApplication::clipboard()->clear(); }

void QtClipboard::SetText(const std::string& text, int16_t) { QGuiApplication::clipboard()->setText(ToQString(text)); }

std::string QtClipboard::GetText(int16_t) const { return ToUtf8(QGuiApplication::clipboard()->text()); }

// --- clock and timers --------------------------------------------------------------------------------

QtClock::QtClock()
    : start_(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
                 .count()) {}

uint32_t QtClock::GetTickCount() const {
  const int64_t now =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
  return static_cast<uint32_t>(now - start_);
}

void QtClock::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Date QtClock::Now() const {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  const QTime t = now.time();
  return Date::FromCalendar(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

QtTimers::~QtTimers() {
  for (auto& [id, e] : timers_) delete e.timer;
}

TimerService::TimerId QtTimers::StartTimer(uint32_t intervalMs, std::function<void()> onTick) {
  const TimerId id = next_++;
  auto* timer = new QTimer();
  timer->setInterval(static_cast<int>(intervalMs));
  QObject::connect(timer, &QTimer::timeout, [this, id] { Fire(id); });
  timers_[id] = Entry{timer, std::move(onTick)};
  timer->start();
  return id;
}

void QtTimers::StopTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second.timer->stop();
  // A timer stopped from its own tick is still inside its signal: it goes when the loop runs next.
  // Any other goes now: a program driven without returning to the event loop (a script, a test)
  // would otherwise keep every timer an editor ever started.
  if (it->second.running)
    it->second.timer->deleteLater();
  else
    delete it->second.timer;
  timers_.erase(it);
}

void QtTimers::Fire(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end() || it->second.running) return;
  it->second.running = true;
  std::function<void()> tick = it->second.onTick;
  tk_.Guarded(tick);
  it = timers_.find(id);
  if (it != timers_.end()) it->second.running = false;
}

// --- shell, metrics, printer ---------------------------------------------------------------------------

intptr_t QtShell::ShellExecute(HWND, std::string_view operation, std::string_view file, std::string_view,
                               std::string_view directory, int32_t) {
  constexpr intptr_t kFileNotFound = 2, kNoAssociation = 31, kSuccess = 42;
  if (!operation.empty() && operation != "open" && operation != "explore") return kNoAssociation;
  if (file.empty()) return kFileNotFound;
  const QUrl url = QUrl::fromUserInput(ToQString(file), ToQString(directory), QUrl::AssumeLocalFile);
  if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) return kFileNotFound;
  return QDesktopServices::openUrl(url) ? kSuccess : kNoAssociation;
}

QtTextMetrics::MeasuredFont::MeasuredFont(const StdFont& f)
    : name(f.Name()),
      size(f.Size()),
      weight(f.Weight()),
      italic(f.Italic()),
      underline(f.Underline()),
      strikethrough(f.Strikethrough()),
      metrics(ToQFont(f)),
      height(metrics.height()) {}

QtTextMetrics::MeasuredFont& QtTextMetrics::Measured(const StdFont& font) const {
  // A paint measures cell after cell in the same font: the last one answers without a key.
  if (last_ && last_->Names(font)) return *last_;
  // Everything ToQFont reads from the font names it.
  std::string key = font.Name();
  key += '\0';
  key += std::to_string(font.Size()) + '/' + std::to_string(font.Weight()) + '/' +
         (font.Italic() ? 'i' : '-') + (font.Underline() ? 'u' : '-') + (font.Strikethrough() ? 's' : '-');
  auto& slot = fonts_[key];
  if (!slot) slot = std::make_unique<MeasuredFont>(font);
  last_ = slot.get();
  return *slot;
}

int32_t QtTextMetrics::TextWidthPx(const StdFont& font, std::string_view text) const {
  MeasuredFont& measured = Measured(font);
  if (const auto it = measured.widths.find(text); it != measured.widths.end()) return it->second;
  if (measured.widths.size() >= kWidthsPerFont) measured.widths.clear();
  const int32_t width = measured.metrics.horizontalAdvance(ToQString(text));
  measured.widths.emplace(std::string(text), width);
  return width;
}

int32_t QtTextMetrics::TextHeightPx(const StdFont& font) const { return Measured(font).height; }


// --- window functions --------------------------------------------------------------------------------

QtWindowManager::QtWindowManager(QtToolkit& tk) : WindowManager(tk), tk_(tk) {}

bool QtWindowManager::GetWindowRect(HWND h, RECT& r) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  const QWidget* widget = tk_.WidgetOf(*w);
  if (!widget) return WindowManager::GetWindowRect(h, r);
  const QRect g = widget->isWindow() ? widget->frameGeometry()
                                     : QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
  r = RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
  return true;
}

bool QtWindowManager::ScreenToClient(HWND h, POINT& p) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  const QWidget* widget = tk_.WidgetOf(*w);
  if (!widget) return WindowManager::ScreenToClient(h, p);
  const QPoint origin = widget->mapToGlobal(widget->contentsRect().topLeft());
  p.x -= origin.x();
  p.y -= origin.y();
  return true;
}

bool QtWindowManager::ClientToScreen(HWND h, POINT& p) const {
  const Window* w = FromHandle(h);
  if (!w) return false;
  const QWidget* widget = tk_.WidgetOf(*w);
  if (!widget) return WindowManager::ClientToScreen(h, p);
  const QPoint origin = widget->mapToGlobal(widget->contentsRect().topLeft());
  p.x += origin.x();
  p.y += origin.y();
  return true;
}

bool QtWindowManager::LockWindowUpdate(HWND h) {
  if (!WindowManager::LockWindowUpdate(h)) return false;
  if (lockedWidget_) lockedWidget_->setUpdatesEnabled(true);  // re-enabling repaints what was held back
  lockedWidget_ = nullptr;
  if (h != 0) {
    if (const Window* w = FromHandle(h)) {
      lockedWidget_ = tk_.WidgetOf(*w);
      if (lockedWidget_) lockedWidget_->setUpdatesEnabled(false);
    }
  }
  return true;
}

// --- the toolkit -------------------------------------------------------------------------------------

QtToolkit::QtToolkit() : timers_(*this), windows_(*this) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    Raise(err::InvalidProcedureCall, "QtToolkit", "A QApplication must exist before the Qt toolkit is made");
  sound_ = std::make_unique<audio::AlsaSoundOutput>();
  focusConnection_ = QObject::connect(qApp, &QApplication::focusChanged,
                                      [this](QWidget*, QWidget* now) { Guarded([&] { FollowQtFocus(now); }); });
}

const AppInfo& QtToolkit::App() const {
  if (appFromHost_) return app_;
  const QString name = QCoreApplication::applicationName();
  const QStringList version = QCoreApplication::applicationVersion().split('.');
  auto part = [&](int i) { return i < version.size() ? version[i].toInt() : 0; };
  app_ = AppInfo{ToUtf8(QDir::tempPath()), ToUtf8(name), ToUtf8(name), ToUtf8(name),
                 ToUtf8(QCoreApplication::organizationName()), ToUtf8(name), part(0), part(1), part(2)};
  return app_;
}

QtToolkit::~QtToolkit() {
  QObject::disconnect(focusConnection_);
  for (auto& [window, surface] : surfaces_) delete surface;
}

void QtToolkit::DoEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

PictureRef QtToolkit::LoadPicture(const std::string& fileName) {
  if (fileName.empty()) return std::make_shared<StdPicture>();
  const QString path = ToQString(fileName);
  QFile file(path);
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
    Raise(err::FileNotFound, "LoadPicture", "File not found: " + fileName);
  return ReadPicture(file.readAll());
}

Printer& QtToolkit::GetPrinter() {
  if (!printer_) {
    std::unique_ptr<printing::PdfPrinter> made = printing::MakeDefaultPrinter();
    // A report the print service did not take was kept as a file: say where, as a print spooler
    // would, without stopping the program (a non-modal notice that deletes itself when closed).
    if (auto* cups = dynamic_cast<printing::CupsPrinter*>(made.get()))
      cups->OnUndelivered([](const printing::UndeliveredReport& report) {
        auto* notice = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(),
                                       ToQString(report.Message()), QMessageBox::Ok, QApplication::activeWindow());
        notice->setAttribute(Qt::WA_DeleteOnClose);
        notice->setModal(false);
        notice->show();
      });
    printer_ = std::move(made);
  }
  return *printer_;
}

namespace {

QMessageBox::StandardButtons ButtonsOf(int32_t style) {
  switch (style & 7) {
    case vbOKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case vbAbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case vbYesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case vbYesNo: return QMessageBox::Yes | QMessageBox::No;
    case vbRetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconOf(int32_t style) {
  switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

MsgBoxResult ResultOf(int button) {
  switch (button) {
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbOK;
  }
}

QMessageBox::StandardButton ButtonFor(MsgBoxResult r) {
  switch (r) {
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
  }
}

}  // namespace

MsgBoxResult QtToolkit::MsgBox(const std::string& prompt, int32_t buttons, const std::string& title) {
  ShownMessageBox shown{prompt, buttons, title, vbOK};
  QMessageBox box(IconOf(buttons), ToQString(title), ToQString(prompt), ButtonsOf(buttons),
                  QApplication::activeWindow());
  if (answer_) {
    const MsgBoxResult wanted = answer_(shown);
    // The scripted answer comes once the box is on screen, as a person's would.
    QTimer::singleShot(30, &box, [&box, wanted] {
      if (QAbstractButton* b = box.button(ButtonFor(wanted))) b->click();
      else box.reject();
    });
  }
  const int clicked = box.exec();
  QAbstractButton* b = box.clickedButton();
  shown.answer = b ? ResultOf(box.standardButton(b)) : ResultOf(clicked);
  messageBoxes_.Add(shown);
  return shown.answer;
}

bool QtToolkit::RunChooser(QDialog& dialog, ShownChooser& shown, const std::function<void()>& takeAnswer) {
  if (chooserAnswer_) {
    const bool choose = chooserAnswer_(shown);
    takeAnswer();
    // As with message boxes: the answer comes once the chooser is on screen, through its buttons.
    QTimer::singleShot(30, &dialog, [&dialog, choose] {
      auto* buttons = dialog.findChild<QDialogButtonBox*>();
      QAbstractButton* b = buttons ? buttons->button(choose ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel) : nullptr;
      if (b) b->click();
      else if (choose) dialog.accept();
      else dialog.reject();
    });
  }
  return dialog.exec() == QDialog::Accepted;
}

bool QtToolkit::ChooseColor(OLE_COLOR initial, OLE_COLOR& chosen, const std::string& title) {
  ShownChooser shown{ShownChooser::Kind::Color, title, initial, {}, false};
  QWidget* owner = QApplication::activeWindow();
  // A system colour opens on what it shows now; the dialog's own (not the desktop's) so a script
  // can answer it.
  QColorDialog dialog(ToQColor(initial, owner ? owner->palette() : QApplication::palette()), owner);
  dialog.setWindowTitle(ToQString(title));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  shown.chosen = RunChooser(dialog, shown, [&] { dialog.setCurrentColor(ToQColor(shown.color, dialog.palette())); });
  if (shown.chosen) {
    const QColor c = dialog.currentColor();
    shown.color = RGB(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue()));
    chosen = shown.color;
  } else {
    shown.color = initial;
  }
  choosers_.Add(shown);
  return shown.chosen;
}

bool QtToolkit::ChooseFont(const StdFont& initial, FontRef& chosen, const std::string& title) {
  ShownChooser shown{ShownChooser::Kind::Font, title, 0, initial, false};
  QFontDialog dialog(ToQFont(initial), QApplication::activeWindow());
  dialog.setWindowTitle(ToQString(title));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  shown.chosen = RunChooser(dialog, shown, [&] { dialog.setCurrentFont(ToQFont(shown.font)); });
  if (shown.chosen) {
    FontRef font = FromQFont(dialog.currentFont());
    shown.font = *font;
    chosen = std::move(font);
  } else {
    shown.font = initial;
  }
  choosers_.Add(shown);
  return shown.chosen;
}

// --- widgets of windows --------------------------------------------------------------------------------

QWidget* QtToolkit::WidgetOf(const Window& w) const {
  auto it = widgets_.find(&w);
  return it == widgets_.end() ? nullptr : it->second.data();
}

Control* QtToolkit::ControlOf(const QWidget* w) const {
  for (; w; w = w->parentWidget()) {
    auto it = controls_.find(w);
    if (it != controls_.end()) return it->second;
  }
  return nullptr;
}

void QtToolkit::Register(Window& w, QWidget* widget) {
  widgets_[&w] = widget;
  if (auto* c = dynamic_cast<Control*>(&w)) controls_[widget] = c;
}

void QtToolkit::Unregister(const Window& w) {
  auto it = widgets_.find(&w);
  if (it == widgets_.end()) return;
  for (auto c = controls_.begin(); c != controls_.end();) {
    if (c->second == &w) c = controls_.erase(c);
    else ++c;
  }
  widgets_.erase(it);
}

QWidget* QtToolkit::ParentWidgetFor(Window& parent) {
  if (QWidget* w = WidgetOf(parent)) return w;
  if (!dynamic_cast<UserControl*>(&parent)) return nullptr;
  // A user control's surface: a plain widget, shown once the control is sited on a form.
  auto* surface = new QWidget();
  surface->setObjectName(ToQString(parent.ClassName()));
  surfaces_[&parent] = surface;
  Register(parent, surface);
  return surface;
}

void QtToolkit::MirrorSurface(UserControl& control, std::string_view what) {
  if (what == "Released") {
    auto it = surfaces_.find(&control);
    if (it != surfaces_.end()) {
      delete it->second;
      surfaces_.erase(it);
    }
    Unregister(control);
    return;
  }
  QWidget* surface = ParentWidgetFor(control);
  if (!surface) return;
  if (what == "Parent") {
    QWidget* form = control.ParentWindow() ? WidgetOf(*control.ParentWindow()) : nullptr;
    surface->setParent(form);
  }
  surface->setGeometry(ToQRect(control.BoundsPx()));
  surface->setEnabled(control.Enabled());
  if (what == "Font" || what == "Parent") surface->setFont(ToQFont(*control.Font()));
  // Never a window of its own: the surface shows only inside its form.
  surface->setVisible(surface->parentWidget() && control.Visible());
}

// --- input -------------------------------------------------------------------------------------------

bool QtToolkit::RouteKey(Control& control, const QKeyEvent& e, bool press, KeyHandling handling) {
  bool eaten = true;  // a key whose handling failed is not the widget's either
  Guarded([&] { eaten = RouteKeyUnguarded(control, e, press, handling); });
  return eaten;
}

void QtToolkit::ReportLater(const std::exception_ptr& error, bool once) noexcept {
  try {
    std::string text = UnhandledErrorText(error);
    if (once && !reportedOnce_.insert(text).second) return;
    if (showingReports_ && text == currentReport_) return;  // the box on screen says it already
    for (const std::string& pending : pendingReports_)
      if (pending == text) return;
    pendingReports_.push_back(std::move(text));
    if (pendingReports_.size() == 1 && !showingReports_)
      QTimer::singleShot(0, reportContext_.get(), [this] { ShowReports(); });
  } catch (...) {
    // Out of memory while noting the report: nothing more can be done for it.
  }
}

void QtToolkit::ShowReports() {
  // One box at a time: what fails while a report is on screen is shown when it closes.
  if (showingReports_) return;
  showingReports_ = true;
  while (!pendingReports_.empty()) {
    currentReport_ = std::move(pendingReports_.front());
    pendingReports_.erase(pendingReports_.begin());
    try {
      MsgBox(currentReport_, vbCritical, App().Title);
    } catch (...) {
      // A box that cannot be shown leaves the program running all the same.
    }
  }
  showingReports_ = false;
}

bool QtToolkit::RouteKeyUnguarded(Control& control, const QKeyEvent& e, bool press, KeyHandling handling) {
  const int16_t code = KeyCodeOf(e);
  const int16_t shift = ShiftOf(e.modifiers());
  const bool shortcut = (e.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) != 0;
  if (focus_.Focused() != &control && control.Focusable() && !focus_.SetFocus(control)) return true;
  if (!press) {
    if (code != 0) keyboard_.KeyUp(code, shift);
    switch (handling) {
      case KeyHandling::ModelEdits: return !shortcut;
      case KeyHandling::List: return true;
      case KeyHandling::Native: return code == vbKeyTab;
    }
    return true;
  }
  bool delivered = code == 0 || keyboard_.KeyDown(code, shift);
  const QString text = e.text();
  if (text.size() == 1 && !text.at(0).isSurrogate()) {
    const char16_t c = text.at(0).unicode();
    // The characters a key makes, control characters (Enter, Tab, Backspace, Escape) included.
    if (c != 0 && c != 0x7F) delivered = keyboard_.KeyPress(static_cast<int16_t>(c)) && delivered;
  } else if (text.size() == 2 && text.at(0).isHighSurrogate() && handling == KeyHandling::ModelEdits) {
    // A character beyond the basic plane has no key code of its own; it is typed as it is.
    Control* target = focus_.Focused();
    if (auto* box = dynamic_cast<TextBox*>(target)) box->SelText(ToUtf8(text));
    else if (auto* combo = dynamic_cast<ComboBox*>(target)) combo->SelText(ToUtf8(text));
  }
  if (code == vbKeyTab) return true;  // Tab never reaches Qt's own focus chain
  switch (handling) {
    case KeyHandling::ModelEdits: return !shortcut;
    case KeyHandling::List: return true;
    case KeyHandling::Native: return !delivered;
  }
  return true;
}

void QtToolkit::FollowQtFocus(QWidget* now) {
  if (!now) return;
  Control* c = ControlOf(now);
  if (!c || focus_.Focused() == c) return;
  // Qt moved the focus by itself onto a control's widget: the model's focus moves too, with its
  // events; a move the model refuses (a Validate that cancels) sends Qt's focus back.
  if (!c->Focusable() || !focus_.SetFocus(*c)) {
    if (Control* kept = focus_.Focused())
      if (QWidget* w = WidgetOf(*kept)) w->setFocus(Qt::OtherFocusReason);
  }
}

// --- inner controls ----------------------------------------------------------------------------------

std::shared_ptr<ListView> QtToolkit::CreateListView(Window& parent) {
  return std::make_shared<QtListView>(*this, parent);
}
std::shared_ptr<TextBox> QtToolkit::CreateTextBox(Window& parent) { return std::make_shared<QtTextBox>(*this, parent); }
std::shared_ptr<ComboBox> QtToolkit::CreateComboBox(Window& parent) {
  return std::make_shared<QtComboBox>(*this, parent);
}
std::shared_ptr<DTPicker> QtToolkit::CreateDTPicker(Window& parent) {
  return std::make_shared<QtDTPicker>(*this, parent);
}
std::shared_ptr<UpDown> QtToolkit::CreateUpDown(Window& parent) { return std::make_shared<QtUpDown>(*this, parent); }
std::shared_ptr<CommandButton> QtToolkit::CreateCommandButton(Window& parent) {
  return std::make_shared<QtCommandButton>(*this, parent);
}
std::shared_ptr<Label> QtToolkit::CreateLabel(Window& parent) { return std::make_shared<QtLabel>(*this, parent); }
std::shared_ptr<CheckBox> QtToolkit::CreateCheckBox(Window& parent) {
  return std::make_shared<QtCheckBox>(*this, parent);
}
std::shared_ptr<Line> QtToolkit::CreateLine(Window& parent) { return std::make_shared<QtLine>(*this, parent); }
std::shared_ptr<PictureBox> QtToolkit::CreatePictureBox(Window& parent) {
  return std::make_shared<QtPictureBox>(*this, parent);
}
std::shared_ptr<TabStrip> QtToolkit::CreateTabStrip(Window& parent) {
  return std::make_shared<QtTabStrip>(*this, parent);
}
std::shared_ptr<ProgressBar> QtToolkit::CreateProgressBar(Window& parent) {
  return std::make_shared<QtProgressBar>(*this, parent);
}

}  // namespace tamarind::platform::qt
