#include "engine/journal/redo_run.h"

#include <algorithm>

#include "engine/command/pace.h"
#include "engine/command/port_guards.h"
#include "engine/journal/command_journal.h"
#include "engine/journal/run_documents.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/run_recorder.h"
#include "engine/query/document_field.h"
#include "engine/query/search_field.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

// Entries of the redo written to its journal with one write, before their
// documents are saved.
constexpr std::size_t kWriteChunk = 64;

struct RedoPlan {
  std::vector<DocumentEntry> toRedo;
  std::int64_t left = 0;
};

RedoPlan LookAtRun(HostCollection& collection, SearchField field,
                   const std::vector<RecordedEntry>& entries) {
  std::vector<const DocumentEntry*> saved;
  saved.reserve(entries.size());
  for (const RecordedEntry& entry : entries) {
    saved.push_back(&entry.document);
  }
  const ChangePlan change = PlanChange(collection, field, saved, Direction::Redo);
  RedoPlan plan;
  for (const std::size_t index : change.toWrite) {
    plan.toRedo.push_back(entries[index].document);
  }
  plan.left = change.left;
  return plan;
}

}  // namespace

RedoCounts RedoRun(WindowPort& port, CommandServices& services, HostApplication& host,
                   TextLanguage language, const RunChoice& choice) {
  RedoCounts counts;
  const CommandJournal opened = OpenCommandJournal(port, services, language);
  RunJournal* journal = opened.journal;
  if (journal == nullptr) {
    return counts;
  }
  const QString notice = JournalNotice(journal->TakeMovedAside(), language);
  const std::optional<RunRecord> run =
      choice.run != 0 ? journal->FindRun(choice.run) : std::nullopt;
  if (!run) {
    port.SetNotes(WithJournalNotice(Text(history_text::kRunNotKept, language), notice));
    return counts;
  }
  const std::shared_ptr<HostCollection> collection =
      run->status == RunStatus::Going ? nullptr : FindCollection(host, run->collectionId);
  if (const QString refusal = WhyNotNow(*journal, *run, collection.get(), language, false);
      !refusal.isEmpty()) {
    port.SetNotes(WithJournalNotice(refusal, notice));
    return counts;
  }
  RedoPlan plan;
  {
    BusyCursor busy(port);
    port.SetNotes(Text(undo_text::kLookingAtRun, language));
    plan =
        LookAtRun(*collection, run->field, ChosenEntries(*journal, choice.run, choice.only, true));
  }
  if (plan.toRedo.empty()) {
    port.SetNotes(
        WithJournalNotice(modResource::printf(Text(history_text::kNothingToRedo, language),
                                              {RunTime(*run, language)}),
                          notice));
    return counts;
  }
  const QString field = Text(FieldRecordOf(run->field).textId, language);
  if (!port.Confirm(
          Text(text_id::kCaption, language),
          modResource::printf(Text(history_text::kRedoRunQuestion, language),
                              {RunTime(*run, language), static_cast<qlonglong>(plan.toRedo.size()),
                               run->collectionName, field, run->searchText, run->replaceText}))) {
    port.SetNotes(notice);
    return counts;
  }
  counts.left = plan.left;
  bool cancelled = false;
  try {
    BusyCursor busy(port);
    RunningWindow running(port);
    RunRecorder::Search search{run->field,
                               run->searchText,
                               run->replaceText,
                               run->options,
                               run->folderName,
                               run->includeSubfolders,
                               static_cast<std::int64_t>(plan.toRedo.size()),
                               run->number};
    RunRecorder recorder(journal, *collection, search);
    RunProgress progress(port, search.total);
    for (std::size_t begin = 0; begin < plan.toRedo.size() && !cancelled; begin += kWriteChunk) {
      const std::vector<DocumentEntry> chunk(
          plan.toRedo.begin() + static_cast<std::ptrdiff_t>(begin),
          plan.toRedo.begin() +
              static_cast<std::ptrdiff_t>(std::min(begin + kWriteChunk, plan.toRedo.size())));
      const std::vector<EntryPosition> positions = recorder.Record(chunk);
      std::size_t i = 0;
      try {
        for (; i < chunk.size(); ++i) {
          if (port.TakeCancelRequest()) {
            cancelled = true;
            break;
          }
          if (ChangeOne(port, *collection, run->field, chunk[i], Direction::Redo) == Holds::From) {
            ++counts.redone;
          } else {
            ++counts.left;
            recorder.Forget({positions[i]});
          }
          progress.Step();
          port.SetNotes(QString());
        }
        if (cancelled) {
          recorder.Forget({positions.begin() + static_cast<std::ptrdiff_t>(i), positions.end()});
        }
      } catch (...) {
        try {
          recorder.Forget({positions.begin() + static_cast<std::ptrdiff_t>(i), positions.end()});
        } catch (const Error&) {
          // The entries stay, harmless: their documents still hold what
          // they held before.
        }
        throw;
      }
    }
    recorder.End(cancelled ? RunStatus::Cancelled : RunStatus::Finished);
  } catch (const CollectionBusy& busy) {
    port.SetNotes(WithJournalNotice(BusyNote(busy.activity(), language), notice));
    return counts;
  }
  port.SetNotes(WithJournalNotice(modResource::printf(Text(history_text::kRedoDone, language),
                                                      {static_cast<qlonglong>(counts.redone),
                                                       static_cast<qlonglong>(counts.left)}),
                                  notice));
  services.RequestHostRefresh();
  return counts;
}

}  // namespace qm
