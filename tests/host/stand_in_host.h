// A freshly installed stand-in host per test: its own registry (a private
// XDG_CONFIG_HOME) and its own install folder, gone when the test ends.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "hostlib/host_library.h"

namespace qm::testing {

class StandInHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(installDir_.isValid());
    hostadmin::InstallHost(hostadmin::HostEdition::English, installDir_.path());
  }

  QString installPath() const { return installDir_.path() + QStringLiteral("/"); }

  // The default collection made by InstallHost.
  std::int32_t defaultId() const { return hostadmin::ListCollections().front().id; }

  std::shared_ptr<HostApplication> app() {
    if (!app_) {
      app_ = CreateHostApplication();
    }
    return app_;
  }

  // Lets go of the host library and every collection it keeps open (so
  // that, on Windows, their files can be deleted).
  void ForgetHost() { app_.reset(); }

 private:
  ScopedConfigHome home_;
  QTemporaryDir installDir_;
  std::shared_ptr<HostApplication> app_;
};

}  // namespace qm::testing
