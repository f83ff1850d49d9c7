// The journal's file on the disk: its folder and files made private, the
// programs using it told apart by a lock each, its schema made or checked,
// and a damaged file moved aside with damaged copies older than 30 days
// deleted.
//
// Every program opens the journal under one lock, the repair lock, so a
// damaged file is moved aside once, however many programs find it, and
// never while another program is opening it. A journal of a newer version
// is refused before anything in it or in its folder changes. The mark a
// program that ended without closing the journal left (its session file)
// goes only once the full check it calls for has passed, or a repair has
// started a sound new journal. A damaged file that cannot be moved aside is
// a failure that names it, and nothing of it is moved.
#pragma once

#include <QString>

#include <memory>

#include "engine/journal/journal_db.h"
#include "platform/file_lock.h"

namespace qm::journal {

// The journal file's name inside its folder.
inline constexpr char kJournalFileName[] = "journal.sqlite";

struct JournalFile {
  std::unique_ptr<Db> db;
  // Held while this program has the journal open: a session file that
  // nobody holds is a program that ended without closing the journal.
  std::unique_ptr<platform::FileLock> session;
  // The session file's name in the journal's folder.
  QString sessionName;
  // Where a damaged file was moved; empty when none was.
  QString movedAside;
};

// Throws qm::Error (kJournalError) or JournalTooNew.
JournalFile OpenJournalFile(const QString& folder);

// The owner of a run (or of an undo while it goes on): a lock file of its
// own, and the session of the program that holds it. The journal records it
// as one text, "<lock>|<session>".
struct Owner {
  QString lockName;
  QString recorded;
};

// A fresh owner in the session `sessionName`.
Owner NewOwner(const QString& sessionName);

// Where the lock of an owner lives, by its name.
QString OwnerLockPath(const QString& folder, const QString& lockName);

// Whether the program that holds the owner recorded as `recorded` is still
// there; a lock that nobody holds is taken away (its file deleted). A lock
// file that is missing (taken away by someone else) leaves the answer to
// the owner's session. When a lock cannot be tried the owner counts as
// alive, which only ever refuses. A recorded text that names no file of the
// journal's own counts as an owner long gone.
bool OwnerAlive(const QString& folder, const QString& recorded);

}  // namespace qm::journal
