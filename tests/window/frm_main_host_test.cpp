// Start-up and folder icons of the dialog beside a real stand-in host.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "host/admin/host_admin.h"
#include "host/admin/resource_library_writer.h"
#include "host/chooser/folder_chooser.h"
#include "host/stand_in_host.h"
#include "host/tool/qmhost_cli.h"
#include "hostlib/host_library.h"
#include "platform/icon_module.h"
#include "platform/registry_store.h"
#include "startup/search_history.h"
#include "window/frm_main.h"

namespace {

using qm::frmMain;
using qm::hostadmin::HostEdition;

class DialogWithHost : public ::testing::Test {
 protected:
  void Install(HostEdition edition) { qm::hostadmin::InstallHost(edition, installDir.path()); }
  QString InstallFolder() const {
    return QDir(installDir.path()).absolutePath() + QLatin1Char('/');
  }

  static QImage Shown(const frmMain& w) { return w.imgFolderSelected->pixmap().toImage(); }
  static QImage Listed(const frmMain& w, int position) {
    return w.imlFolders.Image(position).convertToFormat(QImage::Format_ARGB32);
  }

  qm::testing::ScopedConfigHome config;
  QTemporaryDir installDir;
};

TEST_F(DialogWithHost, EnglishEditionStartsOnTheWholeDefaultCollection) {
  Install(HostEdition::English);
  frmMain w;
  ASSERT_NE(w.Host(), nullptr);
  EXPECT_TRUE(w.Installation().englishEdition);
  EXPECT_EQ(w.Installation().installFolder, InstallFolder());
  ASSERT_NE(w.selectedFolder, nullptr);
  EXPECT_EQ(w.selectedFolder->ID(), 1);
  const QString name = w.Host()->DefaultCollection()->Name();
  EXPECT_EQ(w.lblSelectedFolder->text(), name + QStringLiteral("  (entire collection)"));
  EXPECT_TRUE(w.chkRecursion->isHidden());
  // A local default collection shows icon 2.
  EXPECT_EQ(w.FolderIconNumber(w.Host()->DefaultCollection()->ID(), 1), 2);
  EXPECT_EQ(Shown(w).convertToFormat(QImage::Format_ARGB32), Listed(w, 2));
}

// A collection whose root folder cannot be fetched still names itself, with
// its icon; only the start folder stays empty.
TEST_F(DialogWithHost, AFailingRootFolderStillLeavesTheLabelAndIcon) {
  Install(HostEdition::English);
  const auto info = qm::hostadmin::ListCollections().at(0);
  qm::testing::ExecuteBehindTheHost(info.file, "DELETE FROM Folder WHERE ID = 1");
  frmMain w;
  ASSERT_NE(w.Host(), nullptr);
  EXPECT_EQ(w.selectedFolder, nullptr);
  EXPECT_EQ(w.lblSelectedFolder->text(), info.name + QStringLiteral("  (entire collection)"));
  EXPECT_EQ(Shown(w).convertToFormat(QImage::Format_ARGB32), Listed(w, 2));
}

TEST_F(DialogWithHost, GermanEditionReadsItsOwnHistoryAndTheTextsFollowTheUser) {
  Install(HostEdition::German);
  qm::SaveSearchHistory(QStringLiteral("Software\\orbelon\\Quillmarke\\CurrentSettings"),
                        {QStringLiteral(" - Beispiel Zeitung"), QString()}, QStringLiteral("abc"));
  frmMain w;
  EXPECT_FALSE(w.Installation().englishEdition);
  ASSERT_EQ(w.cboTextToSearch->count(), 3);
  EXPECT_EQ(w.cboTextToSearch->itemText(0), QStringLiteral(" - Beispiel Zeitung"));
  EXPECT_EQ(w.cboTextToSearch->itemText(1), QString());
  EXPECT_EQ(w.cboTextToSearch->itemText(2), QStringLiteral("abc"));
  EXPECT_TRUE(w.cboTextToSearch->currentText().isEmpty());
  // The host's edition does not choose the language of the texts.
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Quillmark - Search and Replace"));
  EXPECT_TRUE(w.lblSelectedFolder->text().endsWith(QStringLiteral("  (entire collection)")));
}

TEST_F(DialogWithHost, GermanUsersWithoutHistoryGetTheDefaultList) {
  Install(HostEdition::English);
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  frmMain w;
  EXPECT_EQ(w.cboTextToSearch->count(), 8);
  EXPECT_EQ(w.cboTextToSearch->itemText(7), QStringLiteral("heise online - "));
  EXPECT_TRUE(w.lblSelectedFolder->text().endsWith(QStringLiteral("  (gesamte Sammlung)")));
}

TEST_F(DialogWithHost, TheHostsResourceLibraryBringsTheModernAppearance) {
  Install(HostEdition::English);
  frmMain classic;
  EXPECT_FALSE(classic.ModernAppearance());
  EXPECT_TRUE(classic.picLogo->isHidden());

  qm::host::WriteIconLibrary(InstallFolder() + QStringLiteral("QMRes.dll"),
                             qm::host::ModernIconResources());
  frmMain modern;
  EXPECT_TRUE(modern.ModernAppearance());
  EXPECT_FALSE(modern.picLogo->isHidden());
  EXPECT_FALSE(modern.picLogo->pixmap().isNull());
  // The design-time icon went; the application's own is the window's.
  EXPECT_TRUE(modern.windowIcon().isNull());
  ASSERT_NE(modern.windowHandle(), nullptr);
  EXPECT_FALSE(modern.windowHandle()->icon().isNull());
  EXPECT_FALSE(classic.windowIcon().isNull());
  ASSERT_EQ(modern.imlFolders.Count(), 28);
  // Both sets agree on what position 7 shows, but they are different images.
  EXPECT_NE(Listed(modern, 7), Listed(classic, 7));
  EXPECT_EQ(modern.imlFolders.Key(7), QStringLiteral("BMP_ORDNERSYMBOL_ORDNER_BLAU"));
}

TEST_F(DialogWithHost, FolderIconsFollowTheKindOfCollectionAndTheFolderSymbol) {
  Install(HostEdition::English);
  namespace admin = qm::hostadmin;
  const std::int32_t localOther = admin::CreateCollection(QStringLiteral("Local"), false);
  const std::int32_t network = admin::CreateCollection(QStringLiteral("Shared"), true);
  const std::int32_t plain = admin::AddFolder(localOther, 1, QStringLiteral("Plain"), 0);
  const std::int32_t third = admin::AddFolder(localOther, 1, QStringLiteral("Red"), 3);
  const std::int32_t last = admin::AddFolder(localOther, 1, QStringLiteral("Person"), 22);
  const std::int32_t unknown = admin::AddFolder(localOther, 1, QStringLiteral("Odd"), 40);

  frmMain w;
  const std::int32_t defaultId = w.Host()->DefaultCollection()->ID();
  struct Case {
    std::int32_t collection, folder;
    int icon;
  };
  const Case cases[] = {
      {defaultId, 1, 2},      {localOther, 1, 1},       {network, 1, 3},
      {localOther, 400, 5},   {localOther, plain, 6},   {localOther, third, 9},
      {localOther, last, 28}, {localOther, unknown, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(w.FolderIconNumber(c.collection, c.folder), c.icon)
        << c.collection << "/" << c.folder;
  }
  w.ShowFolderIcon(localOther, third);
  EXPECT_EQ(Shown(w).convertToFormat(QImage::Format_ARGB32), Listed(w, 9));

  admin::SetDefaultCollection(network);
  frmMain second;
  EXPECT_EQ(second.FolderIconNumber(network, 1), 4);
  EXPECT_EQ(second.FolderIconNumber(defaultId, 1), 1);
}

}  // namespace

namespace {

// Browse through the host's chooser, answered by a script.
class BrowseTest : public DialogWithHost {
 protected:
  void SetUp() override {
    Install(HostEdition::English);
    namespace admin = qm::hostadmin;
    archive = admin::CreateCollection(QStringLiteral("Archive"), false);
    press = admin::AddFolder(archive, 1, QStringLiteral("Press"), 2);
    leaf = admin::AddFolder(archive, 1, QStringLiteral("Leaf"), 0);
    admin::AddFolder(archive, press, QStringLiteral("Below press"), 0);
    window = std::make_unique<frmMain>();
    window->SetJournalFolder(journalDir.path());
    window->move(300, 120);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    qm::host::SetFolderChooserScript({});
    window.reset();
  }

  void Choose(std::int32_t collection, std::int32_t folder) {
    qm::host::SetFolderChooserScript([=, this](qm::host::FolderChooserDialog& chooser) {
      chooserTitle = chooser.windowTitle();
      chooserGeometry = chooser.geometry();
      return chooser.SelectFolder(collection, folder);
    });
    window->cmdPickFolder_Click();
  }
  void Cancel() {
    qm::host::SetFolderChooserScript([](qm::host::FolderChooserDialog&) { return false; });
    window->cmdPickFolder_Click();
  }

  std::int32_t archive = 0, press = 0, leaf = 0;
  std::unique_ptr<frmMain> window;
  QTemporaryDir journalDir;  // the journal of runs, apart from the user's
  QString chooserTitle;
  QRect chooserGeometry;
};

TEST_F(BrowseTest, ChoosingAFolderShowsItsNameCollectionIconAndSubfolderBox) {
  window->chkRecursion->setChecked(false);
  window->lblNotes->setText(QStringLiteral("old"));
  Choose(archive, press);
  ASSERT_NE(window->selectedFolder, nullptr);
  EXPECT_EQ(window->selectedFolder->ID(), press);
  EXPECT_EQ(chooserTitle, QStringLiteral("Choose Start Folder"));
  EXPECT_EQ(window->lblSelectedFolder->text(), QStringLiteral("Press (Archive)"));
  EXPECT_FALSE(window->chkRecursion->isHidden());
  EXPECT_FALSE(window->chkRecursion->isChecked());  // its value is kept
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("-"));
  EXPECT_EQ(Shown(*window).convertToFormat(QImage::Format_ARGB32), Listed(*window, 8));

  Choose(archive, leaf);
  EXPECT_EQ(window->lblSelectedFolder->text(), QStringLiteral("Leaf (Archive)"));
  EXPECT_TRUE(window->chkRecursion->isHidden());
  EXPECT_FALSE(window->chkRecursion->isChecked());

  Choose(archive, 1);
  EXPECT_EQ(window->lblSelectedFolder->text(), QStringLiteral("Archive  (entire collection)"));
  EXPECT_TRUE(window->chkRecursion->isHidden());
  EXPECT_TRUE(window->chkRecursion->isChecked());
  EXPECT_EQ(Shown(*window).convertToFormat(QImage::Format_ARGB32), Listed(*window, 1));
}

TEST_F(BrowseTest, CancelKeepsTheEarlierChoice) {
  Choose(archive, press);
  window->lblNotes->setText(QStringLiteral("3 documents updated!"));
  const QImage icon = Shown(*window);
  Cancel();
  EXPECT_EQ(window->selectedFolder->ID(), press);
  EXPECT_EQ(window->lblSelectedFolder->text(), QStringLiteral("Press (Archive)"));
  EXPECT_FALSE(window->chkRecursion->isHidden());
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("3 documents updated!"));
  EXPECT_EQ(Shown(*window), icon);
}

TEST_F(BrowseTest, TheChooserOpensBesideTheWindow) {
  Choose(archive, 1);
  const QRect frame = window->frameGeometry();
  EXPECT_EQ(chooserGeometry.size(), QSize(7000 / 15, 6700 / 15));
  EXPECT_EQ(chooserGeometry.left(), frame.left() + 200 / 15);
  EXPECT_EQ(chooserGeometry.top(), frame.top() + 1000 / 15);
}

// The chooser is the host's: it shows the host's own icons whatever the
// window shows, and the window hands it nothing.
TEST_F(BrowseTest, TheChooserShowsTheHostsOwnIconsNotTheWindows) {
  const auto archiveIcon = [this] {
    QImage shown;
    qm::host::SetFolderChooserScript([&](qm::host::FolderChooserDialog& chooser) {
      const QList<QTreeWidgetItem*> found =
          chooser.tree()->findItems(QStringLiteral("Archive"), Qt::MatchExactly);
      EXPECT_EQ(found.size(), 1);
      if (!found.isEmpty()) {
        shown = found.first()->icon(0).pixmap(16, 16).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
      }
      return false;
    });
    window->cmdPickFolder_Click();
    return shown;
  };
  const auto premultiplied = [](const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  };

  // A host without its library: the window falls back to its classic
  // bitmaps, the chooser to the style's drive.
  ASSERT_FALSE(window->ModernAppearance());
  const QImage classic = archiveIcon();
  EXPECT_EQ(
      classic,
      premultiplied(
          QApplication::style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(16, 16).toImage()));
  EXPECT_NE(classic, premultiplied(window->imlFolders.Image(1)));

  // qmhost install writes the library: the running window keeps what it
  // loaded at start-up, the host's chooser shows the library's cabinet.
  QString output;
  QTextStream out(&output);
  ASSERT_EQ(qm::qmhost::RunQmhost(
                {QStringLiteral("install"), QStringLiteral("--edition"), QStringLiteral("en"),
                 QStringLiteral("--install-dir"), installDir.path()},
                out, out),
            0)
      << output.toStdString();
  const auto library =
      qm::platform::IconModule::Load(InstallFolder() + QStringLiteral("QMRes.dll"));
  const std::optional<QImage> cabinet = library.Icon(QStringLiteral("Collection_16_XP"), 16);
  ASSERT_TRUE(cabinet.has_value());
  EXPECT_EQ(archiveIcon(), premultiplied(*cabinet));
  EXPECT_FALSE(window->ModernAppearance());
}

}  // namespace
