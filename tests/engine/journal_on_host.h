// A stand-in host with a small collection, a real journal file and a fake
// window, for the tests of runs and their undo; and a journal that fails on
// demand.
#pragma once

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "engine/engine_on_host.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/run/replace_run.h"

namespace qm::testing {

inline QString Shown(const QString& value) {
  return value.isNull() ? QStringLiteral("<null>") : value;
}

class JournalOnHost : public EngineOnHost {
 protected:
  void SetUp() override {
    EngineOnHost::SetUp();
    ASSERT_TRUE(journalDir_.isValid());
    journal_ = OpenRunJournal(journalDir_.path());
  }

  // Every field of every document, in EntryID order, a field without a
  // value told apart from an empty one.
  QStringList Everything() {
    QStringList rows;
    for (const auto& d : hostadmin::ListDocuments(id_)) {
      rows.append(Shown(d.title) + "|" + Shown(d.comment) + "|" + Shown(d.url));
    }
    return rows;
  }

  FakePort Port() {
    FakePort port;
    port.journal = journal_.get();
    return port;
  }

  // A whole run from the collection's root, answered Yes.
  FakePort Run(const QString& search, const QString& replacement, bool remove = false,
               const QString& field = QStringLiteral("Title")) {
    FakePort port = Port();
    port.searchText = search;
    port.replacementText = replacement;
    port.removeMode = remove;
    port.fieldText = field;
    RunState state;
    Replace(port, Folder(1), state);
    return port;
  }

  UndoCounts Undo(FakePort& port) { return testing::Undo(port, *app()); }

  QTemporaryDir journalDir_;
  std::unique_ptr<RunJournal> journal_;
};

// A journal that fails on demand: the real file cannot be made to refuse a
// write to a process that may write everywhere.
class RefusingJournal : public RunJournal {
 public:
  explicit RefusingJournal(RunJournal& inner) : inner_(inner) {}
  bool refuseBegin = false;
  int refuseRecordAt = 0;  // 1-based batch; 0 never
  int records = 0;
  bool refuseForget = false;

  std::int64_t BeginRun(const RunRecord& run) override {
    if (refuseBegin) {
      throw Error(kJournalError, "Test", "read-only");
    }
    return inner_.BeginRun(run);
  }
  std::vector<EntryPosition> RecordEntries(std::int64_t run,
                                           const std::vector<DocumentEntry>& documents) override {
    if (++records == refuseRecordAt) {
      throw Error(kJournalError, "Test", "disk full");
    }
    return inner_.RecordEntries(run, documents);
  }
  void RewriteEntry(std::int64_t run, EntryPosition position,
                    const DocumentEntry& document) override {
    inner_.RewriteEntry(run, position, document);
  }
  void ForgetEntries(std::int64_t run, const std::vector<EntryPosition>& positions) override {
    if (refuseForget) {
      throw Error(kJournalError, "Test", "cannot forget");
    }
    inner_.ForgetEntries(run, positions);
  }
  void EndRun(std::int64_t run, RunStatus end) override { inner_.EndRun(run, end); }
  std::optional<RunRecord> LastUndoableRun() override { return inner_.LastUndoableRun(); }
  std::vector<DocumentEntry> Entries(std::int64_t run) override { return inner_.Entries(run); }
  void MarkUndone(std::int64_t run) override { inner_.MarkUndone(run); }
  std::vector<RunRecord> Runs() override { return inner_.Runs(); }
  std::optional<RunRecord> FindRun(std::int64_t run) override { return inner_.FindRun(run); }
  std::vector<RecordedEntry> ReadEntries(std::int64_t run, EntryPosition after,
                                         std::int64_t limit) override {
    return inner_.ReadEntries(run, after, limit);
  }
  void MarkRestored(std::int64_t run, const std::vector<EntryPosition>& positions) override {
    inner_.MarkRestored(run, positions);
  }
  JournalLimits Limits() const override { return inner_.Limits(); }
  QString TakeMovedAside() override { return inner_.TakeMovedAside(); }
  std::optional<CollectionActivity> ActivityOn(std::int32_t id, const QString& name,
                                               const QString& identity) override {
    return inner_.ActivityOn(id, name, identity);
  }
  void BeginUndo(std::int64_t run) override { inner_.BeginUndo(run); }
  void EndUndo(std::int64_t run) override { inner_.EndUndo(run); }

 private:
  RunJournal& inner_;
};

}  // namespace qm::testing
