// The journal's file on the disk: its folder and files made private, the
// programs using it told apart by a lock each, its schema made or checked,
// and a damaged file moved aside (once, under a lock, however many programs
// find it) with damaged copies older than 30 days deleted.
#pragma once

#include <QString>

#include <memory>

#include "engine/journal_db.h"
#include "platform/file_lock.h"

namespace qm::journal {

struct OpenedJournal {
  std::unique_ptr<Db> db;
  // Held while this program has the journal open: a session file that
  // nobody holds is a program that ended without closing the journal.
  std::unique_ptr<platform::FileLock> session;
  // Where a damaged file was moved; empty when none was.
  QString movedAside;
};

// Throws qm::Error (kJournalError) or JournalTooNew.
OpenedJournal OpenJournalFile(const QString& folder);

// Where the lock of a run's owner lives, by the name the run records.
QString OwnerLockPath(const QString& folder, const QString& owner);
// A fresh name for a run's owner lock.
QString NewOwnerName();

// Whether the program that holds `owner` is still there; a lock that nobody
// holds is taken away (its file deleted). When the lock cannot be tried the
// owner counts as alive, which only ever refuses an undo.
bool OwnerAlive(const QString& folder, const QString& owner);

}  // namespace qm::journal
