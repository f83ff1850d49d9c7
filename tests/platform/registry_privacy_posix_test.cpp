// The registry store holds the user's settings and search history: nobody
// else may read it, whatever the umask, and a store made before that rule is
// closed on its next use. (Tests run as root, where access checks do not
// bite, so the modes themselves are what is checked.)
#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include "common/test_environment.h"

namespace qm::platform {
namespace {

using testing::ScopedConfigHome;
using testing::ScopedEnv;

constexpr auto kHkcu = reg::kCurrentUser;

mode_t ModeOf(const QString& path) {
  struct stat info {};
  return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

void SetMode(const QString& path, mode_t mode) {
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

// The umask of a careless session: new files readable by all.
class OpenUmask {
 public:
  OpenUmask() : previous_(::umask(0)) {}
  ~OpenUmask() { ::umask(previous_); }
  OpenUmask(const OpenUmask&) = delete;
  OpenUmask& operator=(const OpenUmask&) = delete;

 private:
  mode_t previous_;
};

class RegistryPrivacy : public ::testing::Test {
 protected:
  QString Folder() const { return QFileInfo(RegistryFilePath()).absolutePath(); }

  ScopedConfigHome home_;
  RegistryStore& store_ = SystemRegistry();
};

TEST_F(RegistryPrivacy, ANewStoreIsTheUsersAloneWhateverTheUmask) {
  // A config folder that does not exist yet is made private too.
  ScopedEnv config("XDG_CONFIG_HOME", (home_.path() + "/fresh/config").toUtf8());
  OpenUmask umask;
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Quillmark"), reg::kSuccess);
  ASSERT_EQ(store_.SetValue(kHkcu, "Software\\Quillmark", "SearchAndReplace_Strings", reg::kSz,
                            QByteArray("Druckversion - \0", 16)),
            reg::kSuccess);
  EXPECT_EQ(ModeOf(RegistryFilePath()), 0600u);
  EXPECT_EQ(ModeOf(Folder()), 0700u);
  EXPECT_EQ(ModeOf(home_.path() + "/fresh/config"), 0700u);
  EXPECT_EQ(ModeOf(home_.path() + "/fresh"), 0700u);
}

// SQLite writes the store's journal beside it while a write is in flight,
// with the content of the pages it is about to change.
TEST_F(RegistryPrivacy, TheJournalOfAWriteIsAsPrivateAsTheStore) {
  OpenUmask umask;
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Quillmark"), reg::kSuccess);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(RegistryFilePath()).constData(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "BEGIN IMMEDIATE; INSERT INTO keys(parent, name, folded) "
                         "VALUES(424242, 'x', 'x');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  const QString journal = RegistryFilePath() + "-journal";
  EXPECT_TRUE(QFileInfo::exists(journal));
  EXPECT_EQ(ModeOf(journal), 0600u);
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

TEST_F(RegistryPrivacy, AStoreOpenToOthersIsNarrowedOnItsNextUse) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Quillmark"), reg::kSuccess);
  const QString leftover = RegistryFilePath() + "-journal";  // empty: not hot, but open
  QFile(leftover).open(QIODevice::WriteOnly);
  for (const bool write : {false, true}) {
    SetMode(Folder(), 0755);
    SetMode(RegistryFilePath(), 0664);
    if (QFileInfo::exists(leftover)) SetMode(leftover, 0644);
    if (write) {
      EXPECT_EQ(store_.CreateKey(kHkcu, "Software\\Other"), reg::kSuccess);
    } else {
      EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\Quillmark"), reg::kSuccess);
    }
    EXPECT_EQ(ModeOf(Folder()), 0700u) << (write ? "write" : "read");
    EXPECT_EQ(ModeOf(RegistryFilePath()), 0600u) << (write ? "write" : "read");
    if (QFileInfo::exists(leftover)) {
      EXPECT_EQ(ModeOf(leftover), 0600u);
    }
  }
  // Narrowing takes nothing away from the owner.
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\Other"), reg::kSuccess);
}

TEST_F(RegistryPrivacy, AStoreFileElsewhereLeavesItsFolderAlone) {
  OpenUmask umask;
  const QString shared = home_.path() + "/shared";
  ASSERT_TRUE(QDir().mkpath(shared));
  SetMode(shared, 0755);
  auto own = OpenRegistryFile(shared + "/own.db");
  ASSERT_EQ(own->CreateKey(kHkcu, "Mine"), reg::kSuccess);
  EXPECT_EQ(ModeOf(shared + "/own.db"), 0600u);
  EXPECT_EQ(ModeOf(shared), 0755u);
}

}  // namespace
}  // namespace qm::platform
