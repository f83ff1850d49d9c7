// The program's own window icons and logos.
//
// The modern appearance gives the window the icon "App_XP" (16 and 32
// pixels) and draws "App_32_XP" into picLogo; the classic appearance keeps
// the design-time window icon and the built-in logo of imgCSLogo. All four
// are compiled into the program; a missing or unreadable one gives a null
// icon or image rather than an error, as the window opens either way.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>

namespace qm::startup {

// The images of one of the program's icon resources ("App_XP",
// "App_32_XP", "frmMain", "imgCSLogo"), in stored order; empty for an
// unknown name or an unreadable resource.
QList<QImage> ProgramIconImages(const QString& resourceName);

// "App_XP" with both sizes: the window's big icon in the modern appearance.
QIcon ApplicationIcon();

// "App_32_XP" at its natural size (32 by 32): the logo drawn into picLogo.
QImage ApplicationLogo();

// The window's design-time icon, kept in the classic appearance.
QIcon DesignTimeWindowIcon();

// The built-in logo shown by imgCSLogo (32 by 32).
QImage ClassicLogo();

}  // namespace qm::startup
