// Test main for binaries without widgets.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"

int main(int argc, char** argv) {
  qm::testing::IsolateEnvironment();
  qm::testing::UsePrivateDesktop();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
