// How the search text of a command is read, as one value: all off is the
// plain search, found without regard to case with the database's LIKE rule
// and replaced as typed. The options travel with the criteria and are
// recorded with the run, so a run is undone and shown as it was made.
#pragma once

namespace qm {

struct SearchOptions {
  // Only the same letter case counts: the search text's code units exactly.
  bool matchCase = false;
  // Only where neither neighbour of a match is a letter, number, combining
  // mark or underscore.
  bool wholeWords = false;
  // The search text is a regular expression (QRegularExpression, PCRE2) and
  // the replacement may name its groups.
  bool pattern = false;
  // The replacement takes the letter case of what it replaces.
  bool preserveCase = false;

  bool AnyOn() const { return matchCase || wholeWords || pattern || preserveCase; }
  friend bool operator==(const SearchOptions&, const SearchOptions&) = default;
};

}  // namespace qm
