// The journal file itself: what it keeps, who may read it, and how it meets
// a damaged file, a folder it cannot make and a second window.
#include "engine/run_journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace {

qm::JournalRun RunOn(std::int32_t collection, const QString& search) {
  qm::JournalRun run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection;
  run.collectionName = QStringLiteral("Collection %1").arg(collection);
  run.field = qm::SearchField::Comment;
  run.searchText = search;
  run.replaceText = QStringLiteral("R");
  return run;
}

class RunJournalTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Folder() const { return dir_.path() + QStringLiteral("/data/QMReplace"); }
  QString File() const { return Folder() + QStringLiteral("/journal.sqlite"); }
  QTemporaryDir dir_;
};

TEST_F(RunJournalTest, KeepsWhatARunRecordedAsItWas) {
  auto journal = qm::OpenRunJournal(Folder());
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  const std::int64_t run = journal->BeginRun(RunOn(7, QStringLiteral("s")));
  // A run that recorded nothing has nothing to undo.
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  journal->RecordDocument(run, {QVariant(qlonglong{42}), QString(), QStringLiteral("filled")});
  journal->RecordDocument(run, {QVariant(QStringLiteral("{A-1}")), QStringLiteral(""),
                                QStringLiteral("x")});
  journal->RecordDocument(run, {QVariant(qlonglong{3}), QStringLiteral(" Mixed Case "),
                                QStringLiteral("")});

  const auto last = journal->LastUndoableRun();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->number, run);
  EXPECT_EQ(last->collectionId, 7);
  EXPECT_EQ(last->collectionName, QStringLiteral("Collection 7"));
  EXPECT_EQ(last->field, qm::SearchField::Comment);
  EXPECT_EQ(last->searchText, QStringLiteral("s"));
  EXPECT_EQ(last->replaceText, QStringLiteral("R"));
  EXPECT_EQ(last->documents, 3);
  EXPECT_TRUE(last->started.isValid());

  const auto documents = journal->Documents(run);
  ASSERT_EQ(documents.size(), 3u);
  EXPECT_EQ(documents[0].entryId, QVariant(qlonglong{42}));
  EXPECT_TRUE(documents[0].before.isNull());
  EXPECT_EQ(documents[1].entryId, QVariant(QStringLiteral("{A-1}")));
  EXPECT_FALSE(documents[1].before.isNull());
  EXPECT_TRUE(documents[1].before.isEmpty());
  EXPECT_EQ(documents[2].before, QStringLiteral(" Mixed Case "));
  EXPECT_FALSE(documents[2].after.isNull());

  journal->MarkUndone(run);
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
}

TEST_F(RunJournalTest, KeepsTheLast100Runs) {
  auto journal = qm::OpenRunJournal(Folder());
  std::vector<std::int64_t> runs;
  for (int i = 0; i < qm::kKeptRuns + 5; ++i) {
    runs.push_back(journal->BeginRun(RunOn(1, QString::number(i))));
    journal->RecordDocument(runs.back(), {QVariant(qlonglong{i}), QString(), QStringLiteral("a")});
  }
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(journal->Documents(runs[static_cast<std::size_t>(i)]).empty()) << i;
  }
  EXPECT_EQ(journal->Documents(runs[5]).size(), 1u);
  // Undoing every kept run reaches the oldest kept one, then nothing.
  int undone = 0;
  while (const auto last = journal->LastUndoableRun()) {
    journal->MarkUndone(last->number);
    ++undone;
  }
  EXPECT_EQ(undone, qm::kKeptRuns);
}

TEST_F(RunJournalTest, FolderAndFileAreTheUsersAlone) {
  auto journal = qm::OpenRunJournal(Folder());
  journal->BeginRun(RunOn(1, QStringLiteral("s")));
  // Nothing for the group or others; everything for the owner.
  constexpr int kOthers = 0x0077;
  EXPECT_EQ(QFile::permissions(Folder()) & kOthers, 0);
  EXPECT_TRUE(QFile::permissions(Folder()).testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ExeOwner));
  for (const QString& file : QDir(Folder()).entryList(QDir::Files)) {
    EXPECT_EQ(QFile::permissions(Folder() + "/" + file) & kOthers, 0) << file.toStdString();
  }
}

TEST_F(RunJournalTest, DamagedFileIsKeptAsideAndANewOneStartedSaidOnce) {
  {
    auto journal = qm::OpenRunJournal(Folder());
    journal->RecordDocument(journal->BeginRun(RunOn(1, QStringLiteral("s"))),
                            {QVariant(qlonglong{1}), QString(), QStringLiteral("a")});
  }
  const QByteArray garbage(8192, 'Z');
  {
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(garbage);
  }
  auto journal = qm::OpenRunJournal(Folder());
  const QString movedTo = journal->TakeMovedAside();
  ASSERT_FALSE(movedTo.isEmpty());
  EXPECT_TRUE(journal->TakeMovedAside().isEmpty());
  QFile kept(movedTo);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), garbage);
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  journal->RecordDocument(journal->BeginRun(RunOn(1, QStringLiteral("t"))),
                          {QVariant(qlonglong{1}), QString(), QStringLiteral("a")});
  EXPECT_EQ(journal->LastUndoableRun()->searchText, QStringLiteral("t"));

  // An empty file (what a crash right after creating it leaves) is no
  // damage: it becomes the journal.
  journal.reset();
  QFile::remove(File());
  QFile::remove(File() + "-wal");
  QFile::remove(File() + "-shm");
  {
    QFile other(File());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  }
  EXPECT_TRUE(qm::OpenRunJournal(Folder())->TakeMovedAside().isEmpty());
}

TEST_F(RunJournalTest, FolderThatCannotBeMadeIsAClearFailure) {
  // A file where the folder should be: no process may make the folder.
  QDir().mkpath(dir_.path() + "/data");
  QFile blocker(Folder());
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  try {
    qm::OpenRunJournal(Folder());
    ADD_FAILURE() << "expected a failure";
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::kJournalError);
    EXPECT_EQ(error.source(), QStringLiteral("QMReplace.Journal"));
    EXPECT_TRUE(error.description().contains(QDir::toNativeSeparators(Folder())));
  }
}

TEST_F(RunJournalTest, TwoWindowsShareOneJournal) {
  auto first = qm::OpenRunJournal(Folder());
  auto second = qm::OpenRunJournal(Folder());
  const std::int64_t a = first->BeginRun(RunOn(1, QStringLiteral("a")));
  const std::int64_t b = second->BeginRun(RunOn(2, QStringLiteral("b")));
  EXPECT_NE(a, b);
  for (int i = 0; i < 20; ++i) {
    first->RecordDocument(a, {QVariant(qlonglong{i}), QString(), QStringLiteral("a")});
    second->RecordDocument(b, {QVariant(qlonglong{100 + i}), QString(), QStringLiteral("b")});
  }
  EXPECT_EQ(first->Documents(b).size(), 20u);
  EXPECT_EQ(second->Documents(a).front().entryId, QVariant(qlonglong{0}));
  EXPECT_EQ(first->LastUndoableRun()->number, std::max(a, b));
}

TEST(RunJournalFolder, FollowsTheUsersDataFolder) {
  QTemporaryDir data;
  qm::testing::ScopedEnv env("XDG_DATA_HOME", data.path());
  EXPECT_EQ(qm::DefaultJournalFolder(), data.path() + QStringLiteral("/QMReplace"));
}

}  // namespace
