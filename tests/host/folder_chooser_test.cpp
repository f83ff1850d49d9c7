#include "host/chooser/folder_chooser.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "host/admin/resource_library_writer.h"
#include "host/tool/qmhost_cli.h"
#include "hostlib/folder_icons.h"
#include "platform/icon_module.h"
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
  void TearDown() override { qm::host::SetFolderChooserScript({}); }

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

// The picture a node shows, and a picture as a node would show it: both
// premultiplied, as the pixmap behind an icon holds them.
QImage Shown(const QTreeWidgetItem* item) {
  return item->icon(0).pixmap(16, 16).toImage().convertToFormat(
      QImage::Format_ARGB32_Premultiplied);
}
QImage Style(QStyle::StandardPixmap which) {
  return QApplication::style()->standardIcon(which).pixmap(16, 16).toImage().convertToFormat(
      QImage::Format_ARGB32_Premultiplied);
}

// The pictures of the local collection, the network collection, its folder
// Music (symbol 4) and Music's plain subfolder Jazz.
struct ChooserPictures {
  QImage local, network, music, jazz;
};

class FolderChooserIcons : public FolderChooser {
 protected:
  ChooserPictures Pictures() {
    ChooserPictures pictures;
    qm::host::SetFolderChooserScript([&](FolderChooserDialog& dialog) {
      EXPECT_TRUE(dialog.SelectFolder(network_, jazz_));
      QTreeWidgetItem* team = dialog.tree()->topLevelItem(1);
      QTreeWidgetItem* music = team->child(6);
      EXPECT_EQ(music->text(0), QStringLiteral("Music"));
      pictures = {Shown(dialog.tree()->topLevelItem(0)), Shown(team), Shown(music),
                  Shown(music->child(0))};
      return false;
    });
    Choose();
    return pictures;
  }

  // What `qmhost install` writes into the install folder.
  QString InstallWithLibrary() {
    QString output;
    QTextStream out(&output);
    EXPECT_EQ(qm::qmhost::RunQmhost(
                  {QStringLiteral("install"), QStringLiteral("--edition"), QStringLiteral("en"),
                   QStringLiteral("--install-dir"), installPath()},
                  out, out),
              0)
        << output.toStdString();
    return installPath() + QStringLiteral("QMRes.dll");
  }

  static QImage FromLibrary(const qm::platform::IconModule& library, int position) {
    return library.Icon(qm::folder_icons::ModernIconName(position), 16)
        .value_or(QImage())
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
};

TEST_F(FolderChooserIcons, ComeFromTheResourceLibraryTheHostInstalled) {
  const QString path = InstallWithLibrary();
  const qm::platform::IconModule library = qm::platform::IconModule::Load(path);
  const ChooserPictures pictures = Pictures();
  EXPECT_EQ(pictures.local, FromLibrary(library, 1));
  EXPECT_EQ(pictures.network, FromLibrary(library, 3));
  EXPECT_EQ(pictures.music, FromLibrary(library, 10));
  EXPECT_EQ(pictures.jazz, FromLibrary(library, 6));
  EXPECT_NE(pictures.local, Style(QStyle::SP_DriveHDIcon));
  EXPECT_NE(pictures.jazz, Style(QStyle::SP_DirIcon));
}

TEST_F(FolderChooserIcons, WithoutTheLibraryTheStyleShowsDrivesAndFolders) {
  const ChooserPictures pictures = Pictures();
  EXPECT_FALSE(pictures.local.isNull());
  EXPECT_EQ(pictures.local, Style(QStyle::SP_DriveHDIcon));
  EXPECT_EQ(pictures.network, Style(QStyle::SP_DriveNetIcon));
  EXPECT_EQ(pictures.music, Style(QStyle::SP_DirIcon));
  EXPECT_EQ(pictures.jazz, Style(QStyle::SP_DirIcon));

  // A library that is no module is no library.
  QFile broken(installPath() + QStringLiteral("QMRes.dll"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
  broken.write("MZ and nothing else");
  broken.close();
  EXPECT_EQ(Pictures().local, Style(QStyle::SP_DriveHDIcon));
}

TEST_F(FolderChooserIcons, AnIconTheLibraryLacksIsTheStylesAndTheRestStayTheHosts) {
  const QString path = InstallWithLibrary();
  QList<qm::host::IconResource> icons = qm::host::ModernIconResources();
  icons.removeAt(9);  // position 10, the symbol of Music
  qm::host::WriteIconLibrary(path, icons);
  const qm::platform::IconModule library = qm::platform::IconModule::Load(path);
  const ChooserPictures pictures = Pictures();
  EXPECT_EQ(pictures.music, Style(QStyle::SP_DirIcon));
  EXPECT_EQ(pictures.jazz, FromLibrary(library, 6));
  EXPECT_EQ(pictures.network, FromLibrary(library, 3));
}

TEST_F(FolderChooser, CollectionThatCannotBeOpenedIsShownDisabled) {
  const QString file = admin::ListCollections().back().file;
  ASSERT_TRUE(QFile::remove(file));
  // A collection whose root folder is gone.
  const std::int32_t rootless = admin::CreateCollection(QStringLiteral("Rootless"), false);
  qm::testing::ExecuteBehindTheHost(admin::ListCollections().back().file,
                                    "DELETE FROM Folder WHERE ID = 1");
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
