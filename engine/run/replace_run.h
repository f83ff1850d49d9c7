// The replace run behind the Start button.
//
// In order: the input check (a remove needs a search text, a replace a
// search text or a replacement text; otherwise the note text_id::kNoSearchText
// or text_id::kNoReplacementText and the focus on the box to fill), then
// the search itself (a bad pattern or a missing group refused with its
// note, search_refusal.h); the search-string history saved while the Title
// field is chosen; the start folder and the snapshot of matching documents
// (with search options, decided one by one: exact_matches.h); the journal opened
// (one written by a newer version refuses the run, another window changing
// the collection too, which the notes line then says, and nothing changes);
// the confirmation question with their count (text_id::kConfirmReplace or
// kConfirmRemove, titled text_id::kCaption); the run entered in the journal;
// the rewrite of document after document in batches, taken from the
// snapshot's order (batch_rewrite.h), with the window in its running state,
// showing how many of the approved documents are done, and a Cancel
// request honoured before each document; the count of changed
// documents (the number and text_id::kDocumentsUpdated, or
// text_id::kNoDocumentsFound) in the notes line, with how many no longer
// existed; and the host asked to refresh its folder tree. A declined
// question leaves every document as it was, empties the notes and asks for
// no refresh. A start folder whose scope holds no folder counts as nothing
// found, without a query.
//
// The run does what the criteria say, read from the window when the command
// started, whatever the controls show later. A stop request (the Cancel tag,
// which closing the window also leaves) is taken from the start of the run
// only: one left over from an earlier run is dropped. One that arrives while
// the folders are walked or the query runs ends the run before the
// question, with nothing changed.
//
// The run's state comes back as a value. Failures (start folder, host,
// database, registry, formatter) propagate as FailedRun, which carries the
// state: the wait cursor, the running state and the progress are put back first, every
// document saved before the failure stays saved, and its `updatedCount`
// says how many there are; when there are any, the notes line reports them
// and the host is asked to refresh before the error leaves the run,
// otherwise the notes line says "-".
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "engine/command/command_services.h"
#include "engine/command/search_criteria.h"
#include "engine/command/window_port.h"
#include "engine/query/match_query.h"
#include "engine/run/batch_rewrite.h"
#include "engine/run/run_state.h"
#include "hostlib/host_library.h"
#include "platform/error.h"

namespace qm {

// A run that failed after it began: the failure, and what the run had done.
class FailedRun : public Error {
 public:
  FailedRun(const Error& failure, RunState state) : Error(failure), state_(std::move(state)) {}
  const RunState& state() const { return state_; }

 private:
  RunState state_;
};

RunState ReplaceRun(WindowPort& port, CommandServices& services, const SearchCriteria& criteria);

// What a run has found when it is about to ask the user: its collection, its
// scope, and the snapshot of the matching documents (one at least).
struct RunSnapshot {
  const std::shared_ptr<HostCollection>& collection;
  const std::optional<QueryScope>& scope;
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
  // How many documents `documents` holds: the total of the run's progress
  // (none shows for 0).
  std::int64_t count = 0;
};

// Asks the user before a run writes anything. Start's approval is the
// confirmation question.
using RunApproval =
    std::function<ApprovedDocuments(WindowPort& port, const RunSnapshot& snapshot,
                                    const SearchCriteria& criteria, const RunState& state)>;

// The run with another approval in place of the question; everything else,
// from the input check to the refresh, is the same.
RunState ReplaceRun(WindowPort& port, CommandServices& services, const SearchCriteria& criteria,
                    const RunApproval& approve);

// The closing note of a run: the count followed by text_id::kDocumentsUpdated,
// or text_id::kNoDocumentsFound when no document was changed.
QString CompletionNote(std::int32_t updatedCount, TextLanguage language);
// The same, followed by how many documents no longer existed, if any did,
// and how many the pattern's match limit left (LimitNote).
QString RunNote(const RunState& state, TextLanguage language);
// A blank and text_id::kMatchLimitLeft with the count; empty for none.
QString LimitNote(std::int32_t limitCount, TextLanguage language);

// The field's display text, as the field list shows it and the questions
// name it.
QString FieldName(SearchField field, TextLanguage language);

}  // namespace qm
