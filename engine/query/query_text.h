// The query that selects the documents a command works on.
//
// Verify Matches and the replace run both turn the user's criteria into one
// SQL text over the host's Document table: the EntryID of every document in
// scope whose chosen field contains the search text (LIKE, so "%" and "_"
// in the search text keep their wildcard meaning), or, for an empty search
// text, whose field is empty or has no value.
//
// Whatever the search text holds, the result is exactly one SELECT statement
// whose only string literal is the LIKE pattern: the delimiter is doubled
// inside the literal, and characters that no SQL literal can carry are
// turned into the one-character wildcard (see LikePatternFor).
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "engine/query/search_field.h"
#include "engine/query/search_options.h"

namespace qm {

// The number of the error raised for a folder-ID list that is not one.
inline constexpr std::int32_t kInvalidScopeError = static_cast<std::int32_t>(0x80040005u);

// Which documents a query may select: every document of the collection
// outside its root folder, or the documents of a list of folders.
class QueryScope {
 public:
  static QueryScope WholeCollection();
  // `folderIdList` is decimal folder IDs joined by single commas, without
  // blanks, as BuildFolderIdList makes it. Anything else (including the empty
  // text, which no query can use) fails with kInvalidScopeError, so that no
  // text but digits and commas ever reaches the query this way.
  static QueryScope Folders(const QString& folderIdList);

  bool IsWholeCollection() const { return wholeCollection_; }
  // Empty for the whole collection.
  const QString& FolderIdList() const { return folderIdList_; }

 private:
  QueryScope(bool wholeCollection, QString folderIdList);
  bool wholeCollection_;
  QString folderIdList_;
};

// The query text for a scope, a field and a search text, handed unchanged to
// the database as a text command.
QString BuildQueryText(const QueryScope& scope, SearchField field, const QString& searchText);

// The query of the candidates for a search with options: with all of them
// off, or for an empty search text (a fill, whatever they say), the query
// above. Otherwise every document in scope whose field holds the search's
// required literal (required_literal.h), compared by LIKE with "%", "_" and
// the escape character "\" taken literally; with no literal, every document
// in scope, a field without a value included (a pattern such as "^$" changes
// that too). The engine then decides each candidate by its rewrite.
QString BuildQueryText(const QueryScope& scope, SearchField field, const QString& searchText,
                       const SearchOptions& options);

// What the query above adds to its scope for a search with options, from
// its first " AND" on; empty where it adds nothing. For those who read the
// same candidates with a query of their own (candidate_pages.h).
QString CandidateCondition(SearchField field, const QString& searchText,
                           const SearchOptions& options);

// The query that reads one field of the documents with these EntryIDs (of
// whole numbers only, which is all the text is made of): their EntryID and
// the field, in no particular order, one row for each that exists.
QString BuildFieldQueryText(SearchField field, const std::vector<qlonglong>& entryIds);

// The LIKE pattern the query compares the field with, for a non-empty search
// text: the search text between two "%". A NUL character and half of a
// surrogate pair cannot be carried by an SQL literal; each becomes "_", so the
// query selects every document the exact text could be in, and the rewrite,
// which compares the text itself, decides what changes.
QString LikePatternFor(const QString& searchText);

// The same for a text to be found exactly as it is: "%", "_" and "\" inside
// it escaped with "\", the ESCAPE character of the query that uses it.
QString EscapedLikePatternFor(const QString& literal);

}  // namespace qm
