#include "engine/journal_db.h"

#include <QDir>

#include <sqlite3.h>

#include "engine/run_journal.h"
#include "platform/error.h"

namespace qm::journal {
namespace {

constexpr int kBusyTimeoutMs = 10000;

// A failure that means the file is not a sound journal, as opposed to one
// that cannot be reached or written.
bool IsDamage(int rc) {
  const int primary = rc & 0xFF;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

}  // namespace

void Fail(const QString& description) {
  throw Error(kJournalError, QString::fromLatin1(kJournalSource), description);
}

Db::Db(const QString& file) : file_(file) {
  const int rc = sqlite3_open_v2(file.toUtf8().constData(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    Check(rc, "Opening");
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  sqlite3_extended_result_codes(db_, 1);
}

Db::~Db() { sqlite3_close_v2(db_); }

void Db::Check(int rc, const char* what) const {
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

void Db::Exec(const char* sql, const char* what) const {
  Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), what);
}

std::int64_t Db::PragmaInt(const char* sql) const {
  Statement pragma(*this, sql, "Reading");
  return pragma.Step() ? pragma.Int(0) : 0;
}

Statement::Statement(const Db& db, const char* sql, const char* what) : db_(db), what_(what) {
  db_.Check(sqlite3_prepare_v3(db_.get(), sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr),
            what_);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

std::int64_t Statement::Bind(int index, std::int64_t value) {
  sqlite3_bind_int64(stmt_, index, value);
  return sizeof value;
}

std::int64_t Statement::Bind(int index, const QString& value) {
  if (value.isNull()) {
    sqlite3_bind_null(stmt_, index);
    return 0;
  }
  const QByteArray utf8 = value.toUtf8();
  sqlite3_bind_text64(stmt_, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                      SQLITE_TRANSIENT, SQLITE_UTF8);
  return utf8.size();
}

std::int64_t Statement::Bind(int index, const QVariant& value) {
  bool whole = false;
  const qlonglong number = value.toLongLong(&whole);
  if (whole && value.typeId() != QMetaType::QString) {
    return Bind(index, std::int64_t{number});
  }
  return Bind(index, value.toString());
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  db_.Check(rc, what_);
  return rc == SQLITE_ROW;
}

void Statement::Run() {
  while (Step()) {
  }
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

QString Statement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (text == nullptr) {
    return QString();
  }
  QString result = QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
  return result.isNull() ? QStringLiteral("") : result;
}

QVariant Statement::Value(int column) const {
  if (sqlite3_column_type(stmt_, column) == SQLITE_INTEGER) {
    return QVariant(static_cast<qlonglong>(Int(column)));
  }
  return QVariant(Text(column));
}

Transaction::Transaction(const Db& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE", "Writing to"); }

Transaction::~Transaction() {
  if (!done_) {
    sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  db_.Exec("COMMIT", "Writing to");
  done_ = true;
}

}  // namespace qm::journal
