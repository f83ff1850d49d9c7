// The connection that query texts from outside run on.
//
// A query text comes from the tool and carries the user's search text
// unescaped, so it is treated as untrusted: the connection is read-only, an
// authorizer lets through only reading and functions, nothing may be
// attached, and a text must hold exactly one statement that does not write.
// Anything else is refused with kQueryRefused before a row is read.
#pragma once

#include <QString>

#include <memory>

#include "host/lib/sqlite_db.h"

struct sqlite3_stmt;

namespace qm::host {

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const;
};
using PreparedQuery = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

class QueryConnection {
 public:
  explicit QueryConnection(const QString& file);

  // Throws kQueryRefused for a text that is not exactly one read-only
  // statement, kDatabase for one the database cannot understand.
  PreparedQuery Prepare(const QString& queryText);

  const SqliteDb& db() const { return db_; }

 private:
  SqliteDb db_;
};

}  // namespace qm::host
