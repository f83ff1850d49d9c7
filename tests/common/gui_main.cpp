// Test main for binaries that show widgets: offscreen, unless the binary was
// built for another platform. That choice is compiled in because Wine does
// not hand QT_QPA_PLATFORM to Windows programs, and test discovery runs
// without the tests' environment anyway.
#include <QApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"

int main(int argc, char** argv) {
  // First: a program that has to start afresh hands on the environment it
  // was given, not the one made for its tests.
  qm::testing::UsePrivateDesktop();
  qm::testing::IsolateEnvironment();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QM_TEST_PLATFORM);
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
