// The host's message window: finding a window by class and caption, and
// putting a text into it with a bounded wait.
//
// On Windows these are FindWindowExA and SendMessageTimeoutA with
// WM_SETTEXT. On Linux the host's message window is a local socket server
// named as the window's caption; such a window has the class
// "ThunderRT6FormDC" and one child text box of class "ThunderRT6TextBox",
// and a text put into the box travels over the socket as one zero-terminated
// message.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace qm::platform {

using WindowHandle = std::uintptr_t;  // 0 stands for none

// The protocol's window classes.
inline constexpr char kHostFormClass[] = "ThunderRT6FormDC";
inline constexpr char kHostTextBoxClass[] = "ThunderRT6TextBox";

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Parent 0 looks among top-level windows. An empty class or window name
  // matches any. Gives 0 when there is none.
  virtual WindowHandle FindWindowEx(WindowHandle parent, WindowHandle childAfter,
                                    const QString& className, const QString& windowName) = 0;
  // Sends text (without its terminator; the call adds it) and waits at most
  // timeoutMs for the window to take it. False when it could not be
  // delivered in time.
  virtual bool SendSetTextTimeout(WindowHandle window, const QByteArray& text, int timeoutMs) = 0;
};

WindowSystem& SystemWindows();

// Linux: the full path of the local socket a window caption listens on. It
// lies in the user's runtime folder ($XDG_RUNTIME_DIR, when it is a folder of
// the user's that no one else may enter), else in the folder qmreplace-UID of
// the temporary folder, which is created with mode 0700 when missing and
// refused when it belongs to someone else, is no real folder, or is open to
// others. Empty, with *problem saying why, when that folder is refused.
QString HostWindowSocketName(const QString& windowCaption, QString* problem = nullptr);

}  // namespace qm::platform
