#include "engine/replace_run.h"

#include "engine/journaled_collection.h"
#include "engine/match_query.h"
#include "engine/mod_resource.h"
#include "engine/port_guards.h"
#include "engine/rewrite_document.h"
#include "engine/run_preview.h"

namespace qm {

namespace {

// False, with the note and the focus set, when the criteria cannot run.
bool InputAccepted(WindowPort& port, const QString& searchText) {
  if (!searchText.isEmpty()) {
    return true;
  }
  if (port.RemoveMode()) {
    port.SetNotes(port.Text(text_id::kNoSearchText));
    port.FocusSearchBox();
    return false;
  }
  if (port.ReplacementText().isEmpty()) {
    port.SetNotes(port.Text(text_id::kNoReplacementText));
    port.FocusReplacementBox();
    return false;
  }
  return true;
}

QString Question(WindowPort& port, bool removeMode, std::int64_t count, const RunState& state,
                 const QString& fieldText) {
  if (removeMode) {
    return modResource::printf(port.Text(text_id::kConfirmRemove),
                               {static_cast<qlonglong>(count), state.searchText, fieldText});
  }
  return modResource::printf(port.Text(text_id::kConfirmReplace),
                             {static_cast<qlonglong>(count), state.searchText, fieldText,
                              state.replaceText});
}

void RewriteAll(WindowPort& port, HostCollection& collection, HostRecordset& recordset,
                RunState& state) {
  static const QString kEntryId = QStringLiteral("EntryID");
  while (!recordset.Eof()) {
    if (port.TakeCancelRequest()) {
      break;
    }
    const std::shared_ptr<HostDocument> document = collection.GetDocument(recordset.Value(kEntryId));
    RewriteDocument(port, state, *document);
    recordset.MoveNext();
  }
}

}  // namespace

QString CompletionNote(WindowPort& port, std::int32_t updatedCount) {
  if (updatedCount > 0) {
    return QString::number(updatedCount) + port.Text(text_id::kDocumentsUpdated);
  }
  return port.Text(text_id::kNoDocumentsFound);
}

void ReplaceRun(WindowPort& port, const std::shared_ptr<HostFolder>& selectedFolder,
                RunState& state) {
  state.searchText = port.SearchText();
  if (!InputAccepted(port, state.searchText)) {
    return;
  }
  if (port.SearchHistoryVisible()) {
    port.SaveHistory();
  }
  state.updatedCount = 0;
  const bool removeMode = port.RemoveMode();
  state.replaceText = removeMode ? QString() : port.ReplacementText();
  // The run keeps its own collection: a Browse while it runs cannot move it.
  const std::shared_ptr<HostCollection> collection = selectedFolder->Collection();
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  const ChosenField chosen = ReadChosenField(port);
  state.fieldIndex = chosen.field;
  const Matches matches = OpenMatches(*collection, scope, chosen.field, state.searchText);
  RecordsetCloser closer(matches.recordset);

  QString journalNotice;
  if (matches.count != 0) {
    const QString question = Question(port, removeMode, matches.count, state, chosen.displayText);
    const QString preview = RunPreview(port, *collection, scope, matches.count, state);
    if (!port.ConfirmWithDetails(port.Text(text_id::kCaption), question, preview)) {
      closer.Close();
      port.SetNotes(QString());
      return;
    }
    const JournaledRun journaled = BeginJournaledRun(port, collection, state);
    journalNotice = journaled.notice;
    BusyCursor busy(port);
    RunningState running(port);
    try {
      RewriteAll(port, *journaled.collection, *matches.recordset, state);
    } catch (...) {
      running.Release();
      busy.Release();
      if (state.updatedCount > 0) {
        port.SetNotes(WithJournalNotice(CompletionNote(port, state.updatedCount), journalNotice));
        port.RequestHostRefresh();
      }
      throw;
    }
    running.Release();
    busy.Release();
  }
  closer.Close();
  port.SetNotes(WithJournalNotice(CompletionNote(port, state.updatedCount), journalNotice));
  port.RequestHostRefresh();
}

}  // namespace qm
