// Reads a collection's documents one at a time, for listings and exports of
// collections of any size (the administration's ListDocuments holds them all
// in memory at once).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "host/admin/host_admin.h"

namespace qm::qmhost {

// Calls visit for every document in EntryID order; with a folder, only for
// those directly in it. Throws qm::Error for an unknown collection or a
// damaged file.
void ForEachDocument(std::int32_t collectionId, std::optional<std::int32_t> folderId,
                     const std::function<void(const hostadmin::DocumentInfo&)>& visit);

}  // namespace qm::qmhost
