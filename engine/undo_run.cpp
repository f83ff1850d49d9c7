#include "engine/undo_run.h"

#include <optional>

#include "engine/document_field.h"
#include "engine/journaled_run.h"
#include "engine/mod_resource.h"
#include "engine/port_guards.h"
#include "engine/rewrite_document.h"
#include "engine/run_journal.h"
#include "engine/undo_texts.h"
#include "platform/error.h"

namespace qm {
namespace {

// The host's number for a collection that does not exist. The contract
// does not name it; this is the stand-in's, and any other host failure
// still ends the undo.
constexpr std::int32_t kUnknownCollection = static_cast<std::int32_t>(0x80041103u);

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

Outcome RestoreOne(WindowPort& port, HostCollection& collection, SearchField field,
                   const JournalDocument& entry) {
  port.ProcessEvents();
  const std::shared_ptr<HostDocument> document = FindDocument(collection, entry.entryId);
  if (!document) {
    return Outcome::Left;
  }
  port.SetNotes(document->Title());
  const QString current = ReadDocumentField(*document, field);
  // Exact comparison, case and nullness included: only what the run wrote
  // is taken back.
  if (current.isNull() || current != entry.after) {
    const bool asBefore = current == entry.before && current.isNull() == entry.before.isNull();
    return asBefore ? Outcome::AsBefore : Outcome::Left;
  }
  RestoreDocumentField(*document, field, entry.before);
  port.ProcessEvents();
  document->Save();
  return Outcome::Restored;
}

// False, with the notes line telling why, when the run cannot be undone now.
bool Undoable(WindowPort& port, const JournalRun& run, const HostCollection* collection,
              const QString& notice) {
  int refusal = 0;
  QVariantList values{run.collectionName};
  if (run.state == JournalRunState::Going) {
    refusal = undo_text::kRunStillGoing;
    values = {run.searchText, run.replaceText};
  } else if (collection == nullptr) {
    refusal = undo_text::kCollectionGone;
  } else if (!run.collectionIdentity.isEmpty() &&
             collection->Identity() != run.collectionIdentity) {
    refusal = undo_text::kCollectionNotSame;
  } else {
    return true;
  }
  port.SetNotes(WithJournalNotice(modResource::printf(port.Text(refusal), values), notice));
  return false;
}

}  // namespace

UndoCounts UndoLastRun(WindowPort& port, HostApplication& host) {
  UndoCounts counts;
  const PortJournal opened = OpenPortJournal(port);
  RunJournal* journal = opened.journal;
  if (journal == nullptr) {
    return counts;
  }
  const QString notice = JournalNotice(port, journal->TakeMovedAside());
  const std::optional<JournalRun> run = journal->LastUndoableRun();
  if (!run) {
    port.SetNotes(WithJournalNotice(port.Text(undo_text::kNothingToUndo), notice));
    return counts;
  }
  const std::shared_ptr<HostCollection> collection =
      run->state == JournalRunState::Going ? nullptr : FindCollection(host, run->collectionId);
  if (!Undoable(port, *run, collection.get(), notice)) {
    return counts;
  }
  const QString question = modResource::printf(
      port.Text(undo_text::kUndoQuestion),
      {static_cast<qlonglong>(run->documents), run->collectionName,
       port.Text(FieldRecordOf(run->field).textId), run->searchText, run->replaceText});
  if (!port.Confirm(port.Text(text_id::kCaption), question)) {
    port.SetNotes(notice);
    return counts;
  }
  const std::vector<JournalDocument> documents = journal->Documents(run->number);
  bool cancelled = false;
  {
    BusyCursor busy(port);
    RunningState running(port);
    // Latest first, the way the changes are taken back.
    for (auto entry = documents.rbegin(); entry != documents.rend(); ++entry) {
      if (port.TakeCancelRequest()) {
        cancelled = true;
        break;
      }
      port.Pause(kRewritePauseMs);
      switch (RestoreOne(port, *collection, run->field, *entry)) {
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
  }
  if (!cancelled) {
    journal->MarkUndone(run->number);
  }
  port.SetNotes(WithJournalNotice(
      modResource::printf(port.Text(undo_text::kUndoDone), {static_cast<qlonglong>(counts.restored),
                                                            static_cast<qlonglong>(counts.left)}),
      notice));
  port.RequestHostRefresh();
  return counts;
}

}  // namespace qm
