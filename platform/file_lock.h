// A lock on a file that the operating system lets go when its holder ends,
// however it ends: a kill, a crash or a power cut leaves no stale lock.
//
// It is how one program tells whether another is still there: the owner of
// a run holds one while the run goes on, a program that has the journal
// open holds one until it closes it. Locks are advisory (only those who ask
// for one are kept out) and exclusive; two taken in one process on the same
// file exclude each other as they do between processes. None of these
// functions throws: a failure is told by the result and its text.
#pragma once

#include <QString>

#include <memory>

namespace qm::platform {

// A lock held; dropping it lets the lock go and leaves the file.
class FileLock {
 public:
  virtual ~FileLock() = default;
  // Deletes the file and lets the lock go, so that the file's absence also
  // tells that nobody holds it any longer.
  virtual void RemoveAndRelease() = 0;
};

struct LockAttempt {
  // Set when the lock was taken.
  std::unique_ptr<FileLock> lock;
  // True when someone else holds it.
  bool heldElsewhere = false;
  // Why the lock could not be tried at all; empty otherwise (also when the
  // file does not exist and `create` was false).
  QString error;
};

// Tries to take the lock of `path` without waiting; with `create`, a
// missing file is created owner-only first. A file that is missing (and
// not created) is held by nobody.
LockAttempt TryLockFile(const QString& path, bool create);

// Takes the lock of `path` (created owner-only when missing), waiting up to
// `timeoutMs` for whoever holds it.
LockAttempt LockFile(const QString& path, int timeoutMs);

}  // namespace qm::platform
