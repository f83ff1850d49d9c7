#include "platform/text_fold.h"

#include <QChar>

namespace qm {

QString FoldCase(const QString& text) {
  QString folded;
  folded.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t cp = text.at(i).unicode();
    if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      ++i;
    }
    const char32_t f = FoldCase(cp);
    if (QChar::requiresSurrogates(f)) {
      folded.append(QChar(QChar::highSurrogate(f)));
      folded.append(QChar(QChar::lowSurrogate(f)));
    } else {
      folded.append(QChar(static_cast<char16_t>(f)));
    }
  }
  return folded;
}

bool EqualsIgnoringCase(const QString& a, const QString& b) { return FoldCase(a) == FoldCase(b); }

}  // namespace qm
