#include "platform/posix/owner_only_posix.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform::posix {

namespace {

constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;

QString SystemMessage(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// mkdir with the exact mode: the umask may only ever take bits away, and a
// strange one (0700) would leave the owner locked out.
bool MakeFolder(const QByteArray& name) {
  if (::mkdir(name.constData(), S_IRWXU) != 0) return errno == EEXIST;
  return ::chmod(name.constData(), S_IRWXU) == 0;
}

}  // namespace

QString NarrowToOwner(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::stat(name.constData(), &info) != 0) {
    return errno == ENOENT
               ? QString()
               : QStringLiteral("%1 cannot be examined: %2").arg(path, SystemMessage(errno));
  }
  if ((info.st_mode & kOthersBits) == 0) return {};
  if (info.st_uid != ::geteuid()) {
    return QStringLiteral("%1 belongs to another user (uid %2) and is open to others")
        .arg(path)
        .arg(info.st_uid);
  }
  if (::chmod(name.constData(), info.st_mode & 07700) != 0) {
    return QStringLiteral("%1 cannot be made private: %2").arg(path, SystemMessage(errno));
  }
  return {};
}

bool MakeOwnerOnlyFolderPath(const QString& path) {
  const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
  // Missing parents are made too, with the same mode, as the XDG folders
  // are meant to be; existing parents are left as they are.
  const QStringList parts = absolute.split(u'/', Qt::SkipEmptyParts);
  QString sofar;
  for (const QString& part : parts) {
    sofar += u'/' + part;
    const QByteArray name = QFile::encodeName(sofar);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) return false;
      continue;
    }
    if (!MakeFolder(name)) return false;
  }
  return true;
}

bool MakeOwnerOnlyFile(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd =
      ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd >= 0) {
    const bool exact = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ::close(fd);
    return exact;
  }
  if (errno != EEXIST) return false;
  NarrowToOwner(path);
  return true;
}

QString CheckPrivateFolder(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  struct stat info {};
  if (::lstat(name.constData(), &info) != 0) {
    return QStringLiteral("the folder %1 cannot be used: %2").arg(path, SystemMessage(errno));
  }
  if (S_ISLNK(info.st_mode)) {
    return QStringLiteral("%1 is a symbolic link, not a folder of the user's own").arg(path);
  }
  if (!S_ISDIR(info.st_mode)) {
    return QStringLiteral("%1 is not a folder").arg(path);
  }
  if (info.st_uid != ::geteuid()) {
    return QStringLiteral("the folder %1 belongs to another user (uid %2)")
        .arg(path)
        .arg(info.st_uid);
  }
  if ((info.st_mode & kOthersBits) != 0) {
    return QStringLiteral("the folder %1 is open to other users (mode %2); it must be 0700")
        .arg(path)
        .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
  }
  return {};
}

QString ClaimPrivateFolder(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  if (::mkdir(name.constData(), S_IRWXU) == 0) {
    // Ours from the start; the exact mode in case the umask took more.
    ::chmod(name.constData(), S_IRWXU);
  } else if (errno != EEXIST) {
    return QStringLiteral("the folder %1 cannot be made: %2").arg(path, SystemMessage(errno));
  }
  return CheckPrivateFolder(path);
}

}  // namespace qm::platform::posix
