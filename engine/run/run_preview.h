// What a run will do, for the details of its confirmation question: for the
// first kPreviewDocuments documents of the run, in the run's order, the
// title and the chosen field before and after, computed by the same rewrite
// the run uses. Reading only: no document is written or saved. With more
// documents a last line says how many are not listed.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "engine/run/run_state.h"
#include "hostlib/host_library.h"
#include "text/texts.h"

namespace qm {

inline constexpr int kPreviewDocuments = 200;

// `recordset` is a snapshot of the run's own query, in the run's order, of
// `count` rows; it is read up to the last listed row.
QString RunPreview(HostCollection& collection, HostRecordset& recordset, std::int64_t count,
                   const RunState& state, TextLanguage language);

// The run's snapshot read by its preview and then by the run, so that both
// share one query: the EntryIDs of the rows read before Rewind() (at most
// those of the preview) are given again after it, then the rest of the
// snapshot. Only the column EntryID is read again.
class RereadRecordset final : public HostRecordset {
 public:
  explicit RereadRecordset(HostRecordset& inner) : inner_(inner) {}

  void Rewind() {
    rewound_ = true;
    next_ = 0;
  }

  std::int64_t RecordCount() const override { return inner_.RecordCount(); }
  bool Eof() const override { return Replaying() ? false : inner_.Eof(); }
  QVariant Value(const QString& field) const override;
  void MoveNext() override;
  void Close() override { inner_.Close(); }

 private:
  bool Replaying() const { return rewound_ && next_ < read_.size(); }

  HostRecordset& inner_;
  std::vector<QVariant> read_;
  std::size_t next_ = 0;
  bool rewound_ = false;
};

}  // namespace qm
