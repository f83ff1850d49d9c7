// The documents a review leaves checked, as the snapshot a replace run
// iterates: the checked Changes rows' EntryIDs in the run's order, with what
// the review showed of each. It keeps the list alive and reads it as it
// goes; the list must be complete.
#pragma once

#include <memory>

#include "engine/review/review_list.h"
#include "engine/run/batch_rewrite.h"
#include "hostlib/host_library.h"

namespace qm {

class CheckedDocuments final : public HostRecordset, public ShownValues {
 public:
  explicit CheckedDocuments(std::shared_ptr<const ReviewList> list);

  std::int64_t RecordCount() const override;
  bool Eof() const override;
  // Only the column EntryID.
  QVariant Value(const QString& field) const override;
  void MoveNext() override;
  void Close() override;
  ValueDigest ShownDigest() const override;

 private:
  void CheckOpen() const;
  // The first checked row at or after `row`.
  std::int64_t NextChecked(std::int64_t row) const;

  std::shared_ptr<const ReviewList> list_;
  std::int64_t row_ = 0;
};

}  // namespace qm
