// The stand-in host's own modern folder icons, drawn in code: 16 by 16
// pixels, 32 bits with alpha, in the order the tool's folder icon list uses
// (1 to 4 collections, 5 the folder of new documents, 6 the plain folder,
// 7 to 28 the folder symbols 1 to 22).
#pragma once

#include <QImage>

#include "hostlib/folder_icons.h"

namespace qm::host {

// The icon at that position (ARGB32, transparent background); a null image
// for any other position. Drawing needs no GUI application object.
QImage DrawModernIcon(int position);

}  // namespace qm::host
