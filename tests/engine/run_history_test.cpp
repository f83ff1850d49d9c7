// The history of runs over a real stand-in collection and a real journal
// file: any run undone, whole or some of its documents, while later runs
// changed some of the same documents; a redo, also after a host edit, and
// its own undo; and what the history then says of each run and document.
#include <QDateTime>

#include <gtest/gtest.h>

#include "engine/journal/redo_run.h"
#include "engine/journal/run_documents.h"
#include "engine/journal/run_history.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/journal_on_host.h"

namespace {

using qm::HistoryState;
using qm::testing::FakePort;

class RunHistoryTest : public qm::testing::JournalOnHost {
 protected:
  // The journal's runs, latest begun first, as the history shows them.
  std::vector<HistoryState> States() {
    std::vector<HistoryState> states;
    for (const qm::RunRecord& run : journal_->Runs()) {
      states.push_back(qm::StateOf(run));
    }
    return states;
  }

  std::int64_t Latest() { return journal_->Runs().front().number; }

  qm::UndoCounts UndoChosen(FakePort& port, std::int64_t run,
                            std::optional<std::vector<qm::EntryPosition>> only = std::nullopt) {
    return qm::UndoRun(port, port, *app(), port.language, {run, std::move(only)});
  }
  qm::RedoCounts Redo(FakePort& port, std::int64_t run,
                      std::optional<std::vector<qm::EntryPosition>> only = std::nullopt) {
    return qm::RedoRun(port, port, *app(), port.language, {run, std::move(only)});
  }

  // What the look into a run says of each of its documents now.
  std::vector<qm::DocumentState> DocumentStates(std::int64_t run, QStringList* held = nullptr) {
    const std::vector<qm::RecordedEntry> entries = journal_->ReadEntries(run, 0, 1000);
    std::vector<const qm::DocumentEntry*> documents;
    for (const auto& entry : entries) {
      documents.push_back(&entry.document);
    }
    const auto current =
        qm::ReadCurrent(*inner_, *inner_->Connection(), qm::SearchField::Title, documents, true);
    std::vector<qm::DocumentState> states;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      states.push_back(qm::DocumentStateOf(entries[i], current[i], true));
      if (held != nullptr) {
        held->append(qm::DocumentStateText(states.back(), current[i], qm::TextLanguage::English));
      }
    }
    return states;
  }
};

TEST_F(RunHistoryTest, AnOlderRunIsUndoneAroundALaterOneAndRedoneAndThatRedoUndone) {
  const QStringList before = Titles();
  Run(QStringLiteral("e"), QStringLiteral("E"));
  const std::int64_t older = Latest();
  Run(QStringLiteral("news"), QStringLiteral("Blog"));
  const QStringList afterBoth = Titles();
  ASSERT_EQ(afterBoth[1], QStringLiteral("- REport - "));
  ASSERT_EQ(afterBoth[5], QStringLiteral("HEisE onlinE - Blog"));

  FakePort undo = Port();
  const qm::UndoCounts undone = UndoChosen(undo, older);
  EXPECT_EQ(undone.restored, 3);
  EXPECT_EQ(undone.left, 1);
  ASSERT_EQ(undo.questions.size(), 1);
  EXPECT_TRUE(undo.questions[0].startsWith(
      QStringLiteral("Do you want to undo the run of ") +
      qm::RunTime(*journal_->FindRun(older), qm::TextLanguage::English) +
      QStringLiteral("? 3 documents of the collection")))
      << undo.questions[0].toStdString();
  // The later run's change stays; the document it changed is listed with
  // what it holds now.
  QStringList expected = before;
  expected[5] = afterBoth[5];
  EXPECT_EQ(Titles(), expected);
  QStringList held;
  EXPECT_EQ(DocumentStates(older, &held),
            (std::vector{qm::DocumentState::Restored, qm::DocumentState::Restored,
                         qm::DocumentState::ChangedSince, qm::DocumentState::Restored}));
  EXPECT_EQ(held[2], QStringLiteral("Left, changed since: 'HEisE onlinE - Blog'"));
  EXPECT_EQ(States(), (std::vector{HistoryState::Finished, HistoryState::Undone}));
  EXPECT_TRUE(journal_->FindRun(older)->undoneAt.isValid());
  EXPECT_FALSE(qm::CanUndo(*journal_->FindRun(older)));
  EXPECT_TRUE(qm::CanRedo(*journal_->FindRun(older)));

  FakePort redo = Port();
  const qm::RedoCounts redone = Redo(redo, older);
  EXPECT_EQ(redone.redone, 3);
  EXPECT_EQ(redone.left, 0);
  EXPECT_EQ(Titles(), afterBoth);
  const std::vector<qm::RunRecord> runs = journal_->Runs();
  ASSERT_EQ(runs.size(), 3);
  EXPECT_EQ(runs[0].redoOf, older);
  EXPECT_EQ(runs[0].documents, 3);
  EXPECT_EQ(runs[2].redoneBy, runs[0].number);
  EXPECT_EQ(States(),
            (std::vector{HistoryState::Finished, HistoryState::Finished, HistoryState::Redone}));
  EXPECT_FALSE(qm::CanUndo(journal_->Runs().back()));
  EXPECT_EQ(redo.notes.last(),
            QStringLiteral("3 documents redone, 0 left as they were because they changed since."));

  // A redo is a run like any: Ctrl+Z takes it back first, and the run it
  // redid is undone again.
  FakePort last = Port();
  EXPECT_EQ(qm::testing::Undo(last, *app()).restored, 3);
  EXPECT_EQ(Titles(), expected);
  EXPECT_EQ(States(),
            (std::vector{HistoryState::Undone, HistoryState::Finished, HistoryState::Undone}));
}

TEST_F(RunHistoryTest, ChosenDocumentsAloneAndARedoThatFindsAHostEdit) {
  const QStringList before = Titles();
  Run(QStringLiteral("e"), QStringLiteral("E"));
  const std::int64_t run = Latest();
  const std::vector<qm::RecordedEntry> entries = journal_->ReadEntries(run, 0, 10);
  ASSERT_EQ(entries.size(), 4);

  FakePort undo = Port();
  EXPECT_EQ(UndoChosen(undo, run, std::vector{entries[1].position}).restored, 1);
  EXPECT_EQ(Titles()[1], QStringLiteral("- REport - "));
  EXPECT_EQ(Titles()[2], before[2]);
  EXPECT_EQ(States(), std::vector{HistoryState::PartlyUndone});
  EXPECT_TRUE(qm::CanUndo(*journal_->FindRun(run)));
  EXPECT_TRUE(qm::CanRedo(*journal_->FindRun(run)));

  // The user edits the document the undo put back: the redo leaves it.
  auto edited = inner_->GetDocument(entries[1].document.entryId);
  edited->SetTitle(QStringLiteral("mine now"));
  edited->Save();
  FakePort redo = Port();
  const qm::RedoCounts counts = Redo(redo, run);
  EXPECT_EQ(counts.redone, 0);
  EXPECT_TRUE(redo.questions.isEmpty());
  EXPECT_EQ(redo.notes.last(), QStringLiteral("No document of the run of ") +
                                   qm::RunTime(*journal_->FindRun(run), qm::TextLanguage::English) +
                                   QStringLiteral(" holds what its undo put back. Nothing was "
                                                  "changed."));
  EXPECT_EQ(Titles()[2], QStringLiteral("mine now"));
  EXPECT_EQ(journal_->Runs().size(), 1);

  // Ctrl+Z takes back the rest of it, and leaves the edit.
  FakePort rest = Port();
  const qm::UndoCounts last = qm::testing::Undo(rest, *app());
  EXPECT_EQ(last.restored, 3);
  EXPECT_EQ(last.left, 1);
  EXPECT_EQ(Titles()[1], before[1]);
  EXPECT_EQ(States(), std::vector{HistoryState::Undone});
}

// Redoing only some of what an undo took back, with a Cancel: the redo's
// own run holds exactly the documents it saved.
TEST_F(RunHistoryTest, ARedoCancelledHoldsWhatItSavedInItsOwnRun) {
  Run(QStringLiteral("e"), QStringLiteral("E"));
  const std::int64_t run = Latest();
  FakePort undo = Port();
  ASSERT_EQ(UndoChosen(undo, run).restored, 4);
  FakePort redo = Port();
  int saves = 0;
  redo.onPause = [&](int) {
    if (++saves == 2) {
      redo.cancelRequested = true;
    }
  };
  // The Cancel comes while the second document waits its turn: that one is
  // still written, the next ones not.
  const qm::RedoCounts counts = Redo(redo, run);
  EXPECT_EQ(counts.redone, 2);
  EXPECT_EQ(Titles().filter(QStringLiteral("E")).size(), 2);
  const qm::RunRecord redone = journal_->Runs().front();
  EXPECT_EQ(redone.status, qm::RunStatus::Cancelled);
  EXPECT_EQ(redone.documents, 2);
  EXPECT_EQ(journal_->Entries(redone.number).size(), 2);
  EXPECT_EQ(States(), (std::vector{HistoryState::Cancelled, HistoryState::Redone}));
}

TEST(RunHistoryTexts, NameEveryStateInBothLanguages) {
  qm::RunRecord run;
  run.status = qm::RunStatus::Crashed;
  run.documents = 10;
  EXPECT_EQ(qm::StateText(run, nullptr, qm::TextLanguage::English),
            QStringLiteral("Ended by a crash"));
  run.restored = 4;
  EXPECT_EQ(qm::StateText(run, nullptr, qm::TextLanguage::German),
            QString::fromUtf8("Teilweise rückgängig gemacht (4 Dokumente)"));
  run.restored = 10;
  EXPECT_EQ(qm::StateOf(run), HistoryState::Undone);
  run.status = qm::RunStatus::Going;
  run.total = 40;
  EXPECT_EQ(qm::StateText(run, nullptr, qm::TextLanguage::English),
            QStringLiteral("Running in another window: 10 of 40"));
  run.folderName = QStringLiteral("News");
  EXPECT_EQ(qm::FolderText(run, qm::TextLanguage::English), QStringLiteral("News"));
  run.includeSubfolders = true;
  EXPECT_EQ(qm::FolderText(run, qm::TextLanguage::German), QStringLiteral("News mit Unterordnern"));
  run.options.wholeWords = true;
  run.options.pattern = true;
  EXPECT_EQ(qm::OptionsText(run, qm::TextLanguage::English),
            QStringLiteral("Whole words, Use pattern (regular expression)"));
}

}  // namespace
