#include "engine/run/replacement_template.h"

#include <QStringList>

#include <algorithm>

namespace qm {

namespace {

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Digits read as a group number, saturating instead of overflowing.
int GroupNumber(QStringView digits) {
  int number = 0;
  for (const QChar c : digits) {
    number = std::min(number * 10 + (c.unicode() - u'0'), kNoSuchGroupNumber);
  }
  return number;
}

bool AllDigits(QStringView text) {
  return !text.isEmpty() && std::all_of(text.begin(), text.end(), IsAsciiDigit);
}

// What PCRE2 accepts as a group's name, and the letters of other scripts a
// newer PCRE2 accepts too: a name never read here is one a pattern can
// never have, and the check would not report it.
bool IsGroupName(QStringView text) {
  if (text.isEmpty() || IsAsciiDigit(text.front())) {
    return false;
  }
  return std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c == u'_' || c.isLetterOrNumber(); });
}

// The reference that starts with the `$` at `at`, or false when that `$`
// stands for itself. `piece` gets the group and the length.
bool ReadReference(QStringView text, qsizetype at, ReplacementPiece& piece) {
  const qsizetype next = at + 1;
  if (next >= text.size()) {
    return false;
  }
  if (IsAsciiDigit(text[next])) {
    const qsizetype digits = (next + 1 < text.size() && IsAsciiDigit(text[next + 1])) ? 2 : 1;
    piece.group = GroupNumber(text.sliced(next, digits));
    piece.length = 1 + digits;
    return true;
  }
  if (text[next] != u'{') {
    return false;
  }
  const qsizetype close = text.indexOf(u'}', next + 1);
  if (close < 0) {
    return false;
  }
  const QStringView inside = text.sliced(next + 1, close - next - 1);
  if (AllDigits(inside)) {
    piece.group = GroupNumber(inside);
  } else if (IsGroupName(inside)) {
    piece.name = inside.toString();
  } else {
    return false;
  }
  piece.length = close + 1 - at;
  return true;
}

}  // namespace

ReplacementTemplate::ReplacementTemplate(const QString& replaceText) {
  const QStringView text(replaceText);
  ReplacementPiece pending;  // text gathered since the last reference
  const auto flush = [&](qsizetype upTo) {
    if (!pending.text.isEmpty()) {
      pending.length = upTo - pending.offset;
      pieces_.push_back(pending);
    }
    pending = {};
    pending.offset = upTo;
  };
  qsizetype i = 0;
  while (i < text.size()) {
    if (text[i] != u'$') {
      pending.text.append(text[i]);
      ++i;
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == u'$') {
      pending.text.append(u'$');
      i += 2;
      continue;
    }
    ReplacementPiece reference;
    if (!ReadReference(text, i, reference)) {
      pending.text.append(u'$');
      ++i;
      continue;
    }
    flush(i);
    reference.offset = i;
    pieces_.push_back(reference);
    i += reference.length;
    pending.offset = i;
  }
  flush(text.size());
}

std::optional<ReplacementPiece> ReplacementTemplate::FirstMissingGroup(
    const QRegularExpression& pattern) const {
  const int groups = pattern.captureCount();
  const QStringList names = pattern.namedCaptureGroups();
  for (const ReplacementPiece& piece : pieces_) {
    if (piece.IsText()) {
      continue;
    }
    const bool known = piece.name.isEmpty() ? piece.group <= groups : names.contains(piece.name);
    if (!known) {
      return piece;
    }
  }
  return std::nullopt;
}

QString ReplacementTemplate::Expand(const QRegularExpressionMatch& match,
                                    const QString& value) const {
  QString expanded;
  for (const ReplacementPiece& piece : pieces_) {
    if (piece.IsText()) {
      expanded.append(piece.text);
      continue;
    }
    const qsizetype start =
        piece.name.isEmpty() ? match.capturedStart(piece.group) : match.capturedStart(piece.name);
    const qsizetype length =
        piece.name.isEmpty() ? match.capturedLength(piece.group) : match.capturedLength(piece.name);
    if (start >= 0 && length > 0 && start + length <= value.size()) {
      expanded.append(QStringView(value).sliced(start, length));
    }
  }
  return expanded;
}

}  // namespace qm
