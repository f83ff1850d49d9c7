#include "platform/message_window.h"

#include "platform/environment.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

const QString kSource = QStringLiteral("MessageWindow");

LRESULT CALLBACK TextBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT && lParam != 0) {
    auto* receiver =
        reinterpret_cast<MessageWindow::Receiver*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (receiver != nullptr && *receiver) {
      (*receiver)(QByteArray(reinterpret_cast<const char*>(lParam)));
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Registers a window class once per process; a class that is already there
// (registered by an earlier window) is used as it is.
void RegisterClassOnce(const QByteArray& name, WNDPROC procedure) {
  WNDCLASSEXA cls{};
  cls.cbSize = sizeof(cls);
  cls.lpfnWndProc = procedure;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = name.constData();
  if (RegisterClassExA(&cls) == 0) {
    const DWORD code = GetLastError();
    if (code != ERROR_CLASS_ALREADY_EXISTS) {
      win32::ThrowWin32(code, kSource,
                        QStringLiteral("Cannot register the window class %1").arg(FromAnsi(name)));
    }
  }
}

}  // namespace

struct MessageWindow::Impl {
  Receiver receiver;
  HWND form = nullptr;
  HWND textBox = nullptr;

  ~Impl() {
    if (form != nullptr) {
      DestroyWindow(form);  // takes the text box with it
    }
  }
};

MessageWindow::MessageWindow(const QString& caption, Receiver receiver, const QString& formClass,
                             const QString& textBoxClass)
    : impl_(std::make_unique<Impl>()) {
  impl_->receiver = std::move(receiver);
  const QByteArray formName = ToAnsi(formClass);
  RegisterClassOnce(formName, DefWindowProcA);
  impl_->form = CreateWindowExA(0, formName.constData(), ToAnsi(caption).constData(),
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (impl_->form == nullptr) {
    win32::ThrowWin32(GetLastError(), kSource,
                      QStringLiteral("Cannot create the window \"%1\"").arg(caption));
  }
  if (textBoxClass.isEmpty()) {
    return;
  }
  const QByteArray boxName = ToAnsi(textBoxClass);
  RegisterClassOnce(boxName, TextBoxProc);
  impl_->textBox = CreateWindowExA(0, boxName.constData(), "", WS_CHILD, 0, 0, 100, 20, impl_->form,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
  if (impl_->textBox == nullptr) {
    win32::ThrowWin32(GetLastError(), kSource,
                      QStringLiteral("Cannot create the text box of \"%1\"").arg(caption));
  }
  SetWindowLongPtrA(impl_->textBox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&impl_->receiver));
}

MessageWindow::~MessageWindow() = default;

WindowHandle MessageWindow::form() const noexcept {
  return reinterpret_cast<WindowHandle>(impl_->form);
}

WindowHandle MessageWindow::textBox() const noexcept {
  return reinterpret_cast<WindowHandle>(impl_->textBox);
}

}  // namespace qm::platform
