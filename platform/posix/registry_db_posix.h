// The SQLite plumbing under the Linux registry store: one connection per
// store operation over the shared wrapper, and the mapping of SQLite
// failures to the registry's result codes.
//
// Inside this layer a failing SQLite call throws DbFailure; the store catches
// it at its public boundary, so nothing of it escapes to callers.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

#include "platform/registry_store.h"
#include "sqlite/database.h"

namespace qm::platform::posix {

// A failed SQLite call; code is the registry result code it stands for.
struct DbFailure {
  std::int32_t code;
};

// The registry result code for an SQLite result code.
std::int32_t ResultCodeFor(int sqliteCode) noexcept;

using sqlite::Database;
using sqlite::Statement;

enum class OpenMode { kRead, kWrite };

// Opens the file for one operation. kRead never creates anything and throws
// DbFailure{kFileNotFound} for a file that is not there; kWrite creates the
// file and its folder when they are missing.
Database OpenStore(const QString& path, OpenMode mode);

// Runs a read (BEGIN DEFERRED) or write (BEGIN IMMEDIATE) transaction around
// body, which returns a registry result code. A write whose body fails is
// rolled back, so a failed write changes nothing. The schema is checked
// first: a file that is not one of ours is never written to.
template <typename Body>
std::int32_t RunTransaction(const QString& path, OpenMode mode, Body&& body);

// Schema handling, used by RunTransaction. VerifySchema throws
// DbFailure{kBadDatabase} for a foreign or newer file; for a new, empty file
// it returns false (nothing stored yet) unless create is set, in which case
// it lays out the tables.
bool VerifySchema(const Database& db, bool create);

template <typename Body>
std::int32_t RunTransaction(const QString& path, OpenMode mode, Body&& body) {
  const Database db = OpenStore(path, mode);
  const bool write = mode == OpenMode::kWrite;
  sqlite::Transaction transaction(
      db, "Using the store",
      write ? sqlite::Transaction::Begin::kImmediate : sqlite::Transaction::Begin::kDeferred);
  if (!VerifySchema(db, write)) {
    return reg::kFileNotFound;  // an empty file holds no keys
  }
  const std::int32_t result = body(db);
  if (write && result == reg::kSuccess) {
    transaction.Commit();
  }
  return result;  // anything else is rolled back
}

}  // namespace qm::platform::posix
