// What a run will do, for the details of its confirmation question: for the
// first kPreviewDocuments documents of the run, in the run's order, the
// title and the chosen field before and after, computed by the same rewrite
// the run uses. Reading only: no document is written or saved. With more
// documents a last line says how many are not listed.
#pragma once

#include <QString>

#include <cstdint>

#include "engine/run_state.h"
#include "engine/window_port.h"
#include "window/host_library.h"

namespace qm {

inline constexpr int kPreviewDocuments = 200;

// `recordset` is a snapshot of the run's own query, in the run's order, of
// `count` rows; it is read up to the last listed row.
QString RunPreview(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                   std::int64_t count, const RunState& state);

}  // namespace qm

#include <optional>

#include "engine/query_text.h"

namespace qm {

// The same, over a snapshot of its own of the run's query (scope, field and
// search text of `state`), closed before it returns.
QString RunPreview(WindowPort& port, HostCollection& collection,
                   const std::optional<QueryScope>& scope, std::int64_t count,
                   const RunState& state);

}  // namespace qm
