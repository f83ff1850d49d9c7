#include "engine/query/folder_scope.h"

#include <gtest/gtest.h>

#include "engine/fake_folders.h"

namespace {

using qm::testing::FakeFolder;
using qm::testing::FakeTree;
using qm::testing::FakeWalkEvents;

// 5000 with subfolders 5001 (holding 5003), 300 and 450 (holding 5100).
std::shared_ptr<FakeFolder> ExampleTree(FakeTree& tree) {
  return tree.Folder(5000, {tree.Folder(5001, {tree.Folder(5003)}), tree.Folder(300),
                            tree.Folder(450, {tree.Folder(5100)})});
}

QString Walk(const qm::HostFolder& start, qm::FolderWalkEvents& events, QString list = QString()) {
  qm::BuildFolderIdList(start, list, events);
  return list;
}

TEST(FolderScope, ExampleTreeIsListedDepthFirstWithoutExcludedBranches) {
  FakeTree tree;
  const auto start = ExampleTree(tree);
  FakeWalkEvents events(tree.log);
  EXPECT_EQ(Walk(*start, events), QStringLiteral("5000,5001,5003,300"));
  // One event pass per subfolder visited, each before its ID is read; the
  // excluded 450 is read but never opened, and 5100 is never reached.
  const QStringList expected = {
      QStringLiteral("id 5000"), QStringLiteral("subfolders 5000"), QStringLiteral("events"),
      QStringLiteral("id 5001"), QStringLiteral("subfolders 5001"), QStringLiteral("events"),
      QStringLiteral("id 5003"), QStringLiteral("subfolders 5003"), QStringLiteral("events"),
      QStringLiteral("id 300"),  QStringLiteral("subfolders 300"),  QStringLiteral("events"),
      QStringLiteral("id 450")};
  EXPECT_EQ(*tree.log, expected);
}

TEST(FolderScope, UncheckedBoxListsTheStartFolderOnly) {
  FakeTree tree;
  FakeWalkEvents events(tree.log, false);
  EXPECT_EQ(Walk(*ExampleTree(tree), events), QStringLiteral("5000"));
  EXPECT_EQ(events.eventPasses, 0);
}

TEST(FolderScope, EveryIdIsTestedForTakingPart) {
  struct Case {
    std::int32_t id;
    bool listed;
  };
  const Case cases[] = {
      {1, true},    {2, false},   {199, false}, {200, true},        {201, false},     {300, true},
      {400, true},  {500, false}, {600, true},  {700, true},        {999, false},     {1000, false},
      {1001, true}, {0, false},   {-1, false},  {INT32_MIN, false}, {INT32_MAX, true}};
  for (const auto& c : cases) {
    FakeTree tree;
    const auto start = tree.Folder(5000, {tree.Folder(c.id, {tree.Folder(9000)})});
    FakeWalkEvents events(tree.log);
    const QString expected =
        c.listed ? QStringLiteral("5000,%1,9000").arg(c.id) : QStringLiteral("5000");
    EXPECT_EQ(Walk(*start, events), expected) << c.id;
    // An excluded folder is not opened at all.
    EXPECT_EQ(tree.log->contains(QStringLiteral("subfolders %1").arg(c.id)), c.listed) << c.id;
  }
}

TEST(FolderScope, StartFolderIsNeverTestedButListedOnlyAboveOne) {
  struct Case {
    std::int32_t startId;
    const char* list;
  };
  // Each start folder holds 500 (excluded) and 2000 (taking part).
  const Case cases[] = {{500, "500,2000"}, {2, "2,2000"}, {1, "2000"}, {0, "2000"}, {-7, "2000"}};
  for (const auto& c : cases) {
    FakeTree tree;
    const auto start = tree.Folder(c.startId, {tree.Folder(500), tree.Folder(2000)});
    FakeWalkEvents events(tree.log);
    EXPECT_EQ(Walk(*start, events), QString::fromUtf8(c.list)) << c.startId;
  }
}

TEST(FolderScope, StartFolderReplacesTheListAndSubfoldersAppendToIt) {
  FakeTree tree;
  FakeWalkEvents events(tree.log);
  EXPECT_EQ(Walk(*tree.Folder(5000, {tree.Folder(5001)}), events, QStringLiteral("7,8")),
            QStringLiteral("5000,5001"));
  QString list = QStringLiteral("7");
  qm::BuildFolderIdList(tree.Folder(1, {tree.Folder(5001), tree.Folder(5002)})->SubFolders(), list,
                        events);
  EXPECT_EQ(list, QStringLiteral("7,5001,5002"));
}

// The check box is read again on every level: unticking it while the first
// subfolder is handled keeps that subfolder's own subfolders out, but its
// siblings on the level already being walked are still listed.
TEST(FolderScope, CheckBoxChangeTakesEffectFromTheNextLevel) {
  FakeTree tree;
  FakeWalkEvents events(tree.log);
  events.SetInclude([](int passes) { return passes == 0; });
  EXPECT_EQ(Walk(*ExampleTree(tree), events), QStringLiteral("5000,5001,300"));
  EXPECT_EQ(events.checkBoxReads, 2);  // the start level and the level of 5001
}

TEST(FolderScope, ScopeIsWholeCollectionForTheRootOnly) {
  FakeTree tree;
  FakeWalkEvents events(tree.log);
  const auto root = tree.Folder(1, {tree.Folder(5000)});
  const auto scope = qm::DecideScope(*root, events);
  ASSERT_TRUE(scope.has_value());
  EXPECT_TRUE(scope->IsWholeCollection());
  EXPECT_EQ(events.eventPasses, 0);  // no walk for the whole collection

  const auto folders = qm::DecideScope(*ExampleTree(tree), events);
  ASSERT_TRUE(folders.has_value());
  EXPECT_FALSE(folders->IsWholeCollection());
  EXPECT_EQ(folders->FolderIdList(), QStringLiteral("5000,5001,5003,300"));

  // A start folder below 1 that lists nothing has no scope to query.
  EXPECT_FALSE(qm::DecideScope(*tree.Folder(-3, {tree.Folder(5)}), events).has_value());
}

// A chain of folders, each made only when its parent is opened, so the test
// itself holds no deep structure.
class ChainFolder : public qm::HostFolder {
 public:
  ChainFolder(std::int32_t id, std::int32_t last) : id_(id), last_(last) {}
  std::int32_t ID() const override { return id_; }
  QString Name() const override { return QString(); }
  std::int32_t IconIndex() const override { return 0; }
  std::shared_ptr<qm::HostCollection> Collection() const override { return nullptr; }
  std::shared_ptr<qm::HostFolderList> SubFolders() const override {
    std::vector<std::shared_ptr<qm::HostFolder>> next;
    if (id_ < last_) {
      next.push_back(std::make_shared<ChainFolder>(id_ + 1, last_));
    }
    return std::make_shared<qm::testing::FakeFolderList>(std::move(next));
  }

 private:
  std::int32_t id_;
  std::int32_t last_;
};

TEST(FolderScope, DeepChainDoesNotExhaustTheStack) {
  constexpr std::int32_t kFirst = 2000;
  constexpr std::int32_t kDepth = 100000;
  ChainFolder start(kFirst, kFirst + kDepth);
  FakeWalkEvents events(nullptr);
  const QString list = Walk(start, events);
  const QStringList ids = list.split(u',');
  ASSERT_EQ(ids.size(), kDepth + 1);
  EXPECT_EQ(ids.first(), QString::number(kFirst));
  EXPECT_EQ(ids.last(), QString::number(kFirst + kDepth));
  EXPECT_EQ(events.eventPasses, kDepth);
}

}  // namespace
