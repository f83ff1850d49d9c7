// One small owner of an SQLite connection, its prepared statements and its
// transactions, shared by every part of the program that keeps a database
// file (the journal of runs, the stand-in host, the Linux registry store).
//
// It knows nothing of how its users report failures: each connection is
// given a FailureMapping, and every failing call (open, prepare, bind, step,
// exec) hands it a Failure, which it must turn into the user's own
// exception. Nothing else throws from here.
//
// Every connection treats its file as data, not code: triggers and views of
// the file do not run (SQLITE_DBCONFIG_ENABLE_TRIGGER and _ENABLE_VIEW off),
// only innocuous functions may be used from its schema (TRUSTED_SCHEMA off),
// and the schema cannot be written directly (DEFENSIVE). What the program
// itself keeps in a file therefore uses neither triggers nor views;
// RETURNING still works.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::sqlite {

struct Failure {
  int code;         // SQLite's (extended) result code
  QString message;  // SQLite's own words for it
  const char* doing;
  const QString& file;
  bool opening;  // the file could not be opened at all
};

// Must throw; a mapping that returns ends the program.
using FailureMapping = std::function<void(const Failure&)>;

class Database {
 public:
  enum class Mode { kReadOnly, kReadWrite, kCreate };

  Database() = default;
  // Opens the file, its name reaching SQLite as UTF-8, with extended result
  // codes and set up as above. A failure goes to mapping with opening set;
  // the handle SQLite hands out even then is closed.
  Database(const QString& file, Mode mode, FailureMapping mapping);
  ~Database();
  Database(Database&& other) noexcept;
  Database& operator=(Database&& other) noexcept;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* get() const { return db_; }
  const QString& file() const { return file_; }
  // For a user whose mapping changes with its state (the journal's once it
  // is open).
  void SetFailureMapping(FailureMapping mapping) { mapping_ = std::move(mapping); }
  void SetBusyTimeout(int milliseconds) const;

  // Runs statements that return no rows.
  void Exec(const char* sql, const char* doing) const;
  // The first column of the first row of a pragma (or any query); 0 when
  // there is no row.
  std::int64_t PragmaInt(const char* sql, const char* doing = "Reading") const;
  // Hands the connection's last failure, or resultCode, to the mapping.
  [[noreturn]] void Fail(const char* doing) const;
  [[noreturn]] void Fail(const char* doing, int resultCode) const;

 private:
  [[noreturn]] void Raise(const Failure& failure) const;

  sqlite3* db_ = nullptr;
  QString file_;
  FailureMapping mapping_;
};

// A prepared statement that is reset, not finalized, between uses. It uses
// the connection it was made on, which must stay where it is meanwhile.
class Statement {
 public:
  // doing names the statement's work in failures of preparing, binding and
  // stepping.
  Statement(const Database& db, const char* sql, const char* doing = "Preparing a statement");
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Parameters are numbered from 1, as SQLite numbers them.
  Statement& Bind(int index, std::int64_t value);
  // A null QString binds NULL, an empty one an empty text.
  Statement& Bind(int index, const QString& value);
  // An empty array binds an empty blob, never NULL.
  Statement& BindBlob(int index, const QByteArray& value);

  // True while there is a row, false when done.
  bool Step() { return Step(doing_); }
  bool Step(const char* doing);
  // Steps to the end; for statements without rows.
  void Run();
  // Ready for the next use: bindings cleared.
  void Reset();

  std::int64_t Int(int column) const;
  // NULL reads as a null QString, an empty text as an empty one.
  QString Text(int column) const;
  // An integer as a number, anything else as text.
  QVariant Value(int column) const;
  // NULL and an empty blob both read as an empty, non-null array.
  QByteArray Blob(int column) const;
  bool IsNull(int column) const;

  sqlite3_stmt* get() const { return stmt_; }
  const Database& database() const { return db_; }

 private:
  void CheckBind(int rc) const;

  const Database& db_;
  const char* doing_;
  sqlite3_stmt* stmt_ = nullptr;
};

// Keeps a statement usable: resets it when the scope ends, however it ends.
class StatementUse {
 public:
  explicit StatementUse(Statement& statement) : statement_(statement) {}
  ~StatementUse() { statement_.Reset(); }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;
  Statement* operator->() { return &statement_; }

 private:
  Statement& statement_;
};

// Begins a transaction and rolls it back unless it was committed, so that a
// failure leaves nothing half written. IMMEDIATE takes the write lock at
// once (waiting out the busy timeout) rather than failing at the first
// write; DEFERRED suits a read.
class Transaction {
 public:
  enum class Begin { kImmediate, kDeferred };

  Transaction(const Database& db, const char* doing, Begin begin = Begin::kImmediate);
  // For a connection that writes one small change after another (a host's
  // document saves): its BEGIN and COMMIT, prepared once on one connection,
  // which begin's SQL says how to begin. Each fails with its statement's own
  // doing; both are reset after every use.
  Transaction(Statement& begin, Statement& commit);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  const Database& db_;
  const char* doing_ = nullptr;
  Statement* commit_ = nullptr;
  bool done_ = false;
};

}  // namespace qm::sqlite
