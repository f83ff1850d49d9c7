// The list a review shows: every document of a run's snapshot, in the run's
// order, split into the documents the run would change and those it would
// leave as they are (the query found them through its wildcards "%" and "_",
// which the rewrite takes literally, or they changed since the query; with
// search options the snapshot holds only the documents the rewrite changed
// when the matches were decided, so only the latter). The rewrite is the
// run's, options included.
//
// The list keeps the snapshot's EntryIDs (8 bytes a document), one position
// a document for its section (4 bytes), and for each document it would
// change a bit for its check box and the digest of the field value it
// showed (4 bytes: the value as it was looked at, or as a row last read it
// for showing); nothing of the documents' texts. Documents are sorted into their sections a chunk
// at a time (LookAtMore), so that the first rows can be shown while the rest are still being looked
// at; each section only grows at its end. A row's texts are read from its document when asked for,
// and the last few hundred are kept. Passes over many documents read them a chunk at a time through
// the collection's database connection (document_texts.h).
//
// Rows that change start checked; rows left as they are have no check box.
#pragma once

#include <QCache>
#include <QDeadlineTimer>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/query/entry_id_column.h"
#include "engine/review/review_row.h"
#include "engine/run/value_digest.h"
#include "hostlib/host_library.h"

namespace qm {

enum class ReviewSection { Changes, Unchanged };

class ReviewList {
 public:
  // The snapshot may hold at most 2^32 - 1 documents; more fails with
  // qm::Error.
  ReviewList(std::shared_ptr<HostCollection> collection, ReviewCriteria criteria,
             EntryIdColumn entryIds);

  const ReviewCriteria& Criteria() const { return criteria_; }

  // Documents in the snapshot, and how many of them were sorted so far.
  std::int64_t Total() const { return entryIds_.Size(); }
  std::int64_t LookedAt() const { return lookedAt_; }
  bool Complete() const { return lookedAt_ == Total(); }

  // Sorts the next documents into their sections, a chunk at a time, until
  // `deadline` has passed (one chunk at least) or every document is sorted.
  // A document that no longer exists is left as it is. Host failures
  // propagate; the chunk that failed is looked at again by the next call.
  void LookAtMore(const QDeadlineTimer& deadline);

  std::int64_t Rows(ReviewSection section) const;
  // A row as its document reads now, for showing: never throws (see
  // ReadReviewRow), and kept for the next time it is shown. What it shows is
  // what Apply then writes (ShownDigest()).
  ReviewRow Row(ReviewSection section, std::int64_t row);
  // Rows [first, first + count) of a section as their documents read now, for a
  // pass over many rows: read a chunk at a time, nothing kept. Host failures
  // propagate.
  std::vector<ReviewRow> ReadRows(ReviewSection section, std::int64_t first,
                                  std::int64_t count) const;
  // The EntryID of a row.
  QVariant EntryId(ReviewSection section, std::int64_t row) const;

  // Check boxes of the Changes rows.
  bool Checked(std::int64_t row) const;
  void SetChecked(std::int64_t first, std::int64_t last, bool checked);
  std::int64_t CheckedCount() const { return checkedCount_; }

  // The digest of the field value a Changes row showed.
  ValueDigest ShownDigest(std::int64_t row) const;

 private:
  std::uint32_t Position(ReviewSection section, std::int64_t row) const;
  HostConnection& Connection() const;
  void Sort(bool changes, const QString& value);

  std::shared_ptr<HostCollection> collection_;
  ReviewCriteria criteria_;
  TextRewrite rewrite_;
  EntryIdColumn entryIds_;
  mutable std::shared_ptr<HostConnection> connection_;
  // Positions in the snapshot: the Changes rows from the front, the
  // Unchanged rows from the back (the last element is Unchanged row 0), so
  // that one allocation serves both sections.
  std::vector<std::uint32_t> order_;
  std::int64_t changes_ = 0;
  std::int64_t unchanged_ = 0;
  std::int64_t lookedAt_ = 0;
  std::vector<bool> checked_;
  std::vector<ValueDigest> shownDigests_;
  std::int64_t checkedCount_ = 0;
  QCache<std::int64_t, ReviewRow> shown_;
};

}  // namespace qm
