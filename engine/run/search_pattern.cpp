#include "engine/run/search_pattern.h"

#include <QStringList>

#include "engine/run/replacement_template.h"
#include "engine/run/word_rule.h"

namespace qm {

namespace {

QRegularExpression::PatternOptions PatternOptionsFor(const SearchOptions& options) {
  QRegularExpression::PatternOptions flags = QRegularExpression::UseUnicodePropertiesOption;
  if (!options.matchCase) {
    flags |= QRegularExpression::CaseInsensitiveOption;
  }
  return flags;
}

// How far the pattern's leading settings such as (*UCP) or (*LIMIT_MATCH=9)
// reach: PCRE2 accepts them only at the very start, so they stay in front
// of the lookbehind. Backtracking verbs belong to the pattern and stay in.
qsizetype LeadingSettingsLength(const QString& pattern) {
  static const QStringList verbs = {QStringLiteral("ACCEPT"), QStringLiteral("FAIL"),
                                    QStringLiteral("F"),      QStringLiteral("COMMIT"),
                                    QStringLiteral("PRUNE"),  QStringLiteral("SKIP"),
                                    QStringLiteral("THEN")};
  const auto isName = [](QChar c) { return (c >= u'A' && c <= u'Z') || c == u'_'; };
  qsizetype end = 0;
  while (QStringView(pattern).sliced(end).startsWith(u"(*")) {
    qsizetype i = end + 2;
    while (i < pattern.size() && isName(pattern[i])) {
      ++i;
    }
    const QString name = pattern.mid(end + 2, i - end - 2);
    if (i < pattern.size() && pattern[i] == u'=') {
      do {
        ++i;
      } while (i < pattern.size() && pattern[i] >= u'0' && pattern[i] <= u'9');
    }
    if (name.isEmpty() || verbs.contains(name) || i >= pattern.size() || pattern[i] != u')') {
      break;
    }
    end = i + 1;
  }
  return end;
}

QRegularExpression WholeWordPattern(const QString& pattern,
                                    QRegularExpression::PatternOptions flags) {
  const qsizetype settings = LeadingSettingsLength(pattern);
  const QString head = pattern.left(settings) + QStringLiteral("(?<!") + WordCharacterClass() +
                       QStringLiteral(")(?:") + pattern.mid(settings);
  // \E ends a \Q quote left open to the pattern's end, and is ignored
  // where none is open.
  const QString tail = QStringLiteral("\\E)(?!") + WordCharacterClass() + u')';
  QRegularExpression wrapped(head + tail, flags);
  if (!wrapped.isValid()) {
    // The only way a valid pattern swallows the tail besides a quote: a
    // comment of extended mode (?x) running to the end, which only a line
    // break ends. Extended mode ignores that line break.
    wrapped = QRegularExpression(head + u'\n' + tail, flags);
  }
  return wrapped;
}

}  // namespace

QRegularExpression SearchPattern(const QString& searchText, const SearchOptions& options) {
  const QRegularExpression::PatternOptions flags = PatternOptionsFor(options);
  QRegularExpression plain(searchText, flags);
  if (!options.wholeWords || !plain.isValid()) {
    return plain;
  }
  return WholeWordPattern(searchText, flags);
}

std::optional<SearchProblem> CheckSearch(const QString& searchText, const QString& replaceText,
                                         const SearchOptions& options) {
  if (!options.pattern || searchText.isEmpty()) {
    return std::nullopt;
  }
  // The user's own pattern, so that an offset points into what was typed.
  const QRegularExpression plain(searchText, PatternOptionsFor(options));
  if (!plain.isValid()) {
    return SearchProblem{SearchProblem::Kind::InvalidPattern, plain.patternErrorOffset(), 0,
                         plain.errorString()};
  }
  const QRegularExpression pattern = SearchPattern(searchText, options);
  if (!pattern.isValid()) {
    return SearchProblem{SearchProblem::Kind::InvalidPattern, searchText.size(), 0,
                         pattern.errorString()};
  }
  if (const auto missing = ReplacementTemplate(replaceText).FirstMissingGroup(plain)) {
    return SearchProblem{SearchProblem::Kind::NoSuchGroup, missing->offset, missing->length,
                         replaceText.mid(missing->offset, missing->length)};
  }
  return std::nullopt;
}

}  // namespace qm
