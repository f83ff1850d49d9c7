// The batched rewrite at its edges, over a real stand-in collection and a
// real journal: a journal write ahead that fails, edits made while a
// document is in hand, and documents deleted while the run goes on. Each
// ends with the undo, which shows what the journal holds.
#include "engine/run/rewrite_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "engine/journal_on_host.h"

namespace {

using qm::testing::FakePort;
using qm::testing::RefusingJournal;

class RewriteDocumentTest : public qm::testing::JournalOnHost {
 protected:
  // Eight documents "match 0" to "match 7" in folder A, which the run
  // takes in batches of 1, 2, 4 and 1: event passes are 1 before the
  // question, then two per document it writes (the fourth document's
  // first is pass 8).
  void SetUp() override {
    JournalOnHost::SetUp();
    for (int i = 0; i < 8; ++i) {
      AddDocument(a_, QStringLiteral("match %1").arg(i));
    }
    for (const auto& d : qm::hostadmin::ListDocuments(id_, a_)) {
      if (d.title.startsWith(QStringLiteral("match"))) {
        ids_.push_back(d.entryId);
      }
    }
  }

  FakePort MatchPort(qm::RunJournal* journal) {
    FakePort port = Port();
    port.journal = journal;
    port.searchText = QStringLiteral("match");
    port.replacementText = QStringLiteral("done");
    port.includeSubfolders = false;
    return port;
  }

  // Titles of the eight documents (of those that still exist), in order.
  QStringList TitlesOfA() {
    QStringList titles;
    for (const auto& d : qm::hostadmin::ListDocuments(id_, a_)) {
      if (std::find(ids_.begin(), ids_.end(), d.entryId) != ids_.end()) {
        titles.append(qm::testing::Shown(d.title));
      }
    }
    return titles;
  }

  void Retitle(int index, const char* title) {
    auto document = inner_->GetDocument(QVariant(qlonglong{ids_[static_cast<std::size_t>(index)]}));
    document->SetTitle(QString::fromUtf8(title));
    document->Save();
  }

  void Delete(int index) {
    qm::testing::ExecuteBehindTheHost(File(),
                                      QStringLiteral("DELETE FROM Document WHERE EntryID = %1")
                                          .arg(ids_[static_cast<std::size_t>(index)]));
  }

  std::vector<std::int64_t> ids_;
};

// The third batch's entries (documents 3 to 6) cannot be written while the
// second batch is saved. Whatever comes next (a Cancel, an edit before a
// Save, a journal that cannot take entries back either), the run ends as a
// failure the window reports, every saved document is in the journal, and
// the window is usable again.
TEST_F(RewriteDocumentTest, AWriteAheadThatFailsEndsTheRunAndKeepsWhatWasSaved) {
  struct Case {
    const char* name;
    bool cancel;        // in the second document's first event pass
    bool editTheThird;  // in that pass, still holding the search text
    bool refuseForget;
    const char* says;
    QStringList titles;
  };
  const QStringList rest{"match 3", "match 4", "match 5", "match 6", "match 7"};
  const Case cases[] = {
      {"a Cancel", true, false, false, "disk full",
       QStringList{"done 0", "done 1", "match 2"} + rest},
      {"an edit before a Save", false, true, false, "disk full",
       QStringList{"done 0", "done 1", "done 2 edited"} + rest},
      {"a Cancel with a journal that cannot forget", true, false, true, "cannot forget",
       QStringList{"done 0", "done 1", "match 2"} + rest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QStringList before = Everything();
    RefusingJournal refusing(*journal_);
    refusing.refuseRecordAt = 3;
    refusing.refuseForget = c.refuseForget;
    FakePort port = MatchPort(&refusing);
    port.onEvents = [&](int pass) {
      if (pass != 4) {
        return;
      }
      port.cancelRequested = c.cancel;
      if (c.editTheThird) {
        Retitle(2, "match 2 edited");
      }
    };
    qm::RunState state;
    EXPECT_QM_ERROR(qm::testing::Replace(port, Folder(a_), state), qm::kJournalError, "Test",
                    c.says);
    EXPECT_EQ(TitlesOfA(), c.titles);
    EXPECT_FALSE(port.busy || port.running);
    EXPECT_EQ(port.notes.last(), QStringLiteral("%1 documents updated!").arg(state.updatedCount));
    EXPECT_EQ(journal_->LastUndoableRun()->status, qm::RunStatus::Failed);

    FakePort undo = Port();
    const qm::UndoCounts counts = Undo(undo);
    EXPECT_EQ(counts.restored, state.updatedCount);
    EXPECT_EQ(counts.left, 0);
    // The edit made before its Save is what the undo brings back.
    QStringList restored = before;
    if (c.editTheThird) {
      restored[8 + 2] = QStringLiteral("match 2 edited|<null>|<null>");
    }
    EXPECT_EQ(Everything(), restored);
    Retitle(2, "match 2");
  }
}

// Between the moment a document is in hand and its Save the window lets
// events run and the run pauses; the host's user (or another user of the
// collection) may save an edit right then. The run writes what it computes
// from that edit, or leaves the document when the edit took the search text
// away, and the undo brings the edit back, never the value before it.
TEST_F(RewriteDocumentTest, AnEditInTheSaveWindowIsNeverOverwritten) {
  struct Case {
    const char* name;
    bool inThePause;  // otherwise in the event pass after it
    const char* edit;
    const char* written;
  };
  const Case cases[] = {
      {"in the pause, still matching", true, "Match 2 edited", "done 2 edited"},
      {"in the pause, no longer matching", true, "renamed", "renamed"},
      {"in the last event pass, still matching", false, "Match 2 edited", "done 2 edited"},
      {"in the last event pass, no longer matching", false, "renamed", "renamed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QStringList before = TitlesOfA();
    FakePort port = MatchPort(journal_.get());
    // The third document is the third paused for; its last event pass
    // before the Save is pass 7.
    port.onPause = [&](int pause) {
      if (c.inThePause && pause == 3) {
        Retitle(2, c.edit);
      }
    };
    port.onEvents = [&](int pass) {
      if (!c.inThePause && pass == 7) {
        Retitle(2, c.edit);
      }
    };
    qm::RunState state;
    qm::testing::Replace(port, Folder(a_), state);
    EXPECT_EQ(TitlesOfA()[2], QString::fromUtf8(c.written));

    FakePort undo = Port();
    Undo(undo);
    QStringList expected = before;
    expected[2] = QString::fromUtf8(c.edit);
    EXPECT_EQ(TitlesOfA(), expected);
    Retitle(2, "match 2");
  }

  // Undo has the same window around its own Save: an edit made in its last
  // event pass before the Save is left, and counted.
  Run(QStringLiteral("match"), QStringLiteral("done"));
  FakePort undo = Port();
  // Latest first: the document restored first is the last one, its passes
  // are 1 and 2.
  undo.onEvents = [&](int pass) {
    if (pass == 2) {
      Retitle(7, "typed during the undo");
    }
  };
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.left, 1);
  EXPECT_EQ(TitlesOfA()[7], QStringLiteral("typed during the undo"));
}

// A document that no longer matched when its batch was read, and matches
// again by the time the run comes to it, is journaled before it is saved.
TEST_F(RewriteDocumentTest, ADocumentThatMatchesAgainIsJournaledBeforeItsSave) {
  FakePort port = MatchPort(journal_.get());
  port.onEvents = [&](int pass) {
    if (pass == 1) {  // before the question: the snapshot holds it
      Retitle(2, "nothing");
    } else if (pass == 4) {  // its batch was read meanwhile
      Retitle(2, "match 2 again");
    }
  };
  qm::RunState state;
  qm::testing::Replace(port, Folder(a_), state);
  EXPECT_EQ(TitlesOfA()[2], QStringLiteral("done 2 again"));
  EXPECT_EQ(state.updatedCount, 8);
  FakePort undo = Port();
  EXPECT_EQ(Undo(undo).restored, 8);
  EXPECT_EQ(TitlesOfA()[2], QStringLiteral("match 2 again"));
}

// Documents deleted in the host while the run goes on, before their batch is
// read, after it, or in the save window, are left and counted; the run saves
// the others and says how many it left out.
TEST_F(RewriteDocumentTest, DocumentsDeletedDuringTheRunAreLeftAndCounted) {
  FakePort port = MatchPort(journal_.get());
  port.onEvents = [&](int pass) {
    if (pass == 2) {
      Delete(3);  // its batch is read later
    } else if (pass == 4) {
      Delete(2);  // in the batch in hand
    }
  };
  port.onPause = [&](int pause) {
    if (pause == 4) {  // the fifth document: the fourth was never paused for
      Delete(4);
    }
  };
  qm::RunState state;
  qm::testing::Replace(port, Folder(a_), state);
  EXPECT_EQ(TitlesOfA(), (QStringList{"done 0", "done 1", "done 5", "done 6", "done 7"}));
  EXPECT_EQ(state.updatedCount, 5);
  EXPECT_EQ(state.goneCount, 3);
  EXPECT_EQ(port.notes.last(),
            QStringLiteral("5 documents updated! 3 no longer existed and were left out."));
  EXPECT_EQ(journal_->LastUndoableRun()->documents, 5);
}

}  // namespace
