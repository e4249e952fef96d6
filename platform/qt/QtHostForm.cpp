#include "platform/qt/QtHostForm.h"

#include <QResizeEvent>
#include <QWidget>

#include "platform/qt/QtSupport.h"

namespace tamarind::platform::qt {

class QtHostForm::FormWindow : public QWidget {
 public:
  explicit FormWindow(QtHostForm& form) : form_(form) {}

 protected:
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    Screen& screen = form_.tk_.GetScreen();
    form_.tk_.Guarded([&] {
      form_.Resized(static_cast<float>(e->size().width() * screen.TwipsPerPixelX()),
                    static_cast<float>(e->size().height() * screen.TwipsPerPixelY()));
    });
  }

 private:
  QtHostForm& form_;
};

QtHostForm::QtHostForm(QtToolkit& tk, std::string caption, float widthTwips, float heightTwips)
    : HostForm(tk, caption, widthTwips, heightTwips), tk_(tk) {
  auto* window = new FormWindow(*this);
  window->setWindowTitle(ToQString(caption));
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  // The form's size in twips is its client area on this screen.
  window->resize(static_cast<int>(widthTwips) / tk.GetScreen().TwipsPerPixelX(),
                 static_cast<int>(heightTwips) / tk.GetScreen().TwipsPerPixelY());
  window_ = window;
  tk.Register(*this, window);
}

QtHostForm::QtHostForm(QtToolkit& tk, QWidget* embedIn, std::string caption)
    : HostForm(tk, caption, 0, 0), tk_(tk), embedded_(true) {
  auto* surface = new FormWindow(*this);
  surface->setParent(embedIn);
  surface->setObjectName(ToQString(caption));
  window_ = surface;
  tk.Register(*this, surface);
}

QtHostForm::~QtHostForm() {
  // The controls go first, each with its widgets; then the window.
  Unload();
  tk_.Unregister(*this);
  delete window_.data();
}

void QtHostForm::Show() {
  HostForm::Show();
  if (window_) window_->show();
}

void QtHostForm::PropertyChanged(UserControl& control, std::string_view propertyName) {
  HostForm::PropertyChanged(control, propertyName);
  PropertyChangeReported(control, propertyName);
}

RECT QtHostForm::BoundsPx() const {
  if (!window_) return HostForm::BoundsPx();
  // An embedded form has no frame: its bounds are its client area on the screen.
  const QRect g = embedded_ ? QRect(window_->mapToGlobal(QPoint(0, 0)), window_->size()) : window_->frameGeometry();
  return RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void QtHostForm::SetBoundsPx(const RECT& r) {
  if (!window_ || embedded_) return HostForm::SetBoundsPx(r);  // the host's layout places an embedded form
  window_->move(r.left, r.top);
  const POINT off = ClientOffsetPx();
  window_->resize(r.Width() - 2 * off.x, r.Height() - off.y - off.x);
}

POINT QtHostForm::ClientOffsetPx() const {
  if (embedded_) return POINT{0, 0};
  if (!window_) return HostForm::ClientOffsetPx();
  const QPoint d = window_->geometry().topLeft() - window_->frameGeometry().topLeft();
  return POINT{d.x(), d.y()};
}

RECT QtHostForm::ClientRectPx() const {
  if (!window_) return HostForm::ClientRectPx();
  return RECT{0, 0, window_->width(), window_->height()};
}

}  // namespace tamarind::platform::qt
