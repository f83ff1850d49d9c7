#include "host/admin/sample_generator.h"

#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

namespace {

using qm::host::SampleDocument;
using qm::host::SampleGenerator;
using qm::host::SampleOptions;
namespace share = qm::host::sample_share;

std::vector<SampleDocument> Generate(const SampleOptions& options) {
  SampleGenerator generator(options);
  std::vector<SampleDocument> documents;
  SampleDocument document;
  while (generator.Next(document)) documents.push_back(document);
  return documents;
}

bool SameDocument(const SampleDocument& a, const SampleDocument& b) {
  // Null and empty differ in the host, so they must differ here too.
  return a.folderId == b.folderId && a.title == b.title && a.title.isNull() == b.title.isNull() &&
         a.comment == b.comment && a.comment.isNull() == b.comment.isNull() && a.url == b.url &&
         a.url.isNull() == b.url.isNull();
}

// Within five standard deviations of a binomial share, plus a little slack.
void ExpectShare(const char* what, std::int64_t hits, std::int64_t total, double expected) {
  ASSERT_GT(total, 0) << what;
  const double observed = static_cast<double>(hits) / static_cast<double>(total);
  const double tolerance =
      5 * std::sqrt(expected * (1 - expected) / static_cast<double>(total)) + 0.002;
  EXPECT_NEAR(observed, expected, tolerance) << what << ": " << hits << " of " << total;
}

TEST(SampleGenerator, SameSeedSameContentOtherSeedOtherContent) {
  const SampleOptions options{3000, 60, 42};
  const auto first = Generate(options);
  const auto second = Generate(options);
  ASSERT_EQ(first.size(), 3000u);
  ASSERT_EQ(second.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    ASSERT_TRUE(SameDocument(first[i], second[i])) << "document " << i;
  }
  SampleGenerator a(options);
  SampleGenerator b(options);
  ASSERT_EQ(a.Folders().size(), b.Folders().size());
  for (std::size_t i = 0; i < a.Folders().size(); ++i) {
    EXPECT_EQ(a.Folders()[i].name, b.Folders()[i].name);
    EXPECT_EQ(a.Folders()[i].parentId, b.Folders()[i].parentId);
    EXPECT_EQ(a.Folders()[i].symbol, b.Folders()[i].symbol);
  }

  const auto other = Generate({3000, 60, 43});
  std::size_t same = 0;
  for (std::size_t i = 0; i < first.size(); ++i) same += SameDocument(first[i], other[i]) ? 1 : 0;
  EXPECT_LT(same, 30u);
}

TEST(SampleGenerator, MoreDocumentsExtendFewerWithoutChangingThem) {
  const auto small = Generate({200, 30, 9});
  const auto large = Generate({5000, 30, 9});
  ASSERT_EQ(small.size(), 200u);
  for (std::size_t i = 0; i < small.size(); ++i) {
    ASSERT_TRUE(SameDocument(small[i], large[i])) << "document " << i;
  }
}

TEST(SampleGenerator, FieldsFollowTheIntendedShares) {
  const auto documents = Generate({40000, 120, 7});
  std::int64_t titleNull = 0, titleEmpty = 0, suffix = 0, prefix = 0;
  std::int64_t commentNull = 0, commentEmpty = 0, multiline = 0, urlNull = 0, urlEmpty = 0;
  std::int64_t inRoot = 0, inNew = 0, inOtherReserved = 0, umlauts = 0;
  const std::set<std::int32_t> otherReserved = {200, 300, 500, 600, 700};
  for (const auto& d : documents) {
    titleNull += d.title.isNull();
    titleEmpty += !d.title.isNull() && d.title.isEmpty();
    for (const auto& s : qm::host::SampleTitleSuffixes()) suffix += d.title.endsWith(s);
    for (const auto& p : qm::host::SampleTitlePrefixes()) prefix += d.title.startsWith(p);
    commentNull += d.comment.isNull();
    commentEmpty += !d.comment.isNull() && d.comment.isEmpty();
    multiline += d.comment.contains(u'\n');
    urlNull += d.url.isNull();
    urlEmpty += !d.url.isNull() && d.url.isEmpty();
    inRoot += d.folderId == 1;
    inNew += d.folderId == 400;
    inOtherReserved += otherReserved.count(d.folderId);
    umlauts += d.title.contains(QRegularExpression(QString::fromUtf8("[äöüÄÖÜß]")));
  }
  const auto total = static_cast<std::int64_t>(documents.size());
  const std::int64_t titled = total - titleNull - titleEmpty;
  const std::int64_t commented = total - commentNull - commentEmpty;
  ExpectShare("title null", titleNull, total, share::kTitleNull);
  ExpectShare("title empty", titleEmpty, total, share::kTitleEmpty);
  ExpectShare("site suffix", suffix, titled, share::kTitleSiteSuffix);
  ExpectShare("prefix", prefix, titled, share::kTitlePrefix);
  ExpectShare("comment null", commentNull, total, share::kCommentNull);
  ExpectShare("comment empty", commentEmpty, total, share::kCommentEmpty);
  ExpectShare("multi-line comment", multiline, commented, share::kCommentMultiline);
  ExpectShare("url null", urlNull, total, share::kUrlNull);
  ExpectShare("url empty", urlEmpty, total, share::kUrlEmpty);
  ExpectShare("root", inRoot, total, share::kInRoot);
  ExpectShare("new documents", inNew, total, share::kInNewDocuments);
  ExpectShare("other reserved", inOtherReserved, total, share::kInOtherReserved);
  EXPECT_GT(umlauts, total / 20);
}

TEST(SampleGenerator, EveryFragmentAndSeparatorOccurs) {
  std::map<QString, int> seen;
  for (const auto& d : Generate({40000, 0, 3})) {
    for (const auto& s : qm::host::SampleTitleSuffixes()) seen[s] += d.title.endsWith(s);
    for (const auto& p : qm::host::SampleTitlePrefixes()) seen[p] += d.title.startsWith(p);
  }
  for (const auto& [fragment, count] : seen) EXPECT_GT(count, 0) << fragment.toStdString();
  EXPECT_TRUE(seen.count(QStringLiteral(" - Example News")));
  EXPECT_TRUE(seen.count(QStringLiteral(" | Beispiel Zeitung")));
  EXPECT_TRUE(seen.count(QStringLiteral("Druckversion - ")));
}

TEST(SampleGenerator, AddressesAreWellFormedAndInvented) {
  const QRegularExpression allowedHost(
      QStringLiteral(R"((^|\.)example\.(com|org|net)$|\.example$)"));
  int checked = 0;
  for (const auto& d : Generate({5000, 10, 11})) {
    if (d.url.isEmpty()) continue;
    const QUrl url(d.url, QUrl::StrictMode);
    ASSERT_TRUE(url.isValid()) << d.url.toStdString();
    EXPECT_TRUE(url.scheme() == u"https" || url.scheme() == u"http") << d.url.toStdString();
    EXPECT_TRUE(allowedHost.match(url.host()).hasMatch()) << d.url.toStdString();
    ++checked;
  }
  EXPECT_GT(checked, 4500);
}

TEST(SampleGenerator, FolderTreeIsWellFormedAndShowsEverySymbol) {
  for (const std::int32_t count : {23, 40, 500}) {
    SampleGenerator generator({100, count, 5});
    const auto& folders = generator.Folders();
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(count));
    std::set<std::int32_t> symbols;
    std::map<std::int32_t, int> depthOf = {{1, 0}};
    for (std::int32_t reserved : qm::host::kSampleReservedFolders) depthOf[reserved] = 0;
    for (std::size_t i = 0; i < folders.size(); ++i) {
      const auto& f = folders[i];
      EXPECT_EQ(f.id, qm::host::kFirstSampleFolderId + static_cast<std::int32_t>(i));
      ASSERT_TRUE(depthOf.count(f.parentId)) << "parent after child: " << f.id;
      EXPECT_EQ(f.depth, depthOf[f.parentId] + 1);
      EXPECT_LE(f.depth, qm::host::kMaxSampleFolderDepth);
      EXPECT_FALSE(f.name.trimmed().isEmpty());
      EXPECT_GE(f.symbol, 0);
      EXPECT_LE(f.symbol, qm::host::kMaxSampleFolderSymbol);
      symbols.insert(f.symbol);
      depthOf[f.id] = f.depth;
    }
    EXPECT_EQ(symbols.size(), 23u) << count << " folders";
  }
}

TEST(SampleGenerator, DocumentsLandOnlyInFoldersThatExist) {
  SampleGenerator generator({20000, 300, 21});
  std::set<std::int32_t> known = {1};
  for (std::int32_t reserved : qm::host::kSampleReservedFolders) known.insert(reserved);
  for (const auto& f : generator.Folders()) known.insert(f.id);
  std::set<std::int32_t> used;
  SampleDocument d;
  while (generator.Next(d)) {
    ASSERT_TRUE(known.count(d.folderId)) << d.folderId;
    used.insert(d.folderId);
  }
  EXPECT_GT(used.size(), 200u);  // spread over most folders, not piled into a few

  SampleGenerator noFolders({500, 0, 1});
  while (noFolders.Next(d)) ASSERT_TRUE(d.folderId <= 700) << d.folderId;
}

TEST(SampleGenerator, NegativeCountsProduceNothing) {
  SampleGenerator generator({-5, -3, 1});
  SampleDocument d;
  EXPECT_FALSE(generator.Next(d));
  EXPECT_TRUE(generator.Folders().empty());
  EXPECT_EQ(generator.produced(), 0);
}

}  // namespace
