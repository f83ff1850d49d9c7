// The code points of a UTF-16 text, read at an offset. As everywhere in the
// rewrite, a half of a surrogate pair on its own counts as one code point,
// so a text that is not valid UTF-16 is still read to its end, and nothing
// is ever taken from the middle of a whole pair.
#pragma once

#include <QChar>
#include <QStringView>

namespace qm {

struct CodePoint {
  char32_t value = 0;
  qsizetype length = 0;  // in UTF-16 units: 1 or 2
};

// The code point that starts at `at`, which must be inside the text.
inline CodePoint CodePointAt(QStringView text, qsizetype at) {
  const QChar unit = text[at];
  if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
    return {QChar::surrogateToUcs4(unit, text[at + 1]), 2};
  }
  return {unit.unicode(), 1};
}

// The code point that ends at `at`, which must be after the text's start.
inline CodePoint CodePointBefore(QStringView text, qsizetype at) {
  const QChar unit = text[at - 1];
  if (unit.isLowSurrogate() && at >= 2 && text[at - 2].isHighSurrogate()) {
    return {QChar::surrogateToUcs4(text[at - 2], unit), 2};
  }
  return {unit.unicode(), 1};
}

}  // namespace qm
