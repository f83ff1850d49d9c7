// The character tables HTML needs: named character references, and the
// typographic block of Windows-1252 read from the decoders' table of it.
#pragma once

#include <QString>

namespace qm::host::html {

// The character a named reference ("auml", "euro"...) stands for, or 0 for a
// name HTML does not know (case matters: "Auml" is not "auml").
char16_t NamedReference(const QString& name);

// Bytes 0x80 to 0x9F of Windows-1252; the five holes of the code page keep
// their C1 value, as browsers do.
char16_t Windows1252High(unsigned char byte);

}  // namespace qm::host::html
