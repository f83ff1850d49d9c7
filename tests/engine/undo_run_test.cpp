// Undo of a run from the journal, over a real stand-in collection and a real
// journal file: every field back exactly, later edits respected, runs taken
// back one after the other, Cancel, and the bad cases.
#include "engine/journal/undo_run.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "engine/journal/run_journal.h"
#include "engine/journal_on_host.h"
#include "engine/run/replace_run.h"
#include "engine/run/run_preview.h"

namespace {

using qm::testing::FakePort;

using UndoRunTest = qm::testing::JournalOnHost;
using qm::testing::RefusingJournal;
using qm::testing::Shown;

TEST_F(UndoRunTest, RestoresEveryFieldExactlyAfterReplaceRemoveAndFill) {
  struct Case {
    const char* name;
    QString search;
    QString replacement;
    bool remove;
    QString field;
    qlonglong changed;
  };
  const Case cases[] = {
      {"replace, case kept around it", QStringLiteral("abc"), QStringLiteral("X"), false,
       QStringLiteral("Title"), 1},
      {"remove, blanks kept", QStringLiteral("- "), QString(), true, QStringLiteral("Title"), 2},
      {"fill: empty and without a value", QString(), QStringLiteral("none"), false,
       QStringLiteral("Title"), 2},
      {"fill of comments", QString(), QStringLiteral("n/a"), false, QStringLiteral("Comment"), 5},
      {"replace in addresses", QStringLiteral("http://"), QStringLiteral("https://"), false,
       QStringLiteral("Address"), 1},
  };
  for (const Case& c : cases) {
    Populate();
    const QStringList before = Everything();
    FakePort run = Run(c.search, c.replacement, c.remove, c.field);
    ASSERT_NE(Everything(), before) << c.name;

    FakePort undo = Port();
    const qm::UndoCounts counts = Undo(undo);
    EXPECT_EQ(Everything(), before) << c.name;
    EXPECT_EQ(counts.restored, c.changed) << c.name;
    EXPECT_EQ(counts.left, 0) << c.name;
    ASSERT_EQ(undo.questions.size(), 1) << c.name;
    EXPECT_TRUE(undo.questions[0].startsWith(
        QStringLiteral("Do you want to undo the last run? It changed %1 documents of the "
                       "collection 'Run %2' in the %3 field")
            .arg(c.changed)
            .arg(populated_)
            .arg(c.field)))
        << undo.questions[0].toStdString();
    EXPECT_EQ(undo.notes.last(),
              QStringLiteral("%1 documents restored, 0 left as they were because they changed "
                             "since.")
                  .arg(c.changed))
        << c.name;
    // It looks at the documents (wait cursor) before it asks.
    EXPECT_EQ(undo.log, QStringList({"busy", "idle", "confirm Quillmark - Search and Replace",
                                     "busy", "running", "stopped", "idle", "refresh"}))
        << c.name;
  }
}

TEST_F(UndoRunTest, QuestionNamesTheRunInGerman) {
  Run(QStringLiteral("abc"), QStringLiteral("X"));
  FakePort undo = Port();
  undo.language = qm::TextLanguage::German;
  undo.confirmAnswer = false;
  const QStringList after = Everything();
  Undo(undo);
  EXPECT_EQ(undo.questions,
            QStringList{QString::fromUtf8(
                "Möchten Sie den letzten Lauf rückgängig machen? Er hat 1 Dokumente der Sammlung "
                "'Run 1' im Feld 'Titel' geändert und 'abc' durch 'X' ersetzt.")});
  // No: nothing changes, and the run is still there to undo.
  EXPECT_EQ(Everything(), after);
  EXPECT_TRUE(journal_->LastUndoableRun().has_value());
}

TEST_F(UndoRunTest, LeavesAndCountsADocumentEditedSince) {
  Run(QStringLiteral("- "), QString(), true);
  // The user edits one of the two changed titles in the host meanwhile.
  auto edited =
      inner_->GetDocument(QVariant(qlonglong{qm::hostadmin::ListDocuments(id_)[1].entryId}));
  edited->SetTitle(QStringLiteral("Report (edited)"));
  edited->Save();

  FakePort undo = Port();
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.restored, 1);
  EXPECT_EQ(counts.left, 1);
  EXPECT_EQ(Titles()[1], QStringLiteral("Report (edited)"));
  EXPECT_EQ(Titles()[5], QStringLiteral("Heise online - News"));
  EXPECT_EQ(undo.notes.last(),
            QStringLiteral("1 documents restored, 1 left as they were because they changed "
                           "since."));
}

// A field the host has since cleared to no value does not hold the empty
// text a run wrote: it is left, and counted.
TEST_F(UndoRunTest, AFieldClearedSinceIsNotTheEmptyTextTheRunWrote) {
  AddDocument(a_, QStringLiteral("zap"));
  Run(QStringLiteral("zap"), QString(), true);
  ASSERT_EQ(Titles()[8], QString(""));
  auto cleared =
      inner_->GetDocument(QVariant(qlonglong{qm::hostadmin::ListDocuments(id_)[8].entryId}));
  cleared->ClearTitle();
  cleared->Save();
  FakePort undo = Port();
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.restored, 0);
  EXPECT_EQ(counts.left, 1);
  EXPECT_EQ(Titles()[8], QStringLiteral("<null>"));
}

// A run killed after some of its documents were saved leaves entries of
// documents journaled ahead and never saved. Its undo says how many still
// hold what it wrote, waits for none of the others, and a run that left
// nothing to undo is passed by with a note instead of a question.
TEST_F(UndoRunTest, AfterAKillTheQuestionCountsWhatStillHoldsTheRunsText) {
  struct Case {
    const char* name;
    int saved;
    QString says;
  };
  const Case cases[] = {
      {"two of five saved", 2,
       QStringLiteral("Do you want to undo the last run? It did not finish; 2 documents of the "
                      "collection 'Run %1' still hold in the Title field what it wrote, replacing "
                      "'match' with 'done'.")},
      {"none saved", 0,
       QStringLiteral("The last run ('match' to 'done') did not finish, and no document still "
                      "holds what it wrote. Nothing was changed.")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Populate();
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 5; ++i) {
      AddDocument(a_, QStringLiteral("match %1").arg(i));
      ids.push_back(qm::hostadmin::ListDocuments(id_).back().entryId);
    }
    const QStringList before = Everything();
    {
      // The killed program: every entry written ahead, `saved` saved.
      auto killed = qm::OpenRunJournal(journalDir_.path());
      qm::RunRecord run;
      run.started = QDateTime::currentDateTimeUtc();
      run.collectionId = inner_->ID();
      run.collectionName = inner_->Name();
      run.collectionIdentity = inner_->Identity();
      run.searchText = QStringLiteral("match");
      run.replaceText = QStringLiteral("done");
      const std::int64_t number = killed->BeginRun(run);
      std::vector<qm::DocumentEntry> entries;
      for (int i = 0; i < 5; ++i) {
        entries.push_back({QVariant(qlonglong{ids[static_cast<std::size_t>(i)]}),
                           QStringLiteral("match %1").arg(i), QStringLiteral("done %1").arg(i)});
      }
      killed->RecordEntries(number, entries);
      for (int i = 0; i < c.saved; ++i) {
        auto document = inner_->GetDocument(entries[static_cast<std::size_t>(i)].entryId);
        document->SetTitle(entries[static_cast<std::size_t>(i)].after);
        document->Save();
      }
    }  // gone without ending the run, as a kill leaves it
    FakePort undo = Port();
    const qm::UndoCounts counts = Undo(undo);
    EXPECT_EQ(counts.restored, c.saved);
    EXPECT_EQ(Everything(), before);
    if (c.saved > 0) {
      EXPECT_EQ(undo.questions, QStringList{c.says.arg(populated_)});
      EXPECT_EQ(undo.notes.first(), QStringLiteral("Looking at the documents of the run..."));
      // Only the documents to restore are waited for.
      EXPECT_EQ(undo.pauses, c.saved);
    } else {
      EXPECT_TRUE(undo.questions.isEmpty());
      EXPECT_EQ(undo.notes.last(), c.says);
    }
    EXPECT_FALSE(journal_->LastUndoableRun().has_value());
  }
}

TEST_F(UndoRunTest, SecondUndoReachesTheRunBeforeThenNothingIsLeft) {
  const QStringList original = Everything();
  Run(QStringLiteral("abc"), QStringLiteral("X"));
  const QStringList afterFirst = Everything();
  Run(QStringLiteral("x"), QStringLiteral("yy"));

  FakePort undo = Port();
  Undo(undo);
  EXPECT_EQ(Everything(), afterFirst);
  undo = Port();
  Undo(undo);
  EXPECT_EQ(Everything(), original);
  undo = Port();
  const qm::UndoCounts none = Undo(undo);
  EXPECT_EQ(none.restored + none.left, 0);
  EXPECT_TRUE(undo.questions.isEmpty());
  EXPECT_EQ(undo.notes, QStringList{QStringLiteral("There is no run to undo.")});
}

TEST_F(UndoRunTest, WorksFromTheJournalFileAfterARestart) {
  const QStringList before = Everything();
  Run(QStringLiteral("- "), QString(), true);
  journal_.reset();  // the program closes
  journal_ = qm::OpenRunJournal(journalDir_.path());
  FakePort undo = Port();
  EXPECT_EQ(Undo(undo).restored, 2);
  EXPECT_EQ(Everything(), before);
}

TEST_F(UndoRunTest, CancelStopsAfterTheCurrentDocumentAndAskingAgainFinishes) {
  for (int i = 0; i < 5; ++i) {
    AddDocument(a_, QStringLiteral("match %1").arg(i));
  }
  const QStringList before = Everything();
  Run(QStringLiteral("match"), QStringLiteral("done"));

  FakePort undo = Port();
  // Passes 1 and 2 belong to the first document restored; a click handled
  // in pass 3 (the second document) lets that one finish.
  undo.onEvents = [&undo](int pass) {
    if (pass == 3) {
      undo.cancelRequested = true;
    }
  };
  EXPECT_EQ(Undo(undo).restored, 2);
  EXPECT_FALSE(undo.running || undo.busy);
  EXPECT_EQ(Titles().mid(8), QStringList({"done 0", "done 1", "done 2", "match 3", "match 4"}));
  EXPECT_TRUE(undo.log.endsWith(QStringLiteral("refresh")));

  // The rest is still offered; the restored ones count neither way.
  FakePort again = Port();
  const qm::UndoCounts rest = Undo(again);
  EXPECT_EQ(rest.restored, 3);
  EXPECT_EQ(rest.left, 0);
  EXPECT_EQ(Everything(), before);
}

TEST_F(UndoRunTest, CollectionThatNoLongerExistsChangesNothing) {
  Run(QStringLiteral("abc"), QStringLiteral("X"));
  const std::int32_t gone = id_;
  Populate();  // another collection, untouched by the run
  const QStringList other = Everything();
  inner_.reset();
  collection_.reset();
  qm::hostadmin::RemoveCollection(gone);

  FakePort undo = Port();
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.restored + counts.left, 0);
  EXPECT_TRUE(undo.questions.isEmpty());
  EXPECT_EQ(undo.notes, QStringList{QStringLiteral(
                            "The collection 'Run 1' of the last run no longer exists. Nothing was "
                            "changed.")});
  EXPECT_EQ(Everything(), other);
  EXPECT_TRUE(journal_->LastUndoableRun().has_value());
}

// Whatever the host answers for a document it cannot give back (deleted,
// or an EntryID it refuses), the undo leaves it, counts it and goes on.
TEST_F(UndoRunTest, DocumentTheHostCannotGiveBackIsLeftAndCounted) {
  Run(QStringLiteral("- "), QString(), true);
  const auto run = journal_->LastUndoableRun();
  ASSERT_TRUE(run.has_value());
  journal_->RecordEntries(run->number, {{QVariant(QStringLiteral("not an EntryID")),
                                         QStringLiteral("x"), QStringLiteral("y")}});
  const std::int64_t first = qm::hostadmin::ListDocuments(id_)[1].entryId;
  qm::testing::ExecuteBehindTheHost(
      File(), QStringLiteral("DELETE FROM Document WHERE EntryID = %1").arg(first));

  FakePort undo = Port();
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.restored, 1);
  EXPECT_EQ(counts.left, 2);
  EXPECT_EQ(Titles()[4], QStringLiteral("Heise online - News"));
  EXPECT_FALSE(journal_->LastUndoableRun().has_value());
}

// A journal of a newer version is neither run into nor undone from: the
// notes line says so, in the user's language, and nothing changes.
TEST_F(UndoRunTest, JournalOfANewerVersionRefusesRunAndUndo) {
  class NewerJournal : public FakePort {
   public:
    qm::RunJournal* Journal() override { throw qm::JournalTooNew(QStringLiteral("journal")); }
  };
  const QStringList before = Everything();
  NewerJournal run;
  run.language = qm::TextLanguage::German;
  run.fieldText = QStringLiteral("Titel");
  run.searchText = QStringLiteral("abc");
  run.replacementText = QStringLiteral("X");
  qm::RunState state;
  qm::testing::Replace(run, Folder(1), state);
  EXPECT_EQ(run.notes.last(), QString::fromUtf8("Das Protokoll der Läufe stammt von einer neueren "
                                                "Programmversion. Es wurde nichts geändert."));
  EXPECT_FALSE(run.log.contains(QStringLiteral("refresh")));
  NewerJournal undo;
  EXPECT_EQ(Undo(undo).restored, 0);
  EXPECT_EQ(undo.notes, QStringList{QStringLiteral("The journal of runs is from a newer version "
                                                   "of this program. Nothing was changed.")});
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(collection_->saves, 0);
}

TEST_F(UndoRunTest, JournalThatCannotBeWrittenStopsTheRunBeforeItsFirstDocument) {
  const QStringList before = Everything();
  RefusingJournal refusing(*journal_);
  refusing.refuseBegin = true;
  FakePort port = Port();
  port.journal = &refusing;
  port.searchText = QStringLiteral("abc");
  port.replacementText = QStringLiteral("X");
  qm::RunState state;
  EXPECT_QM_ERROR(qm::testing::Replace(port, Folder(1), state), qm::kJournalError, "Test",
                  "read-only");
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(collection_->saves, 0);
  EXPECT_FALSE(port.busy || port.running);
}

// What is saved is in the journal: a refused batch keeps its documents
// unsaved, and undo takes back exactly the ones saved before.
TEST_F(UndoRunTest, RefusedBatchLeavesItsDocumentsUnsaved) {
  for (int i = 0; i < 4; ++i) {
    AddDocument(a_, QStringLiteral("match %1").arg(i));
  }
  const QStringList before = Everything();
  RefusingJournal refusing(*journal_);
  refusing.refuseRecordAt = 2;  // the second batch: the second and third document
  FakePort port = Port();
  port.journal = &refusing;
  port.searchText = QStringLiteral("match");
  port.replacementText = QStringLiteral("done");
  port.includeSubfolders = false;
  qm::RunState state;
  EXPECT_QM_ERROR(qm::testing::Replace(port, Folder(a_), state), qm::kJournalError, "Test",
                  "disk full");
  EXPECT_EQ(state.updatedCount, 1);
  EXPECT_EQ(Titles().mid(8), QStringList({"done 0", "match 1", "match 2", "match 3"}));
  EXPECT_EQ(journal_->LastUndoableRun()->status, qm::RunStatus::Failed);

  FakePort undo = Port();
  EXPECT_EQ(Undo(undo).restored, 1);
  EXPECT_EQ(Everything(), before);
}

// Batches are journaled ahead of their saves. A cancel or a failure in the
// middle of one takes back the entries of the documents it leaves unsaved
// (the failing one's stays, whether its save got through or not): the run
// claims what it saved, and its undo restores exactly that.
TEST_F(UndoRunTest, BatchCutByACancelOrAFailureKeepsTheEntriesOfWhatWasSaved) {
  struct Case {
    const char* name;
    int cancelAtPass;  // 0: none
    int failAtSave;    // 0: none
    int entries;
  };
  // Batches of 1, 2, 4 and 5 documents. Passes: 1 before the question, two
  // per document saved; 10 is the fifth document's first, so the fifth is
  // the last saved, in the middle of the third batch.
  const Case cases[] = {{"cancel", 10, 0, 5}, {"failure", 0, 6, 6}};
  for (const Case& c : cases) {
    Populate();
    for (int i = 0; i < 12; ++i) {
      AddDocument(a_, QStringLiteral("match %1").arg(i));
    }
    const QStringList before = Everything();
    FakePort port = Port();
    port.searchText = QStringLiteral("match");
    port.replacementText = QStringLiteral("done");
    port.includeSubfolders = false;
    port.onEvents = [&port, &c](int pass) {
      if (pass == c.cancelAtPass) {
        port.cancelRequested = true;
      }
    };
    collection_->failAtSave = c.failAtSave;
    qm::RunState state;
    try {
      qm::testing::Replace(port, Folder(a_), state);
    } catch (const qm::Error& error) {
      EXPECT_EQ(error.number(), qm::testing::kInjectedFailure) << c.name;
    }
    EXPECT_EQ(state.updatedCount, 5) << c.name;
    const auto run = journal_->LastUndoableRun();
    ASSERT_TRUE(run.has_value()) << c.name;
    EXPECT_EQ(run->documents, c.entries) << c.name;
    EXPECT_EQ(run->status, c.cancelAtPass != 0 ? qm::RunStatus::Cancelled : qm::RunStatus::Failed)
        << c.name;

    FakePort undo = Port();
    const qm::UndoCounts counts = Undo(undo);
    EXPECT_EQ(counts.restored, 5) << c.name;
    EXPECT_EQ(counts.left, 0) << c.name;
    EXPECT_EQ(Everything(), before) << c.name;
  }
}

// Between a batch's entries and a document's save the host may change the
// field: the entry follows it, so that the undo restores what the document
// held right before the run saved it.
TEST_F(UndoRunTest, DocumentChangedBeforeItsSaveIsJournaledAgain) {
  std::vector<std::int64_t> ids;
  for (int i = 0; i < 5; ++i) {
    AddDocument(a_, QStringLiteral("match %1").arg(i));
  }
  for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
    ids.push_back(d.entryId);
  }
  const auto edit = [this, &ids](int index, const QString& title) {
    const qlonglong id = ids[static_cast<std::size_t>(8 + index)];
    auto document = inner_->GetDocument(QVariant(id));
    document->SetTitle(title);
    document->Save();
  };
  FakePort port = Port();
  port.searchText = QStringLiteral("match");
  port.replacementText = QStringLiteral("done");
  port.includeSubfolders = false;
  // Pass 4 is the second document's first: its batch (the second and third
  // document) is in the journal, neither is saved.
  port.onEvents = [&edit](int pass) {
    if (pass == 4) {
      edit(1, QStringLiteral("nothing left"));
      edit(2, QStringLiteral("Match 2 typed"));
    }
  };
  qm::RunState state;
  qm::testing::Replace(port, Folder(a_), state);
  EXPECT_EQ(state.updatedCount, 4);
  EXPECT_EQ(Titles().mid(8),
            QStringList({"done 0", "nothing left", "done 2 typed", "done 3", "done 4"}));

  FakePort undo = Port();
  const qm::UndoCounts counts = Undo(undo);
  EXPECT_EQ(counts.restored, 4);
  EXPECT_EQ(counts.left, 0);
  EXPECT_EQ(Titles().mid(8),
            QStringList({"match 0", "nothing left", "Match 2 typed", "match 3", "match 4"}));
}

// Two windows' runs at once: the one that saved last is undone first, not
// the one begun last.
TEST_F(UndoRunTest, RunsOfTwoWindowsAreUndoneLatestSavedFirst) {
  for (int i = 0; i < 6; ++i) {
    AddDocument(a_, QStringLiteral("first %1").arg(i));
  }
  const std::shared_ptr<qm::HostFolder> firstFolder = Folder(a_);
  Populate();
  const std::shared_ptr<qm::HostFolder> secondFolder = Folder(1);
  auto otherJournal = qm::OpenRunJournal(journalDir_.path());
  FakePort first = Port();
  first.searchText = QStringLiteral("first");
  first.replacementText = QStringLiteral("1st");
  first.includeSubfolders = false;
  // In the middle of the first window's run, the second window runs one
  // from start to end.
  first.onEvents = [&](int pass) {
    if (pass == 4) {
      FakePort second;
      second.journal = otherJournal.get();
      second.searchText = QStringLiteral("abc");
      second.replacementText = QStringLiteral("X");
      qm::RunState state;
      qm::testing::Replace(second, secondFolder, state);
      ASSERT_EQ(state.updatedCount, 1);
    }
  };
  qm::RunState state;
  qm::testing::Replace(first, firstFolder, state);
  ASSERT_EQ(state.updatedCount, 6);

  FakePort undo = Port();
  EXPECT_EQ(Undo(undo).restored, 6);
  ASSERT_EQ(undo.questions.size(), 1);
  EXPECT_TRUE(undo.questions[0].contains(QStringLiteral("collection 'Run %1'").arg(1)))
      << undo.questions[0].toStdString();
  undo = Port();
  EXPECT_EQ(Undo(undo).restored, 1);
  EXPECT_TRUE(undo.questions[0].contains(QStringLiteral("collection 'Run %1'").arg(2)));
}

// The journal names a run's collection by more than its ID: a collection
// that took over the ID is not written into.
TEST_F(UndoRunTest, CollectionThatIsNoLongerTheSameIsRefused) {
  struct Case {
    const char* name;
    bool otherEdition;
  };
  QTemporaryDir german;
  for (const Case c : {Case{"deleted and made again", false}, Case{"the other edition", true}}) {
    Populate();
    const std::int32_t ran = c.otherEdition ? defaultId() : id_;
    qm::hostadmin::AddDocuments(ran, {{400, QStringLiteral("abc in default"), {}, {}}});
    FakePort port = Port();
    port.searchText = QStringLiteral("abc");
    port.replacementText = QStringLiteral("X");
    qm::RunState state;
    qm::testing::Replace(port, app()->Collections()->Item(QString::number(ran))->GetFolder(1),
                         state);
    ASSERT_GT(state.updatedCount, 0) << c.name;
    // A collection under the same ID, holding just what the run wrote.
    const auto written = qm::hostadmin::ListDocuments(ran);
    std::int32_t now = 0;
    if (c.otherEdition) {
      qm::hostadmin::InstallHost(qm::hostadmin::HostEdition::German, german.path());
      now = qm::hostadmin::ListCollections().front().id;
    } else {
      const QString file = File();
      qm::hostadmin::RemoveCollection(ran);
      inner_.reset();
      collection_.reset();
      ForgetHost();
      for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile::remove(file + QLatin1String(suffix));
      }
      now = qm::hostadmin::CreateCollection(QStringLiteral("Run %1").arg(populated_), false);
    }
    ASSERT_EQ(now, ran) << c.name;
    std::vector<qm::hostadmin::NewDocument> copies;
    for (const auto& d : written) {
      copies.push_back(
          {d.folderId == 1 || d.folderId == 400 ? d.folderId : 400, d.title, d.comment, d.url});
    }
    qm::hostadmin::AddDocuments(now, copies);
    const auto listed = [now] {
      QStringList titles;
      for (const auto& d : qm::hostadmin::ListDocuments(now)) {
        titles.append(d.title);
      }
      return titles;
    };
    const QStringList held = listed();

    FakePort undo = Port();
    const qm::UndoCounts counts = qm::testing::Undo(undo, *qm::CreateHostApplication());
    EXPECT_EQ(counts.restored + counts.left, 0) << c.name;
    EXPECT_TRUE(undo.questions.isEmpty()) << c.name;
    const QString name =
        c.otherEdition ? QStringLiteral("Default") : QStringLiteral("Run %1").arg(populated_);
    EXPECT_EQ(undo.notes.last(),
              QStringLiteral("The collection '%1' is no longer the one the last run changed. "
                             "Nothing was changed.")
                  .arg(name))
        << c.name;
    EXPECT_EQ(listed(), held) << c.name;
  }
}

TEST_F(UndoRunTest, PreviewListsTitlesBeforeAndAfterWithoutWriting) {
  struct Case {
    const char* name;
    QString search;
    QString replacement;
    bool remove;
    QString preview;
  };
  const Case cases[] = {
      {"replace", QStringLiteral("abc"), QStringLiteral("X"), false,
       "ABC abc aBc: 'ABC abc aBc' becomes 'X X X'"},
      {"remove", QStringLiteral("- "), QStringLiteral("ignored"), true,
       "- Report - : '- Report - ' becomes 'Report '\n"
       "Heise online - News: 'Heise online - News' becomes 'Heise online News'"},
      {"fill", QString(), QStringLiteral("none"), false,
       ": '' becomes 'none'\n: '' becomes 'none'"},
      {"selected by a wildcard only", QStringLiteral("100%"), QStringLiteral("X"), false,
       "100 percent: '100 percent' stays as it is"},
  };
  for (const Case& c : cases) {
    Populate();
    const QStringList before = Everything();
    FakePort port = Port();
    port.searchText = c.search;
    port.replacementText = c.replacement;
    port.removeMode = c.remove;
    port.confirmAnswer = false;
    qm::RunState state;
    qm::testing::Replace(port, Folder(1), state);
    EXPECT_EQ(port.details, QStringList{c.preview}) << c.name;
    EXPECT_EQ(Everything(), before) << c.name;
    EXPECT_EQ(collection_->saves, 0) << c.name;
  }
}

TEST_F(UndoRunTest, PreviewListsTheFirst200InRunOrderThenSaysHowManyAreNot) {
  std::vector<qm::hostadmin::NewDocument> many;
  for (int i = 0; i < 203; ++i) {
    many.push_back({a_, QStringLiteral("many %1").arg(i, 3, 10, QLatin1Char('0')), {}, {}});
  }
  qm::hostadmin::AddDocuments(id_, many);
  FakePort port = Port();
  port.searchText = QStringLiteral("many");
  port.replacementText = QStringLiteral("few");
  port.includeSubfolders = false;
  port.confirmAnswer = false;
  qm::RunState state;
  qm::testing::Replace(port, Folder(a_), state);
  ASSERT_EQ(port.details.size(), 1);
  const QStringList lines = port.details[0].split('\n');
  ASSERT_EQ(lines.size(), qm::kPreviewDocuments + 1);
  EXPECT_EQ(lines[0], QStringLiteral("many 000: 'many 000' becomes 'few 000'"));
  EXPECT_EQ(lines[199], QStringLiteral("many 199: 'many 199' becomes 'few 199'"));
  EXPECT_EQ(lines[200], QStringLiteral("3 more documents are not listed."));
}

}  // namespace
