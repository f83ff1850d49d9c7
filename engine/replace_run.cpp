#include "engine/replace_run.h"

#include "engine/journaled_run.h"
#include "engine/match_query.h"
#include "engine/mod_resource.h"
#include "engine/port_guards.h"
#include "engine/rewrite_document.h"
#include "engine/run_preview.h"
#include "engine/undo_texts.h"

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
  return modResource::printf(
      port.Text(text_id::kConfirmReplace),
      {static_cast<qlonglong>(count), state.searchText, fieldText, state.replaceText});
}

void RewriteAll(WindowPort& port, HostCollection& collection, const ApprovedDocuments& approved,
                RunState& state, RunJournal* journal) {
  BusyCursor busy(port);
  RunningState running(port);
  JournaledRun journaled(journal, collection, state);
  const bool cancelled =
      RewriteDocuments(port, collection, *approved.documents, approved.shown, state, journaled);
  journaled.End(cancelled ? JournalRunState::Cancelled : JournalRunState::Finished);
}

// Start's approval: the confirmation question with the preview of the first
// documents; Yes rewrites the whole snapshot.
ApprovedDocuments AskTheQuestion(WindowPort& port, const RunSnapshot& snapshot,
                                 const RunState& state) {
  const QString question = Question(port, snapshot.removeMode, snapshot.matches.count, state,
                                    snapshot.chosen.displayText);
  // The preview reads the run's own snapshot; the run then reads it again
  // from its first row.
  auto rows = std::make_shared<RereadRecordset>(*snapshot.matches.recordset);
  const QString preview =
      RunPreview(port, *snapshot.collection, *rows, snapshot.matches.count, state);
  rows->Rewind();
  if (!port.ConfirmWithDetails(port.Text(text_id::kCaption), question, preview)) {
    return {};
  }
  return {rows};
}

// Everything after the input check. Returns without completing when the user
// declined or asked to stop before the question. `journalNotice` receives
// what the journal has to tell once (a damaged journal moved aside).
void RunAcceptedInput(WindowPort& port, const StartFolderSource& startFolder, RunState& state,
                      const RunApproval& approve, QString& journalNotice) {
  if (port.SearchHistoryVisible()) {
    port.SaveHistory();
  }
  const bool removeMode = port.RemoveMode();
  state.replaceText = removeMode ? QString() : port.ReplacementText();
  const std::shared_ptr<HostFolder> selectedFolder = startFolder();
  // The run keeps its own collection: a Browse while it runs cannot move it.
  const std::shared_ptr<HostCollection> collection = selectedFolder->Collection();
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  if (port.TakeCancelRequest()) {
    return;
  }
  const ChosenField chosen = ReadChosenField(port);
  state.fieldIndex = chosen.field;
  const Matches matches = OpenMatches(*collection, scope, chosen.field, state.searchText);
  RecordsetCloser closer(matches.recordset);

  if (matches.count != 0) {
    // A click that came while the query ran is handled here, not inside the
    // question's own event loop, so that closing the window then is not
    // answered with the question.
    port.ProcessEvents();
    if (port.TakeCancelRequest()) {
      closer.Close();
      return;
    }
    // Asked before the question, so that nobody approves a run that then
    // cannot go.
    const PortJournal journal = OpenPortJournal(port);
    if (journal.refused) {
      closer.Close();
      return;
    }
    if (journal.journal != nullptr) {
      journalNotice = JournalNotice(port, journal.journal->TakeMovedAside());
      if (const auto busy = journal.journal->ActivityOn(collection->ID(), collection->Name(),
                                                        collection->Identity())) {
        closer.Close();
        port.SetNotes(WithJournalNotice(BusyNote(port, *busy), journalNotice));
        return;
      }
    }
    const ApprovedDocuments approved =
        approve(port, RunSnapshot{collection, scope, chosen, removeMode, matches, closer}, state);
    if (!approved.documents) {
      closer.Close();
      port.SetNotes(QString());
      return;
    }
    try {
      RewriteAll(port, *collection, approved, state, journal.journal);
    } catch (const CollectionBusy& busy) {
      // Another window began meanwhile: this run never began.
      closer.Close();
      port.SetNotes(WithJournalNotice(BusyNote(port, busy.activity()), journalNotice));
      return;
    }
  }
  closer.Close();
  port.SetNotes(WithJournalNotice(RunNote(port, state), journalNotice));
  port.RequestHostRefresh();
}

// What a failed run leaves in the notes line: the documents it saved before
// the failure, with the host asked to show them, or "-" when there are none
// (never the title of the document that failed, which would read as if it
// had been changed).
void ReportFailedRun(WindowPort& port, const RunState& state, const QString& journalNotice) {
  if (state.updatedCount > 0) {
    port.SetNotes(WithJournalNotice(RunNote(port, state), journalNotice));
    port.RequestHostRefresh();
  } else {
    port.SetNotes(QStringLiteral("-"));
  }
}

}  // namespace

QString CompletionNote(WindowPort& port, std::int32_t updatedCount) {
  if (updatedCount > 0) {
    return QString::number(updatedCount) + port.Text(text_id::kDocumentsUpdated);
  }
  return port.Text(text_id::kNoDocumentsFound);
}

QString RunNote(WindowPort& port, const RunState& state) {
  QString note = CompletionNote(port, state.updatedCount);
  if (state.goneCount > 0) {
    note += QLatin1Char(' ') + modResource::printf(port.Text(undo_text::kDocumentsGone),
                                                   {static_cast<qlonglong>(state.goneCount)});
  }
  return note;
}

void ReplaceRun(WindowPort& port, const StartFolderSource& startFolder, RunState& state) {
  ReplaceRun(port, startFolder, state, AskTheQuestion);
}

void ReplaceRun(WindowPort& port, const StartFolderSource& startFolder, RunState& state,
                const RunApproval& approve) {
  // A Cancel that came with the last document of an earlier run found no
  // document left to stop; left standing it would stop this run before its
  // first document, after the user confirmed it.
  port.TakeCancelRequest();
  state.searchText = port.SearchText();
  if (!InputAccepted(port, state.searchText)) {
    return;
  }
  state.updatedCount = 0;
  state.leftCount = 0;
  state.goneCount = 0;
  QString journalNotice;
  try {
    RunAcceptedInput(port, startFolder, state, approve, journalNotice);
  } catch (...) {
    ReportFailedRun(port, state, journalNotice);
    throw;
  }
}

void ReplaceRun(WindowPort& port, const std::shared_ptr<HostFolder>& selectedFolder,
                RunState& state) {
  const auto startFolder = [&selectedFolder] { return selectedFolder; };
  ReplaceRun(port, startFolder, state);
}

}  // namespace qm
