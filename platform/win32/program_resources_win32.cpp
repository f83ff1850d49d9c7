#include "platform/program_resources.h"

#include <QGuiApplication>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QWindow>

#include <optional>

#include "platform/environment.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

// The named icon of the program file, at its natural size unless a size is
// given (then the image of the group closest to it); null when there is none.
win32::IconHandle LoadOwnIcon(const QString& name, QSize size = QSize(0, 0)) {
  const std::optional<QByteArray> resource = ToAnsiExactly(name);
  if (name.isEmpty() || !resource) {
    return win32::IconHandle();
  }
  return win32::IconHandle(
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), resource->constData(), IMAGE_ICON,
                                    size.width(), size.height(), 0)));
}

QSize IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) {
    return {};
  }
  BITMAP bitmap{};
  QSize size;
  if (info.hbmColor != nullptr && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) != 0) {
    size = QSize(bitmap.bmWidth, bitmap.bmHeight);
  } else if (GetObjectA(info.hbmMask, sizeof bitmap, &bitmap) != 0) {
    size = QSize(bitmap.bmWidth, bitmap.bmHeight / 2);  // the mask holds both halves
  }
  if (info.hbmColor != nullptr) {
    DeleteObject(info.hbmColor);
  }
  DeleteObject(info.hbmMask);
  return size;
}

// Keeps an icon handed to a window with WM_SETICON until the window's system
// window is gone: a child of the QWindow goes after the QWindow has
// destroyed its system window.
class WindowIconKeeper : public QObject {
 public:
  WindowIconKeeper(QWindow* window, win32::IconHandle icon)
      : QObject(window), icon_(std::move(icon)) {}

 private:
  win32::IconHandle icon_;
};

}  // namespace

QByteArray ProgramBitmap(const QString& name) {
  const std::optional<QByteArray> resource = ToAnsiExactly(name);
  if (name.isEmpty() || !resource) {
    return {};
  }
  const HMODULE self = GetModuleHandleA(nullptr);
  const HRSRC found =
      FindResourceA(self, resource->constData(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  if (found == nullptr) {
    return {};
  }
  const HGLOBAL loaded = LoadResource(self, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    return {};
  }
  return QByteArray(static_cast<const char*>(bytes),
                    static_cast<qsizetype>(SizeofResource(self, found)));
}

QImage DrawProgramIcon(const QString& name, const QColor& background) {
  const win32::IconHandle icon = LoadOwnIcon(name);
  const QSize size = icon ? IconSize(icon.get()) : QSize();
  if (size.isEmpty()) {
    return {};
  }
  // A top-down 32-bit DIB section whose bits are the picture's.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size.width();
  info.bmiHeader.biHeight = -size.height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  QImage drawn;
  if (dc != nullptr && section != nullptr) {
    HGDIOBJ previous = SelectObject(dc, section);
    HBRUSH brush = CreateSolidBrush(RGB(background.red(), background.green(), background.blue()));
    const RECT all{0, 0, size.width(), size.height()};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    if (DrawIconEx(dc, 0, 0, icon.get(), 0, 0, 0, nullptr, DI_NORMAL)) {
      GdiFlush();
      drawn =
          QImage(static_cast<const uchar*>(bits), size.width(), size.height(), QImage::Format_RGB32)
              .copy();
    }
    SelectObject(dc, previous);
  }
  if (section != nullptr) {
    DeleteObject(section);
  }
  if (dc != nullptr) {
    DeleteDC(dc);
  }
  return drawn;
}

bool SetWindowIcons(QWindow& window, const QString& name) {
  win32::IconHandle big = LoadOwnIcon(name);
  if (!big) {
    return false;
  }
  if (QGuiApplication::platformName() != QLatin1String("windows")) {
    // No system window to send it to (the tests' offscreen windows).
    window.setIcon(QIcon(QPixmap::fromImage(QImage::fromHICON(big.get()))));
    return true;
  }
  const auto hwnd = reinterpret_cast<HWND>(window.winId());
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  new WindowIconKeeper(&window, std::move(big));
  // Without a small icon of its own the title bar may show the window
  // class's generic one: Wine hands that to the window manager.
  win32::IconHandle small =
      LoadOwnIcon(name, QSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
  if (small) {
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    new WindowIconKeeper(&window, std::move(small));
  }
  return true;
}

}  // namespace qm::platform
