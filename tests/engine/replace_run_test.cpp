#include "engine/run/replace_run.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "engine/engine_on_host.h"
#include "host/lib/host_errors.h"

namespace {

using ReplaceRunTest = qm::testing::EngineOnHost;
const QString kNull = QStringLiteral("<null>");

QStringList Strings(std::initializer_list<const char*> texts) {
  QStringList list;
  for (const char* t : texts) {
    list.append(QString::fromUtf8(t));
  }
  return list;
}

// The titles Populate() leaves, with those at the given places changed.
QStringList PopulatedTitlesWith(std::initializer_list<std::pair<int, const char*>> changed) {
  QStringList titles = Strings({"ABC abc aBc", "- Report - ", "nothing here", "", "<null>",
                                "Heise online - News", "100 percent", "in the root abc"});
  for (const auto& [place, title] : changed) {
    titles[place] = QString::fromUtf8(title);
  }
  return titles;
}

TEST_F(ReplaceRunTest, ReplacesRemovesAndFills) {
  struct Case {
    const char* name;
    QString search;
    bool remove;
    QString replacement;
    QString question;
    QStringList titles;
    QString note;
  };
  const Case cases[] = {
      {"replace", QStringLiteral("abc"), false, QStringLiteral("X"),
       QStringLiteral("1 documents contain the string 'abc' in the Title field. Are you sure you "
                      "want to replace these occurrences with 'X'?"),
       PopulatedTitlesWith({{0, "X X X"}}), QStringLiteral("1 documents updated!")},
      {"remove ignores the replacement box", QStringLiteral("- "), true, QStringLiteral("unused"),
       QStringLiteral("2 documents contain the string '- ' in the Title field. Are you sure you "
                      "want to remove these occurrences of the string?"),
       PopulatedTitlesWith({{1, "Report "}, {5, "Heise online News"}}),
       QStringLiteral("2 documents updated!")},
      {"replace with nothing", QStringLiteral("HEISE online - "), false, QString(),
       QStringLiteral("1 documents contain the string 'HEISE online - ' in the Title field. Are "
                      "you sure you want to replace these occurrences with ''?"),
       PopulatedTitlesWith({{5, "News"}}), QStringLiteral("1 documents updated!")},
      {"fill", QString(), false, QStringLiteral("none"),
       QStringLiteral("2 documents contain the string '' in the Title field. Are you sure you "
                      "want to replace these occurrences with 'none'?"),
       PopulatedTitlesWith({{3, "none"}, {4, "none"}}), QStringLiteral("2 documents updated!")},
      // The wildcard selects a document the rewrite then leaves alone.
      {"selected but not changed", QStringLiteral("100%"), false, QStringLiteral("X"),
       QStringLiteral("1 documents contain the string '100%' in the Title field. Are you sure "
                      "you want to replace these occurrences with 'X'?"),
       PopulatedTitlesWith({}), QStringLiteral("No documents found!")},
  };
  for (const auto& c : cases) {
    Populate();
    port_.searchText = c.search;
    port_.removeMode = c.remove;
    port_.replacementText = c.replacement;
    qm::testing::Replace(port_, Folder(1), state_);
    EXPECT_EQ(port_.questions, QStringList{c.question}) << c.name;
    EXPECT_EQ(Titles(), c.titles) << c.name;
    EXPECT_EQ(port_.notes.last(), c.note) << c.name;
    EXPECT_EQ(port_.log, Strings({"save history", "confirm Quillmark - Search and Replace", "busy",
                                  "running", "stopped", "idle", "refresh"}))
        << c.name;
    EXPECT_FALSE(port_.busy || port_.running) << c.name;
    // The host is asked to show the documents once the note tells of them.
    EXPECT_EQ(port_.notesAtRefresh, QStringList{c.note}) << c.name;
    port_ = qm::testing::FakePort();
    state_ = qm::RunState();
  }
}

TEST_F(ReplaceRunTest, EachDocumentShowsItsTitleThenEmptyNotes) {
  const std::int32_t c = qm::hostadmin::AddFolder(id_, 1, QStringLiteral("C"), 0);
  AddDocument(c, QStringLiteral("a_c first"));
  AddDocument(c, QStringLiteral("abc second"));  // selected by the wildcard only
  port_.searchText = QStringLiteral("a_c");
  port_.replacementText = QStringLiteral("X");
  qm::testing::Replace(port_, Folder(c), state_);
  EXPECT_EQ(port_.notes,
            Strings({"a_c first", "X first", "", "abc second", "", "1 documents updated!"}));
  EXPECT_EQ(state_.updatedCount, 1);
  EXPECT_EQ(state_.searchText, QStringLiteral("a_c"));
  EXPECT_EQ(state_.replaceText, QStringLiteral("X"));
  EXPECT_EQ(state_.fieldIndex, qm::SearchField::Title);
  EXPECT_EQ(port_.pauses, 2);
  EXPECT_EQ(port_.lastPauseMs, 5);
  // One before the question, one per document, one more per changed one.
  EXPECT_EQ(port_.eventPasses, 4);
  EXPECT_EQ(collection_->saves, 1);
}

TEST_F(ReplaceRunTest, GermanQuestionAndNote) {
  port_.language = qm::TextLanguage::German;
  port_.fieldText = QStringLiteral("Titel");
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(port_.questions,
            QStringList{QString::fromUtf8("1 Dokumente enthalten die Zeichenkette 'abc' im Feld "
                                          "'Titel'. Möchten Sie diese Vorkommnisse mit 'X' "
                                          "ersetzen?")});
  EXPECT_TRUE(port_.log.contains(QStringLiteral("confirm Quillmarke - Suchen und Ersetzen")));
  EXPECT_EQ(port_.notes.last(), QStringLiteral("1 Dokumente aktualisiert!"));

  port_ = qm::testing::FakePort();
  port_.language = qm::TextLanguage::German;
  port_.fieldText = QStringLiteral("Kommentar");
  port_.searchText = QStringLiteral("c4");
  port_.removeMode = true;
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(port_.questions,
            QStringList{QString::fromUtf8("1 Dokumente enthalten die Zeichenkette 'c4' im Feld "
                                          "'Kommentar'. Sind Sie sicher, dass Sie diese "
                                          "Zeichenkette entfernen möchten?")});
  EXPECT_EQ(state_.fieldIndex, qm::SearchField::Comment);
  EXPECT_FALSE(port_.log.contains(QStringLiteral("save history")));  // Title only
}

TEST_F(ReplaceRunTest, RefusedInputChangesNothing) {
  struct Case {
    bool remove;
    QString replacement;
    QString note;
    QString focus;
  };
  const Case cases[] = {
      {true, QStringLiteral("X"), QStringLiteral("Please type a search string."),
       QStringLiteral("focus search")},
      {false, QString(), QStringLiteral("Please type a string that should be inserted."),
       QStringLiteral("focus replacement")},
  };
  for (const auto& c : cases) {
    port_ = qm::testing::FakePort();
    port_.removeMode = c.remove;
    port_.replacementText = c.replacement;
    qm::testing::Replace(port_, Folder(1), state_);
    EXPECT_EQ(port_.notes, QStringList{c.note});
    EXPECT_EQ(port_.log, QStringList{c.focus});
    EXPECT_EQ(collection_->connectionCalls, 0);
  }
}

TEST_F(ReplaceRunTest, DeclinedRunChangesNothingButKeepsTheHistory) {
  const QStringList before = Titles();
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  port_.confirmAnswer = false;
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(Titles(), before);
  EXPECT_EQ(port_.notes, QStringList{QString()});
  EXPECT_EQ(port_.log, Strings({"save history", "confirm Quillmark - Search and Replace"}));
}

TEST_F(ReplaceRunTest, NothingFoundStillRefreshes) {
  port_.searchText = QStringLiteral("zzz");
  port_.replacementText = QStringLiteral("X");
  qm::testing::Replace(port_, Folder(a_), state_);
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("No documents found!")});
  EXPECT_EQ(port_.log, Strings({"save history", "refresh"}));

  // A start folder with no scope at all ends the same way, without a query.
  port_ = qm::testing::FakePort();
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  const auto root = inner_->GetFolder(1);
  qm::testing::Replace(port_, std::make_shared<qm::testing::WrappedFolder>(root, collection_, 0),
                       state_);
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("No documents found!")});
  EXPECT_EQ(collection_->connectionCalls, 1);  // the first run's only
}

// A host whose EntryIDs are texts rather than numbers: the snapshot gives
// every EntryID as its text.
class TextIdRecordset : public qm::HostRecordset {
 public:
  explicit TextIdRecordset(std::shared_ptr<qm::HostRecordset> inner) : inner_(std::move(inner)) {}
  std::int64_t RecordCount() const override { return inner_->RecordCount(); }
  bool Eof() const override { return inner_->Eof(); }
  QVariant Value(const QString& field) const override {
    const QVariant value = inner_->Value(field);
    return field == QStringLiteral("EntryID") ? QVariant(value.toString()) : value;
  }
  void MoveNext() override { inner_->MoveNext(); }
  void Close() override { inner_->Close(); }

 private:
  std::shared_ptr<qm::HostRecordset> inner_;
};

class TextIdCollection : public qm::testing::FailingCollection {
 public:
  using FailingCollection::FailingCollection;
  std::shared_ptr<qm::HostConnection> Connection() override {
    class TextIds : public qm::HostConnection {
     public:
      explicit TextIds(std::shared_ptr<qm::HostConnection> inner) : inner_(std::move(inner)) {}
      std::shared_ptr<qm::HostRecordset> OpenRecordset(const QString& query) override {
        return std::make_shared<TextIdRecordset>(inner_->OpenRecordset(query));
      }

     private:
      std::shared_ptr<qm::HostConnection> inner_;
    };
    return std::make_shared<TextIds>(FailingCollection::Connection());
  }
};

// The run reads a batch's fields in one query over numeric EntryIDs; other
// EntryIDs it reads document by document, to the same end.
TEST_F(ReplaceRunTest, EntryIdsThatAreNoNumbersAreReadOneByOne) {
  for (int i = 0; i < 5; ++i) {
    AddDocument(a_, QStringLiteral("match %1").arg(i));
  }
  auto texts = std::make_shared<TextIdCollection>(inner_);
  port_.searchText = QStringLiteral("match");
  port_.replacementText = QStringLiteral("done");
  port_.includeSubfolders = false;
  qm::testing::Replace(
      port_, std::make_shared<qm::testing::WrappedFolder>(inner_->GetFolder(a_), texts), state_);
  EXPECT_EQ(state_.updatedCount, 5);
  EXPECT_EQ(Titles().mid(8), Strings({"done 0", "done 1", "done 2", "done 3", "done 4"}));
  // The snapshot's query alone: no query for the batches' fields.
  EXPECT_EQ(texts->connectionCalls, 1);
}

// The question and the rewrite use what the run read at its start, even when
// the user changes the mode while the folders are walked.
TEST_F(ReplaceRunTest, QuestionDescribesWhatTheRunDoes) {
  port_.searchText = QStringLiteral("here");
  port_.replacementText = QStringLiteral("there");
  port_.onEvents = [this](int pass) {
    if (pass == 1) {
      port_.removeMode = true;
      port_.replacementText = QStringLiteral("elsewhere");
    }
  };
  qm::testing::Replace(port_, Folder(a_), state_);
  EXPECT_EQ(port_.questions,
            QStringList{QStringLiteral("1 documents contain the string 'here' in the Title "
                                       "field. Are you sure you want to replace these "
                                       "occurrences with 'there'?")});
  EXPECT_TRUE(Titles().contains(QStringLiteral("nothing there")));
}

// Fill mode writes only fields still empty when it comes to them: a comment
// typed in the host while the question was open stays, and is not counted.
TEST_F(ReplaceRunTest, FillLeavesAFieldFilledAfterTheQuery) {
  port_.fieldText = QStringLiteral("Comment");
  port_.replacementText = QStringLiteral("n/a");
  const std::int64_t typedInto = qm::hostadmin::ListDocuments(id_)[2].entryId;
  port_.onEvents = [this, typedInto](int pass) {
    if (pass == 1) {  // after the query, before the question
      auto document = inner_->GetDocument(QVariant(qlonglong{typedInto}));
      document->SetComment(QStringLiteral("typed meanwhile"));
      document->Save();
    }
  };
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(port_.questions.size(), 1);
  EXPECT_TRUE(port_.questions[0].startsWith(QStringLiteral("5 documents")));
  EXPECT_EQ(state_.updatedCount, 4);
  EXPECT_EQ(port_.notes.last(), QStringLiteral("4 documents updated!"));
  QStringList comments;
  for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
    comments.append(d.comment);
  }
  // The last one is in the root folder, which a run leaves alone.
  EXPECT_EQ(comments, Strings({"c1", "n/a", "typed meanwhile", "c4", "n/a", "n/a", "n/a", ""}));
}

TEST_F(ReplaceRunTest, CancelFinishesTheCurrentDocumentThenStops) {
  for (int i = 0; i < 5; ++i) {
    AddDocument(a_, QStringLiteral("match %1").arg(i));
  }
  port_.searchText = QStringLiteral("match");
  port_.replacementText = QStringLiteral("done");
  port_.includeSubfolders = false;
  // Event passes: 1 before the question, 2 and 3 for the first document,
  // 4 is the second's first.
  port_.onEvents = [this](int pass) {
    if (pass == 4) {
      port_.cancelRequested = true;  // a click handled in that pass
    }
  };
  qm::testing::Replace(port_, Folder(a_), state_);
  EXPECT_EQ(state_.updatedCount, 2);
  EXPECT_EQ(Titles().mid(8), Strings({"done 0", "done 1", "match 2", "match 3", "match 4"}));
  EXPECT_EQ(port_.notes.last(), QStringLiteral("2 documents updated!"));
  EXPECT_TRUE(port_.log.endsWith(QStringLiteral("refresh")));
  EXPECT_FALSE(port_.running);
}

// However the run ends, its progress counts each document it came to, of
// all the snapshot holds, and is ended: the window never keeps showing a
// run that is over.
TEST_F(ReplaceRunTest, ProgressCountsTheDocumentsAndEndsHoweverTheRunEnds) {
  const QStringList stoppedAtTheThird{"0/5", "1/5", "2/5", "end"};
  const struct {
    const char* name;
    std::function<void()> arrange;
    QStringList progress;
    bool fails;
    const char* note;
  } cases[] = {
      {"finished",
       [] {},
       {"0/5", "1/5", "2/5", "3/5", "4/5", "5/5", "end"},
       false,
       "5 documents updated!"},
      // Event pass 4 is the second document's first (as in the Cancel test).
      {"cancelled",
       [this] {
         port_.onEvents = [this](int pass) {
           if (pass == 4) {
             port_.cancelRequested = true;
           }
         };
       },
       stoppedAtTheThird, false, "2 documents updated!"},
      {"failed", [this] { collection_->failAtSave = 3; }, stoppedAtTheThird, true,
       "2 documents updated!"},
  };
  for (const auto& c : cases) {
    Populate();
    port_ = qm::testing::FakePort();
    state_ = qm::RunState();
    for (int i = 0; i < 5; ++i) {
      AddDocument(a_, QStringLiteral("match %1").arg(i));
    }
    port_.searchText = QStringLiteral("match");
    port_.replacementText = QStringLiteral("done");
    port_.includeSubfolders = false;
    c.arrange();
    bool failed = false;
    try {
      qm::testing::Replace(port_, Folder(a_), state_);
    } catch (const qm::Error&) {
      failed = true;
    }
    EXPECT_EQ(failed, c.fails) << c.name;
    EXPECT_EQ(port_.progress, c.progress) << c.name;
    // The notes line keeps its own texts: the closing note, no percentage.
    EXPECT_EQ(port_.notes.last(), QString::fromLatin1(c.note)) << c.name;
  }
  // Nothing to rewrite: no progress at all.
  port_ = qm::testing::FakePort();
  port_.searchText = QStringLiteral("no such text");
  port_.replacementText = QStringLiteral("x");
  qm::testing::Replace(port_, Folder(a_), state_);
  EXPECT_TRUE(port_.progress.isEmpty());
}

// The third save fails, in the document or in the host's database: the two
// saved before stay saved.
TEST_F(ReplaceRunTest, FailedSaveKeepsEarlierDocumentsAndPutsTheWindowBack) {
  const struct {
    const char* name;
    std::function<void(std::int64_t third)> fail;
    std::int32_t number;
    QString says;
  } cases[] = {
      {"the document", [this](std::int64_t) { collection_->failAtSave = 3; },
       qm::testing::kInjectedFailure, QStringLiteral("disk full")},
      {"the database", [this](std::int64_t third) { qm::testing::RefuseUpdatesOf(File(), third); },
       qm::host::errc::kDatabase, QStringLiteral("the disk refused")},
  };
  for (const auto& c : cases) {
    Populate();
    port_ = qm::testing::FakePort();
    state_ = qm::RunState();
    for (int i = 0; i < 5; ++i) {
      AddDocument(b_, QStringLiteral("match %1").arg(i));
    }
    c.fail(qm::hostadmin::ListDocuments(id_).at(10).entryId);
    port_.searchText = QStringLiteral("match");
    port_.replacementText = QStringLiteral("done");
    try {
      qm::testing::Replace(port_, Folder(b_), state_);
      ADD_FAILURE() << c.name << ": no failure";
    } catch (const qm::Error& error) {
      EXPECT_EQ(error.number(), c.number) << c.name;
      EXPECT_TRUE(error.description().contains(c.says))
          << c.name << ": " << error.description().toStdString();
    }
    EXPECT_EQ(state_.updatedCount, 2) << c.name;
    EXPECT_EQ(Titles().mid(8), Strings({"done 0", "done 1", "match 2", "match 3", "match 4"}))
        << c.name;
    EXPECT_FALSE(port_.busy) << c.name;
    EXPECT_FALSE(port_.running) << c.name;
    EXPECT_EQ(port_.notes.last(), QStringLiteral("2 documents updated!")) << c.name;
    EXPECT_TRUE(port_.log.endsWith(QStringLiteral("refresh"))) << c.name;
    EXPECT_EQ(port_.notesAtRefresh, QStringList{QStringLiteral("2 documents updated!")}) << c.name;
  }
}

// A failure before any document was saved leaves "-", not the title of the
// document that failed, and asks for no refresh.
TEST_F(ReplaceRunTest, FailureBeforeAnySaveLeavesNothingToReport) {
  AddDocument(b_, QStringLiteral("match 0"));
  port_.searchText = QStringLiteral("match");
  port_.replacementText = QStringLiteral("done");
  collection_->failAtSave = 1;
  EXPECT_QM_ERROR(qm::testing::Replace(port_, Folder(b_), state_), qm::testing::kInjectedFailure,
                  "Test", "disk full");
  EXPECT_EQ(state_.updatedCount, 0);
  EXPECT_EQ(port_.notes, Strings({"match 0", "done 0", "-"}));
  EXPECT_FALSE(port_.log.contains(QStringLiteral("refresh")));
  EXPECT_FALSE(port_.busy || port_.running);
}

TEST_F(ReplaceRunTest, FailedHistorySaveStopsBeforeTheQuery) {
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  port_.failSaveHistory = true;
  EXPECT_QM_ERROR(qm::testing::Replace(port_, Folder(1), state_), 26001, "cRegistry",
                  "write refused");
  EXPECT_EQ(collection_->connectionCalls, 0);
  EXPECT_TRUE(port_.log.isEmpty());
  // The count of an earlier run is not this run's.
  EXPECT_EQ(state_.updatedCount, 0);
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("-")});
}

// Without a start folder (no host) the input is still checked first, and the
// history saved, before the missing folder fails the run.
TEST_F(ReplaceRunTest, InputIsCheckedBeforeTheStartFolderIsAskedFor) {
  int asked = 0;
  const qm::StartFolderSource missing = [&asked]() -> std::shared_ptr<qm::HostFolder> {
    ++asked;
    throw qm::Error(91, QStringLiteral("QMReplace"), QStringLiteral("no folder"));
  };
  port_.removeMode = true;
  qm::testing::Replace(port_, missing, state_);
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("Please type a search string.")});
  port_ = qm::testing::FakePort();
  qm::testing::Replace(port_, missing, state_);
  EXPECT_EQ(port_.notes,
            QStringList{QStringLiteral("Please type a string that should be inserted.")});
  EXPECT_EQ(asked, 0);

  port_ = qm::testing::FakePort();
  port_.searchText = QStringLiteral("abc");
  EXPECT_QM_ERROR(qm::testing::Replace(port_, missing, state_), 91, "QMReplace", "no folder");
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(port_.log, QStringList{QStringLiteral("save history")});
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("-")});
}

// A Cancel that came with the last document of one run does not stop the
// next run the user confirmed.
TEST_F(ReplaceRunTest, ALeftoverCancelDoesNotStopTheNextRun) {
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  port_.onEvents = [this](int pass) {
    if (pass == 2) {
      port_.cancelRequested = true;  // while the only document is rewritten
    }
  };
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(port_.notes.last(), QStringLiteral("1 documents updated!"));
  ASSERT_TRUE(port_.cancelRequested);  // nothing was left to stop

  port_.onEvents = nullptr;
  port_.searchText = QStringLiteral("report");
  port_.replacementText = QStringLiteral("Memo");
  qm::testing::Replace(port_, Folder(1), state_);
  EXPECT_EQ(port_.questions.size(), 2);
  EXPECT_EQ(port_.notes.last(), QStringLiteral("1 documents updated!"));
  EXPECT_EQ(Titles().mid(0, 2), Strings({"X X X", "- Memo - "}));
}

// A stop asked for (closing the window) while the folders are walked or the
// query runs ends the run before the question, with nothing changed.
TEST_F(ReplaceRunTest, AStopBeforeTheQuestionChangesNothing) {
  struct Case {
    const char* name;
    bool wholeCollection;  // no walk: the only pass is the one before the question
    int queries;
  };
  const Case cases[] = {{"during the walk", false, 0}, {"during the query", true, 1}};
  for (const auto& c : cases) {
    port_ = qm::testing::FakePort();
    collection_->connectionCalls = 0;
    const QStringList before = Titles();
    port_.searchText = QStringLiteral("e");
    port_.replacementText = QStringLiteral("X");
    port_.onEvents = [this](int pass) {
      if (pass == 1) {
        port_.cancelRequested = true;
      }
    };
    qm::testing::Replace(port_, Folder(c.wholeCollection ? 1 : a_), state_);
    EXPECT_TRUE(port_.questions.isEmpty()) << c.name;
    EXPECT_EQ(Titles(), before) << c.name;
    EXPECT_EQ(port_.log, QStringList{QStringLiteral("save history")}) << c.name;
    EXPECT_EQ(collection_->connectionCalls, c.queries) << c.name;
    EXPECT_FALSE(port_.cancelRequested) << c.name;
  }
}

// Another connection holds the collection's write lock for a second; the
// run waits for it and completes.
TEST_F(ReplaceRunTest, WaitsForAnotherWriterAndCompletes) {
  const QByteArray file = File().toUtf8();
  std::atomic<bool> locked{false};
  // Joined however the run ends: a run that fails on the lock is a failed
  // test, not an ended program.
  std::jthread writer([&] {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    locked = true;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  });
  while (!locked) {
    std::this_thread::yield();
  }
  QElapsedTimer timer;
  timer.start();
  port_.searchText = QStringLiteral("abc");
  port_.replacementText = QStringLiteral("X");
  qm::testing::Replace(port_, Folder(1), state_);
  const qint64 waited = timer.elapsed();
  writer.join();
  EXPECT_GE(waited, 500);
  EXPECT_EQ(port_.questions.size(), 1);
  EXPECT_EQ(Titles().first(), QStringLiteral("X X X"));
  EXPECT_EQ(port_.notes.last(), QStringLiteral("1 documents updated!"));
}

}  // namespace
