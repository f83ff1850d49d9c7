// The host's message window on Windows: a real top-level window with the
// host's caption and a text-box child, and every text put into the box
// (WM_SETTEXT) handed to a receiver.
//
// Only the Windows build has it; on Linux the stand-in host listens on a
// local socket instead (host/lib/message_endpoint.cpp). The window lives on the
// thread that made it and receives while that thread's event loop runs.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

#include "platform/host_window.h"

namespace qm::platform {

class MessageWindow {
 public:
  using Receiver = std::function<void(const QByteArray& ansiText)>;

  // Creates the hidden top-level window of formClass captioned caption and,
  // unless textBoxClass is empty, its text box of that class. Throws
  // qm::Error with the system's message when a class cannot be registered
  // or a window cannot be created.
  MessageWindow(const QString& caption, Receiver receiver,
                const QString& formClass = QString::fromLatin1(kHostFormClass),
                const QString& textBoxClass = QString::fromLatin1(kHostTextBoxClass));
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  WindowHandle form() const noexcept;
  WindowHandle textBox() const noexcept;  // 0 without a text box

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qm::platform
