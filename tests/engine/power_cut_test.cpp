// Power cuts at random moments of a run and of an undo, over the stand-in
// host's collection file and the journal at once (crash_vfs.h). After each
// cut, both files are opened again as the disk holds them: every document
// holds its value before or after, every document holding its value after
// has its entry in the journal, and undo brings every one back.
//
// QM_POWER_CUTS sets how many cuts each test makes (scripts/fuzz asks for
// many more); QM_POWER_CUT_SEED starts another sequence of them.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>

#include "engine/crash_vfs.h"
#include "engine/fake_port.h"
#include "engine/journal/redo_run.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/journal_on_host.h"
#include "engine/run/replace_run.h"
#include "host/admin/host_admin.h"
#include "host/stand_in_host.h"

namespace {

constexpr int kDocuments = 12;

int Cuts() {
  const int asked = qEnvironmentVariableIntValue("QM_POWER_CUTS");
  return asked > 0 ? asked : 120;
}

class PowerCut : public qm::testing::StandInHostTest {
 protected:
  void SetUp() override {
    StandInHostTest::SetUp();
    ASSERT_TRUE(journalDir_.isValid());
    id_ = qm::hostadmin::CreateCollection(QStringLiteral("Cut"), false);
    std::vector<qm::hostadmin::NewDocument> documents;
    for (int i = 0; i < kDocuments; ++i) {
      documents.push_back(
          {400, QStringLiteral("match %1 of the documents a run cuts").arg(i), {}, {}});
    }
    qm::hostadmin::AddDocuments(id_, documents);
    for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
      before_[d.entryId] = d.title;
    }
    for (const auto& c : qm::hostadmin::ListCollections()) {
      if (c.id == id_) {
        file_ = c.file;
      }
    }
    ASSERT_TRUE(QFile::copy(file_, kept_.filePath(QStringLiteral("collection"))));
    vfs_ = std::make_unique<qm::testing::CrashVfs>(
        QStringList{QFileInfo(file_).absolutePath(), journalDir_.path()});
    seed_ = qEnvironmentVariableIsSet("QM_POWER_CUT_SEED") ? qgetenv("QM_POWER_CUT_SEED").toUInt()
                                                           : QRandomGenerator::global()->generate();
    std::fprintf(stderr, "QM_POWER_CUT_SEED=%u\n", seed_);
    random_.seed(seed_);
  }
  void TearDown() override {
    journal_.reset();
    vfs_.reset();
  }

  // The collection as it was made, and no journal.
  void Reset() {
    vfs_->Settle();
    for (const char* suffix : {"", "-wal", "-shm"}) {
      QFile::remove(file_ + QLatin1String(suffix));
    }
    ASSERT_TRUE(QFile::copy(kept_.filePath(QStringLiteral("collection")), file_));
    QDir(journalDir_.path()).removeRecursively();
  }

  static QString After(const QString& title) {
    return QString(title).replace(QStringLiteral("match"), QStringLiteral("DONE"));
  }

  // The run, as the window does it, cut or not; whatever the cut broke
  // fails it, and the program ends there. With `refuseRecordAt`, the
  // journal refuses that batch's entries (written ahead), and the run fails
  // there when no cut came first.
  void RunOnce(int refuseRecordAt = 0) {
    try {
      auto journal = qm::OpenRunJournal(journalDir_.path());
      qm::testing::RefusingJournal refusing(*journal);
      refusing.refuseRecordAt = refuseRecordAt;
      auto host = qm::CreateHostApplication();
      qm::testing::FakePort port;
      port.journal = &refusing;
      port.searchText = QStringLiteral("match");
      port.replacementText = QStringLiteral("DONE");
      qm::RunState state;
      qm::testing::Replace(port, host->Collections()->Item(QString::number(id_))->GetFolder(1),
                           state);
    } catch (const qm::Error& error) {
      const bool refused = refuseRecordAt > 0 && error.source() == QStringLiteral("Test");
      ASSERT_TRUE(vfs_->WasCut() || refused) << error.what();
    }
  }

  void UndoOnce() {
    try {
      auto journal = qm::OpenRunJournal(journalDir_.path());
      qm::testing::FakePort port;
      port.journal = journal.get();
      qm::testing::Undo(port, *qm::CreateHostApplication());
    } catch (const qm::Error& error) {
      ASSERT_TRUE(vfs_->WasCut()) << error.what();
    }
  }

  // A later run over the comments, which the titles' run leaves alone: it
  // makes the titles' run an older one.
  void FillCommentsOnce() {
    auto journal = qm::OpenRunJournal(journalDir_.path());
    auto host = qm::CreateHostApplication();
    qm::testing::FakePort port;
    port.journal = journal.get();
    port.fieldText = QStringLiteral("Comment");
    port.replacementText = QStringLiteral("filled");
    qm::RunState state;
    qm::testing::Replace(port, host->Collections()->Item(QString::number(id_))->GetFolder(1),
                         state);
  }

  // The undo or the redo of the first run, as the history asks for it.
  void UndoOrRedoTheFirstRunOnce(bool redo) {
    try {
      auto journal = qm::OpenRunJournal(journalDir_.path());
      qm::testing::FakePort port;
      port.journal = journal.get();
      const qm::RunChoice first{journal->Runs().back().number, std::nullopt};
      auto host = qm::CreateHostApplication();
      if (redo) {
        qm::RedoRun(port, port, *host, port.language, first);
      } else {
        qm::UndoRun(port, port, *host, port.language, first);
      }
    } catch (const qm::Error& error) {
      ASSERT_TRUE(vfs_->WasCut()) << error.what();
    }
  }

  // What the disk holds after the cut: each document before or after the
  // run, and those after in the journal.
  void ExpectSound(const std::string& where) {
    vfs_->PowerOn();
    std::map<std::int64_t, QString> documents;
    for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
      documents[d.entryId] = d.title;
    }
    ASSERT_EQ(documents.size(), before_.size()) << where;
    std::map<std::int64_t, QString> entries;
    journal_ = qm::OpenRunJournal(journalDir_.path());
    // The latest run over the titles that an undo may still take back.
    std::optional<qm::RunRecord> run;
    for (const qm::RunRecord& kept : journal_->Runs()) {
      if (!run && kept.field == qm::SearchField::Title && !kept.undone && kept.documents > 0) {
        run = kept;
      }
    }
    if (run) {
      EXPECT_NE(run->status, qm::RunStatus::Going) << where;
      for (const auto& entry : journal_->Entries(run->number)) {
        entries[entry.entryId.toLongLong()] = entry.after;
        EXPECT_EQ(entry.before, before_[entry.entryId.toLongLong()]) << where;
      }
    }
    for (const auto& [id, title] : documents) {
      const QString old = before_[id];
      ASSERT_TRUE(title == old || title == After(old)) << where << ": " << title.toStdString();
      if (title != old) {
        EXPECT_EQ(entries[id], title) << where << ": no entry for " << id;
      }
    }
  }

  // Entries of documents the cut left unsaved are passed by: nothing is
  // counted as changed since.
  void ExpectAllBackAfterAnUndo(const std::string& where) {
    // Every run still there, latest first (a later run over the comments
    // among them).
    for (int undos = 0; journal_->LastUndoableRun(); ++undos) {
      ASSERT_LT(undos, 3) << where << ": an undo that leaves its run to undo";
      qm::testing::FakePort port;
      port.journal = journal_.get();
      EXPECT_EQ(qm::testing::Undo(port, *qm::CreateHostApplication()).left, 0) << where;
    }
    journal_.reset();
    for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
      ASSERT_EQ(d.title, before_[d.entryId]) << where;
    }
  }

  // Writes and syncs of an uncut run (or undo), to pick cuts among.
  std::int64_t Count(const std::function<void()>& what) {
    const std::int64_t start = vfs_->Operations();
    what();
    return vfs_->Operations() - start;
  }

  // Cuts `operation` (after `before`, uncut) at random points again and
  // again; after each cut every document is sound and an undo brings all
  // back. An operation's writes vary a little (a run's batches end by time
  // as well): a cut may come after its end, and it is then whole.
  void CutAgainAndAgain(const std::function<void()>& before,
                        const std::function<void()>& operation) {
    Reset();
    before();
    const std::int64_t operations = Count(operation);
    ASSERT_GT(operations, kDocuments);
    int cuts = 0;
    for (int cut = 0; cut < Cuts(); ++cut) {
      Reset();
      before();
      const auto at = std::uniform_int_distribution<std::int64_t>(1, operations)(random_);
      vfs_->CutAt(at, static_cast<std::uint32_t>(random_()));
      operation();
      const std::string where = "cut " + std::to_string(cut) + " at " + std::to_string(at);
      cuts += vfs_->WasCut() ? 1 : 0;
      ExpectSound(where);
      ExpectAllBackAfterAnUndo(where);
      if (HasFatalFailure()) {
        return;
      }
    }
    EXPECT_GE(cuts, Cuts() * 9 / 10);
  }

  std::int32_t id_ = 0;
  QString file_;
  std::map<std::int64_t, QString> before_;
  QTemporaryDir journalDir_;
  QTemporaryDir kept_;
  std::unique_ptr<qm::testing::CrashVfs> vfs_;
  // The journal as the disk holds it after a cut.
  std::unique_ptr<qm::RunJournal> journal_;
  std::uint32_t seed_ = 0;
  std::mt19937 random_;
};

TEST_F(PowerCut, InTheMiddleOfARun) {
  CutAgainAndAgain([] {}, [this] { RunOnce(); });
}

// The third batch's entries cannot be written while the second is saved:
// cuts before, while and after the run fails.
TEST_F(PowerCut, InTheMiddleOfABatchWhoseWriteAheadFailed) {
  CutAgainAndAgain([] {}, [this] { RunOnce(3); });
}

TEST_F(PowerCut, InTheMiddleOfAnUndo) {
  CutAgainAndAgain([this] { RunOnce(); }, [this] { UndoOnce(); });
}

TEST_F(PowerCut, InTheMiddleOfAnUndoOfAnOlderRun) {
  CutAgainAndAgain(
      [this] {
        RunOnce();
        FillCommentsOnce();
      },
      [this] { UndoOrRedoTheFirstRunOnce(false); });
}

TEST_F(PowerCut, InTheMiddleOfARedo) {
  CutAgainAndAgain(
      [this] {
        RunOnce();
        UndoOnce();
      },
      [this] { UndoOrRedoTheFirstRunOnce(true); });
}

}  // namespace
