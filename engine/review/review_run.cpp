#include "engine/review/review_run.h"

#include <QDeadlineTimer>

#include "engine/query/entry_id_column.h"
#include "engine/review/checked_documents.h"
#include "engine/review/review_list.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

// The window as the run sees it during an Apply, keeping the notes line's
// last text so that the review can add to the run's closing note whatever
// that note says.
class NotesKept final : public WindowPort {
 public:
  explicit NotesKept(WindowPort& port) : port_(port) {}
  const QString& Notes() const { return notes_; }

  bool IncludeSubfolders() override { return port_.IncludeSubfolders(); }
  void ProcessEvents() override { port_.ProcessEvents(); }
  void SetNotes(const QString& text) override {
    notes_ = text;
    port_.SetNotes(text);
  }
  void FocusSearchBox() override { port_.FocusSearchBox(); }
  void FocusReplacementBox() override { port_.FocusReplacementBox(); }
  bool Confirm(const QString& title, const QString& question) override {
    return port_.Confirm(title, question);
  }
  bool ConfirmWithDetails(const QString& title, const QString& question,
                          const QString& details) override {
    return port_.ConfirmWithDetails(title, question, details);
  }
  void SetBusyCursor(bool busy) override { port_.SetBusyCursor(busy); }
  void SetRunning(bool running) override { port_.SetRunning(running); }
  void ShowProgress(std::int64_t done, std::int64_t total) override {
    port_.ShowProgress(done, total);
  }
  void PauseProgress(bool paused) override { port_.PauseProgress(paused); }
  void EndProgress() override { port_.EndProgress(); }
  void Pause(int milliseconds) override { port_.Pause(milliseconds); }
  bool TakeCancelRequest() override { return port_.TakeCancelRequest(); }

 private:
  WindowPort& port_;
  QString notes_;
};

}  // namespace

RunState ReviewRun(WindowPort& port, CommandServices& services, ReviewPort& review,
                   const SearchCriteria& criteria) {
  bool applied = false;
  const RunApproval approve = [&review, &applied](WindowPort&, const RunSnapshot& snapshot,
                                                  const SearchCriteria&,
                                                  const RunState& run) -> ApprovedDocuments {
    auto list = std::make_shared<ReviewList>(
        snapshot.collection,
        ReviewCriteria{run.fieldIndex, run.searchText, run.replaceText, run.options},
        ReadEntryIds(*snapshot.matches.recordset, snapshot.matches.count));
    // The list holds the IDs now; the snapshot's own copy is not needed.
    snapshot.closer.Close();
    if (!review.Review(*list)) {
      return {};
    }
    // A window applies a complete list; this only guards the promise.
    while (!list->Complete()) {
      list->LookAtMore(QDeadlineTimer(QDeadlineTimer::Forever));
    }
    applied = true;
    auto checked = std::make_shared<CheckedDocuments>(list);
    return {checked, checked.get(), list->CheckedCount()};
  };
  NotesKept notes(port);
  const RunState state = ReplaceRun(notes, services, criteria, approve);
  // The batched rewrite reads documents ahead of the one it writes: after a
  // Cancel, those it read but never came to are not "left".
  if (applied && state.leftCount > 0) {
    port.SetNotes(notes.Notes() + QLatin1Char(' ') +
                  modResource::printf(Text(review_text::kLeftSinceListed, criteria.language),
                                      {static_cast<qlonglong>(state.leftCount)}));
  }
  return state;
}

}  // namespace qm
