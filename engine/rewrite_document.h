// The rewrite of one document of a replace run.
//
// Shows the document's title in the notes line while it works, pauses 5 ms
// and lets window events run so the window stays responsive and a Cancel
// click is seen; a document whose field holds the search text (or any
// document, for an empty search text) is written, saved and counted in
// `updatedCount`. The notes line is empty afterwards.
//
// Host failures are not caught. A document is saved before it is counted, so
// after a failure `updatedCount` is the number of documents saved.
#pragma once

#include "engine/run_state.h"
#include "engine/window_port.h"
#include "window/host_library.h"

namespace qm {

void RewriteDocument(WindowPort& port, RunState& state, HostDocument& document);

// The pause that paces a run, per document.
inline constexpr int kRewritePauseMs = 5;

}  // namespace qm
