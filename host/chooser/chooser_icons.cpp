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
  for (int position = 1; position <= folder_icons::kCount; ++position) {
    if (const auto image = library.Icon(folder_icons::ModernIconName(position), kIconSide)) {
      icons.library_[static_cast<std::size_t>(position - 1)] = QIcon(QPixmap::fromImage(*image));
    }
  }
  library.Free();
  return icons;
}

QIcon ChooserIcons::Collection(std::int32_t kind) const {
  const QIcon& own =
      library_[static_cast<std::size_t>(folder_icons::CollectionPosition(kind, false) - 1)];
  if (!own.isNull()) {
    return own;
  }
  return QApplication::style()->standardIcon(
      kind == folder_icons::kLocalKind ? QStyle::SP_DriveHDIcon : QStyle::SP_DriveNetIcon);
}

QIcon ChooserIcons::Folder(std::int32_t iconIndex) const {
  const QIcon& own =
      library_[static_cast<std::size_t>(folder_icons::SymbolPosition(iconIndex) - 1)];
  if (!own.isNull()) {
    return own;
  }
  return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
}

}  // namespace qm::host
