// The documents of one run as the history's look into it shows them: in
// the order the run saved them, each with its field before and after (the
// removed and inserted text marked by the run's own rewrite, as the review
// marks it) and what the document holds now.
//
// It keeps one journal position per document shown (8 bytes), found a page
// at a time (LookAtMore) so that the first rows are there at once; a row's
// texts are read when asked for, a page at a time, and the last pages are
// kept. A row comes from the journal first (its values and marks); what its
// document holds now is read from the host for its whole page when asked
// (ReadCurrentOf), so that a view shows the rows at once and their states a
// moment later. A filter narrows the rows to those whose before or after
// text holds it, without regard to case.
#pragma once

#include <QCache>
#include <QDeadlineTimer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/journal/run_history.h"
#include "engine/journal/run_journal.h"
#include "engine/run/text_rewrite.h"
#include "hostlib/host_library.h"

namespace qm {

struct RunRow {
  EntryPosition position = 0;
  QVariant entryId;
  // As the document reads now; its EntryID when it cannot be read.
  QString title;
  QString before;
  QString after;
  std::vector<RewriteSpan> spans;
  DocumentState state = DocumentState::Unknown;
  QString stateText;
  // False until what the document holds now was read: the title is then
  // the value before (of a run on titles) or the EntryID, the state empty.
  bool read = false;
  // Whether an undo took it back, as the journal marks it.
  bool restored = false;
};

class RunRows {
 public:
  // `collection` is null when the run's collection is not there (gone, or
  // another one under its ID).
  RunRows(RunJournal& journal, RunRecord run, std::shared_ptr<HostCollection> collection,
          TextLanguage language);

  const RunRecord& Run() const { return run_; }

  void SetFilter(const QString& text);
  const QString& Filter() const { return filter_; }
  // Finds the next rows until `deadline` (one page at least) or the end.
  void LookAtMore(const QDeadlineTimer& deadline);
  bool Complete() const { return complete_; }
  std::int64_t Rows() const { return static_cast<std::int64_t>(positions_.size()); }
  EntryPosition Position(std::int64_t row) const;

  // A row, from the journal, and as its document reads now once its page
  // was read (ReadCurrentOf). It stays as it is until the next call that
  // reads rows (Row, ReadCurrentOf, SetFilter), which may let its page go.
  const RunRow& Row(std::int64_t row);
  // Reads what the documents of the row's page hold now; the rows of that
  // page, [first, last], are then read. Host failures propagate.
  std::pair<std::int64_t, std::int64_t> ReadCurrentOf(std::int64_t row);
  // Rows [first, first + count) with what their documents hold now,
  // nothing kept: for a pass over many rows. Host failures propagate.
  std::vector<RunRow> ReadRows(std::int64_t first, std::int64_t count);

 private:
  std::vector<RunRow> ReadPage(std::int64_t first, std::int64_t count) const;
  std::vector<RecordedEntry> ReadEntriesOf(std::size_t begin, std::size_t end) const;
  void ReadCurrent(std::vector<RunRow>& rows) const;
  bool Passes(const DocumentEntry& entry) const;

  RunJournal& journal_;
  RunRecord run_;
  std::shared_ptr<HostCollection> collection_;
  mutable std::shared_ptr<HostConnection> connection_;
  TextLanguage language_;
  TextRewrite rewrite_;
  QString filter_;
  std::vector<EntryPosition> positions_;
  EntryPosition lookedTo_ = 0;
  // The entries the first look found, for the first rows shown.
  // Given up to the first page when it is read (so mutable).
  mutable std::vector<RecordedEntry> firstFound_;
  std::int64_t findPage_;
  bool complete_ = false;
  QCache<std::int64_t, std::vector<RunRow>> pages_;
};

// The rows (those the filter passes, every one of them) as a CSV file
// (engine/export/csv_export.h): ID, title, field, before, after and what the
// document holds now. Returns the number of rows written; fails as
// WriteCsvFile does, and with the host's failures, leaving any file there as
// it was.
std::int64_t ExportRunRows(RunRows& rows, const QString& path, TextLanguage language);

}  // namespace qm
