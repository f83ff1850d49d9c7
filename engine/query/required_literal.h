// The text every value a search can change must hold, for the database to
// narrow the candidates with LIKE before the engine decides each one.
//
// For a plain search that is the search text itself, whatever the options:
// Match case and Whole words only take away from what LIKE finds. For a
// pattern it is the longest run of plain characters that every match must
// go through: read from the pattern's top level only, and only when that
// level has no alternative (`|`). Groups, classes, escapes other than a
// quoted punctuation mark, `\Q...\E` aside, and anchors end a run; a
// quantifier (`*`, `+`, `?`, `{`) takes the character before it out. Where
// the pattern could change what its characters mean or cut a match short
// (extended mode, verbs such as `(*ACCEPT)`), or when it is no valid pattern,
// nothing is derived. Empty means the database cannot narrow: every value
// in scope is a candidate.
#pragma once

#include <QString>

#include "engine/query/search_options.h"

namespace qm {

QString RequiredLiteral(const QString& searchText, const SearchOptions& options);

}  // namespace qm
