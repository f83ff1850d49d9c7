// The journal over SQLite. Statements that a run repeats are prepared once;
// the rest are prepared per call, which costs little next to the commit
// they end with.
#include "engine/journal/run_journal.h"

#include <QDir>
#include <QStandardPaths>

#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "engine/journal/journal_db.h"
#include "engine/journal/journal_file.h"
#include "platform/whole_number.h"

namespace qm {
namespace {

using journal::Db;
using journal::Statement;
using journal::Transaction;

// What an entry adds to the journal's size besides its values, roughly as
// the file holds it.
constexpr std::int64_t kRowOverhead = 24;

QString NotNull(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }

// "SELECT" the columns ReadRun() reads (Owner and `more` after them), then
// `rest`.
std::string SelectRuns(const char* more, const char* rest) {
  return std::string(
             "SELECT Number, Started, CollectionID, CollectionName, CollectionIdentity, Field, "
             "SearchText, ReplaceText, Documents, State, Options, Folder, Subfolders, Total, "
             "RedoOf, Undone, UndoneAt, Restored, Bytes, Owner") +
         more + " FROM Run " + rest;
}
constexpr int kOwnerColumn = 19;

// The options as the column Options keeps them, one bit each.
constexpr std::int64_t kMatchCase = 1;
constexpr std::int64_t kWholeWords = 2;
constexpr std::int64_t kPattern = 4;
constexpr std::int64_t kPreserveCase = 8;

std::int64_t BitsOf(const SearchOptions& options) {
  const auto bit = [](bool on, std::int64_t value) { return on ? value : std::int64_t{0}; };
  return bit(options.matchCase, kMatchCase) | bit(options.wholeWords, kWholeWords) |
         bit(options.pattern, kPattern) | bit(options.preserveCase, kPreserveCase);
}

SearchOptions OptionsFromBits(std::int64_t bits) {
  return SearchOptions{(bits & kMatchCase) != 0, (bits & kWholeWords) != 0, (bits & kPattern) != 0,
                       (bits & kPreserveCase) != 0};
}

RunRecord ReadRun(const Statement& row) {
  RunRecord run;
  run.number = row.Int(0);
  run.started = QDateTime::fromString(row.Text(1), Qt::ISODateWithMs);
  run.collectionId = static_cast<std::int32_t>(row.Int(2));
  run.collectionName = row.Text(3);
  run.collectionIdentity = row.Text(4);
  run.field = static_cast<SearchField>(row.Int(5));
  run.searchText = row.Text(6);
  run.replaceText = row.Text(7);
  run.documents = row.Int(8);
  run.status = static_cast<RunStatus>(row.Int(9));
  run.options = OptionsFromBits(row.Int(10));
  run.folderName = row.Text(11);
  run.includeSubfolders = row.Int(12) != 0;
  run.total = row.Int(13);
  run.redoOf = row.Int(14);
  run.undone = row.Int(15) != 0;
  run.undoneAt = QDateTime::fromString(row.Text(16), Qt::ISODateWithMs);
  run.restored = row.Int(17);
  run.bytes = row.Int(18);
  return run;
}

// About how many bytes a value takes in the file.
std::int64_t SizeInFile(const QString& text) { return text.toUtf8().size(); }
std::int64_t SizeInFile(const QVariant& value) {
  return WholeNumber(value) ? std::int64_t{sizeof(std::int64_t)} : SizeInFile(value.toString());
}

// An EntryID as the journal keeps it: a whole number as one, anything else
// as its text.
Statement& BindEntryId(Statement& statement, int index, const QVariant& entryId) {
  if (const std::optional<std::int64_t> number = WholeNumber(entryId)) {
    return statement.Bind(index, *number);
  }
  return statement.Bind(index, entryId.toString());
}

// What an entry counts for the journal's size bound: recorded, forgotten
// and written again by the same measure, so that a run's Bytes stays what
// its entries hold.
std::int64_t EntrySize(const QVariant& entryId, const QString& before, const QString& after) {
  return kRowOverhead + SizeInFile(entryId) + SizeInFile(before) + SizeInFile(after);
}

class SqliteRunJournal final : public RunJournal {
 public:
  SqliteRunJournal(QString folder, journal::JournalFile opened, const JournalLimits& limits)
      : folder_(std::move(folder)),
        opened_(std::move(opened)),
        db_(*opened_.db),
        limits_(limits),
        insert_(db_,
                "INSERT INTO RunDocument(Run, Position, EntryID, Before, After) "
                "VALUES(?1, ?2, ?3, ?4, ?5)",
                "Recording documents in"),
        nextPosition_(db_,
                      "UPDATE Counter SET Value = Value + ?1 WHERE Name = 'Position' "
                      "RETURNING Value",
                      "Recording documents in"),
        addToRun_(db_,
                  "UPDATE Run SET LastPosition = ?2, Documents = Documents + ?3, "
                  "Bytes = Bytes + ?4 WHERE Number = ?1",
                  "Recording documents in"),
        readEntries_(db_,
                     "SELECT Position, EntryID, Before, After, Restored FROM RunDocument "
                     "WHERE Run = ?1 AND Position > ?2 ORDER BY Position LIMIT ?3",
                     "Reading") {}

  ~SqliteRunJournal() override {
    // Runs still owned here end with this journal, as with a crash: their
    // lock goes, and whoever looks next finds them ended.
    for (auto* locks : {&owned_, &undoing_}) {
      for (auto& [number, lock] : *locks) {
        lock->RemoveAndRelease();
      }
    }
    opened_.session->RemoveAndRelease();
  }

  std::int64_t BeginRun(const RunRecord& run) override {
    const journal::Owner owner = journal::NewOwner(opened_.sessionName);
    std::unique_ptr<platform::FileLock> lock = TakeOwnerLock(owner);
    std::int64_t number = 0;
    try {
      Transaction transaction(db_);
      // Under the journal's write lock: two windows that start at once on
      // one collection cannot both find it free.
      if (auto busy = FindActivity(run.collectionId, run.collectionName, run.collectionIdentity)) {
        throw CollectionBusy(std::move(*busy));
      }
      Statement insert(db_,
                       "INSERT INTO Run(Started, CollectionID, CollectionName, CollectionIdentity, "
                       "Field, SearchText, ReplaceText, State, Owner, Options, Folder, "
                       "Subfolders, Total, RedoOf) "
                       "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, 0, ?8, ?9, ?10, ?11, ?12, ?13)",
                       "Entering a run in");
      insert.Bind(1, run.started.toUTC().toString(Qt::ISODateWithMs));
      insert.Bind(2, std::int64_t{run.collectionId});
      insert.Bind(3, NotNull(run.collectionName));
      insert.Bind(4, NotNull(run.collectionIdentity));
      insert.Bind(5, std::int64_t{static_cast<int>(run.field)});
      insert.Bind(6, NotNull(run.searchText));
      insert.Bind(7, NotNull(run.replaceText));
      insert.Bind(8, owner.recorded);
      insert.Bind(9, BitsOf(run.options));
      insert.Bind(10, NotNull(run.folderName));
      insert.Bind(11, std::int64_t{run.includeSubfolders ? 1 : 0});
      insert.Bind(12, run.total);
      insert.Bind(13, run.redoOf);
      insert.Run();
      number = sqlite3_last_insert_rowid(db_.get());
      DropOldRuns(number);
      transaction.Commit();
    } catch (...) {
      lock->RemoveAndRelease();
      throw;
    }
    owned_[number] = std::move(lock);
    return number;
  }

  std::vector<EntryPosition> RecordEntries(std::int64_t run,
                                           const std::vector<DocumentEntry>& documents) override {
    std::vector<EntryPosition> positions;
    if (documents.empty()) {
      return positions;
    }
    const auto count = static_cast<std::int64_t>(documents.size());
    Transaction transaction(db_);
    nextPosition_.Reset();
    nextPosition_.Bind(1, count);
    nextPosition_.Step();
    const std::int64_t last = nextPosition_.Int(0);
    nextPosition_.Run();
    std::int64_t bytes = 0;
    for (std::int64_t i = 0; i < count; ++i) {
      const DocumentEntry& document = documents[static_cast<std::size_t>(i)];
      const EntryPosition position = last - count + 1 + i;
      insert_.Reset();
      insert_.Bind(1, run);
      insert_.Bind(2, position);
      const QString after = NotNull(document.after);
      BindEntryId(insert_, 3, document.entryId).Bind(4, document.before).Bind(5, after).Run();
      bytes += EntrySize(document.entryId, document.before, after);
      positions.push_back(position);
    }
    addToRun_.Reset();
    addToRun_.Bind(1, run);
    addToRun_.Bind(2, last);
    addToRun_.Bind(3, count);
    addToRun_.Bind(4, bytes);
    addToRun_.Run();
    transaction.Commit();
    return positions;
  }

  void RewriteEntry(std::int64_t run, EntryPosition position,
                    const DocumentEntry& document) override {
    Transaction transaction(db_);
    Statement old(db_,
                  "SELECT EntryID, Before, After FROM RunDocument WHERE Run = ?1 AND Position = ?2",
                  "Recording a document in");
    old.Bind(1, run);
    old.Bind(2, position);
    if (!old.Step()) {
      return;  // forgotten already: nothing to write again
    }
    const QString after = NotNull(document.after);
    const std::int64_t change = EntrySize(document.entryId, document.before, after) -
                                EntrySize(old.Value(0), old.Text(1), old.Text(2));
    old.Reset();
    Statement rewrite(db_,
                      "UPDATE RunDocument SET EntryID = ?3, Before = ?4, After = ?5 "
                      "WHERE Run = ?1 AND Position = ?2",
                      "Recording a document in");
    rewrite.Bind(1, run);
    rewrite.Bind(2, position);
    BindEntryId(rewrite, 3, document.entryId);
    rewrite.Bind(4, document.before);
    rewrite.Bind(5, after);
    rewrite.Run();
    Statement size(db_, "UPDATE Run SET Bytes = Bytes + ?2 WHERE Number = ?1",
                   "Recording a document in");
    size.Bind(1, run);
    size.Bind(2, change);
    size.Run();
    transaction.Commit();
  }

  void ForgetEntries(std::int64_t run, const std::vector<EntryPosition>& positions) override {
    if (positions.empty()) {
      return;
    }
    Transaction transaction(db_);
    Statement forget(db_,
                     "DELETE FROM RunDocument WHERE Run = ?1 AND Position = ?2 "
                     "RETURNING EntryID, Before, After",
                     "Recording documents in");
    std::int64_t forgotten = 0;
    std::int64_t bytes = 0;
    for (const EntryPosition position : positions) {
      forget.Reset();
      forget.Bind(1, run);
      forget.Bind(2, position);
      while (forget.Step()) {
        ++forgotten;
        bytes += EntrySize(forget.Value(0), forget.Text(1), forget.Text(2));
      }
    }
    Statement count(
        db_, "UPDATE Run SET Documents = Documents - ?2, Bytes = Bytes - ?3 WHERE Number = ?1",
        "Recording documents in");
    count.Bind(1, run);
    count.Bind(2, forgotten);
    count.Bind(3, bytes);
    count.Run();
    transaction.Commit();
  }

  void EndRun(std::int64_t run, RunStatus end) override {
    std::unique_ptr<platform::FileLock> lock;
    if (const auto owned = owned_.find(run); owned != owned_.end()) {
      lock = std::move(owned->second);
      owned_.erase(owned);
    }
    // The lock goes however the write ends: a run whose end could not be
    // written is found ended by a crash.
    try {
      // A run's entries are written a batch ahead of its saves: its end,
      // after its last save, places it among the runs of other windows.
      Transaction transaction(db_);
      nextPosition_.Reset();
      nextPosition_.Bind(1, std::int64_t{1});
      nextPosition_.Step();
      const std::int64_t last = nextPosition_.Int(0);
      nextPosition_.Run();
      Statement state(
          db_, "UPDATE Run SET State = ?2, LastPosition = ?3 WHERE Number = ?1 AND State = 0",
          "Ending a run in");
      state.Bind(1, run);
      state.Bind(2, std::int64_t{static_cast<std::int32_t>(end)});
      state.Bind(3, last);
      state.Run();
      transaction.Commit();
    } catch (...) {
      if (lock) {
        lock->RemoveAndRelease();
      }
      throw;
    }
    if (lock) {
      lock->RemoveAndRelease();
    }
  }

  std::optional<RunRecord> LastUndoableRun() override {
    Statement last(db_,
                   SelectRuns("",
                              "WHERE Undone = 0 AND Documents > 0 "
                              "ORDER BY LastPosition DESC, Number DESC LIMIT 1")
                       .c_str(),
                   "Reading");
    return FirstRun(last);
  }

  std::vector<DocumentEntry> Entries(std::int64_t run) override {
    Statement documents(db_,
                        "SELECT EntryID, Before, After FROM RunDocument WHERE Run = ?1 "
                        "ORDER BY Position",
                        "Reading");
    documents.Bind(1, run);
    std::vector<DocumentEntry> result;
    while (documents.Step()) {
      // The column After holds a text always, an empty one too.
      result.push_back(
          DocumentEntry{documents.Value(0), documents.Text(1), NotNull(documents.Text(2))});
    }
    return result;
  }

  void MarkUndone(std::int64_t run) override {
    Statement mark(db_, "UPDATE Run SET Undone = 1, UndoneAt = ?2 WHERE Number = ?1", "Writing to");
    mark.Bind(1, run);
    mark.Bind(2, QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    mark.Run();
  }

  std::vector<RunRecord> Runs() override {
    std::vector<RunRecord> runs;
    std::vector<std::int64_t> crashed;
    {
      Statement all(db_, SelectRuns(", UndoOwner", "ORDER BY Number DESC").c_str(), "Reading");
      while (all.Step()) {
        RunRecord run = ReadRun(all);
        const QString undoOwner = all.Text(kOwnerColumn + 1);
        if (run.status == RunStatus::Going && !Alive(run.number, all.Text(kOwnerColumn))) {
          crashed.push_back(run.number);
          run.status = RunStatus::Crashed;
        }
        run.beingUndone = !undoOwner.isEmpty() && (undoing_.count(run.number) != 0 ||
                                                   journal::OwnerAlive(folder_, undoOwner));
        runs.push_back(std::move(run));
      }
    }
    for (const std::int64_t run : crashed) {
      MarkCrashed(run);
    }
    // Latest begun first: the first redo of a run met is its latest.
    std::map<std::int64_t, std::int64_t> redone;
    for (const RunRecord& run : runs) {
      if (run.redoOf != 0 && !run.undone) {
        redone.emplace(run.redoOf, run.number);
      }
    }
    for (RunRecord& run : runs) {
      if (const auto redo = redone.find(run.number); redo != redone.end()) {
        run.redoneBy = redo->second;
      }
    }
    return runs;
  }

  std::optional<RunRecord> FindRun(std::int64_t number) override {
    Statement read(db_, SelectRuns("", "WHERE Number = ?1").c_str(), "Reading");
    read.Bind(1, number);
    return FirstRun(read);
  }

  std::vector<RecordedEntry> ReadEntries(std::int64_t run, EntryPosition after,
                                         std::int64_t limit) override {
    Statement& page = readEntries_;
    page.Reset();
    page.Bind(1, run);
    page.Bind(2, after);
    page.Bind(3, limit);
    std::vector<RecordedEntry> entries;
    // Room for a page as the look into a run reads them; a caller asking
    // for more grows it as usual.
    entries.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(limit, 0, 4096)));
    while (page.Step()) {
      entries.push_back(RecordedEntry{
          page.Int(0), DocumentEntry{page.Value(1), page.Text(2), NotNull(page.Text(3))},
          page.Int(4) != 0});
    }
    // Done with it: nothing of the file stays held between two reads.
    page.Reset();
    return entries;
  }

  void MarkRestored(std::int64_t run, const std::vector<EntryPosition>& positions) override {
    if (positions.empty()) {
      return;
    }
    Transaction transaction(db_);
    Statement mark(db_,
                   "UPDATE RunDocument SET Restored = 1 "
                   "WHERE Run = ?1 AND Position = ?2 AND Restored = 0",
                   "Writing to");
    std::int64_t marked = 0;
    for (const EntryPosition position : positions) {
      mark.Reset();
      mark.Bind(1, run);
      mark.Bind(2, position);
      mark.Run();
      marked += sqlite3_changes(db_.get());
    }
    Statement count(db_, "UPDATE Run SET Restored = Restored + ?2 WHERE Number = ?1", "Writing to");
    count.Bind(1, run);
    count.Bind(2, marked);
    count.Run();
    transaction.Commit();
  }

  JournalLimits Limits() const override { return limits_; }

  QString TakeMovedAside() override { return std::exchange(opened_.movedAside, QString()); }

  std::optional<CollectionActivity> ActivityOn(std::int32_t collectionId,
                                               const QString& collectionName,
                                               const QString& collectionIdentity) override {
    return FindActivity(collectionId, collectionName, collectionIdentity);
  }

  void BeginUndo(std::int64_t run) override {
    const journal::Owner owner = journal::NewOwner(opened_.sessionName);
    std::unique_ptr<platform::FileLock> lock = TakeOwnerLock(owner);
    try {
      Transaction transaction(db_);
      Statement read(db_, SelectRuns("", "WHERE Number = ?1").c_str(), "Reading");
      read.Bind(1, run);
      if (!read.Step()) {
        journal::Fail(QStringLiteral("The journal holds no run %1.").arg(run));
      }
      const RunRecord undone = ReadRun(read);
      read.Reset();
      if (auto busy =
              FindActivity(undone.collectionId, undone.collectionName, undone.collectionIdentity)) {
        throw CollectionBusy(std::move(*busy));
      }
      Statement mark(db_, "UPDATE Run SET UndoOwner = ?2 WHERE Number = ?1", "Writing to");
      mark.Bind(1, run);
      mark.Bind(2, owner.recorded);
      mark.Run();
      transaction.Commit();
    } catch (...) {
      lock->RemoveAndRelease();
      throw;
    }
    undoing_[run] = std::move(lock);
  }

  void EndUndo(std::int64_t run) override {
    std::unique_ptr<platform::FileLock> lock;
    if (const auto owned = undoing_.find(run); owned != undoing_.end()) {
      lock = std::move(owned->second);
      undoing_.erase(owned);
    }
    // However the write ends, the lock goes: an undo whose owner is gone is
    // over for everyone.
    struct Release {
      std::unique_ptr<platform::FileLock>& lock;
      ~Release() {
        if (lock) {
          lock->RemoveAndRelease();
        }
      }
    } release{lock};
    Statement clear(db_, "UPDATE Run SET UndoOwner = '' WHERE Number = ?1", "Writing to");
    clear.Bind(1, run);
    clear.Run();
  }

 private:
  std::unique_ptr<platform::FileLock> TakeOwnerLock(const journal::Owner& owner) {
    platform::LockAttempt attempt =
        platform::TryLockFile(journal::OwnerLockPath(folder_, owner.lockName), true);
    if (!attempt.lock) {
      journal::Fail(attempt.error.isEmpty()
                        ? QStringLiteral("The lock of a new run is held by someone else.")
                        : attempt.error);
    }
    return std::move(attempt.lock);
  }

  // The latest run of the collection that a live window runs or undoes.
  std::optional<CollectionActivity> FindActivity(std::int32_t collectionId,
                                                 const QString& collectionName,
                                                 const QString& collectionIdentity) {
    Statement going(db_,
                    SelectRuns(", UndoOwner",
                               "WHERE (State = 0 OR UndoOwner <> '') AND CASE WHEN ?1 <> '' "
                               "THEN CollectionIdentity = ?1 "
                               "ELSE CollectionID = ?2 AND CollectionName = ?3 END "
                               "ORDER BY Number DESC")
                        .c_str(),
                    "Reading");
    going.Bind(1, NotNull(collectionIdentity));
    going.Bind(2, std::int64_t{collectionId});
    going.Bind(3, NotNull(collectionName));
    while (going.Step()) {
      RunRecord run = ReadRun(going);
      const QString owner = going.Text(kOwnerColumn);
      const QString undoOwner = going.Text(kOwnerColumn + 1);
      if (run.status == RunStatus::Going && Alive(run.number, owner)) {
        return CollectionActivity{std::move(run), false};
      }
      if (!undoOwner.isEmpty() &&
          (undoing_.count(run.number) != 0 || journal::OwnerAlive(folder_, undoOwner))) {
        return CollectionActivity{std::move(run), true};
      }
    }
    return std::nullopt;
  }

  // The first run a query selects (SelectRuns), one whose owner is gone
  // found ended by a crash.
  std::optional<RunRecord> FirstRun(Statement& select) {
    if (!select.Step()) {
      return std::nullopt;
    }
    RunRecord run = ReadRun(select);
    const QString owner = select.Text(kOwnerColumn);
    select.Reset();
    if (run.status == RunStatus::Going && !Alive(run.number, owner)) {
      MarkCrashed(run.number);
      run.status = RunStatus::Crashed;
    }
    return run;
  }

  bool Alive(std::int64_t number, const QString& owner) {
    return owned_.count(number) != 0 || journal::OwnerAlive(folder_, owner);
  }

  void MarkCrashed(std::int64_t run) {
    Statement mark(db_, "UPDATE Run SET State = 4 WHERE Number = ?1 AND State = 0", "Writing to");
    mark.Bind(1, run);
    mark.Run();
  }

  // Oldest first, until the runs and their entries are within the limits;
  // never a run still going, nor the one just begun (`newest`).
  void DropOldRuns(std::int64_t newest) {
    struct Kept {
      std::int64_t number;
      bool going;
      QString owner;
      std::int64_t bytes;
    };
    std::vector<Kept> runs;
    std::int64_t total = 0;
    {
      Statement all(db_, "SELECT Number, State, Owner, Bytes FROM Run ORDER BY Number",
                    "Dropping old runs in");
      while (all.Step()) {
        runs.push_back({all.Int(0), all.Int(1) == 0, all.Text(2), all.Int(3)});
        total += all.Int(3);
      }
    }
    auto count = static_cast<std::int64_t>(runs.size());
    Statement dropDocuments(db_, "DELETE FROM RunDocument WHERE Run = ?1", "Dropping old runs in");
    Statement dropRun(db_, "DELETE FROM Run WHERE Number = ?1", "Dropping old runs in");
    for (const Kept& run : runs) {
      if (count <= limits_.runs && total <= limits_.bytes) {
        break;
      }
      if (run.number == newest || (run.going && Alive(run.number, run.owner))) {
        continue;
      }
      for (Statement* drop : {&dropDocuments, &dropRun}) {
        drop->Reset();
        drop->Bind(1, run.number);
        drop->Run();
      }
      --count;
      total -= run.bytes;
    }
  }

  QString folder_;
  journal::JournalFile opened_;
  Db& db_;
  JournalLimits limits_;
  Statement insert_;
  Statement nextPosition_;
  Statement addToRun_;
  // A long run's look inside reads its pages again and again.
  Statement readEntries_;
  std::map<std::int64_t, std::unique_ptr<platform::FileLock>> owned_;
  std::map<std::int64_t, std::unique_ptr<platform::FileLock>> undoing_;
};

}  // namespace

CollectionBusy::CollectionBusy(CollectionActivity activity)
    : Error(kJournalError, QString::fromLatin1(kJournalSource),
            QStringLiteral("Another window is changing the collection \"%1\".")
                .arg(activity.run.collectionName)),
      activity_(std::move(activity)) {}

JournalTooNew::JournalTooNew(const QString& file)
    : Error(kJournalError, QString::fromLatin1(kJournalSource),
            QStringLiteral("The journal \"%1\" was written by a newer version of this program; "
                           "it is left as it is.")
                .arg(QDir::toNativeSeparators(file))),
      file_(file) {}

void ConfigureSqliteForTheJournal() { sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0); }

QString DefaultJournalFolder() {
  // Qt names the user's data folder as each system does: $XDG_DATA_HOME on
  // Linux, the local application data folder on Windows.
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/QMReplace");
}

std::unique_ptr<RunJournal> OpenRunJournal(const QString& folder, const JournalLimits& limits) {
  return std::make_unique<SqliteRunJournal>(folder, journal::OpenJournalFile(folder), limits);
}

}  // namespace qm
