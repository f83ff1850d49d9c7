// The program's own icons on a real window: the modern appearance's big
// icon is the program file's "App_XP", handed to the system window with
// WM_SETICON, and stays the window's until the window is gone.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QIcon>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include "startup/app_icons.h"

namespace qm {
namespace {

QSize IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) {
    return {};
  }
  BITMAP bitmap{};
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return QSize(bitmap.bmWidth, bitmap.bmHeight);
}

TEST(Win32ProgramIcons, TheApplicationIconIsTheSystemWindowsBigAndSmallIcon) {
  QWidget window;
  window.setWindowIcon(QIcon());
  const auto hwnd = reinterpret_cast<HWND>(window.winId());
  ASSERT_TRUE(IsWindow(hwnd));
  ASSERT_TRUE(startup::ShowApplicationIcon(*window.windowHandle()));
  window.show();

  const auto big = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(IconSize(big), QSize(32, 32));  // the natural size: the group's first image
  // The same picture the program file holds.
  const auto own =
      static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "App_XP", IMAGE_ICON, 0, 0, 0));
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(QImage::fromHICON(big), QImage::fromHICON(own));
  DestroyIcon(own);
  // The small one from the group's small image, not the window class's
  // generic icon (which Wine would hand to the title bar).
  const auto small = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(small, nullptr);
  const QSize smallSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  EXPECT_EQ(IconSize(small), smallSize);
  const auto ownSmall = static_cast<HICON>(LoadImageA(
      GetModuleHandleA(nullptr), "App_XP", IMAGE_ICON, smallSize.width(), smallSize.height(), 0));
  ASSERT_NE(ownSmall, nullptr);
  EXPECT_EQ(QImage::fromHICON(small), QImage::fromHICON(ownSmall));
  DestroyIcon(ownSmall);
  // Qt has no icon of its own to send over them.
  EXPECT_TRUE(window.windowHandle()->icon().isNull());
}

}  // namespace
}  // namespace qm
