#include "engine/journal/run_recorder.h"

#include <QDateTime>

namespace qm {

RunRecorder::RunRecorder(RunJournal* journal, HostCollection& collection, const Search& search)
    : journal_(journal) {
  if (journal_ == nullptr) {
    return;
  }
  RunRecord run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection.ID();
  run.collectionName = collection.Name();
  run.collectionIdentity = collection.Identity();
  run.field = search.field;
  run.searchText = search.searchText;
  run.replaceText = search.replaceText;
  run.options = search.options;
  run.folderName = search.folderName;
  run.includeSubfolders = search.includeSubfolders;
  run.total = search.total;
  run.redoOf = search.redoOf;
  number_ = journal_->BeginRun(run);
}

RunRecorder::~RunRecorder() {
  if (ahead_.valid()) {
    ahead_.wait();
  }
  if (journal_ != nullptr && !ended_) {
    try {
      journal_->EndRun(number_, RunStatus::Failed);
    } catch (const Error&) {
      // The failure that ended the run is the one to report; a run whose
      // end is not written is found ended by a crash, which undoes alike.
    }
  }
}

void RunRecorder::RecordAhead(std::vector<DocumentEntry> documents) {
  Settle();
  aheadFailed_ = nullptr;
  if (journal_ == nullptr) {
    recorded_ = std::vector<EntryPosition>(documents.size(), 0);
    return;
  }
  recorded_.clear();
  // The journal is touched by this thread alone until Settle().
  ahead_ = std::async(std::launch::async,
                      [journal = journal_, number = number_, entries = std::move(documents)] {
                        return journal->RecordEntries(number, entries);
                      });
}

std::vector<EntryPosition> RunRecorder::Recorded() {
  Settle();
  if (aheadFailed_) {
    std::rethrow_exception(aheadFailed_);
  }
  return recorded_;
}

std::optional<std::vector<EntryPosition>> RunRecorder::RecordedIfWritten() {
  Settle();
  if (aheadFailed_) {
    return std::nullopt;
  }
  return recorded_;
}

void RunRecorder::Settle() {
  if (!ahead_.valid()) {
    return;
  }
  try {
    recorded_ = ahead_.get();
  } catch (...) {
    aheadFailed_ = std::current_exception();
  }
}

std::vector<EntryPosition> RunRecorder::Record(const std::vector<DocumentEntry>& documents) {
  Settle();
  if (journal_ == nullptr) {
    return std::vector<EntryPosition>(documents.size(), 0);
  }
  return journal_->RecordEntries(number_, documents);
}

void RunRecorder::Rewrite(EntryPosition position, const DocumentEntry& document) {
  Settle();
  if (journal_ != nullptr) {
    journal_->RewriteEntry(number_, position, document);
  }
}

void RunRecorder::Forget(const std::vector<EntryPosition>& positions) {
  Settle();
  if (journal_ != nullptr) {
    journal_->ForgetEntries(number_, positions);
  }
}

void RunRecorder::End(RunStatus end) {
  Settle();
  ended_ = true;
  if (journal_ != nullptr) {
    journal_->EndRun(number_, end);
  }
}

}  // namespace qm
