#include "platform/pe_resources.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/test_environment.h"
#include "host/admin/modern_icon_art.h"
#include "host/admin/resource_library_writer.h"
#include "host/admin/resource_module_builder.h"
#include "platform/le_bytes.h"
#include "tests/platform/pe_test_support.h"

namespace {

using qm::host::BuildIconLibrary;
using qm::host::EncodeIconDib;
using qm::host::IconEncoding;
using qm::host::IconResource;
using qm::platform::PeResourceModule;
using qm::platform::ResourceKey;
using namespace qm::pe_test;

TEST(PeResources, FindsEveryIconGroupByNameWithoutRegardToCase) {
  const QImage blue = SolidImage(16, qRgb(0, 0, 255));
  const QImage red = SolidImage(16, qRgb(255, 0, 0));
  const PeResourceModule module = PeResourceModule::FromBytes(
      BuildIconLibrary({{"Folder_Blue_16_XP", {blue}}, {"Folder_Red_16_XP", {red}}}));
  for (const char* name :
       {"Folder_Blue_16_XP", "FOLDER_BLUE_16_XP", "folder_blue_16_xp", "fOLDER_bLUE_16_xp"}) {
    const std::optional<QByteArray> icon = module.LoadIcon(QString::fromLatin1(name));
    ASSERT_TRUE(icon.has_value()) << name;
    EXPECT_EQ(*icon, EncodeIconDib(blue)) << name;
  }
  EXPECT_EQ(module.LoadIcon(QStringLiteral("folder_red_16_xp")), EncodeIconDib(red));
  EXPECT_FALSE(module.LoadIcon(QStringLiteral("Folder_Green_16_XP")).has_value());
  EXPECT_FALSE(
      module.LoadIcon(QStringLiteral("Folder_Blue_16")).has_value());  // a prefix is not the name
  EXPECT_EQ(module.ResourceNames(qm::platform::kResourceTypeGroupIcon),
            (QList<ResourceKey>{QStringLiteral("FOLDER_BLUE_16_XP"),
                                QStringLiteral("FOLDER_RED_16_XP")}));
  EXPECT_EQ(module.ResourceNames(qm::platform::kResourceTypeIcon),
            (QList<ResourceKey>{std::uint16_t{1}, std::uint16_t{2}}));
}

TEST(PeResources, PicksTheImageThatBestFitsTheRequestedSize) {
  const QImage small = SolidImage(16, qRgb(1, 2, 3));
  const QImage large = SolidImage(32, qRgb(4, 5, 6));
  const QImage huge = SolidImage(48, qRgb(7, 8, 9));
  const PeResourceModule module =
      PeResourceModule::FromBytes(BuildIconLibrary({{"A", {large, small, huge}}}));
  EXPECT_EQ(module.LoadIcon(QStringLiteral("A"), 16, 16), EncodeIconDib(small));
  EXPECT_EQ(module.LoadIcon(QStringLiteral("A"), 32, 32), EncodeIconDib(large));
  EXPECT_EQ(module.LoadIcon(QStringLiteral("A"), 40, 40),
            EncodeIconDib(huge));  // as near as 32, and larger
  EXPECT_EQ(module.LoadIcon(QStringLiteral("A"), 64, 64), EncodeIconDib(huge));
}

TEST(PeResources, BestEntryPrefersNearestSizeThenLargerThenDeeperColour) {
  using qm::platform::IconGroupEntry;
  auto entry = [](int side, int bits, int colors = 0) {
    IconGroupEntry e;
    e.width = side;
    e.height = side;
    e.bitCount = bits;
    e.colorCount = colors;
    return e;
  };
  struct Case {
    const char* what;
    QList<IconGroupEntry> entries;
    int expected;
  };
  const Case cases[] = {
      {"exact size wins", {entry(32, 32), entry(16, 4), entry(48, 32)}, 1},
      {"deeper colour at the same size", {entry(16, 4), entry(16, 32), entry(16, 8)}, 1},
      {"palette size stands for a missing bit count",
       {entry(16, 0, 2), entry(16, 0, 16), entry(16, 0, 0)},
       1},
      {"larger before smaller at the same distance", {entry(8, 32), entry(24, 4)}, 1},
      {"nearest even if shallow", {entry(20, 1), entry(64, 32)}, 0},
      {"256 counts as large", {entry(256, 32), entry(128, 32)}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qm::platform::BestIconGroupEntry(c.entries, 16, 16), c.expected) << c.what;
  }
  EXPECT_EQ(qm::platform::BestIconGroupEntry({}, 16, 16), -1);
}

TEST(PeResources, PngImagesAreReturnedAsStored) {
  const QImage image = SolidImage(16, qRgba(10, 20, 30, 128));
  const PeResourceModule module =
      PeResourceModule::FromBytes(BuildIconLibrary({{"P", {image}, IconEncoding::Png}}));
  const std::optional<QByteArray> bytes = module.LoadIcon(QStringLiteral("p"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_TRUE(bytes->startsWith("\x89PNG"));
  EXPECT_EQ(QImage::fromData(*bytes, "PNG").convertToFormat(QImage::Format_ARGB32), image);
}

TEST(PeResources, RawResourcesKeepTheirNamesLanguagesAndNumbers) {
  using qm::host::RawResource;
  const QByteArray module = qm::host::BuildResourceModule({
      {std::uint16_t{10}, QStringLiteral("MixedCase"), 0x0407, "german"},
      {std::uint16_t{10}, QStringLiteral("MixedCase"), 0x0409, "english"},
      {std::uint16_t{10}, std::uint16_t{7}, 0x0409, "seven"},
      {QStringLiteral("CUSTOM"), QStringLiteral("x"), 0, "custom"},
  });
  const PeResourceModule parsed = PeResourceModule::FromBytes(module);
  // The first language in the file serves, and names need not be capitals.
  EXPECT_EQ(parsed.FindResource(std::uint16_t{10}, QStringLiteral("mixedcase")),
            QByteArray("german"));
  EXPECT_EQ(parsed.FindResource(std::uint16_t{10}, std::uint16_t{7}), QByteArray("seven"));
  EXPECT_EQ(parsed.FindResource(std::uint16_t{10}, qm::platform::ResourceKeyFromText("#7")),
            QByteArray("seven"));
  EXPECT_EQ(parsed.FindResource(QStringLiteral("custom"), QStringLiteral("X")),
            QByteArray("custom"));
  EXPECT_FALSE(parsed.FindResource(std::uint16_t{10}, std::uint16_t{8}).has_value());
  EXPECT_FALSE(parsed.FindResource(std::uint16_t{11}, std::uint16_t{7}).has_value());
  // A number and a text that spells it are different keys.
  EXPECT_FALSE(parsed.FindResource(std::uint16_t{10}, QStringLiteral("7")).has_value());

  EXPECT_QM_ERROR(qm::host::BuildResourceModule({{std::uint16_t{3}, std::uint16_t{1}, 0, "a"},
                                                 {std::uint16_t{3}, std::uint16_t{1}, 0, "b"}}),
                  87, "BuildResourceModule",
                  "Two resources have the same type, name and language.");
  EXPECT_THROW(qm::host::BuildResourceModule({{std::uint16_t{3}, QString(), 0, "a"}}), qm::Error);
}

TEST(PeResources, ResourceKeyFromTextReadsOnlyDecimalNumbersAfterAHash) {
  struct Case {
    const char* text;
    ResourceKey expected;
  };
  const Case cases[] = {
      {"#1", std::uint16_t{1}},
      {"#65535", std::uint16_t{65535}},
      {"#65536", QStringLiteral("#65536")},
      {"#", QStringLiteral("#")},
      {"#x1", QStringLiteral("#x1")},
      {"12", QStringLiteral("12")},
      {"#-1", QStringLiteral("#-1")},
      {"Folder", QStringLiteral("Folder")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qm::platform::ResourceKeyFromText(QString::fromLatin1(c.text)), c.expected) << c.text;
  }
}

TEST(PeResources, AModuleWithoutResourcesHasNoIcons) {
  QByteArray module = BuildIconLibrary({{"A", {SolidImage(16, 0)}}});
  qm::platform::PutU32(module, kResourceRvaAt, 0);
  const PeResourceModule parsed = PeResourceModule::FromBytes(module);
  EXPECT_FALSE(parsed.hasResources());
  EXPECT_FALSE(parsed.LoadIcon(QStringLiteral("A")).has_value());
  EXPECT_TRUE(parsed.ResourceNames(qm::platform::kResourceTypeGroupIcon).isEmpty());
}

TEST(PeResources, ReadsPe32PlusModules) {
  const QImage image = SolidImage(16, qRgb(9, 9, 9));
  const PeResourceModule module =
      PeResourceModule::FromBytes(ToPe32Plus(BuildIconLibrary({{"A", {image}}})));
  EXPECT_EQ(module.LoadIcon(QStringLiteral("A")), EncodeIconDib(image));
}

TEST(PeResources, LibraryFilesLoadAndFreeLikeModuleHandles) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("QMRes.dll"));
  qm::host::WriteModernIconLibrary(path);
  qm::platform::ResourceLibrary library = qm::platform::ResourceLibrary::Load(path);
  ASSERT_TRUE(library);
  EXPECT_TRUE(library.module().LoadIcon(QStringLiteral("Folder_Blue_16_XP")).has_value());
  EXPECT_EQ(library.module().ResourceNames(qm::platform::kResourceTypeGroupIcon).size(), 28);
  qm::platform::ResourceLibrary moved = std::move(library);
  EXPECT_TRUE(moved);
  moved.Free();
  EXPECT_FALSE(moved);
  moved.Free();  // freeing a null handle is harmless
  EXPECT_FALSE(qm::platform::ResourceLibrary());
}

TEST(PeResources, MissingUnreadableAndOversizedFilesAreRefusedWithTheirReason) {
  QTemporaryDir dir;
  EXPECT_QM_ERROR(PeResourceModule::FromFile(dir.filePath(QStringLiteral("none.dll"))), 2,
                  "LoadLibraryEx",
                  QStringLiteral("The module \"%1\" was not found.")
                      .arg(dir.filePath(QStringLiteral("none.dll"))));
  EXPECT_QM_ERROR(PeResourceModule::FromFile(dir.path()), 2, "LoadLibraryEx",
                  QStringLiteral("The module \"%1\" was not found.").arg(dir.path()));

  // A sparse file just over the limit: refused by its size, not read.
  QFile big(dir.filePath(QStringLiteral("big.dll")));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  ASSERT_TRUE(big.resize(qm::platform::kMaxModuleFileSize + 1));
  big.close();
  try {
    PeResourceModule::FromFile(big.fileName());
    ADD_FAILURE() << "an oversized module was accepted";
  } catch (const qm::Error& e) {
    EXPECT_EQ(e.number(), 193);
    EXPECT_TRUE(e.description().contains(QStringLiteral("larger than"))) << e.what();
  }
}

TEST(PeResources, WritingToAnUnwritablePlaceFailsAndKeepsTheOldFile) {
  QTemporaryDir dir;
  EXPECT_THROW(
      qm::host::WriteModernIconLibrary(dir.filePath(QStringLiteral("no/such/folder/QMRes.dll"))),
      qm::Error);
  const QString path = dir.filePath(QStringLiteral("QMRes.dll"));
  qm::host::WriteIconLibrary(path, {{"A", {SolidImage(16, 0)}}});
  QFile before(path);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  const QByteArray old = before.readAll();
  before.close();
  EXPECT_QM_ERROR(
      qm::host::WriteIconLibrary(path, {{"A", {SolidImage(16, 0)}}, {"a", {SolidImage(16, 0)}}}),
      87, "WriteIconLibrary", "The icon name \"a\" is given twice.");
  EXPECT_THROW(qm::host::WriteIconLibrary(path, {{"B", {SolidImage(300, 0)}}}), qm::Error);
  EXPECT_THROW(qm::host::WriteIconLibrary(path, {{"B", {}}}), qm::Error);
  ASSERT_TRUE(before.open(QIODevice::ReadOnly));
  EXPECT_EQ(before.readAll(), old);
}

TEST(PeResources, ModernLibraryHoldsEveryNameOfTheHostsSetAt16Pixels) {
  const PeResourceModule module =
      PeResourceModule::FromBytes(BuildIconLibrary(qm::host::ModernIconResources()));
  for (int position = 1; position <= qm::folder_icons::kCount; ++position) {
    const QString name = qm::folder_icons::ModernIconName(position);
    const std::optional<QByteArray> icon = module.LoadIcon(name);
    ASSERT_TRUE(icon.has_value()) << name.toStdString();
    qm::platform::LittleEndianView dib(*icon, 13, QStringLiteral("test"));
    EXPECT_EQ(dib.I32(4), 16);
    EXPECT_EQ(dib.I32(8), 32);
    EXPECT_EQ(dib.U16(14), 32);
  }
  EXPECT_TRUE(qm::folder_icons::ModernIconName(0).isEmpty());
  EXPECT_TRUE(qm::host::DrawModernIcon(29).isNull());
}

}  // namespace
