// The rewrite of a run's documents, batch by batch.
//
// The documents come in the snapshot's order. A batch takes the next few
// (one at first, then twice as many each time up to kLargestBatch, or half
// as many after a batch that took longer than kGatherMs to read; it ends
// early at a document it holds already), reads their field (in one query,
// where their EntryIDs allow) and rewrites the values. The entries of those
// to be written go to the journal in one transaction, written while the
// batch before is saved; once they are on the disk, the batch's documents
// are saved one by one.
//
// For each document: a Cancel request is honoured before it; window events
// run, its title shows in the notes line and the run pauses 5 ms, so the
// window stays responsive; its field is read again, and a value that
// changed since its entry was written is rewritten anew and journaled again
// (its entry forgotten when it is no longer to be written) before the
// document is written, saved and counted in `updatedCount` (or, no longer
// to be written, counted in `leftCount`). The notes line
// is empty afterwards. A document is written when its field holds the
// search text, or, for an empty search text, when the field is empty or
// has no value.
//
// A Cancel or a failure in the middle of a batch takes back the entries of
// the batch's documents not saved, and those of the batch written ahead. Host and journal failures
// are not caught otherwise. A document is saved before it is counted, so after a failure
// `updatedCount` is the number of documents saved. Entries of documents
// never saved (those a kill leaves) name documents that still hold their
// value before, which undo passes by.
#pragma once

#include <cstddef>

#include "engine/journaled_run.h"
#include "engine/run_state.h"
#include "engine/window_port.h"
#include "hostlib/host_library.h"

namespace qm {

// True when a Cancel request stopped the run.
bool RewriteDocuments(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                      RunState& state, JournaledRun& journal);

// The pause that paces a run, per document.
inline constexpr int kRewritePauseMs = 5;
inline constexpr std::size_t kLargestBatch = 512;
// Reading a batch lets no window event run; one that takes longer than
// this halves the next.
inline constexpr int kGatherMs = 20;

}  // namespace qm
