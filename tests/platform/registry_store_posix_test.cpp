#include "platform/registry_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <unistd.h>

#include "common/test_environment.h"

namespace qm::platform {
namespace {

using testing::ScopedConfigHome;

constexpr auto kHkcu = reg::kCurrentUser;
constexpr auto kHklm = reg::kLocalMachine;

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  ScopedConfigHome home_;
  RegistryStore& store_ = SystemRegistry();
};

TEST_F(RegistryStoreTest, StoreFileLivesUnderConfigHome) {
  EXPECT_EQ(RegistryFilePath(), home_.path() + "/qmregistry/registry.db");
  EXPECT_FALSE(QFileInfo::exists(RegistryFilePath()));
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Test"), reg::kSuccess);
  EXPECT_TRUE(QFileInfo::exists(RegistryFilePath()));
}

TEST_F(RegistryStoreTest, FollowsAChangeOfConfigHomeAtOnce) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\First"), reg::kSuccess);
  {
    ScopedConfigHome other;
    EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\First"), reg::kFileNotFound);
    ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Second"), reg::kSuccess);
  }
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\First"), reg::kSuccess);
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\Second"), reg::kFileNotFound);
}

TEST_F(RegistryStoreTest, EveryValueTypeRoundTripsItsBytes) {
  const struct {
    std::uint32_t type;
    QByteArray data;
  } cases[] = {
      {reg::kNone, QByteArray()},
      {reg::kSz, QByteArray("text\0", 5)},
      {reg::kSz, QByteArray("", 0)},
      {reg::kExpandSz, QByteArray("%HOME%\\x\0", 9)},
      {reg::kBinary, QByteArray("\x00\xff\x01\x80\x00", 5)},
      {reg::kDword, QByteArray("\x78\x56\x34\x12", 4)},
      {reg::kDwordBigEndian, QByteArray("\x12\x34\x56\x78", 4)},
      {reg::kLink, QByteArray("l\0i\0n\0k\0", 8)},
      {reg::kMultiSz, QByteArray("a\0bc\0\0", 6)},
      {0xFFFFFFFFu, QByteArray("odd type")},
      {reg::kDword, QByteArray("\x01", 1)},  // shorter than its type wants: kept as is
  };
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Types"), reg::kSuccess);
  int index = 0;
  for (const auto& c : cases) {
    const QString name = QStringLiteral("v%1").arg(index++);
    ASSERT_EQ(store_.SetValue(kHkcu, "Software\\Types", name, c.type, c.data), reg::kSuccess);
    RegistryValue read;
    ASSERT_EQ(store_.QueryValue(kHkcu, "Software\\Types", name, &read), reg::kSuccess)
        << name.toStdString();
    EXPECT_EQ(read.type, c.type) << name.toStdString();
    EXPECT_EQ(read.data, c.data) << name.toStdString();
  }
}

TEST_F(RegistryStoreTest, NamesMatchWithoutRegardToCaseButKeepTheirFirstSpelling) {
  ASSERT_EQ(store_.CreateKey(kHklm, "SOFTWARE\\Örbelon\\Tool"), reg::kSuccess);
  EXPECT_EQ(store_.OpenKey(kHklm, "software\\öRBELON\\tool"), reg::kSuccess);
  ASSERT_EQ(store_.CreateKey(kHklm, "software\\ÖRBELON\\TOOL\\Sub"), reg::kSuccess);

  QStringList names;
  ASSERT_EQ(store_.EnumSubkeyNames(kHklm, "SOFTWARE", &names), reg::kSuccess);
  EXPECT_EQ(names, QStringList{"Örbelon"});
  ASSERT_EQ(store_.EnumSubkeyNames(kHklm, "Software\\Örbelon\\Tool", &names), reg::kSuccess);
  EXPECT_EQ(names, QStringList{"Sub"});

  ASSERT_EQ(store_.SetValue(kHklm, "SOFTWARE\\Örbelon\\Tool", "AppPath", reg::kSz, "a"),
            reg::kSuccess);
  ASSERT_EQ(store_.SetValue(kHklm, "software\\örbelon\\tool", "APPPATH", reg::kBinary, "bb"),
            reg::kSuccess);
  RegistryValue read;
  ASSERT_EQ(store_.QueryValue(kHklm, "SOFTWARE\\ÖRBELON\\TOOL", "apppath", &read), reg::kSuccess);
  EXPECT_EQ(read.type, reg::kBinary);
  EXPECT_EQ(read.data, QByteArray("bb"));
  ASSERT_EQ(store_.EnumValueNames(kHklm, "SOFTWARE\\Örbelon\\Tool", &names), reg::kSuccess);
  EXPECT_EQ(names, QStringList{"AppPath"});
}

TEST_F(RegistryStoreTest, HivesAreSeparateAndUnknownRootsAreRefused) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Only"), reg::kSuccess);
  EXPECT_EQ(store_.OpenKey(kHklm, "Software\\Only"), reg::kFileNotFound);
  for (const std::uint32_t root : {0u, 0x80000004u, 0x80000007u, 1u}) {
    EXPECT_EQ(store_.OpenKey(root, "Software"), reg::kInvalidHandle);
    EXPECT_EQ(store_.CreateKey(root, "Software"), reg::kInvalidHandle);
    EXPECT_EQ(store_.SetValue(root, "Software", "v", reg::kSz, "x"), reg::kInvalidHandle);
    RegistryValue read;
    EXPECT_EQ(store_.QueryValue(root, "Software", "v", &read), reg::kInvalidHandle);
  }
  for (const std::uint32_t root :
       {reg::kClassesRoot, reg::kUsers, reg::kCurrentConfig, reg::kLocalMachine}) {
    EXPECT_EQ(store_.CreateKey(root, "A\\B"), reg::kSuccess);
    EXPECT_EQ(store_.OpenKey(root, "a\\b"), reg::kSuccess);
  }
}

TEST_F(RegistryStoreTest, MissingKeysAndValuesAreNotFound) {
  RegistryValue read;
  QStringList names{"stale"};
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\Nothing"), reg::kFileNotFound);
  EXPECT_EQ(store_.QueryValue(kHkcu, "Software\\Nothing", "v", &read), reg::kFileNotFound);
  EXPECT_EQ(store_.EnumValueNames(kHkcu, "Software\\Nothing", &names), reg::kFileNotFound);
  EXPECT_TRUE(names.isEmpty());
  EXPECT_EQ(store_.SetValue(kHkcu, "Software\\Nothing", "v", reg::kSz, "x"), reg::kFileNotFound);
  EXPECT_EQ(store_.DeleteValue(kHkcu, "Software\\Nothing", "v"), reg::kFileNotFound);
  EXPECT_EQ(store_.DeleteKey(kHkcu, "Software\\Nothing"), reg::kFileNotFound);

  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Empty"), reg::kSuccess);
  EXPECT_EQ(store_.QueryValue(kHkcu, "Software\\Empty", "v", &read), reg::kFileNotFound);
  EXPECT_EQ(store_.DeleteValue(kHkcu, "Software\\Empty", "v"), reg::kFileNotFound);
  EXPECT_EQ(store_.EnumValueNames(kHkcu, "Software\\Empty", &names), reg::kSuccess);
  EXPECT_TRUE(names.isEmpty());
}

TEST_F(RegistryStoreTest, EnumerationKeepsFirstWrittenOrder) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "K"), reg::kSuccess);
  for (const char* name : {"zeta", "Alpha", "mid"}) {
    ASSERT_EQ(store_.CreateKey(kHkcu, QStringLiteral("K\\") + name), reg::kSuccess);
    ASSERT_EQ(store_.SetValue(kHkcu, "K", name, reg::kSz, "x"), reg::kSuccess);
  }
  // Rewriting a value keeps its place; a recreated one goes to the end.
  ASSERT_EQ(store_.SetValue(kHkcu, "K", "ZETA", reg::kDword, "1234"), reg::kSuccess);
  ASSERT_EQ(store_.DeleteValue(kHkcu, "K", "alpha"), reg::kSuccess);
  ASSERT_EQ(store_.SetValue(kHkcu, "K", "Alpha", reg::kSz, "y"), reg::kSuccess);
  QStringList names;
  ASSERT_EQ(store_.EnumValueNames(kHkcu, "K", &names), reg::kSuccess);
  EXPECT_EQ(names, (QStringList{"zeta", "mid", "Alpha"}));
  ASSERT_EQ(store_.EnumSubkeyNames(kHkcu, "K", &names), reg::kSuccess);
  EXPECT_EQ(names, (QStringList{"zeta", "Alpha", "mid"}));
}

TEST_F(RegistryStoreTest, DeleteKeyRefusesAKeyWithSubkeysAndTakesValuesAlong) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "P\\C"), reg::kSuccess);
  ASSERT_EQ(store_.SetValue(kHkcu, "P\\C", "v", reg::kSz, "x"), reg::kSuccess);
  EXPECT_EQ(store_.DeleteKey(kHkcu, "P"), reg::kAccessDenied);
  EXPECT_EQ(store_.OpenKey(kHkcu, "P\\C"), reg::kSuccess);
  EXPECT_EQ(store_.DeleteKey(kHkcu, "p\\c"), reg::kSuccess);
  EXPECT_EQ(store_.OpenKey(kHkcu, "P\\C"), reg::kFileNotFound);
  EXPECT_EQ(store_.DeleteKey(kHkcu, "P"), reg::kSuccess);
  EXPECT_EQ(store_.DeleteKey(kHkcu, ""), reg::kAccessDenied);  // a hive is never deleted

  // A new key of the old name starts without the old values.
  ASSERT_EQ(store_.CreateKey(kHkcu, "P\\C"), reg::kSuccess);
  RegistryValue read;
  EXPECT_EQ(store_.QueryValue(kHkcu, "P\\C", "v", &read), reg::kFileNotFound);
}

TEST_F(RegistryStoreTest, NameLengthsFollowTheRegistryLimits) {
  const QString longest(255, QLatin1Char('k'));
  ASSERT_EQ(store_.CreateKey(kHkcu, "L\\" + longest), reg::kSuccess);
  EXPECT_EQ(store_.CreateKey(kHkcu, "L\\" + longest + "k"), reg::kInvalidParameter);
  EXPECT_EQ(store_.OpenKey(kHkcu, "L\\" + longest + "k"), reg::kFileNotFound);
  EXPECT_EQ(store_.SetValue(kHkcu, "L", QString(16383, 'v'), reg::kSz, "x"), reg::kSuccess);
  EXPECT_EQ(store_.SetValue(kHkcu, "L", QString(16384, 'v'), reg::kSz, "x"),
            reg::kInvalidParameter);
}

TEST_F(RegistryStoreTest, TenMegabyteValueRoundTrips) {
  QByteArray big(10 * 1024 * 1024, '\0');
  for (qsizetype i = 0; i < big.size(); ++i) {
    big[i] = static_cast<char>((i * 131 + i / 4099) & 0xFF);
  }
  ASSERT_EQ(store_.CreateKey(kHkcu, "Big"), reg::kSuccess);
  ASSERT_EQ(store_.SetValue(kHkcu, "Big", "blob", reg::kBinary, big), reg::kSuccess);
  RegistryValue read;
  ASSERT_EQ(store_.QueryValue(kHkcu, "Big", "blob", &read), reg::kSuccess);
  EXPECT_EQ(read.data.size(), big.size());
  EXPECT_TRUE(read.data == big);
}

TEST_F(RegistryStoreTest, ExplicitFileIsIndependentOfTheSystemStore) {
  const QString path = home_.path() + "/elsewhere/own.db";
  auto own = OpenRegistryFile(path);
  ASSERT_EQ(own->CreateKey(kHkcu, "Mine"), reg::kSuccess);
  EXPECT_TRUE(QFileInfo::exists(path));
  EXPECT_EQ(store_.OpenKey(kHkcu, "Mine"), reg::kFileNotFound);
  EXPECT_EQ(own->OpenKey(kHkcu, "mine"), reg::kSuccess);
}

// A store that cannot be used must read as empty, refuse every write with a
// code, and keep its file byte for byte: what it holds may still be saved.
void ExpectUnusableStore(RegistryStore& store, const QString& path) {
  const QByteArray before = ReadFile(path);
  RegistryValue read;
  QStringList names;
  EXPECT_EQ(store.OpenKey(kHkcu, "Software"), reg::kFileNotFound);
  EXPECT_EQ(store.QueryValue(kHkcu, "Software", "v", &read), reg::kFileNotFound);
  EXPECT_EQ(store.EnumValueNames(kHkcu, "Software", &names), reg::kFileNotFound);
  EXPECT_EQ(store.EnumSubkeyNames(kHkcu, "", &names), reg::kFileNotFound);

  const std::int32_t writes[] = {
      store.CreateKey(kHkcu, "Software\\New"),
      store.SetValue(kHkcu, "Software", "v", reg::kSz, "x"),
      store.DeleteValue(kHkcu, "Software", "v"),
      store.DeleteKey(kHkcu, "Software"),
  };
  for (const std::int32_t result : writes) {
    EXPECT_NE(result, reg::kSuccess);
    EXPECT_TRUE(result == reg::kBadDatabase || result == reg::kAccessDenied ||
                result == reg::kIoFailed)
        << result;
  }
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(RegistryStoreTest, GarbageFileIsNeverOverwritten) {
  QByteArray garbage;
  for (int i = 0; i < 5000; ++i) {
    garbage.append(static_cast<char>((i * 7919) & 0xFF));
  }
  WriteFile(RegistryFilePath(), garbage);
  ExpectUnusableStore(store_, RegistryFilePath());
}

TEST_F(RegistryStoreTest, SomebodyElsesDatabaseIsNeverWritten) {
  // A real SQLite file, but not a registry store.
  const QString path = RegistryFilePath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES(1);", nullptr, nullptr, nullptr),
      SQLITE_OK);
  sqlite3_close(db);
  ExpectUnusableStore(store_, path);
}

TEST_F(RegistryStoreTest, DamagedPagesOfOurOwnStoreAreNotRepairedAway) {
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Keep"), reg::kSuccess);
  QByteArray bytes = ReadFile(RegistryFilePath());
  ASSERT_GT(bytes.size(), 1024);
  for (qsizetype i = 100; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(0xA5);  // header kept, every page scrambled
  }
  WriteFile(RegistryFilePath(), bytes);
  ExpectUnusableStore(store_, RegistryFilePath());
}

TEST_F(RegistryStoreTest, FolderInPlaceOfTheFileIsUnusable) {
  ASSERT_TRUE(QDir().mkpath(RegistryFilePath()));
  ExpectUnusableStore(store_, RegistryFilePath());
  EXPECT_TRUE(QFileInfo(RegistryFilePath()).isDir());
}

TEST_F(RegistryStoreTest, UnreadableFileIsNeverOverwritten) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "file permissions do not bind the super-user";
  }
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software\\Keep"), reg::kSuccess);
  ASSERT_TRUE(QFile::setPermissions(RegistryFilePath(), QFileDevice::Permissions()));
  ExpectUnusableStore(store_, RegistryFilePath());
  ASSERT_TRUE(
      QFile::setPermissions(RegistryFilePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software\\Keep"), reg::kSuccess);
}

TEST_F(RegistryStoreTest, EmptyFileReadsAsEmptyAndBecomesAStore) {
  WriteFile(RegistryFilePath(), QByteArray());
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software"), reg::kFileNotFound);
  ASSERT_EQ(store_.CreateKey(kHkcu, "Software"), reg::kSuccess);
  EXPECT_EQ(store_.OpenKey(kHkcu, "Software"), reg::kSuccess);
}

}  // namespace
}  // namespace qm::platform
