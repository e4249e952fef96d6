// The widget suites run in one KestrelApplication per process, offscreen unless the environment
// names another Qt platform.

#include <gtest/gtest.h>

#include "widget/KestrelApplication.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  tamarind::KestrelApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
