// Process environment services the program needs from the operating system.
#pragma once

#include <QByteArray>
#include <QString>

namespace qm::platform {

// Replaces every %NAME% reference whose NAME is set in the process
// environment by its value, as the registry's expandable strings require.
// References to unset names, a lone "%" and "%%" stay as they are.
QString ExpandEnvironmentStrings(const QString& text);

// The running program's file name without folder and extension
// ("QMReplace" for ".../QMReplace" or "...\QMReplace.exe").
QString ProgramBaseName();

// Texts cross the platform boundary in the system's ANSI code page; on Linux
// that code page is UTF-8.
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

}  // namespace qm::platform
