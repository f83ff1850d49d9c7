#include "engine/run/replace_run.h"

#include "engine/command/port_guards.h"
#include "engine/journal/command_journal.h"
#include "engine/journal/run_recorder.h"
#include "engine/query/match_query.h"
#include "engine/run/exact_matches.h"
#include "engine/run/run_preview.h"
#include "engine/run/search_refusal.h"
#include "text/mod_resource.h"

namespace qm {

namespace {

// False, with the note and the focus set, when the criteria cannot run.
bool InputAccepted(WindowPort& port, const SearchCriteria& criteria) {
  if (!criteria.searchText.isEmpty()) {
    return true;
  }
  if (criteria.removeMode) {
    port.SetNotes(Text(text_id::kNoSearchText, criteria.language));
    port.FocusSearchBox();
    return false;
  }
  if (criteria.replacementText.isEmpty()) {
    port.SetNotes(Text(text_id::kNoReplacementText, criteria.language));
    port.FocusReplacementBox();
    return false;
  }
  return true;
}

bool SearchRuns(WindowPort& port, const SearchCriteria& criteria) {
  return InputAccepted(port, criteria) &&
         SearchAccepted(port, criteria.searchText,
                        criteria.removeMode ? QString() : criteria.replacementText,
                        criteria.options, criteria.language);
}

QString Question(const SearchCriteria& criteria, std::int64_t count, const RunState& state) {
  const QString field = FieldName(state.fieldIndex, criteria.language);
  if (criteria.removeMode) {
    return modResource::printf(Text(text_id::kConfirmRemove, criteria.language),
                               {static_cast<qlonglong>(count), state.searchText, field});
  }
  return modResource::printf(
      Text(text_id::kConfirmReplace, criteria.language),
      {static_cast<qlonglong>(count), state.searchText, field, state.replaceText});
}

void RewriteAll(WindowPort& port, HostCollection& collection, const ApprovedDocuments& approved,
                RunState& state, RunJournal* journal, const RunRecorder::Search& search) {
  BusyCursor busy(port);
  RunningWindow running(port);
  RunRecorder recorder(journal, collection, search);
  RunProgress progress(port, approved.count);
  const bool cancelled = RewriteDocuments(port, collection, *approved.documents, approved.shown,
                                          state, recorder, progress);
  recorder.End(cancelled ? RunStatus::Cancelled : RunStatus::Finished);
}

// Start's approval: the confirmation question with the preview of the first
// documents; Yes rewrites the whole snapshot.
ApprovedDocuments AskTheQuestion(WindowPort& port, const RunSnapshot& snapshot,
                                 const SearchCriteria& criteria, const RunState& state) {
  const QString question = Question(criteria, snapshot.matches.count, state);
  // The preview reads the run's own snapshot; the run then reads it again
  // from its first row.
  auto rows = std::make_shared<RereadRecordset>(*snapshot.matches.recordset);
  const QString preview =
      RunPreview(*snapshot.collection, *rows, snapshot.matches.count, state, criteria.language);
  rows->Rewind();
  if (!port.ConfirmWithDetails(Text(text_id::kCaption, criteria.language), question, preview)) {
    return {};
  }
  return {rows, nullptr, snapshot.matches.count};
}

// Everything after the input check. Returns without completing when the user
// declined or asked to stop before the question. `journalNotice` receives
// what the journal has to tell once (a damaged journal moved aside).
void RunAcceptedInput(WindowPort& port, CommandServices& services, const SearchCriteria& criteria,
                      const RunApproval& approve, RunState& state, QString& journalNotice) {
  if (criteria.field == SearchField::Title) {
    services.SaveHistory();
  }
  const std::shared_ptr<HostFolder> selectedFolder = criteria.startFolder();
  // The run keeps its own collection: a Browse while it runs cannot move it.
  const std::shared_ptr<HostCollection> collection = selectedFolder->Collection();
  const std::optional<QueryScope> scope = DecideScope(*selectedFolder, port);
  if (port.TakeCancelRequest()) {
    return;
  }
  const FoundMatches found =
      FindMatches(port, *collection, scope,
                  {state.fieldIndex, state.searchText, state.replaceText, state.options});
  if (found.stopped) {
    return;
  }
  const Matches& matches = found.matches;
  RecordsetCloser closer(matches.recordset);
  state.limitCount = found.limitCount;

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
    const CommandJournal journal = OpenCommandJournal(port, services, criteria.language);
    if (journal.refused) {
      closer.Close();
      return;
    }
    if (journal.journal != nullptr) {
      journalNotice = JournalNotice(journal.journal->TakeMovedAside(), criteria.language);
      if (const auto busy = journal.journal->ActivityOn(collection->ID(), collection->Name(),
                                                        collection->Identity())) {
        closer.Close();
        port.SetNotes(WithJournalNotice(BusyNote(*busy, criteria.language), journalNotice));
        return;
      }
    }
    const ApprovedDocuments approved =
        approve(port, RunSnapshot{collection, scope, matches, closer}, criteria, state);
    if (!approved.documents) {
      closer.Close();
      port.SetNotes(QString());
      return;
    }
    // The collection's own folder (ID 1) is no folder to name.
    const bool inFolder = selectedFolder->ID() > 1;
    const RunRecorder::Search search{state.fieldIndex,
                                     state.searchText,
                                     state.replaceText,
                                     state.options,
                                     inFolder ? selectedFolder->Name() : QString(),
                                     inFolder && port.IncludeSubfolders(),
                                     approved.documents->RecordCount(),
                                     0};
    try {
      RewriteAll(port, *collection, approved, state, journal.journal, search);
    } catch (const CollectionBusy& busy) {
      // Another window began meanwhile: this run never began.
      closer.Close();
      port.SetNotes(WithJournalNotice(BusyNote(busy.activity(), criteria.language), journalNotice));
      return;
    }
  }
  closer.Close();
  port.SetNotes(WithJournalNotice(RunNote(state, criteria.language), journalNotice));
  services.RequestHostRefresh();
}

// What a failed run leaves in the notes line: the documents it saved before
// the failure, with the host asked to show them, or "-" when there are none
// (never the title of the document that failed, which would read as if it
// had been changed).
void ReportFailedRun(WindowPort& port, CommandServices& services, const RunState& state,
                     const QString& journalNotice, TextLanguage language) {
  if (state.updatedCount > 0) {
    port.SetNotes(WithJournalNotice(RunNote(state, language), journalNotice));
    services.RequestHostRefresh();
  } else {
    port.SetNotes(QStringLiteral("-"));
  }
}

}  // namespace

QString FieldName(SearchField field, TextLanguage language) {
  return Text(FieldRecordOf(field).textId, language);
}

QString CompletionNote(std::int32_t updatedCount, TextLanguage language) {
  if (updatedCount > 0) {
    return QString::number(updatedCount) + Text(text_id::kDocumentsUpdated, language);
  }
  return Text(text_id::kNoDocumentsFound, language);
}

QString LimitNote(std::int32_t limitCount, TextLanguage language) {
  if (limitCount == 0) {
    return QString();
  }
  return QLatin1Char(' ') + modResource::printf(Text(undo_text::kMatchLimitLeft, language),
                                                {static_cast<qlonglong>(limitCount)});
}

QString RunNote(const RunState& state, TextLanguage language) {
  QString note = CompletionNote(state.updatedCount, language);
  if (state.goneCount > 0) {
    note += QLatin1Char(' ') + modResource::printf(Text(undo_text::kDocumentsGone, language),
                                                   {static_cast<qlonglong>(state.goneCount)});
  }
  return note + LimitNote(state.limitCount, language);
}

RunState ReplaceRun(WindowPort& port, CommandServices& services, const SearchCriteria& criteria) {
  return ReplaceRun(port, services, criteria, AskTheQuestion);
}

RunState ReplaceRun(WindowPort& port, CommandServices& services, const SearchCriteria& criteria,
                    const RunApproval& approve) {
  // A Cancel that came with the last document of an earlier run found no
  // document left to stop; left standing it would stop this run before its
  // first document, after the user confirmed it.
  port.TakeCancelRequest();
  RunState state;
  state.searchText = criteria.searchText;
  if (!SearchRuns(port, criteria)) {
    return state;
  }
  state.replaceText = criteria.removeMode ? QString() : criteria.replacementText;
  state.fieldIndex = criteria.field;
  state.options = criteria.options;
  QString journalNotice;
  try {
    RunAcceptedInput(port, services, criteria, approve, state, journalNotice);
  } catch (const Error& failure) {
    ReportFailedRun(port, services, state, journalNotice, criteria.language);
    throw FailedRun(failure, state);
  } catch (...) {
    ReportFailedRun(port, services, state, journalNotice, criteria.language);
    throw;
  }
  return state;
}

}  // namespace qm
