// What a query over a stand-in collection must select, worked out in C++
// from the documents themselves, and what it did select.
#pragma once

#include <QSet>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/like_matcher.h"
#include "engine/query/query_text.h"
#include "host/admin/host_admin.h"
#include "hostlib/host_library.h"

namespace qm::testing {

struct CorpusDocument {
  std::int64_t entryId = 0;
  std::int32_t folderId = 0;
  std::array<QString, 3> fields;  // by SearchField; a null QString has no value
  std::array<std::vector<char32_t>, 3> folded;
};

inline std::vector<CorpusDocument> LoadCorpus(std::int32_t collectionId) {
  std::vector<CorpusDocument> corpus;
  for (const hostadmin::DocumentInfo& info : hostadmin::ListDocuments(collectionId)) {
    CorpusDocument d;
    d.entryId = info.entryId;
    d.folderId = info.folderId;
    d.fields = {info.title, info.comment, info.url};
    for (std::size_t f = 0; f < 3; ++f) {
      d.folded[f] = FoldedCodePoints(d.fields[f]);
    }
    corpus.push_back(std::move(d));
  }
  return corpus;
}

// The folders of a scope, or nothing for the whole collection.
inline std::optional<QSet<std::int32_t>> ScopeFolders(const QueryScope& scope) {
  if (scope.IsWholeCollection()) {
    return std::nullopt;
  }
  QSet<std::int32_t> ids;
  for (const QString& id : scope.FolderIdList().split(u',')) {
    ids.insert(id.toInt());
  }
  return ids;
}

// EntryIDs in ascending order.
inline std::vector<std::int64_t> ExpectedMatches(const std::vector<CorpusDocument>& corpus,
                                                 const QueryScope& scope, SearchField field,
                                                 const QString& searchText) {
  const auto f = static_cast<std::size_t>(field);
  const std::vector<char32_t> pattern = FoldedCodePoints(LikePatternFor(searchText));
  const std::optional<QSet<std::int32_t>> folders = ScopeFolders(scope);
  std::vector<std::int64_t> ids;
  for (const CorpusDocument& d : corpus) {
    const bool inScope = folders ? folders->contains(d.folderId) : d.folderId > 1;
    if (!inScope) {
      continue;
    }
    const bool selected = searchText.isEmpty()
                              ? d.fields[f].isEmpty()  // no value, or the empty text
                              : !d.fields[f].isNull() && LikeMatchesFolded(d.folded[f], pattern);
    if (selected) {
      ids.push_back(d.entryId);
    }
  }
  return ids;
}

// EntryIDs of every row, in ascending order.
inline std::vector<std::int64_t> SelectedIds(HostConnection& connection, const QString& query) {
  const std::shared_ptr<HostRecordset> rows = connection.OpenRecordset(query);
  std::vector<std::int64_t> ids;
  for (; !rows->Eof(); rows->MoveNext()) {
    ids.push_back(rows->Value(QStringLiteral("EntryID")).toLongLong());
  }
  rows->Close();
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace qm::testing
