// Runs in other programs, as other windows have them: a run killed with
// SIGKILL at a random moment, two at a time on one journal, then undone
// (every document is as it was before the run); and a run still going,
// whose undo is refused until it has ended.
//
// The runs are this test binary itself, started with a filter that runs only
// RunKillChild.Run; that test does nothing unless the parent hands it a
// collection through the environment.
#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "engine/engine_on_host.h"
#include "engine/journal/run_history.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/run/replace_run.h"

namespace {

constexpr char kCollectionVariable[] = "QM_RUN_CHILD_COLLECTION";
constexpr char kConfigVariable[] = "QM_RUN_CHILD_CONFIG";
constexpr char kJournalVariable[] = "QM_RUN_CHILD_JOURNAL";
constexpr char kPaceVariable[] = "QM_RUN_CHILD_PACE_US";
constexpr int kDocuments = 400;
constexpr int kRounds = 4;

TEST(RunKillChild, Run) {
  const QString collectionId = qEnvironmentVariable(kCollectionVariable);
  if (collectionId.isEmpty()) {
    GTEST_SKIP() << "runs only as a child of the kill test";
  }
  // The test main gave this process a registry of its own; the run needs
  // the parent's host.
  qputenv("XDG_CONFIG_HOME", qgetenv(kConfigVariable));
  auto journal = qm::OpenRunJournal(qEnvironmentVariable(kJournalVariable));
  auto collection = qm::CreateHostApplication()->Collections()->Item(collectionId);
  qm::testing::FakePort port;
  port.journal = journal.get();
  port.searchText = QStringLiteral("Match");
  port.replacementText = QStringLiteral("DONE");
  // Paced like the window, so that a kill lands in the middle.
  const unsigned long pace = qEnvironmentVariableIntValue(kPaceVariable);
  port.onEvents = [pace](int) { QThread::usleep(pace != 0 ? pace : 300); };
  qm::RunState state;
  qm::testing::Replace(port, collection->GetFolder(1), state);
  EXPECT_EQ(state.updatedCount, kDocuments);
}

class RunKillTest : public qm::testing::EngineOnHost {
 protected:
  // A collection of documents that all match, with a mix of case, blanks,
  // empty and missing comments.
  std::int32_t Collection(int round, int which) {
    const std::int32_t id =
        qm::hostadmin::CreateCollection(QStringLiteral("Kill %1-%2").arg(round).arg(which), false);
    std::vector<qm::hostadmin::NewDocument> documents;
    for (int i = 0; i < kDocuments; ++i) {
      documents.push_back({400,
                           QStringLiteral(" match %1 MATCH ").arg(i),
                           i % 3 == 0 ? QString() : QStringLiteral("c%1").arg(i),
                           {}});
    }
    qm::hostadmin::AddDocuments(id, documents);
    return id;
  }

  static QStringList Everything(std::int32_t id) {
    QStringList rows;
    for (const auto& d : qm::hostadmin::ListDocuments(id)) {
      rows.append(d.title + "|" + (d.comment.isNull() ? QStringLiteral("<null>") : d.comment));
    }
    return rows;
  }

  std::unique_ptr<QProcess> Start(std::int32_t collection, int paceUs = 0) {
    auto child = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kPaceVariable, QString::number(paceUs));
    env.insert(kCollectionVariable, QString::number(collection));
    env.insert(kConfigVariable, qEnvironmentVariable("XDG_CONFIG_HOME"));
    env.insert(kJournalVariable, journalDir_.path());
    child->setProcessEnvironment(env);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=RunKillChild.Run", "--gtest_brief=1"});
    return child;
  }

  // Waits until the run has saved a document.
  static bool Underway(std::int32_t collection) {
    for (int wait = 0; wait < 600; ++wait) {
      if (!Everything(collection).filter(QStringLiteral("DONE")).isEmpty()) {
        return true;
      }
      QThread::msleep(50);
    }
    return false;
  }

  QTemporaryDir journalDir_;
};

// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// a child program starts too slowly under Wine for a kill to land inside its
// run, and finds the parent's host through XDG_CONFIG_HOME.
using RunKillPosix = RunKillTest;

TEST_F(RunKillPosix, UndoWaitsForARunGoingOnInAnotherProgram) {
  ASSERT_TRUE(journalDir_.isValid());
  const std::int32_t collection = Collection(0, 0);
  const QStringList before = Everything(collection);
  auto child = Start(collection, 3000);
  ASSERT_TRUE(child->waitForStarted());
  ASSERT_TRUE(Underway(collection));

  auto journal = qm::OpenRunJournal(journalDir_.path());
  qm::testing::FakePort port;
  port.journal = journal.get();
  const qm::UndoCounts refused = qm::testing::Undo(port, *app());
  const QStringList during = Everything(collection);
  EXPECT_EQ(refused.restored + refused.left, 0);
  EXPECT_TRUE(port.questions.isEmpty());
  EXPECT_EQ(port.notes, QStringList{QStringLiteral(
                            "The last run ('Match' to 'DONE') is still going in another window. "
                            "Nothing was changed.")});
  // The history shows it going, and will not undo it either.
  const qm::RunRecord going = journal->Runs().front();
  EXPECT_EQ(qm::StateOf(going), qm::HistoryState::Running);
  EXPECT_FALSE(qm::CanUndo(going));
  qm::testing::FakePort chosen;
  chosen.journal = journal.get();
  qm::UndoRun(chosen, chosen, *app(), chosen.language, {going.number, std::nullopt});
  EXPECT_TRUE(chosen.questions.isEmpty());
  EXPECT_TRUE(chosen.notes.last().endsWith(
      QStringLiteral("('Match' to 'DONE') is still going in another window. Nothing was changed.")))
      << chosen.notes.last().toStdString();
  ASSERT_TRUE(child->waitForFinished(120000));
  EXPECT_EQ(child->exitCode(), 0);
  // Nothing the refused undo did shows: the run went on to its end.
  EXPECT_LT(during.filter(QStringLiteral("DONE")).size(), kDocuments);
  EXPECT_EQ(Everything(collection).filter(QStringLiteral("DONE")).size(), kDocuments);

  qm::testing::FakePort again;
  again.journal = journal.get();
  const qm::UndoCounts counts = qm::testing::Undo(again, *app());
  EXPECT_EQ(counts.restored, kDocuments);
  EXPECT_EQ(Everything(collection), before);
}

TEST_F(RunKillPosix, UndoAfterAKillRestoresEverySavedDocument) {
  ASSERT_TRUE(journalDir_.isValid());
  int killedMidway = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::int32_t first = Collection(round, 1);
    const std::int32_t second = Collection(round, 2);
    const QStringList firstBefore = Everything(first);
    const QStringList secondBefore = Everything(second);

    auto a = Start(first);
    auto b = Start(second);
    ASSERT_TRUE(a->waitForStarted());
    ASSERT_TRUE(b->waitForStarted());
    // Once the first run is under way (a child takes a while to start), at
    // a random moment within about the first half of a paced run.
    Underway(first);
    QThread::msleep(QRandomGenerator::global()->bounded(0, 600));
    a->kill();  // SIGKILL
    QThread::msleep(QRandomGenerator::global()->bounded(0, 100));
    b->kill();
    ASSERT_TRUE(a->waitForFinished());
    ASSERT_TRUE(b->waitForFinished());

    for (std::int32_t id : {first, second}) {
      const QStringList now = Everything(id);
      const qsizetype changed = now.filter(QStringLiteral("DONE")).size();
      if (changed > 0 && changed < kDocuments) {
        ++killedMidway;
      }
      std::fprintf(stderr, "round %d: %lld of %d saved when killed\n", round,
                   static_cast<long long>(changed), kDocuments);
    }
    // Two undos take back both runs, whichever began last; the history
    // shows a run killed before its end as ended by a crash.
    auto journal = qm::OpenRunJournal(journalDir_.path());
    for (const qm::RunRecord& run : journal->Runs()) {
      if (!run.undone && run.documents < kDocuments) {
        EXPECT_EQ(qm::StateOf(run), qm::HistoryState::Crashed) << "round " << round;
      }
    }
    for (int undo = 0; undo < 2; ++undo) {
      qm::testing::FakePort port;
      port.journal = journal.get();
      const qm::UndoCounts counts = qm::testing::Undo(port, *app());
      EXPECT_EQ(counts.left, 0) << "round " << round;
    }
    EXPECT_EQ(Everything(first), firstBefore) << "round " << round;
    EXPECT_EQ(Everything(second), secondBefore) << "round " << round;
  }
  // The random moments are meant to land inside the runs; if none ever did,
  // the test proved nothing about a kill in the middle.
  EXPECT_GT(killedMidway, 0);
}

}  // namespace
