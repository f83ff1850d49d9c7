// The stand-in host's collection databases over the shared SQLite wrapper.
// A failing call becomes a qm::Error of the database source that says what
// was being done, the file, and SQLite's own message.
#pragma once

#include <QString>

#include "sqlite/database.h"

namespace qm::host {

using Statement = sqlite::Statement;
using StatementUse = sqlite::StatementUse;

class SqliteDb : public sqlite::Database {
 public:
  SqliteDb() = default;
  // Opens the file; kCreate makes it when missing. Nothing else is set up.
  SqliteDb(const QString& file, Mode mode);
};

}  // namespace qm::host
