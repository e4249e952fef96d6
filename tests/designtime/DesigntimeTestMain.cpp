// The design-time suites: the Qt half runs in one QApplication per process, offscreen unless the
// environment names another Qt platform.

#include <gtest/gtest.h>

#ifdef TAMARIND_DESIGNTIME_QT
#include <QApplication>
#endif

int main(int argc, char** argv) {
#ifdef TAMARIND_DESIGNTIME_QT
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
