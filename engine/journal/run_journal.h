// The lasting journal of replace runs, from which a run can be undone.
//
// A run is entered before its first document is touched; the entries of
// its documents (the field's value before and after) are written in
// batches, each batch one transaction that is on the disk before any of its
// documents is saved. Whatever a run saved is therefore in the journal, also
// after a kill or a power cut; an entry whose document was never saved is
// harmless, because that document still holds the value before.
//
// While a run goes on, the program that owns it holds a lock on a file of
// its own beside the journal; the operating system lets that lock go when
// the program ends, however it ends. A run whose state still says it goes
// on but whose lock nobody holds ended by a crash. Runs are undone latest
// saved first: runs of two windows at once in the order of their last
// entries or, once they have ended, of their ends.
//
// One collection is changed by one window at a time: a run, or the undo of
// a run, is refused (CollectionBusy) while another window runs over the same
// collection or undoes one of its runs. So the runs of one collection never
// overlap, and undoing every run, latest first, brings every document that
// nobody else edited back to what it held before the first of them.
//
// The journal keeps the last kKeptRuns runs and at most about maxBytes of
// entries; as a new run begins, the oldest runs that have ended are dropped
// until both hold (a run still going is never dropped, nor the new one,
// whatever its size). The journal is checked in full when it is opened
// after a program that used it did not close it (or when the last check
// is a day old).
//
// The journal outlives the program and is shared by every window of the
// user (one SQLite file, WAL, a busy timeout). It holds document texts, so
// its folder, file and side files are the user's alone. Opening a file that
// is damaged or not a journal moves it aside (kept 30 days, then deleted)
// and starts a new one, once, under a lock, however many programs find the
// damage; the journal then reports that once through TakeMovedAside(). A
// journal written by a newer version of the program is left as it is and
// refused (JournalTooNew). Any other failure (the folder or file cannot be
// made, made private or written) is thrown as qm::Error with kJournalError.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/journal/journal_records.h"

namespace qm {

inline constexpr int kKeptRuns = 100;
inline constexpr std::int64_t kKeptBytes = std::int64_t{512} * 1024 * 1024;

struct JournalLimits {
  int runs = kKeptRuns;
  std::int64_t bytes = kKeptBytes;
};

class RunJournal {
 public:
  virtual ~RunJournal() = default;
  // Enters a run owned by this journal until EndRun (or until this journal
  // or its program ends) and returns its number; drops old runs. Throws
  // CollectionBusy while another window changes the run's collection.
  virtual std::int64_t BeginRun(const RunRecord& run) = 0;
  // The entries of the next batch of a run's documents, in one transaction
  // that is on the disk when this returns; their positions, in order.
  virtual std::vector<EntryPosition> RecordEntries(std::int64_t run,
                                                   const std::vector<DocumentEntry>& documents) = 0;
  // Writes an entry again (its document changed before it was saved), or
  // takes entries away (their documents are not saved after all: no longer
  // to be written, or left by a Cancel); on the disk when this returns.
  virtual void RewriteEntry(std::int64_t run, EntryPosition position,
                            const DocumentEntry& document) = 0;
  virtual void ForgetEntries(std::int64_t run, const std::vector<EntryPosition>& positions) = 0;
  // The run's end state; lets its owner's lock go.
  virtual void EndRun(std::int64_t run, RunStatus end) = 0;
  // The run latest saved to that recorded a document and is not undone
  // yet, also when it still goes on (its state then says so).
  virtual std::optional<RunRecord> LastUndoableRun() = 0;
  // The documents of a run in the order the run saved them.
  virtual std::vector<DocumentEntry> Entries(std::int64_t run) = 0;
  // Marks the run undone as a whole, now.
  virtual void MarkUndone(std::int64_t run) = 0;
  // Every run the journal keeps, latest begun first, with what only the
  // whole journal tells (RunRecord::beingUndone, redoneBy); a run whose
  // owner is gone is found ended by a crash, as LastUndoableRun() finds it.
  virtual std::vector<RunRecord> Runs() = 0;
  // One run; none when the journal does not keep it (any more).
  virtual std::optional<RunRecord> FindRun(std::int64_t run) = 0;
  // Up to `limit` entries of a run that lie after `after` (0 for its
  // first), in the order the run saved them: a long run is read a page at a
  // time.
  virtual std::vector<RecordedEntry> ReadEntries(std::int64_t run, EntryPosition after,
                                                 std::int64_t limit) = 0;
  // Marks entries as taken back by an undo; on the disk when this returns.
  virtual void MarkRestored(std::int64_t run, const std::vector<EntryPosition>& positions) = 0;
  // What the journal keeps at most; the oldest runs that ended are dropped
  // first.
  virtual JournalLimits Limits() const = 0;
  // What a window whose program is still there is doing to the collection
  // that has this ID, name and identity (HostCollection's; the identity
  // alone decides where there is one); none when nothing.
  virtual std::optional<CollectionActivity> ActivityOn(std::int32_t collectionId,
                                                       const QString& collectionName,
                                                       const QString& collectionIdentity) = 0;
  // Marks the run as being undone by this journal until EndUndo (or until
  // this journal or its program ends). Throws CollectionBusy while another
  // window changes its collection.
  virtual void BeginUndo(std::int64_t run) = 0;
  virtual void EndUndo(std::int64_t run) = 0;
  // Where a damaged journal file was moved, once after it happened; empty
  // otherwise.
  virtual QString TakeMovedAside() = 0;
};

// The user's own data folder followed by "QMReplace": on Linux
// $XDG_DATA_HOME/QMReplace (~/.local/share/QMReplace), on Windows
// %LOCALAPPDATA%\QMReplace, as the system names those folders.
QString DefaultJournalFolder();

// Opens (and creates, owner-only) the journal file in `folder`.
std::unique_ptr<RunJournal> OpenRunJournal(const QString& folder,
                                           const JournalLimits& limits = JournalLimits());

// Has SQLite leave out the count it keeps of its own memory, whose lock
// every allocation of every thread passes: a run writes its journal on a
// thread of its own while the window's thread reads and saves documents,
// and the two would wait on each other there. To be called before SQLite is
// first used (first thing in main()); later it changes nothing.
void ConfigureSqliteForTheJournal();

}  // namespace qm
