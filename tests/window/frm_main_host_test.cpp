// Start-up and folder icons of the dialog beside a real stand-in host.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "host/host_admin.h"
#include "host/resource_library_writer.h"
#include "platform/registry_store.h"
#include "startup/search_history.h"
#include "window/frm_main.h"
#include "window/host_library.h"

namespace {

using qm::frmMain;
using qm::hostadmin::HostEdition;

class DialogWithHost : public ::testing::Test {
 protected:
  void Install(HostEdition edition) {
    qm::hostadmin::InstallHost(edition, installDir.path());
  }
  QString InstallFolder() const { return QDir(installDir.path()).absolutePath() + QLatin1Char('/'); }

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
  EXPECT_FALSE(modern.windowIcon().isNull());
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
      {defaultId, 1, 2}, {localOther, 1, 1}, {network, 1, 3},   {localOther, 400, 5},
      {localOther, plain, 6}, {localOther, third, 9}, {localOther, last, 28},
      {localOther, unknown, 6},
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
