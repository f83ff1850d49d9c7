// Process environment services the program needs from the operating system.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

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
// that code page is UTF-8. These two convert as the system's ANSI calls do:
// a character the code page lacks becomes its default character ("?").
QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

// The same, exactly or not at all: nothing when the code page cannot hold a
// character of the text (no "?" and no look-alike letter stands in for it),
// or when the bytes are no text in the code page. Whatever stores or names
// something with a text converts it this way, so that what is stored is what
// was asked for.
std::optional<QByteArray> ToAnsiExactly(const QString& text);
std::optional<QString> FromAnsiExactly(const QByteArray& bytes);

}  // namespace qm::platform
