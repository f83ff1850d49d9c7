#include "host/chooser/chooser_icons.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QStyle>

#include "platform/error.h"
#include "platform/icon_module.h"

namespace qm::host {
namespace {

constexpr int kIconSide = 16;
constexpr int kLocalCollection = 1;
constexpr int kNetworkCollection = 3;
constexpr int kPlainFolder = 6;
constexpr int kFirstSymbol = 7;
constexpr std::int32_t kSymbolCount = 22;

}  // namespace

ChooserIcons ChooserIcons::FromInstallFolder(const QString& installFolder) {
  ChooserIcons icons;
  // Without an install folder the name alone would send the loader
  // searching through other folders for somebody else's library.
  if (installFolder.isEmpty()) {
    return icons;
  }
  platform::IconModule library;
  try {
    library = platform::IconModule::Load(QDir(installFolder).filePath(QStringLiteral("QMRes.dll")));
  } catch (const Error&) {
    return icons;
  }
  for (int position = 1; position <= kModernIconCount; ++position) {
    if (const auto image = library.Icon(ModernIconName(position), kIconSide)) {
      icons.library_[static_cast<std::size_t>(position - 1)] = QIcon(QPixmap::fromImage(*image));
    }
  }
  library.Free();
  return icons;
}

QIcon ChooserIcons::Collection(std::int32_t kind) const {
  const bool local = kind == 1;
  const QIcon& own =
      library_[static_cast<std::size_t>((local ? kLocalCollection : kNetworkCollection) - 1)];
  if (!own.isNull()) {
    return own;
  }
  return QApplication::style()->standardIcon(local ? QStyle::SP_DriveHDIcon
                                                   : QStyle::SP_DriveNetIcon);
}

QIcon ChooserIcons::Folder(std::int32_t iconIndex) const {
  const int position =
      iconIndex >= 1 && iconIndex <= kSymbolCount ? kFirstSymbol + iconIndex - 1 : kPlainFolder;
  const QIcon& own = library_[static_cast<std::size_t>(position - 1)];
  if (!own.isNull()) {
    return own;
  }
  return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
}

}  // namespace qm::host
