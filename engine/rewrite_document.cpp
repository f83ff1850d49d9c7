#include "engine/rewrite_document.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

#include "engine/document_field.h"
#include "engine/match_query.h"
#include "engine/query_text.h"
#include "engine/text_rewrite.h"

namespace qm {

namespace {

// Exactly the same, a field without a value told from an empty one.
bool Same(const QString& a, const QString& b) { return a == b && a.isNull() == b.isNull(); }

struct Planned {
  QVariant entryId;
  QString before;
  QString after;
  bool write = false;
  JournalPosition position = 0;
};

// The field of each of the batch's documents, read in one query where the
// EntryIDs are whole numbers, as the host's are: one read of the database
// for the batch rather than one per document. A document the query does not
// find (deleted since the snapshot), a value that is no text, or an EntryID
// of another kind is read through the document instead.
void ReadBefore(HostCollection& collection, SearchField field, std::vector<Planned>& batch) {
  std::vector<qlonglong> ids;
  for (const Planned& planned : batch) {
    bool whole = false;
    ids.push_back(planned.entryId.toLongLong(&whole));
    const int type = planned.entryId.typeId();
    if (!whole || (type != QMetaType::LongLong && type != QMetaType::Int &&
                   type != QMetaType::UInt && type != QMetaType::ULongLong)) {
      ids.clear();
      break;
    }
  }
  QHash<qlonglong, QString> values;
  if (!ids.empty()) {
    static const QString kEntryId = QStringLiteral("EntryID");
    const std::shared_ptr<HostRecordset> rows =
        collection.Connection()->OpenRecordset(BuildFieldQueryText(field, ids));
    RecordsetCloser closer(rows);
    const QString column = ColumnName(field);
    values.reserve(static_cast<qsizetype>(ids.size()));
    for (; !rows->Eof(); rows->MoveNext()) {
      const QVariant value = rows->Value(column);
      if (!value.isValid() || value.typeId() == QMetaType::QString) {
        QString text = value.toString();
        if (value.isValid() && text.isNull()) {
          text = QStringLiteral("");
        }
        values.insert(rows->Value(kEntryId).toLongLong(), std::move(text));
      }
    }
    closer.Close();
  }
  for (std::size_t i = 0; i < batch.size(); ++i) {
    const auto found = ids.empty() ? values.cend() : values.constFind(ids[i]);
    batch[i].before = found != values.cend()
                          ? *found
                          : ReadDocumentField(*collection.GetDocument(batch[i].entryId), field);
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
                            const RunState& state, const TextRewrite& rewriteOf, std::size_t size) {
  static const QString kEntryId = QStringLiteral("EntryID");
  std::vector<Planned> batch;
  batch.reserve(size);
  // A document the snapshot lists twice is saved before it is read again.
  QSet<qlonglong> heldNumbers;
  QSet<QString> held;
  while (!recordset.Eof() && batch.size() < size) {
    QVariant entryId = recordset.Value(kEntryId);
    bool whole = false;
    const qlonglong number = entryId.toLongLong(&whole);
    const bool isNew = whole && entryId.typeId() != QMetaType::QString
                           ? Insert(heldNumbers, number)
                           : Insert(held, entryId.toString());
    if (!isNew) {
      break;
    }
    batch.push_back({std::move(entryId), QString(), QString(), false, 0});
    recordset.MoveNext();
  }
  ReadBefore(collection, state.fieldIndex, batch);
  for (Planned& planned : batch) {
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

// Waits until the batch's entries are on the disk.
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

void SaveOne(WindowPort& port, HostCollection& collection, RunState& state,
             const TextRewrite& rewriteOf, Planned& planned, JournaledRun& journal) {
  port.ProcessEvents();
  const std::shared_ptr<HostDocument> document = collection.GetDocument(planned.entryId);
  port.SetNotes(document->Title());
  port.Pause(kRewritePauseMs);
  const QString current = ReadDocumentField(*document, state.fieldIndex);
  if (!Same(current, planned.before)) {
    Replan(planned, current, rewriteOf, journal);
  }
  if (planned.write) {
    WriteDocumentField(*document, state.fieldIndex, planned.after);
    port.ProcessEvents();
    port.SetNotes(document->Title());
    document->Save();
    ++state.updatedCount;
  } else {
    ++state.leftCount;
  }
  port.SetNotes(QString());
}

// The entries of the batch's documents from `from` on, which were never
// saved. Left in the journal they would do no harm (their documents hold
// their value before, as after a kill), but the run would claim them.
std::vector<JournalPosition> Unsaved(const std::vector<Planned>& batch, std::size_t from) {
  std::vector<JournalPosition> positions;
  for (std::size_t i = from; i < batch.size(); ++i) {
    if (batch[i].write) {
      positions.push_back(batch[i].position);
    }
  }
  return positions;
}

// The next batch, read and its journaling begun.
std::vector<Planned> NextBatch(HostCollection& collection, HostRecordset& recordset,
                               const RunState& state, const TextRewrite& rewriteOf,
                               std::size_t& size, JournaledRun& journal) {
  if (recordset.Eof()) {
    return {};
  }
  QElapsedTimer reading;
  reading.start();
  std::vector<Planned> batch = Gather(collection, recordset, state, rewriteOf, size);
  // Reading a batch lets no window event run: one that took long makes
  // the next one smaller, so that the window answers as between saves.
  size = reading.elapsed() > kGatherMs ? std::max<std::size_t>(1, size / 2)
                                       : std::min(size * 2, kLargestBatch);
  JournalAhead(batch, journal);
  return batch;
}

}  // namespace

bool RewriteDocuments(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                      RunState& state, JournaledRun& journal) {
  const TextRewrite rewriteOf(state.searchText, state.replaceText);
  std::size_t size = 1;
  std::vector<Planned> batch = NextBatch(collection, recordset, state, rewriteOf, size, journal);
  while (!batch.empty()) {
    Journaled(batch, journal);
    std::vector<Planned> next;
    // What a Cancel or a failure leaves unsaved is taken back from the
    // journal, from this document of the batch on, and the next batch.
    std::size_t unsavedFrom = 0;
    const auto forgetUnsaved = [&] {
      std::vector<JournalPosition> unsaved = Unsaved(batch, unsavedFrom);
      if (!next.empty()) {
        Journaled(next, journal);
        const std::vector<JournalPosition> ahead = Unsaved(next, 0);
        unsaved.insert(unsaved.end(), ahead.begin(), ahead.end());
      }
      journal.Forget(unsaved);
    };
    try {
      // Its entries are written while this batch is saved.
      next = NextBatch(collection, recordset, state, rewriteOf, size, journal);
      for (std::size_t i = 0; i < batch.size(); ++i) {
        if (port.TakeCancelRequest()) {
          unsavedFrom = i;
          forgetUnsaved();
          return true;
        }
        // Whether a document whose save failed was saved is the host's to
        // know: its entry stays, harmless either way.
        unsavedFrom = i + 1;
        SaveOne(port, collection, state, rewriteOf, batch[i], journal);
      }
    } catch (...) {
      try {
        forgetUnsaved();
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
