// What the journal of runs keeps and how it fails: the record of a run, the
// entry of a document, and the journal's error number and failures. The
// lowest of the journal's files: every other one builds on it.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <cstdint>

#include "engine/query/search_field.h"
#include "engine/query/search_options.h"
#include "platform/error.h"

namespace qm {

inline constexpr std::int32_t kJournalError = static_cast<std::int32_t>(0x80040011u);
inline constexpr char kJournalSource[] = "QMReplace.Journal";
// A journal written by a newer version of the program: refused, not
// touched.
class JournalTooNew : public Error {
 public:
  explicit JournalTooNew(const QString& file);
  const QString& file() const { return file_; }

 private:
  QString file_;
};

enum class RunStatus : std::int32_t {
  Going = 0,
  Finished = 1,
  Cancelled = 2,
  Failed = 3,
  // Its program ended (a kill, a crash, a power cut) before the run did.
  Crashed = 4,
};

struct RunRecord {
  // Given by the journal when the run begins; larger is later begun.
  std::int64_t number = 0;
  QDateTime started;
  std::int32_t collectionId = 0;
  QString collectionName;
  // What tells this collection from any other that has or had the same ID
  // (HostCollection::Identity); empty for runs of an older journal.
  QString collectionIdentity;
  SearchField field = SearchField::Title;
  QString searchText;
  QString replaceText;
  // All off for runs of an older journal, which knew no options.
  SearchOptions options;
  // Where it searched: the start folder's name (empty for the collection
  // itself, and for runs of an older journal), and whether its subfolders
  // were included when it began.
  QString folderName;
  bool includeSubfolders = false;
  // The documents it set out to change; 0 when not known (an older
  // journal's run).
  std::int64_t total = 0;
  // The run this one does again (a redo); 0 for none.
  std::int64_t redoOf = 0;
  // Filled when read back: the documents recorded for the run, and its
  // status (Going only while its owner is alive).
  std::int64_t documents = 0;
  RunStatus status = RunStatus::Going;
  // Undone as a whole (null `undoneAt` for runs undone by an older
  // journal); entries an undo took back, also of a run undone in part.
  bool undone = false;
  QDateTime undoneAt;
  std::int64_t restored = 0;
  // About what its entries take in the journal.
  std::int64_t bytes = 0;
  // Filled by RunJournal::Runs() alone: a window whose program is there
  // undoes it now; the latest redo of it that is not undone (0 for none).
  bool beingUndone = false;
  std::int64_t redoneBy = 0;
};

// What another window is doing to a collection: running `run`, or undoing
// it.
struct CollectionActivity {
  RunRecord run;
  bool undoing = false;
};

// A run or an undo refused: another window is changing the same collection.
class CollectionBusy : public Error {
 public:
  explicit CollectionBusy(CollectionActivity activity);
  const CollectionActivity& activity() const { return activity_; }

 private:
  CollectionActivity activity_;
};

struct DocumentEntry {
  // As the run's recordset delivered it.
  QVariant entryId;
  // A null QString is a field that had no value.
  QString before;
  QString after;
};

// Where an entry of a run lies in the journal, to write it again.
using EntryPosition = std::int64_t;

// An entry as the journal keeps it: where it lies, and whether an undo took
// it back (marked before its document is written, so that a mark may stand
// on a document a Cancel or a crash kept the undo from: what the document
// holds tells).
struct RecordedEntry {
  EntryPosition position = 0;
  DocumentEntry document;
  bool restored = false;
};

}  // namespace qm
