// The SQLite plumbing under the Linux registry store: one connection per
// store operation, prepared statements, and the mapping of SQLite failures to
// the registry's result codes.
//
// Inside this layer a failing SQLite call throws DbFailure; the store catches
// it at its public boundary, so nothing of it escapes to callers.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

#include "platform/registry_store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qm::platform::posix {

// A failed SQLite call; code is the registry result code it stands for.
struct DbFailure {
  std::int32_t code;
};

// The registry result code for an SQLite result code.
std::int32_t ResultCodeFor(int sqliteCode) noexcept;

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters are numbered from 1, as SQLite numbers them.
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, const QString& value);
  Statement& BindBlob(int index, const QByteArray& value);

  // True while a row is available; false when the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  std::int64_t Int64(int column) const;
  QString Text(int column) const;
  QByteArray Blob(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// One open connection to the store file.
class Connection {
 public:
  enum class Mode { kRead, kWrite };

  // Opens the file for one operation. kRead never creates anything and throws
  // DbFailure{kFileNotFound} for a file that is not there; kWrite creates the
  // file and its folder when they are missing.
  Connection(const QString& path, Mode mode);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* get() const { return db_.get(); }
  void Exec(const char* sql);

  struct Closer {
    void operator()(sqlite3* db) const noexcept;
  };

 private:
  // Owned from the moment SQLite hands it out, so that a constructor that
  // fails half-way still closes it.
  std::unique_ptr<sqlite3, Closer> db_;
};

// Runs a read (BEGIN DEFERRED) or write (BEGIN IMMEDIATE) transaction around
// body, which returns a registry result code. A write whose body fails is
// rolled back, so a failed write changes nothing. The schema is checked
// first: a file that is not one of ours is never written to.
template <typename Body>
std::int32_t RunTransaction(const QString& path, Connection::Mode mode, Body&& body);

// Schema handling, used by RunTransaction. VerifySchema throws
// DbFailure{kBadDatabase} for a foreign or newer file; for a new, empty file
// it returns false (nothing stored yet) unless create is set, in which case
// it lays out the tables.
bool VerifySchema(Connection& db, bool create);

template <typename Body>
std::int32_t RunTransaction(const QString& path, Connection::Mode mode, Body&& body) {
  Connection db(path, mode);
  const bool write = mode == Connection::Mode::kWrite;
  db.Exec(write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
  std::int32_t result = reg::kSuccess;
  try {
    if (!VerifySchema(db, write)) {
      db.Exec("ROLLBACK");
      return reg::kFileNotFound;  // an empty file holds no keys
    }
    result = body(db.get());
    if (write && result == reg::kSuccess) {
      db.Exec("COMMIT");
    } else {
      db.Exec("ROLLBACK");
    }
  } catch (...) {
    // ROLLBACK may itself fail when SQLite has already rolled back; the
    // connection's close then discards the transaction anyway.
    try {
      db.Exec("ROLLBACK");
    } catch (const DbFailure&) {
    }
    throw;
  }
  return result;
}

}  // namespace qm::platform::posix
