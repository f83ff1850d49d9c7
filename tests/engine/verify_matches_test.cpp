#include "engine/run/verify_matches.h"

#include <gtest/gtest.h>

#include "engine/engine_on_host.h"

namespace {

using VerifyMatchesTest = qm::testing::EngineOnHost;

TEST_F(VerifyMatchesTest, ReportsTheCountOrThatNothingWasFound) {
  struct Case {
    const char* name;
    std::int32_t folder;  // 0: folder A
    const char* field;
    QString search;
    bool german;
    QString note;
  };
  const Case cases[] = {
      {"one match, no singular", 1, "Title", QStringLiteral("abc"), false,
       QStringLiteral("1 documents match selected critera.")},
      {"field in other case", 1, "TITLE", QStringLiteral("e"), false,
       QStringLiteral("4 documents match selected critera.")},
      {"nothing found", 1, "Title", QStringLiteral("zzz"), false,
       QStringLiteral("No documents were found that have 'zzz' in the Title field.")},
      {"nothing found, German", 0, "Titel", QStringLiteral("abc"), true,
       QString::fromUtf8("Es wurde kein Dokument gefunden, das die Zeichenkette 'abc' im Feld "
                         "'Titel' beinhaltet.")},
      {"empty search counts empty fields", 0, "Title", QString(), false,
       QStringLiteral("2 documents match selected critera.")},
      {"fields without a value count as empty", 0, "Address", QString(), false,
       QStringLiteral("5 documents match selected critera.")},
      {"empty search, nothing empty", 400, "Title", QString(), false,
       QStringLiteral("No documents were found that have '' in the Title field.")},
      {"placeholder in the search text stays", 1, "Comment", QStringLiteral("[*]"), false,
       QStringLiteral("No documents were found that have '[*]' in the Comment field.")},
  };
  for (const auto& c : cases) {
    port_ = qm::testing::FakePort();
    if (c.german) {
      port_.language = qm::TextLanguage::German;
    }
    port_.fieldText = QString::fromUtf8(c.field);
    port_.searchText = c.search;
    const QStringList before = Titles();
    qm::VerifyMatches(port_, port_.Criteria(Folder(c.folder == 0 ? a_ : c.folder)));
    EXPECT_EQ(port_.notes, QStringList{c.note}) << c.name;
    EXPECT_EQ(port_.log, (QStringList{QStringLiteral("busy"), QStringLiteral("idle")})) << c.name;
    EXPECT_EQ(Titles(), before) << c.name;
  }
}

TEST_F(VerifyMatchesTest, SubfoldersCountOnlyWhileIncluded) {
  port_.searchText = QStringLiteral("e");
  qm::VerifyMatches(port_, port_.Criteria(Folder(a_)));
  port_.includeSubfolders = false;
  qm::VerifyMatches(port_, port_.Criteria(Folder(a_)));
  EXPECT_EQ(port_.notes, (QStringList{QStringLiteral("3 documents match selected critera."),
                                      QStringLiteral("1 documents match selected critera.")}));
}

TEST_F(VerifyMatchesTest, StartFolderWithoutScopeFindsNothingWithoutQuery) {
  port_.searchText = QStringLiteral("abc");
  const auto root = inner_->GetFolder(1);
  qm::VerifyMatches(
      port_, port_.Criteria(std::make_shared<qm::testing::WrappedFolder>(root, collection_, -4)));
  EXPECT_EQ(
      port_.notes,
      QStringList{QStringLiteral("No documents were found that have 'abc' in the Title field.")});
  EXPECT_EQ(collection_->connectionCalls, 0);
}

// Only a stop asked for during the command counts: a leftover one is
// dropped, one made during the walk skips the query and the note.
TEST_F(VerifyMatchesTest, StopsAfterTheWalkOnlyWhenAskedMeanwhile) {
  port_.searchText = QStringLiteral("e");
  port_.cancelRequested = true;
  qm::VerifyMatches(port_, port_.Criteria(Folder(a_)));
  EXPECT_EQ(port_.notes, QStringList{QStringLiteral("3 documents match selected critera.")});

  port_ = qm::testing::FakePort();
  collection_->connectionCalls = 0;
  port_.searchText = QStringLiteral("e");
  port_.onEvents = [this](int) { port_.cancelRequested = true; };
  qm::VerifyMatches(port_, port_.Criteria(Folder(a_)));
  EXPECT_TRUE(port_.notes.isEmpty());
  EXPECT_EQ(collection_->connectionCalls, 0);
  EXPECT_FALSE(port_.busy);
}

TEST_F(VerifyMatchesTest, FailurePutsTheCursorBack) {
  // The database refuses the query: its table is gone.
  qm::testing::ExecuteBehindTheHost(File(), QStringLiteral("DROP TABLE Document"));
  EXPECT_THROW(qm::VerifyMatches(port_, port_.Criteria(Folder(1))), qm::Error);
  EXPECT_FALSE(port_.busy);
  EXPECT_TRUE(port_.notes.isEmpty());
}

}  // namespace
