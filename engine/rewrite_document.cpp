#include "engine/rewrite_document.h"

#include <QElapsedTimer>
#include <QSet>

#include <algorithm>
#include <optional>
#include <vector>

#include "engine/document_field.h"
#include "engine/document_texts.h"
#include "engine/entry_id_column.h"
#include "engine/match_query.h"
#include "engine/text_rewrite.h"
#include "platform/error.h"

namespace qm {

namespace {

// Exactly the same, a field without a value told from an empty one.
bool Same(const QString& a, const QString& b) { return a == b && a.isNull() == b.isNull(); }

struct Planned {
  QVariant entryId;
  // As the batch read it, for the notes line.
  QString title;
  QString before;
  QString after;
  bool write = false;
  // Not found when the batch was read: deleted since the snapshot.
  bool gone = false;
  // What a review showed of the field, when it did.
  std::optional<ValueDigest> shown;
  JournalPosition position = 0;
  // Its Save was called: whether it got through is the host's to know, so
  // its entry stays whatever happens next.
  bool saving = false;
};

// The title and field of each of the batch's documents: in one query where
// their EntryIDs are whole numbers, as the host's are (one read of the
// database for the batch rather than one per document), otherwise through
// each document.
void ReadBefore(HostCollection& collection, SearchField field, std::vector<Planned>& batch) {
  std::vector<std::int64_t> ids;
  ids.reserve(batch.size());
  for (const Planned& planned : batch) {
    const std::optional<std::int64_t> id = WholeEntryId(planned.entryId);
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
    const std::optional<std::int64_t> number = WholeEntryId(entryId);
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
  }
  return batch;
}

// Starts writing the entries of the batch's documents to be written.
void JournalAhead(const std::vector<Planned>& batch, JournaledRun& journal) {
  std::vector<JournalDocument> entries;
  for (const Planned& planned : batch) {
    if (planned.write) {
      entries.push_back({planned.entryId, planned.before, planned.after});
    }
  }
  journal.RecordAhead(std::move(entries));
}

// Waits until the batch's entries are on the disk; throws when they could
// not be written.
void Journaled(std::vector<Planned>& batch, JournaledRun& journal) {
  const std::vector<JournalPosition> positions = journal.Recorded();
  auto position = positions.begin();
  for (Planned& planned : batch) {
    if (planned.write) {
      planned.position = *position++;
    }
  }
}

// The value the batch read is no longer the field's: the rewrite and its
// entry follow the field as it is now.
void Replan(Planned& planned, const QString& current, const TextRewrite& rewriteOf,
            JournaledRun& journal) {
  RewriteResult rewrite = rewriteOf(current);
  const JournalDocument entry{planned.entryId, current, rewrite.value};
  if (planned.write && rewrite.changed) {
    journal.Rewrite(planned.position, entry);
  } else if (planned.write) {
    journal.Forget({planned.position});
  } else if (rewrite.changed) {
    planned.position = journal.Record({entry}).front();
  }
  planned.before = current;
  planned.after = std::move(rewrite.value);
  planned.write = rewrite.changed;
}

// Leaves a document that is not to be written after all.
void Leave(Planned& planned, JournaledRun& journal) {
  if (planned.write) {
    journal.Forget({planned.position});
    planned.write = false;
  }
}

// Whether a document the host failed to give or to save no longer exists.
// Where no query can tell (an EntryID that is no whole number), the
// failure stands.
bool Gone(HostCollection& collection, const QVariant& entryId) {
  return DocumentExists(*collection.Connection(), entryId) == std::optional<bool>(false);
}

// The document as it reads now, or null when it no longer exists.
std::shared_ptr<HostDocument> ReadAfresh(HostCollection& collection, const QVariant& entryId) {
  try {
    return collection.GetDocument(entryId);
  } catch (const Error&) {
    if (Gone(collection, entryId)) {
      return nullptr;
    }
    throw;
  }
}

enum class Fate { Saved, Left, Gone };

// From the read that decides the value on to the Save, nothing else runs:
// no event pass, no pause, no journal write between that read and the Save,
// so that an edit made meanwhile is seen and not overwritten.
Fate ReadWriteAndSave(HostCollection& collection, SearchField field, const TextRewrite& rewriteOf,
                      Planned& planned, WindowPort& port, JournaledRun& journal) {
  std::shared_ptr<HostDocument> document;
  for (int reads = 1;; ++reads) {
    document = ReadAfresh(collection, planned.entryId);
    if (!document) {
      Leave(planned, journal);
      return Fate::Gone;
    }
    const QString current = ReadDocumentField(*document, field);
    if (Same(current, planned.before)) {
      break;
    }
    if (planned.shown || reads == kMostRereads) {
      Leave(planned, journal);
      return Fate::Left;
    }
    Replan(planned, current, rewriteOf, journal);
    if (!planned.write) {
      break;
    }
  }
  if (!planned.write) {
    return Fate::Left;
  }
  WriteDocumentField(*document, field, planned.after);
  port.SetNotes(document->Title());
  planned.saving = true;
  try {
    document->Save();
  } catch (const Error&) {
    if (!Gone(collection, planned.entryId)) {
      throw;
    }
    return Fate::Gone;
  }
  return Fate::Saved;
}

void SaveOne(WindowPort& port, HostCollection& collection, RunState& state,
             const TextRewrite& rewriteOf, Planned& planned, JournaledRun& journal) {
  port.ProcessEvents();
  if (planned.gone) {
    ++state.goneCount;
    return;
  }
  port.SetNotes(planned.title);
  port.Pause(kRewritePauseMs);
  if (planned.write) {
    port.ProcessEvents();
  }
  switch (ReadWriteAndSave(collection, state.fieldIndex, rewriteOf, planned, port, journal)) {
    case Fate::Saved:
      ++state.updatedCount;
      break;
    case Fate::Left:
      ++state.leftCount;
      break;
    case Fate::Gone:
      ++state.goneCount;
      break;
  }
  port.SetNotes(QString());
}

// Takes back the entries of documents never saved: the batch's from `from`
// on, and those of the batch written ahead (`next`), when its write got
// through. Left in the journal they would do no harm (their documents hold
// their value before, as after a kill), but the run would claim them.
void ForgetUnsaved(const std::vector<Planned>& batch, std::size_t from,
                   const std::vector<Planned>& next, JournaledRun& journal) {
  std::vector<JournalPosition> unsaved;
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
                               JournaledRun& journal) {
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
                      const ShownValues* shown, RunState& state, JournaledRun& journal) {
  const TextRewrite rewriteOf(state.searchText, state.replaceText);
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
        SaveOne(port, collection, state, rewriteOf, batch[i], journal);
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
