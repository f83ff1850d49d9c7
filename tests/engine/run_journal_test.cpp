// The journal file itself: what it keeps, how it is bounded, who may read
// it, and how it meets a damaged file, a newer version, a folder it cannot
// make and a second window.
#include "engine/journal/run_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "common/test_environment.h"
#include "platform/file_lock.h"

namespace {

qm::RunRecord RunOn(std::int32_t collection, const QString& search) {
  qm::RunRecord run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection;
  run.collectionName = QStringLiteral("Collection %1").arg(collection);
  run.collectionIdentity = QStringLiteral("identity %1").arg(collection);
  run.field = qm::SearchField::Comment;
  run.searchText = search;
  run.replaceText = QStringLiteral("R");
  return run;
}

qm::DocumentEntry Entry(qlonglong id, const QString& after = QStringLiteral("a")) {
  return {QVariant(id), QString(), after};
}

// Runs SQL on the journal file as another program would.
void Sql(const QString& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
      << (message != nullptr ? message : "");
  sqlite3_free(message);
  sqlite3_close(db);
}

class RunJournalTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Folder() const { return dir_.path() + QStringLiteral("/data/QMReplace"); }
  QString File() const { return Folder() + QStringLiteral("/journal.sqlite"); }
  QStringList Damaged() const {
    return QDir(Folder()).entryList({QStringLiteral("journal.sqlite.damaged-*")}, QDir::Files);
  }
  // Damage the open does not see, only the full check: a page of the entries
  // (the last pages hold the newest runs' rows and the schema stays whole)
  // overwritten.
  void DamageAnEntryPage() {
    auto journal = qm::OpenRunJournal(Folder());
    const std::int64_t run = journal->BeginRun(RunOn(1, QStringLiteral("s")));
    std::vector<qm::DocumentEntry> entries;
    for (int i = 0; i < 400; ++i) {
      entries.push_back(Entry(i, QString(200, QLatin1Char('d'))));
    }
    journal->RecordEntries(run, entries);
    journal->EndRun(run, qm::RunStatus::Finished);
    journal.reset();
    Sql(File(), "PRAGMA wal_checkpoint(TRUNCATE)");
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2 / 4096 * 4096);
    file.write(QByteArray(4096, '\x5a'));
  }
  QString Stamp(qint64 secondsFromNow = 0) const {
    return QDateTime::currentDateTimeUtc().addSecs(secondsFromNow).toString("yyyyMMdd-HHmmss");
  }
  QTemporaryDir dir_;
};

TEST_F(RunJournalTest, KeepsWhatARunRecordedAsItWas) {
  auto journal = qm::OpenRunJournal(Folder());
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  const std::int64_t run = journal->BeginRun(RunOn(7, QStringLiteral("s")));
  // A run that recorded nothing has nothing to undo.
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  const auto positions = journal->RecordEntries(
      run, {{QVariant(qlonglong{42}), QString(), QStringLiteral("filled")},
            {QVariant(QStringLiteral("{A-1}")), QStringLiteral(""), QStringLiteral("x")}});
  journal->RecordEntries(
      run,
      {{QVariant(qlonglong{3}), QStringLiteral(" Mixed Case "), QStringLiteral("")}, Entry(9)});
  // Written again before its save, and one that was not saved after all.
  journal->RewriteEntry(
      run, positions[1],
      {QVariant(QStringLiteral("{A-1}")), QStringLiteral("typed"), QStringLiteral("xtyped")});
  journal->ForgetEntries(run, journal->RecordEntries(run, {Entry(10)}));

  auto last = journal->LastUndoableRun();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->number, run);
  EXPECT_EQ(last->status, qm::RunStatus::Going);
  journal->EndRun(run, qm::RunStatus::Cancelled);
  last = journal->LastUndoableRun();
  EXPECT_EQ(last->status, qm::RunStatus::Cancelled);
  EXPECT_EQ(last->collectionId, 7);
  EXPECT_EQ(last->collectionName, QStringLiteral("Collection 7"));
  EXPECT_EQ(last->collectionIdentity, QStringLiteral("identity 7"));
  EXPECT_EQ(last->field, qm::SearchField::Comment);
  EXPECT_EQ(last->searchText, QStringLiteral("s"));
  EXPECT_EQ(last->replaceText, QStringLiteral("R"));
  EXPECT_EQ(last->documents, 4);
  EXPECT_TRUE(last->started.isValid());

  const auto documents = journal->Entries(run);
  ASSERT_EQ(documents.size(), 4u);
  EXPECT_EQ(documents[0].entryId, QVariant(qlonglong{42}));
  EXPECT_TRUE(documents[0].before.isNull());
  EXPECT_EQ(documents[1].entryId, QVariant(QStringLiteral("{A-1}")));
  EXPECT_EQ(documents[1].before, QStringLiteral("typed"));
  EXPECT_EQ(documents[1].after, QStringLiteral("xtyped"));
  EXPECT_EQ(documents[2].before, QStringLiteral(" Mixed Case "));
  EXPECT_FALSE(documents[2].after.isNull());
  EXPECT_EQ(documents[3].entryId, QVariant(qlonglong{9}));

  journal->MarkUndone(run);
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
}

// Ended runs go oldest first once there are too many or they hold too
// much; a run still going stays, and so does the newest, whatever its size.
TEST_F(RunJournalTest, BoundedByRunsAndBySize) {
  struct Case {
    const char* name;
    qm::JournalLimits limits;
    int runs;
    int entriesEach;
    int kept;  // the newest ones
  };
  const Case cases[] = {
      // The run still going takes one of the five.
      {"by runs", {5, qm::kKeptBytes}, 8, 1, 4},
      // Bounded as each run begins: the two before the newest fit.
      {"by size", {100, 12 * 1024}, 8, 40, 3},
      {"one run larger than the bound", {100, 1024}, 3, 40, 1},
  };
  for (const Case& c : cases) {
    QTemporaryDir folder;
    auto journal = qm::OpenRunJournal(folder.path(), c.limits);
    // A run of another window that still goes on, begun first.
    auto other = qm::OpenRunJournal(folder.path(), c.limits);
    const std::int64_t going = other->BeginRun(RunOn(2, QStringLiteral("going")));
    other->RecordEntries(going, {Entry(1)});
    std::vector<std::int64_t> runs;
    for (int i = 0; i < c.runs; ++i) {
      runs.push_back(journal->BeginRun(RunOn(1, QString::number(i))));
      std::vector<qm::DocumentEntry> entries;
      for (int e = 0; e < c.entriesEach; ++e) {
        entries.push_back(Entry(e, QString(100, QLatin1Char('x'))));
      }
      journal->RecordEntries(runs.back(), entries);
      journal->EndRun(runs.back(), qm::RunStatus::Finished);
    }
    for (int i = 0; i < c.runs; ++i) {
      EXPECT_EQ(journal->Entries(runs[static_cast<std::size_t>(i)]).empty(), i < c.runs - c.kept)
          << c.name << ", run " << i;
    }
    EXPECT_EQ(journal->Entries(going).size(), 1u) << c.name;
    // Once it has ended, it goes like the others.
    other->EndRun(going, qm::RunStatus::Finished);
    journal->BeginRun(RunOn(1, QStringLiteral("next")));
    EXPECT_TRUE(journal->Entries(going).empty()) << c.name;
  }
}

// Entries a run takes back or writes again count for the bound as what they
// hold now: a run whose entries were forgotten or written again shorter no
// longer pushes an older run out, one written again longer does.
TEST_F(RunJournalTest, SizeBoundCountsForgottenAndRewrittenEntries) {
  struct Case {
    const char* name;
    int entries;
    int recordedLength;
    int rewrittenLength;  // -1: forgotten
    bool olderKept;
  };
  const Case cases[] = {
      {"forgotten", 80, 100, -1, true},
      {"written again shorter", 80, 100, 0, true},
      {"written again longer", 10, 1, 1000, false},
  };
  for (const Case& c : cases) {
    QTemporaryDir folder;
    auto journal = qm::OpenRunJournal(folder.path(), {100, 12 * 1024});
    const std::int64_t older = journal->BeginRun(RunOn(1, QStringLiteral("older")));
    std::vector<qm::DocumentEntry> entries(40, Entry(1, QString(100, QLatin1Char('x'))));
    journal->RecordEntries(older, entries);
    journal->EndRun(older, qm::RunStatus::Finished);

    const std::int64_t run = journal->BeginRun(RunOn(1, QStringLiteral("changed")));
    entries.assign(static_cast<std::size_t>(c.entries),
                   Entry(2, QString(c.recordedLength, QLatin1Char('y'))));
    const auto positions = journal->RecordEntries(run, entries);
    if (c.rewrittenLength < 0) {
      journal->ForgetEntries(run, positions);
    } else {
      for (const qm::EntryPosition position : positions) {
        journal->RewriteEntry(run, position, Entry(2, QString(c.rewrittenLength, u'z')));
      }
    }
    journal->EndRun(run, qm::RunStatus::Finished);
    journal->BeginRun(RunOn(1, QStringLiteral("next")));
    EXPECT_EQ(!journal->Entries(older).empty(), c.olderKept) << c.name;
  }
}

// Runs of two windows at once are undone in the order their entries were
// written, latest first; and a window's run is its own to end.
TEST_F(RunJournalTest, TwoWindowsShareOneJournalLatestSavedFirst) {
  auto first = qm::OpenRunJournal(Folder());
  auto second = qm::OpenRunJournal(Folder());
  const std::int64_t a = first->BeginRun(RunOn(1, QStringLiteral("a")));
  const std::int64_t b = second->BeginRun(RunOn(2, QStringLiteral("b")));
  EXPECT_NE(a, b);
  first->RecordEntries(a, {Entry(0)});
  second->RecordEntries(b, {Entry(100), Entry(101)});
  first->RecordEntries(a, {Entry(1)});
  EXPECT_EQ(second->Entries(a).size(), 2u);
  auto last = second->LastUndoableRun();
  EXPECT_EQ(last->number, a);
  // Still going in the first window, as the second sees it.
  EXPECT_EQ(last->status, qm::RunStatus::Going);
  first->EndRun(a, qm::RunStatus::Finished);
  EXPECT_EQ(second->LastUndoableRun()->status, qm::RunStatus::Finished);
  second->MarkUndone(a);
  EXPECT_EQ(first->LastUndoableRun()->number, b);
  // A window that closes without ending its run leaves one ended by a crash.
  second.reset();
  EXPECT_EQ(first->LastUndoableRun()->status, qm::RunStatus::Crashed);
}

// Made owner-only, missing parents included, and narrowed when found wider:
// the folder, the journal, its side files, the locks and damaged copies.
// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// file modes, which Windows does not have.
using RunJournalTestPosix = RunJournalTest;

// A run's lock file taken away by someone else (a cleaner of temporary
// files, say) while its program is there: the run still goes on as long as
// its program's session does. An owner the journal names outside its own
// files (a path) is never opened, let alone deleted. Left out under Wine: a
// file held open there cannot be deleted in the first place.
TEST_F(RunJournalTestPosix, AnOwnerIsJudgedByItsOwnFilesOnly) {
  auto first = qm::OpenRunJournal(Folder());
  auto second = qm::OpenRunJournal(Folder());
  const std::int64_t run = first->BeginRun(RunOn(1, QStringLiteral("a")));
  first->RecordEntries(run, {Entry(1)});
  for (const QString& lock : QDir(Folder()).entryList({QStringLiteral("run-*.lock")})) {
    ASSERT_TRUE(QFile::remove(Folder() + QLatin1Char('/') + lock));
  }
  EXPECT_EQ(second->LastUndoableRun()->status, qm::RunStatus::Going);
  first.reset();
  EXPECT_EQ(second->LastUndoableRun()->status, qm::RunStatus::Crashed);

  const QString victim = dir_.path() + QStringLiteral("/victim.lock");
  QFile(victim).open(QIODevice::WriteOnly);
  const std::int64_t forged = second->BeginRun(RunOn(2, QStringLiteral("b")));
  second->RecordEntries(forged, {Entry(2)});
  Sql(File(), "UPDATE Run SET Owner = '../../victim.lock', State = 0 WHERE Number = " +
                  std::to_string(forged));
  auto third = qm::OpenRunJournal(Folder());
  EXPECT_EQ(third->LastUndoableRun()->status, qm::RunStatus::Crashed);
  EXPECT_TRUE(QFile::exists(victim));
}

TEST_F(RunJournalTestPosix, EveryFileAndFolderIsTheUsersAlone) {
  constexpr int kOthers = 0x0077;
  const auto expectPrivate = [&](const QString& path) {
    EXPECT_EQ(QFile::permissions(path) & kOthers, 0) << path.toStdString();
    EXPECT_TRUE(
        QFile::permissions(path).testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        << path.toStdString();
  };
  const auto expectAllPrivate = [&] {
    for (const QString& folder : {dir_.path() + QStringLiteral("/data"), Folder()}) {
      expectPrivate(folder);
      EXPECT_TRUE(QFile::permissions(folder).testFlag(QFileDevice::ExeOwner));
    }
    for (const QString& file : QDir(Folder()).entryList(QDir::Files | QDir::Hidden)) {
      expectPrivate(Folder() + QLatin1Char('/') + file);
    }
  };
  auto journal = qm::OpenRunJournal(Folder());
  journal->RecordEntries(journal->BeginRun(RunOn(1, QStringLiteral("s"))), {Entry(1)});
  const QStringList files = QDir(Folder()).entryList(QDir::Files | QDir::Hidden);
  EXPECT_TRUE(files.contains(QStringLiteral("journal.sqlite-wal")));
  EXPECT_TRUE(files.contains(QStringLiteral("journal.sqlite-shm")));
  // The window's, its run's, and the lock every program opens the journal under.
  EXPECT_EQ(files.filter(QStringLiteral(".lock")).size(), 3);
  expectAllPrivate();
  // A damaged copy and the journal started anew.
  journal.reset();
  {
    QFile damaged(File());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'Z'));
  }
  journal = qm::OpenRunJournal(Folder());
  ASSERT_EQ(Damaged().size(), 1);
  expectAllPrivate();

  // Found wider by the next program: narrowed.
  journal.reset();
  ASSERT_TRUE(QFile::setPermissions(Folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                                  QFileDevice::ExeGroup));
  QFile(File() + QStringLiteral("-wal")).open(QIODevice::WriteOnly);  // as a crash leaves it
  for (const QString& file : {File(), File() + QStringLiteral("-wal")}) {
    ASSERT_TRUE(QFile::setPermissions(
        file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
  }
  journal = qm::OpenRunJournal(Folder());
  expectAllPrivate();
}

TEST_F(RunJournalTest, DamagedFileIsKeptAsideThirtyDaysAndANewOneStartedSaidOnce) {
  {
    auto journal = qm::OpenRunJournal(Folder());
    journal->RecordEntries(journal->BeginRun(RunOn(1, QStringLiteral("s"))), {Entry(1)});
  }
  const QByteArray garbage(8192, 'Z');
  {
    QFile file(File());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(garbage);
  }
  // Copies moved aside 31 and 29 days ago: the first has had its time.
  // Each name is taken once: on a busy machine the clock's second may turn
  // between two readings.
  const auto copy = [](int daysAgo) {
    return "journal.sqlite.damaged-" +
           QDateTime::currentDateTimeUtc().addDays(-daysAgo).toString("yyyyMMdd-HHmmss");
  };
  const QString expired = copy(31);
  const QString recent = copy(29);
  for (const QString& name : {expired, expired + "-wal", recent}) {
    QFile old(Folder() + QLatin1Char('/') + name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  }
  auto journal = qm::OpenRunJournal(Folder());
  const QString movedTo = journal->TakeMovedAside();
  ASSERT_FALSE(movedTo.isEmpty());
  EXPECT_TRUE(journal->TakeMovedAside().isEmpty());
  EXPECT_EQ(Damaged(), QStringList({recent, QFileInfo(movedTo).fileName()}));
  QFile kept(movedTo);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), garbage);
  EXPECT_FALSE(journal->LastUndoableRun().has_value());
  journal->RecordEntries(journal->BeginRun(RunOn(1, QStringLiteral("t"))), {Entry(1)});
  EXPECT_EQ(journal->LastUndoableRun()->searchText, QStringLiteral("t"));

  // An empty file (what a crash right after creating it leaves) is no
  // damage: it becomes the journal.
  journal.reset();
  for (const char* suffix : {"", "-wal", "-shm"}) {
    QFile::remove(File() + QLatin1String(suffix));
  }
  {
    QFile other(File());
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  }
  EXPECT_TRUE(qm::OpenRunJournal(Folder())->TakeMovedAside().isEmpty());
}

// Damage the open does not touch is found by the full check, which runs
// only after a program ended without closing the journal, or once a day.
TEST_F(RunJournalTest, CheckedInFullOnlyAfterAnUncleanEndOrADayLater) {
  DamageAnEntryPage();
  auto journal = qm::OpenRunJournal(Folder());
  EXPECT_TRUE(journal->TakeMovedAside().isEmpty());
  journal.reset();

  // A program that had it open and ended without closing it.
  const QString session = Folder() + QStringLiteral("/session-ended.lock");
  QFile(session).open(QIODevice::WriteOnly);
  journal = qm::OpenRunJournal(Folder());
  EXPECT_FALSE(journal->TakeMovedAside().isEmpty());
  EXPECT_FALSE(QFile::exists(session));
  journal.reset();

  QDir(Folder()).removeRecursively();
  DamageAnEntryPage();
  Sql(File(), "UPDATE Counter SET Value = Value - 90000 WHERE Name = 'Checked'");
  EXPECT_FALSE(qm::OpenRunJournal(Folder())->TakeMovedAside().isEmpty());
}

// The journal is data too: a trigger someone put into it does not run as
// runs are recorded, so what a run recorded stays what it wrote.
TEST_F(RunJournalTest, TriggersInTheFileDoNotRun) {
  qm::OpenRunJournal(Folder());
  Sql(File(),
      "CREATE TRIGGER forge AFTER INSERT ON RunDocument BEGIN "
      "UPDATE RunDocument SET After = 'forged' WHERE Run = NEW.Run; END");
  auto journal = qm::OpenRunJournal(Folder());
  const std::int64_t run = journal->BeginRun(RunOn(1, QStringLiteral("s")));
  journal->RecordEntries(run, {Entry(1, QStringLiteral("one")), Entry(2, QStringLiteral("two"))});
  const auto documents = journal->Entries(run);
  ASSERT_EQ(documents.size(), 2u);
  EXPECT_EQ(documents[0].after, QStringLiteral("one"));
  EXPECT_EQ(documents[1].after, QStringLiteral("two"));
}

// A newer program's journal is left as it is, its journal mode included,
// and so are the session files of the folder, which are that program's.
TEST_F(RunJournalTest, NewerVersionIsRefusedAndLeftAsItIs) {
  qm::OpenRunJournal(Folder());
  Sql(File(), "PRAGMA journal_mode=DELETE; PRAGMA user_version=99");
  const QString marker = Folder() + QStringLiteral("/session-newer.lock");
  {
    QFile file(marker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("the newer program's own");
  }
  const auto bytes = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
  };
  const QByteArray before = bytes(File());
  const QStringList files = QDir(Folder()).entryList(QDir::Files | QDir::Hidden);
  try {
    qm::OpenRunJournal(Folder());
    ADD_FAILURE() << "a newer journal was opened";
  } catch (const qm::JournalTooNew& refused) {
    EXPECT_EQ(refused.file(), File());
    EXPECT_EQ(refused.number(), qm::kJournalError);
  }
  EXPECT_TRUE(bytes(File()) == before);
  EXPECT_EQ(bytes(marker), "the newer program's own");
  EXPECT_EQ(QDir(Folder()).entryList(QDir::Files | QDir::Hidden), files);
}

// A program that finds another repairing the journal (holding the repair
// lock, the damaged file moved aside, its -wal not yet) waits and makes
// nothing meanwhile: a journal made now would take that -wal for its own.
// Then it opens the new journal, and nothing is moved aside twice.
TEST_F(RunJournalTest, ARepairUnderWayIsWaitedForAndNothingMadeMeanwhile) {
  ASSERT_TRUE(QDir().mkpath(Folder()));
  qm::platform::LockAttempt repairing =
      qm::platform::LockFile(Folder() + QStringLiteral("/repair.lock"), 0);
  ASSERT_TRUE(repairing.lock);
  const QString copy = QStringLiteral("journal.sqlite.damaged-") + Stamp();
  for (const QString& path :
       {Folder() + QLatin1Char('/') + copy, File() + QStringLiteral("-wal")}) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'Z'));
  }
  std::atomic<bool> opened{false};
  std::unique_ptr<qm::RunJournal> second;
  std::exception_ptr failure;
  std::thread program([&] {
    try {
      second = qm::OpenRunJournal(Folder());
    } catch (...) {
      failure = std::current_exception();
    }
    opened = true;
  });
  // Whatever fails below, the program gets the lock and is waited for: a
  // thread left running would end the whole test program.
  const auto finish = [&] {
    repairing.lock.reset();
    if (program.joinable()) {
      program.join();
    }
  };
  struct Finally {
    std::function<void()> run;
    ~Finally() { run(); }
  } finally{finish};
  // Long enough for the second program to have made a journal.
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(opened.load());
  EXPECT_FALSE(QFile::exists(File()));
  ASSERT_TRUE(QFile::rename(File() + QStringLiteral("-wal"),
                            Folder() + QLatin1Char('/') + copy + QStringLiteral("-wal")));
  finish();
  if (failure) {
    std::rethrow_exception(failure);
  }
  ASSERT_TRUE(second);
  EXPECT_TRUE(second->TakeMovedAside().isEmpty());
  second->RecordEntries(second->BeginRun(RunOn(1, QStringLiteral("s"))), {Entry(1)});
  EXPECT_EQ(second->LastUndoableRun()->searchText, QStringLiteral("s"));
  EXPECT_EQ(Damaged(), QStringList({copy, copy + QStringLiteral("-wal")}));
}

// A damaged journal with a side file that cannot be moved aside (another
// program has the journal open, which on Windows stops a rename; here a file
// holds the name it would get) is a failure that names that file, and
// nothing is moved. The mark of the unclean end that called for the full
// check stays, so the next program checks in full again, and repairs.
TEST_F(RunJournalTest, ARepairThatCannotMoveAFileSaysSoAndIsTriedAgain) {
  DamageAnEntryPage();
  const QString marker = Folder() + QStringLiteral("/session-ended.lock");
  QFile(marker).open(QIODevice::WriteOnly);
  sqlite3* other = nullptr;  // keeps the -wal and -shm there
  ASSERT_EQ(sqlite3_open(File().toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "SELECT count(*) FROM Run", nullptr, nullptr, nullptr), SQLITE_OK);
  QStringList blockers;
  for (qint64 second = -1; second <= 5; ++second) {
    blockers << QStringLiteral("journal.sqlite.damaged-") + Stamp(second) + QStringLiteral("-wal");
    QFile(Folder() + QLatin1Char('/') + blockers.back()).open(QIODevice::WriteOnly);
  }
  blockers.sort();
  try {
    qm::OpenRunJournal(Folder());
    ADD_FAILURE() << "the damaged journal was opened";
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::kJournalError);
    EXPECT_TRUE(error.description().contains(
        QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(File() + QStringLiteral("-wal")))))
        << error.what();
  }
  EXPECT_TRUE(QFile::exists(File()));
  EXPECT_TRUE(QFile::exists(File() + QStringLiteral("-wal")));
  EXPECT_EQ(Damaged(), blockers);
  EXPECT_TRUE(QFile::exists(marker));

  sqlite3_close(other);
  for (const QString& blocker : blockers) QFile::remove(Folder() + QLatin1Char('/') + blocker);
  EXPECT_FALSE(qm::OpenRunJournal(Folder())->TakeMovedAside().isEmpty());
  EXPECT_FALSE(QFile::exists(marker));
}

// A journal of the first version keeps its runs, ended, to be undone.
TEST_F(RunJournalTest, RunsOfAFirstVersionJournalStayUndoable) {
  ASSERT_TRUE(QDir().mkpath(Folder()));
  Sql(File(),
      "PRAGMA journal_mode=WAL;"
      "CREATE TABLE Run(Number INTEGER PRIMARY KEY AUTOINCREMENT, Started TEXT NOT NULL,"
      " CollectionID INTEGER NOT NULL, CollectionName TEXT NOT NULL, Field INTEGER NOT NULL,"
      " SearchText TEXT NOT NULL, ReplaceText TEXT NOT NULL, Undone INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE RunDocument(Run INTEGER NOT NULL, Position INTEGER NOT NULL, EntryID NOT NULL,"
      " Before TEXT, After TEXT NOT NULL, PRIMARY KEY(Run, Position)) WITHOUT ROWID;"
      "INSERT INTO Run VALUES(1, '2026-01-01T00:00:00.000Z', 4, 'Old', 1, 'x', 'y', 0);"
      "INSERT INTO Run VALUES(2, '2026-01-02T00:00:00.000Z', 4, 'Old', 1, 'p', 'q', 0);"
      "INSERT INTO RunDocument VALUES(1, 1, 7, 'x', 'y'), (2, 1, 7, 'yp', 'yq'), (2, 2, 8, NULL, "
      "'q');"
      "PRAGMA application_id=1364021834; PRAGMA user_version=1;");
  auto journal = qm::OpenRunJournal(Folder());
  auto last = journal->LastUndoableRun();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->number, 2);
  EXPECT_EQ(last->documents, 2);
  EXPECT_EQ(last->status, qm::RunStatus::Finished);
  EXPECT_TRUE(last->collectionIdentity.isEmpty());
  EXPECT_TRUE(journal->Entries(2)[1].before.isNull());
  // A new run is later than both.
  journal->RecordEntries(journal->BeginRun(RunOn(1, QStringLiteral("new"))), {Entry(1)});
  EXPECT_EQ(journal->LastUndoableRun()->searchText, QStringLiteral("new"));
}

// A journal of the version before the search options keeps its runs, made
// with all of them off; a run made now reads back with its own.
TEST_F(RunJournalTest, RunsBeforeTheSearchOptionsKeepThemOff) {
  ASSERT_TRUE(QDir().mkpath(Folder()));
  Sql(File(),
      "PRAGMA journal_mode=WAL;"
      "CREATE TABLE Run(Number INTEGER PRIMARY KEY AUTOINCREMENT,"
      " Started TEXT NOT NULL, CollectionID INTEGER NOT NULL, CollectionName TEXT NOT NULL,"
      " CollectionIdentity TEXT NOT NULL DEFAULT '',"
      " Field INTEGER NOT NULL, SearchText TEXT NOT NULL, ReplaceText TEXT NOT NULL,"
      " Undone INTEGER NOT NULL DEFAULT 0, State INTEGER NOT NULL DEFAULT 1,"
      " Owner TEXT NOT NULL DEFAULT '', LastPosition INTEGER NOT NULL DEFAULT 0,"
      " Documents INTEGER NOT NULL DEFAULT 0, Bytes INTEGER NOT NULL DEFAULT 0,"
      " UndoOwner TEXT NOT NULL DEFAULT '');"
      "CREATE TABLE RunDocument(Run INTEGER NOT NULL, Position INTEGER NOT NULL, EntryID NOT NULL,"
      " Before TEXT, After TEXT NOT NULL, PRIMARY KEY(Run, Position)) WITHOUT ROWID;"
      "CREATE TABLE Counter(Name TEXT PRIMARY KEY, Value INTEGER NOT NULL) WITHOUT ROWID;"
      "INSERT INTO Run(Number, Started, CollectionID, CollectionName, CollectionIdentity, Field,"
      " SearchText, ReplaceText, State, LastPosition, Documents, Bytes)"
      " VALUES(5, '2026-03-01T00:00:00.000Z', 4, 'Old', 'id-4', 1, 'x', 'y', 1, 9, 1, 30);"
      "INSERT INTO RunDocument VALUES(5, 9, 7, 'x', 'y');"
      "INSERT INTO Counter VALUES('Position', 9);"
      "PRAGMA application_id=1364021834; PRAGMA user_version=3;");
  auto journal = qm::OpenRunJournal(Folder());
  auto last = journal->LastUndoableRun();
  ASSERT_TRUE(last.has_value());
  EXPECT_EQ(last->number, 5);
  EXPECT_EQ(last->searchText, QStringLiteral("x"));
  EXPECT_EQ(last->collectionIdentity, QStringLiteral("id-4"));
  EXPECT_EQ(last->options, qm::SearchOptions{});
  EXPECT_EQ(journal->Entries(5).size(), 1u);
  // Nor did they know where they searched, nor any undo in part; what the
  // history keeps is kept from now on, for them too.
  EXPECT_EQ(last->folderName, QString());
  EXPECT_EQ(last->total, 0);
  EXPECT_EQ(last->restored, 0);
  journal->MarkRestored(5, {9});
  EXPECT_TRUE(journal->ReadEntries(5, 0, 10).at(0).restored);
  EXPECT_EQ(journal->FindRun(5)->restored, 1);

  for (const qm::SearchOptions options :
       {qm::SearchOptions{true, false, true, false}, qm::SearchOptions{false, true, false, true}}) {
    qm::RunRecord run = RunOn(1, QStringLiteral("new"));
    run.options = options;
    run.folderName = QStringLiteral("Ordner");
    run.includeSubfolders = options.matchCase;
    run.total = 3;
    const std::int64_t number = journal->BeginRun(run);
    journal->RecordEntries(number, {Entry(1)});
    journal->EndRun(number, qm::RunStatus::Finished);
    const qm::RunRecord back = *qm::OpenRunJournal(Folder())->LastUndoableRun();
    EXPECT_EQ(back.options, options);
    EXPECT_EQ(back.folderName, run.folderName);
    EXPECT_EQ(back.includeSubfolders, run.includeSubfolders);
    EXPECT_EQ(back.total, 3);
  }
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
    EXPECT_TRUE(error.description().contains(QDir::toNativeSeparators(Folder()))) << error.what();
  }
}

TEST(RunJournalFolderPosix, FollowsTheUsersDataFolder) {
  QTemporaryDir data;
  qm::testing::ScopedEnv env("XDG_DATA_HOME", data.path());
  EXPECT_EQ(qm::DefaultJournalFolder(), data.path() + QStringLiteral("/QMReplace"));
}

}  // namespace
