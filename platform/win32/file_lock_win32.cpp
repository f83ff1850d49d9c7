// A byte-range lock on the file's first byte: Windows keeps it per handle,
// so two locks in one process exclude each other, and lets it go when the
// process ends however it ends.
#include "platform/file_lock.h"

#include <QDir>

#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

std::wstring Wide(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

class Win32FileLock final : public FileLock {
 public:
  Win32FileLock(HANDLE file, QString path) : file_(file), path_(std::move(path)) {}
  ~Win32FileLock() override { Close(); }
  Win32FileLock(const Win32FileLock&) = delete;
  Win32FileLock& operator=(const Win32FileLock&) = delete;

  void RemoveAndRelease() override {
    // Deleted while still held (the handle shares delete): the name is gone
    // for everyone once the handle closes.
    if (file_ != INVALID_HANDLE_VALUE) {
      ::DeleteFileW(Wide(path_).c_str());
    }
    Close();
  }

 private:
  void Close() {
    if (file_ != INVALID_HANDLE_VALUE) {
      ::CloseHandle(file_);
      file_ = INVALID_HANDLE_VALUE;
    }
  }

  HANDLE file_;
  QString path_;
};

LockAttempt Attempt(const QString& path, bool create) {
  LockAttempt attempt;
  HANDLE file = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    // A file being deleted by its holder refuses to open: it is let go.
    if (create || (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
                   code != ERROR_ACCESS_DENIED)) {
      attempt.error = QStringLiteral("Opening the lock file %1 failed: %2")
                          .arg(QDir::toNativeSeparators(path), win32::SystemMessage(code));
    }
    return attempt;
  }
  OVERLAPPED at{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) {
      attempt.heldElsewhere = true;
    } else {
      attempt.error = QStringLiteral("Locking %1 failed: %2")
                          .arg(QDir::toNativeSeparators(path), win32::SystemMessage(code));
    }
    ::CloseHandle(file);
    return attempt;
  }
  attempt.lock = std::make_unique<Win32FileLock>(file, path);
  return attempt;
}

}  // namespace

LockAttempt TryLockFile(const QString& path, bool create) { return Attempt(path, create); }

}  // namespace qm::platform
