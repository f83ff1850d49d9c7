#include "engine/run/batch_rewrite.h"

#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/query/document_field.h"
#include "engine/query/document_texts.h"
#include "engine/query/entry_id_column.h"
#include "engine/run/rewrite_document.h"

namespace qm {

namespace {

using Planned = PlannedDocument;

// The title and field of each of the batch's documents: in one query where
// their EntryIDs are whole numbers, as the host's are (one read of the
// database for the batch rather than one per document), otherwise through
// each document.
void ReadBefore(HostCollection& collection, SearchField field, std::vector<Planned>& batch) {
  std::vector<std::int64_t> ids;
  ids.reserve(batch.size());
  for (const Planned& planned : batch) {
    const std::optional<std::int64_t> id = WholeNumber(planned.entryId);
    if (!id) {
      ids.clear();
      break;
    }
    ids.push_back(*id);
  }
  if (ids.empty()) {
    for (Planned& planned : batch) {
      const std::shared_ptr<HostDocument> document = collection.GetDocument(planned.entryId);
      planned.title = document->Title();
      planned.before = ReadDocumentField(*document, field);
    }
    return;
  }
  const std::shared_ptr<HostConnection> connection = collection.Connection();
  const std::vector<std::optional<DocumentTexts>> texts =
      ReadDocumentTexts(collection, *connection, field, ids, true);
  for (std::size_t i = 0; i < batch.size(); ++i) {
    if (texts[i]) {
      batch[i].title = texts[i]->title;
      batch[i].before = texts[i]->value;
    } else {
      batch[i].gone = true;
    }
  }
}

// False when the set holds the key already.
template <typename Key>
bool Insert(QSet<Key>& set, const Key& key) {
  const qsizetype before = set.size();
  set.insert(key);
  return set.size() != before;
}

// The next documents of the snapshot, read and rewritten but not written.
std::vector<Planned> Gather(HostCollection& collection, HostRecordset& recordset,
                            const ShownValues* shown, const RunState& state,
                            const TextRewrite& rewriteOf, std::size_t size) {
  static const QString kEntryId = QStringLiteral("EntryID");
  std::vector<Planned> batch;
  batch.reserve(size);
  // A document the snapshot lists twice is saved before it is read again.
  QSet<qlonglong> heldNumbers;
  QSet<QString> held;
  while (!recordset.Eof() && batch.size() < size) {
    QVariant entryId = recordset.Value(kEntryId);
    const std::optional<std::int64_t> number = WholeNumber(entryId);
    if (!(number ? Insert(heldNumbers, qlonglong{*number}) : Insert(held, entryId.toString()))) {
      break;
    }
    Planned planned;
    planned.entryId = std::move(entryId);
    if (shown != nullptr) {
      planned.shown = shown->ShownDigest();
    }
    batch.push_back(std::move(planned));
    recordset.MoveNext();
  }
  ReadBefore(collection, state.fieldIndex, batch);
  for (Planned& planned : batch) {
    if (planned.gone || (planned.shown && DigestOf(planned.before) != *planned.shown)) {
      continue;
    }
    RewriteResult rewrite = rewriteOf(planned.before);
    planned.after = std::move(rewrite.value);
    planned.write = rewrite.changed;
    planned.limitHit = rewrite.matchLimitHit;
  }
  return batch;
}

// Starts writing the entries of the batch's documents to be written.
void JournalAhead(const std::vector<Planned>& batch, RunRecorder& journal) {
  std::vector<DocumentEntry> entries;
  for (const Planned& planned : batch) {
    if (planned.write) {
      entries.push_back({planned.entryId, planned.before, planned.after});
    }
  }
  journal.RecordAhead(std::move(entries));
}

// Waits until the batch's entries are on the disk; throws when they could
// not be written.
void Journaled(std::vector<Planned>& batch, RunRecorder& journal) {
  const std::vector<EntryPosition> positions = journal.Recorded();
  auto position = positions.begin();
  for (Planned& planned : batch) {
    if (planned.write) {
      planned.position = *position++;
    }
  }
}

// Takes back the entries of documents never saved: the batch's from `from`
// on, and those of the batch written ahead (`next`), when its write got
// through. Left in the journal they would do no harm (their documents hold
// their value before, as after a kill), but the run would claim them.
void ForgetUnsaved(const std::vector<Planned>& batch, std::size_t from,
                   const std::vector<Planned>& next, RunRecorder& journal) {
  std::vector<EntryPosition> unsaved;
  for (std::size_t i = from; i < batch.size(); ++i) {
    if (batch[i].write && !batch[i].saving) {
      unsaved.push_back(batch[i].position);
    }
  }
  if (!next.empty()) {
    if (const auto ahead = journal.RecordedIfWritten()) {
      unsaved.insert(unsaved.end(), ahead->begin(), ahead->end());
    }
  }
  journal.Forget(unsaved);
}

// The next batch, read and its journaling begun; empty at the end.
std::vector<Planned> NextBatch(HostCollection& collection, HostRecordset& recordset,
                               const ShownValues* shown, const RunState& state,
                               const TextRewrite& rewriteOf, std::size_t& size,
                               RunRecorder& journal) {
  if (recordset.Eof()) {
    return {};
  }
  QElapsedTimer reading;
  reading.start();
  std::vector<Planned> batch = Gather(collection, recordset, shown, state, rewriteOf, size);
  // Reading a batch lets no window event run: one that took long makes
  // the next one smaller, so that the window answers as between saves.
  size = reading.elapsed() > kGatherMs ? std::max<std::size_t>(1, size / 2)
                                       : std::min(size * 2, kLargestBatch);
  JournalAhead(batch, journal);
  return batch;
}

}  // namespace

bool RewriteDocuments(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                      const ShownValues* shown, RunState& state, RunRecorder& journal,
                      RunProgress& progress) {
  const TextRewrite rewriteOf(state.searchText, state.replaceText, state.options);
  std::size_t size = 1;
  std::vector<Planned> batch =
      NextBatch(collection, recordset, shown, state, rewriteOf, size, journal);
  while (!batch.empty()) {
    // Its write ahead failed: nothing of it is in the journal, nothing saved.
    Journaled(batch, journal);
    std::vector<Planned> next;
    // What a Cancel or a failure leaves unsaved is taken back from the
    // journal, from this document of the batch on, and the next batch.
    std::size_t unsavedFrom = 0;
    try {
      // Its entries are written while this batch is saved.
      next = NextBatch(collection, recordset, shown, state, rewriteOf, size, journal);
      for (std::size_t i = 0; i < batch.size(); ++i) {
        unsavedFrom = i;
        if (port.TakeCancelRequest()) {
          ForgetUnsaved(batch, i, next, journal);
          if (!next.empty()) {
            // A write ahead that failed ends the run as failed all the same.
            journal.Recorded();
          }
          return true;
        }
        RewriteDocument(port, collection, state, rewriteOf, batch[i], journal);
        progress.Step();
      }
    } catch (...) {
      try {
        ForgetUnsaved(batch, unsavedFrom, next, journal);
      } catch (const Error&) {
        // A journal that failed keeps the entries, which are harmless.
      }
      throw;
    }
    batch = std::move(next);
  }
  return false;
}

}  // namespace qm
