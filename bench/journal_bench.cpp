// How long opening the journal takes when it is full, against opening an
// empty one: what every Start and every Ctrl+Z does before anything else.
// And what the history of runs costs over the journal: its list of runs
// ready to show, and the first rows of a long run looked into.
//
// The full journal holds 100 finished runs of 100,000 documents each (made
// once, under the data folder, and kept); the empty one is made afresh. An
// open is OpenRunJournal and the look for the run to undo. After one open of
// each that is not timed (the full one may be due for its daily check), the
// two alternate and the fastest of each is compared. Prints
// "ratio journal-open VALUE" on standard output, the details on standard
// error.
//
// history-open: the history's list of a full journal, ready to show (the
// journal opened, every run read with its state and the journal's usage
// told), against opening that journal as above.
//
// run-open: the first 50 rows of a run of 1,000,000 documents of the
// benchmark collection as the look into it first shows them (from the
// journal, their changes marked), against the bare journal query of those
// 50 entries with SQLite on a connection of its own. Both with the journal
// open already. What the documents hold now follows the rows a moment
// later, one host query a page: its time is printed apart.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include <sqlite3.h>

#include "bench/bench_data.h"
#include "engine/journal/run_history.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/run_rows.h"
#include "hostlib/host_library.h"

namespace {

constexpr int kRuns = 100;
constexpr int kDocumentsPerRun = 100'000;
constexpr int kBatch = 10'000;

void MakeFullJournal(const QString& folder) {
  const QString done = folder + QStringLiteral("/complete");
  if (QFile::exists(done)) {
    return;
  }
  QDir(folder).removeRecursively();
  std::fprintf(stderr, "making a journal of %d runs of %d documents in %s\n", kRuns,
               kDocumentsPerRun, qPrintable(folder));
  // No bound while it is made: the journal is to hold them all.
  auto journal = qm::OpenRunJournal(
      folder, qm::JournalLimits{kRuns, std::numeric_limits<std::int64_t>::max()});
  for (int r = 0; r < kRuns; ++r) {
    qm::RunRecord run;
    run.started = QDateTime::currentDateTimeUtc();
    run.collectionId = 2;
    run.collectionName = QStringLiteral("Documents");
    run.collectionIdentity = QStringLiteral("bench");
    run.searchText = QString::fromLatin1(qm::bench::kTitleFragment);
    run.replaceText = QStringLiteral("Wikipedia");
    const std::int64_t number = journal->BeginRun(run);
    for (int from = 0; from < kDocumentsPerRun; from += kBatch) {
      std::vector<qm::DocumentEntry> entries;
      for (int i = from; i < from + kBatch; ++i) {
        entries.push_back({QVariant(qlonglong{i}),
                           QStringLiteral("Document %1 on wikipedia").arg(i),
                           QStringLiteral("Document %1 on Wikipedia").arg(i)});
      }
      journal->RecordEntries(number, entries);
    }
    journal->EndRun(number, qm::RunStatus::Finished);
  }
  journal.reset();
  QFile(done).open(QIODevice::WriteOnly);
}

// A journal holding one run over every document of the benchmark
// collection.
void MakeMillionRun(const QString& folder, qm::HostCollection& collection) {
  const QString done = folder + QStringLiteral("/complete");
  if (QFile::exists(done)) {
    return;
  }
  QDir(folder).removeRecursively();
  std::fprintf(stderr, "making a journal of one run over every document in %s\n",
               qPrintable(folder));
  auto journal = qm::OpenRunJournal(
      folder, qm::JournalLimits{kRuns, std::numeric_limits<std::int64_t>::max()});
  qm::RunRecord run;
  run.started = QDateTime::currentDateTimeUtc();
  run.collectionId = collection.ID();
  run.collectionName = collection.Name();
  run.collectionIdentity = collection.Identity();
  run.searchText = QStringLiteral(" - ");
  run.replaceText = QStringLiteral(" | ");
  const std::int64_t number = journal->BeginRun(run);
  auto rows = collection.Connection()->OpenRecordset(
      QStringLiteral("SELECT EntryID, Title FROM Document ORDER BY EntryID"));
  std::vector<qm::DocumentEntry> entries;
  for (; !rows->Eof(); rows->MoveNext()) {
    const QString title = rows->Value(QStringLiteral("Title")).toString();
    entries.push_back({rows->Value(QStringLiteral("EntryID")), title,
                       QString(title).replace(QStringLiteral(" - "), QStringLiteral(" | "))});
    if (entries.size() == static_cast<std::size_t>(kBatch)) {
      journal->RecordEntries(number, entries);
      entries.clear();
    }
  }
  journal->RecordEntries(number, entries);
  journal->EndRun(number, qm::RunStatus::Finished);
  journal.reset();
  QFile(done).open(QIODevice::WriteOnly);
}

double HistorySeconds(const QString& folder) {
  QElapsedTimer timer;
  timer.start();
  auto journal = qm::OpenRunJournal(folder);
  const std::vector<qm::RunRecord> runs = journal->Runs();
  const QString usage = qm::UsageText(runs, journal->Limits(), qm::TextLanguage::English);
  for (const qm::RunRecord& run : runs) {
    static_cast<void>(qm::StateText(run, nullptr, qm::TextLanguage::English));
  }
  journal.reset();
  return usage.isEmpty() ? 0 : timer.nsecsElapsed() / 1e9;
}

constexpr int kFirstRows = 50;

double RunOpenSeconds(qm::RunJournal& journal, const qm::RunRecord& run,
                      const std::shared_ptr<qm::HostCollection>& collection,
                      double* states = nullptr) {
  QElapsedTimer timer;
  timer.start();
  qm::RunRows rows(journal, run, collection, qm::TextLanguage::English);
  rows.LookAtMore(QDeadlineTimer(0));
  for (int row = 0; row < kFirstRows; ++row) {
    if (rows.Row(row).after.isEmpty()) {
      return 0;
    }
  }
  const double shown = timer.nsecsElapsed() / 1e9;
  if (states != nullptr) {
    timer.restart();
    rows.ReadCurrentOf(0);
    *states = rows.Row(kFirstRows - 1).stateText.isEmpty() ? 0 : timer.nsecsElapsed() / 1e9;
  }
  return shown;
}

double BareRunSeconds(sqlite3* db, std::int64_t run) {
  QElapsedTimer timer;
  timer.start();
  sqlite3_stmt* page = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT Position, EntryID, Before, After, Restored FROM RunDocument "
                     "WHERE Run = ?1 AND Position > 0 ORDER BY Position LIMIT 50",
                     -1, &page, nullptr);
  sqlite3_bind_int64(page, 1, run);
  int rows = 0;
  std::size_t bytes = 0;
  while (sqlite3_step(page) == SQLITE_ROW) {
    ++rows;
    bytes +=
        static_cast<std::size_t>(sqlite3_column_bytes(page, 2) + sqlite3_column_bytes(page, 3));
  }
  sqlite3_finalize(page);
  return rows == kFirstRows && bytes > 0 ? timer.nsecsElapsed() / 1e9 : 0;
}

double OpenSeconds(const QString& folder) {
  QElapsedTimer timer;
  timer.start();
  auto journal = qm::OpenRunJournal(folder);
  journal->LastUndoableRun();
  journal.reset();
  return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qm::bench::BenchOptions options = qm::bench::ParseBenchOptions(app.arguments(), 3);
  const auto wanted = [&options](const char* figure) {
    return options.only.isEmpty() || options.only == QLatin1String(figure);
  };
  try {
    const QString full = QDir(options.dataFolder).absoluteFilePath(QStringLiteral("journal-full"));
    MakeFullJournal(full);
    if (wanted("history-open")) {
      HistorySeconds(full);
      double bestHistory = std::numeric_limits<double>::max();
      double bestOpen = bestHistory;
      for (int i = 0; i < 10 * options.repetitions; ++i) {
        bestHistory = std::min(bestHistory, HistorySeconds(full));
        bestOpen = std::min(bestOpen, OpenSeconds(full));
      }
      std::fprintf(stderr, "history-open  history %.2f ms, open %.2f ms\n", bestHistory * 1e3,
                   bestOpen * 1e3);
      std::printf("ratio history-open %.2f\n", bestHistory / bestOpen);
    }
    if (wanted("run-open")) {
      const qm::bench::BenchData data = qm::bench::PrepareBenchData(options.dataFolder);
      auto host = qm::CreateHostApplication();
      auto collection = host->Collections()->Item(QString::number(data.documentsCollection));
      const QString million =
          QDir(options.dataFolder).absoluteFilePath(QStringLiteral("journal-million"));
      MakeMillionRun(million, *collection);
      auto journal = qm::OpenRunJournal(million);
      const qm::RunRecord run = journal->Runs().front();
      sqlite3* db = nullptr;
      if (sqlite3_open_v2((million + QStringLiteral("/journal.sqlite")).toUtf8().constData(), &db,
                          SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "baseline: cannot open the journal\n");
        return 1;
      }
      RunOpenSeconds(*journal, run, collection);
      BareRunSeconds(db, run.number);
      double bestRows = std::numeric_limits<double>::max();
      double bestBare = bestRows;
      double bestStates = bestRows;
      for (int i = 0; i < 20 * options.repetitions; ++i) {
        double states = 0;
        bestRows = std::min(bestRows, RunOpenSeconds(*journal, run, collection, &states));
        bestStates = std::min(bestStates, states > 0 ? states : bestStates);
        bestBare = std::min(bestBare, BareRunSeconds(db, run.number));
      }
      sqlite3_close(db);
      if (bestRows == 0 || bestBare == 0) {
        std::fprintf(stderr, "run-open: the rows were not read\n");
        return 1;
      }
      std::fprintf(stderr,
                   "run-open  %lld documents, first %d rows %.3f ms, bare %.3f ms; what their "
                   "documents hold %.3f ms after\n",
                   static_cast<long long>(run.documents), kFirstRows, bestRows * 1e3,
                   bestBare * 1e3, bestStates * 1e3);
      std::printf("ratio run-open %.2f\n", bestRows / bestBare);
    }
    if (!wanted("journal-open")) {
      return 0;
    }
    QTemporaryDir empty;
    OpenSeconds(full);
    OpenSeconds(empty.path());
    double bestFull = std::numeric_limits<double>::max();
    double bestEmpty = bestFull;
    for (int i = 0; i < 20 * options.repetitions; ++i) {
      bestFull = std::min(bestFull, OpenSeconds(full));
      bestEmpty = std::min(bestEmpty, OpenSeconds(empty.path()));
    }
    const qint64 size = QFileInfo(full + QStringLiteral("/journal.sqlite")).size();
    std::fprintf(stderr, "journal-open  full (%.0f MB) %.2f ms, empty %.2f ms\n", size / 1048576.0,
                 bestFull * 1e3, bestEmpty * 1e3);
    std::printf("ratio journal-open %.2f\n", bestFull / bestEmpty);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
