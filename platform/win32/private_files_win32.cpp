// The user's profile folders (%LOCALAPPDATA% above all) admit only the user,
// the system and administrators, and what is made inside them inherits
// that; there is nothing to narrow.
#include "platform/private_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qm::platform {

QString MakePrivateFolder(const QString& path) {
  if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
    return QStringLiteral("the folder %1 cannot be created").arg(QDir::toNativeSeparators(path));
  }
  return {};
}

QString MakePrivateFile(const QString& path) {
  QFile file(path);
  if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
    return QStringLiteral("the file %1 cannot be created: %2")
        .arg(QDir::toNativeSeparators(path), file.errorString());
  }
  return {};
}

QString NarrowToOwner(const QString&) { return {}; }

}  // namespace qm::platform
