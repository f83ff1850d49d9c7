// The program's own bitmap and icon resources, taken as the start-up takes
// them.
//
// On Windows they travel in the program file (startup/resources/
// qmreplace.rc) and come from there: FindResourceA for a bitmap, LoadImageA
// at the icon's natural size (width and height 0) for an icon, WM_SETICON to
// give a window its icons, DrawIconEx to draw one. A program file on Linux
// carries no resources; there startup/ compiles the same files into the
// program (as Qt resources below ":/qm/"), and these calls answer from them
// alike.
//
// A name the program has no resource of gives an empty answer, never an
// error: the window opens either way.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

class QWindow;

namespace qm::platform {

// The named BITMAP resource as the resource keeps it: a packed DIB (its
// header and pixels, no file header). Empty when there is none.
QByteArray ProgramBitmap(const QString& name);

// The named icon resource at its natural size, drawn at (0, 0) over the
// background as DrawIconEx draws it (DI_NORMAL). Null when there is none.
QImage DrawProgramIcon(const QString& name, const QColor& background);

// Makes the named icon resource the window's icons: at its natural size its
// big one (WM_SETICON with ICON_BIG), at the system's small icon size its
// small one (ICON_SMALL), each living until the window's system window is
// destroyed. A window that has no system window of Windows (Qt's offscreen
// platform, and every window on Linux) gets the icon as its Qt icon
// instead. False when there is no such icon.
bool SetWindowIcons(QWindow& window, const QString& name);

}  // namespace qm::platform
