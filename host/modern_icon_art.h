// The stand-in host's own modern folder icons, drawn in code: 16 by 16
// pixels, 32 bits with alpha, in the order the tool's folder icon list uses
// (1 to 4 collections, 5 the folder of new documents, 6 the plain folder,
// 7 to 28 the folder symbols 1 to 22).
#pragma once

#include <QImage>
#include <QString>

namespace qm::host {

inline constexpr int kModernIconCount = 28;

// The icon's resource name in the host's library, for positions 1 to 28;
// an empty text for any other position.
QString ModernIconName(int position);

// The icon at that position (ARGB32, transparent background); a null image
// for any other position. Drawing needs no GUI application object.
QImage DrawModernIcon(int position);

}  // namespace qm::host
