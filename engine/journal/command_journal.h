// The journal as one command meets it: opened through the command's
// services, and what it has to tell the user in the notes line.
#pragma once

#include <QString>

#include "engine/command/command_services.h"
#include "engine/command/window_port.h"
#include "engine/journal/run_journal.h"
#include "text/texts.h"

namespace qm {

// The journal for one command: none where no journal is kept, or refused
// when it was written by a newer version of the program (the notes line
// then says so, and nothing is to change).
struct CommandJournal {
  RunJournal* journal = nullptr;
  bool refused = false;
};

// Throws qm::Error when the journal cannot be opened.
CommandJournal OpenCommandJournal(WindowPort& port, CommandServices& services,
                                  TextLanguage language);

// A note followed by the journal's notice, if there is one.
QString WithJournalNotice(const QString& note, const QString& notice);

// The notice for a journal that was moved aside to `movedTo` (empty for
// none).
QString JournalNotice(const QString& movedTo, TextLanguage language);

// Why a run or an undo was refused: what another window does to the
// collection.
QString BusyNote(const CollectionActivity& activity, TextLanguage language);

}  // namespace qm
