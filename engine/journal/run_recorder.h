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

#include <cstdint>
#include <exception>
#include <future>
#include <optional>
#include <vector>

#include "engine/journal/run_journal.h"
#include "hostlib/host_library.h"

namespace qm {

class RunRecorder {
 public:
  // What a run records of its criteria.
  struct Search {
    SearchField field = SearchField::Title;
    QString searchText;
    // Empty in remove mode.
    QString replaceText;
    SearchOptions options;
    // Where: the start folder's name, empty for the whole collection.
    QString folderName;
    bool includeSubfolders = false;
    // The documents it sets out to change.
    std::int64_t total = 0;
    // The run it does again, for a redo.
    std::int64_t redoOf = 0;
  };

  // Enters the run (when there is a journal) of `search`; throws
  // CollectionBusy while another window changes the collection, qm::Error
  // when the journal cannot be written.
  RunRecorder(RunJournal* journal, HostCollection& collection, const Search& search);
  // A run not ended by End() ends as failed.
  ~RunRecorder();
  RunRecorder(const RunRecorder&) = delete;
  RunRecorder& operator=(const RunRecorder&) = delete;

  // Starts writing the entries of the next batch; one at a time.
  void RecordAhead(std::vector<DocumentEntry> documents);
  // Their positions, in order, once they are on the disk; throws the
  // write's failure (again on every call) when it failed.
  std::vector<EntryPosition> Recorded();
  // The same without throwing: none when the write failed.
  std::optional<std::vector<EntryPosition>> RecordedIfWritten();

  // As RunJournal's; nothing without a journal (positions are then 0).
  std::vector<EntryPosition> Record(const std::vector<DocumentEntry>& documents);
  void Rewrite(EntryPosition position, const DocumentEntry& document);
  void Forget(const std::vector<EntryPosition>& positions);
  void End(RunStatus end);

 private:
  // Waits for a write ahead, keeping its positions or its failure for
  // Recorded().
  void Settle();

  RunJournal* journal_;
  std::int64_t number_ = 0;
  bool ended_ = false;
  std::future<std::vector<EntryPosition>> ahead_;
  std::vector<EntryPosition> recorded_;
  std::exception_ptr aheadFailed_;
};

}  // namespace qm
