// How much the stand-in host costs over the bare database engine.
//
// Each figure runs the stand-in and a bare baseline on the same data,
// alternately, several times, and compares the fastest run of each: the
// fastest run is the one least disturbed by whatever else the machine is
// doing. Prints one line "ratio NAME VALUE" per figure on standard output
// (stand-in time divided by baseline time) and the details on standard
// error. Then the memory a bookmark import peaks at, against twice its
// file's size: "peak-memory-mb import-bookmarks VALUE budget BUDGET".
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

#include "bench/bench_data.h"
#include "host/admin/bookmarks.h"
#include "host/admin/host_admin.h"
#include "hostlib/host_library.h"

namespace {

using qm::bench::BenchData;

class BareDb {
 public:
  explicit BareDb(const QString& file) {
    if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
      std::fprintf(stderr, "cannot open %s\n", qPrintable(file));
      std::exit(2);
    }
  }
  ~BareDb() { sqlite3_close(db_); }
  BareDb(const BareDb&) = delete;
  BareDb& operator=(const BareDb&) = delete;

  std::size_t Ids(const QString& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
      std::fprintf(stderr, "baseline query failed: %s\n", sqlite3_errmsg(db_));
      std::exit(2);
    }
    std::vector<std::int64_t> ids;
    while (sqlite3_step(statement) == SQLITE_ROW) {
      ids.push_back(sqlite3_column_int64(statement, 0));
    }
    sqlite3_finalize(statement);
    return ids.size();
  }

 private:
  sqlite3* db_ = nullptr;
};

struct Figure {
  const char* name;
  std::function<std::size_t()> standIn;
  std::function<std::size_t()> baseline;
  std::size_t expectedDifference;  // rows the baseline counts that the stand-in does not
};

double Seconds(const std::function<std::size_t()>& run, std::size_t& rows) {
  QElapsedTimer timer;
  timer.start();
  rows = run();
  return timer.nsecsElapsed() / 1e9;
}

bool Measure(const Figure& figure, int repetitions) {
  double bestStandIn = std::numeric_limits<double>::max();
  double bestBaseline = bestStandIn;
  std::size_t standInRows = 0;
  std::size_t baselineRows = 0;
  // Warms the caches, and tells how often a quick figure must run for its
  // fastest run to mean something (about a second per side).
  const double warm = Seconds(figure.standIn, standInRows) + Seconds(figure.baseline, baselineRows);
  const int runs =
      std::max(repetitions, static_cast<int>(std::min(1000.0, 2.0 / std::max(warm, 1e-6))));
  for (int i = 0; i < runs; ++i) {
    bestStandIn = std::min(bestStandIn, Seconds(figure.standIn, standInRows));
    bestBaseline = std::min(bestBaseline, Seconds(figure.baseline, baselineRows));
  }
  std::fprintf(stderr, "%-13s stand-in %8.2f ms, baseline %8.2f ms, rows %zu / %zu, %d runs\n",
               figure.name, bestStandIn * 1e3, bestBaseline * 1e3, standInRows, baselineRows, runs);
  if (standInRows + figure.expectedDifference != baselineRows) {
    std::fprintf(stderr, "%s: the stand-in and the baseline disagree on the rows\n", figure.name);
    return false;
  }
  std::printf("ratio %s %.2f\n", figure.name, bestStandIn / bestBaseline);
  std::fflush(stdout);
  return true;
}

void Walk(const qm::HostFolderList& list, std::size_t& count) {
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    auto folder = list.Item(i);
    if (folder->ID() > 0) {
      ++count;
    }
    auto subFolders = folder->SubFolders();
    if (subFolders->Count() > 0) {
      Walk(*subFolders, count);
    }
  }
}

// The machine is shared; the load next to the figures says how much.
void PrintLoad(const char* when) {
  QFile file(QStringLiteral("/proc/loadavg"));
  if (file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "load average %s: %s", when, file.readLine().constData());
  }
}

// A 64 MiB export as browsers write them, every link with its icon inline,
// and a Latin byte now and then, so that the text is read with the
// windows-1252 fallback.
QString BookmarkFile(const QString& dataFolder) {
  const QString path = QDir(dataFolder).absoluteFilePath(QStringLiteral("bookmarks-64mib.html"));
  if (QFileInfo(path).size() >= (qint64{64} << 20)) {
    return path;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return QString();
  }
  file.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n");
  const QByteArray icon = "data:image/png;base64," + QByteArray(6000, 'A');
  for (int i = 0; file.size() < (qint64{64} << 20); ++i) {
    file.write("<DT><A HREF=\"https://example.com/" + QByteArray::number(i) + "\" ICON=\"" + icon +
               "\">Caf\xE9 " + QByteArray::number(i) + "</A>\n");
  }
  file.write("</DL>\n");
  return path;
}

void MeasureImportMemory(const QString& dataFolder) {
  const QString path = BookmarkFile(dataFolder);
  const double fileMb = QFileInfo(path).size() / 1048576.0;
  const long beforeKb = qm::bench::StatusKb("VmRSS:");
  qm::bench::ResetPeakMemory();
  const qm::host::BookmarkTree tree = qm::host::ReadBookmarkFile(path);
  const double peakMb = (qm::bench::StatusKb("VmHWM:") - beforeKb) / 1024.0;
  std::fprintf(stderr, "import        %zu bookmarks from %.1f MB, peak %.1f MB over the start\n",
               tree.items.size(), fileMb, peakMb);
  std::printf("peak-memory-mb import-bookmarks %.1f budget %.1f\n", peakMb, 2 * fileMb);
}

QString FolderList(const BenchData& data) {
  QStringList ids;
  // Twenty folders spread over the collection.
  for (std::size_t i = 0; i < 20; ++i) {
    ids << QString::number(data.documentFolders[i * data.documentFolders.size() / 20]);
  }
  return ids.join(QLatin1Char(','));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qm::bench::BenchOptions options = qm::bench::ParseBenchOptions(app.arguments(), 5);
  const int repetitions = options.repetitions;
  const QString& only = options.only;
  try {
    const BenchData data = qm::bench::PrepareBenchData(options.dataFolder);
    auto host = qm::CreateHostApplication();
    auto documents = host->Collections()->Item(QString::number(data.documentsCollection));
    auto tree = host->Collections()->Item(QString::number(data.foldersCollection));
    auto connection = documents->Connection();
    BareDb bareDocuments(data.documentsFile);
    BareDb bareTree(data.foldersFile);

    const QString fragment = QString::fromLatin1(qm::bench::kTitleFragment);
    const QString query =
        QStringLiteral(
            "SELECT EntryID FROM Document WHERE (VisibleInFolderID>1) AND Title LIKE "
            "'%%1%'")
            .arg(fragment);
    const QString bareQuery =
        QStringLiteral("SELECT EntryID FROM Document NOT INDEXED WHERE Title LIKE '%%1%'")
            .arg(fragment);
    const QString folderQuery =
        QStringLiteral(
            "SELECT EntryID FROM Document WHERE VisibleInFolderID IN (%1) AND Title "
            "LIKE '%%2%'")
            .arg(FolderList(data), QString::fromLatin1(qm::bench::kFolderFragment));
    const QString treeQuery = QStringLiteral(
        "WITH RECURSIVE tree(ID) AS (SELECT 1 UNION ALL SELECT Folder.ID FROM Folder JOIN tree "
        "ON Folder.ParentID = tree.ID) SELECT ID FROM tree");

    const Figure figures[] = {
        {"query", [&] { return std::size_t(connection->OpenRecordset(query)->RecordCount()); },
         [&] { return bareDocuments.Ids(bareQuery); }, 0},
        {"folder-query",
         [&] { return std::size_t(connection->OpenRecordset(folderQuery)->RecordCount()); },
         [&] { return bareDocuments.Ids(folderQuery); }, 0},
        {"walk",
         [&] {
           std::size_t count = 0;
           Walk(*tree->GetFolder(1)->SubFolders(), count);
           return count;
         },
         [&] { return bareTree.Ids(treeQuery); }, 1},  // the query counts the root as well
    };
    bool ok = true;
    PrintLoad("before");
    for (const Figure& figure : figures) {
      if (!only.isEmpty() && only != QLatin1String(figure.name)) {
        continue;
      }
      ok = Measure(figure, repetitions) && ok;
    }
    PrintLoad("after");
    if (only.isEmpty() || only == QLatin1String("import-bookmarks")) {
      MeasureImportMemory(options.dataFolder);
    }
    return ok ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "benchmark failed: %s\n", e.what());
    return 1;
  }
}
