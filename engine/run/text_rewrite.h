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
#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace qm {

struct RewriteResult {
  // Whether the document is to be written and saved. True for every value
  // that holds the search text, also when the new value reads the same.
  bool changed = false;
  QString value;
};

RewriteResult RewriteValue(const QString& oldValue, const QString& searchText,
                           const QString& replaceText);

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

// The same for the many values of one run or review: the search text is
// folded, and its search prepared, once. rewrite(v) is exactly
// RewriteValue(v, searchText, replaceText).
class TextRewrite {
 public:
  TextRewrite(const QString& searchText, const QString& replaceText);
  ~TextRewrite();
  TextRewrite(const TextRewrite&) = delete;
  TextRewrite& operator=(const TextRewrite&) = delete;

  // With `spans`, as the overload of RewriteValue that tells where.
  RewriteResult operator()(const QString& oldValue,
                           std::vector<RewriteSpan>* spans = nullptr) const;

 private:
  struct Search;
  QString replaceText_;
  std::unique_ptr<Search> search_;  // none for an empty search text
};

}  // namespace qm
