#include "platform/environment.h"
#include "platform/host_window.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

HWND ToHwnd(WindowHandle handle) noexcept { return reinterpret_cast<HWND>(handle); }

class Win32WindowSystem final : public WindowSystem {
 public:
  WindowHandle FindWindowEx(WindowHandle parent, WindowHandle childAfter, const QString& className,
                            const QString& windowName) override {
    const QByteArray cls = ToAnsi(className);
    const QByteArray name = ToAnsi(windowName);
    const HWND found = FindWindowExA(ToHwnd(parent), ToHwnd(childAfter),
                                     className.isEmpty() ? nullptr : cls.constData(),
                                     windowName.isEmpty() ? nullptr : name.constData());
    return reinterpret_cast<WindowHandle>(found);
  }

  bool SendSetTextTimeout(WindowHandle window, const QByteArray& text, int timeoutMs) override {
    // The text's own buffer carries the terminator the message needs.
    const QByteArray terminated(text.constData(), text.size());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(ToHwnd(window), WM_SETTEXT, 0,
                               reinterpret_cast<LPARAM>(terminated.constData()), SMTO_NORMAL,
                               static_cast<UINT>(timeoutMs), &result) != 0;
  }
};

}  // namespace

WindowSystem& SystemWindows() {
  static Win32WindowSystem windows;
  return windows;
}

QString HostWindowSocketName(const QString& windowCaption) {
  // No socket on Windows: the window is found by its class and caption.
  return QStringLiteral("%1 window \"%2\"").arg(QLatin1String(kHostFormClass), windowCaption);
}

}  // namespace qm::platform
