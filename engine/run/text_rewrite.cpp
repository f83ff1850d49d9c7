#include "engine/run/text_rewrite.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/run/code_point.h"
#include "engine/run/preserve_case.h"
#include "engine/run/replacement_template.h"
#include "engine/run/word_rule.h"
#include "platform/text_fold.h"

namespace qm {

namespace {

// A text as code points, folded one at a time unless the case must match,
// with where each code point starts in the original UTF-16 text.
struct CodePoints {
  std::vector<char32_t> codePoints;
  // One more than codePoints (the end); empty while every code point is one
  // unit, as in a text without surrogate pairs, where a code point's offset
  // is its index.
  std::vector<qsizetype> offsets;

  qsizetype Offset(std::size_t index) const {
    return offsets.empty() ? static_cast<qsizetype>(index) : offsets[index];
  }
};

char32_t Folded(char32_t codePoint, bool fold) { return fold ? FoldCase(codePoint) : codePoint; }

CodePoints Decode(const QString& text, bool fold) {
  CodePoints decoded;
  const auto size = static_cast<std::size_t>(text.size());
  decoded.codePoints.resize(size);
  const QChar* units = text.constData();
  // Most texts hold no surrogate pair: one unit, one code point.
  for (std::size_t i = 0; i < size; ++i) {
    const char16_t unit = units[i].unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < size && units[i + 1].isLowSurrogate()) {
      decoded.codePoints.clear();
      break;
    }
    decoded.codePoints[i] = Folded(unit, fold);
  }
  if (decoded.codePoints.size() == size) {
    return decoded;
  }
  decoded.offsets.reserve(size + 1);
  for (qsizetype at = 0; at < text.size();) {
    decoded.offsets.push_back(at);
    const CodePoint cp = CodePointAt(text, at);
    decoded.codePoints.push_back(Folded(cp.value, fold));
    at += cp.length;
  }
  decoded.offsets.push_back(text.size());
  return decoded;
}

bool IsWholeWord(QStringView value, qsizetype start, qsizetype end) {
  return (start == 0 || !IsWordCharacter(CodePointBefore(value, start).value)) &&
         (end == value.size() || !IsWordCharacter(CodePointAt(value, end).value));
}

// For each length of a prefix of `text`, the length of its longest proper
// prefix that is also its suffix (Knuth, Morris and Pratt), so that every
// occurrence, overlapping ones included, is found in one pass.
std::vector<std::size_t> Borders(const std::vector<char32_t>& text) {
  std::vector<std::size_t> borders(text.size(), 0);
  std::size_t k = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    while (k > 0 && text[i] != text[k]) {
      k = borders[k - 1];
    }
    if (text[i] == text[k]) {
      ++k;
    }
    borders[i] = k;
  }
  return borders;
}

// The new value, built from left to right: the old value's text between the
// replaced ranges, and what is inserted in their place.
class Rebuild {
 public:
  Rebuild(const QString& oldValue, std::vector<RewriteSpan>* spans)
      : old_(oldValue), spans_(spans) {}

  // Ranges come in order and never overlap; one that would is dropped, so
  // a surprise from the pattern engine cannot read out of bounds.
  void Replace(qsizetype start, qsizetype end, const QString& insert) {
    if (start < copiedUpTo_ || end < start || end > old_.size()) {
      return;
    }
    changed_ = true;
    value_.append(QStringView(old_).sliced(copiedUpTo_, start - copiedUpTo_));
    if (spans_ != nullptr) {
      spans_->push_back({start, end - start, value_.size(), insert.size()});
    }
    value_.append(insert);
    copiedUpTo_ = end;
  }

  RewriteResult Finish() {
    if (!changed_) {
      return {false, old_, false};
    }
    value_.append(QStringView(old_).sliced(copiedUpTo_));
    return {true, std::move(value_), false};
  }

 private:
  const QString& old_;
  std::vector<RewriteSpan>* spans_;
  QString value_;
  qsizetype copiedUpTo_ = 0;  // UTF-16 offset in the old value
  bool changed_ = false;
};

// Whether the text holds any half of a surrogate pair. Most texts hold
// none: one pass without a branch tells, before any that looks at each.
bool HasSurrogates(const QString& value) {
  // Not utf16(), which turns a null text into an empty one.
  const QChar* units = value.constData();
  bool any = false;
  for (qsizetype i = 0; i < value.size(); ++i) {
    any |= (units[i].unicode() & 0xF800) == 0xD800;
  }
  return any;
}

// The value as the pattern sees it: each lone half of a surrogate pair, which
// PCRE2 refuses as invalid UTF-16, turned into U+FFFD, one unit for one, so
// every offset stays true for the value itself.
QString ForPattern(const QString& value) {
  if (!HasSurrogates(value)) {
    return value;
  }
  QString copy = value;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar unit = value.at(i);
    if (!unit.isSurrogate()) {
      continue;
    }
    if (CodePointAt(value, i).length == 2) {
      ++i;
    } else {
      copy[i] = QChar(QChar::ReplacementCharacter);
    }
  }
  return copy;
}

}  // namespace

// Search texts of at most this many code points are searched plainly.
constexpr std::size_t kShortSearch = 4;

struct TextRewrite::Literal {
  Literal(const QString& searchText, const SearchOptions& options)
      : fold(!options.matchCase),
        wholeWords(options.wholeWords),
        text(Decode(searchText, fold)),
        // Boyer-Moore keeps a hostile value such as a long run of one letter
        // from costing its length times the search text's length.
        searcher(text.codePoints.begin(), text.codePoints.end()),
        // Whole words look at every occurrence, overlapping ones too, and
        // would cost as much with a search started anew after each.
        borders(wholeWords ? Borders(text.codePoints) : std::vector<std::size_t>{}),
        inPlace(text.offsets.empty() &&
                std::none_of(text.codePoints.begin(), text.codePoints.end(),
                             [](char32_t unit) { return QChar::isSurrogate(unit); })),
        shortUnits(inPlace && text.codePoints.size() <= kShortSearch),
        exactUnits(inPlace && !fold ? searchText : QString()) {}

  // Calls found(start, end) for each occurrence to replace, left to right,
  // while it returns true.
  template <typename Found>
  void ForEach(const QString& oldValue, Found&& found) const {
    if (!wholeWords && !exactUnits.isEmpty()) {
      ForEachExact(oldValue, found);
      return;
    }
    if (!wholeWords && shortUnits) {
      ForEachShort(oldValue, found);
      return;
    }
    const CodePoints value = Decode(oldValue, fold);
    if (wholeWords) {
      ForEachWholeWord(oldValue, value, found);
      return;
    }
    const auto begin = value.codePoints.begin();
    const auto end = value.codePoints.end();
    auto from = begin;
    for (;;) {
      const auto at = std::search(from, end, searcher);
      if (at == end) {
        return;
      }
      const auto first = static_cast<std::size_t>(at - begin);
      const std::size_t last = first + text.codePoints.size();
      if (!found(value.Offset(first), value.Offset(last))) {
        return;
      }
      from = begin + static_cast<std::ptrdiff_t>(last);
    }
  }

  // A search text without surrogates can neither start nor end inside a
  // surrogate pair, so its occurrences are those of its units. With the case
  // to match, Qt's own search finds them.
  template <typename Found>
  void ForEachExact(const QString& oldValue, Found& found) const {
    const QStringView value(oldValue);
    for (qsizetype at = value.indexOf(exactUnits); at >= 0;
         at = value.indexOf(exactUnits, at + exactUnits.size())) {
      if (!found(at, at + exactUnits.size())) {
        return;
      }
    }
  }

  // A short one without regard to case: a pair folds within its plane, so
  // the value's units are compared where they are, folded one by one, with
  // no copy of the value made. A plain search costs at most the search
  // text's few units per unit of the value.
  template <typename Found>
  void ForEachShort(const QString& oldValue, Found& found) const {
    const QChar* units = oldValue.constData();
    const qsizetype size = oldValue.size();
    const auto length = static_cast<qsizetype>(text.codePoints.size());
    const char32_t* search = text.codePoints.data();
    for (qsizetype at = 0; at + length <= size;) {
      qsizetype matched = 0;
      while (matched < length && Folded(units[at + matched].unicode(), fold) == search[matched]) {
        ++matched;
      }
      if (matched < length) {
        ++at;
        continue;
      }
      if (!found(at, at + length)) {
        return;
      }
      at += length;
    }
  }

  template <typename Found>
  void ForEachWholeWord(const QString& oldValue, const CodePoints& value, Found& found) const {
    const std::vector<char32_t>& search = text.codePoints;
    std::size_t matched = 0;
    std::size_t takenUpTo = 0;  // in code points
    for (std::size_t i = 0; i < value.codePoints.size(); ++i) {
      while (matched > 0 && value.codePoints[i] != search[matched]) {
        matched = borders[matched - 1];
      }
      if (value.codePoints[i] == search[matched]) {
        ++matched;
      }
      if (matched < search.size()) {
        continue;
      }
      const std::size_t first = i + 1 - search.size();
      const qsizetype start = value.Offset(first);
      const qsizetype end = value.Offset(i + 1);
      if (first >= takenUpTo && IsWholeWord(oldValue, start, end)) {
        if (!found(start, end)) {
          return;
        }
        takenUpTo = i + 1;
      }
      matched = borders[matched - 1];
    }
  }

  const bool fold;
  const bool wholeWords;
  const CodePoints text;
  const std::boyer_moore_searcher<std::vector<char32_t>::const_iterator> searcher;
  const std::vector<std::size_t> borders;
  // The search text has single units only, none of them a surrogate.
  const bool inPlace;
  const bool shortUnits;
  // The search text, where it is searched as Qt searches, case and all.
  const QString exactUnits;
};

struct TextRewrite::Pattern {
  Pattern(const QString& searchText, const QString& replaceText, const SearchOptions& options)
      : regex(SearchPattern(searchText, options)), replacement(replaceText) {}

  // Calls found(start, end, replacement) for each match, left to right;
  // false when PCRE2 gave up on the value.
  template <typename Found>
  bool ForEach(const QString& oldValue, Found&& found) const {
    return ForEachMatch(oldValue, [&](const QRegularExpressionMatch& match) {
      found(match.capturedStart(0), match.capturedEnd(0), replacement.Expand(match, oldValue));
    });
  }

  template <typename Found>
  bool ForEachMatch(const QString& oldValue, Found&& found) const {
    QRegularExpressionMatchIterator matches = regex.globalMatch(ForPattern(oldValue));
    bool emptyAtTheEnd = false;
    while (matches.hasNext()) {
      const QRegularExpressionMatch match = matches.next();
      found(match);
      emptyAtTheEnd = match.capturedLength(0) == 0 && match.capturedEnd(0) == oldValue.size();
    }
    // The iterator stops on an error as after its last match, and only its
    // validity tells them apart; a valid pattern on valid UTF-16 fails only
    // on a limit. After an empty match at the end, though, the iterator
    // steps past the end, which PCRE2 refuses as an error too.
    return matches.isValid() || emptyAtTheEnd;
  }

  const QRegularExpression regex;
  const ReplacementTemplate replacement;
};

TextRewrite::TextRewrite(const QString& searchText, const QString& replaceText,
                         const SearchOptions& options)
    : replaceText_(replaceText),
      preserveCase_(options.preserveCase),
      problem_(CheckSearch(searchText, replaceText, options)) {
  if (searchText.isEmpty() || problem_) {
    return;
  }
  if (options.pattern) {
    pattern_ = std::make_unique<Pattern>(searchText, replaceText, options);
  } else {
    literal_ = std::make_unique<Literal>(searchText, options);
  }
}

TextRewrite::~TextRewrite() = default;

RewriteResult TextRewrite::operator()(const QString& oldValue,
                                      std::vector<RewriteSpan>* spans) const {
  if (spans != nullptr) {
    spans->clear();
  }
  if (problem_) {
    return {false, oldValue, false};
  }
  if (!literal_ && !pattern_) {
    // Read at write time, the field may have been filled since the query
    // found it empty.
    if (!oldValue.isEmpty()) {
      return {false, oldValue, false};
    }
    if (spans != nullptr) {
      spans->push_back({0, 0, 0, replaceText_.size()});
    }
    return {true, replaceText_, false};
  }
  Rebuild rebuild(oldValue, spans);
  const auto replace = [&](qsizetype start, qsizetype end, const QString& text) {
    if (start < 0 || end < start || end > oldValue.size()) {
      return;
    }
    rebuild.Replace(
        start, end,
        preserveCase_ ? InCaseOf(QStringView(oldValue).sliced(start, end - start), text) : text);
  };
  if (literal_) {
    literal_->ForEach(oldValue, [&](qsizetype start, qsizetype end) {
      replace(start, end, replaceText_);
      return true;
    });
    return rebuild.Finish();
  }
  if (!pattern_->ForEach(oldValue, replace)) {
    if (spans != nullptr) {
      spans->clear();
    }
    return {false, oldValue, true};
  }
  return rebuild.Finish();
}

bool TextRewrite::Gives(const QString& before, const QString& after,
                        std::vector<RewriteSpan>& spans) const {
  spans.clear();
  if (!literal_ || preserveCase_ || problem_) {
    if ((*this)(before, &spans).value == after) {
      return true;
    }
    spans.clear();
    return false;
  }
  // Every insertion is the replacement as typed: each stretch of `after`
  // is compared where it stands, and no new value is made.
  const QStringView old(before);
  const QStringView now(after);
  qsizetype copiedUpTo = 0;
  qsizetype at = 0;  // in `after`
  bool same = true;
  const auto holds = [&](QStringView text) {
    same = same && at + text.size() <= now.size() && now.sliced(at, text.size()) == text;
    at += text.size();
    return same;
  };
  literal_->ForEach(before, [&](qsizetype start, qsizetype end) {
    if (start < copiedUpTo || end < start || end > old.size()) {
      return true;
    }
    if (!holds(old.sliced(copiedUpTo, start - copiedUpTo))) {
      return false;
    }
    spans.push_back({start, end - start, at, replaceText_.size()});
    copiedUpTo = end;
    return holds(replaceText_);
  });
  if (same && holds(old.sliced(copiedUpTo)) && at == now.size()) {
    return true;
  }
  spans.clear();
  return false;
}

RewriteDecision TextRewrite::Decide(const QString& oldValue) const {
  if (problem_) {
    return {};
  }
  if (!literal_ && !pattern_) {
    return {oldValue.isEmpty(), false};
  }
  if (literal_) {
    bool found = false;
    literal_->ForEach(oldValue, [&](qsizetype, qsizetype) {
      found = true;
      return false;
    });
    return {found, false};
  }
  // Most values hold no match at all: one match tells that, and whether the
  // pattern gave up, as the whole global match would. The first match checks
  // the whole value for lone surrogates and refuses it for one, so only a
  // value it refuses needs a look for them.
  QRegularExpressionMatch first = pattern_->regex.match(oldValue);
  if (!first.isValid() && HasSurrogates(oldValue)) {
    first = pattern_->regex.match(ForPattern(oldValue));
  }
  if (!first.hasMatch()) {
    return {false, !first.isValid()};
  }
  // The ranges the rebuild would take; it drops the others.
  bool changed = false;
  qsizetype takenUpTo = 0;
  const bool finished = pattern_->ForEachMatch(oldValue, [&](const QRegularExpressionMatch& match) {
    const qsizetype start = match.capturedStart(0);
    const qsizetype end = match.capturedEnd(0);
    if (start >= takenUpTo && end >= start && end <= oldValue.size()) {
      changed = true;
      takenUpTo = end;
    }
  });
  if (!finished) {
    return {false, true};
  }
  return {changed, false};
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText) {
  return TextRewrite(searchText, replaceText)(oldValue);
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, const SearchOptions& options) {
  return TextRewrite(searchText, replaceText, options)(oldValue);
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, std::vector<RewriteSpan>& spans) {
  return TextRewrite(searchText, replaceText)(oldValue, &spans);
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, const SearchOptions& options,
                           std::vector<RewriteSpan>& spans) {
  return TextRewrite(searchText, replaceText, options)(oldValue, &spans);
}

}  // namespace qm
