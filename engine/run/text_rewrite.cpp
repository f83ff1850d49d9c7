#include "engine/run/text_rewrite.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/text_fold.h"

namespace qm {

namespace {

// A text folded one code point at a time, with where each code point starts
// in the original UTF-16 text. A half of a surrogate pair on its own counts
// as one code point, so nothing is ever matched from the middle of a pair.
struct FoldedText {
  std::vector<char32_t> codePoints;
  std::vector<qsizetype> offsets;  // one more than codePoints: the end
};

FoldedText Fold(const QString& text) {
  FoldedText folded;
  folded.codePoints.reserve(static_cast<std::size_t>(text.size()));
  folded.offsets.reserve(static_cast<std::size_t>(text.size()) + 1);
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    folded.offsets.push_back(i);
    char32_t cp = text.at(i).unicode();
    if (QChar::isHighSurrogate(cp) && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
      cp = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
      ++i;
    }
    folded.codePoints.push_back(FoldCase(cp));
  }
  folded.offsets.push_back(n);
  return folded;
}

}  // namespace

struct TextRewrite::Search {
  explicit Search(const QString& searchText)
      : folded(Fold(searchText)),
        // Boyer-Moore keeps a hostile value such as a long run of one letter
        // from costing its length times the search text's length.
        searcher(folded.codePoints.begin(), folded.codePoints.end()) {}
  const FoldedText folded;
  const std::boyer_moore_searcher<std::vector<char32_t>::const_iterator> searcher;
};

TextRewrite::TextRewrite(const QString& searchText, const QString& replaceText)
    : replaceText_(replaceText) {
  if (!searchText.isEmpty()) {
    search_ = std::make_unique<Search>(searchText);
  }
}

TextRewrite::~TextRewrite() = default;

RewriteResult TextRewrite::operator()(const QString& oldValue,
                                      std::vector<RewriteSpan>* spans) const {
  if (spans != nullptr) {
    spans->clear();
  }
  if (!search_) {
    // Read at write time, the field may have been filled since the query
    // found it empty.
    if (!oldValue.isEmpty()) {
      return {false, oldValue};
    }
    if (spans != nullptr) {
      spans->push_back({0, 0, 0, replaceText_.size()});
    }
    return {true, replaceText_};
  }
  const FoldedText value = Fold(oldValue);
  const auto begin = value.codePoints.begin();
  const auto end = value.codePoints.end();
  const std::size_t searchLength = search_->folded.codePoints.size();

  RewriteResult result;
  qsizetype copiedUpTo = 0;  // UTF-16 offset in oldValue
  auto from = begin;
  for (;;) {
    const auto found = std::search(from, end, search_->searcher);
    if (found == end) {
      break;
    }
    const auto first = static_cast<std::size_t>(found - begin);
    const std::size_t last = first + searchLength;
    result.changed = true;
    result.value.append(QStringView(oldValue).mid(copiedUpTo, value.offsets[first] - copiedUpTo));
    if (spans != nullptr) {
      spans->push_back({value.offsets[first], value.offsets[last] - value.offsets[first],
                        result.value.size(), replaceText_.size()});
    }
    result.value.append(replaceText_);
    copiedUpTo = value.offsets[last];
    from = begin + static_cast<std::ptrdiff_t>(last);
  }
  if (!result.changed) {
    return {false, oldValue};
  }
  result.value.append(QStringView(oldValue).mid(copiedUpTo));
  return result;
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText) {
  return TextRewrite(searchText, replaceText)(oldValue);
}

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText, std::vector<RewriteSpan>& spans) {
  return TextRewrite(searchText, replaceText)(oldValue, &spans);
}

}  // namespace qm
