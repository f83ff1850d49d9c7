// An independent reading of what the host's LIKE selects, for checking the
// queries: "%" any run of code points, "_" exactly one, every other code
// point equal to the text's after qm::FoldCase. No escape character.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "platform/text_fold.h"

namespace qm::testing {

inline std::vector<char32_t> FoldedCodePoints(const QString& text) {
  std::vector<char32_t> out;
  for (const char32_t cp : text.toUcs4()) {
    out.push_back(FoldCase(cp));
  }
  return out;
}

// Greedy wildcard matching that backtracks to the last "%" only, which is
// enough because a later "%" can absorb whatever an earlier one would have.
// Both sides already folded.
inline bool LikeMatchesFolded(const std::vector<char32_t>& t, const std::vector<char32_t>& p) {
  std::size_t ti = 0;
  std::size_t pi = 0;
  std::size_t starP = std::string::npos;
  std::size_t starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == U'%') {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && (p[pi] == U'_' || p[pi] == t[ti])) {
      ++pi;
      ++ti;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'%') {
    ++pi;
  }
  return pi == p.size();
}

inline bool LikeMatches(const QString& value, const QString& pattern) {
  return LikeMatchesFolded(FoldedCodePoints(value), FoldedCodePoints(pattern));
}

}  // namespace qm::testing
