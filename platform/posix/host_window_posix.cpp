#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMutex>
#include <QMutexLocker>

#include <algorithm>
#include <vector>

#include <unistd.h>

#include "platform/host_window.h"
#include "platform/posix/owner_only_posix.h"

namespace qm::platform {
namespace {

// Window handles are positions in a table of the windows found so far, so a
// handle stays a plain number as on Windows.
struct FoundWindow {
  QString socketPath;
  bool textBox = false;
};

class PosixWindowSystem final : public WindowSystem {
 public:
  WindowHandle FindWindowEx(WindowHandle parent, WindowHandle childAfter, const QString& className,
                            const QString& windowName) override {
    QMutexLocker lock(&mutex_);
    if (parent == 0) {
      if (childAfter != 0 || windowName.isEmpty()) {
        return 0;
      }
      if (!className.isEmpty() && className != QLatin1String(kHostFormClass)) {
        return 0;
      }
      const QString path = HostWindowSocketName(windowName);
      if (path.isEmpty() || !QFileInfo::exists(path)) {
        return 0;
      }
      return Remember({path, false});
    }
    // The only child of a host window is its text box.
    const FoundWindow* form = Lookup(parent);
    if (form == nullptr || form->textBox || childAfter != 0 || !windowName.isEmpty()) {
      return 0;
    }
    if (!className.isEmpty() && className != QLatin1String(kHostTextBoxClass)) {
      return 0;
    }
    return Remember({form->socketPath, true});
  }

  bool SendSetTextTimeout(WindowHandle window, const QByteArray& text, int timeoutMs) override {
    QString path;
    {
      QMutexLocker lock(&mutex_);
      const FoundWindow* box = Lookup(window);
      if (box == nullptr || !box->textBox) {
        return false;
      }
      path = box->socketPath;
    }
    QElapsedTimer clock;
    clock.start();
    const auto remaining = [&] {
      return static_cast<int>(std::max<qint64>(0, timeoutMs - clock.elapsed()));
    };
    QLocalSocket socket;
    socket.connectToServer(path, QIODevice::WriteOnly);
    if (!socket.waitForConnected(remaining())) {
      return false;
    }
    QByteArray message = text;
    message.append('\0');
    socket.write(message);
    while (socket.bytesToWrite() > 0 && remaining() > 0) {
      if (!socket.waitForBytesWritten(remaining())) {
        break;
      }
    }
    const bool delivered = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
      socket.waitForDisconnected(remaining());
    }
    return delivered;
  }

 private:
  WindowHandle Remember(FoundWindow window) {
    for (std::size_t i = 0; i < found_.size(); ++i) {
      if (found_[i].socketPath == window.socketPath && found_[i].textBox == window.textBox) {
        return i + 1;
      }
    }
    found_.push_back(std::move(window));
    return found_.size();
  }

  const FoundWindow* Lookup(WindowHandle handle) const {
    return handle >= 1 && handle <= found_.size() ? &found_[handle - 1] : nullptr;
  }

  QMutex mutex_;
  std::vector<FoundWindow> found_;
};

// The user's runtime folder when the session has a sound one, else a folder
// of the user's own in the temporary folder. A fixed name right in the shared
// temporary folder would let another user create the socket first and take
// the tool's messages, or pose as the host.
QString MessageWindowFolder(QString* problem) {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) &&
      posix::CheckPrivateFolder(runtime).isEmpty()) {
    return runtime;
  }
  const QString fallback =
      QDir::tempPath() + QStringLiteral("/qmreplace-%1").arg(static_cast<qulonglong>(::geteuid()));
  *problem = posix::ClaimPrivateFolder(fallback);
  return problem->isEmpty() ? fallback : QString();
}

}  // namespace

WindowSystem& SystemWindows() {
  static PosixWindowSystem windows;
  return windows;
}

QString HostWindowSocketName(const QString& windowCaption, QString* problem) {
  QString name = windowCaption;
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  QString why;
  const QString folder = MessageWindowFolder(&why);
  if (problem != nullptr) *problem = why;
  return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

}  // namespace qm::platform
