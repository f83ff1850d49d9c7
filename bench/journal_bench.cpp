// How long opening the journal takes when it is full, against opening an
// empty one: what every Start and every Ctrl+Z does before anything else.
//
// The full journal holds 100 finished runs of 100,000 documents each (made
// once, under the data folder, and kept); the empty one is made afresh. An
// open is OpenRunJournal and the look for the run to undo. After one open of
// each that is not timed (the full one may be due for its daily check), the
// two alternate and the fastest of each is compared. Prints
// "ratio journal-open VALUE" on standard output, the details on standard
// error.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <vector>

#include "bench/bench_data.h"
#include "engine/journal/run_journal.h"

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
  if (!options.only.isEmpty() && options.only != QLatin1String("journal-open")) {
    return 0;
  }
  try {
    const QString full = QDir(options.dataFolder).absoluteFilePath(QStringLiteral("journal-full"));
    MakeFullJournal(full);
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
