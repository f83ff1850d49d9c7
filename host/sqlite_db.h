// Small owners for SQLite connections and statements. A failing call becomes
// a qm::Error of the database source that says what was being done, the
// file, and SQLite's own message.
#pragma once

#include <QString>

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

namespace qm::host {

class SqliteDb {
 public:
  enum class Mode { ReadOnly, ReadWrite, Create };

  // Opens the file; Create makes it when missing. Nothing else is set up.
  SqliteDb(const QString& file, Mode mode);
  ~SqliteDb();
  SqliteDb(SqliteDb&& other) noexcept;
  SqliteDb& operator=(SqliteDb&& other) noexcept;
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  sqlite3* get() const { return db_; }
  const QString& file() const { return file_; }

  // Runs statements that return no rows.
  void Exec(const char* sql, const char* doing);
  // Throws the connection's last failure: "<doing> failed for <file>: <why>".
  [[noreturn]] void Fail(const char* doing) const;
  [[noreturn]] void Fail(const char* doing, int resultCode) const;

 private:
  sqlite3* db_ = nullptr;
  QString file_;
};

// A prepared statement that is reset, not finalized, between uses.
class Statement {
 public:
  Statement(const SqliteDb& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // True for a row, false when done. Throws on failure.
  bool Step(const char* doing);
  // Ready for the next use: bindings cleared.
  void Reset();

  void Bind(int index, std::int64_t value);
  // A null QString binds NULL.
  void Bind(int index, const QString& value);

  std::int64_t Int(int column) const;
  // NULL reads as a null QString.
  QString Text(int column) const;
  bool IsNull(int column) const;

  sqlite3_stmt* get() const { return stmt_; }

 private:
  const SqliteDb& db_;
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

}  // namespace qm::host
