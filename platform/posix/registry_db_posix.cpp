#include "platform/posix/registry_db_posix.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include "platform/posix/owner_only_posix.h"

namespace qm::platform::posix {

namespace {

// Marks a file as ours ("QMRG"); a database without it is never written to.
constexpr std::int64_t kApplicationId = 0x514D5247;
constexpr std::int64_t kSchemaVersion = 1;

// The folder RegistryFilePath() puts the store in.
constexpr char kStoreFolderName[] = "qmregistry";

// Long enough to outlast any single write of another process (a 10 MB value
// with a full sync included), short enough not to hang a user's click.
constexpr int kBusyTimeoutMs = 15000;

// Hive rows have parent 0; their folded name is the root's handle value in
// hex, which no real key name (no backslash, compared folded) can collide
// with, because hive rows are the only rows with parent 0.
constexpr const char* kSchema =
    "CREATE TABLE keys("
    "  id INTEGER PRIMARY KEY,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  UNIQUE(parent, folded));"
    "CREATE TABLE vals("
    "  id INTEGER PRIMARY KEY,"
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  folded TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  UNIQUE(key, folded));";

}  // namespace

std::int32_t ResultCodeFor(int sqliteCode) noexcept {
  switch (sqliteCode & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return reg::kSuccess;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_FORMAT:
    case SQLITE_MISMATCH:
    case SQLITE_CONSTRAINT:
    case SQLITE_ERROR:  // e.g. a table of ours missing from a file marked ours
      return reg::kBadDatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
      return reg::kAccessDenied;
    case SQLITE_TOOBIG:
      return reg::kInvalidParameter;
    default:  // I/O, disk full, busy beyond the timeout, out of memory
      return reg::kIoFailed;
  }
}

namespace {

// The store holds the user's settings and search history, as the user's own
// part of the registry does on Windows: no one else may read it. SQLite gives
// its journal the mode of the store file, so a store made 0600 keeps its side
// files private too; those a store of wider days left behind are narrowed.
// The folder is narrowed only when it is the store's own: a store file kept
// somewhere else must not close the folder it was put in.
void KeepPrivate(const QString& path) {
  const QFileInfo file(path);
  if (file.absoluteDir().dirName() == QLatin1String(kStoreFolderName)) {
    NarrowToOwner(file.absolutePath());
  }
  NarrowToOwner(path);
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    NarrowToOwner(path + QLatin1String(suffix));
  }
}

[[noreturn]] void ThrowDbFailure(const sqlite::Failure& failure) {
  throw DbFailure{ResultCodeFor(failure.code)};
}

}  // namespace

Database OpenStore(const QString& path, OpenMode mode) {
  Database::Mode open = Database::Mode::kReadWrite;
  if (mode == OpenMode::kRead) {
    // A read never creates the store. It still opens for writing when it
    // can, so that a transaction a crashed writer left behind is rolled back
    // instead of blocking every reader.
    if (!QFileInfo::exists(path)) {
      throw DbFailure{reg::kFileNotFound};
    }
    KeepPrivate(path);
  } else {
    if (!MakeOwnerOnlyFolderPath(QFileInfo(path).absolutePath()) || !MakeOwnerOnlyFile(path)) {
      throw DbFailure{reg::kAccessDenied};
    }
    KeepPrivate(path);
    open = Database::Mode::kCreate;
  }
  Database db;
  try {
    db = Database(path, open, ThrowDbFailure);
  } catch (const DbFailure&) {
    if (mode != OpenMode::kRead) {
      throw;
    }
    db = Database(path, Database::Mode::kReadOnly, ThrowDbFailure);
  }
  // The file is data, not code: the wrapper runs none of its triggers or
  // views and keeps writable schema tricks out.
  db.SetBusyTimeout(kBusyTimeoutMs);
  // A commit must be on disk before we report success.
  db.Exec("PRAGMA synchronous=FULL", "Opening");
  return db;
}

bool VerifySchema(const Database& db, bool create) {
  const std::int64_t app = db.PragmaInt("PRAGMA application_id");
  if (app == kApplicationId) {
    if (db.PragmaInt("PRAGMA user_version") != kSchemaVersion) {
      throw DbFailure{reg::kBadDatabase};
    }
    return true;
  }
  if (app != 0) {
    throw DbFailure{reg::kBadDatabase};
  }
  if (db.PragmaInt("SELECT count(*) FROM sqlite_master") != 0) {
    throw DbFailure{reg::kBadDatabase};  // somebody else's database
  }
  if (!create) {
    return false;
  }
  db.Exec(kSchema, "Creating");
  db.Exec(("PRAGMA application_id=" + QByteArray::number(kApplicationId)).constData(), "Creating");
  db.Exec(("PRAGMA user_version=" + QByteArray::number(kSchemaVersion)).constData(), "Creating");
  return true;
}

}  // namespace qm::platform::posix
