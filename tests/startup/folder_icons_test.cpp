#include "startup/folder_icons.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <vector>

#include "host/admin/modern_icon_art.h"
#include "host/admin/resource_library_writer.h"
#include "host/admin/resource_module_builder.h"
#include "platform/icon_decoder.h"
#include "platform/le_bytes.h"
#include "tests/startup/icon_test_support.h"

namespace {

using qm::icon_test::DominantColour;
using qm::startup::FolderIconTable;
using qm::startup::IconSet;
using qm::startup::ImageList;
using qm::startup::kFolderIconCount;

QString Latin1(const char* text) { return QString::fromLatin1(text); }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

// An install folder as the registry stores it: with its trailing separator.
QString InstallFolder(const QTemporaryDir& dir) { return dir.path() + QLatin1Char('/'); }

qm::startup::VersionRecordSource Reporting(qm::platform::OsVersionRecord record, int* calls) {
  return [record, calls] {
    ++*calls;
    return record;
  };
}

TEST(FolderIconTable, KeysAreTheClassicNamesWithoutTheirSizeFromPositionSevenOn) {
  std::set<QString> modern;
  std::set<QString> classic;
  for (int position = 1; position <= kFolderIconCount; ++position) {
    const auto& row = FolderIconTable()[static_cast<std::size_t>(position - 1)];
    modern.insert(Latin1(row.modernName).toUpper());
    classic.insert(Latin1(row.classicName));
    EXPECT_TRUE(Latin1(row.modernName).endsWith(QStringLiteral("_16_XP"))) << position;
    ASSERT_TRUE(Latin1(row.classicName).endsWith(QStringLiteral("_16"))) << position;
    const QString expectedKey = position <= 6 ? QString() : Latin1(row.classicName).chopped(3);
    EXPECT_EQ(Latin1(row.key), expectedKey) << position;
  }
  EXPECT_EQ(modern.size(), 28u);
  EXPECT_EQ(classic.size(), 28u);
  // The places the folder selection relies on.
  EXPECT_STREQ(FolderIconTable()[4].modernName, "Folder_New_Documents_16_XP");
  EXPECT_STREQ(FolderIconTable()[6].key, "BMP_ORDNERSYMBOL_ORDNER_BLAU");
  EXPECT_STREQ(FolderIconTable()[8].modernName, "Folder_Red_16_XP");
  EXPECT_STREQ(FolderIconTable()[27].classicName, "BMP_ORDNERSYMBOL_ORDNER_PERSON_16");
}

// Row by row: the folder selection and the host's symbol numbers address
// the list by position, and the host's library by these very names.
TEST(FolderIconTable, EveryRowAsTheHostAndTheFolderSelectionExpectIt) {
  struct Row {
    int position;
    const char* modern;
    const char* classic;
    const char* key;
  };
  const Row rows[] = {
      {1, "Collection_16_XP", "BMP_ARCHIV_16", ""},
      {2, "Collection_Default_16_XP", "BMP_STANDARDARCHIV_16", ""},
      {3, "Collection_Network_16_XP", "BMP_SERVER_ARCHIV_16", ""},
      {4, "Collection_Network_Default_16_XP", "BMP_SERVER_ARCHIV_STANDARD_16", ""},
      {5, "Folder_New_Documents_16_XP", "BMP_NEU_ERFASSTE_DOKUMENTE_16", ""},
      {6, "Folder_16_XP", "BMP_ORDNER_16", ""},
      {7, "Folder_Blue_16_XP", "BMP_ORDNERSYMBOL_ORDNER_BLAU_16", "BMP_ORDNERSYMBOL_ORDNER_BLAU"},
      {8, "Folder_Green_16_XP", "BMP_ORDNERSYMBOL_ORDNER_GRUEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_GRUEN"},
      {9, "Folder_Red_16_XP", "BMP_ORDNERSYMBOL_ORDNER_ROT_16", "BMP_ORDNERSYMBOL_ORDNER_ROT"},
      {10, "Folder_Magenta_16_XP", "BMP_ORDNERSYMBOL_ORDNER_LILA_16",
       "BMP_ORDNERSYMBOL_ORDNER_LILA"},
      {11, "Folder_Gray_16_XP", "BMP_ORDNERSYMBOL_ORDNER_GRAU_16", "BMP_ORDNERSYMBOL_ORDNER_GRAU"},
      {12, "Folder_Check_Mark_16_XP", "BMP_ORDNERSYMBOL_ORDNER_HAEKCHEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_HAEKCHEN"},
      {13, "Folder_Exclamation_16_XP", "BMP_ORDNERSYMBOL_ORDNER_AUSRUFEZEICHEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_AUSRUFEZEICHEN"},
      {14, "Folder_Flag_Red_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ROT_16",
       "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ROT"},
      {15, "Folder_Flag_Blue_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_BLAU_16",
       "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_BLAU"},
      {16, "Folder_Flag_Green_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_GRUEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_GRUEN"},
      {17, "Folder_Flag_Orange_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ORANGE_16",
       "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ORANGE"},
      {18, "Folder_Flag_Magenta_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_LILA_16",
       "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_LILA"},
      {19, "Folder_Blue_Arrow_16_XP", "BMP_ORDNERSYMBOL_ORDNER_PFEIL_BLAU_16",
       "BMP_ORDNERSYMBOL_ORDNER_PFEIL_BLAU"},
      {20, "Folder_No_Entry_Sign_16_XP", "BMP_ORDNERSYMBOL_ORDNER_VERBOTEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_VERBOTEN"},
      {21, "Folder_Question_Mark_16_XP", "BMP_ORDNERSYMBOL_ORDNER_FRAGEZEICHEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_FRAGEZEICHEN"},
      {22, "Folder_Clock_16_XP", "BMP_ORDNERSYMBOL_ORDNER_UHR_16", "BMP_ORDNERSYMBOL_ORDNER_UHR"},
      {23, "Folder_Boxes_16_XP", "BMP_ORDNERSYMBOL_ORDNER_KAESTCHEN_16",
       "BMP_ORDNERSYMBOL_ORDNER_KAESTCHEN"},
      {24, "Folder_E-mail_16_XP", "BMP_ORDNERSYMBOL_ORDNER_EMAIL_16",
       "BMP_ORDNERSYMBOL_ORDNER_EMAIL"},
      {25, "Folder_Picture_16_XP", "BMP_ORDNERSYMBOL_ORDNER_BILD_16",
       "BMP_ORDNERSYMBOL_ORDNER_BILD"},
      {26, "Folder_Word_16_XP", "BMP_ORDNERSYMBOL_ORDNER_WORD_SYMBOL_16",
       "BMP_ORDNERSYMBOL_ORDNER_WORD_SYMBOL"},
      {27, "Folder_PDF_16_XP", "BMP_ORDNERSYMBOL_ORDNER_PDF_16", "BMP_ORDNERSYMBOL_ORDNER_PDF"},
      {28, "Folder_Person_16_XP", "BMP_ORDNERSYMBOL_ORDNER_PERSON_16",
       "BMP_ORDNERSYMBOL_ORDNER_PERSON"},
  };
  ASSERT_EQ(std::size(rows), static_cast<std::size_t>(kFolderIconCount));
  for (const Row& row : rows) {
    const auto& actual = FolderIconTable()[static_cast<std::size_t>(row.position - 1)];
    EXPECT_STREQ(actual.modernName, row.modern) << row.position;
    EXPECT_STREQ(actual.classicName, row.classic) << row.position;
    EXPECT_STREQ(actual.key, row.key) << row.position;
  }
}

TEST(ClassicBitmaps, EachIs808BytesOf16By16At24BitsOnSilverAndAllDiffer) {
  std::set<QByteArray> seen;
  for (const auto& row : FolderIconTable()) {
    const QByteArray bytes = qm::startup::ClassicBitmapResource(Latin1(row.classicName));
    ASSERT_EQ(bytes.size(), 808) << row.classicName;
    const qm::platform::LittleEndianView header(bytes, 0, QString());
    EXPECT_EQ(header.U32(0), 40u);
    EXPECT_EQ(header.I32(4), 16);
    EXPECT_EQ(header.I32(8), 16);  // bottom-up
    EXPECT_EQ(header.U16(12), 1);
    EXPECT_EQ(header.U16(14), 24);
    EXPECT_EQ(header.U32(16), 0u);
    seen.insert(bytes);

    const QImage image = qm::platform::DecodeBitmap(bytes);
    ASSERT_EQ(image.size(), QSize(16, 16));
    int silver = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        silver += image.pixel(x, y) == qRgb(192, 192, 192) ? 1 : 0;
      }
    }
    EXPECT_EQ(image.pixel(0, 0), qRgb(192, 192, 192)) << row.classicName;
    EXPECT_EQ(image.pixel(15, 0), qRgb(192, 192, 192)) << row.classicName;
    EXPECT_GE(silver, 30) << row.classicName;   // a background, not a stray pixel
    EXPECT_LE(silver, 200) << row.classicName;  // and a picture on it
  }
  EXPECT_EQ(seen.size(), 28u);
  EXPECT_TRUE(qm::startup::ClassicBitmapResource(QStringLiteral("BMP_UNKNOWN_16")).isEmpty());
  EXPECT_TRUE(
      qm::startup::ClassicBitmapResource(QStringLiteral("../classic/BMP_ORDNER_16")).isEmpty());
  EXPECT_FALSE(qm::startup::LoadClassicBitmap(QStringLiteral("BMP_UNKNOWN_16")).has_value());
}

TEST(ClassicBitmaps, CommittedFilesAreWhatTheDrawingScriptProduces) {
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
  const QString source = qEnvironmentVariable("QM_SOURCE_DIR");
  if (python.isEmpty() || source.isEmpty()) {
    GTEST_SKIP() << "needs python3 and QM_SOURCE_DIR";
  }
  QProcess process;
  process.start(python,
                {source + QStringLiteral("/scripts/draw_resources.py"), QStringLiteral("--check")});
  ASSERT_TRUE(process.waitForFinished(120000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString()
                                   << process.readAllStandardError().toStdString();
  // And the resources are what is committed, less the file header.
  for (const auto& row : FolderIconTable()) {
    QFile file(source +
               QStringLiteral("/startup/resources/classic/%1.bmp").arg(Latin1(row.classicName)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << row.classicName;
    const QByteArray committed = file.readAll();
    EXPECT_TRUE(committed.startsWith("BM")) << row.classicName;
    EXPECT_EQ(committed.mid(14), qm::startup::ClassicBitmapResource(Latin1(row.classicName)))
        << row.classicName;
  }
}

TEST(IconSetChoice, ModernOnlyFromNt51OnWithTheLibraryPresent) {
  struct Case {
    qm::platform::OsVersionRecord record;
    bool modernWithLibrary;
  };
  const Case cases[] = {
      {{2, 5, 0}, false}, {{2, 5, 1}, true},   {{2, 5, 2}, true},
      {{2, 6, 0}, true},  {{2, 6, 2}, true},   {{2, 10, 0}, false},
      {{2, 4, 0}, false}, {{1, 4, 90}, false}, {{1, 4, 50}, false},
  };
  QTemporaryDir withLibrary;
  qm::host::WriteModernIconLibrary(withLibrary.filePath(QStringLiteral("QMRes.dll")));
  QTemporaryDir withoutLibrary;
  for (const Case& c : cases) {
    for (const bool present : {true, false}) {
      int calls = 0;
      qm::startup::WindowsVersion version(Reporting(c.record, &calls));
      const QString folder = InstallFolder(present ? withLibrary : withoutLibrary);
      EXPECT_EQ(qm::startup::ChooseModernIconSet(version, folder), present && c.modernWithLibrary)
          << c.record.majorVersion << "." << c.record.minorVersion << " library " << present;
      EXPECT_EQ(calls, 1);  // the version is asked whatever the library test says
    }
  }
}

TEST(IconSetChoice, OnlyANormalFileAtTheExactPathCounts) {
  QTemporaryDir dir;
  const QString folder = InstallFolder(dir);
  int calls = 0;
  qm::startup::WindowsVersion version(Reporting({2, 6, 1}, &calls));

  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("QMRes.dll")));
  EXPECT_FALSE(qm::startup::ChooseModernIconSet(version, folder)) << "a folder of that name";
  ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("QMRes.dll")));

  WriteFile(dir.filePath(QStringLiteral(".QMRes.dll")), "x");
  EXPECT_FALSE(qm::startup::ChooseModernIconSet(version, folder + QStringLiteral(".")))
      << "a hidden file";

  WriteFile(dir.filePath(QStringLiteral("QMRes.dll")), "any bytes");
  EXPECT_TRUE(qm::startup::ChooseModernIconSet(version, folder));
  // Without its trailing separator the folder name runs into the file name.
  EXPECT_FALSE(qm::startup::ChooseModernIconSet(version, dir.path()));
  EXPECT_EQ(qm::startup::ResourceLibraryPath(dir.path()), dir.path() + QStringLiteral("QMRes.dll"));
}

TEST(IconSetChoice, AnEmptyInstallFolderLooksInTheCurrentFolder) {
  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  int calls = 0;
  qm::startup::WindowsVersion version(Reporting({2, 6, 1}, &calls));
  const bool before = qm::startup::ChooseModernIconSet(version, QString());
  WriteFile(dir.filePath(QStringLiteral("QMRes.dll")), "x");
  const bool after = qm::startup::ChooseModernIconSet(version, QString());
  QDir::setCurrent(previous);
  EXPECT_FALSE(before);
  EXPECT_TRUE(after);
}

void ExpectTheListOrder(const ImageList& list) {
  ASSERT_EQ(list.Count(), kFolderIconCount);
  for (int position = 1; position <= kFolderIconCount; ++position) {
    const QString key = Latin1(FolderIconTable()[static_cast<std::size_t>(position - 1)].key);
    EXPECT_EQ(list.Key(position), key) << position;
    if (!key.isEmpty()) {
      EXPECT_EQ(list.Position(key), position);
    }
  }
  // Plain folder, then the coloured folders of symbols 1 to 5.
  const char* colours[] = {"yellow", "blue", "green", "red", "magenta", "gray"};
  for (int position = 6; position <= 11; ++position) {
    EXPECT_EQ(DominantColour(list.Image(position)), Latin1(colours[position - 6])) << position;
  }
}

TEST(FolderIconFill, ClassicSetHas28EntriesInOrderWithSilverMadeTransparent) {
  ImageList list;
  EXPECT_EQ(qm::startup::FillFolderIcons(list, IconSet::Classic, QString()), IconSet::Classic);
  ExpectTheListOrder(list);
  for (int position = 1; position <= kFolderIconCount; ++position) {
    const QImage image = list.Image(position);
    ASSERT_EQ(image.size(), QSize(16, 16)) << position;
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << position;
  }
  EXPECT_EQ(qAlpha(list.Image(6).pixel(0, 3)), 255);  // the folder's outline stays
}

TEST(FolderIconFill, ModernSetComesFromTheLibraryInOrder) {
  QTemporaryDir dir;
  qm::host::WriteModernIconLibrary(dir.filePath(QStringLiteral("QMRes.dll")));
  ImageList list;
  EXPECT_EQ(qm::startup::FillFolderIcons(list, IconSet::Modern, InstallFolder(dir)),
            IconSet::Modern);
  ExpectTheListOrder(list);
  for (int position = 1; position <= kFolderIconCount; ++position) {
    EXPECT_EQ(list.Image(position), qm::host::DrawModernIcon(position)) << position;
  }
}

TEST(FolderIconFill, NamesTheLibraryLacksKeepTheirPlacesEmpty) {
  QList<qm::host::IconResource> icons = qm::host::ModernIconResources();
  icons.removeAt(16);  // position 17, orange flag
  icons.removeAt(2);   // position 3, network collection
  QTemporaryDir dir;
  qm::host::WriteIconLibrary(dir.filePath(QStringLiteral("QMRes.dll")), icons);
  ImageList list;
  EXPECT_EQ(qm::startup::FillFolderIcons(list, IconSet::Modern, InstallFolder(dir)),
            IconSet::Modern);
  ASSERT_EQ(list.Count(), kFolderIconCount);
  for (int position = 1; position <= kFolderIconCount; ++position) {
    if (position == 3 || position == 17) {
      EXPECT_TRUE(list.Image(position).isNull()) << position;
    } else {
      EXPECT_EQ(list.Image(position), qm::host::DrawModernIcon(position)) << position;
    }
  }
  EXPECT_EQ(list.Position(QStringLiteral("BMP_ORDNERSYMBOL_ORDNER_FLAGGE_LILA")), 18);
}

TEST(FolderIconFill, AnUnreadableLibraryGivesTheClassicSet) {
  for (const QByteArray& content :
       {QByteArray(), QByteArray("MZ not really a module"), QByteArray(4096, 'Z')}) {
    QTemporaryDir dir;
    WriteFile(dir.filePath(QStringLiteral("QMRes.dll")), content);
    ImageList list;
    EXPECT_EQ(qm::startup::FillFolderIcons(list, IconSet::Modern, InstallFolder(dir)),
              IconSet::Classic);
    ExpectTheListOrder(list);
  }
}

TEST(LoadIconPicture, GivesThePictureOrNothing) {
  const QImage png = qm::host::DrawModernIcon(9);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("QMRes.dll"));
  qm::host::WriteIconLibrary(path, {{QStringLiteral("Good"), {qm::host::DrawModernIcon(7)}},
                                    {QStringLiteral("Png"), {png}, qm::host::IconEncoding::Png}});
  const qm::platform::IconModule library = qm::platform::IconModule::Load(path);
  EXPECT_EQ(qm::startup::LoadIconPicture(library, QStringLiteral("good")),
            qm::host::DrawModernIcon(7));
  EXPECT_EQ(qm::startup::LoadIconPicture(library, QStringLiteral("PNG")), png);
  EXPECT_FALSE(qm::startup::LoadIconPicture(library, QStringLiteral("Missing")).has_value());
  EXPECT_FALSE(
      qm::startup::LoadIconPicture(qm::platform::IconModule(), QStringLiteral("Good")).has_value());
}

// An icon group of one 16 by 16, 32-bit image with the given number.
QByteArray GroupOf(std::uint16_t iconId) {
  QByteArray group;
  for (const std::uint32_t value : {0u, 1u, 1u}) {
    qm::platform::AppendU16(group, value);
  }
  for (const std::uint32_t byte : {16u, 16u, 0u, 0u}) {
    qm::platform::AppendU8(group, byte);
  }
  qm::platform::AppendU16(group, 1);
  qm::platform::AppendU16(group, 32);
  qm::platform::AppendU32(group, 0);
  qm::platform::AppendU16(group, iconId);
  return group;
}

// A library of a good icon beside broken ones: a group whose image is not a
// bitmap, one whose image is cut short by the mask's last byte, and one whose
// image is missing.
qm::platform::IconModule LibraryWithBrokenIcons(const QTemporaryDir& dir, const QImage& good) {
  QByteArray truncated = qm::host::EncodeIconDib(good);
  truncated.chop(1);  // the mask's last byte
  const QByteArray module = qm::host::BuildResourceModule({
      {qm::platform::kResourceTypeGroupIcon, QStringLiteral("GARBAGE"), 0x0409, GroupOf(5)},
      {qm::platform::kResourceTypeGroupIcon, QStringLiteral("TRUNCATED"), 0x0409, GroupOf(6)},
      {qm::platform::kResourceTypeGroupIcon, QStringLiteral("GOOD"), 0x0409, GroupOf(7)},
      {qm::platform::kResourceTypeGroupIcon, QStringLiteral("DANGLING"), 0x0409, GroupOf(8)},
      {qm::platform::kResourceTypeIcon, std::uint16_t{5}, 0x0409, "not a bitmap"},
      {qm::platform::kResourceTypeIcon, std::uint16_t{6}, 0x0409, truncated},
      {qm::platform::kResourceTypeIcon, std::uint16_t{7}, 0x0409, qm::host::EncodeIconDib(good)},
  });
  WriteFile(dir.filePath(QStringLiteral("QMRes.dll")), module);
  return qm::platform::IconModule::Load(dir.filePath(QStringLiteral("QMRes.dll")));
}

TEST(LoadIconPicture, AMalformedIconIsNoPictureAndSparesTheOthers) {
  const QImage good = qm::host::DrawModernIcon(20);
  QTemporaryDir dir;
  const qm::platform::IconModule library = LibraryWithBrokenIcons(dir, good);
  for (const char* name : {"Garbage", "Dangling"}) {
    EXPECT_FALSE(qm::startup::LoadIconPicture(library, Latin1(name)).has_value()) << name;
  }
  EXPECT_EQ(qm::startup::LoadIconPicture(library, QStringLiteral("Good")), good);
}

// Our reader checks the image against the bytes of its resource; the
// Windows loader reads the mask's missing byte from whatever follows.
TEST(LoadIconPicturePosix, AnImageCutShortIsRefusedByTheReader) {
  QTemporaryDir dir;
  const qm::platform::IconModule library =
      LibraryWithBrokenIcons(dir, qm::host::DrawModernIcon(20));
  EXPECT_FALSE(qm::startup::LoadIconPicture(library, QStringLiteral("Truncated")).has_value());
}

}  // namespace
