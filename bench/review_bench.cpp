// How long a review of 1,000,000 documents takes to show its first rows, and
// how much memory it needs, against the bare query of the same snapshot.
//
// The review runs as the window runs it: the engine's review over the
// benchmark collection's whole snapshot (every title holds " - "), through
// the query, the snapshot's EntryIDs taken into the list, and the real
// review window, shown offscreen, until its list of changes has 50 rows and
// their texts have been read. The baseline is a plain C loop over SQLite that
// runs the same query and fetches every EntryID. The two alternate and the
// fastest of each is compared: "ratio review-open VALUE". The window then
// looks at every document to count them; the process's peak memory over the
// whole review is printed against the budget of 64 MB and 16 bytes a
// document: "peak-memory-mb review VALUE budget VALUE". Details on standard
// error.
#include <QApplication>
#include <QElapsedTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "bench/bench_data.h"
#include "bench/bench_port.h"
#include "engine/command/window_port.h"
#include "engine/review/review_list.h"
#include "engine/review/review_run.h"
#include "hostlib/host_library.h"
#include "window/review_model.h"
#include "window/review_window.h"

namespace {

constexpr char kSearch[] = " - ";
constexpr int kFirstRows = 50;

// A window that closed itself met a failure.
void Check(const qm::ReviewWindow& window) {
  if (!window.isVisible()) {
    throw window.Failure()
        ? *window.Failure()
        : qm::Error(-1, QStringLiteral("bench"), QStringLiteral("The review closed."));
  }
}

// Shows the real window until its first rows are read, then lets it count
// every document, and closes it without applying.
class BenchReview : public qm::ReviewPort {
 public:
  explicit BenchReview(QElapsedTimer& timer) : timer_(timer) {}

  bool Review(qm::ReviewList& list) override {
    if (qEnvironmentVariableIsSet("QM_ENGINE_ONLY")) {
      QElapsedTimer t;
      t.start();
      list.LookAtMore(QDeadlineTimer(QDeadlineTimer::Forever));
      std::fprintf(stderr, "engine-only count %.1f ms\n", t.nsecsElapsed() / 1e6);
    }
    listedSeconds = timer_.nsecsElapsed() / 1e9;
    qm::ReviewWindow window(list, QStringLiteral("Software\\QMReplace bench"));
    window.show();
    qm::ReviewModel& changes = window.Changes();
    while (changes.rowCount() < kFirstRows) {
      QCoreApplication::processEvents();
      Check(window);
    }
    for (int row = 0; row < kFirstRows; ++row) {
      for (int column = 0; column < qm::ReviewModel::kColumns; ++column) {
        changes.data(changes.index(row, column), Qt::DisplayRole);
      }
    }
    firstRowsSeconds = timer_.nsecsElapsed() / 1e9;
    QElapsedTimer counting;
    counting.start();
    while (!list.Complete() || !changes.Complete()) {
      QCoreApplication::processEvents();
      Check(window);
    }
    countSeconds = counting.nsecsElapsed() / 1e9;
    documents = list.Total();
    changing = list.Rows(qm::ReviewSection::Changes);
    window.reject();
    return false;
  }

  // The query and its snapshot taken into the list.
  double listedSeconds = 0;
  double firstRowsSeconds = 0;
  double countSeconds = 0;
  std::int64_t documents = 0;
  std::int64_t changing = 0;

 private:
  QElapsedTimer& timer_;
};

std::size_t BareQuery(const QString& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "baseline: cannot open %s\n", qPrintable(file));
    std::exit(2);
  }
  const std::string query = std::string(
                                "SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND "
                                "Title LIKE '%") +
                            kSearch + "%'";
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "baseline query failed: %s\n", sqlite3_errmsg(db));
    std::exit(2);
  }
  std::vector<sqlite3_int64> ids;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    ids.push_back(sqlite3_column_int64(statement, 0));
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return ids.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const qm::bench::BenchOptions options = qm::bench::ParseBenchOptions(app.arguments(), 3);
  try {
    const qm::bench::BenchData data = qm::bench::PrepareBenchData(options.dataFolder);
    auto host = qm::CreateHostApplication();
    auto collection = host->Collections()->Item(QString::number(data.documentsCollection));
    const std::shared_ptr<qm::HostFolder> root = collection->GetFolder(1);
    qm::bench::BenchPort port(QString::fromLatin1(kSearch), QStringLiteral(" | "));

    double bestOpen = std::numeric_limits<double>::max();
    double bestBare = bestOpen;
    double count = 0;
    double listed = 0;
    long peakKb = 0;
    long startKb = 0;
    std::int64_t documents = 0;
    std::int64_t changing = 0;
    std::size_t bareRows = 0;
    // One round that is not timed: the file's pages into the system's cache.
    BareQuery(data.documentsFile);
    for (int i = 0; i < options.repetitions; ++i) {
      QElapsedTimer timer;
      BenchReview review(timer);
      startKb = qm::bench::StatusKb("VmRSS:");
      qm::bench::ResetPeakMemory();
      timer.start();
      qm::RunState state;
      state = qm::ReviewRun(port, port, review, port.Criteria(root));
      peakKb = std::max(peakKb, qm::bench::StatusKb("VmHWM:"));
      if (review.firstRowsSeconds < bestOpen) {
        bestOpen = review.firstRowsSeconds;
        listed = review.listedSeconds;
      }
      count = review.countSeconds;
      documents = review.documents;
      changing = review.changing;

      timer.start();
      bareRows = BareQuery(data.documentsFile);
      bestBare = std::min(bestBare, timer.nsecsElapsed() / 1e9);
      std::fprintf(stderr, "round %d: review of %lld documents (%lld change), baseline %zu\n",
                   i + 1, static_cast<long long>(documents), static_cast<long long>(changing),
                   bareRows);
    }
    if (documents <= 0 || static_cast<std::size_t>(documents) != bareRows) {
      std::fprintf(stderr, "the review and the baseline disagree on the documents\n");
      return 1;
    }
    const double budgetMb = 64.0 + 16.0 * static_cast<double>(documents) / (1024.0 * 1024.0);
    std::fprintf(stderr,
                 "review-open   first %d rows %8.1f ms (query and list %.1f ms), baseline query "
                 "%8.1f ms; counting every document %8.1f ms\n",
                 kFirstRows, bestOpen * 1e3, listed * 1e3, bestBare * 1e3, count * 1e3);
    std::fprintf(stderr,
                 "review        peak memory %.1f MB (%.1f MB before the review), budget %.1f MB\n",
                 peakKb / 1024.0, startKb / 1024.0, budgetMb);
    std::printf("ratio review-open %.2f\n", bestOpen / bestBare);
    std::printf("peak-memory-mb review %.1f budget %.1f\n", peakKb / 1024.0, budgetMb);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
