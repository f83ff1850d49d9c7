// The replacement text of a pattern search, read once into the text it
// inserts as typed and the groups of the match it inserts.
//
// `$0` is the whole match, `$1` to `$99` a group by its number, `${name}`
// a group by its name and `${12}` by its number, `$$` one dollar sign.
// After `$` at most two digits are read, so `$123` is group 12 and then
// "3"; `${1}23` puts "23" after group 1. A `$` that starts none of these
// (a blank, a letter, an unclosed or empty brace) stands for itself, so a
// price such as "$ 5" needs no escape. A group that took no part in the
// match inserts nothing. Only a pattern search reads the replacement so: a
// plain search inserts it exactly as typed.
#pragma once

#include <QRegularExpression>
#include <QString>

#include <optional>
#include <vector>

namespace qm {

// One piece of a replacement: text as it stands, or a group of the match.
struct ReplacementPiece {
  QString text;          // the text to insert, when neither group nor name is set
  int group = -1;        // a group by number; saturates at kNoSuchGroupNumber
  QString name;          // a group by name
  qsizetype offset = 0;  // where the piece begins in the replacement text
  qsizetype length = 0;  // how many UTF-16 units of it the piece takes
  bool IsText() const { return group < 0 && name.isEmpty(); }
  friend bool operator==(const ReplacementPiece&, const ReplacementPiece&) = default;
};

// A group number larger than any pattern can have (PCRE2 allows 65535).
inline constexpr int kNoSuchGroupNumber = 1'000'000;

class ReplacementTemplate {
 public:
  explicit ReplacementTemplate(const QString& replaceText);

  const std::vector<ReplacementPiece>& Pieces() const { return pieces_; }

  // The first reference, left to right, to a group the pattern does not
  // have; none when every reference can be filled.
  std::optional<ReplacementPiece> FirstMissingGroup(const QRegularExpression& pattern) const;

  // The replacement for one match. The groups' text is taken from `value`
  // at the match's offsets, so the match may have been made on a copy of
  // the same length.
  QString Expand(const QRegularExpressionMatch& match, const QString& value) const;

 private:
  std::vector<ReplacementPiece> pieces_;
};

}  // namespace qm
