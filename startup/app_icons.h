// The program's own window icons and logos.
//
// The modern appearance gives the window the icon resource "App_XP" as its
// big icon and draws the icon resource "App_32_XP" into picLogo; both come
// from the program's resources (platform/program_resources.h). The classic
// appearance keeps the design-time window icon and the built-in logo of
// imgCSLogo, which belong to the window's design and are compiled into it
// on every system. A missing or unreadable one gives a null icon or image
// rather than an error, as the window opens either way.
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>

class QWindow;

namespace qm::startup {

// The images of a design-time icon ("frmMain", "imgCSLogo"), in stored
// order; empty for an unknown name or an unreadable file.
QList<QImage> DesignTimeIconImages(const QString& name);

// Gives the window "App_XP" as its icons: the modern appearance.
bool ShowApplicationIcon(QWindow& window);

// "App_32_XP" at its natural size (32 by 32), drawn over the white of the
// band it sits in: the logo of picLogo.
QImage ApplicationLogo();

// The window's design-time icon, kept in the classic appearance.
QIcon DesignTimeWindowIcon();

// The built-in logo shown by imgCSLogo (32 by 32).
QImage ClassicLogo();

}  // namespace qm::startup
