// What the history of runs says about a run and about each of its
// documents, in the user's language: pure functions of what the journal
// keeps and, for a document, what it holds now.
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "engine/journal/run_journal.h"
#include "engine/query/document_texts.h"
#include "text/texts.h"

namespace qm {

enum class HistoryState {
  // In another window whose program is there.
  Running,
  BeingUndone,
  Finished,
  Cancelled,
  Failed,
  Crashed,
  Undone,
  // Some of its documents taken back: chosen alone, or an undo cancelled.
  PartlyUndone,
  // Done again by a later run that is not undone.
  Redone,
};

HistoryState StateOf(const RunRecord& run);

// What can be asked of a run now: an undo while anything of it may still be
// there (and no redo of it holds its documents), a redo once an undo took
// anything of it back.
bool CanUndo(const RunRecord& run);
bool CanRedo(const RunRecord& run);

// The texts of a run's row. `redo` is the run that redid it, when it was.
QString StateText(const RunRecord& run, const RunRecord* redo, TextLanguage language);
QString FolderText(const RunRecord& run, TextLanguage language);
QString ModeText(const RunRecord& run, TextLanguage language);
QString OptionsText(const RunRecord& run, TextLanguage language);
// How much the journal keeps of what it may keep, and what goes first.
QString UsageText(const std::vector<RunRecord>& runs, const JournalLimits& limits,
                  TextLanguage language);

enum class DocumentState {
  // Holds what the run wrote.
  Changed,
  // Holds again what it held before, taken back by an undo.
  Restored,
  // Holds what it held before, and no undo took it back: the run was ended
  // (a kill, a failure) before it came to save it.
  NotSaved,
  // Holds something else: edited since, or written by a later run.
  ChangedSince,
  Gone,
  // Its collection is not there to ask.
  Unknown,
};

// `current` is the document as it reads now (none when it is gone);
// `collectionThere` false when its collection could not be asked.
DocumentState DocumentStateOf(const RecordedEntry& entry,
                              const std::optional<DocumentTexts>& current, bool collectionThere);
QString DocumentStateText(DocumentState state, const std::optional<DocumentTexts>& current,
                          TextLanguage language);

}  // namespace qm
