// Test main for binaries that show widgets (offscreen).
#include <QApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"

int main(int argc, char** argv) {
  qm::testing::IsolateEnvironment();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
