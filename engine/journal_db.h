// The journal's small owners of an SQLite connection, its statements and
// its transactions. A failing call throws qm::Error with kJournalError,
// naming what was being done and the file; while the file is being opened,
// a failure that shows the file is no sound database throws DamagedJournal
// instead, so that the opener can move it aside.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::journal {

// The file is no sound journal (not a database, damaged, or another
// program's): thrown only while it is being opened.
class DamagedJournal {};

[[noreturn]] void Fail(const QString& description);

class Db {
 public:
  // Opens (and creates) the file; its name reaches SQLite as UTF-8.
  explicit Db(const QString& file);
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  sqlite3* get() const { return db_; }
  const QString& file() const { return file_; }
  // From now on damage is a failure like any other: the file was sound when
  // it opened, and what a run wrote must not be moved away.
  void Opened() { opening_ = false; }

  void Check(int rc, const char* what) const;
  void Exec(const char* sql, const char* what) const;
  std::int64_t PragmaInt(const char* sql) const;

 private:
  QString file_;
  sqlite3* db_ = nullptr;
  bool opening_ = true;
};

class Statement {
 public:
  Statement(const Db& db, const char* sql, const char* what);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Each returns about how many bytes the value takes in the file.
  std::int64_t Bind(int index, std::int64_t value);
  // A null QString binds NULL.
  std::int64_t Bind(int index, const QString& value);
  // A whole number binds as one, anything else as its text.
  std::int64_t Bind(int index, const QVariant& value);
  void Reset();
  // True while there is a row.
  bool Step();
  // Steps to the end; for statements without rows.
  void Run();
  std::int64_t Int(int column) const;
  // NULL reads as a null QString, an empty text as an empty one.
  QString Text(int column) const;
  // An integer as a number, anything else as text.
  QVariant Value(int column) const;

 private:
  const Db& db_;
  const char* what_;
  sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE; rolled back unless committed, so a failure leaves nothing
// half written.
class Transaction {
 public:
  explicit Transaction(const Db& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();

 private:
  const Db& db_;
  bool done_ = false;
};

}  // namespace qm::journal
