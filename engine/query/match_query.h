// What Verify Matches and the replace run share: the query's snapshot of
// matching documents.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "engine/query/query_text.h"
#include "engine/query/search_field.h"
#include "hostlib/host_library.h"

namespace qm {

// The snapshot of the documents a query selects. A scope without folders
// selects nothing, and no query is run for it.
struct Matches {
  std::shared_ptr<HostRecordset> recordset;  // null when no query ran
  std::int64_t count = 0;
};

Matches OpenMatches(HostCollection& collection, const std::optional<QueryScope>& scope,
                    SearchField field, const QString& searchText);

// Closes a recordset when a failure unwinds past it; the normal path closes
// it itself, so that a failing Close is reported there.
class RecordsetCloser {
 public:
  explicit RecordsetCloser(std::shared_ptr<HostRecordset> recordset)
      : recordset_(std::move(recordset)) {}
  ~RecordsetCloser();
  RecordsetCloser(const RecordsetCloser&) = delete;
  RecordsetCloser& operator=(const RecordsetCloser&) = delete;
  // Closes now; later calls and the destructor do nothing.
  void Close();

 private:
  std::shared_ptr<HostRecordset> recordset_;
};

}  // namespace qm
