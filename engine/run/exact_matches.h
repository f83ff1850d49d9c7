// The documents a search with options changes, decided one by one.
//
// With all options off, or for an empty search text, the database's LIKE
// decides, as it always has (OpenMatches). With any option on, the database
// only narrows: its query (BuildQueryText with the options) gives the
// candidates, and each candidate's field is read, a page at a time through
// the collection's connection, and decided by the run's own rewrite as it
// is read.
// The documents it changes, in the query's order, are the matches that
// Verify Matches counts, the question names, the review lists and the run
// writes; a document whose rewrite runs into the pattern's match limit is
// none of them and is counted apart. A candidate deleted meanwhile is left
// out.
//
// Between pages window events run once, so the window answers in a long
// count as in a long run; a stop request made then ends the search with
// `stopped` set and nothing found. Host failures propagate.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "engine/command/window_port.h"
#include "engine/query/match_query.h"
#include "engine/query/query_text.h"
#include "engine/query/search_field.h"
#include "engine/query/search_options.h"
#include "hostlib/host_library.h"

namespace qm {

struct FoundMatches {
  // Its recordset holds the column EntryID alone.
  Matches matches;
  // Candidates on which the pattern ran into its match limit.
  std::int32_t limitCount = 0;
  bool stopped = false;
};

struct MatchSearch {
  SearchField field = SearchField::Title;
  QString searchText;
  // Empty in remove mode.
  QString replaceText;
  SearchOptions options;
};

FoundMatches FindMatches(WindowPort& port, HostCollection& collection,
                         const std::optional<QueryScope>& scope, const MatchSearch& search);

// Candidates decided together where their fields are read by EntryID.
inline constexpr std::int64_t kDecideChunk = 256;

}  // namespace qm
