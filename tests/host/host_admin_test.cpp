#include "host/admin/host_admin.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include "host/lib/host_errors.h"
#include "stand_in_host.h"

namespace {

namespace admin = qm::hostadmin;
namespace errc = qm::host::errc;
using HostAdmin = qm::testing::StandInHostTest;

TEST_F(HostAdmin, NewCollectionHasRootAndReservedFoldersAndGrowsAboveThem) {
  const std::int32_t id = defaultId();
  const std::int32_t a = admin::AddFolder(id, 1, QStringLiteral("A"), 3);
  const std::int32_t a1 = admin::AddFolder(id, a, QStringLiteral("A1"), 0);
  const std::int32_t b = admin::AddFolder(id, 1, QStringLiteral("B"), 0);
  const std::int32_t a2 = admin::AddFolder(id, a, QStringLiteral("A2"), 1);
  EXPECT_EQ(a, 1001);
  EXPECT_EQ(a1, 1002);

  struct Expected {
    std::int32_t id;
    std::int32_t depth;
    const char* name;
  };
  const Expected expected[] = {
      {1, 0, "Default"},
      {200, 1, "Search Results"},
      {300, 1, "Recently Visited"},
      {400, 1, "New Documents"},
      {500, 1, "Recycle Bin"},
      {600, 1, "Favorites"},
      {700, 1, "Archive"},
      {a, 1, "A"},
      {a1, 2, "A1"},
      {a2, 2, "A2"},
      {b, 1, "B"},
  };
  const auto tree = admin::FolderTree(id);
  ASSERT_EQ(tree.size(), std::size(expected));
  for (std::size_t i = 0; i < tree.size(); ++i) {
    EXPECT_EQ(tree[i].id, expected[i].id) << i;
    EXPECT_EQ(tree[i].depth, expected[i].depth) << i;
    EXPECT_EQ(tree[i].name, QString::fromUtf8(expected[i].name)) << i;
  }
  EXPECT_EQ(tree[7].iconIndex, 3);
  EXPECT_EQ(tree[9].parentId, a);

  EXPECT_QM_ERROR(admin::AddFolder(id, 4711, QStringLiteral("x"), 0), errc::kUnknownFolder,
                  "QMHost.Admin", "The collection has no folder with the ID 4711.");
  EXPECT_THROW(admin::AddFolder(id, 1, QStringLiteral("x"), -1), qm::Error);
  EXPECT_THROW(admin::AddFolder(99, 1, QStringLiteral("x"), 0), qm::Error);
}

TEST_F(HostAdmin, DocumentsKeepTheirFieldsAndNullsAndGetIdsInOrder) {
  const std::int32_t id = defaultId();
  const std::int32_t folder = admin::AddFolder(id, 1, QStringLiteral("F"), 0);
  std::vector<admin::NewDocument> documents = {
      {400, QStringLiteral("Ärger im Büro"), QStringLiteral(""), QStringLiteral("http://a/")},
      {folder, QString(), QString(), QString()},
      {folder, QStringLiteral("Zwei"), QStringLiteral("c"), QString()},
  };
  EXPECT_EQ(admin::AddDocuments(id, documents), 3);
  EXPECT_EQ(admin::AddDocuments(id, {{400, QStringLiteral("later"), {}, {}}}), 1);

  const auto all = admin::ListDocuments(id);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].entryId, 1);
  EXPECT_EQ(all[3].entryId, 4);
  EXPECT_EQ(all[0].title, QStringLiteral("Ärger im Büro"));
  EXPECT_FALSE(all[0].comment.isNull());  // empty text stays a value
  EXPECT_TRUE(all[1].title.isNull());     // no value stays none
  EXPECT_TRUE(all[2].url.isNull());

  const auto inFolder = admin::ListDocuments(id, folder);
  ASSERT_EQ(inFolder.size(), 2u);
  EXPECT_EQ(inFolder[0].entryId, 2);
  EXPECT_EQ(inFolder[1].title, QStringLiteral("Zwei"));

  // A failing batch stores nothing of itself.
  EXPECT_THROW(admin::AddDocuments(id, {{400, QStringLiteral("x"), {}, {}}, {9999, {}, {}, {}}}),
               qm::Error);
  EXPECT_EQ(admin::ListDocuments(id).size(), 4u);
}

// An ID is given once: after the last document and the last folder are
// deleted, the next ones get new IDs, in a new file and in one made before
// the file kept count (whose counters start past what it holds). A delete
// the collection cannot do deletes nothing.
TEST_F(HostAdmin, NoIdIsGivenTwiceAfterADelete) {
  for (const bool madeBefore : {false, true}) {
    const std::int32_t id = admin::CreateCollection(QStringLiteral("C"), false);
    const QString file = admin::ListCollections().back().file;
    const std::int32_t kept = admin::AddFolder(id, 1, QStringLiteral("kept"), 0);
    const std::int32_t last = admin::AddFolder(id, kept, QStringLiteral("last"), 0);
    admin::AddDocuments(
        id, {{kept, QStringLiteral("one"), {}, {}}, {kept, QStringLiteral("two"), {}, {}}});
    if (madeBefore) {
      qm::testing::ExecuteBehindTheHost(file, QStringLiteral("DROP TABLE IdCounter"));
    }
    const std::string name = madeBefore ? "made before" : "new";

    admin::DeleteDocuments(id, {2});
    admin::DeleteFolder(id, last);
    EXPECT_EQ(admin::AddDocuments(id, {{kept, QStringLiteral("three"), {}, {}}}), 1);
    EXPECT_EQ(admin::ListDocuments(id).back().entryId, 3) << name;
    EXPECT_EQ(admin::AddFolder(id, kept, QStringLiteral("next"), 0), last + 1) << name;

    EXPECT_QM_ERROR(admin::DeleteDocuments(id, {1, 77}), errc::kUnknownDocument, "QMHost.Admin",
                    "The collection has no document with the EntryID 77.");
    EXPECT_EQ(admin::ListDocuments(id).size(), 2u) << name;
    EXPECT_THROW(admin::DeleteFolder(id, kept), qm::Error) << name;  // not empty
    EXPECT_THROW(admin::DeleteFolder(id, 400), qm::Error) << name;   // the host's own
    EXPECT_THROW(admin::DeleteFolder(id, 4711), qm::Error) << name;  // none
    EXPECT_EQ(admin::FolderTree(id).size(), 9u) << name;
  }
}

TEST_F(HostAdmin, WriterStoresNothingUnlessCommitted) {
  const std::int32_t id = defaultId();
  {
    admin::CollectionWriter writer(id);
    const std::int32_t folder = writer.AddFolder(1, QStringLiteral("gone"), 0);
    writer.AddDocument({folder, QStringLiteral("gone"), {}, {}});
  }
  EXPECT_EQ(admin::FolderTree(id).size(), 7u);
  EXPECT_TRUE(admin::ListDocuments(id).empty());
}

TEST_F(HostAdmin, CollectionFilesAreNeverOverwritten) {
  const QString file = installPath() + QStringLiteral("mine.qmdb");
  const std::int32_t id = admin::CreateCollection(QStringLiteral("Mine"), false, file);
  admin::AddDocuments(id, {{400, QStringLiteral("keep me"), {}, {}}});
  EXPECT_QM_ERROR(admin::CreateCollection(QStringLiteral("Again"), false, file), errc::kBadArgument,
                  "QMHost.Admin",
                  QStringLiteral("The collection file %1 exists already.").arg(file));
  EXPECT_EQ(admin::ListDocuments(id).size(), 1u);
  EXPECT_EQ(admin::ListCollections().size(), 2u);
}

// A name the registry's code page cannot hold (a broken surrogate has a
// form in no code page) is refused before anything is made: no file, no
// entry half-written into the catalog.
TEST_F(HostAdmin, ACollectionNameTheRegistryCannotHoldLeavesNothingBehind) {
  const QString name = QStringLiteral("Bücher ") + QChar(0xD800);
  const QString file = installPath() + QStringLiteral("refused.qmdb");
  EXPECT_QM_ERROR(admin::CreateCollection(name, false, file), errc::kBadArgument, "QMHost.Catalog",
                  "\"" + name +
                      "\" cannot be written to the registry: the system's code page has no "
                      "letters for all of it.");
  EXPECT_FALSE(QFileInfo::exists(file));
  ASSERT_EQ(admin::ListCollections().size(), 1u);
  EXPECT_NO_THROW(admin::CreateCollection(QStringLiteral("Bücher"), false));
}

TEST(HostAdminInstall, InstallsEitherEditionWithItsKeysAndDefaultCollection) {
  for (auto edition : {admin::HostEdition::German, admin::HostEdition::English}) {
    qm::testing::ScopedConfigHome home;
    QTemporaryDir dir;
    admin::InstallHost(edition, dir.path());  // no trailing slash given
    const auto host = admin::FindHost();
    ASSERT_TRUE(host.has_value());
    EXPECT_EQ(host->edition, edition);
    EXPECT_EQ(host->appPath, dir.path() + QStringLiteral("/"));
    const auto list = admin::ListCollections();
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].isDefault);
    EXPECT_TRUE(QFileInfo::exists(list[0].file));
    const bool german = edition == admin::HostEdition::German;
    EXPECT_EQ(list[0].name, german ? QStringLiteral("Standard") : QStringLiteral("Default"));
    EXPECT_EQ(admin::FolderTree(list[0].id)[3].name,
              german ? QStringLiteral("Neue Dokumente") : QStringLiteral("New Documents"));
    admin::InstallHost(edition, dir.path());  // again: no second default collection
    EXPECT_EQ(admin::ListCollections().size(), 1u);
  }
}

}  // namespace
