// The journal's connection: the shared SQLite wrapper with the journal's own
// failures. A failing call throws qm::Error with kJournalError, naming what
// was being done and the file; while the file is being opened, a failure
// that shows the file is no sound database throws DamagedJournal instead,
// so that the opener can move it aside.
#pragma once

#include <QString>

#include "sqlite/database.h"

namespace qm::journal {

// The file is no sound journal (not a database, damaged, or another
// program's): thrown only while it is being opened.
class DamagedJournal {};

[[noreturn]] void Fail(const QString& description);

using Statement = sqlite::Statement;

class Db : public sqlite::Database {
 public:
  // Opens (and creates) the file.
  explicit Db(const QString& file);
  // From now on damage is a failure like any other: the file was sound when
  // it opened, and what a run wrote must not be moved away.
  void Opened();
};

// BEGIN IMMEDIATE; rolled back unless committed.
class Transaction : public sqlite::Transaction {
 public:
  explicit Transaction(const Db& db) : sqlite::Transaction(db, "Writing to") {}
};

}  // namespace qm::journal
