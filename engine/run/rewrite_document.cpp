#include "engine/run/rewrite_document.h"

#include "engine/command/pace.h"
#include "engine/query/document_field.h"
#include "engine/query/document_texts.h"
#include "platform/error.h"

namespace qm {
namespace {

// Exactly the same, a field without a value told from an empty one.
bool Same(const QString& a, const QString& b) { return a == b && a.isNull() == b.isNull(); }

// The value the batch read is no longer the field's: the rewrite and its
// entry follow the field as it is now.
void Replan(PlannedDocument& planned, const QString& current, const TextRewrite& rewriteOf,
            RunRecorder& journal) {
  RewriteResult rewrite = rewriteOf(current);
  const DocumentEntry entry{planned.entryId, current, rewrite.value};
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
  planned.limitHit = rewrite.matchLimitHit;
}

// Leaves a document that is not to be written after all.
void Leave(PlannedDocument& planned, RunRecorder& journal) {
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

enum class Fate { Saved, Left, Gone, LimitHit };

// From the read that decides the value on to the Save, nothing else runs:
// no event pass, no pause, no journal write between that read and the Save,
// so that an edit made meanwhile is seen and not overwritten.
Fate ReadWriteAndSave(HostCollection& collection, SearchField field, const TextRewrite& rewriteOf,
                      PlannedDocument& planned, WindowPort& port, RunRecorder& journal) {
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
    return planned.limitHit ? Fate::LimitHit : Fate::Left;
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

}  // namespace

void RewriteDocument(WindowPort& port, HostCollection& collection, RunState& state,
                     const TextRewrite& rewriteOf, PlannedDocument& planned, RunRecorder& journal) {
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
    case Fate::LimitHit:
      ++state.limitCount;
      break;
  }
  port.SetNotes(QString());
}

}  // namespace qm
