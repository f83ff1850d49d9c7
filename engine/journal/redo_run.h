// Redo of a run that was undone, whole or in part, from the journal.
//
// A document gets the run's after-value again only where an undo took the
// run back and its field still holds exactly what that undo put back (the
// value before the run); any other document (changed since, deleted, or one
// the undo never came to) is left and counted. It looks first, asks (Yes/No)
// naming the run by when it began and the count, then writes like a replace
// run: a run of its own in the journal (RunRecord::redoOf names the one it
// does again), entered before its first document and written a batch ahead
// of its saves, so that it can be undone in turn; the pause and the window's
// events come before each document's read, and nothing else between that
// read and its Save. A Cancel stops after the document in hand. It is
// refused, said so in the notes line, in the cases undo is refused. The
// notes line then tells how many documents were redone and how many left,
// and the host is asked to refresh.
#pragma once

#include <cstdint>

#include "engine/command/command_services.h"
#include "engine/command/window_port.h"
#include "engine/journal/undo_run.h"
#include "hostlib/host_library.h"
#include "text/texts.h"

namespace qm {

struct RedoCounts {
  std::int64_t redone = 0;
  // Changed since the undo: left as they are.
  std::int64_t left = 0;
};

// `choice.run` names the run (0 does nothing and says so).
RedoCounts RedoRun(WindowPort& port, CommandServices& services, HostApplication& host,
                   TextLanguage language, const RunChoice& choice);

}  // namespace qm
