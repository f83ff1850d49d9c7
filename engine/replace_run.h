// The replace run behind the Start button.
//
// In order: the input check (a remove needs a search text, a replace a
// search text or a replacement text; otherwise note 109 or 139 and the focus
// on the box to fill); the search-string history saved while the Title field
// is chosen; the start folder and the query's snapshot of matching documents;
// the confirmation question with their count (text 127 or 128, title text
// 100); the run entered in the window's journal (a journal written by a
// newer version refuses the run, which the notes line then says, and nothing
// changes); the rewrite of document after document in batches, taken from
// the snapshot's order (rewrite_document.h), with the window in its running
// state and a Cancel request honoured before each document; the count of changed documents (text
// 110 after the number, or text 111) in the notes line; and the host asked to refresh its folder
// tree. A declined question leaves every document as it was, empties the notes and asks for no
// refresh. A start folder whose scope holds no folder counts as nothing found, without a query.
//
// The start folder is asked for only after the input check and the history,
// so that a window without a host still answers a missing search text with
// its note. A stop request (the Cancel tag, which closing the window also
// leaves) is taken from the start of the run only: one left over from an
// earlier run is dropped. One that arrives while the folders are walked or
// the query runs ends the run before the question, with nothing changed.
//
// The question and the rewrite both use what the run read when it started
// (mode, replacement text, field), not the controls' later state, so the
// question always describes what the run then does.
//
// Failures (start folder, host, database, registry, formatter) propagate as
// qm::Error. The wait cursor and the running state are put back first, every
// document saved before the failure stays saved, and `updatedCount` says how
// many there are; when there are any, the notes line reports them and the
// host is asked to refresh before the error leaves the run, otherwise the
// notes line says "-".
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "engine/match_query.h"
#include "engine/rewrite_document.h"
#include "engine/run_state.h"
#include "engine/window_port.h"
#include "hostlib/host_library.h"

namespace qm {

// Gives the start folder; throws qm::Error when there is none.
using StartFolderSource = std::function<std::shared_ptr<HostFolder>()>;

void ReplaceRun(WindowPort& port, const StartFolderSource& startFolder, RunState& state);

// What a run has found when it is about to ask the user: its collection, its
// scope and field, the mode it read, and the snapshot of the matching
// documents (one at least).
struct RunSnapshot {
  const std::shared_ptr<HostCollection>& collection;
  const std::optional<QueryScope>& scope;
  const ChosenField& chosen;
  bool removeMode;
  const Matches& matches;
  // Closes the snapshot; an approval that has read it may close it early.
  RecordsetCloser& closer;
};

// What the user approved: the documents to rewrite in the run's order (the
// snapshot itself, or some of its documents, as the approval made), null
// when the user declined; and, from a review, what it showed of each.
struct ApprovedDocuments {
  std::shared_ptr<HostRecordset> documents;
  // Valid while `documents` is; its digest is that of the current row.
  const ShownValues* shown = nullptr;
};

// Asks the user before a run writes anything. Start's approval is the
// confirmation question.
using RunApproval = std::function<ApprovedDocuments(WindowPort& port, const RunSnapshot& snapshot,
                                                    const RunState& state)>;

// The run with another approval in place of the question; everything else,
// from the input check to the refresh, is the same.
void ReplaceRun(WindowPort& port, const StartFolderSource& startFolder, RunState& state,
                const RunApproval& approve);

// The same, for a start folder known beforehand.
void ReplaceRun(WindowPort& port, const std::shared_ptr<HostFolder>& selectedFolder,
                RunState& state);

// The closing note of a run: the count followed by text 110, or text 111
// when no document was changed.
QString CompletionNote(WindowPort& port, std::int32_t updatedCount);
// The same, followed by how many documents no longer existed, if any did.
QString RunNote(WindowPort& port, const RunState& state);

}  // namespace qm
