#include "sqlite/database.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace qm::sqlite {
namespace {

struct Mapped {
  int code;
  std::string doing;
};

[[noreturn]] void Throw(const Failure& failure) { throw Mapped{failure.code, failure.doing}; }

// A value past SQLite's length limit is refused when it is bound; a wrapper
// that let that pass would store NULL in its place and report success.
TEST(SqliteDatabase, AValueTooBigToBindFailsTheStatementInsteadOfStoringNull) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Database db(dir.filePath(QStringLiteral("t.db")), Database::Mode::kCreate, Throw);
  db.Exec("CREATE TABLE t (v TEXT)", "Creating");
  sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, 8);
  Statement insert(db, "INSERT INTO t VALUES (?1)", "Saving");
  for (const bool blob : {false, true}) {
    try {
      if (blob) {
        insert.BindBlob(1, QByteArray(16, 'x'));
      } else {
        insert.Bind(1, QStringLiteral("sixteen letters!"));
      }
      FAIL() << "no failure for a value past the limit";
    } catch (const Mapped& failure) {
      EXPECT_EQ(failure.code, SQLITE_TOOBIG);
      EXPECT_EQ(failure.doing, "Saving");
    }
  }
  EXPECT_EQ(db.PragmaInt("SELECT count(*) FROM t"), 0);
}

// What a host's document saves rely on: BEGIN IMMEDIATE and COMMIT prepared
// once take the write lock at the begin (a second writer is turned away
// there, in the begin's words), roll back whatever is not committed, and
// serve transaction after transaction, also after a refused begin.
TEST(SqliteTransaction, PreparedBeginTakesTheWriteLockAndOnlyACommitKeepsTheChange) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath(QStringLiteral("t.db"));
  const Database db(file, Database::Mode::kCreate, Throw);
  db.Exec("CREATE TABLE t (v INTEGER)", "Creating");
  const Database other(file, Database::Mode::kReadWrite, Throw);
  Statement begin(db, "BEGIN IMMEDIATE", "Starting");
  Statement commit(db, "COMMIT", "Committing");
  Statement insert(db, "INSERT INTO t VALUES (1)", "Saving");
  const auto rows = [&other] { return other.PragmaInt("SELECT count(*) FROM t"); };

  {
    Transaction transaction(begin, commit);
    insert.Run();
    insert.Reset();
  }
  EXPECT_EQ(rows(), 0);
  EXPECT_TRUE(sqlite3_get_autocommit(db.get()));

  other.Exec("BEGIN IMMEDIATE", "Holding the lock");
  try {
    Transaction transaction(begin, commit);
    ADD_FAILURE() << "a second writer began while the first held the lock";
  } catch (const Mapped& failure) {
    EXPECT_EQ(failure.code & 0xFF, SQLITE_BUSY);
    EXPECT_EQ(failure.doing, "Starting");
  }
  other.Exec("ROLLBACK", "Letting the lock go");

  for (int i = 0; i < 2; ++i) {
    Transaction transaction(begin, commit);
    insert.Run();
    insert.Reset();
    transaction.Commit();
  }
  EXPECT_EQ(rows(), 2);
  EXPECT_TRUE(sqlite3_get_autocommit(db.get()));
}

}  // namespace
}  // namespace qm::sqlite
