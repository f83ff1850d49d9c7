#include "platform/posix/registry_db_posix.h"

#include <QDir>
#include <QFile>
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

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
  const int rc = sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw DbFailure{ResultCodeFor(rc)};
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK) {
    throw DbFailure{ResultCodeFor(rc)};
  }
  return *this;
}

Statement& Statement::Bind(int index, const QString& value) {
  const QByteArray utf8 = value.toUtf8();
  const int rc =
      sqlite3_bind_text64(stmt_, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                          SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) {
    throw DbFailure{ResultCodeFor(rc)};
  }
  return *this;
}

Statement& Statement::BindBlob(int index, const QByteArray& value) {
  // An empty QByteArray may have no data pointer, which SQLite would bind
  // as NULL rather than as an empty blob.
  const int rc = value.isEmpty()
                     ? sqlite3_bind_zeroblob(stmt_, index, 0)
                     : sqlite3_bind_blob64(stmt_, index, value.constData(),
                                           static_cast<sqlite3_uint64>(value.size()),
                                           SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) {
    throw DbFailure{ResultCodeFor(rc)};
  }
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    return true;
  }
  if (rc == SQLITE_DONE) {
    return false;
  }
  throw DbFailure{ResultCodeFor(rc)};
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::Int64(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return text ? QString::fromUtf8(text, size) : QString();
}

QByteArray Statement::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  if (data == nullptr || size <= 0) {
    return QByteArray("");  // empty but not null: an empty value is still a value
  }
  return QByteArray(static_cast<const char*>(data), size);
}

void Connection::Closer::operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }

namespace {

// sqlite3_open_v2 hands out a handle even when it fails; it is owned either way.
int OpenInto(std::unique_ptr<sqlite3, Connection::Closer>& owner, const QByteArray& fileName,
             int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(fileName.constData(), &raw, flags, nullptr);
  owner.reset(raw);
  return rc;
}

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

}  // namespace

Connection::Connection(const QString& path, Mode mode) {
  const QByteArray fileName = QFile::encodeName(path);
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (mode == Mode::kRead) {
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
    flags |= SQLITE_OPEN_CREATE;
  }
  int rc = OpenInto(db_, fileName, flags);
  if (rc != SQLITE_OK && mode == Mode::kRead) {
    rc = OpenInto(db_, fileName, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX);
  }
  if (rc != SQLITE_OK) {
    throw DbFailure{ResultCodeFor(rc)};
  }
  sqlite3* db = db_.get();
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // The file is data, not code: whatever it holds must not run triggers or
  // views of its own, nor be damaged by writable schema tricks.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  // A commit must be on disk before we report success.
  Exec("PRAGMA synchronous=FULL");
}

void Connection::Exec(const char* sql) {
  const int rc = sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    throw DbFailure{ResultCodeFor(rc)};
  }
}

bool VerifySchema(Connection& db, bool create) {
  Statement appId(db.get(), "PRAGMA application_id");
  const std::int64_t app = appId.Step() ? appId.Int64(0) : 0;
  if (app == kApplicationId) {
    Statement version(db.get(), "PRAGMA user_version");
    if (!version.Step() || version.Int64(0) != kSchemaVersion) {
      throw DbFailure{reg::kBadDatabase};
    }
    return true;
  }
  if (app != 0) {
    throw DbFailure{reg::kBadDatabase};
  }
  Statement objects(db.get(), "SELECT count(*) FROM sqlite_master");
  if (!objects.Step() || objects.Int64(0) != 0) {
    throw DbFailure{reg::kBadDatabase};  // somebody else's database
  }
  if (!create) {
    return false;
  }
  db.Exec(kSchema);
  db.Exec(("PRAGMA application_id=" + QByteArray::number(kApplicationId)).constData());
  db.Exec(("PRAGMA user_version=" + QByteArray::number(kSchemaVersion)).constData());
  return true;
}

}  // namespace qm::platform::posix
