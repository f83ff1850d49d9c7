// A run's collection seen through the journal: every document it hands out
// records its chosen field before and after in the journal when it is
// saved, and only then saves it, so that whatever the host stored is in the
// journal.
//
// The value before is the one the document held when it was fetched, which
// is what the rewrite reads. A failing journal write throws qm::Error and the
// document is not saved.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/run_journal.h"
#include "engine/search_field.h"
#include "window/host_library.h"

namespace qm {

std::shared_ptr<HostCollection> JournaledCollection(std::shared_ptr<HostCollection> collection,
                                                    RunJournal& journal, std::int64_t run,
                                                    SearchField field);

}  // namespace qm

#include <QString>

#include "engine/run_state.h"
#include "engine/window_port.h"

namespace qm {

struct JournaledRun {
  // The collection the run writes through: journaled when the window keeps
  // a journal, the run's own otherwise.
  std::shared_ptr<HostCollection> collection;
  // For the notes line: that a damaged journal was moved aside; else empty.
  QString notice;
};

// Enters the run in the window's journal, before any document is touched;
// throws qm::Error when the journal cannot be opened or written.
JournaledRun BeginJournaledRun(WindowPort& port, std::shared_ptr<HostCollection> collection,
                               const RunState& state);

// A note followed by the journal's notice, if there is one.
QString WithJournalNotice(const QString& note, const QString& notice);

// The notice for a journal that was moved aside to `movedTo` (empty for
// none).
QString JournalNotice(WindowPort& port, const QString& movedTo);

}  // namespace qm
