// Bookmark trees in and out of a host collection.
//
// Import: folders become folders below the collection's root (with their
// symbol when the file names one); bookmarks become documents with title,
// address and description as comment. Bookmarks at the top of the file go to
// the folder of new documents (400), since the host shows nothing stored in
// the root itself. Texts the file leaves empty are stored without a value.
// The whole import is one transaction: it is stored completely or not at all.
//
// Export: the collection's name is the file's heading; folders keep their
// order and symbol; in each folder its subfolders come first, then its
// documents in EntryID order. The documents of the root and of the folder of
// new documents are written at the top, and the host's own folders (IDs up to
// 1000) only when they hold something. So exporting, importing into an empty
// collection and exporting again writes the same file.
#pragma once

#include <cstdint>

#include "host/admin/bookmarks.h"

namespace qm::qmhost {

struct ImportCounts {
  std::int64_t folders = 0;
  std::int64_t documents = 0;
  std::int64_t folderDescriptions = 0;  // not kept: host folders have no comment
};

ImportCounts ImportBookmarkTree(std::int32_t collectionId, const host::BookmarkTree& tree);
host::BookmarkTree ExportBookmarkTree(std::int32_t collectionId);

}  // namespace qm::qmhost
