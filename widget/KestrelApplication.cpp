#include "widget/KestrelApplication.h"

#include "platform/qt/QtToolkit.h"
#include "widget/KestrelWidget.h"

namespace tamarind {

KestrelApplication::KestrelApplication(int& argc, char** argv)
    : QApplication(argc, argv), toolkit_(KestrelWidget::sharedToolkit()) {}

// The desktop goes while the application is still there to take its widgets down.
KestrelApplication::~KestrelApplication() { toolkit_.reset(); }

bool KestrelApplication::notify(QObject* receiver, QEvent* event) {
  if (!toolkit_) return QApplication::notify(receiver, event);
  bool handled = false;
  toolkit_->Guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace tamarind
