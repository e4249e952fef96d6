#pragma once
// A QApplication for programs that use KestrelWidget: every event it delivers runs through the
// control's guard, so an exception thrown by any event handler or by a slot one calls (a
// textChanged slot that calls FilterWild with a pattern still being typed...) is reported as an
// unhandled run-time error, in a message box titled with the application's name, and the program
// goes on. Qt lets no exception through its event loop: with a plain QApplication such an
// exception ends the program. Errors inside the control are guarded either way.

#include <QApplication>

#include <memory>

namespace tamarind {

namespace platform::qt {
class QtToolkit;
}  // namespace platform::qt

class KestrelApplication : public QApplication {
 public:
  KestrelApplication(int& argc, char** argv);
  ~KestrelApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  std::shared_ptr<platform::qt::QtToolkit> toolkit_;  // the widgets' desktop, for the reports
};

}  // namespace tamarind
