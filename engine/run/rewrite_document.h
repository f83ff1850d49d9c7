// The rewrite of one document of a run, in the place the batch loop
// (batch_rewrite.h) gives it: read, rewritten and journaled ahead already.
//
// A Cancel request is honoured before it, by the loop. Then window events
// run, its title shows in the notes line and the run pauses 5 ms (and, for a
// document to be written, window events run once more), so the window stays
// responsive. Then, with nothing else running until its Save, its field is
// read afresh: a value that changed since its entry was written is
// rewritten anew and journaled again (its entry forgotten when it is no
// longer to be written) and read again, so that what is saved is computed
// from what the field held right before the Save, and the journal holds that
// value as the one before. The document is then written, saved and counted
// in `updatedCount`; one no longer to be written is counted in `leftCount`,
// one that no longer exists (deleted since the snapshot, or before its Save)
// in `goneCount`, one the pattern's match limit left in `limitCount`. A document a review showed is
// written only as it showed it: one whose field changed since is left, whatever it holds now. The
// notes line is empty afterwards. Host and journal failures propagate; a
// document is saved before it is counted.
#pragma once

#include <QString>
#include <QVariant>

#include <optional>

#include "engine/command/window_port.h"
#include "engine/journal/run_recorder.h"
#include "engine/run/run_state.h"
#include "engine/run/text_rewrite.h"
#include "engine/run/value_digest.h"
#include "hostlib/host_library.h"

namespace qm {

struct PlannedDocument {
  QVariant entryId;
  // As the batch read it, for the notes line.
  QString title;
  QString before;
  QString after;
  bool write = false;
  // Not to be written: the pattern ran into its match limit on the value.
  bool limitHit = false;
  // Not found when the batch was read: deleted since the snapshot.
  bool gone = false;
  // What a review showed of the field, when it did.
  std::optional<ValueDigest> shown;
  EntryPosition position = 0;
  // Its Save was called: whether it got through is the host's to know, so
  // its entry stays whatever happens next.
  bool saving = false;
};

void RewriteDocument(WindowPort& port, HostCollection& collection, RunState& state,
                     const TextRewrite& rewriteOf, PlannedDocument& planned, RunRecorder& journal);

// A field found changed this often in a row, each time right before its
// Save, is being edited as the run goes: the document is left.
inline constexpr int kMostRereads = 4;

}  // namespace qm
