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
// Each document is then rewritten by RewriteDocument (rewrite_document.h),
// after a Cancel request is honoured before it, and counts as one step of
// the run's progress, whatever became of it. A document is written when
// its field holds the search text, or, for an empty search text, when the
// field is empty or has no value. Documents a review showed (`shown`) are
// written only as it showed them.
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

#include "engine/command/port_guards.h"
#include "engine/command/window_port.h"
#include "engine/journal/run_recorder.h"
#include "engine/run/run_state.h"
#include "engine/run/value_digest.h"
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
                      const ShownValues* shown, RunState& state, RunRecorder& journal,
                      RunProgress& progress);

inline constexpr std::size_t kLargestBatch = 512;
// Reading a batch lets no window event run; one that takes longer than
// this halves the next.
inline constexpr int kGatherMs = 20;

}  // namespace qm
