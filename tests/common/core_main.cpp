// Test main for binaries without widgets.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "common/test_environment.h"

int main(int argc, char** argv) {
  // First: a program that has to start afresh hands on the environment it
  // was given, not the one made for its tests.
  qm::testing::UsePrivateDesktop();
  qm::testing::IsolateEnvironment();
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
