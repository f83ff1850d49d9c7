#include "engine/journal/journal_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUuid>

#include <utility>
#include <vector>

#include "engine/journal/journal_records.h"
#include "platform/private_files.h"

namespace qm::journal {
namespace {

// "QMRJ": tells our journal from any other SQLite file.
constexpr std::int64_t kApplicationId = 0x514D524A;
constexpr std::int64_t kSchemaVersion = 5;
constexpr qint64 kFullCheckEverySecs = 24 * 60 * 60;
constexpr qint64 kKeptDamagedDays = 30;
constexpr int kRepairWaitMs = 60000;
constexpr char kRepairLock[] = "repair.lock";
constexpr char kSessionPrefix[] = "session-";
constexpr char kOwnerPrefix[] = "run-";
constexpr char kLockSuffix[] = ".lock";
constexpr char kDamagedInfix[] = ".damaged-";
constexpr char kStampFormat[] = "yyyyMMdd-HHmmss";

// Position: the last position given to an entry, journal-wide.
// Checked: when the file was last checked in full (seconds since 1970).
constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS Run("
    " Number INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Started TEXT NOT NULL, CollectionID INTEGER NOT NULL, CollectionName TEXT NOT NULL,"
    " CollectionIdentity TEXT NOT NULL DEFAULT '',"
    " Field INTEGER NOT NULL, SearchText TEXT NOT NULL, ReplaceText TEXT NOT NULL,"
    " Undone INTEGER NOT NULL DEFAULT 0, State INTEGER NOT NULL DEFAULT 1,"
    " Owner TEXT NOT NULL DEFAULT '', LastPosition INTEGER NOT NULL DEFAULT 0,"
    " Documents INTEGER NOT NULL DEFAULT 0, Bytes INTEGER NOT NULL DEFAULT 0,"
    " UndoOwner TEXT NOT NULL DEFAULT '', Options INTEGER NOT NULL DEFAULT 0,"
    " Folder TEXT NOT NULL DEFAULT '', Subfolders INTEGER NOT NULL DEFAULT 0,"
    " Total INTEGER NOT NULL DEFAULT 0, RedoOf INTEGER NOT NULL DEFAULT 0,"
    " UndoneAt TEXT NOT NULL DEFAULT '', Restored INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS RunDocument("
    " Run INTEGER NOT NULL, Position INTEGER NOT NULL, EntryID NOT NULL,"
    " Before TEXT, After TEXT NOT NULL, Restored INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(Run, Position)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS Counter(Name TEXT PRIMARY KEY, Value INTEGER NOT NULL)"
    " WITHOUT ROWID;"
    "INSERT OR IGNORE INTO Counter VALUES('Position', 0);"
    "PRAGMA application_id=1364021834; PRAGMA user_version=5;";

// The first journals kept a run's positions from 1 and knew no states:
// their runs have ended, and keep their order below every later one.
constexpr char kFromVersion1[] =
    "ALTER TABLE Run ADD COLUMN CollectionIdentity TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE Run ADD COLUMN State INTEGER NOT NULL DEFAULT 1;"
    "ALTER TABLE Run ADD COLUMN Owner TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE Run ADD COLUMN LastPosition INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE Run ADD COLUMN Documents INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE Run ADD COLUMN Bytes INTEGER NOT NULL DEFAULT 0;"
    "UPDATE Run SET LastPosition = Number,"
    " Documents = (SELECT count(*) FROM RunDocument WHERE Run = Number),"
    " Bytes = (SELECT coalesce(sum(length(EntryID) + length(Before) + length(After)), 0)"
    "          FROM RunDocument WHERE Run = Number);"
    "CREATE TABLE Counter(Name TEXT PRIMARY KEY, Value INTEGER NOT NULL) WITHOUT ROWID;"
    "INSERT INTO Counter SELECT 'Position', coalesce(max(Number), 0) FROM Run;"
    "PRAGMA user_version=2;";

// Version 3 keeps who undoes a run while it does (UndoOwner, a lock as
// Owner is), and names each owner's session beside its lock.
constexpr char kFromVersion2[] =
    "ALTER TABLE Run ADD COLUMN UndoOwner TEXT NOT NULL DEFAULT '';"
    "PRAGMA user_version=3;";

// Version 4 keeps the search options a run was made with (Options, one bit
// each: match case 1, whole words 2, pattern 4, preserve case 8); the runs
// before them were made with all off.
constexpr char kFromVersion3[] =
    "ALTER TABLE Run ADD COLUMN Options INTEGER NOT NULL DEFAULT 0;"
    "PRAGMA user_version=4;";

// Version 5 keeps what the history of runs shows: where a run searched, how
// many documents it set out to change, the run a redo does again, when a
// run was undone, and which entries an undo took back (also of a run undone
// in part). Runs undone before keep no time.
constexpr char kFromVersion4[] =
    "ALTER TABLE Run ADD COLUMN Folder TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE Run ADD COLUMN Subfolders INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE Run ADD COLUMN Total INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE Run ADD COLUMN RedoOf INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE Run ADD COLUMN UndoneAt TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE Run ADD COLUMN Restored INTEGER NOT NULL DEFAULT 0;"
    "ALTER TABLE RunDocument ADD COLUMN Restored INTEGER NOT NULL DEFAULT 0;"
    "PRAGMA user_version=5;";

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// A lock file's name as this program makes them: the prefix, a UUID and the
// suffix. The journal names owners' files, and a name from it that is not
// one of ours (a path, say) is never opened, let alone deleted.
bool IsLockName(const QString& name, const char* prefix) {
  const QLatin1String start(prefix);
  const QLatin1String end(kLockSuffix);
  if (!name.startsWith(start) || !name.endsWith(end) ||
      name.size() != start.size() + 36 + end.size()) {
    return false;
  }
  const QString uuid = name.mid(start.size(), 36);
  return !QUuid::fromString(uuid).isNull() &&
         uuid == QUuid::fromString(uuid).toString(QUuid::WithoutBraces);
}

void MakePrivate(const QString& why) {
  if (!why.isEmpty()) {
    Fail(QStringLiteral("The journal cannot be set up as the user's alone: %1.").arg(why));
  }
}

bool CheckedLately(const Db& db) {
  Statement checked(db, "SELECT Value FROM Counter WHERE Name = 'Checked'", "Reading");
  const qint64 now = QDateTime::currentSecsSinceEpoch();
  if (!checked.Step()) {
    return false;
  }
  const qint64 at = checked.Int(0);
  return at <= now && now - at < kFullCheckEverySecs;
}

void CheckInFull(const Db& db) {
  {
    Statement check(db, "PRAGMA quick_check", "Checking");
    if (!check.Step() || check.Text(0) != QLatin1String("ok")) {
      throw DamagedJournal();
    }
  }
  Statement note(db, "INSERT OR REPLACE INTO Counter VALUES('Checked', ?1)", "Writing to");
  note.Bind(1, std::int64_t{QDateTime::currentSecsSinceEpoch()});
  note.Run();
}

// Connects to the file and refuses one that is no journal (DamagedJournal)
// or one of a later version (JournalTooNew) by reading alone: a later
// version's journal keeps its bytes, its journal mode among them.
std::unique_ptr<Db> Connect(const QString& file) {
  auto db = std::make_unique<Db>(file);
  const std::int64_t id = db->PragmaInt("PRAGMA application_id");
  if (id != 0 && id != kApplicationId) {
    throw DamagedJournal();
  }
  if (id == kApplicationId && db->PragmaInt("PRAGMA user_version") > kSchemaVersion) {
    throw JournalTooNew(file);
  }
  return db;
}

// Sets a connected file up as a journal of this version, or throws
// DamagedJournal for one that is not sound.
void SetUp(Db* const db, bool checkInFull) {
  db->Exec("PRAGMA journal_mode=WAL", "Opening");
  // Every commit reaches the disk before the host's Save that follows it.
  db->Exec("PRAGMA synchronous=FULL", "Opening");
  std::int64_t id = db->PragmaInt("PRAGMA application_id");
  if (id == 0 || db->PragmaInt("PRAGMA user_version") != kSchemaVersion) {
    Transaction transaction(*db);
    // Read again under the write lock: another program may have been first.
    id = db->PragmaInt("PRAGMA application_id");
    const std::int64_t version = db->PragmaInt("PRAGMA user_version");
    if (id == 0) {
      db->Exec(kSchema, "Creating");
    } else if (version >= 1 && version < kSchemaVersion) {
      if (version == 1) {
        db->Exec(kFromVersion1, "Updating");
      }
      if (version <= 2) {
        db->Exec(kFromVersion2, "Updating");
      }
      if (version <= 3) {
        db->Exec(kFromVersion3, "Updating");
      }
      db->Exec(kFromVersion4, "Updating");
    } else if (version > kSchemaVersion) {
      // A newer program made it since it was first read.
      throw JournalTooNew(db->file());
    } else if (version != kSchemaVersion) {
      throw DamagedJournal();
    }
    transaction.Commit();
  }
  if (checkInFull || !CheckedLately(*db)) {
    CheckInFull(*db);
  }
  db->Opened();
}

QString DamagedName(const QString& file, const QDateTime& when, int attempt) {
  QString name = file + QLatin1String(kDamagedInfix) + when.toString(QLatin1String(kStampFormat));
  return attempt < 2 ? name : name + QStringLiteral("-%1").arg(attempt);
}

// Keeps a damaged journal (with its -wal file, which may hold the last
// commits) beside the new one, under a name no later damage reuses. The side
// files go first: a -wal left under the journal's name would be read into
// the new journal. A rename that fails (on Windows, of a file another
// window has open) stops the repair, and what was moved goes back.
QString MoveAside(const QString& file) {
  const QDateTime now = QDateTime::currentDateTimeUtc();
  QString target = DamagedName(file, now, 1);
  for (int i = 2; QFile::exists(target); ++i) {
    target = DamagedName(file, now, i);
  }
  std::vector<std::pair<QString, QString>> moved;
  for (const char* suffix : {"-wal", "-shm", ""}) {
    const QString from = file + QLatin1String(suffix);
    const QString to = target + QLatin1String(suffix);
    if (*suffix != '\0' && !QFile::exists(from)) {
      continue;
    }
    if (!QFile::rename(from, to)) {
      for (auto back = moved.rbegin(); back != moved.rend(); ++back) {
        QFile::rename(back->second, back->first);
      }
      Fail(QStringLiteral("The damaged journal's file \"%1\" could not be moved aside; another "
                          "program may have it open.")
               .arg(Native(from)));
    }
    moved.emplace_back(from, to);
  }
  return target;
}

// The files of the folder whose names start and end so. Not through QDir's
// name filters: they match with a QRegularExpression, whose per-thread
// stack the static Windows Qt frees wrongly when a thread that is not
// Qt's ends, and the journal is opened from such threads too.
QStringList FilesNamed(const QString& folder, const QString& prefix, const QString& suffix) {
  QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
  names.removeIf([&](const QString& name) {
    return name.size() < prefix.size() + suffix.size() || !name.startsWith(prefix) ||
           !name.endsWith(suffix);
  });
  return names;
}

// Damaged copies go after 30 days, counted from when they were moved aside
// (which their name tells; the file's own date is that of the last write).
void DeleteOldDamagedCopies(const QString& folder) {
  const QString prefix = QLatin1String(kJournalFileName) + QLatin1String(kDamagedInfix);
  const QDateTime limit = QDateTime::currentDateTimeUtc().addDays(-kKeptDamagedDays);
  for (const QString& name : FilesNamed(folder, prefix, QString())) {
    const QString stamp = name.mid(prefix.size(), 15);
    QDateTime movedAt = QDateTime::fromString(stamp, QLatin1String(kStampFormat));
    movedAt.setTimeSpec(Qt::UTC);
    if (movedAt.isValid() && movedAt < limit) {
      QFile::remove(folder + QLatin1Char('/') + name);
    }
  }
}

using Locks = std::vector<std::unique_ptr<platform::FileLock>>;

// The session files nobody holds any longer: programs that ended without
// closing the journal. They stay, locked, until the full check they call
// for has passed, so that a check that fails or is cut short leaves them
// for the next program to check again.
Locks LockEndedSessions(const QString& folder) {
  Locks ended;
  for (const QString& name :
       FilesNamed(folder, QLatin1String(kSessionPrefix), QLatin1String(kLockSuffix))) {
    platform::LockAttempt attempt = platform::TryLockFile(folder + QLatin1Char('/') + name, false);
    if (attempt.lock) {
      ended.push_back(std::move(attempt.lock));
    }
  }
  return ended;
}

void Forget(const Locks& ended) {
  for (const auto& lock : ended) {
    lock->RemoveAndRelease();
  }
}

std::unique_ptr<platform::FileLock> Lock(platform::LockAttempt attempt, const QString& path) {
  if (!attempt.error.isEmpty()) {
    Fail(attempt.error);
  }
  if (!attempt.lock) {
    Fail(QStringLiteral("The journal's lock \"%1\" is held by another program for too long.")
             .arg(Native(path)));
  }
  return std::move(attempt.lock);
}

// Every program opens the journal holding the repair lock, so that a repair
// never moves files another program is opening or setting up, and whoever
// finds damage repairs it while the others wait, then find the new journal
// sound.
void OpenOrRepair(const QString& folder, const QString& file, JournalFile& opened) {
  const QString repairPath = folder + QLatin1Char('/') + QLatin1String(kRepairLock);
  const std::unique_ptr<platform::FileLock> repair =
      Lock(platform::LockFile(repairPath, kRepairWaitMs), repairPath);
  MakePrivate(platform::MakePrivateFile(file));
  for (const char* suffix : {"-wal", "-shm"}) {
    MakePrivate(platform::NarrowToOwner(file + QLatin1String(suffix)));
  }
  std::unique_ptr<Db> db;
  try {
    db = Connect(file);
  } catch (const DamagedJournal&) {
  }
  // Past the version check, the folder is this version's to tidy.
  const QString session = folder + QLatin1Char('/') + QLatin1String(kSessionPrefix) +
                          QUuid::createUuid().toString(QUuid::WithoutBraces) +
                          QLatin1String(kLockSuffix);
  opened.session = Lock(platform::TryLockFile(session, true), session);
  opened.sessionName = session.mid(folder.size() + 1);
  DeleteOldDamagedCopies(folder);
  const Locks ended = LockEndedSessions(folder);
  if (db) {
    try {
      SetUp(db.get(), !ended.empty());
      opened.db = std::move(db);
      Forget(ended);
      return;
    } catch (const DamagedJournal&) {
      db.reset();
    }
  }
  opened.movedAside = MoveAside(file);
  MakePrivate(platform::MakePrivateFile(file));
  try {
    db = Connect(file);
    SetUp(db.get(), false);
  } catch (const DamagedJournal&) {
    Fail(QStringLiteral("A new journal \"%1\" could not be started.").arg(Native(file)));
  }
  opened.db = std::move(db);
  Forget(ended);
}

}  // namespace

QString OwnerLockPath(const QString& folder, const QString& lockName) {
  return folder + QLatin1Char('/') + lockName;
}

Owner NewOwner(const QString& sessionName) {
  Owner owner;
  owner.lockName = QLatin1String(kOwnerPrefix) +
                   QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1String(kLockSuffix);
  owner.recorded = owner.lockName + QLatin1Char('|') + sessionName;
  return owner;
}

bool OwnerAlive(const QString& folder, const QString& recorded) {
  const qsizetype bar = recorded.indexOf(QLatin1Char('|'));
  const QString lockName = bar < 0 ? recorded : recorded.left(bar);
  const QString sessionName = bar < 0 ? QString() : recorded.mid(bar + 1);
  if (!IsLockName(lockName, kOwnerPrefix)) {
    return false;
  }
  platform::LockAttempt attempt = platform::TryLockFile(OwnerLockPath(folder, lockName), false);
  if (attempt.lock) {
    attempt.lock->RemoveAndRelease();
    return false;
  }
  if (attempt.heldElsewhere || !attempt.error.isEmpty()) {
    return true;
  }
  if (!IsLockName(sessionName, kSessionPrefix)) {
    return false;
  }
  // Tried, not taken over: a session nobody holds is the mark of an
  // unclean end, which the next opener of the journal acts on.
  const platform::LockAttempt session =
      platform::TryLockFile(OwnerLockPath(folder, sessionName), false);
  return session.heldElsewhere || !session.error.isEmpty();
}

JournalFile OpenJournalFile(const QString& folder) {
  MakePrivate(platform::MakePrivateFolder(folder));
  const QString file = folder + QLatin1Char('/') + QLatin1String(kJournalFileName);
  JournalFile opened;
  try {
    OpenOrRepair(folder, file, opened);
  } catch (...) {
    // A journal that did not open was not left open either.
    if (opened.session) {
      opened.session->RemoveAndRelease();
    }
    throw;
  }
  return opened;
}

}  // namespace qm::journal
