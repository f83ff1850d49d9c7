#include "host/sqlite_db.h"

#include <sqlite3.h>

#include <utility>

#include "host/host_errors.h"

namespace qm::host {

SqliteDb::SqliteDb(const QString& file, Mode mode) : file_(file) {
  int flags = SQLITE_OPEN_NOMUTEX;
  switch (mode) {
    case Mode::ReadOnly:
      flags |= SQLITE_OPEN_READONLY;
      break;
    case Mode::ReadWrite:
      flags |= SQLITE_OPEN_READWRITE;
      break;
    case Mode::Create:
      flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
      break;
  }
  const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) {
    // The handle holds the message even when opening failed.
    const QString why = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_))
                                       : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(db_);
    db_ = nullptr;
    Throw(errc::kDatabase, kDatabaseSource,
          QStringLiteral("Opening the collection database %1 failed: %2").arg(file, why));
  }
  sqlite3_extended_result_codes(db_, 1);
}

SqliteDb::~SqliteDb() { sqlite3_close_v2(db_); }

SqliteDb::SqliteDb(SqliteDb&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), file_(std::move(other.file_)) {}

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept {
  if (this != &other) {
    sqlite3_close_v2(db_);
    db_ = std::exchange(other.db_, nullptr);
    file_ = std::move(other.file_);
  }
  return *this;
}

void SqliteDb::Exec(const char* sql, const char* doing) {
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    Fail(doing, rc);
  }
}

void SqliteDb::Fail(const char* doing) const { Fail(doing, sqlite3_extended_errcode(db_)); }

void SqliteDb::Fail(const char* doing, int resultCode) const {
  const int primary = resultCode & 0xFF;
  const bool notADatabase = primary == SQLITE_NOTADB;
  const QString why = QString::fromUtf8(sqlite3_errmsg(db_));
  Throw(notADatabase ? errc::kNotACollection : errc::kDatabase, kDatabaseSource,
        QStringLiteral("%1 failed for %2: %3").arg(QString::fromUtf8(doing), file_, why));
}

Statement::Statement(const SqliteDb& db, const char* sql) : db_(db) {
  const int rc = sqlite3_prepare_v3(db.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
  if (rc != SQLITE_OK) {
    db.Fail("Preparing a statement", rc);
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

bool Statement::Step(const char* doing) {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    return true;
  }
  if (rc == SQLITE_DONE) {
    return false;
  }
  db_.Fail(doing, rc);
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

void Statement::Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }

void Statement::Bind(int index, const QString& value) {
  if (value.isNull()) {
    sqlite3_bind_null(stmt_, index);
    return;
  }
  const QByteArray utf8 = value.toUtf8();
  sqlite3_bind_text64(stmt_, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                      SQLITE_TRANSIENT, SQLITE_UTF8);
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  if (text == nullptr) {
    return QString();
  }
  const int bytes = sqlite3_column_bytes(stmt_, column);
  QString result = QString::fromUtf8(reinterpret_cast<const char*>(text), bytes);
  if (result.isNull()) {
    result = QStringLiteral("");  // an empty value is not a missing one
  }
  return result;
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

}  // namespace qm::host
