#include "window/host_messaging.h"

#include "platform/environment.h"

namespace qm {
namespace {

constexpr int kSendTimeoutMs = 100;

}  // namespace

platform::WindowHandle GetTextBoxHandle(const QString& sWindowTitle,
                                        platform::WindowSystem& windows) {
  // The host's window comes in two generations of its toolkit; the newer
  // pair is tried first, and once its window is found the older pair is not.
  platform::WindowHandle form =
      windows.FindWindowEx(0, 0, QStringLiteral("ThunderRT6FormDC"), sWindowTitle);
  if (form != 0) {
    return windows.FindWindowEx(form, 0, QStringLiteral("ThunderRT6TextBox"), QString());
  }
  form = windows.FindWindowEx(0, 0, QStringLiteral("ThunderFormDC"), sWindowTitle);
  if (form == 0) {
    return 0;
  }
  return windows.FindWindowEx(form, 0, QStringLiteral("ThunderTextBox"), QString());
}

void RequestHostRefresh(platform::WindowSystem& windows) {
  const platform::WindowHandle box =
      GetTextBoxHandle(QStringLiteral("QMShellCommunicator2006"), windows);
  if (box == 0) {
    return;
  }
  windows.SendSetTextTimeout(box, platform::ToAnsi(QStringLiteral("RefreshFolderTreeview")),
                             kSendTimeoutMs);
}

}  // namespace qm
