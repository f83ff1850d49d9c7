#include "bench/bench_data.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "host/admin/host_admin.h"

namespace qm::bench {
namespace {

namespace admin = qm::hostadmin;

const QString kDocumentsName = QStringLiteral("Bench Documents");
const QString kFoldersName = QStringLiteral("Bench Folders");

const char* const kWords[] = {
    "Home",    "Travel",  "Recipes", "Garden",   "Review",  "Howto",  "Linux",   "Python",
    "Weather", "Berlin",  "Music",   "Jazz",     "History", "Rome",   "Cycling", "Camera",
    "Budget",  "Market",  "Science", "Space",    "Ocean",   "Forest", "Coffee",  "Bread",
    "Chess",   "Opening", "Tactics", "Football", "League",  "Score",  "Movie",   "Trailer",
    "Report",  "Annual",  "Energy",  "Solar",    "Battery", "Phone",  "Laptop",  "Repair",
    "Manual",  "Paper",   "Study",   "Health",   "Running", "Yoga",   "Sleep",   "Diet",
};
const char* const kSites[] = {"Example Times", "Daily Notes", "Tech Forum", "City Portal",
                              "Open Library",  "Photo Club",  "Dev Blog",   "Shop Online"};

QString Title(std::mt19937_64& random) {
  std::uniform_int_distribution<int> word(0, std::size(kWords) - 1);
  std::uniform_int_distribution<int> length(3, 7);
  std::uniform_int_distribution<int> percent(0, 99);
  QString title;
  for (int i = length(random); i > 0; --i) {
    title += QString::fromLatin1(kWords[word(random)]) + QLatin1Char(' ');
  }
  if (percent(random) < 10) {
    title += QStringLiteral("Guide ");
  }
  title += QStringLiteral("- ");
  if (percent(random) < 10) {
    const char* forms[] = {"Wikipedia", "WIKIPEDIA", "wikipedia"};
    title += QString::fromLatin1(forms[percent(random) % 3]);
  } else {
    title += QString::fromLatin1(kSites[percent(random) % std::size(kSites)]);
  }
  return title;
}

std::optional<admin::CollectionInfo> Find(const QString& name) {
  try {
    for (const auto& info : admin::ListCollections()) {
      if (info.name == name) {
        return info;
      }
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

void MakeDocuments(std::int32_t id, std::vector<std::int32_t>& folders) {
  admin::CollectionWriter writer(id);
  for (std::int32_t i = 0; i < kDocumentFolderCount; ++i) {
    folders.push_back(writer.AddFolder(1, QStringLiteral("Folder %1").arg(i), i % 8));
  }
  std::mt19937_64 random(20240611);
  const std::int64_t perFolder = kDocumentCount / kDocumentFolderCount;
  for (std::int32_t folder : folders) {
    for (std::int64_t i = 0; i < perFolder; ++i) {
      const QString title = Title(random);
      writer.AddDocument({folder, title, QStringLiteral("Saved for later: ") + title,
                          QStringLiteral("https://www.example.org/%1/%2").arg(folder).arg(i)});
    }
  }
  writer.Commit();
}

// A tree ten wide at every level, filled breadth-first.
void MakeFolderTree(std::int32_t id) {
  admin::CollectionWriter writer(id);
  std::vector<std::int32_t> level = {1};
  std::int32_t made = 0;
  while (made < kTreeFolderCount) {
    std::vector<std::int32_t> next;
    for (std::int32_t parent : level) {
      for (int i = 0; i < 10 && made < kTreeFolderCount; ++i, ++made) {
        next.push_back(writer.AddFolder(parent, QStringLiteral("F%1").arg(made), made % 5));
      }
    }
    level = std::move(next);
  }
  writer.Commit();
}

}  // namespace

BenchData PrepareBenchData(const QString& folder) {
  const QString absolute = QDir(folder).absolutePath();
  qputenv("XDG_CONFIG_HOME", (absolute + QStringLiteral("/config")).toUtf8());
  const QString marker = absolute + QStringLiteral("/complete");
  if (!QFile::exists(marker) || !Find(kDocumentsName) || !Find(kFoldersName)) {
    std::fprintf(stderr, "Making the benchmark data in %s (once)...\n", qPrintable(absolute));
    QElapsedTimer timer;
    timer.start();
    QDir(absolute).removeRecursively();
    QDir().mkpath(absolute);
    admin::InstallHost(admin::HostEdition::English, absolute + QStringLiteral("/install"));
    std::vector<std::int32_t> folders;
    MakeDocuments(admin::CreateCollection(kDocumentsName, false), folders);
    std::fprintf(stderr, "  %lld documents in %.1f s\n", static_cast<long long>(kDocumentCount),
                 timer.elapsed() / 1000.0);
    MakeFolderTree(admin::CreateCollection(kFoldersName, false));
    std::fprintf(stderr, "  and %d folders, %.1f s in all\n", kTreeFolderCount,
                 timer.elapsed() / 1000.0);
    QFile file(marker);
    file.open(QIODevice::WriteOnly);
  }
  BenchData data;
  const auto documents = *Find(kDocumentsName);
  const auto tree = *Find(kFoldersName);
  admin::SetDefaultCollection(documents.id);
  data.documentsCollection = documents.id;
  data.documentsFile = documents.file;
  data.foldersCollection = tree.id;
  data.foldersFile = tree.file;
  for (const auto& info : admin::FolderTree(documents.id)) {
    if (info.id > 1000) {
      data.documentFolders.push_back(info.id);
    }
  }
  return data;
}

BenchOptions ParseBenchOptions(const QStringList& arguments, int defaultRepetitions) {
  BenchOptions options;
  options.repetitions = defaultRepetitions;
  for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
    if (arguments[i] == QStringLiteral("--data")) {
      options.dataFolder = arguments[i + 1];
    } else if (arguments[i] == QStringLiteral("--repetitions")) {
      options.repetitions = std::max(1, arguments[i + 1].toInt());
    } else if (arguments[i] == QStringLiteral("--only")) {
      options.only = arguments[i + 1];
    }
  }
  return options;
}

long StatusKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) {
    return -1;
  }
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(field)) {
      const QByteArray value = line.mid(static_cast<qsizetype>(std::strlen(field))).trimmed();
      return value.split(' ').first().toLong();
    }
  }
  return -1;
}

void ResetPeakMemory() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly)) {
    clear.write("5");
  }
}

}  // namespace qm::bench
