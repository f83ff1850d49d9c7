#include "host/lib/query_guard.h"

#include <sqlite3.h>

#include "host/lib/collection_db.h"
#include "host/lib/host_errors.h"

namespace qm::host {
namespace {

int Authorize(void*, int action, const char*, const char*, const char*, const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    default:
      return SQLITE_DENY;
  }
}

[[noreturn]] void Refuse(const QString& queryText, const QString& why) {
  Throw(errc::kQueryRefused, kLibrarySource,
        QStringLiteral("The query was refused: %1. Query: %2").arg(why, queryText));
}

bool OnlySpace(const char* text, const char* end) {
  for (; text < end; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r' && *text != '\f' &&
        *text != '\v') {
      return false;
    }
  }
  return true;
}

}  // namespace

void StatementDeleter::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

QueryConnection::QueryConnection(const QString& file) : db_(OpenCollectionDbReadOnly(file)) {
  sqlite3_limit(db_.get(), SQLITE_LIMIT_ATTACHED, 0);
  sqlite3_set_authorizer(db_.get(), &Authorize, nullptr);
}

PreparedQuery QueryConnection::Prepare(const QString& queryText) {
  const QByteArray sql = queryText.toUtf8();
  const char* const end = sql.constData() + sql.size();
  const char* tail = nullptr;
  sqlite3_stmt* raw = nullptr;
  int rc =
      sqlite3_prepare_v3(db_.get(), sql.constData(), static_cast<int>(sql.size()), 0, &raw, &tail);
  PreparedQuery statement(raw);
  if ((rc & 0xFF) == SQLITE_AUTH) {
    Refuse(queryText, QStringLiteral("it does more than read"));
  }
  if (rc != SQLITE_OK) {
    Throw(errc::kDatabase, kDatabaseSource,
          QStringLiteral("The query could not be run: %1. Query: %2")
              .arg(QString::fromUtf8(sqlite3_errmsg(db_.get())), queryText));
  }
  if (!statement) {
    Refuse(queryText, QStringLiteral("it holds no statement"));
  }
  if (!sqlite3_stmt_readonly(statement.get())) {
    Refuse(queryText, QStringLiteral("it would change the database"));
  }
  // What follows the statement may only be blanks and comments; whatever
  // else is there is a second statement, even one that does not parse.
  while (tail != nullptr && !OnlySpace(tail, end)) {
    sqlite3_stmt* next = nullptr;
    const char* nextTail = nullptr;
    rc = sqlite3_prepare_v3(db_.get(), tail, static_cast<int>(end - tail), 0, &next, &nextTail);
    sqlite3_finalize(next);
    if (rc != SQLITE_OK || next != nullptr || nextTail == tail) {
      Refuse(queryText, QStringLiteral("it holds more than one statement"));
    }
    tail = nextTail;
  }
  return statement;
}

}  // namespace qm::host
