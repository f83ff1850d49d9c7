// Two windows (two journals on one file, as two programs have) over one
// collection: one changes it at a time, the other is refused with a note
// naming what goes on, and undoing every run, latest first, ends on the
// texts before the first.
#include <QDateTime>

#include <gtest/gtest.h>

#include "engine/journal_on_host.h"

namespace {

using qm::testing::FakePort;

class TwoWindowsTest : public qm::testing::JournalOnHost {
 protected:
  void SetUp() override {
    JournalOnHost::SetUp();
    other_ = qm::OpenRunJournal(journalDir_.path());
    for (int i = 0; i < 4; ++i) {
      AddDocument(a_, QStringLiteral("Foo %1").arg(i));
    }
  }

  // A run of the second window, answered Yes.
  FakePort Second(const char* search, const char* replacement, bool german = false) {
    FakePort port;
    port.journal = other_.get();
    if (german) {
      port.language = qm::TextLanguage::German;
      port.fieldText = QStringLiteral("Titel");
    }
    port.searchText = QString::fromLatin1(search);
    port.replacementText = QString::fromLatin1(replacement);
    qm::RunState state;
    qm::testing::Replace(port, Folder(1), state);
    return port;
  }

  FakePort SecondUndo() {
    FakePort port;
    port.journal = other_.get();
    qm::testing::Undo(port, *app());
    return port;
  }

  std::unique_ptr<qm::RunJournal> other_;
};

TEST_F(TwoWindowsTest, OneWindowChangesACollectionAtATime) {
  const QStringList first = Everything();
  const QString runningNote = QStringLiteral(
      "Another window's run ('Foo' to 'Bar') is changing the collection 'Run 1'. Nothing was "
      "changed.");
  QStringList seen;
  FakePort a = Port();
  a.searchText = QStringLiteral("Foo");
  a.replacementText = QStringLiteral("Bar");
  a.onEvents = [&](int pass) {
    if (pass != 4) {
      return;
    }
    const QStringList during = Everything();
    seen << Second("Bar", "Baz").notes.last() << SecondUndo().notes.last()
         << Second("Bar", "Baz", true).notes.last();
    EXPECT_EQ(Everything(), during);  // the second window changed nothing
  };
  qm::RunState state;
  qm::testing::Replace(a, Folder(1), state);
  EXPECT_EQ(state.updatedCount, 4);
  EXPECT_EQ(seen, (QStringList{runningNote,
                               // The run it would undo is the one going on.
                               "The last run ('Foo' to 'Bar') is still going in another window. "
                               "Nothing was changed.",
                               QString::fromUtf8("Ein anderes Fenster ändert die Sammlung 'Run 1' "
                                                 "('Foo' zu 'Bar'). Es wurde nichts geändert.")}));

  // Once the first has ended the second runs, and while the first window
  // undoes that run, the second can neither run nor undo.
  Second("Bar", "Baz");
  const QStringList second = Everything();
  FakePort undo = Port();
  seen.clear();
  undo.onEvents = [&](int pass) {
    if (pass == 1) {
      seen << Second("Baz", "Qux").notes.last() << SecondUndo().notes.last();
    }
  };
  Undo(undo);
  const QString undoingNote = QStringLiteral(
      "Another window is undoing a run ('Bar' to 'Baz') of the collection 'Run 1'. Nothing was "
      "changed.");
  EXPECT_EQ(seen, (QStringList{undoingNote, undoingNote}));
  EXPECT_NE(Everything(), second);
  // Every run undone, latest first: the texts before the first run.
  SecondUndo();
  EXPECT_EQ(Everything(), first);
  EXPECT_FALSE(journal_->LastUndoableRun().has_value());
}

// Both windows find the collection free before their questions; the one that
// begins second, while the first goes on, is refused and changes nothing.
TEST_F(TwoWindowsTest, TheWindowThatBeginsSecondIsRefused) {
  class BeginsOnYes : public FakePort {
   public:
    std::function<void()> onYes;
    bool ConfirmWithDetails(const QString& title, const QString& question,
                            const QString& details) override {
      onYes();
      return FakePort::ConfirmWithDetails(title, question, details);
    }
  };
  const QStringList before = Everything();
  std::int64_t going = 0;
  BeginsOnYes second;
  second.journal = other_.get();
  second.searchText = QStringLiteral("Foo");
  second.replacementText = QStringLiteral("Baz");
  second.onYes = [&] {
    qm::RunRecord run;
    run.started = QDateTime::currentDateTimeUtc();
    const auto collection = inner_;
    run.collectionId = collection->ID();
    run.collectionName = collection->Name();
    run.collectionIdentity = collection->Identity();
    run.searchText = QStringLiteral("Foo");
    run.replaceText = QStringLiteral("Bar");
    going = journal_->BeginRun(run);
  };
  qm::RunState state;
  qm::testing::Replace(second, Folder(1), state);
  EXPECT_EQ(second.questions.size(), 1);
  EXPECT_TRUE(second.notes.last().startsWith(
      QStringLiteral("Another window's run ('Foo' to 'Bar') is changing the collection")));
  EXPECT_FALSE(second.busy || second.running);
  EXPECT_EQ(Everything(), before);
  journal_->EndRun(going, qm::RunStatus::Finished);
  // No run of the second window was entered.
  EXPECT_FALSE(other_->LastUndoableRun().has_value());
}

}  // namespace
