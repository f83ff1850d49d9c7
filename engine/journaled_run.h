// A replace run in the window's journal.
//
// The run is entered before its first document is touched, under what
// identifies its collection for good; its entries go in batch by batch
// (RunJournal); and however the run ends (finished, cancelled, or by a
// failure that unwinds past it) its end is written and its owner's lock let
// go. A window that keeps no journal journals nothing.
//
// A batch's entries may be written ahead, on a thread of their own, while
// the documents of the batch before are saved: the disk's flush then costs
// the run nothing. They are on the disk once Recorded() has returned their
// positions. Every other call waits for such a write first, so that the
// journal is used by one thread at a time, but only Recorded() reports its
// failure (its entries are then not in the journal at all), however often it
// is asked: the batch before may still be saved, and cleaning up after a
// Cancel or a failure has nothing of that batch to take back.
#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <future>
#include <optional>
#include <vector>

#include "engine/run_journal.h"
#include "engine/run_state.h"
#include "engine/window_port.h"
#include "hostlib/host_library.h"

namespace qm {

// The port's journal for one command: none for a window that keeps none,
// or refused when it was written by a newer version of the program (the
// notes line then says so, and nothing is to change).
struct PortJournal {
  RunJournal* journal = nullptr;
  bool refused = false;
};

// Throws qm::Error when the journal cannot be opened.
PortJournal OpenPortJournal(WindowPort& port);

class JournaledRun {
 public:
  // Enters the run (when there is a journal); throws qm::Error when the
  // journal cannot be written.
  JournaledRun(RunJournal* journal, HostCollection& collection, const RunState& state);
  // A run not ended by End() ends as failed.
  ~JournaledRun();
  JournaledRun(const JournaledRun&) = delete;
  JournaledRun& operator=(const JournaledRun&) = delete;

  // Starts writing the entries of the next batch; one at a time.
  void RecordAhead(std::vector<JournalDocument> documents);
  // Their positions, in order, once they are on the disk; throws the
  // write's failure (again on every call) when it failed.
  std::vector<JournalPosition> Recorded();
  // The same without throwing: none when the write failed.
  std::optional<std::vector<JournalPosition>> RecordedIfWritten();

  // As RunJournal's; nothing without a journal (positions are then 0).
  std::vector<JournalPosition> Record(const std::vector<JournalDocument>& documents);
  void Rewrite(JournalPosition position, const JournalDocument& document);
  void Forget(const std::vector<JournalPosition>& positions);
  void End(JournalRunState end);

 private:
  // Waits for a write ahead, keeping its positions or its failure for
  // Recorded().
  void Settle();

  RunJournal* journal_;
  std::int64_t number_ = 0;
  bool ended_ = false;
  std::future<std::vector<JournalPosition>> ahead_;
  std::vector<JournalPosition> recorded_;
  std::exception_ptr aheadFailed_;
};

// A note followed by the journal's notice, if there is one.
QString WithJournalNotice(const QString& note, const QString& notice);

// The notice for a journal that was moved aside to `movedTo` (empty for
// none).
QString JournalNotice(WindowPort& port, const QString& movedTo);

// Why a run or an undo was refused: what another window does to the
// collection.
QString BusyNote(WindowPort& port, const CollectionActivity& activity);

}  // namespace qm
