// Undo of a replace run from the journal: the most recent one that is not
// undone yet (Ctrl+Z), or any run the history chose, whole or some of its
// documents.
//
// First it looks at the run's documents as they read now (wait cursor and a
// note meanwhile), then asks (Yes/No, the caption's title) naming the run's
// document count, collection, field, search text and replacement; for a run
// that did not end by itself (killed, failed) the count is that of the
// documents that still hold what it wrote, and such a run with none left is
// marked undone without a question. Yes restores, through the host's
// document objects, every document whose field still holds what the run
// wrote; a document changed since (or deleted since) is left as it is and
// counted. A document that already holds what it held before the run (one
// the run was killed before saving, or one an undo that was cancelled
// restored already) is neither written nor counted, nor waited for. It runs
// like a replace run: wait cursor, Exit becomes Cancel, the window's events
// run and it pauses before each document, then reads its field afresh and
// saves with nothing else in between, and a Cancel stops it after the
// document in hand. A finished undo marks the run
// undone, so the next undo offers the run before it; a cancelled one does
// not, so asking again restores the rest. The notes line then tells how
// many documents were restored and how many were left, and the host is
// asked to refresh.
//
// The run offered is the one latest saved to (of two windows' runs, the one
// whose entries were written last). It is refused, said so in the notes line
// and nothing changes, while it still goes on in another window, while
// another window runs over its collection or undoes a run of it, when its
// collection no longer exists or is no longer the same one (an ID used
// again, the other edition's catalog), and when the journal was written by a
// newer version of the program. A document the host cannot find or open,
// whatever its failure, is left and counted like one changed since. Other
// failures (journal, host) propagate as qm::Error with the window put back;
// documents restored before stay restored.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/command/command_services.h"
#include "engine/command/window_port.h"
#include "engine/journal/journal_records.h"
#include "engine/journal/run_journal.h"
#include "hostlib/host_library.h"
#include "text/texts.h"

namespace qm {

struct UndoCounts {
  std::int64_t restored = 0;
  // Changed since the run: left as they are.
  std::int64_t left = 0;
};

// Which run an undo (or a redo) takes, and which of its documents.
struct RunChoice {
  // 0 for the run latest saved to that is not undone yet.
  std::int64_t run = 0;
  // The entries to take; none for every entry of the run.
  std::optional<std::vector<EntryPosition>> only;
};

UndoCounts UndoLastRun(WindowPort& port, CommandServices& services, HostApplication& host,
                       TextLanguage language);

// The same for the run chosen: its question and notes name the run by when
// it began. Undone in part (some documents chosen, or a Cancel), a run is
// not marked undone, and its documents taken back are marked so, for a
// redo.
UndoCounts UndoRun(WindowPort& port, CommandServices& services, HostApplication& host,
                   TextLanguage language, const RunChoice& choice);

// Why a run cannot be undone (or redone) now: it still goes on in another
// window, its collection is gone or is another one now, or another window
// changes that collection; empty when it can. With `lastRun`, in the words
// of Ctrl+Z, which speak of the last run; otherwise the run is named by
// when it began.
QString WhyNotNow(RunJournal& journal, const RunRecord& run, const HostCollection* collection,
                  TextLanguage language, bool lastRun);

// A time as the history and the questions name it, in local time.
QString TimeText(const QDateTime& time, TextLanguage language);
// When a run began.
inline QString RunTime(const RunRecord& run, TextLanguage language) {
  return TimeText(run.started, language);
}

}  // namespace qm
