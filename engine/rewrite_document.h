// The rewrite of a run's documents, batch by batch.
//
// The documents come in the snapshot's order. A batch takes the next few
// (one at first, then twice as many each time up to kLargestBatch, or half
// as many after a batch that took longer than kGatherMs to read; it ends
// early at a document it holds already), reads their title and field (in
// one query, where their EntryIDs are whole numbers) and rewrites the
// values. The entries of those to be written go to the journal in one
// transaction, written while the batch before is saved; once they are on
// the disk, the batch's documents are saved one by one.
//
// For each document: a Cancel request is honoured before it; window events
// run, its title shows in the notes line and the run pauses 5 ms (and,
// for a document to be written, window events run once more), so the window
// stays responsive. Then, with nothing else running until its Save, its
// field is read afresh: a value that changed since its entry was written is
// rewritten anew and journaled again (its entry forgotten when it is no
// longer to be written) and read again, so that what is saved is computed
// from what the field held right before the Save, and the journal holds
// that value as the one before. The document is then written, saved and
// counted in `updatedCount`; one no longer to be written is counted in
// `leftCount`, one that no longer exists (deleted since the snapshot, or
// before its Save) in `goneCount`. The notes line is empty afterwards. A
// document is written when its field holds the search text, or, for an
// empty search text, when the field is empty or has no value.
//
// Documents a review showed (`shown`) are written only as it showed them:
// one whose field changed since is left and counted in `leftCount`, whatever
// it holds now.
//
// A Cancel or a failure in the middle of a batch takes back the entries of
// the batch's documents not saved, and those of the batch written ahead. A
// write ahead that failed ends the run with its failure (after a Cancel as
// well); its batch has no entries and none of its documents is saved. Host
// and journal failures are not caught otherwise. A document is saved before
// it is counted, so after a failure `updatedCount` is the number of
// documents saved. Entries of documents never saved (those a kill leaves)
// name documents that still hold their value before, which undo passes by.
#pragma once

#include <cstddef>

#include "engine/journaled_run.h"
#include "engine/run_state.h"
#include "engine/value_digest.h"
#include "engine/window_port.h"
#include "hostlib/host_library.h"

namespace qm {

// A review's promise for the documents it lets a run write: for the current
// row of the approved documents, the digest of the field value it showed.
class ShownValues {
 public:
  virtual ~ShownValues() = default;
  virtual ValueDigest ShownDigest() const = 0;
};

// True when a Cancel request stopped the run.
bool RewriteDocuments(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                      const ShownValues* shown, RunState& state, JournaledRun& journal);

// The pause that paces a run, per document.
inline constexpr int kRewritePauseMs = 5;
inline constexpr std::size_t kLargestBatch = 512;
// Reading a batch lets no window event run; one that takes longer than
// this halves the next.
inline constexpr int kGatherMs = 20;
// A field found changed this often in a row, each time right before its
// Save, is being edited as the run goes: the document is left.
inline constexpr int kMostRereads = 4;

}  // namespace qm
