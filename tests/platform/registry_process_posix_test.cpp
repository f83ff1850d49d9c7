// The store shared by several processes: concurrent writers lose nothing and
// a writer killed in mid-write leaves a readable store.
//
// The children are this test binary itself, started with a filter that runs
// only RegistryStoreChild.Run; that test does nothing unless the parent hands
// it a store file through the environment.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "common/test_environment.h"
#include "platform/registry_store.h"

namespace qm::platform {
namespace {

constexpr auto kHkcu = reg::kCurrentUser;
constexpr char kFileVariable[] = "QM_REGISTRY_CHILD_FILE";
constexpr char kRoleVariable[] = "QM_REGISTRY_CHILD_ROLE";

// Bytes that tell which write they came from: the sequence number in the
// first eight bytes, and a pattern derived from it in the rest, so a torn or
// mixed value cannot pass for a whole one.
QByteArray Payload(std::uint64_t sequence, qsizetype size) {
  QByteArray bytes(size, '\0');
  for (int i = 0; i < 8 && i < size; ++i) {
    bytes[i] = static_cast<char>((sequence >> (8 * i)) & 0xFF);
  }
  for (qsizetype i = 8; i < size; ++i) {
    bytes[i] = static_cast<char>((sequence * 31 + static_cast<std::uint64_t>(i)) & 0xFF);
  }
  return bytes;
}

std::uint64_t SequenceOf(const QByteArray& bytes) {
  std::uint64_t sequence = 0;
  for (int i = 0; i < 8 && i < bytes.size(); ++i) {
    sequence |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
  }
  return sequence;
}

constexpr qsizetype kCrashPayloadSize = 1024 * 1024;
constexpr int kWritesPerWriter = 60;

std::unique_ptr<QProcess> StartChild(const QString& file, const QString& role) {
  auto child = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kFileVariable, file);
  env.insert(kRoleVariable, role);
  child->setProcessEnvironment(env);
  child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child->start(QCoreApplication::applicationFilePath(),
               {"--gtest_filter=RegistryStoreChild.Run", "--gtest_brief=1"});
  return child;
}

void RunWriter(RegistryStore& store, const QString& tag) {
  for (int i = 0; i < kWritesPerWriter; ++i) {
    const QString name = QStringLiteral("%1_%2").arg(tag).arg(i);
    ASSERT_EQ(store.CreateKey(kHkcu, "Shared\\" + name), reg::kSuccess) << name.toStdString();
    ASSERT_EQ(store.SetValue(kHkcu, "Shared", name, reg::kBinary, Payload(i, 64 + i)),
              reg::kSuccess)
        << name.toStdString();
  }
}

// Writes ever newer values, going on from the stored one, until it is killed.
void RunCrashWriter(RegistryStore& store) {
  ASSERT_EQ(store.CreateKey(kHkcu, "Crash"), reg::kSuccess);
  RegistryValue stored;
  const std::uint64_t start = store.QueryValue(kHkcu, "Crash", "counter", &stored) == reg::kSuccess
                                  ? SequenceOf(stored.data) + 1
                                  : 1;
  for (std::uint64_t sequence = start;; ++sequence) {
    ASSERT_EQ(store.SetValue(kHkcu, "Crash", "counter", reg::kBinary,
                             Payload(sequence, kCrashPayloadSize)),
              reg::kSuccess);
  }
}

TEST(RegistryStoreChild, Run) {
  const QString file = qEnvironmentVariable(kFileVariable);
  if (file.isEmpty()) {
    GTEST_SKIP() << "runs only as a child of the multi-process tests";
  }
  auto store = OpenRegistryFile(file);
  const QString role = qEnvironmentVariable(kRoleVariable);
  if (role == "crash") {
    RunCrashWriter(*store);
  } else {
    RunWriter(*store, role);
  }
}

TEST(RegistryStoreProcesses, TwoWritersAtOnceLoseNoWrite) {
  testing::ScopedConfigHome home;
  RegistryStore& store = SystemRegistry();
  ASSERT_EQ(store.CreateKey(kHkcu, "Shared"), reg::kSuccess);

  auto first = StartChild(RegistryFilePath(), "first");
  auto second = StartChild(RegistryFilePath(), "second");
  for (QProcess* child : {first.get(), second.get()}) {
    ASSERT_TRUE(child->waitForFinished(240000));
    EXPECT_EQ(child->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child->exitCode(), 0);
  }

  QStringList values;
  QStringList keys;
  ASSERT_EQ(store.EnumValueNames(kHkcu, "Shared", &values), reg::kSuccess);
  ASSERT_EQ(store.EnumSubkeyNames(kHkcu, "Shared", &keys), reg::kSuccess);
  EXPECT_EQ(values.size(), 2 * kWritesPerWriter);
  EXPECT_EQ(keys.size(), 2 * kWritesPerWriter);
  for (const char* tag : {"first", "second"}) {
    for (int i = 0; i < kWritesPerWriter; ++i) {
      const QString name = QStringLiteral("%1_%2").arg(tag).arg(i);
      RegistryValue read;
      ASSERT_EQ(store.QueryValue(kHkcu, "Shared", name, &read), reg::kSuccess)
          << name.toStdString();
      EXPECT_TRUE(read.data == Payload(i, 64 + i)) << name.toStdString();
      EXPECT_EQ(store.OpenKey(kHkcu, "Shared\\" + name), reg::kSuccess) << name.toStdString();
    }
  }
}

// Reads the crash writer's value; every read must give a whole value.
std::uint64_t ReadWholeCounter(RegistryStore& store) {
  RegistryValue read;
  if (store.QueryValue(kHkcu, "Crash", "counter", &read) != reg::kSuccess) {
    return 0;
  }
  const std::uint64_t sequence = SequenceOf(read.data);
  EXPECT_TRUE(read.data == Payload(sequence, kCrashPayloadSize)) << "torn value " << sequence;
  return sequence;
}

// SQLite's own verdict on the file; opening it for writing lets SQLite roll
// back what the killed writer left unfinished, as the store itself would.
std::string IntegrityCheck(const QString& path) {
  sqlite3* db = nullptr;
  std::string verdict = "cannot open";
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
      SQLITE_OK) {
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* check = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr) == SQLITE_OK &&
        sqlite3_step(check) == SQLITE_ROW) {
      verdict = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
    }
    sqlite3_finalize(check);
  }
  sqlite3_close(db);
  return verdict;
}

TEST(RegistryStoreProcesses, WriterKilledInMidWriteLeavesOldOrNewValue) {
  testing::ScopedConfigHome home;
  RegistryStore& store = SystemRegistry();
  std::uint64_t lastSeen = 0;
  // Kill at a few different moments so that some kills land inside a commit.
  for (const int delayMs : {0, 3, 7, 13, 23, 41}) {
    auto child = StartChild(RegistryFilePath(), "crash");
    ASSERT_TRUE(child->waitForStarted(10000));
    QElapsedTimer waited;
    waited.start();
    std::uint64_t seen = 0;
    while (seen < lastSeen + 3 && waited.elapsed() < 120000) {
      seen = ReadWholeCounter(store);
      QThread::msleep(5);
    }
    ASSERT_GE(seen, lastSeen + 3) << "the writer made no progress";
    QThread::msleep(delayMs);
    child->kill();  // SIGKILL: no clean-up of any kind
    ASSERT_TRUE(child->waitForFinished(10000));

    const std::uint64_t after = ReadWholeCounter(store);
    EXPECT_GE(after, seen);
    EXPECT_EQ(IntegrityCheck(RegistryFilePath()), "ok");
    // The store takes new writes at once, and keeps them.
    ASSERT_EQ(
        store.SetValue(kHkcu, "Crash", "counter", reg::kBinary, Payload(after, kCrashPayloadSize)),
        reg::kSuccess);
    EXPECT_EQ(ReadWholeCounter(store), after);
    lastSeen = after;
  }
}

}  // namespace
}  // namespace qm::platform
