// The change a run makes to one field value.
//
// Occurrences of the search text are found without regard to case, with the
// same rule the database's LIKE uses (qm::FoldCase, one code point at a
// time), so a document the query selected for its text is also one the
// rewrite finds it in. They are replaced from left to right without overlap;
// the inserted text is never searched again, and everything else of the
// value is kept exactly as it was, case included. An empty search text fills
// the field when it is empty or has no value: the new value is then the
// replacement; a field that holds any text is left as it is.
//
// The search options (search_options.h) change what counts as an occurrence
// and what takes its place; with all of them off the rewrite is the one
// above to the last unit. An empty search text fills whatever they say.
// - Match case: the search text's code units exactly; still never half of
//   a surrogate pair.
// - Whole words: only occurrences with no word character (word_rule.h) on
//   either side. Where one fails, the search goes on at the next code
//   point, not behind it: "aa" in "aaa aa" is found only at the end.
// - Pattern: the matches of the regular expression (search_pattern.h) from
//   left to right, as Qt's global match finds them. An empty match inserts
//   the replacement where it is ("^" in front, "$" behind, "x*" between the
//   letters), also right where the previous match ended; no match starts
//   again where an empty one was, the search steps over one whole code point
//   instead. The replacement inserts the groups it names
//   (replacement_template.h). The pattern sees a lone half of a surrogate
//   pair as U+FFFD, and what it matches there is kept as it was. A value the
//   pattern matches is changed, also by an empty match alone.
// - Preserve case: each insertion in the letter case of the text it
//   replaces (preserve_case.h).
// A search that CheckSearch refuses changes nothing; the callers check it
// first and say why.
#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "engine/query/search_options.h"
#include "engine/run/search_pattern.h"

namespace qm {

struct RewriteResult {
  // Whether the document is to be written and saved. True for every value
  // that holds the search text, also when the new value reads the same.
  bool changed = false;
  QString value;
  // The pattern ran into one of PCRE2's limits on this value (matching
  // steps, depth or memory; Qt does not say which), as a pattern with
  // catastrophic backtracking does: the value is left as it is and not
  // changed, and the run leaves its document and counts it apart.
  bool matchLimitHit = false;
};

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText);
RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, const SearchOptions& options);

// One place where a rewrite took text out and put text in, in UTF-16 offsets:
// [before, before + beforeLength) of the old value became [after, after +
// afterLength) of the new one. A fill puts its text into an empty value.
struct RewriteSpan {
  qsizetype before = 0;
  qsizetype beforeLength = 0;
  qsizetype after = 0;
  qsizetype afterLength = 0;
  friend bool operator==(const RewriteSpan&, const RewriteSpan&) = default;
};

// The same rewrite, telling where it changed the value: `spans` is replaced
// by one span per occurrence, left to right (none when nothing changed).
RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, std::vector<RewriteSpan>& spans);
RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, const SearchOptions& options,
                           std::vector<RewriteSpan>& spans);

// Of a rewrite, only whether it changes the value and whether the pattern
// gave up: what deciding a candidate needs, without the new value.
struct RewriteDecision {
  bool changed = false;
  bool matchLimitHit = false;
};

// The same for the many values of one run or review: the search text is
// folded, its search prepared or its pattern compiled, once. rewrite(v) is
// exactly RewriteValue(v, searchText, replaceText, options).
class TextRewrite {
 public:
  TextRewrite(const QString& searchText, const QString& replaceText,
              const SearchOptions& options = {});
  ~TextRewrite();
  TextRewrite(const TextRewrite&) = delete;
  TextRewrite& operator=(const TextRewrite&) = delete;

  // With `spans`, as the overload of RewriteValue that tells where.
  RewriteResult operator()(const QString& oldValue,
                           std::vector<RewriteSpan>* spans = nullptr) const;

  // The `changed` and `matchLimitHit` of (*this)(oldValue), without
  // building the new value or expanding a single replacement.
  RewriteDecision Decide(const QString& oldValue) const;

  // Whether the rewrite of `before` gives exactly `after`, with its spans
  // as (*this)(before, &spans) tells them; `spans` is empty when it does
  // not. For a look at a change that was recorded: a literal replacement is
  // compared in place, without making the new value.
  bool Gives(const QString& before, const QString& after, std::vector<RewriteSpan>& spans) const;

  // What CheckSearch says of this search; while there is a problem, every
  // value is left as it is.
  const std::optional<SearchProblem>& Problem() const { return problem_; }

 private:
  struct Literal;
  struct Pattern;
  QString replaceText_;
  bool preserveCase_ = false;
  std::optional<SearchProblem> problem_;
  // At most one of them; none for an empty search text.
  std::unique_ptr<Literal> literal_;
  std::unique_ptr<Pattern> pattern_;
};

}  // namespace qm
