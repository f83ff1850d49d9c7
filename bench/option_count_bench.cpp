// What Verify Matches with search options costs over the bare database
// engine on the 1,000,000-document benchmark collection.
//
// pattern-count: Verify Matches with the pattern \b(19|20)\d\d\b on the
// titles. No literal narrows it, so the engine reads every title of the
// collection (its query, then the titles a chunk at a time) and decides each
// with the run's rewrite. The baseline is a plain C loop that steps the same
// column with SQLite and matches each title with the same QRegularExpression.
//
// case-count: Verify Matches with Match case on "wikipedia" (one of the
// three forms the documents hold the fragment in) in the comments, which
// the replace-run benchmark, rewriting titles, leaves as they were made. The
// engine narrows with LIKE and decides the about 100,000 candidates; the
// baseline is the bare LIKE scan of the same column with an exact
// comparison of each row it gives.
//
// Each pair alternates, seven times by default, after a round that is not
// timed, and the fastest of each is compared (a round takes about a third
// of a second, and the machine's speed drifts over seconds):
// "ratio pattern-count VALUE", "ratio case-count VALUE". Both must count
// the same documents. Details on standard error.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "bench/bench_data.h"
#include "bench/bench_port.h"
#include "engine/run/search_pattern.h"
#include "engine/run/verify_matches.h"
#include "hostlib/host_library.h"

namespace {

constexpr char kYears[] = "\\b(19|20)\\d\\d\\b";
constexpr char kCased[] = "wikipedia";

[[noreturn]] void Fail(sqlite3* db, const char* what) {
  std::fprintf(stderr, "baseline: %s failed: %s\n", what, sqlite3_errmsg(db));
  std::exit(2);
}

// Steps the titles `query` selects, counting those `matches` accepts.
std::int64_t BareCount(const QString& file, const char* query,
                       const std::function<bool(const char*, int)>& matches) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    Fail(db, "open");
  }
  sqlite3_stmt* select = nullptr;
  if (sqlite3_prepare_v2(db, query, -1, &select, nullptr) != SQLITE_OK) {
    Fail(db, query);
  }
  std::int64_t count = 0;
  while (sqlite3_step(select) == SQLITE_ROW) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
    if (text != nullptr && matches(text, sqlite3_column_bytes(select, 0))) {
      ++count;
    }
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  return count;
}

// The window of the benchmark, keeping the count Verify Matches writes.
class CountingPort : public qm::bench::BenchPort {
 public:
  CountingPort() : BenchPort(QString(), QString()) {}
  void SetNotes(const QString& text) override { note = text; }
  QString note;
};

std::int64_t EngineCount(CountingPort& port, const std::shared_ptr<qm::HostFolder>& root,
                         qm::SearchField field, const QString& search,
                         const qm::SearchOptions& options) {
  qm::SearchCriteria criteria = port.Criteria(root);
  criteria.field = field;
  criteria.searchText = search;
  criteria.options = options;
  qm::VerifyMatches(port, criteria);
  // "N documents match selected critera." or the note that none does.
  bool number = false;
  const std::int64_t count = port.note.section(QLatin1Char(' '), 0, 0).toLongLong(&number);
  return number ? count : 0;
}

struct Figure {
  const char* name;
  std::function<std::int64_t()> engine;
  std::function<std::int64_t()> bare;
};

// Prints the ratio; false when the two disagree on the count.
bool Measure(const Figure& figure, int repetitions) {
  figure.engine();
  figure.bare();
  double bestEngine = std::numeric_limits<double>::max();
  double bestBare = bestEngine;
  std::int64_t engineCount = 0;
  std::int64_t bareCount = 0;
  for (int i = 0; i < repetitions; ++i) {
    QElapsedTimer timer;
    timer.start();
    engineCount = figure.engine();
    bestEngine = std::min(bestEngine, timer.nsecsElapsed() / 1e9);
    timer.start();
    bareCount = figure.bare();
    bestBare = std::min(bestBare, timer.nsecsElapsed() / 1e9);
  }
  std::fprintf(stderr, "%-14s engine %8.1f ms, baseline %8.1f ms, %lld documents\n", figure.name,
               bestEngine * 1e3, bestBare * 1e3, static_cast<long long>(engineCount));
  if (engineCount != bareCount) {
    std::fprintf(stderr, "%s: the engine counts %lld, the baseline %lld\n", figure.name,
                 static_cast<long long>(engineCount), static_cast<long long>(bareCount));
    return false;
  }
  std::printf("ratio %s %.2f\n", figure.name, bestEngine / bestBare);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qm::bench::BenchOptions options = qm::bench::ParseBenchOptions(app.arguments(), 7);
  try {
    const qm::bench::BenchData data = qm::bench::PrepareBenchData(options.dataFolder);
    auto host = qm::CreateHostApplication();
    auto collection = host->Collections()->Item(QString::number(data.documentsCollection));
    const std::shared_ptr<qm::HostFolder> root = collection->GetFolder(1);
    CountingPort port;
    const QString file = data.documentsFile;

    const qm::SearchOptions pattern{false, false, true, false};
    const QRegularExpression years = qm::SearchPattern(QString::fromLatin1(kYears), pattern);
    const qm::SearchOptions matchCase{true, false, false, false};
    const std::size_t cased = std::strlen(kCased);
    const Figure figures[] = {
        {"pattern-count",
         [&] {
           return EngineCount(port, root, qm::SearchField::Title, QString::fromLatin1(kYears),
                              pattern);
         },
         [&] {
           return BareCount(file, "SELECT Title FROM Document WHERE (VisibleInFolderID>1)",
                            [&](const char* text, int bytes) {
                              return years.match(QString::fromUtf8(text, bytes)).hasMatch();
                            });
         }},
        {"case-count",
         [&] {
           return EngineCount(port, root, qm::SearchField::Comment, QString::fromLatin1(kCased),
                              matchCase);
         },
         [&] {
           return BareCount(file,
                            "SELECT Comment FROM Document WHERE (VisibleInFolderID>1) AND Comment "
                            "LIKE '%wikipedia%'",
                            [&](const char* text, int bytes) {
                              return std::string_view(text, static_cast<std::size_t>(bytes))
                                         .find(std::string_view(kCased, cased)) !=
                                     std::string_view::npos;
                            });
         }},
    };
    bool agree = true;
    for (const Figure& figure : figures) {
      if (options.only.isEmpty() || options.only == QLatin1String(figure.name)) {
        agree = Measure(figure, options.repetitions) && agree;
      }
    }
    return agree ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
