// A freshly installed stand-in host per test: its own registry (a private
// XDG_CONFIG_HOME) and its own install folder, gone when the test ends.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "hostlib/host_library.h"

namespace qm::testing {

// Runs SQL on a collection's database file behind the host's back, as
// another program or a failing disk would.
inline void ExecuteBehindTheHost(const QString& collectionFile, const QString& sql) {
  sqlite3* db = nullptr;
  const int opened = sqlite3_open(collectionFile.toUtf8().constData(), &db);
  EXPECT_EQ(opened, SQLITE_OK) << collectionFile.toStdString();
  char* message = nullptr;
  if (opened == SQLITE_OK) {
    EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
        << (message != nullptr ? message : "");
  }
  sqlite3_free(message);
  sqlite3_close(db);
}

// From now on every update of that document fails in the database, as on a
// disk that refuses the write.
inline void RefuseUpdatesOf(const QString& collectionFile, std::int64_t entryId) {
  ExecuteBehindTheHost(collectionFile,
                       QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Document WHEN "
                                      "OLD.EntryID = %1 BEGIN SELECT RAISE(ABORT, 'the disk "
                                      "refused'); END;")
                           .arg(entryId));
}

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
