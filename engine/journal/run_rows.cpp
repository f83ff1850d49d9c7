#include "engine/journal/run_rows.h"

#include <algorithm>

#include "engine/export/csv_export.h"
#include "engine/journal/run_documents.h"
#include "engine/query/search_field.h"

namespace qm {
namespace {

// Entries looked at with one journal read while rows are found: few at
// first, so that the first rows show at once, then more.
constexpr std::int64_t kFirstFindPage = 64;
constexpr std::int64_t kFindPage = 4096;
// Rows read and kept together for showing.
constexpr std::int64_t kShowPage = 64;
constexpr int kKeptPages = 16;

// Where a value changed when the run's own rewrite does not tell (its
// entry was written again after a host edit): the one stretch between
// what the two have alike at the front and at the back.
std::vector<RewriteSpan> OneStretch(const QString& before, const QString& after) {
  qsizetype front = 0;
  const qsizetype most = std::min(before.size(), after.size());
  while (front < most && before[front] == after[front]) {
    ++front;
  }
  qsizetype back = 0;
  while (back < most - front &&
         before[before.size() - 1 - back] == after[after.size() - 1 - back]) {
    ++back;
  }
  if (front + back == before.size() && front + back == after.size()) {
    return {};
  }
  return {RewriteSpan{front, before.size() - front - back, front, after.size() - front - back}};
}

}  // namespace

RunRows::RunRows(RunJournal& journal, RunRecord run, std::shared_ptr<HostCollection> collection,
                 TextLanguage language)
    : journal_(journal),
      run_(std::move(run)),
      collection_(std::move(collection)),
      connection_(collection_ ? collection_->Connection() : nullptr),
      language_(language),
      rewrite_(run_.searchText, run_.replaceText, run_.options),
      findPage_(kFirstFindPage),
      pages_(kKeptPages) {}

void RunRows::SetFilter(const QString& text) {
  filter_ = text;
  positions_.clear();
  lookedTo_ = 0;
  findPage_ = kFirstFindPage;
  complete_ = false;
}

bool RunRows::Passes(const DocumentEntry& entry) const {
  return filter_.isEmpty() || entry.before.contains(filter_, Qt::CaseInsensitive) ||
         entry.after.contains(filter_, Qt::CaseInsensitive);
}

void RunRows::LookAtMore(const QDeadlineTimer& deadline) {
  do {
    const std::vector<RecordedEntry> page = journal_.ReadEntries(run_.number, lookedTo_, findPage_);
    findPage_ = std::min(findPage_ * 4, kFindPage);
    if (page.empty()) {
      complete_ = true;
      return;
    }
    for (const RecordedEntry& entry : page) {
      if (Passes(entry.document)) {
        positions_.push_back(entry.position);
      }
    }
    lookedTo_ = page.back().position;
  } while (!deadline.hasExpired());
}

EntryPosition RunRows::Position(std::int64_t row) const {
  return positions_.at(static_cast<std::size_t>(row));
}

RunRow RunRows::Row(std::int64_t row) {
  const std::int64_t first = row / kShowPage * kShowPage;
  if (const std::vector<RunRow>* kept = pages_.object(first)) {
    return kept->at(static_cast<std::size_t>(row - first));
  }
  auto* page = new std::vector<RunRow>(ReadPage(first, kShowPage));
  const RunRow shown = page->at(static_cast<std::size_t>(row - first));
  pages_.insert(first, page);
  return shown;
}

std::vector<RunRow> RunRows::ReadRows(std::int64_t first, std::int64_t count) {
  return ReadPage(first, count);
}

std::vector<RunRow> RunRows::ReadPage(std::int64_t first, std::int64_t count) {
  const auto begin = static_cast<std::size_t>(std::clamp<std::int64_t>(first, 0, Rows()));
  const auto end = static_cast<std::size_t>(std::clamp<std::int64_t>(first + count, 0, Rows()));
  std::vector<RecordedEntry> entries;
  if (begin == end) {
    return {};
  }
  const EntryPosition from = positions_[begin];
  const EntryPosition to = positions_[end - 1];
  if (to - from < static_cast<EntryPosition>(4 * (end - begin))) {
    // Close together: one read of the stretch, the rows picked from it.
    std::vector<RecordedEntry> stretch = journal_.ReadEntries(run_.number, from - 1, to - from + 1);
    std::size_t at = begin;
    for (RecordedEntry& entry : stretch) {
      if (at < end && entry.position == positions_[at]) {
        entries.push_back(std::move(entry));
        ++at;
      }
    }
  } else {
    for (std::size_t i = begin; i < end; ++i) {
      std::vector<RecordedEntry> one = journal_.ReadEntries(run_.number, positions_[i] - 1, 1);
      if (!one.empty()) {
        entries.push_back(std::move(one.front()));
      }
    }
  }
  std::vector<const DocumentEntry*> documents;
  documents.reserve(entries.size());
  for (const RecordedEntry& entry : entries) {
    documents.push_back(&entry.document);
  }
  std::vector<std::optional<DocumentTexts>> current(entries.size());
  if (collection_) {
    current = ReadCurrent(*collection_, *connection_, run_.field, documents, true);
  }
  std::vector<RunRow> rows;
  rows.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RecordedEntry& entry = entries[i];
    RunRow row;
    row.position = entry.position;
    row.entryId = entry.document.entryId;
    row.title = current[i] ? current[i]->title : entry.document.entryId.toString();
    row.before = entry.document.before;
    row.after = entry.document.after;
    const RewriteResult rewritten = rewrite_(row.before, &row.spans);
    if (rewritten.value != row.after) {
      row.spans = OneStretch(row.before, row.after);
    }
    row.state = DocumentStateOf(entry, current[i], collection_ != nullptr);
    row.stateText = DocumentStateText(row.state, current[i], language_);
    rows.push_back(std::move(row));
  }
  return rows;
}

std::int64_t ExportRunRows(RunRows& rows, const QString& path, TextLanguage language) {
  while (!rows.Complete()) {
    rows.LookAtMore(QDeadlineTimer(QDeadlineTimer::Forever));
  }
  const QString field = Text(FieldRecordOf(rows.Run().field).textId, language);
  std::vector<RunRow> chunk;
  std::size_t next = 0;
  std::int64_t first = 0;
  return WriteCsvFile(
      path, ChangeColumnTitles(language),
      [&](QStringList& cells) {
        if (next == chunk.size()) {
          chunk = rows.ReadRows(first, kShowPage);
          first += static_cast<std::int64_t>(chunk.size());
          next = 0;
          if (chunk.empty()) {
            return false;
          }
        }
        const RunRow& row = chunk[next++];
        cells = ChangeCells(
            {row.entryId.toString(), row.title, field, row.before, row.after, row.stateText});
        return true;
      },
      language);
}

}  // namespace qm
