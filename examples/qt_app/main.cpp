// tamarind_qt_app: the spice-order list in a Qt application built the usual Qt way (a .ui form,
// actions on a toolbar, QSettings), with the list as a tamarind::KestrelWidget.
//
// Usage: tamarind_qt_app [--script] [--help]
//   --script  no user: plays a scripted session with real input events on Qt's offscreen platform
//             (unless QT_QPA_PLATFORM names another), checks what each step did, and exits 0 when
//             every check held; settings, the export and the printed report go to a temporary
//             folder, never into the user's configuration or documents

#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <iostream>
#include <memory>

#include "OrdersWindow.h"
#include "ScriptedSession.h"
#include "runtime/Error.h"
#include "widget/KestrelApplication.h"

int main(int argc, char** argv) {
  constexpr const char* kUsage =
      "usage: tamarind_qt_app [--script] [--help]\n"
      "  --script  play a scripted session offscreen, check it, and exit (0: every check held)\n"
      "  --help    print this usage and exit\n";
  bool script = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--script") == 0) {
      script = true;
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << kUsage;
      return 0;
    }
  }

  // Set before QApplication: the platform is chosen, and the settings paths read, when it starts.
  std::unique_ptr<QTemporaryDir> scratch;
  if (script) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) {
      std::cerr << "tamarind_qt_app: no temporary folder: " << scratch->errorString().toStdString() << "\n";
      return 1;
    }
    // QSettings and the control's column order both live under XDG_CONFIG_HOME.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch->filePath(QStringLiteral("config"))));
  }

  // An error that escapes any handler of the window is reported rather than ending the program.
  tamarind::KestrelApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Tamarind"));
  QCoreApplication::setApplicationName(QStringLiteral("Spice orders"));
  try {
    if (script) return RunScriptedSession(scratch->path());
    OrdersWindow window;
    window.show();
    return app.exec();
  } catch (const tamarind::Error& e) {
    std::cerr << "tamarind_qt_app: error " << e.Number() << ": " << e.Description() << "\n";
    return 1;
  }
}
