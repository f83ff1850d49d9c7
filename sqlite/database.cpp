#include "sqlite/database.h"

#include <sqlite3.h>

#include <cstdlib>
#include <utility>

namespace qm::sqlite {
namespace {

// Every file is data to us, never code: a collection from a share or a file
// another program wrote may carry triggers and views, and no schema of ours
// has either. So none of theirs runs; functions reach a schema only when they
// are innocuous; and the schema cannot be written around SQLite's back.
constexpr struct {
  int option;
  int value;
} kDataNotCode[] = {
    {SQLITE_DBCONFIG_DEFENSIVE, 1},
    {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
    {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
    {SQLITE_DBCONFIG_ENABLE_VIEW, 0},
};

}  // namespace

Database::Database(const QString& file, Mode mode, FailureMapping mapping)
    : file_(file), mapping_(std::move(mapping)) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::kReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Mode::kReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case Mode::kCreate:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    // The handle holds the message even when opening failed.
    QString why = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_))
                                 : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close_v2(db_);
    db_ = nullptr;
    Raise(Failure{rc, std::move(why), "Opening", file_, true});
  }
  sqlite3_extended_result_codes(db_, 1);
  for (const auto& setting : kDataNotCode) {
    int now = -1;
    const int set = sqlite3_db_config(db_, setting.option, setting.value, &now);
    if (set != SQLITE_OK || now != setting.value) {
      // A library that cannot keep a file's triggers from running is not to
      // be trusted with one.
      sqlite3_close_v2(db_);
      db_ = nullptr;
      Raise(Failure{set != SQLITE_OK ? set : SQLITE_MISUSE,
                    QStringLiteral("this SQLite library cannot keep a file's triggers and views "
                                   "from running"),
                    "Opening", file_, true});
    }
  }
}

Database::~Database() { sqlite3_close_v2(db_); }

Database::Database(Database&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      file_(std::move(other.file_)),
      mapping_(std::move(other.mapping_)) {}

Database& Database::operator=(Database&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
    file_ = std::move(other.file_);
    mapping_ = std::move(other.mapping_);
  }
  return *this;
}

void Database::SetBusyTimeout(int milliseconds) const { sqlite3_busy_timeout(db_, milliseconds); }

void Database::Exec(const char* sql, const char* doing) const {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    Fail(doing, rc);
  }
}

std::int64_t Database::PragmaInt(const char* sql, const char* doing) const {
  Statement pragma(*this, sql, doing);
  return pragma.Step() ? pragma.Int(0) : 0;
}

void Database::Fail(const char* doing) const { Fail(doing, sqlite3_extended_errcode(db_)); }

void Database::Fail(const char* doing, int resultCode) const {
  Raise(Failure{resultCode, QString::fromUtf8(sqlite3_errmsg(db_)), doing, file_, false});
}

void Database::Raise(const Failure& failure) const {
  if (mapping_) {
    mapping_(failure);
  }
  std::abort();  // a mapping that does not throw would let a failure pass as success
}

Statement::Statement(const Database& db, const char* sql, const char* doing)
    : db_(db), doing_(doing) {
  const int rc = sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    db.Fail(doing_, rc);
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::CheckBind(int rc) const {
  // A value SQLite refuses (too big) must fail the statement, not be
  // stored as NULL.
  if (rc != SQLITE_OK) {
    db_.Fail(doing_, rc);
  }
}

Statement& Statement::Bind(int index, std::int64_t value) {
  CheckBind(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

Statement& Statement::Bind(int index, const QString& value) {
  if (value.isNull()) {
    CheckBind(sqlite3_bind_null(stmt_, index));
    return *this;
  }
  const QByteArray utf8 = value.toUtf8();
  CheckBind(sqlite3_bind_text64(stmt_, index, utf8.constData(),
                                static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                                SQLITE_UTF8));
  return *this;
}

Statement& Statement::BindBlob(int index, const QByteArray& value) {
  // An empty QByteArray may have no data pointer, which SQLite would bind
  // as NULL rather than as an empty blob.
  CheckBind(value.isEmpty()
                ? sqlite3_bind_zeroblob(stmt_, index, 0)
                : sqlite3_bind_blob64(stmt_, index, value.constData(),
                                      static_cast<sqlite3_uint64>(value.size()), SQLITE_TRANSIENT));
  return *this;
}

bool Statement::Step(const char* doing) {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    return true;
  }
  if (rc != SQLITE_DONE) {
    db_.Fail(doing, rc);
  }
  return false;
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (text == nullptr) {
    return QString();
  }
  QString result = QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
  return result.isNull() ? QStringLiteral("") : result;  // an empty value is not a missing one
}

QVariant Statement::Value(int column) const {
  if (sqlite3_column_type(stmt_, column) == SQLITE_INTEGER) {
    return QVariant(static_cast<qlonglong>(Int(column)));
  }
  return QVariant(Text(column));
}

QByteArray Statement::Blob(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  const int size = sqlite3_column_bytes(stmt_, column);
  if (data == nullptr || size <= 0) {
    return QByteArray("");  // empty but not null: an empty value is still a value
  }
  return QByteArray(static_cast<const char*>(data), size);
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Transaction::Transaction(const Database& db, const char* doing, Begin begin)
    : db_(db), doing_(doing) {
  db_.Exec(begin == Begin::kImmediate ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED", doing_);
}

Transaction::Transaction(Statement& begin, Statement& commit)
    : db_(begin.database()), commit_(&commit) {
  StatementUse use(begin);
  use->Run();
}

Transaction::~Transaction() {
  if (!done_) {
    // May fail when SQLite has rolled back already; closing the connection
    // would discard the transaction anyway.
    sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  if (commit_ != nullptr) {
    StatementUse use(*commit_);
    use->Run();
  } else {
    db_.Exec("COMMIT", doing_);
  }
  done_ = true;
}

}  // namespace qm::sqlite
