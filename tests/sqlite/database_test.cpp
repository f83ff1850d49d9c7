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

}  // namespace
}  // namespace qm::sqlite
