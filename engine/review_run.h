// Review changes: the replace run with a review of every change in place of
// its confirmation question.
//
// The input check, the history, the start folder, the query and its snapshot
// are the run's own (replace_run.h). Instead of the question, the snapshot's
// EntryIDs are taken into a review list (and the snapshot closed), which the
// user looks through in the review window. Apply rewrites the checked
// documents, in the run's order, through the run itself: journal, wait
// cursor, Cancel, notes line, refresh and one undoable run. Closing the
// review leaves every document as it was and empties the notes line, as No
// does.
//
// Apply re-checks each document when it writes it, as Start does: a checked
// document that changed since the list was made and no longer holds the
// search text (or, filling empty fields, is no longer empty) is left as it
// is and counted, and the notes line says how many there were after the
// run's own note. A field that changed between the query and the list is
// listed with what it holds then, so one filled meanwhile is listed as left
// as it is.
#pragma once

#include "engine/replace_run.h"
#include "engine/review_port.h"

namespace qm {

void ReviewRun(WindowPort& port, ReviewPort& review, const StartFolderSource& startFolder,
               RunState& state);

}  // namespace qm
