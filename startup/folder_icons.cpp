#include "startup/folder_icons.h"

#include "platform/error.h"
#include "platform/file_attributes.h"
#include "platform/icon_decoder.h"
#include "platform/program_resources.h"

namespace qm::startup {
namespace {

constexpr QRgb kSilver = 0xFFC0C0C0u;

// Icon resources are made for this size.
constexpr int kSmallIconSide = 16;

QImage WithTransparentColor(const QImage& source, QRgb color) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((line[x] | 0xFF000000u) == color) {
        line[x] = qRgba(0, 0, 0, 0);
      }
    }
  }
  return image;
}

}  // namespace

const std::array<FolderIconRow, kFolderIconCount>& FolderIconTable() {
  struct OwnRow {
    const char* classicName;
    const char* key;
  };
  static constexpr std::array<OwnRow, kFolderIconCount> kOwn = {{
      {"BMP_ARCHIV_16", ""},
      {"BMP_STANDARDARCHIV_16", ""},
      {"BMP_SERVER_ARCHIV_16", ""},
      {"BMP_SERVER_ARCHIV_STANDARD_16", ""},
      {"BMP_NEU_ERFASSTE_DOKUMENTE_16", ""},
      {"BMP_ORDNER_16", ""},
      {"BMP_ORDNERSYMBOL_ORDNER_BLAU_16", "BMP_ORDNERSYMBOL_ORDNER_BLAU"},
      {"BMP_ORDNERSYMBOL_ORDNER_GRUEN_16", "BMP_ORDNERSYMBOL_ORDNER_GRUEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_ROT_16", "BMP_ORDNERSYMBOL_ORDNER_ROT"},
      {"BMP_ORDNERSYMBOL_ORDNER_LILA_16", "BMP_ORDNERSYMBOL_ORDNER_LILA"},
      {"BMP_ORDNERSYMBOL_ORDNER_GRAU_16", "BMP_ORDNERSYMBOL_ORDNER_GRAU"},
      {"BMP_ORDNERSYMBOL_ORDNER_HAEKCHEN_16", "BMP_ORDNERSYMBOL_ORDNER_HAEKCHEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_AUSRUFEZEICHEN_16", "BMP_ORDNERSYMBOL_ORDNER_AUSRUFEZEICHEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ROT_16", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ROT"},
      {"BMP_ORDNERSYMBOL_ORDNER_FLAGGE_BLAU_16", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_BLAU"},
      {"BMP_ORDNERSYMBOL_ORDNER_FLAGGE_GRUEN_16", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_GRUEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ORANGE_16", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_ORANGE"},
      {"BMP_ORDNERSYMBOL_ORDNER_FLAGGE_LILA_16", "BMP_ORDNERSYMBOL_ORDNER_FLAGGE_LILA"},
      {"BMP_ORDNERSYMBOL_ORDNER_PFEIL_BLAU_16", "BMP_ORDNERSYMBOL_ORDNER_PFEIL_BLAU"},
      {"BMP_ORDNERSYMBOL_ORDNER_VERBOTEN_16", "BMP_ORDNERSYMBOL_ORDNER_VERBOTEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_FRAGEZEICHEN_16", "BMP_ORDNERSYMBOL_ORDNER_FRAGEZEICHEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_UHR_16", "BMP_ORDNERSYMBOL_ORDNER_UHR"},
      {"BMP_ORDNERSYMBOL_ORDNER_KAESTCHEN_16", "BMP_ORDNERSYMBOL_ORDNER_KAESTCHEN"},
      {"BMP_ORDNERSYMBOL_ORDNER_EMAIL_16", "BMP_ORDNERSYMBOL_ORDNER_EMAIL"},
      {"BMP_ORDNERSYMBOL_ORDNER_BILD_16", "BMP_ORDNERSYMBOL_ORDNER_BILD"},
      {"BMP_ORDNERSYMBOL_ORDNER_WORD_SYMBOL_16", "BMP_ORDNERSYMBOL_ORDNER_WORD_SYMBOL"},
      {"BMP_ORDNERSYMBOL_ORDNER_PDF_16", "BMP_ORDNERSYMBOL_ORDNER_PDF"},
      {"BMP_ORDNERSYMBOL_ORDNER_PERSON_16", "BMP_ORDNERSYMBOL_ORDNER_PERSON"},
  }};
  static const std::array<FolderIconRow, kFolderIconCount> table = [] {
    std::array<FolderIconRow, kFolderIconCount> rows{};
    for (std::size_t i = 0; i < rows.size(); ++i) {
      rows[i] = {folder_icons::kModernNames[i], kOwn[i].classicName, kOwn[i].key};
    }
    return rows;
  }();
  return table;
}

QString ResourceLibraryPath(const QString& installFolder) {
  return installFolder + QStringLiteral("QMRes.dll");
}

bool ResourceLibraryExists(const QString& installFolder) {
  return platform::IsNormalFile(ResourceLibraryPath(installFolder));
}

bool ChooseModernIconSet(WindowsVersion& version, const QString& installFolder) {
  const bool modernPlatform = version.GetWindowsVersion() > 5;
  const bool libraryPresent = ResourceLibraryExists(installFolder);
  return modernPlatform && libraryPresent;
}

std::optional<QImage> LoadIconPicture(const platform::IconModule& library, const QString& name) {
  return library.Icon(name, kSmallIconSide);
}

QByteArray ClassicBitmapResource(const QString& name) { return platform::ProgramBitmap(name); }

std::optional<QImage> LoadClassicBitmap(const QString& name) {
  const QByteArray bytes = ClassicBitmapResource(name);
  if (bytes.isEmpty()) {
    return std::nullopt;
  }
  try {
    return platform::DecodeBitmap(bytes);
  } catch (const Error&) {
    return std::nullopt;
  }
}

void AddClassicIcons(ImageList& imlFolders) {
  for (const FolderIconRow& row : FolderIconTable()) {
    const std::optional<QImage> bitmap = LoadClassicBitmap(QString::fromLatin1(row.classicName));
    imlFolders.Add(QString::fromLatin1(row.key),
                   bitmap ? WithTransparentColor(*bitmap, kSilver) : QImage());
  }
}

void AddModernIcons(ImageList& imlFolders, const platform::IconModule& library) {
  for (const FolderIconRow& row : FolderIconTable()) {
    imlFolders.Add(
        QString::fromLatin1(row.key),
        LoadIconPicture(library, QString::fromLatin1(row.modernName)).value_or(QImage()));
  }
}

IconSet FillFolderIcons(ImageList& imlFolders, IconSet set, const QString& installFolder) {
  if (set == IconSet::Modern) {
    platform::IconModule library;
    try {
      library = platform::IconModule::Load(ResourceLibraryPath(installFolder));
    } catch (const Error&) {
      // Not a library we can read; handled below.
    }
    if (library) {
      AddModernIcons(imlFolders, library);
      library.Free();
      return IconSet::Modern;
    }
  }
  AddClassicIcons(imlFolders);
  return IconSet::Classic;
}

}  // namespace qm::startup
