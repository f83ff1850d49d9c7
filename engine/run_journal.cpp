// The journal over SQLite. Each call is its own transaction; statements are
// prepared per call, which costs little next to the commit they end with.
#include "engine/run_journal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sqlite3.h>

#include <utility>

#include "platform/error.h"

namespace qm {
namespace {

// "QMRJ": tells our journal from any other SQLite file.
constexpr std::int64_t kApplicationId = 0x514D524A;
constexpr std::int64_t kSchemaVersion = 1;
constexpr int kBusyTimeoutMs = 10000;

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS Run("
    " Number INTEGER PRIMARY KEY AUTOINCREMENT,"
    " Started TEXT NOT NULL, CollectionID INTEGER NOT NULL, CollectionName TEXT NOT NULL,"
    " Field INTEGER NOT NULL, SearchText TEXT NOT NULL, ReplaceText TEXT NOT NULL,"
    " Undone INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS RunDocument("
    " Run INTEGER NOT NULL, Position INTEGER NOT NULL, EntryID NOT NULL,"
    " Before TEXT, After TEXT NOT NULL, PRIMARY KEY(Run, Position)) WITHOUT ROWID;";

[[noreturn]] void Fail(const QString& description) {
  throw Error(kJournalError, QString::fromLatin1(kJournalSource), description);
}

// A failure that means the file is not a sound journal, as opposed to one
// that cannot be reached or written.
bool IsDamage(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

class DamagedJournal {};

class Db {
 public:
  explicit Db(const QString& file) : file_(file) {
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
      Check(rc, "Opening");
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
  }
  ~Db() { sqlite3_close_v2(db_); }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  sqlite3* get() const { return db_; }
  // From now on damage found is a failure like any other: the file was
  // sound when it opened, and what a run wrote must not be moved away.
  void Opened() { opening_ = false; }

  void Check(int rc, const char* what) const {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) {
      return;
    }
    if (opening_ && IsDamage(rc)) {
      throw DamagedJournal();
    }
    const char* message = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    Fail(QStringLiteral("%1 the journal \"%2\" failed: %3")
             .arg(QString::fromLatin1(what), QDir::toNativeSeparators(file_),
                  QString::fromUtf8(message)));
  }

  void Exec(const char* sql, const char* what) const {
    Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), what);
  }

 private:
  QString file_;
  sqlite3* db_ = nullptr;
  bool opening_ = true;
};

class Statement {
 public:
  Statement(const Db& db, const char* sql, const char* what) : db_(db), what_(what) {
    db_.Check(sqlite3_prepare_v2(db_.get(), sql, -1, &stmt_, nullptr), what_);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  void Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
  void Bind(int index, const QString& value) {
    if (value.isNull()) {
      sqlite3_bind_null(stmt_, index);
      return;
    }
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text64(stmt_, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  void Bind(int index, const QVariant& value) {
    bool whole = false;
    const qlonglong number = value.toLongLong(&whole);
    if (whole && value.typeId() != QMetaType::QString) {
      Bind(index, std::int64_t{number});
    } else {
      Bind(index, value.toString());
    }
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  // True while there is a row.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    db_.Check(rc, what_);
    return rc == SQLITE_ROW;
  }
  std::int64_t Int(int column) const { return sqlite3_column_int64(stmt_, column); }
  QString Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (text == nullptr) {
      return QString();
    }
    QString result = QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
    return result.isNull() ? QStringLiteral("") : result;
  }
  QVariant Value(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_INTEGER) {
      return QVariant(static_cast<qlonglong>(Int(column)));
    }
    return QVariant(Text(column));
  }

 private:
  const Db& db_;
  const char* what_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Rolls back unless committed, so a failure leaves nothing half written.
class Transaction {
 public:
  explicit Transaction(const Db& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE", "Writing to"); }
  ~Transaction() {
    if (!done_) {
      sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit() {
    db_.Exec("COMMIT", "Writing to");
    done_ = true;
  }

 private:
  const Db& db_;
  bool done_ = false;
};

std::int64_t PragmaInt(const Db& db, const char* sql) {
  Statement pragma(db, sql, "Reading");
  return pragma.Step() ? pragma.Int(0) : 0;
}

constexpr QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFolder =
    kOwnerOnlyFile | QFileDevice::ExeOwner;

void MakeFolder(const QString& folder) {
  if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
    Fail(QStringLiteral("The journal folder \"%1\" could not be created.")
             .arg(QDir::toNativeSeparators(folder)));
  }
  QFile::setPermissions(folder, kOwnerOnlyFolder);
}

// The file exists, owner-only, before SQLite opens it: SQLite would create
// it readable by everyone, and its -wal and -shm files take its permissions.
void MakeFile(const QString& file) {
  QFile journal(file);
  if (!journal.exists()) {
    if (!journal.open(QIODevice::WriteOnly)) {
      Fail(QStringLiteral("The journal \"%1\" could not be created: %2")
               .arg(QDir::toNativeSeparators(file), journal.errorString()));
    }
    journal.close();
  }
  QFile::setPermissions(file, kOwnerOnlyFile);
}

class SqliteRunJournal final : public RunJournal {
 public:
  SqliteRunJournal(const QString& file, QString movedAside)
      : db_(file), movedAside_(std::move(movedAside)) {
    Prepare();
  }

  std::int64_t BeginRun(const JournalRun& run) override {
    Transaction transaction(db_);
    Statement insert(db_,
                     "INSERT INTO Run(Started, CollectionID, CollectionName, Field, SearchText, "
                     "ReplaceText) VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
                     "Entering a run in");
    insert.Bind(1, run.started.toUTC().toString(Qt::ISODateWithMs));
    insert.Bind(2, std::int64_t{run.collectionId});
    insert.Bind(3, run.collectionName.isNull() ? QStringLiteral("") : run.collectionName);
    insert.Bind(4, std::int64_t{static_cast<int>(run.field)});
    insert.Bind(5, run.searchText.isNull() ? QStringLiteral("") : run.searchText);
    insert.Bind(6, run.replaceText.isNull() ? QStringLiteral("") : run.replaceText);
    insert.Step();
    const std::int64_t number = sqlite3_last_insert_rowid(db_.get());
    Statement dropDocuments(db_, "DELETE FROM RunDocument WHERE Run <= ?1", "Dropping old runs in");
    dropDocuments.Bind(1, number - kKeptRuns);
    dropDocuments.Step();
    Statement dropRuns(db_, "DELETE FROM Run WHERE Number <= ?1", "Dropping old runs in");
    dropRuns.Bind(1, number - kKeptRuns);
    dropRuns.Step();
    transaction.Commit();
    return number;
  }

  void RecordDocument(std::int64_t run, const JournalDocument& document) override {
    // One statement is its own transaction: one commit per document.
    if (!record_) {
      record_ = std::make_unique<Statement>(
          db_,
          "INSERT INTO RunDocument(Run, Position, EntryID, Before, After) VALUES(?1, "
          "(SELECT coalesce(max(Position), 0) + 1 FROM RunDocument WHERE Run = ?1), ?2, ?3, ?4)",
          "Recording a document in");
    }
    record_->Reset();
    record_->Bind(1, run);
    record_->Bind(2, document.entryId);
    record_->Bind(3, document.before);
    record_->Bind(4, document.after.isNull() ? QStringLiteral("") : document.after);
    record_->Step();
  }

  std::optional<JournalRun> LastUndoableRun() override {
    Statement last(db_,
                   "SELECT Number, Started, CollectionID, CollectionName, Field, SearchText, "
                   "ReplaceText, (SELECT count(*) FROM RunDocument WHERE Run = Number) "
                   "FROM Run WHERE Undone = 0 AND EXISTS (SELECT 1 FROM RunDocument WHERE Run = "
                   "Number) ORDER BY Number DESC LIMIT 1",
                   "Reading");
    if (!last.Step()) {
      return std::nullopt;
    }
    JournalRun run;
    run.number = last.Int(0);
    run.started = QDateTime::fromString(last.Text(1), Qt::ISODateWithMs);
    run.collectionId = static_cast<std::int32_t>(last.Int(2));
    run.collectionName = last.Text(3);
    run.field = static_cast<SearchField>(last.Int(4));
    run.searchText = last.Text(5);
    run.replaceText = last.Text(6);
    run.documents = last.Int(7);
    return run;
  }

  std::vector<JournalDocument> Documents(std::int64_t run) override {
    Statement documents(db_,
                        "SELECT EntryID, Before, After FROM RunDocument WHERE Run = ?1 "
                        "ORDER BY Position",
                        "Reading");
    documents.Bind(1, run);
    std::vector<JournalDocument> result;
    while (documents.Step()) {
      result.push_back(JournalDocument{documents.Value(0), documents.Text(1), documents.Text(2)});
    }
    return result;
  }

  void MarkUndone(std::int64_t run) override {
    Statement mark(db_, "UPDATE Run SET Undone = 1 WHERE Number = ?1", "Writing to");
    mark.Bind(1, run);
    mark.Step();
  }

  QString TakeMovedAside() override { return std::exchange(movedAside_, QString()); }

 private:
  void Prepare() {
    db_.Exec("PRAGMA journal_mode=WAL", "Opening");
    // Every commit reaches the disk before the host's Save that follows it.
    db_.Exec("PRAGMA synchronous=FULL", "Opening");
    const std::int64_t id = PragmaInt(db_, "PRAGMA application_id");
    if (id != 0 && id != kApplicationId) {
      throw DamagedJournal();
    }
    {
      Statement check(db_, "PRAGMA quick_check", "Checking");
      if (!check.Step() || check.Text(0) != QLatin1String("ok")) {
        throw DamagedJournal();
      }
    }
    if (id == 0) {
      Transaction transaction(db_);
      db_.Exec(kSchema, "Creating");
      db_.Exec("PRAGMA application_id=1364021834; PRAGMA user_version=1", "Creating");
      transaction.Commit();
    } else if (PragmaInt(db_, "PRAGMA user_version") != kSchemaVersion) {
      throw DamagedJournal();
    }
    db_.Opened();
  }

  Db db_;
  QString movedAside_;
  std::unique_ptr<Statement> record_;
};

// Keeps a damaged journal (with its -wal file, which may hold the last
// commits) beside the new one, under a name no later damage reuses.
QString MoveAside(const QString& file) {
  const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString target = file + QStringLiteral(".damaged-") + stamp;
  for (int i = 2; QFile::exists(target); ++i) {
    target = file + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(i);
  }
  if (!QFile::rename(file, target)) {
    Fail(QStringLiteral("The damaged journal \"%1\" could not be moved aside.")
             .arg(QDir::toNativeSeparators(file)));
  }
  for (const char* suffix : {"-wal", "-shm"}) {
    const QString side = file + QLatin1String(suffix);
    if (QFile::exists(side)) {
      QFile::rename(side, target + QLatin1String(suffix));
    }
  }
  return target;
}

}  // namespace

QString DefaultJournalFolder() {
  // XDG_DATA_HOME names the user's data folder on Linux, where Qt follows it
  // already. It is honoured on Windows as well, which has no variable of its
  // own for the folder: that is how each test program there gets a journal
  // of its own instead of sharing the one in the profile.
  const QString data = qEnvironmentVariable("XDG_DATA_HOME");
  const QString base = !data.isEmpty() && QDir::isAbsolutePath(data)
                           ? data
                           : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return base + QStringLiteral("/QMReplace");
}

std::unique_ptr<RunJournal> OpenRunJournal(const QString& folder) {
  MakeFolder(folder);
  const QString file = folder + QLatin1Char('/') + QLatin1String(kJournalFileName);
  MakeFile(file);
  try {
    return std::make_unique<SqliteRunJournal>(file, QString());
  } catch (const DamagedJournal&) {
  }
  const QString movedTo = MoveAside(file);
  MakeFile(file);
  try {
    return std::make_unique<SqliteRunJournal>(file, movedTo);
  } catch (const DamagedJournal&) {
    Fail(QStringLiteral("A new journal \"%1\" could not be started.")
             .arg(QDir::toNativeSeparators(file)));
  }
}

}  // namespace qm
