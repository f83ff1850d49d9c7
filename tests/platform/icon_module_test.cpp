// The module of icons over each system's loader: these cases run on Linux
// over our reader and under Windows over LoadLibraryExA and LoadImageA, and
// both must answer alike.
#include "platform/icon_module.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

#include "host/admin/modern_icon_art.h"
#include "host/admin/resource_library_writer.h"
#include "host/admin/resource_module_builder.h"
#include "platform/error.h"
#include "platform/le_bytes.h"
#include "tests/platform/pe_test_support.h"

namespace {

using qm::platform::IconModule;

// An icon group of one 32-bit image of the given side and number.
QByteArray GroupOf(int side, std::uint16_t iconId, std::uint32_t imageBytes) {
  QByteArray group;
  for (const std::uint32_t value : {0u, 1u, 1u}) {
    qm::platform::AppendU16(group, value);
  }
  for (const std::uint32_t byte :
       {static_cast<std::uint32_t>(side), static_cast<std::uint32_t>(side), 0u, 0u}) {
    qm::platform::AppendU8(group, byte);
  }
  qm::platform::AppendU16(group, 1);
  qm::platform::AppendU16(group, 32);
  qm::platform::AppendU32(group, imageBytes);
  qm::platform::AppendU16(group, iconId);
  return group;
}

QString WriteModule(const QTemporaryDir& dir, const QByteArray& bytes) {
  const QString path = dir.filePath(QStringLiteral("Icons.dll"));
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

TEST(IconModule, TheHostsLibraryGivesEveryIconByItsNameInAnyCase) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("QMRes.dll"));
  qm::host::WriteModernIconLibrary(path);
  const IconModule library = IconModule::Load(path);
  ASSERT_TRUE(library);
  for (int position = 1; position <= qm::folder_icons::kCount; ++position) {
    const std::optional<QImage> icon = library.Icon(qm::folder_icons::ModernIconName(position), 16);
    ASSERT_TRUE(icon.has_value()) << position;
    EXPECT_EQ(icon->format(), QImage::Format_ARGB32) << position;
    EXPECT_EQ(*icon, qm::host::DrawModernIcon(position)) << position;
  }
  EXPECT_EQ(library.Icon(QStringLiteral("folder_blue_16_xp"), 16), qm::host::DrawModernIcon(7));
  EXPECT_FALSE(library.Icon(QStringLiteral("Folder_Blue_16"), 16).has_value());
  EXPECT_FALSE(library.Icon(QStringLiteral("#7"), 16).has_value());  // the library names its groups
}

TEST(IconModule, NumberedGroupsAreAskedForWithAHash) {
  const QImage red = qm::pe_test::SolidImage(16, qRgb(200, 0, 0));
  const QByteArray image = qm::host::EncodeIconDib(red);
  const auto bytes = static_cast<std::uint32_t>(image.size());
  QTemporaryDir dir;
  const QString path = WriteModule(
      dir,
      qm::host::BuildResourceModule({
          {qm::platform::kResourceTypeGroupIcon, std::uint16_t{123}, 0x0409, GroupOf(16, 1, bytes)},
          {qm::platform::kResourceTypeIcon, std::uint16_t{1}, 0x0409, image},
      }));
  const IconModule library = IconModule::Load(path);
  EXPECT_EQ(library.Icon(QStringLiteral("#123"), 16), red);
  EXPECT_FALSE(library.Icon(QStringLiteral("#124"), 16).has_value());
  EXPECT_FALSE(library.Icon(QStringLiteral("123"), 16).has_value());  // a name, not the number
}

TEST(IconModule, AnImageOfAnotherSizeIsStretchedToTheSizeAskedFor) {
  const QImage big = qm::pe_test::SolidImage(32, qRgb(0, 0, 200));
  const QByteArray image = qm::host::EncodeIconDib(big);
  QTemporaryDir dir;
  const QString path =
      WriteModule(dir, qm::host::BuildResourceModule({
                           {qm::platform::kResourceTypeGroupIcon, QStringLiteral("BIG"), 0x0409,
                            GroupOf(32, 1, static_cast<std::uint32_t>(image.size()))},
                           {qm::platform::kResourceTypeIcon, std::uint16_t{1}, 0x0409, image},
                       }));
  const std::optional<QImage> icon = IconModule::Load(path).Icon(QStringLiteral("Big"), 16);
  ASSERT_TRUE(icon.has_value());
  EXPECT_EQ(icon->size(), QSize(16, 16));
  EXPECT_EQ(icon->pixel(8, 8), qRgb(0, 0, 200));
}

TEST(IconModule, OwnsTheModuleUntilFreedAndMovesLikeAHandle) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("QMRes.dll"));
  qm::host::WriteModernIconLibrary(path);
  IconModule library = IconModule::Load(path);
  IconModule moved = std::move(library);
  EXPECT_FALSE(library);  // a moved-from handle is null
  EXPECT_FALSE(library.Icon(qm::folder_icons::ModernIconName(1), 16).has_value());
  ASSERT_TRUE(moved);
  EXPECT_TRUE(moved.Icon(qm::folder_icons::ModernIconName(1), 16).has_value());
  library = std::move(moved);
  EXPECT_TRUE(library.Icon(qm::folder_icons::ModernIconName(2), 16).has_value());
  library.Free();
  EXPECT_FALSE(library);
  EXPECT_FALSE(library.Icon(qm::folder_icons::ModernIconName(1), 16).has_value());
  library.Free();  // freeing a null handle is harmless
  EXPECT_FALSE(IconModule());
}

TEST(IconModule, AMissingFileOrOneThatIsNoModuleIsNotLoaded) {
  QTemporaryDir dir;
  for (const QString& path :
       {dir.filePath(QStringLiteral("none.dll")),
        WriteModule(dir, QByteArray("MZ, but nothing of a module after it"))}) {
    try {
      IconModule::Load(path);
      ADD_FAILURE() << path.toStdString() << " was loaded";
    } catch (const qm::Error& e) {
      EXPECT_NE(e.number(), 0) << e.what();
      EXPECT_EQ(e.source(), QStringLiteral("LoadLibraryEx")) << e.what();
    }
  }
}

}  // namespace
