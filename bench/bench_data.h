// The data the host benchmarks run on: a host with a collection of
// 1,000,000 documents and one with a tree of 100,000 folders, made through
// the administration functions and kept between runs.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace qm::bench {

struct BenchData {
  std::int32_t documentsCollection = 0;
  std::int32_t foldersCollection = 0;
  QString documentsFile;
  QString foldersFile;
  std::vector<std::int32_t> documentFolders;  // the folders holding documents
};

inline constexpr std::int64_t kDocumentCount = 1'000'000;
inline constexpr std::int32_t kDocumentFolderCount = 1'000;
inline constexpr std::int32_t kTreeFolderCount = 100'000;
// About one title in ten holds it, in varying case.
inline constexpr char kTitleFragment[] = "wikipedia";
// About one title in ten holds it as well, independently.
inline constexpr char kFolderFragment[] = "guide";

// Uses the host registered under `folder` (its registry and files live
// there), making it first when it is missing or incomplete. Sets
// XDG_CONFIG_HOME for the whole process.
BenchData PrepareBenchData(const QString& folder);

// What every benchmark takes on its command line: --data FOLDER,
// --repetitions N (at least 1) and --only NAME (one figure, for profiling).
struct BenchOptions {
  QString dataFolder = QStringLiteral("bench-data");
  int repetitions = 1;
  QString only;
};
BenchOptions ParseBenchOptions(const QStringList& arguments, int defaultRepetitions);

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"); -1 when unknown.
long StatusKb(const char* field);
// Lets the next reading of "VmHWM:" show the peak from now on.
void ResetPeakMemory();

}  // namespace qm::bench
