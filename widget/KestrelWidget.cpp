#include "widget/KestrelWidget.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QResizeEvent>

#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtToolkit.h"
#include "widget/KestrelSignals.h"

namespace tamarind {

using platform::qt::QtHostForm;
using platform::qt::QtToolkit;
using platform::qt::ToQFont;

// One Qt desktop for every widget of the application: the control's focus, keyboard routing and
// message boxes are per desktop, and widgets of one window must share them. It goes with the last
// holder, so nothing of it outlives the QApplication the host tears down after its windows.
std::shared_ptr<QtToolkit> KestrelWidget::sharedToolkit() {
  static std::weak_ptr<QtToolkit> shared;
  std::shared_ptr<QtToolkit> tk = shared.lock();
  if (!tk) {
    tk = std::make_shared<QtToolkit>();
    shared = tk;
  }
  return tk;
}

KestrelWidget::KestrelWidget(QWidget* parent) : QWidget(parent), toolkit_(sharedToolkit()) {
  form_ = std::make_unique<QtHostForm>(*toolkit_, this, "KestrelWidget");
  // The control starts in the widget's font, as every other widget of the window does.
  form_->SetAmbientFont(platform::qt::FromQFont(font()));
  // A new instance, as a control just placed on a form: sounds off, DropLines and DropDelay 0 and
  // the rest as the control starts them; the host's .ui values come after.
  const platform::Screen& screen = toolkit_->GetScreen();
  kestrel_ = &form_->Add<Kestrel>("Kestrel1", 0, 0, static_cast<float>(width() * screen.TwipsPerPixelX()),
                                  static_cast<float>(height() * screen.TwipsPerPixelY()));
  bridge_ = std::make_unique<SignalBridge>(*this);
  kestrel_->Attach(bridge_.get());
  form_->PropertyChangeReported.Connect(
      [this](platform::UserControl&, std::string_view name) { ReportPropertyChange(name); });
  form_->Show();
  kestrel_->Enabled(isEnabled());

  // The inner widgets take no focus from Qt (the control decides where its focus goes), so the
  // widget stands for the list in the window's tab chain and hands the focus to it. Tab only: a
  // click on an inner widget must not climb to here and pull the focus out of an open editor.
  if (QWidget* list = toolkit_->WidgetOf(kestrel_->ListViewControl())) {
    setFocusProxy(list);
    list->installEventFilter(this);  // ahead of the realisation's own filter: Tab leaves the list
  }
  setFocusPolicy(Qt::TabFocus);
}

KestrelWidget::~KestrelWidget() {
  // The control (an open editor included) goes with its form, before the widgets Qt deletes.
  kestrel_->Attach(nullptr);
  form_.reset();
}

void KestrelWidget::setEvents(KestrelEvents* events) { bridge_->SetHostEvents(events); }

QAbstractItemModel* KestrelWidget::model() const {
  auto& list = dynamic_cast<platform::qt::QtListView&>(kestrel_->ListViewControl());
  platform::qt::ListItemsModel& rows = list.ReportWidget()->Model();
  rows.Flush();
  return &rows;
}

// Room for a handful of columns and about ten rows in the widget's font: what a data-entry list
// usually shows before a layout gives it more.
QSize KestrelWidget::sizeHint() const {
  const QFontMetrics fm(font());
  return {fm.averageCharWidth() * 60, fm.height() * 14};
}

// The header and two rows stay readable.
QSize KestrelWidget::minimumSizeHint() const {
  const QFontMetrics fm(font());
  return {fm.averageCharWidth() * 12, fm.height() * 5};
}

bool KestrelWidget::eventFilter(QObject* watched, QEvent* e) {
  // With no editor open, Tab and Shift+Tab on the list go on along the window's tab chain; in an
  // editor they stay the control's (it moves the edit to the next cell).
  if (e->type() == QEvent::KeyPress && toolkit_->Focus().Focused() == &kestrel_->ListViewControl()) {
    const auto* key = static_cast<QKeyEvent*>(e);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab))
      return LeaveAlongTabChain(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
  }
  return QWidget::eventFilter(watched, e);
}

bool KestrelWidget::LeaveAlongTabChain(bool forward) {
  for (QWidget* w = forward ? nextInFocusChain() : previousInFocusChain(); w && w != this;
       w = forward ? w->nextInFocusChain() : w->previousInFocusChain()) {
    if (isAncestorOf(w) || w->window() != window()) continue;
    if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
      w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return false;  // nothing else in the window takes the focus: the key stays the list's
}

void KestrelWidget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  QWidget* surface = toolkit_->WidgetOf(*form_);
  if (surface) surface->setGeometry(rect());
  const platform::Screen& screen = toolkit_->GetScreen();
  toolkit_->Guarded([&] {
    form_->MoveControl(*kestrel_, 0, 0, static_cast<float>(e->size().width() * screen.TwipsPerPixelX()),
                       static_cast<float>(e->size().height() * screen.TwipsPerPixelY()));
  });
}

void KestrelWidget::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::EnabledChange) FollowFontAndEnabled(e->type());
}

void KestrelWidget::FollowFontAndEnabled(QEvent::Type what) {
  if (followingControl_ || !kestrel_) return;
  toolkit_->Guarded([&] {
    if (what == QEvent::EnabledChange) kestrel_->Enabled(isEnabled());
    else kestrel_->Font(platform::qt::FromQFont(font()));
  });
}

void KestrelWidget::ReportPropertyChange(std::string_view name) {
  // The widget's own font and enabled state follow the control's.
  if (name == "Font" || name == "FontName" || name == "Enabled") {
    followingControl_ = true;
    if (name == "Enabled") setEnabled(kestrel_->Enabled());
    else if (platform::FontRef f = kestrel_->Font()) setFont(ToQFont(*f));
    followingControl_ = false;
  }
  NotifyPropertyChange(*this, name);
  emit propertyChanged(platform::qt::ToQString(name));
}

}  // namespace tamarind
