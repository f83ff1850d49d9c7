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
// Apply writes what the review showed: a checked document whose field
// changed since the list was made (or since its row was last read for
// showing) is left as it is and counted, whatever it holds now, and the
// notes line says how many there were after the run's own note. A field that
// changed between the query and the list is listed with what it holds then.
#pragma once

#include "engine/review/review_port.h"
#include "engine/run/replace_run.h"

namespace qm {

RunState ReviewRun(WindowPort& port, CommandServices& services, ReviewPort& review,
                   const SearchCriteria& criteria);

}  // namespace qm
