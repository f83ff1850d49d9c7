#include "engine/journal/run_rows.h"

#include <algorithm>

#include "engine/export/csv_export.h"
#include "engine/journal/run_documents.h"
#include "engine/query/search_field.h"

namespace qm {
namespace {

// Entries looked at with one journal read while rows are found: few at
// first (a page of the rows shown), so that the first rows show at once,
// then more.
constexpr std::int64_t kFirstFindPage = 50;
constexpr std::int64_t kFindPage = 4096;
// Rows read and kept together for showing.
constexpr std::int64_t kShowPage = 50;
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
      language_(language),
      rewrite_(run_.searchText, run_.replaceText, run_.options),
      findPage_(kFirstFindPage),
      pages_(kKeptPages) {}

void RunRows::SetFilter(const QString& text) {
  filter_ = text;
  positions_.clear();
  firstFound_.clear();
  pages_.clear();
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
    std::vector<RecordedEntry> page = journal_.ReadEntries(run_.number, lookedTo_, findPage_);
    findPage_ = std::min(findPage_ * 4, kFindPage);
    if (page.empty()) {
      complete_ = true;
      return;
    }
    const bool first = lookedTo_ == 0;
    lookedTo_ = page.back().position;
    if (first) {
      positions_.reserve(page.size());
      firstFound_.reserve(page.size());
    }
    for (RecordedEntry& entry : page) {
      if (Passes(entry.document)) {
        positions_.push_back(entry.position);
        if (first) {
          firstFound_.push_back(std::move(entry));
        }
      }
    }
  } while (!deadline.hasExpired());
}

EntryPosition RunRows::Position(std::int64_t row) const {
  return positions_.at(static_cast<std::size_t>(row));
}

const RunRow& RunRows::Row(std::int64_t row) {
  const std::int64_t first = row / kShowPage * kShowPage;
  std::vector<RunRow>* page = pages_.object(first);
  if (page == nullptr) {
    page = new std::vector<RunRow>(ReadPage(first, kShowPage));
    const RunRow& shown = page->at(static_cast<std::size_t>(row - first));
    pages_.insert(first, page);
    return shown;
  }
  return page->at(static_cast<std::size_t>(row - first));
}

std::pair<std::int64_t, std::int64_t> RunRows::ReadCurrentOf(std::int64_t row) {
  const std::int64_t first = row / kShowPage * kShowPage;
  std::vector<RunRow>* page = pages_.object(first);
  if (page == nullptr) {
    page = new std::vector<RunRow>(ReadPage(first, kShowPage));
    pages_.insert(first, page);
  }
  if (!page->empty() && !page->front().read) {
    ReadCurrent(*page);
  }
  return {first, first + static_cast<std::int64_t>(page->size()) - 1};
}

std::vector<RunRow> RunRows::ReadRows(std::int64_t first, std::int64_t count) {
  std::vector<RunRow> rows = ReadPage(first, count);
  ReadCurrent(rows);
  return rows;
}

std::vector<RecordedEntry> RunRows::ReadEntriesOf(std::size_t begin, std::size_t end) const {
  std::vector<RecordedEntry> entries;
  if (begin == 0 && end <= firstFound_.size()) {
    // Found by the first look: the first rows show without reading again.
    // Their page is kept; should it be let go, it is read again from the
    // journal.
    entries = std::move(firstFound_);
    entries.resize(end);
    firstFound_.clear();
    return entries;
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
    return entries;
  }
  for (std::size_t i = begin; i < end; ++i) {
    std::vector<RecordedEntry> one = journal_.ReadEntries(run_.number, positions_[i] - 1, 1);
    if (!one.empty()) {
      entries.push_back(std::move(one.front()));
    }
  }
  return entries;
}

std::vector<RunRow> RunRows::ReadPage(std::int64_t first, std::int64_t count) const {
  const auto begin = static_cast<std::size_t>(std::clamp<std::int64_t>(first, 0, Rows()));
  const auto end = static_cast<std::size_t>(std::clamp<std::int64_t>(first + count, 0, Rows()));
  if (begin == end) {
    return {};
  }
  std::vector<RecordedEntry> entries = ReadEntriesOf(begin, end);
  std::vector<RunRow> rows;
  rows.reserve(entries.size());
  for (RecordedEntry& entry : entries) {
    RunRow row;
    row.position = entry.position;
    row.title = run_.field == SearchField::Title && !entry.document.before.isEmpty()
                    ? entry.document.before
                    : entry.document.entryId.toString();
    row.entryId = std::move(entry.document.entryId);
    row.before = std::move(entry.document.before);
    row.after = std::move(entry.document.after);
    row.restored = entry.restored;
    if (!rewrite_.Gives(row.before, row.after, row.spans)) {
      row.spans = OneStretch(row.before, row.after);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

void RunRows::ReadCurrent(std::vector<RunRow>& rows) const {
  std::vector<DocumentEntry> documents;
  documents.reserve(rows.size());
  for (const RunRow& row : rows) {
    documents.push_back(DocumentEntry{row.entryId, row.before, row.after});
  }
  std::vector<const DocumentEntry*> asked;
  asked.reserve(documents.size());
  for (const DocumentEntry& document : documents) {
    asked.push_back(&document);
  }
  std::vector<std::optional<DocumentTexts>> current(rows.size());
  if (collection_) {
    // Asked for only now: the first rows show without it.
    if (!connection_) {
      connection_ = collection_->Connection();
    }
    current = qm::ReadCurrent(*collection_, *connection_, run_.field, asked, true);
  }
  for (std::size_t i = 0; i < rows.size(); ++i) {
    RunRow& row = rows[i];
    if (current[i]) {
      row.title = current[i]->title;
    }
    row.state = DocumentStateOf(RecordedEntry{row.position, documents[i], row.restored}, current[i],
                                collection_ != nullptr);
    row.stateText = DocumentStateText(row.state, current[i], language_);
    row.read = true;
  }
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
