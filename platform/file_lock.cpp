#include "platform/file_lock.h"

#include <QElapsedTimer>
#include <QThread>

namespace qm::platform {

// Both systems answer a lock held elsewhere at once; waiting is asking again.
LockAttempt LockFile(const QString& path, int timeoutMs) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    LockAttempt attempt = TryLockFile(path, true);
    if (!attempt.heldElsewhere || waited.elapsed() >= timeoutMs) {
      return attempt;
    }
    QThread::msleep(20);
  }
}

}  // namespace qm::platform
