#include "host/lib/collection_db.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <string>
#include <string_view>

#include "host/lib/host_document.h"
#include "host/lib/host_errors.h"
#include "host/lib/unicode_like.h"
#include "platform/private_files.h"

namespace qm::host {
namespace {

// "QMHD": marks a collection database of this host.
constexpr std::int64_t kApplicationId = 0x514D4844;
constexpr std::int64_t kSchemaVersion = 1;

constexpr char kIdCounterTable[] =
    "CREATE TABLE IF NOT EXISTS IdCounter (Name TEXT PRIMARY KEY, Next INTEGER NOT NULL) "
    "WITHOUT ROWID";

// The tables of a new file; the Document table's field columns follow
// kDocumentColumns.
std::string Schema() {
  std::string schema = R"sql(
CREATE TABLE Folder (
  ID INTEGER PRIMARY KEY,
  ParentID INTEGER NOT NULL,
  Name TEXT NOT NULL,
  IconIndex INTEGER NOT NULL DEFAULT 0,
  Position INTEGER NOT NULL
);
CREATE INDEX FolderByParent ON Folder (ParentID, Position);
CREATE TABLE Document (
  EntryID INTEGER NOT NULL,
  VisibleInFolderID INTEGER NOT NULL,
)sql";
  for (std::string_view column : kDocumentColumns) {
    schema.append("  ").append(column).append(" TEXT,\n");
  }
  return schema + R"sql(  PRIMARY KEY (VisibleInFolderID, EntryID)
) WITHOUT ROWID;
CREATE UNIQUE INDEX DocumentByEntryID ON Document (EntryID);
CREATE TABLE CollectionStamp (Stamp TEXT NOT NULL);
)sql";
}

[[noreturn]] void NotACollection(const QString& file, const QString& why) {
  Throw(errc::kNotACollection, kDatabaseSource,
        QStringLiteral("%1 is not a collection database of this host: %2.").arg(file, why));
}

std::int64_t PragmaValue(const SqliteDb& db, const char* sql) {
  Statement statement(db, sql);
  return statement.Step("Reading the database header") ? statement.Int(0) : 0;
}

void Configure(SqliteDb& db) {
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  // Query texts may enclose string literals in double quotes.
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
  sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  const int rc = RegisterUnicodeLike(db.get());
  if (rc != SQLITE_OK) {
    db.Fail("Setting up LIKE", rc);
  }
}

void CheckHeader(const SqliteDb& db) {
  if (PragmaValue(db, "PRAGMA application_id") != kApplicationId) {
    NotACollection(db.file(), QStringLiteral("it was made by another program"));
  }
  const std::int64_t version = PragmaValue(db, "PRAGMA user_version");
  if (version != kSchemaVersion) {
    NotACollection(db.file(), QStringLiteral("its format version %1 is unknown").arg(version));
  }
}

SqliteDb Open(const QString& file, SqliteDb::Mode mode) {
  if (!QFileInfo(file).isFile()) {
    NotACollection(file, QStringLiteral("the file does not exist"));
  }
  SqliteDb db(file, mode);
  Configure(db);
  CheckHeader(db);
  return db;
}

void RemoveFiles(const QString& file) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
    QFile::remove(file + QString::fromLatin1(suffix));
  }
}

void FillNewFile(SqliteDb& db, const QString& rootName, bool german) {
  db.Exec("PRAGMA journal_mode=WAL", "Switching to WAL");
  db.Exec("BEGIN IMMEDIATE", "Starting the new collection");
  db.Exec(Schema().c_str(), "Creating the tables");
  Statement insert(db,
                   "INSERT INTO Folder (ID, ParentID, Name, IconIndex, Position) "
                   "VALUES (?1, ?2, ?3, 0, ?4)");
  insert.Bind(1, std::int64_t{kRootFolderId});
  insert.Bind(2, std::int64_t{0});
  insert.Bind(3, rootName);
  insert.Bind(4, std::int64_t{0});
  insert.Step("Creating the root folder");
  Statement stamp(db, "INSERT INTO CollectionStamp (Stamp) VALUES (?1)");
  stamp.Bind(1, QUuid::createUuid().toString(QUuid::WithoutBraces));
  stamp.Step("Stamping the new collection");
  std::int64_t position = 0;
  for (const ReservedFolder& folder : kReservedFolders) {
    insert.Reset();
    insert.Bind(1, std::int64_t{folder.id});
    insert.Bind(2, std::int64_t{kRootFolderId});
    insert.Bind(3, QString::fromUtf8(german ? folder.germanName : folder.englishName));
    insert.Bind(4, position++);
    insert.Step("Creating the reserved folders");
  }
  ReadIdCounters(db);  // the counters' table, past the reserved folders
  const QByteArray finish = QByteArrayLiteral("PRAGMA application_id=") +
                            QByteArray::number(kApplicationId) +
                            QByteArrayLiteral("; PRAGMA user_version=") +
                            QByteArray::number(kSchemaVersion) + QByteArrayLiteral("; COMMIT");
  db.Exec(finish.constData(), "Finishing the new collection");
}

}  // namespace

QString ReadCollectionStamp(const SqliteDb& db) {
  Statement table(db, "SELECT 1 FROM sqlite_schema WHERE name = 'CollectionStamp'");
  if (!table.Step("Reading the collection's stamp")) {
    return {};
  }
  Statement stamp(db, "SELECT Stamp FROM CollectionStamp");
  return stamp.Step("Reading the collection's stamp") ? stamp.Text(0) : QString();
}

IdCounters ReadIdCounters(const SqliteDb& db) {
  db.Exec(kIdCounterTable, "Setting up the ID counters");
  // A counter is raised, never lowered: the highest ID a file holds may be
  // of a row that is gone by the next time.
  const QByteArray raise = QByteArrayLiteral(
                               "INSERT INTO IdCounter (Name, Next) VALUES "
                               "('EntryID', (SELECT coalesce(max(EntryID), 0) + 1 FROM Document)), "
                               "('FolderID', (SELECT max(coalesce(max(ID), 0) + 1, ") +
                           QByteArray::number(kLastReservedFolderId + 1) +
                           QByteArrayLiteral(
                               ") FROM Folder)) ON CONFLICT (Name) DO UPDATE SET Next = "
                               "max(Next, excluded.Next)");
  db.Exec(raise.constData(), "Raising the ID counters");
  IdCounters next;
  Statement read(db, "SELECT Name, Next FROM IdCounter WHERE Name IN ('EntryID', 'FolderID')");
  while (read.Step("Reading the ID counters")) {
    (read.Text(0) == u"EntryID" ? next.entryId : next.folderId) = read.Int(1);
  }
  return next;
}

void WriteIdCounters(const SqliteDb& db, const IdCounters& next) {
  Statement write(db,
                  "UPDATE IdCounter SET Next = iif(Name = 'EntryID', ?1, ?2) "
                  "WHERE Name IN ('EntryID', 'FolderID')");
  write.Bind(1, next.entryId);
  write.Bind(2, next.folderId);
  write.Step("Storing the ID counters");
}

SqliteDb OpenCollectionDb(const QString& file) { return Open(file, SqliteDb::Mode::kReadWrite); }

SqliteDb OpenCollectionDbReadOnly(const QString& file) {
  return Open(file, SqliteDb::Mode::kReadOnly);
}

void CreateCollectionFile(const QString& file, const QString& rootName, bool german) {
  if (QFileInfo::exists(file)) {
    Throw(errc::kBadArgument, kAdminSource,
          QStringLiteral("The collection file %1 exists already.").arg(file));
  }
  const QString folder = QFileInfo(file).absolutePath();
  if (!QDir().mkpath(folder)) {
    Throw(errc::kDatabase, kAdminSource,
          QStringLiteral("The folder %1 could not be created.").arg(folder));
  }
  // Made before SQLite opens it: SQLite would make it readable by all, and
  // its side files take its permissions.
  const QString notPrivate = platform::MakePrivateFile(file);
  if (!notPrivate.isEmpty()) {
    RemoveFiles(file);
    Throw(errc::kDatabase, kAdminSource,
          QStringLiteral("The collection file cannot be made private: %1.").arg(notPrivate));
  }
  try {
    SqliteDb db(file, SqliteDb::Mode::kCreate);
    Configure(db);
    FillNewFile(db, rootName, german);
  } catch (...) {
    RemoveFiles(file);
    throw;
  }
}

}  // namespace qm::host
