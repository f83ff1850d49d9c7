// The resource library that qmhost install writes is a module the system's
// own loader takes: LoadLibraryExA as a data file, every folder icon by
// LoadImageA, FreeLibrary; and the start-up fill, which goes through that
// loader on Windows, gives the host's 28 pictures from it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <string>

#include "common/test_environment.h"
#include "host/admin/modern_icon_art.h"
#include "host/admin/resource_library_writer.h"
#include "host/tool/qmhost_cli.h"
#include "platform/environment.h"
#include "startup/folder_icons.h"
#include "startup/image_list.h"

namespace qm {
namespace {

void InstallHostInto(const QTemporaryDir& install) {
  QString output;
  QTextStream out(&output);
  QTextStream err(&output);
  ASSERT_EQ(
      qmhost::RunQmhost({QStringLiteral("install"), QStringLiteral("--edition"),
                         QStringLiteral("de"), QStringLiteral("--install-dir"), install.path()},
                        out, err),
      0)
      << output.toStdString();
}

TEST(Win32ResourceLibrary, TheInstalledQMResDllGivesEveryFolderIcon) {
  testing::ScopedConfigHome config;
  QTemporaryDir install;
  ASSERT_NO_FATAL_FAILURE(InstallHostInto(install));
  const QString library =
      QDir::toNativeSeparators(QDir(install.path()).filePath(QStringLiteral("QMRes.dll")));
  ASSERT_TRUE(QFileInfo(library).isFile());

  const HMODULE module =
      LoadLibraryExA(platform::ToAnsi(library).constData(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr) << "LoadLibraryExA failed with " << GetLastError();
  int loaded = 0;
  for (const startup::FolderIconRow& row : startup::FolderIconTable()) {
    const HANDLE icon = LoadImageA(module, row.modernName, IMAGE_ICON, 16, 16, 0);
    EXPECT_NE(icon, nullptr) << row.modernName;
    if (icon != nullptr) {
      ICONINFO info{};
      EXPECT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info)) << row.modernName;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(static_cast<HICON>(icon));
      ++loaded;
    }
  }
  EXPECT_EQ(loaded, 28);
  EXPECT_TRUE(FreeLibrary(module));
}

TEST(Win32ResourceLibrary, TheStartUpFillOverTheLoaderGivesTheHostsPictures) {
  testing::ScopedConfigHome config;
  QTemporaryDir install;
  ASSERT_NO_FATAL_FAILURE(InstallHostInto(install));
  // As the registry keeps it: with forward slashes and a trailing one.
  const QString folder = QDir(install.path()).absolutePath() + QLatin1Char('/');
  startup::ImageList list;
  ASSERT_EQ(startup::FillFolderIcons(list, startup::IconSet::Modern, folder),
            startup::IconSet::Modern);
  ASSERT_EQ(list.Count(), startup::kFolderIconCount);
  for (int position = 1; position <= startup::kFolderIconCount; ++position) {
    EXPECT_EQ(list.Image(position), host::DrawModernIcon(position)) << position;
  }
  // The fill freed the library: the file can go at once.
  EXPECT_TRUE(QFile::remove(folder + QStringLiteral("QMRes.dll")));
}

// The library counts only as a normal file: hidden and system files are
// passed over alike, as a listing of normal files passes them over. The
// install folder may hold letters the ANSI code page lacks: the test and the
// loader take the path in its wide form.
TEST(Win32ResourceLibrary, HiddenAndSystemLibrariesDoNotCount) {
  QTemporaryDir base;
  const QString folder = base.filePath(QString::fromUtf8("Quillmärke ὁ")) + QLatin1Char('/');
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString library = folder + QStringLiteral("QMRes.dll");
  host::WriteModernIconLibrary(library);
  const std::wstring native = QDir::toNativeSeparators(library).toStdWString();
  EXPECT_TRUE(startup::ResourceLibraryExists(folder));
  startup::ImageList list;
  EXPECT_EQ(startup::FillFolderIcons(list, startup::IconSet::Modern, folder),
            startup::IconSet::Modern);
  for (const DWORD attribute : {DWORD{FILE_ATTRIBUTE_HIDDEN}, DWORD{FILE_ATTRIBUTE_SYSTEM}}) {
    ASSERT_TRUE(SetFileAttributesW(native.c_str(), attribute));
    EXPECT_FALSE(startup::ResourceLibraryExists(folder)) << attribute;
  }
  ASSERT_TRUE(SetFileAttributesW(native.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(startup::ResourceLibraryExists(folder));
}

}  // namespace
}  // namespace qm
