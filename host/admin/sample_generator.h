// Realistic, reproducible sample content for stand-in collections.
//
// Titles carry the site-name fragments that real collections fill up with
// (" - Example News", "Druckversion - ", "| Beispiel Zeitung"), which is what
// the tool is used to remove; comments and addresses vary from missing to
// multi-line; German and English words with umlauts. Every site, name and
// domain is invented, and addresses use example.com/.org/.net or the
// reserved ".example" domain.
//
// The same options and seed give the same folders and documents, in the same
// order, on every machine. Documents are produced one at a time, so any
// number of them takes constant memory; the folders (a few thousand at most
// in practice) are made up front.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace qm::host {

// Shares of documents (of all documents unless said otherwise). Public so
// that tests can hold the generator to them.
namespace sample_share {
inline constexpr double kTitleNull = 0.01;
inline constexpr double kTitleEmpty = 0.02;
inline constexpr double kTitleSiteSuffix = 0.30;  // of titles with text
inline constexpr double kTitlePrefix = 0.08;      // of titles with text
inline constexpr double kCommentNull = 0.35;
inline constexpr double kCommentEmpty = 0.10;
inline constexpr double kCommentMultiline = 0.10;  // of comments with text
inline constexpr double kUrlNull = 0.02;
inline constexpr double kUrlEmpty = 0.02;
inline constexpr double kInNewDocuments = 0.06;   // folder 400
inline constexpr double kInOtherReserved = 0.03;  // 200, 300, 500, 600, 700
inline constexpr double kInRoot = 0.005;          // folder 1
}  // namespace sample_share

// Folders that every collection of the host already has.
inline constexpr std::int32_t kSampleReservedFolders[] = {200, 300, 400, 500, 600, 700};
inline constexpr std::int32_t kFirstSampleFolderId = 1001;
inline constexpr std::int32_t kMaxSampleFolderSymbol = 22;
inline constexpr int kMaxSampleFolderDepth = 8;

// The fragments titles are given; a title has at most one of them.
const std::vector<QString>& SampleTitleSuffixes();  // " - Example News", " | Beispiel Zeitung"...
const std::vector<QString>& SampleTitlePrefixes();  // "Druckversion - ", "Example News: "...

struct SampleOptions {
  std::int64_t documents = 1000;
  std::int32_t folders = 40;
  std::uint64_t seed = 1;
};

struct SampleFolder {
  std::int32_t id = 0;        // kFirstSampleFolderId, +1, ... in this order
  std::int32_t parentId = 1;  // 1, a reserved folder, or an earlier sample folder
  QString name;
  std::int32_t symbol = 0;  // 0 (plain) to kMaxSampleFolderSymbol
  int depth = 1;            // 1 below the root or a reserved folder
};

// A null QString stands for a field without a value (SQL NULL).
struct SampleDocument {
  std::int32_t folderId = 400;  // 1, a reserved folder or a SampleFolder id
  QString title;
  QString comment;
  QString url;
};

// xoshiro256** seeded through splitmix64: fixed output for a seed, unlike the
// standard library's distributions.
class SampleRandom {
 public:
  explicit SampleRandom(std::uint64_t seed);
  std::uint64_t Next();
  std::uint64_t Below(std::uint64_t bound);  // 0 <= x < bound; bound > 0
  double Unit();                             // 0 <= x < 1
  bool Chance(double share) { return Unit() < share; }

 private:
  std::uint64_t s_[4];
};

class SampleGenerator {
 public:
  // Negative counts are taken as 0.
  explicit SampleGenerator(const SampleOptions& options);

  // Parents always come before their children.
  const std::vector<SampleFolder>& Folders() const { return folders_; }

  // The next document; false once all were produced.
  bool Next(SampleDocument& document);
  std::int64_t produced() const { return produced_; }

 private:
  void MakeFolders(std::int32_t count, std::uint64_t seed);
  std::int32_t PickFolder();
  QString MakeTitle(bool german, int site, QString* slugWords);
  QString MakeComment(bool german, int site);
  QString MakeUrl(int site, const QString& slugWords);

  std::vector<SampleFolder> folders_;
  std::int64_t total_ = 0;
  std::int64_t produced_ = 0;
  SampleRandom random_;
};

}  // namespace qm::host
