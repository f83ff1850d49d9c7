// What a whole-word search takes for part of a word: a letter or number of
// any script, a combining mark (so a match never ends before the accent of
// its last letter) or an underscore. A match counts as a whole word only
// where neither the code point before it nor the one after it is one of
// these; the text's ends count as outside any word.
#pragma once

#include <QChar>
#include <QString>

namespace qm {

inline bool IsWordCharacter(char32_t codePoint) {
  return codePoint == U'_' || QChar::isLetterOrNumber(codePoint) || QChar::isMark(codePoint);
}

// The same set for a regular expression with Unicode properties.
inline QString WordCharacterClass() { return QStringLiteral("[\\p{L}\\p{N}\\p{M}_]"); }

}  // namespace qm
