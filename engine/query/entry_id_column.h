// The EntryIDs of a snapshot in its order, for reading at any position.
//
// A recordset can only be read front to back; a list that shows any row on
// demand keeps the IDs itself. Whole numbers (what the host delivers) take 8
// bytes a document; should a host deliver anything else (another kind of
// whole number included, so that it is handed back as it came), every ID is
// kept as the QVariant it delivered from then on. At() gives back exactly the value
// the recordset delivered, so that GetDocument sees what the run would pass.
#pragma once

#include <QVariant>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "hostlib/host_library.h"
#include "platform/whole_number.h"

namespace qm {

class EntryIdColumn {
 public:
  void Reserve(std::int64_t count);
  void Append(const QVariant& entryId);
  std::int64_t Size() const;
  // 0 <= index < Size().
  QVariant At(std::int64_t index) const;
  // Whether every ID is a whole number; then Whole() gives them as such:
  // the IDs from `first` to before `end`.
  bool AllWhole() const { return !mixed_; }
  std::span<const std::int64_t> Whole(std::int64_t first, std::int64_t end) const;

 private:
  void MakeMixed();

  std::vector<std::int64_t> integers_;
  std::vector<QVariant> values_;
  bool mixed_ = false;
};

// Every EntryID from the recordset's current row to its end; `expected` (its
// RecordCount) only sizes the column. Host failures propagate.
EntryIdColumn ReadEntryIds(HostRecordset& recordset, std::int64_t expected);

}  // namespace qm
