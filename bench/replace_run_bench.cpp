// How much a replace run costs per document over a bare loop on the
// database engine.
//
// Both rewrite the same documents of the 1,000,000-document benchmark
// collection, the about 100,000 whose title holds the fragment: the run
// through the engine (query, snapshot, host documents, one Save each, with
// the window's pause and event passes as no-ops), the baseline as a plain C
// loop over SQLite that runs the query, then reads each title, replaces the
// fragment and updates the row, one commit per document, with the settings
// the collection file has for the host as well. Every timed pass writes the
// fragment in the other case than the titles hold, so the same documents
// match every time and every pass really changes them: a pass that wrote
// what the titles hold already would have SQLite write no page and skip the
// disk flush of each commit, which no user's run does. After one round that
// is not timed, the two alternate and the fastest of each is compared. The
// run keeps its journal, as the window's does, in a folder of its own; after
// each timed run the undo of that run is timed too, against the same
// baseline. Prints "ratio replace-run VALUE", "ratio undo-run VALUE" and the
// run's peak memory on standard output, the details on standard error.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "bench/bench_port.h"
#include "engine/command/window_port.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/run/replace_run.h"
#include "hostlib/host_library.h"

namespace {

// The two cases every pass switches between; both hold the fragment.
constexpr const char* kCases[] = {"Wikipedia", "WIKIPEDIA"};

[[noreturn]] void Fail(sqlite3* db, const char* what) {
  std::fprintf(stderr, "baseline: %s failed: %s\n", what, sqlite3_errmsg(db));
  std::exit(2);
}

sqlite3_stmt* Prepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
    Fail(db, sql);
  }
  return statement;
}

// Every occurrence of `fragment`, in any ASCII case, replaced.
std::string Replaced(const char* text, const char* fragment, const char* replacement) {
  const std::size_t length = std::strlen(fragment);
  std::string out;
  for (const char* p = text; *p != '\0';) {
    if (strncasecmp(p, fragment, length) == 0) {
      out += replacement;
      p += length;
    } else {
      out += *p++;
    }
  }
  return out;
}

std::size_t BareRun(const QString& file, const char* replacement) {
  sqlite3* db = nullptr;
  if (sqlite3_open(file.toUtf8().constData(), &db) != SQLITE_OK) {
    Fail(db, "open");
  }
  sqlite3_busy_timeout(db, 5000);
  const std::string fragment = qm::bench::kTitleFragment;
  const std::string query =
      "SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE '%" + fragment +
      "%'";
  sqlite3_stmt* select = Prepare(db, query.c_str());
  std::vector<sqlite3_int64> ids;
  while (sqlite3_step(select) == SQLITE_ROW) {
    ids.push_back(sqlite3_column_int64(select, 0));
  }
  sqlite3_finalize(select);
  sqlite3_stmt* read = Prepare(db, "SELECT Title FROM Document WHERE EntryID = ?");
  sqlite3_stmt* update = Prepare(db, "UPDATE Document SET Title = ? WHERE EntryID = ?");
  std::size_t updated = 0;
  for (const sqlite3_int64 id : ids) {
    sqlite3_bind_int64(read, 1, id);
    if (sqlite3_step(read) != SQLITE_ROW) {
      Fail(db, "reading a title");
    }
    const std::string title = Replaced(reinterpret_cast<const char*>(sqlite3_column_text(read, 0)),
                                       fragment.c_str(), replacement);
    sqlite3_reset(read);
    sqlite3_bind_text(update, 1, title.c_str(), static_cast<int>(title.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(update, 2, id);
    if (sqlite3_step(update) != SQLITE_DONE) {  // its own transaction: one commit
      Fail(db, "updating a title");
    }
    sqlite3_reset(update);
    ++updated;
  }
  sqlite3_finalize(read);
  sqlite3_finalize(update);
  sqlite3_close(db);
  return updated;
}

}  // namespace

int main(int argc, char** argv) {
  // As the program does.
  qm::ConfigureSqliteForTheJournal();
  QCoreApplication app(argc, argv);
  const qm::bench::BenchOptions options = qm::bench::ParseBenchOptions(app.arguments(), 3);
  const int repetitions = options.repetitions;
  try {
    const qm::bench::BenchData data = qm::bench::PrepareBenchData(options.dataFolder);
    auto host = qm::CreateHostApplication();
    auto collection = host->Collections()->Item(QString::number(data.documentsCollection));
    const std::shared_ptr<qm::HostFolder> root = collection->GetFolder(1);
    QTemporaryDir journalFolder;
    const std::unique_ptr<qm::RunJournal> journal = qm::OpenRunJournal(journalFolder.path());
    qm::bench::BenchPort port(QString::fromLatin1(qm::bench::kTitleFragment),
                              QString::fromLatin1(kCases[0]));
    port.journal = journal.get();

    // A round that is not timed first: right after the data is made, the
    // system is still writing it out, and the first commits wait for that.
    {
      qm::RunState warmUp;
      warmUp = qm::ReplaceRun(port, port, port.Criteria(root));
      qm::UndoLastRun(port, port, *host, qm::TextLanguage::English);
      BareRun(data.documentsFile, kCases[0]);
    }
    int held = 0;  // the case every matching title holds now
    double bestRun = std::numeric_limits<double>::max();
    double bestBare = bestRun;
    double bestUndo = bestRun;
    std::int64_t undoCount = 0;
    std::int32_t runCount = 0;
    std::size_t bareCount = 0;
    long peakKb = 0;
    long startKb = 0;
    for (int i = 0; i < repetitions; ++i) {
      QElapsedTimer timer;
      startKb = qm::bench::StatusKb("VmRSS:");
      qm::bench::ResetPeakMemory();
      port.replacement = QString::fromLatin1(kCases[1 - held]);
      timer.start();
      qm::RunState state;
      state = qm::ReplaceRun(port, port, port.Criteria(root));
      bestRun = std::min(bestRun, timer.nsecsElapsed() / 1e9);
      peakKb = std::max(peakKb, qm::bench::StatusKb("VmHWM:"));
      runCount = state.updatedCount;

      timer.start();
      undoCount = qm::UndoLastRun(port, port, *host, qm::TextLanguage::English).restored;
      bestUndo = std::min(bestUndo, timer.nsecsElapsed() / 1e9);

      timer.start();
      bareCount = BareRun(data.documentsFile, kCases[1 - held]);
      held = 1 - held;
      bestBare = std::min(bestBare, timer.nsecsElapsed() / 1e9);
      std::fprintf(stderr, "round %d: run %d documents, baseline %zu\n", i + 1, runCount,
                   bareCount);
    }
    if (runCount <= 0 || static_cast<std::size_t>(runCount) != bareCount || undoCount != runCount) {
      std::fprintf(stderr, "the run and the baseline disagree on the documents\n");
      return 1;
    }
    const double budgetMb = 64.0 + 16.0 * runCount / (1024.0 * 1024.0);
    std::fprintf(stderr,
                 "replace-run   run %8.1f ms (%.1f us a document), baseline %8.1f ms (%.1f us a "
                 "document)\n",
                 bestRun * 1e3, bestRun * 1e6 / runCount, bestBare * 1e3,
                 bestBare * 1e6 / runCount);
    std::fprintf(stderr,
                 "replace-run   peak memory %.1f MB (%.1f MB before the run), budget %.1f MB\n",
                 peakKb / 1024.0, startKb / 1024.0, budgetMb);
    std::fprintf(stderr, "undo-run      undo %8.1f ms (%.1f us a document)\n", bestUndo * 1e3,
                 bestUndo * 1e6 / runCount);
    std::printf("ratio replace-run %.2f\n", bestRun / bestBare);
    std::printf("ratio undo-run %.2f\n", bestUndo / bestBare);
    std::printf("peak-memory-mb replace-run %.1f budget %.1f\n", peakKb / 1024.0, budgetMb);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
