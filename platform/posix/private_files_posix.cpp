#include "platform/private_files.h"

#include <cerrno>
#include <cstring>

#include "platform/posix/owner_only_posix.h"

namespace qm::platform {

QString MakePrivateFolder(const QString& path) {
  if (!posix::MakeOwnerOnlyFolderPath(path)) {
    return QStringLiteral(
               "the folder %1 cannot be created (a part of its path is no folder, or "
               "may not be written)")
        .arg(path);
  }
  return posix::NarrowToOwner(path);
}

QString MakePrivateFile(const QString& path) {
  if (!posix::MakeOwnerOnlyFile(path)) {
    return QStringLiteral("the file %1 cannot be created: %2")
        .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
  }
  // Made already narrowed; this tells whether narrowing an existing one
  // worked.
  return posix::NarrowToOwner(path);
}

QString NarrowToOwner(const QString& path) { return posix::NarrowToOwner(path); }

}  // namespace qm::platform
