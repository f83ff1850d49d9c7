// Comparison of texts without regard to case, for all of Unicode.
//
// Both the host database's LIKE and the document rewrite must agree on what
// "the same letter in another case" means, or the rewrite would skip
// documents the query selected. They both use this one rule: simple Unicode
// case folding, one code point to one code point, so that a folded text has
// as many code points as the original and positions line up.
#pragma once

#include <QChar>
#include <QString>

namespace qm {

// The simple case fold of one code point. Inline, with ASCII handled
// without a table: the rewrite folds every unit of the values it searches.
inline char32_t FoldCase(char32_t codePoint) noexcept {
  if (codePoint < 0x80) {
    return (codePoint >= 'A' && codePoint <= 'Z') ? codePoint + ('a' - 'A') : codePoint;
  }
  return QChar::toCaseFolded(codePoint);
}

// Folds every code point of a text; the result has the same number of code
// points (and, for every letter the Unicode tables fold within its plane,
// the same number of UTF-16 units).
QString FoldCase(const QString& text);

// True when the two texts are equal without regard to case.
bool EqualsIgnoringCase(const QString& a, const QString& b);

}  // namespace qm
