// Test main for binaries that show widgets: offscreen, unless the binary was
// built for another platform. That choice is compiled in because Wine does
// not hand QT_QPA_PLATFORM to Windows programs, and test discovery runs
// without the tests' environment anyway.
#include <QApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"

int main(int argc, char** argv) {
  qm::testing::IsolateEnvironment();
  qm::testing::UsePrivateDesktop();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", QM_TEST_PLATFORM);
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
