// FindMatches over a stand-in collection large enough that its candidates
// come in many pages: they are the documents the candidate query selects and
// the rewrite changes, in that query's order, each once.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/engine_on_host.h"
#include "engine/query/candidate_pages.h"
#include "engine/query/folder_scope.h"
#include "engine/run/exact_matches.h"
#include "engine/run/text_rewrite.h"
#include "host/lib/collection_db.h"

namespace {

using qm::MatchSearch;
using qm::QueryScope;
using qm::SearchField;
using qm::SearchOptions;

class ExactMatchesTest : public qm::testing::EngineOnHost {
 protected:
  void SetUp() override {
    EngineOnHost::SetUp();
    qm::hostadmin::CollectionWriter writer(id_);
    // One folder of the whole collection and one inside A's list are longer
    // than a page; A lists more folders than one page names.
    const auto fill = [&](std::int32_t folder, int count) {
      for (int i = 0; i < count; ++i) {
        const char* kinds[] = {"Report %1", "REPORT %1", "memo %1"};
        writer.AddDocument({folder, QString::fromLatin1(kinds[i % 3]).arg(i), {}, {}});
      }
    };
    fill(writer.AddFolder(1, QStringLiteral("Big"), 0), 5000);
    for (int i = 0; i < 600; ++i) {
      const std::int32_t folder = writer.AddFolder(a_, QStringLiteral("S%1").arg(i), 0);
      fill(folder, i == 300 ? 6300 : 2);
      last_ = folder;
    }
    writer.Commit();
  }

  // What the matches must be: the candidate query's rows whose title the
  // rewrite changes.
  std::vector<std::int64_t> Expected(const QueryScope& scope, const MatchSearch& search) {
    std::map<std::int64_t, QString> titles;
    for (const auto& d : qm::hostadmin::ListDocuments(id_)) {
      titles[d.entryId] = d.title;
    }
    const qm::TextRewrite rewrite(search.searchText, search.replaceText, search.options);
    const auto rows = inner_->Connection()->OpenRecordset(
        qm::BuildQueryText(scope, search.field, search.searchText, search.options));
    candidates_ = rows->RecordCount();
    std::vector<std::int64_t> ids;
    for (; !rows->Eof(); rows->MoveNext()) {
      const std::int64_t id = rows->Value(QStringLiteral("EntryID")).toLongLong();
      if (rewrite(titles.at(id)).changed) {
        ids.push_back(id);
      }
    }
    return ids;
  }

  std::vector<std::int64_t> Found(const QueryScope& scope, const MatchSearch& search) {
    const qm::FoundMatches found = qm::FindMatches(port_, *collection_, scope, search);
    EXPECT_FALSE(found.stopped);
    std::vector<std::int64_t> ids;
    for (auto& rows = *found.matches.recordset; !rows.Eof(); rows.MoveNext()) {
      ids.push_back(rows.Value(QStringLiteral("EntryID")).toLongLong());
    }
    EXPECT_EQ(found.matches.count, static_cast<std::int64_t>(ids.size()));
    return ids;
  }

  std::int32_t last_ = 0;
  std::int64_t candidates_ = 0;
};

TEST_F(ExactMatchesTest, ManyPagesGiveTheCandidateQuerysMatchesInItsOrder) {
  const auto folders = qm::DecideScope(*Folder(a_), port_);
  ASSERT_TRUE(folders);
  const SearchOptions pattern{false, false, true, false};
  const SearchOptions matchCase{true, false, false, false};
  struct Case {
    const char* name;
    QueryScope scope;
    MatchSearch search;
  };
  const Case cases[] = {
      {"whole collection, every document a candidate",
       QueryScope::WholeCollection(),
       {SearchField::Title, QStringLiteral("Report \\d|abc"), QStringLiteral("x"), pattern}},
      {"whole collection, narrowed",
       QueryScope::WholeCollection(),
       {SearchField::Title, QStringLiteral("Report"), QString(), matchCase}},
      {"folder list, every document a candidate",
       *folders,
       {SearchField::Title, QStringLiteral("Report \\d|abc"), QStringLiteral("x"), pattern}},
      {"folder list, narrowed",
       *folders,
       {SearchField::Title, QStringLiteral("Report"), QString(), matchCase}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::int64_t> expected = Expected(c.scope, c.search);
    ASSERT_GT(candidates_, static_cast<std::int64_t>(qm::kCandidatePage));
    EXPECT_EQ(Found(c.scope, c.search), expected);
  }
}

// The host's user moves a match already read into the last folder, which is
// read later: the run must visit it once, not twice.
TEST_F(ExactMatchesTest, ADocumentMovedAheadIsFoundOnce) {
  const MatchSearch search{SearchField::Title, QStringLiteral("Report"), QString(),
                           SearchOptions{true, false, false, false}};
  const QueryScope whole = QueryScope::WholeCollection();
  const std::int64_t moved = Expected(whole, search).front();
  port_.onEvents = [&](int pass) {
    if (pass == 1) {
      qm::host::OpenCollectionDb(File()).Exec(
          QStringLiteral("UPDATE Document SET VisibleInFolderID=%1 WHERE EntryID=%2")
              .arg(last_)
              .arg(moved)
              .toUtf8()
              .constData(),
          "Moving a document");
    }
  };
  std::vector<std::int64_t> found = Found(whole, search);
  std::vector<std::int64_t> expected = Expected(whole, search);
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

}  // namespace
