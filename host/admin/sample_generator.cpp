#include "host/admin/sample_generator.h"

#include <QUrl>

#include <algorithm>
#include <array>

#include "host/admin/sample_vocabulary.h"

namespace qm::host {

namespace {

using sample_vocabulary::Words;

// A title ends in " - Site" most often, then " | Site", rarely " – Site".
constexpr std::array<const char*, 3> kSuffixSeparators = {" - ", " | ", " \u2013 "};
constexpr std::array<double, 3> kSuffixSeparatorShares = {0.6, 0.3, 0.1};

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

template <typename T>
const T& Pick(SampleRandom& random, const std::vector<T>& list) {
  return list[static_cast<std::size_t>(random.Below(list.size()))];
}

QString Capitalized(QString text) {
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}

// One phrase: a pattern of the language with its slots filled.
QString Phrase(SampleRandom& random, bool german) {
  const auto& language = german ? Words().german : Words().english;
  const QString& pattern = Pick(random, language.patterns);
  QString text;
  text.reserve(pattern.size() + 32);
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const qsizetype close = pattern[i] == u'{' ? pattern.indexOf(u'}', i) : -1;
    if (close < 0) {
      text += pattern[i];
      continue;
    }
    const QStringView slot = QStringView(pattern).mid(i + 1, close - i - 1);
    if (slot == u"N") {
      text += Pick(random, language.nouns);
    } else if (slot == u"A") {
      text += Pick(random, language.adjectives);
    } else if (slot == u"V") {
      text += Pick(random, language.verbs);
    } else if (slot == u"M") {
      text += Pick(random, language.months);
    } else {
      text += QString::number(1995 + random.Below(31));
    }
    i = close;
  }
  return Capitalized(text);
}

}  // namespace

const std::vector<QString>& SampleTitleSuffixes() {
  static const std::vector<QString> suffixes = [] {
    std::vector<QString> list;
    for (const auto& site : Words().sites) {
      for (const char* separator : kSuffixSeparators) {
        list.push_back(QString::fromUtf8(separator) + site.name);
      }
    }
    return list;
  }();
  return suffixes;
}

const std::vector<QString>& SampleTitlePrefixes() {
  static const std::vector<QString> prefixes = [] {
    std::vector<QString> list = {
        QStringLiteral("Druckversion - "), QStringLiteral("Druckansicht: "),
        QStringLiteral("Print version - "), QStringLiteral("Printer-friendly: ")};
    for (std::size_t i = 0; i < 3; ++i)
      list.push_back(Words().sites[i].name + QStringLiteral(": "));
    return list;
  }();
  return prefixes;
}

SampleRandom::SampleRandom(std::uint64_t seed) {
  for (auto& word : s_) word = SplitMix(seed);
}

std::uint64_t SampleRandom::Next() {
  const std::uint64_t result = RotateLeft(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = RotateLeft(s_[3], 45);
  return result;
}

std::uint64_t SampleRandom::Below(std::uint64_t bound) {
  // The top bits by a fraction of the bound: no modulo bias worth the name
  // for the small bounds used here, and fully determined by the seed.
  return static_cast<std::uint64_t>(Unit() * static_cast<double>(bound)) % bound;
}

double SampleRandom::Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

SampleGenerator::SampleGenerator(const SampleOptions& options)
    : total_(std::max<std::int64_t>(options.documents, 0)), random_(options.seed) {
  MakeFolders(std::max<std::int32_t>(options.folders, 0), options.seed ^ 0x5F0D3A9C21E4B687ull);
}

void SampleGenerator::MakeFolders(std::int32_t count, std::uint64_t seed) {
  SampleRandom random(seed);
  // The first 23 folders show every symbol once, in a shuffled order.
  std::array<std::int32_t, kMaxSampleFolderSymbol + 1> symbols{};
  for (std::size_t i = 0; i < symbols.size(); ++i) symbols[i] = static_cast<std::int32_t>(i);
  for (std::size_t i = symbols.size() - 1; i > 0; --i) {
    std::swap(symbols[i], symbols[static_cast<std::size_t>(random.Below(i + 1))]);
  }
  folders_.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    SampleFolder folder;
    folder.id = kFirstSampleFolderId + i;
    const double where = random.Unit();
    if (i == 0 || where < 0.30) {
      folder.parentId = 1;
    } else if (where < 0.36) {
      folder.parentId = kSampleReservedFolders[random.Below(std::size(kSampleReservedFolders))];
    } else {
      const SampleFolder& parent =
          folders_[static_cast<std::size_t>(random.Below(static_cast<std::uint64_t>(i)))];
      if (parent.depth < kMaxSampleFolderDepth) {
        folder.parentId = parent.id;
        folder.depth = parent.depth + 1;
      }
    }
    if (static_cast<std::size_t>(i) < symbols.size()) {
      folder.symbol = symbols[static_cast<std::size_t>(i)];
    } else {
      folder.symbol = random.Chance(0.5)
                          ? 0
                          : 1 + static_cast<std::int32_t>(random.Below(kMaxSampleFolderSymbol));
    }
    const bool german = random.Chance(0.5);
    const auto& names = german ? Words().germanFolderWords : Words().englishFolderWords;
    folder.name = Pick(random, names);
    const double decoration = random.Unit();
    if (decoration < 0.15) {
      folder.name += QStringLiteral(" %1").arg(2000 + random.Below(26));
    } else if (decoration < 0.30) {
      folder.name += QStringLiteral(" & ") + Pick(random, names);
    }
    folders_.push_back(std::move(folder));
  }
}

std::int32_t SampleGenerator::PickFolder() {
  using namespace sample_share;
  double where = random_.Unit();
  if (where < kInRoot) return 1;
  where -= kInRoot;
  if (where < kInOtherReserved) {
    static constexpr std::int32_t kOthers[] = {200, 300, 500, 600, 700};
    return kOthers[random_.Below(std::size(kOthers))];
  }
  if (folders_.empty() || where - kInOtherReserved < kInNewDocuments) return 400;
  // Early folders (near the top of the tree) hold more than late ones.
  const double skew = random_.Unit();
  const auto index = static_cast<std::size_t>(skew * skew * static_cast<double>(folders_.size()));
  return folders_[std::min(index, folders_.size() - 1)].id;
}

QString SampleGenerator::MakeTitle(bool german, int site, QString* slugWords) {
  using namespace sample_share;
  const double presence = random_.Unit();
  if (presence < kTitleNull) return QString();
  if (presence < kTitleNull + kTitleEmpty) return QStringLiteral("");
  QString base = Phrase(random_, german);
  const double extra = random_.Unit();
  if (extra < 0.04) {
    base += QStringLiteral(" %1").arg(1990 + random_.Below(36));
  } else if (extra < 0.07) {
    base += german ? QStringLiteral(": Folge 2") : QStringLiteral(", continued");
  } else if (extra < 0.09) {
    base += QStringLiteral(" \u2013 ") + Phrase(random_, german);
  }
  *slugWords = base;
  const double fragment = random_.Unit();
  if (fragment < kTitleSiteSuffix) {
    const double style = random_.Unit();
    std::size_t separator = 0;
    double upTo = kSuffixSeparatorShares[0];
    while (separator + 1 < kSuffixSeparators.size() && style >= upTo) {
      upTo += kSuffixSeparatorShares[++separator];
    }
    const auto index = static_cast<std::size_t>(site) * kSuffixSeparators.size() + separator;
    return base + SampleTitleSuffixes()[index];
  }
  if (fragment < kTitleSiteSuffix + kTitlePrefix)
    return Pick(random_, SampleTitlePrefixes()) + base;
  return base;
}

QString SampleGenerator::MakeComment(bool german, int site) {
  using namespace sample_share;
  const double presence = random_.Unit();
  if (presence < kCommentNull) return QString();
  if (presence < kCommentNull + kCommentEmpty) return QStringLiteral("");
  const int lines = random_.Chance(kCommentMultiline) ? 2 + static_cast<int>(random_.Below(3)) : 1;
  QString comment;
  for (int line = 0; line < lines; ++line) {
    if (line > 0) comment += u'\n';
    const double kind = random_.Unit();
    if (kind < 0.4) {
      comment += Pick(random_, german ? Words().germanNotes : Words().englishNotes);
    } else if (kind < 0.5) {
      comment += (german ? QStringLiteral("Quelle: ") : QStringLiteral("Source: ")) +
                 Words().sites[static_cast<std::size_t>(site)].name;
    } else {
      comment += Phrase(random_, german) + u'.';
    }
  }
  return comment;
}

QString SampleGenerator::MakeUrl(int site, const QString& slugWords) {
  using namespace sample_share;
  const double presence = random_.Unit();
  if (presence < kUrlNull) return QString();
  if (presence < kUrlNull + kUrlEmpty) return QStringLiteral("");
  QString url = random_.Chance(0.8) ? QStringLiteral("https://") : QStringLiteral("http://");
  url += random_.Chance(0.8) ? Words().sites[static_cast<std::size_t>(site)].domain
                             : Pick(random_, Words().plainDomains);
  url += QStringLiteral("/%1/").arg(2000 + random_.Below(26));
  if (slugWords.isEmpty()) {
    url += QStringLiteral("article/%1").arg(random_.Below(1000000));
  } else if (random_.Chance(0.05)) {
    // Some sites keep the words as they are, percent-encoded.
    url += QString::fromLatin1(QUrl::toPercentEncoding(slugWords.section(u' ', 0, 3)));
  } else {
    url += sample_vocabulary::Slug(slugWords.section(u' ', 0, 5));
    if (random_.Chance(0.3)) url += QStringLiteral(".html");
  }
  if (random_.Chance(0.2)) {
    url += QStringLiteral("?id=%1").arg(random_.Below(100000));
    if (random_.Chance(0.5)) url += QStringLiteral("&ref=rss");
  }
  if (random_.Chance(0.05)) url += QStringLiteral("#comments");
  return url;
}

bool SampleGenerator::Next(SampleDocument& document) {
  if (produced_ >= total_) return false;
  ++produced_;
  document.folderId = PickFolder();
  const auto& sites = Words().sites;
  const int site = static_cast<int>(random_.Below(sites.size()));
  const bool german = random_.Chance(sites[static_cast<std::size_t>(site)].german ? 0.8 : 0.2);
  QString slugWords;
  document.title = MakeTitle(german, site, &slugWords);
  document.comment = MakeComment(german, site);
  document.url = MakeUrl(site, slugWords);
  return true;
}

}  // namespace qm::host
