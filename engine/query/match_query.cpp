#include "engine/query/match_query.h"

#include <utility>

namespace qm {

Matches OpenMatches(HostCollection& collection, const std::optional<QueryScope>& scope,
                    SearchField field, const QString& searchText) {
  Matches matches;
  if (!scope) {
    return matches;
  }
  const QString query = BuildQueryText(*scope, field, searchText);
  matches.recordset = collection.Connection()->OpenRecordset(query);
  matches.count = matches.recordset->RecordCount();
  return matches;
}

RecordsetCloser::~RecordsetCloser() {
  if (!recordset_) {
    return;
  }
  try {
    recordset_->Close();
  } catch (...) {
    // Already unwinding from the failure that matters; a detached snapshot
    // that cannot close is freed with its last reference anyway.
  }
}

void RecordsetCloser::Close() {
  if (recordset_) {
    std::shared_ptr<HostRecordset> recordset = std::move(recordset_);
    recordset_.reset();
    recordset->Close();
  }
}

}  // namespace qm
