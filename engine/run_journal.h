// The lasting journal of replace runs, from which a run can be undone.
//
// A run is entered before its first document is touched, and every document
// before its Save, each in its own small transaction: whatever a run saved
// is in the journal, also when the program is killed in the middle. The
// journal keeps the last kKeptRuns runs and drops older ones as new runs
// begin.
//
// The journal outlives the program and is shared by every window of the
// user (one SQLite file, WAL, a busy timeout). It holds document texts, so
// its folder and file are the user's alone. Opening a file that is damaged
// or not a journal moves it aside (kept, never deleted) and starts a new
// one; the journal then reports that once through TakeMovedAside(). Any
// other failure (the folder or file cannot be made or written) is thrown as
// qm::Error with kJournalError.
//
// The SQLite side lives behind RunJournal so that tests can make it fail.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/search_field.h"

namespace qm {

inline constexpr std::int32_t kJournalError = static_cast<std::int32_t>(0x80040011u);
inline constexpr char kJournalSource[] = "QMReplace.Journal";
inline constexpr int kKeptRuns = 100;

struct JournalRun {
  // Given by the journal when the run begins; larger is later.
  std::int64_t number = 0;
  QDateTime started;
  std::int32_t collectionId = 0;
  QString collectionName;
  SearchField field = SearchField::Title;
  QString searchText;
  QString replaceText;
  // The documents recorded for the run (filled when read back).
  std::int64_t documents = 0;
};

struct JournalDocument {
  // As the run's recordset delivered it.
  QVariant entryId;
  // A null QString is a field that had no value.
  QString before;
  QString after;
};

class RunJournal {
 public:
  virtual ~RunJournal() = default;
  // Enters a run and returns its number; drops the runs older than the last
  // kKeptRuns.
  virtual std::int64_t BeginRun(const JournalRun& run) = 0;
  // One document of a run, committed before this returns.
  virtual void RecordDocument(std::int64_t run, const JournalDocument& document) = 0;
  // The most recent run that recorded a document and is not undone yet.
  virtual std::optional<JournalRun> LastUndoableRun() = 0;
  // The documents of a run in the order the run saved them.
  virtual std::vector<JournalDocument> Documents(std::int64_t run) = 0;
  virtual void MarkUndone(std::int64_t run) = 0;
  // Where a damaged journal file was moved, once after it happened; empty
  // otherwise.
  virtual QString TakeMovedAside() = 0;
};

// $XDG_DATA_HOME/QMReplace (~/.local/share/QMReplace) here, the user's local
// application data folder on Windows.
QString DefaultJournalFolder();

// Opens (and creates, owner-only) the journal file in `folder`.
std::unique_ptr<RunJournal> OpenRunJournal(const QString& folder);

// The journal file's name inside its folder.
inline constexpr char kJournalFileName[] = "journal.sqlite";

}  // namespace qm
