// Verify Matches: how many documents the current criteria select.
//
// Refuses a search the run would refuse (search_refusal.h) with its note.
// Finds the same matches as the replace run (exact_matches.h; with search
// options, those its rewrite changes, and the documents the pattern's match
// limit left are counted apart after the count), changes nothing, and writes the
// count (the number and text_id::kDocumentsMatch) or, when nothing matches,
// text_id::kNothingMatches with the search text and the field's display
// text into the notes line. The wait
// cursor is on meanwhile and off again however the command ends. A start
// folder whose scope holds no folder counts as nothing found, without a
// query. A stop request (the Cancel tag, which closing the window leaves)
// made while the folders are walked ends the command before the query,
// without a note. Failures of the host, the database or the formatter
// propagate as qm::Error.
#pragma once

#include <memory>

#include "engine/command/search_criteria.h"
#include "engine/command/window_port.h"
#include "hostlib/host_library.h"

namespace qm {

void VerifyMatches(WindowPort& port, const SearchCriteria& criteria);

}  // namespace qm
