// The regular expression a pattern search runs, and the check that a
// search can run at all, made before anything runs.
//
// A pattern is Qt's QRegularExpression (PCRE2) with Unicode properties, so
// \w, \d, \b and the case rules know every script; it matches without
// regard to case unless Match case is on. With Whole words it is enclosed in
// lookarounds that refuse a word character (word_rule.h) on either side of
// the match: the same rule as for a plain search, but applied inside the
// match, so the other ways the pattern can match at one place are tried
// before the search moves on ("cat|cats" finds the whole word "cats").
#pragma once

#include <QRegularExpression>
#include <QString>

#include <optional>

#include "engine/query/search_options.h"

namespace qm {

// Invalid when the search text is not a pattern PCRE2 accepts.
QRegularExpression SearchPattern(const QString& searchText, const SearchOptions& options);

// Why a search cannot run. The texts the user reads come from the text
// table; this says only what and where.
struct SearchProblem {
  enum class Kind {
    // The search text is no valid pattern: `offset` is where in it PCRE2
    // stopped, `detail` its own words (QRegularExpression::errorString).
    InvalidPattern,
    // The replacement names a group the pattern does not have: `offset`
    // and `length` are the reference in the replacement text, `detail` the
    // reference as written there ("$3", "${name}").
    NoSuchGroup,
  };
  Kind kind = Kind::InvalidPattern;
  qsizetype offset = 0;
  qsizetype length = 0;
  QString detail;
  friend bool operator==(const SearchProblem&, const SearchProblem&) = default;
};

// None for every search but a pattern search with a bad pattern or a
// replacement that names a missing group. An empty search text fills empty
// fields whatever the options say, and has no problem.
std::optional<SearchProblem> CheckSearch(const QString& searchText, const QString& replaceText,
                                         const SearchOptions& options);

}  // namespace qm
