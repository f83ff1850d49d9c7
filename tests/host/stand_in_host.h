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
// disk that refuses the write. Not a trigger: the host runs none of a file's
// triggers. A CHECK written into the table's definition instead, which the
// rows there already need not meet; it names a field column, since SQLite
// checks on UPDATE only what names a column the statement sets. Raising the
// schema's version makes every open connection read the table anew.
inline void RefuseUpdatesOf(const QString& collectionFile, std::int64_t entryId) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(collectionFile.toUtf8().constData(), &db), SQLITE_OK);
  sqlite3_stmt* version = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &version, nullptr);
  const std::int64_t schemaVersion =
      sqlite3_step(version) == SQLITE_ROW ? sqlite3_column_int64(version, 0) : 0;
  sqlite3_finalize(version);
  sqlite3_close(db);
  ExecuteBehindTheHost(
      collectionFile,
      QStringLiteral("PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = replace(sql, "
                     "'PRIMARY KEY', 'CONSTRAINT \"the disk refused\" CHECK (EntryID <> %1 OR "
                     "coalesce(Title, Comment, Url, 0) IS NULL), PRIMARY KEY') WHERE name = "
                     "'Document'; PRAGMA schema_version = %2; PRAGMA writable_schema = OFF;")
          .arg(entryId)
          .arg(schemaVersion + 1));
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
