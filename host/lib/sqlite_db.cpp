#include "host/lib/sqlite_db.h"

#include <sqlite3.h>

#include "host/lib/host_errors.h"

namespace qm::host {
namespace {

[[noreturn]] void ThrowDatabaseFailure(const sqlite::Failure& failure) {
  if (failure.opening) {
    Throw(errc::kDatabase, kDatabaseSource,
          QStringLiteral("Opening the collection database %1 failed: %2")
              .arg(failure.file, failure.message));
  }
  const bool notADatabase = (failure.code & 0xFF) == SQLITE_NOTADB;
  Throw(notADatabase ? errc::kNotACollection : errc::kDatabase, kDatabaseSource,
        QStringLiteral("%1 failed for %2: %3")
            .arg(QString::fromUtf8(failure.doing), failure.file, failure.message));
}

}  // namespace

SqliteDb::SqliteDb(const QString& file, Mode mode)
    : sqlite::Database(file, mode, ThrowDatabaseFailure) {}

}  // namespace qm::host
