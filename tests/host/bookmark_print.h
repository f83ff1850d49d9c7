// Lets failing comparisons of bookmark trees show the trees, as the file that
// would be written for them.
#pragma once

#include <ostream>

#include "host/admin/bookmarks.h"

namespace qm::host {

inline void PrintTo(const BookmarkTree& tree, std::ostream* os) {
  *os << "\n" << WriteBookmarks(tree).toStdString();
}

}  // namespace qm::host
