// Process environment services the program needs from the operating system.
#pragma once

#include <QByteArray>
#include <QString>

namespace qm::platform {

// Replaces every %NAME% reference whose NAME is set in the process
// environment by its value, as the registry's expandable strings require.
// As on Windows, text is read from left to right: a pair of "%" around a
// name that is not set (or around nothing) stays as it is and the search
// goes on after it; a lone "%" stays as well.
QString ExpandEnvironmentStrings(const QString& text);

// The running program's file name without folder and extension
// ("QMReplace" for ".../QMReplace" or "...\QMReplace.exe").
QString ProgramBaseName();

// Texts cross the platform boundary in the system's ANSI code page; on Linux
// that code page is UTF-8.
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

}  // namespace qm::platform
