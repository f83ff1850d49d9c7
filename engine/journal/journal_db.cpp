#include "engine/journal/journal_db.h"

#include <QDir>

#include <sqlite3.h>

#include "engine/journal/journal_records.h"
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

sqlite::FailureMapping Mapping(bool opening) {
  return [opening](const sqlite::Failure& failure) {
    if (opening && IsDamage(failure.code)) {
      throw DamagedJournal();
    }
    Fail(QStringLiteral("%1 the journal \"%2\" failed: %3")
             .arg(QString::fromLatin1(failure.doing), QDir::toNativeSeparators(failure.file),
                  failure.message));
  };
}

}  // namespace

void Fail(const QString& description) {
  throw Error(kJournalError, QString::fromLatin1(kJournalSource), description);
}

Db::Db(const QString& file) : sqlite::Database(file, Mode::kCreate, Mapping(true)) {
  SetBusyTimeout(kBusyTimeoutMs);
}

void Db::Opened() { SetFailureMapping(Mapping(false)); }

}  // namespace qm::journal
