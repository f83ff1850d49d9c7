#include "engine/journaled_run.h"

#include <QDateTime>
#include <QDir>

#include "engine/mod_resource.h"
#include "engine/undo_texts.h"

namespace qm {

PortJournal OpenPortJournal(WindowPort& port) {
  try {
    return PortJournal{port.Journal(), false};
  } catch (const JournalTooNew&) {
    port.SetNotes(port.Text(undo_text::kJournalTooNew));
    return PortJournal{nullptr, true};
  }
}

JournaledRun::JournaledRun(RunJournal* journal, HostCollection& collection, const RunState& state)
    : journal_(journal) {
  if (journal_ == nullptr) {
    return;
  }
  JournalRun run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection.ID();
  run.collectionName = collection.Name();
  run.collectionIdentity = collection.Identity();
  run.field = state.fieldIndex;
  run.searchText = state.searchText;
  run.replaceText = state.replaceText;
  number_ = journal_->BeginRun(run);
}

JournaledRun::~JournaledRun() {
  if (ahead_.valid()) {
    ahead_.wait();
  }
  if (journal_ != nullptr && !ended_) {
    try {
      journal_->EndRun(number_, JournalRunState::Failed);
    } catch (const Error&) {
      // The failure that ended the run is the one to report; a run whose
      // end is not written is found ended by a crash, which undoes alike.
    }
  }
}

void JournaledRun::RecordAhead(std::vector<JournalDocument> documents) {
  Settle();
  aheadFailed_ = nullptr;
  if (journal_ == nullptr) {
    recorded_ = std::vector<JournalPosition>(documents.size(), 0);
    return;
  }
  recorded_.clear();
  // The journal is touched by this thread alone until Settle().
  ahead_ = std::async(std::launch::async,
                      [journal = journal_, number = number_, entries = std::move(documents)] {
                        return journal->RecordDocuments(number, entries);
                      });
}

std::vector<JournalPosition> JournaledRun::Recorded() {
  Settle();
  if (aheadFailed_) {
    std::rethrow_exception(aheadFailed_);
  }
  return recorded_;
}

std::optional<std::vector<JournalPosition>> JournaledRun::RecordedIfWritten() {
  Settle();
  if (aheadFailed_) {
    return std::nullopt;
  }
  return recorded_;
}

void JournaledRun::Settle() {
  if (!ahead_.valid()) {
    return;
  }
  try {
    recorded_ = ahead_.get();
  } catch (...) {
    aheadFailed_ = std::current_exception();
  }
}

std::vector<JournalPosition> JournaledRun::Record(const std::vector<JournalDocument>& documents) {
  Settle();
  if (journal_ == nullptr) {
    return std::vector<JournalPosition>(documents.size(), 0);
  }
  return journal_->RecordDocuments(number_, documents);
}

void JournaledRun::Rewrite(JournalPosition position, const JournalDocument& document) {
  Settle();
  if (journal_ != nullptr) {
    journal_->RewriteDocument(number_, position, document);
  }
}

void JournaledRun::Forget(const std::vector<JournalPosition>& positions) {
  Settle();
  if (journal_ != nullptr) {
    journal_->ForgetDocuments(number_, positions);
  }
}

void JournaledRun::End(JournalRunState end) {
  Settle();
  ended_ = true;
  if (journal_ != nullptr) {
    journal_->EndRun(number_, end);
  }
}

QString WithJournalNotice(const QString& note, const QString& notice) {
  return notice.isEmpty() ? note : note + QLatin1Char(' ') + notice;
}

QString JournalNotice(WindowPort& port, const QString& movedTo) {
  if (movedTo.isEmpty()) {
    return QString();
  }
  return modResource::printf(port.Text(undo_text::kJournalMovedAside),
                             {QDir::toNativeSeparators(movedTo)});
}

QString BusyNote(WindowPort& port, const CollectionActivity& activity) {
  return modResource::printf(
      port.Text(activity.undoing ? undo_text::kCollectionBusyUndo : undo_text::kCollectionBusyRun),
      {activity.run.collectionName, activity.run.searchText, activity.run.replaceText});
}

}  // namespace qm
