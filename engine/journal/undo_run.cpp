#include "engine/journal/undo_run.h"

#include <algorithm>

#include "engine/command/pace.h"
#include "engine/command/port_guards.h"
#include "engine/journal/command_journal.h"
#include "engine/journal/run_documents.h"
#include "engine/journal/run_journal.h"
#include "engine/query/document_field.h"
#include "engine/query/search_field.h"
#include "platform/error.h"
#include "text/mod_resource.h"

namespace qm {
namespace {

// Entries marked as taken back with one write, ahead of their saves.
constexpr std::size_t kMarkChunk = 64;

// What an undo of a run would do, looked at before it asks: the entries it
// will restore (latest first, as it takes them back), and the documents it
// leaves because they changed since.
struct UndoPlan {
  std::vector<RecordedEntry> entries;
  std::vector<std::size_t> toRestore;
  std::int64_t left = 0;
};

UndoPlan LookAtRun(HostCollection& collection, SearchField field,
                   std::vector<RecordedEntry> entries) {
  UndoPlan plan;
  plan.entries = std::move(entries);
  std::vector<const DocumentEntry*> latestFirst;
  latestFirst.reserve(plan.entries.size());
  for (auto entry = plan.entries.rbegin(); entry != plan.entries.rend(); ++entry) {
    latestFirst.push_back(&entry->document);
  }
  const ChangePlan change = PlanChange(collection, field, latestFirst, Direction::Undo);
  for (const std::size_t index : change.toWrite) {
    plan.toRestore.push_back(plan.entries.size() - 1 - index);
  }
  plan.left = change.left;
  return plan;
}

// The texts of an undo: Ctrl+Z's speak of "the last run", the history's
// name the run by when it began.
struct UndoWords {
  bool chosen = false;
  TextLanguage language = TextLanguage::English;

  QString Say(int lastRunText, int chosenText, const RunRecord& run, QVariantList values) const {
    if (!chosen) {
      return modResource::printf(Text(lastRunText, language), values);
    }
    values.prepend(RunTime(run, language));
    return modResource::printf(Text(chosenText, language), values);
  }
};

// A run that ended by itself says how many documents it changed; one that
// did not (a kill, a failure) may have entries written ahead of saves that
// never came, so it says how many still hold what it wrote.
bool EndedByItself(const RunRecord& run) {
  return run.status == RunStatus::Finished || run.status == RunStatus::Cancelled;
}

QString Question(const RunRecord& run, std::size_t restorable, const UndoWords& words) {
  const QString field = Text(FieldRecordOf(run.field).textId, words.language);
  const QVariantList values{static_cast<qlonglong>(restorable), run.collectionName, field,
                            run.searchText, run.replaceText};
  if (words.chosen) {
    return words.Say(0, history_text::kUndoRunQuestion, run, values);
  }
  if (EndedByItself(run)) {
    QVariantList whole = values;
    whole[0] = static_cast<qlonglong>(run.documents);
    return words.Say(undo_text::kUndoQuestion, 0, run, whole);
  }
  return words.Say(undo_text::kUndoQuestionUnfinished, 0, run, values);
}

// Ends the undo's mark on its run however the undo ends.
class UndoMark {
 public:
  UndoMark(RunJournal& journal, std::int64_t run) : journal_(journal), run_(run) {
    journal_.BeginUndo(run_);
  }
  ~UndoMark() {
    try {
      journal_.EndUndo(run_);
    } catch (const Error&) {
      // Its owner's lock is gone with it: nobody finds the undo going.
    }
  }
  UndoMark(const UndoMark&) = delete;
  UndoMark& operator=(const UndoMark&) = delete;

 private:
  RunJournal& journal_;
  std::int64_t run_;
};

// The run an undo takes: the chosen one, or the last one not undone yet.
std::optional<RunRecord> RunToUndo(RunJournal& journal, std::int64_t chosen) {
  return chosen != 0 ? journal.FindRun(chosen) : journal.LastUndoableRun();
}

}  // namespace

QString WhyNotNow(RunJournal& journal, const RunRecord& run, const HostCollection* collection,
                  TextLanguage language, bool lastRun) {
  const auto say = [&](int lastRunText, int chosenText, QVariantList values, bool whenItBegan) {
    if (!lastRun && whenItBegan) {
      values.prepend(RunTime(run, language));
    }
    return modResource::printf(Text(lastRun ? lastRunText : chosenText, language), values);
  };
  if (run.status == RunStatus::Going) {
    return say(undo_text::kRunStillGoing, history_text::kRunGoingElsewhere,
               {run.searchText, run.replaceText}, true);
  }
  if (collection == nullptr) {
    return say(undo_text::kCollectionGone, history_text::kRunCollectionGone, {run.collectionName},
               false);
  }
  if (!run.collectionIdentity.isEmpty() && collection->Identity() != run.collectionIdentity) {
    return say(undo_text::kCollectionNotSame, history_text::kRunCollectionNotSame,
               {run.collectionName}, false);
  }
  if (const auto busy =
          journal.ActivityOn(run.collectionId, run.collectionName, run.collectionIdentity)) {
    return BusyNote(*busy, language);
  }
  return {};
}

QString TimeText(const QDateTime& time, TextLanguage language) {
  return time.toLocalTime().toString(language == TextLanguage::German
                                         ? QStringLiteral("dd.MM.yyyy HH:mm:ss")
                                         : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

UndoCounts UndoLastRun(WindowPort& port, CommandServices& services, HostApplication& host,
                       TextLanguage language) {
  return UndoRun(port, services, host, language, RunChoice{});
}

UndoCounts UndoRun(WindowPort& port, CommandServices& services, HostApplication& host,
                   TextLanguage language, const RunChoice& choice) {
  UndoCounts counts;
  const UndoWords words{choice.run != 0, language};
  const CommandJournal opened = OpenCommandJournal(port, services, language);
  RunJournal* journal = opened.journal;
  if (journal == nullptr) {
    return counts;
  }
  const QString notice = JournalNotice(journal->TakeMovedAside(), language);
  const std::optional<RunRecord> run = RunToUndo(*journal, choice.run);
  if (!run) {
    port.SetNotes(WithJournalNotice(
        Text(words.chosen ? history_text::kRunNotKept : undo_text::kNothingToUndo, language),
        notice));
    return counts;
  }
  const std::shared_ptr<HostCollection> collection =
      run->status == RunStatus::Going ? nullptr : FindCollection(host, run->collectionId);
  if (const QString refusal = WhyNotNow(*journal, *run, collection.get(), language, !words.chosen);
      !refusal.isEmpty()) {
    port.SetNotes(WithJournalNotice(refusal, notice));
    return counts;
  }
  UndoPlan plan;
  {
    BusyCursor busy(port);
    port.SetNotes(Text(undo_text::kLookingAtRun, language));
    plan = LookAtRun(*collection, run->field,
                     ChosenEntries(*journal, run->number, choice.only, false));
  }
  if (plan.toRestore.empty() && (words.chosen || !EndedByItself(*run))) {
    // Nothing of it is left to take back; the next undo offers the run
    // before it.
    if (!choice.only) {
      journal->MarkUndone(run->number);
    }
    port.SetNotes(WithJournalNotice(
        words.Say(undo_text::kNothingLeftOfRun, history_text::kNothingToUndoOfRun, *run,
                  words.chosen ? QVariantList{} : QVariantList{run->searchText, run->replaceText}),
        notice));
    return counts;
  }
  if (!port.Confirm(Text(text_id::kCaption, language),
                    Question(*run, plan.toRestore.size(), words))) {
    port.SetNotes(notice);
    return counts;
  }
  bool cancelled = false;
  try {
    const UndoMark mark(*journal, run->number);
    BusyCursor busy(port);
    RunningWindow running(port);
    RunProgress progress(port, static_cast<std::int64_t>(plan.toRestore.size()));
    counts.left = plan.left;
    for (std::size_t next = 0; next < plan.toRestore.size() && !cancelled; ++next) {
      if (next % kMarkChunk == 0) {
        // Marked before they are written: a mark on a document the undo
        // then did not come to is harmless, as that document still holds
        // what the run wrote, which a redo leaves.
        std::vector<EntryPosition> marks;
        for (std::size_t i = next; i < std::min(next + kMarkChunk, plan.toRestore.size()); ++i) {
          marks.push_back(plan.entries[plan.toRestore[i]].position);
        }
        journal->MarkRestored(run->number, marks);
      }
      if (port.TakeCancelRequest()) {
        cancelled = true;
        break;
      }
      const DocumentEntry& entry = plan.entries[plan.toRestore[next]].document;
      switch (ChangeOne(port, *collection, run->field, entry, Direction::Undo)) {
        case Holds::From:
          ++counts.restored;
          break;
        case Holds::Other:
          ++counts.left;
          break;
        case Holds::To:
          break;
      }
      progress.Step();
      port.SetNotes(QString());
    }
  } catch (const CollectionBusy& busy) {
    // Another window began meanwhile: nothing was restored.
    port.SetNotes(WithJournalNotice(BusyNote(busy.activity(), language), notice));
    return counts;
  }
  if (!cancelled && !choice.only) {
    journal->MarkUndone(run->number);
  }
  port.SetNotes(WithJournalNotice(modResource::printf(Text(undo_text::kUndoDone, language),
                                                      {static_cast<qlonglong>(counts.restored),
                                                       static_cast<qlonglong>(counts.left)}),
                                  notice));
  services.RequestHostRefresh();
  return counts;
}

}  // namespace qm
