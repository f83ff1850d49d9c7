// The names of the host's folder icons in its resource library
// ("QMRes.dll"), in the order of the tool's folder icon list: 1 to 4 the
// collections (local, local default, network, network default), 5 the folder
// of new documents, 6 the plain folder, 7 to 28 the folder symbols 1 to 22.
//
// The host's installer writes the library under these names and the host's
// own folder chooser reads its icons back by them.
#pragma once

#include <QString>

namespace qm::host {

inline constexpr int kModernIconCount = 28;

// The icon's resource name for positions 1 to 28; an empty text for any
// other position.
QString ModernIconName(int position);

}  // namespace qm::host
