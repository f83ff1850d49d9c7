#include "host/folder_chooser.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "stand_in_host.h"

namespace {

namespace admin = qm::hostadmin;
using qm::host::FolderChooserDialog;

class FolderChooser : public qm::testing::StandInHostTest {
 protected:
  void SetUp() override {
    StandInHostTest::SetUp();
    local_ = defaultId();
    network_ = admin::CreateCollection(QStringLiteral("Team"), true);
    music_ = admin::AddFolder(network_, 1, QStringLiteral("Music"), 4);
    jazz_ = admin::AddFolder(network_, music_, QStringLiteral("Jazz"), 0);
  }
  void TearDown() override {
    qm::host::SetFolderChooserScript({});
    qm::host::SetFolderIconHook({});
  }

  std::shared_ptr<qm::HostFolder> Choose(std::int32_t left = 0, std::int32_t top = 0,
                                         std::int32_t width = 0, std::int32_t height = 0) {
    return app()->ChooseFolder(nullptr, QStringLiteral("Choose a folder"),
                               QStringLiteral("Where shall we look?"), 0, left, top, width, height,
                               0, 0, 0, 0);
  }

  std::int32_t local_ = 0;
  std::int32_t network_ = 0;
  std::int32_t music_ = 0;
  std::int32_t jazz_ = 0;
};

TEST_F(FolderChooser, ShowsEveryCollectionAndReturnsTheChosenFolder) {
  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose a folder"));
    EXPECT_EQ(dialog.promptLabel()->text(), QStringLiteral("Where shall we look?"));
    EXPECT_EQ(dialog.tree()->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.tree()->topLevelItem(0)->text(0), QStringLiteral("Default"));
    EXPECT_EQ(dialog.tree()->topLevelItem(1)->text(0), QStringLiteral("Team"));
    EXPECT_FALSE(dialog.okButton()->isEnabled());  // nothing chosen yet
    EXPECT_TRUE(dialog.SelectFolder(network_, jazz_));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    return true;
  });
  auto chosen = Choose();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->ID(), jazz_);
  EXPECT_EQ(chosen->Name(), QStringLiteral("Jazz"));
  EXPECT_EQ(chosen->Collection()->ID(), network_);
}

TEST_F(FolderChooser, CollectionNodeStandsForItsRootAndCancelChoosesNothing) {
  qm::host::SetFolderChooserScript(
      [&](FolderChooserDialog& dialog) { return dialog.SelectFolder(local_, 1); });
  auto root = Choose();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->ID(), 1);
  EXPECT_EQ(root->Collection()->ID(), local_);

  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    EXPECT_TRUE(dialog.SelectFolder(network_, music_));
    return false;  // Cancel
  });
  EXPECT_EQ(Choose(), nullptr);
}

TEST_F(FolderChooser, SubfoldersAreFilledInWhenANodeOpensInTheHostsOrder) {
  const std::int32_t blues = admin::AddFolder(network_, music_, QStringLiteral("Blues"), 0);
  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    QTreeWidgetItem* team = dialog.tree()->topLevelItem(1);
    EXPECT_EQ(team->childCount(), 1);  // only the placeholder
    dialog.tree()->expandItem(team);
    EXPECT_EQ(team->childCount(), 7);  // six reserved folders and Music
    QTreeWidgetItem* music = team->child(6);
    EXPECT_EQ(music->text(0), QStringLiteral("Music"));
    dialog.tree()->expandItem(music);
    EXPECT_EQ(music->childCount(), 2);
    EXPECT_EQ(music->child(0)->text(0), QStringLiteral("Jazz"));
    EXPECT_EQ(music->child(1)->text(0), QStringLiteral("Blues"));
    EXPECT_EQ(music->child(1)->childCount(), 0);
    dialog.tree()->setCurrentItem(music->child(1));
    return true;
  });
  auto chosen = Choose();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->ID(), blues);
}

TEST_F(FolderChooser, IsPlacedAtTheGivenTwipsAndKeptOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    std::int32_t left, top, width, height;
    QRect expected;
  };
  const Case cases[] = {
      {1500, 750, 6000, 4500, QRect(screen.left() + 100, screen.top() + 50, 400, 300)},
      {15 * 100000, 15 * 100000, 6000, 4500,
       QRect(screen.right() - 399, screen.bottom() - 299, 400, 300)},
      {-15000, -15000, 6000, 4500, QRect(screen.left(), screen.top(), 400, 300)},
  };
  for (const Case& c : cases) {
    QRect placed;
    qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
      placed = QRect(dialog.pos(), dialog.size());
      return false;
    });
    Choose(c.left, c.top, c.width, c.height);
    EXPECT_EQ(placed, c.expected) << c.left << "," << c.top;
  }
  QSize defaultSize;
  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    defaultSize = dialog.size();
    return false;
  });
  Choose(1500, 1500, 0, 0);
  EXPECT_FALSE(defaultSize.isEmpty());
}

TEST_F(FolderChooser, IconsComeFromTheHook) {
  std::vector<qm::host::FolderIconRequest> requests;
  qm::host::SetFolderIconHook([&](const qm::host::FolderIconRequest& request) {
    requests.push_back(request);
    QPixmap pixmap(16, 16);
    pixmap.fill(request.collection ? Qt::red : Qt::blue);
    return QIcon(pixmap);
  });
  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    EXPECT_TRUE(dialog.SelectFolder(network_, music_));
    EXPECT_FALSE(dialog.tree()->currentItem()->icon(0).isNull());
    return false;
  });
  Choose();
  auto find = [&](bool collection, std::int32_t kind, std::int32_t icon) {
    return std::any_of(requests.begin(), requests.end(), [&](const auto& r) {
      return r.collection == collection && r.collectionKind == kind && r.iconIndex == icon;
    });
  };
  EXPECT_TRUE(find(true, 1, 0));   // the local collection
  EXPECT_TRUE(find(true, 2, 0));   // the network collection
  EXPECT_TRUE(find(false, 2, 4));  // Music with its symbol
  qm::host::SetFolderIconHook({});
  EXPECT_FALSE(qm::host::FolderChooserIcon({true, 1, 0}).isNull());
}

TEST_F(FolderChooser, CollectionThatCannotBeOpenedIsShownDisabled) {
  const QString file = admin::ListCollections().back().file;
  ASSERT_TRUE(QFile::remove(file));
  // A collection whose root folder is gone.
  const std::int32_t rootless = admin::CreateCollection(QStringLiteral("Rootless"), false);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(admin::ListCollections().back().file.toUtf8().constData(), &db),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DELETE FROM Folder WHERE ID = 1", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
    QTreeWidgetItem* broken = dialog.tree()->topLevelItem(1);
    EXPECT_TRUE(broken->isDisabled());
    EXPECT_TRUE(broken->toolTip(0).contains(file)) << broken->toolTip(0).toStdString();
    EXPECT_FALSE(dialog.SelectFolder(network_, 1));
    EXPECT_TRUE(dialog.tree()->topLevelItem(2)->isDisabled());
    EXPECT_FALSE(dialog.SelectFolder(rootless, 1));
    return dialog.SelectFolder(local_, 400);
  });
  auto chosen = Choose();
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->ID(), 400);
}

// Without a script the dialog runs modally; answering it from the event
// loop must end the call.
TEST_F(FolderChooser, RunsModallyWithoutAScript) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = dynamic_cast<FolderChooserDialog*>(widget);
          dialog && dialog->isVisible()) {
        seen = true;
        dialog->SelectFolder(network_, music_);
        dialog->okButton()->click();
      }
    }
  });
  // Should the answer above miss, the test fails instead of hanging.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      modal->close();
    }
  });
  watchdog.start(10000);
  auto chosen = Choose();
  EXPECT_TRUE(seen);
  ASSERT_NE(chosen, nullptr);
  EXPECT_EQ(chosen->ID(), music_);
}

}  // namespace
