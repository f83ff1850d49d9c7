// flock() rather than fcntl() locks: an flock belongs to the open file, so
// two locks in one process exclude each other, and closing some other
// descriptor of the same file does not drop it.
#include "platform/file_lock.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::platform {
namespace {

class PosixFileLock final : public FileLock {
 public:
  PosixFileLock(int fd, QByteArray name) : fd_(fd), name_(std::move(name)) {}
  ~PosixFileLock() override { Close(); }
  PosixFileLock(const PosixFileLock&) = delete;
  PosixFileLock& operator=(const PosixFileLock&) = delete;

  void RemoveAndRelease() override {
    // Unlinked while still held: whoever opens the name afterwards finds
    // nothing, whoever opened it before gets the lock once it is let go.
    if (fd_ >= 0) {
      ::unlink(name_.constData());
    }
    Close();
  }

 private:
  void Close() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }

  int fd_;
  QByteArray name_;
};

QString Why(const char* doing, const QString& path) {
  return QStringLiteral("%1 %2 failed: %3")
      .arg(QString::fromLatin1(doing), path, QString::fromLocal8Bit(std::strerror(errno)));
}

// Whether the descriptor still is the file its name leads to: a holder that
// removed the file while we waited for its lock left us a lock nobody else
// will ever ask for.
bool StillNamed(const QByteArray& name, int fd) {
  struct stat held {};
  struct stat named {};
  return ::fstat(fd, &held) == 0 && ::stat(name.constData(), &named) == 0 &&
         held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

LockAttempt Attempt(const QString& path, bool create) {
  LockAttempt attempt;
  const QByteArray name = QFile::encodeName(path);
  for (;;) {
    const int fd =
        ::open(name.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), S_IRUSR | S_IWUSR);
    if (fd < 0) {
      if (errno != ENOENT || create) {
        attempt.error = Why("Opening the lock file", path);
      }
      return attempt;
    }
    int rc = 0;
    do {
      rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      if (errno == EWOULDBLOCK) {
        attempt.heldElsewhere = true;
      } else {
        attempt.error = Why("Locking", path);
      }
      ::close(fd);
      return attempt;
    }
    if (!create || StillNamed(name, fd)) {
      attempt.lock = std::make_unique<PosixFileLock>(fd, name);
      return attempt;
    }
    ::close(fd);
  }
}

}  // namespace

LockAttempt TryLockFile(const QString& path, bool create) { return Attempt(path, create); }

}  // namespace qm::platform
