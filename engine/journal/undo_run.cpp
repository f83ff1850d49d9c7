#include "engine/journal/undo_run.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/command/pace.h"
#include "engine/command/port_guards.h"
#include "engine/journal/command_journal.h"
#include "engine/journal/run_journal.h"
#include "engine/query/document_field.h"
#include "engine/query/document_texts.h"
#include "engine/query/entry_id_column.h"
#include "platform/error.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

// The host's number for a collection that does not exist. The contract
// does not name it; this is the stand-in's, and any other host failure
// still ends the undo.
constexpr std::int32_t kUnknownCollection = static_cast<std::int32_t>(0x80041103u);
// Entries looked at with one query before the question.
constexpr std::size_t kLookChunk = 256;

// Exactly the same, a field without a value told from an empty one.
bool Same(const QString& a, const QString& b) { return a == b && a.isNull() == b.isNull(); }

std::shared_ptr<HostCollection> FindCollection(HostApplication& host, std::int32_t id) {
  try {
    return host.Collections()->Item(QString::number(id));
  } catch (const Error& error) {
    if (error.number() == kUnknownCollection) {
      return nullptr;
    }
    throw;
  }
}

// A document the host cannot give back, whatever it answers, is left like
// one changed since: stopping at it would stop every later undo there too.
std::shared_ptr<HostDocument> FindDocument(HostCollection& collection, const QVariant& entryId) {
  try {
    return collection.GetDocument(entryId);
  } catch (const Error&) {
    return nullptr;
  }
}

enum class Outcome { Restored, AsBefore, Left };

// What an entry finds in its document's field: only what the run wrote is
// taken back (compared exactly, case and nullness included).
Outcome Judge(const std::optional<QString>& current, const DocumentEntry& entry) {
  if (!current) {
    return Outcome::Left;
  }
  if (!current->isNull() && *current == entry.after) {
    return Outcome::Restored;
  }
  return Same(*current, entry.before) ? Outcome::AsBefore : Outcome::Left;
}

// What an undo of a run would do, looked at before it asks: the entries it
// will restore (latest first, as it takes them back), and the documents it
// leaves because they changed since.
struct UndoPlan {
  std::vector<DocumentEntry> entries;
  std::vector<std::size_t> toRestore;
  std::int64_t left = 0;
};

// A document's key, for one that the run wrote more than once.
QString KeyOf(const QVariant& entryId) {
  const std::optional<std::int64_t> whole = WholeNumber(entryId);
  return whole ? QString::number(*whole) : QLatin1Char('"') + entryId.toString();
}

// The EntryIDs the run holds more than one entry for (a snapshot may list
// a document twice): the later entry's undo leaves the field at the earlier
// one's after-value, which is what the earlier one then finds.
std::unordered_set<QString> WrittenTwice(const std::vector<DocumentEntry>& entries) {
  std::vector<QString> keys;
  keys.reserve(entries.size());
  for (const DocumentEntry& entry : entries) {
    keys.push_back(KeyOf(entry.entryId));
  }
  std::sort(keys.begin(), keys.end());
  std::unordered_set<QString> twice;
  for (std::size_t i = 1; i < keys.size(); ++i) {
    if (keys[i] == keys[i - 1]) {
      twice.insert(keys[i]);
    }
  }
  return twice;
}

// The field of the entries' documents as they read now; none for a document
// the host cannot give back. Whole EntryIDs are read a chunk at a time.
std::vector<std::optional<QString>> ReadCurrent(HostCollection& collection,
                                                HostConnection& connection, SearchField field,
                                                const std::vector<const DocumentEntry*>& chunk) {
  std::vector<std::optional<QString>> current(chunk.size());
  std::vector<std::int64_t> ids;
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    if (const std::optional<std::int64_t> id = WholeNumber(chunk[i]->entryId)) {
      ids.push_back(*id);
      at.push_back(i);
    } else if (const auto document = FindDocument(collection, chunk[i]->entryId)) {
      current[i] = ReadDocumentField(*document, field);
    }
  }
  if (!ids.empty()) {
    const auto texts = ReadDocumentTexts(collection, connection, field, ids, false);
    for (std::size_t j = 0; j < ids.size(); ++j) {
      if (texts[j]) {
        current[at[j]] = texts[j]->value;
      }
    }
  }
  return current;
}

UndoPlan LookAtRun(HostCollection& collection, SearchField field,
                   std::vector<DocumentEntry> entries) {
  UndoPlan plan;
  plan.entries = std::move(entries);
  const std::unordered_set<QString> twice = WrittenTwice(plan.entries);
  // What the undo will have left in the fields of documents written twice.
  QHash<QString, std::optional<QString>> undone;
  const std::shared_ptr<HostConnection> connection = collection.Connection();
  for (std::size_t end = plan.entries.size(); end > 0;) {
    const std::size_t begin = end > kLookChunk ? end - kLookChunk : 0;
    std::vector<const DocumentEntry*> chunk;
    for (std::size_t i = end; i > begin; --i) {
      chunk.push_back(&plan.entries[i - 1]);
    }
    const std::vector<std::optional<QString>> read =
        ReadCurrent(collection, *connection, field, chunk);
    for (std::size_t j = 0; j < chunk.size(); ++j) {
      const DocumentEntry& entry = *chunk[j];
      const QString key = twice.empty() ? QString() : KeyOf(entry.entryId);
      const bool repeated = !key.isEmpty() && twice.count(key) != 0;
      const std::optional<QString> current =
          repeated && undone.contains(key) ? undone.value(key) : read[j];
      switch (Judge(current, entry)) {
        case Outcome::Restored:
          plan.toRestore.push_back(end - 1 - j);
          if (repeated) {
            undone.insert(key, entry.before);
          }
          break;
        case Outcome::Left:
          ++plan.left;
          break;
        case Outcome::AsBefore:
          break;
      }
    }
    end = begin;
  }
  return plan;
}

Outcome RestoreOne(WindowPort& port, HostCollection& collection, SearchField field,
                   const DocumentEntry& entry) {
  port.ProcessEvents();
  port.Pause(kRewritePauseMs);
  port.ProcessEvents();
  // From the read on nothing else runs until the Save, so that an edit made
  // meanwhile is seen and not overwritten.
  const std::shared_ptr<HostDocument> document = FindDocument(collection, entry.entryId);
  if (!document) {
    return Outcome::Left;
  }
  port.SetNotes(document->Title());
  const Outcome outcome = Judge(ReadDocumentField(*document, field), entry);
  if (outcome == Outcome::Restored) {
    RestoreDocumentField(*document, field, entry.before);
    document->Save();
  }
  return outcome;
}

// False, with the notes line telling why, when the run cannot be undone now.
bool Undoable(WindowPort& port, RunJournal& journal, const RunRecord& run,
              const HostCollection* collection, const QString& notice, TextLanguage language) {
  int refusal = 0;
  QVariantList values{run.collectionName};
  if (run.status == RunStatus::Going) {
    refusal = undo_text::kRunStillGoing;
    values = {run.searchText, run.replaceText};
  } else if (collection == nullptr) {
    refusal = undo_text::kCollectionGone;
  } else if (!run.collectionIdentity.isEmpty() &&
             collection->Identity() != run.collectionIdentity) {
    refusal = undo_text::kCollectionNotSame;
  } else if (const auto busy =
                 journal.ActivityOn(run.collectionId, run.collectionName, run.collectionIdentity)) {
    port.SetNotes(WithJournalNotice(BusyNote(*busy, language), notice));
    return false;
  } else {
    return true;
  }
  port.SetNotes(WithJournalNotice(modResource::printf(Text(refusal, language), values), notice));
  return false;
}

// A run that ended by itself says how many documents it changed; one that
// did not (a kill, a failure) may have entries written ahead of saves that
// never came, so it says how many still hold what it wrote.
bool EndedByItself(const RunRecord& run) {
  return run.status == RunStatus::Finished || run.status == RunStatus::Cancelled;
}

QString Question(const RunRecord& run, std::size_t restorable, TextLanguage language) {
  const QString field = Text(FieldRecordOf(run.field).textId, language);
  if (EndedByItself(run)) {
    return modResource::printf(Text(undo_text::kUndoQuestion, language),
                               {static_cast<qlonglong>(run.documents), run.collectionName, field,
                                run.searchText, run.replaceText});
  }
  return modResource::printf(Text(undo_text::kUndoQuestionUnfinished, language),
                             {static_cast<qlonglong>(restorable), run.collectionName, field,
                              run.searchText, run.replaceText});
}

// Ends the undo's mark on its run however the undo ends.
class UndoMark {
 public:
  UndoMark(RunJournal& journal, std::int64_t run) : journal_(journal), run_(run) {
    journal_.BeginUndo(run_);
  }
  ~UndoMark() {
    try {
      journal_.EndUndo(run_);
    } catch (const Error&) {
      // Its owner's lock is gone with it: nobody finds the undo going.
    }
  }
  UndoMark(const UndoMark&) = delete;
  UndoMark& operator=(const UndoMark&) = delete;

 private:
  RunJournal& journal_;
  std::int64_t run_;
};

}  // namespace

UndoCounts UndoLastRun(WindowPort& port, CommandServices& services, HostApplication& host,
                       TextLanguage language) {
  UndoCounts counts;
  const CommandJournal opened = OpenCommandJournal(port, services, language);
  RunJournal* journal = opened.journal;
  if (journal == nullptr) {
    return counts;
  }
  const QString notice = JournalNotice(journal->TakeMovedAside(), language);
  const std::optional<RunRecord> run = journal->LastUndoableRun();
  if (!run) {
    port.SetNotes(WithJournalNotice(Text(undo_text::kNothingToUndo, language), notice));
    return counts;
  }
  const std::shared_ptr<HostCollection> collection =
      run->status == RunStatus::Going ? nullptr : FindCollection(host, run->collectionId);
  if (!Undoable(port, *journal, *run, collection.get(), notice, language)) {
    return counts;
  }
  UndoPlan plan;
  {
    BusyCursor busy(port);
    port.SetNotes(Text(undo_text::kLookingAtRun, language));
    plan = LookAtRun(*collection, run->field, journal->Entries(run->number));
  }
  if (!EndedByItself(*run) && plan.toRestore.empty()) {
    // Nothing of it is left to take back; the next undo offers the run
    // before it.
    journal->MarkUndone(run->number);
    port.SetNotes(
        WithJournalNotice(modResource::printf(Text(undo_text::kNothingLeftOfRun, language),
                                              {run->searchText, run->replaceText}),
                          notice));
    return counts;
  }
  if (!port.Confirm(Text(text_id::kCaption, language),
                    Question(*run, plan.toRestore.size(), language))) {
    port.SetNotes(notice);
    return counts;
  }
  bool cancelled = false;
  try {
    const UndoMark mark(*journal, run->number);
    BusyCursor busy(port);
    RunningWindow running(port);
    counts.left = plan.left;
    for (const std::size_t index : plan.toRestore) {
      if (port.TakeCancelRequest()) {
        cancelled = true;
        break;
      }
      switch (RestoreOne(port, *collection, run->field, plan.entries[index])) {
        case Outcome::Restored:
          ++counts.restored;
          break;
        case Outcome::Left:
          ++counts.left;
          break;
        case Outcome::AsBefore:
          break;
      }
      port.SetNotes(QString());
    }
  } catch (const CollectionBusy& busy) {
    // Another window began meanwhile: nothing was restored.
    port.SetNotes(WithJournalNotice(BusyNote(busy.activity(), language), notice));
    return counts;
  }
  if (!cancelled) {
    journal->MarkUndone(run->number);
  }
  port.SetNotes(WithJournalNotice(modResource::printf(Text(undo_text::kUndoDone, language),
                                                      {static_cast<qlonglong>(counts.restored),
                                                       static_cast<qlonglong>(counts.left)}),
                                  notice));
  services.RequestHostRefresh();
  return counts;
}

}  // namespace qm
