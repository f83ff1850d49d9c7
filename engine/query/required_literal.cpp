#include "engine/query/required_literal.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace qm {

namespace {

bool IsAsciiAlphanumeric(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool IsHexDigit(QChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// One pass over a valid pattern. Anything it is not sure of ends the run
// it is in, or gives up on the whole pattern: a literal too short only
// narrows less, one too long would hide documents that match.
class LiteralScan {
 public:
  explicit LiteralScan(const QString& pattern) : p_(pattern) {}

  // The longest run, or none when nothing can be said.
  std::optional<QString> Run() {
    while (i_ < p_.size()) {
      if (!Step()) {
        return std::nullopt;
      }
    }
    EndRun();
    return depth_ == 0 ? std::optional<QString>(best_) : std::nullopt;
  }

 private:
  bool Step() {
    const QChar c = p_[i_];
    switch (c.unicode()) {
      case u'\\':
        return Escape();
      case u'[':
        EndRun();
        return SkipClass();
      case u'(':
        return Group();
      case u')':
        ++i_;
        return --depth_ >= 0;
      case u'|':
        ++i_;
        return depth_ > 0;
      case u'*':
      case u'+':
      case u'?':
        ++i_;
        TakeLastOut();
        return true;
      case u'{':
        // A count such as {2,5} is skipped; a plain brace ends the run, and
        // taking the character before out is safe either way.
        ++i_;
        TakeLastOut();
        while (i_ < p_.size() && (p_[i_].isDigit() || p_[i_] == u',' || p_[i_] == u' ')) {
          ++i_;
        }
        if (i_ < p_.size() && p_[i_] == u'}') {
          ++i_;
        }
        return true;
      case u'.':
      case u'^':
      case u'$':
        ++i_;
        EndRun();
        return true;
      default:
        Literal(c);
        ++i_;
        return true;
    }
  }

  bool Escape() {
    if (i_ + 1 >= p_.size()) {
      return false;
    }
    const QChar next = p_[i_ + 1];
    i_ += 2;
    if (next == u'Q') {
      const qsizetype close = p_.indexOf(QStringLiteral("\\E"), i_);
      const qsizetype end = close < 0 ? p_.size() : close;
      for (; i_ < end; ++i_) {
        Literal(p_[i_]);
      }
      i_ = close < 0 ? end : end + 2;
      return true;
    }
    if (next == u'E') {
      return true;  // ignored outside a quote
    }
    if (next.unicode() < 0x80 && !IsAsciiAlphanumeric(next)) {
      Literal(next);
      return true;
    }
    SkipEscapeArgument(next);
    EndRun();
    return true;
  }

  // What follows a letter or digit escape belongs to it, so none of it is
  // taken for text: \x41, \x{41}, \p{Lu}, \pL, \k<name>, \g{-1}, \12, \cX.
  void SkipEscapeArgument(QChar letter) {
    const auto digits = [this] {
      while (i_ < p_.size() && p_[i_].isDigit()) {
        ++i_;
      }
    };
    const auto to = [this](QChar close) {
      const qsizetype at = p_.indexOf(close, i_ + 1);
      i_ = at < 0 ? p_.size() : at + 1;
    };
    const QChar open = i_ < p_.size() ? p_[i_] : QChar();
    switch (letter.unicode()) {
      case u'c':
        i_ = std::min(i_ + 1, p_.size());  // even a parenthesis
        return;
      case u'x':
        if (open == u'{') {
          to(u'}');
        } else {
          for (int n = 0; n < 2 && i_ < p_.size() && IsHexDigit(p_[i_]); ++n) {
            ++i_;
          }
        }
        return;
      case u'g':
      case u'k':
        if (open == u'{' || open == u'<' || open == u'\'') {
          to(open == u'{' ? u'}' : open == u'<' ? u'>' : u'\'');
        } else if (letter == u'g') {
          if (open == u'+' || open == u'-') {
            ++i_;
          }
          digits();
        }
        return;
      case u'p':
      case u'P':
        if (open == u'{') {
          to(u'}');
        } else if (i_ < p_.size()) {
          ++i_;
        }
        return;
      case u'o':
      case u'N':
        if (open == u'{') {
          to(u'}');
        }
        return;
      default:
        if (letter.isDigit()) {
          digits();
        }
        return;
    }
  }

  bool SkipClass() {
    qsizetype j = i_ + 1;
    if (j < p_.size() && p_[j] == u'^') {
      ++j;
    }
    if (j < p_.size() && p_[j] == u']') {
      ++j;  // a first `]` is a member
    }
    while (j < p_.size()) {
      if (p_[j] == u'\\') {
        if (j + 1 < p_.size() && p_[j + 1] == u'Q') {
          const qsizetype close = p_.indexOf(QStringLiteral("\\E"), j + 2);
          if (close < 0) {
            return false;
          }
          j = close + 2;
        } else {
          j += 2;
        }
      } else if (p_[j] == u'[' && j + 1 < p_.size() && p_[j + 1] == u':') {
        const qsizetype close = p_.indexOf(QStringLiteral(":]"), j + 2);
        if (close < 0) {
          return false;
        }
        j = close + 2;
      } else if (p_[j] == u']') {
        i_ = j + 1;
        return true;
      } else {
        ++j;
      }
    }
    return false;
  }

  bool Group() {
    const QStringView rest = QStringView(p_).sliced(i_);
    if (rest.startsWith(u"(*")) {
      return false;  // a verb or setting may end a match early
    }
    if (rest.startsWith(u"(?#")) {
      const qsizetype close = p_.indexOf(u')', i_);
      if (close < 0) {
        return false;
      }
      i_ = close + 1;
      // A quantifier behind the comment would apply to the character before.
      TakeLastOut();
      return true;
    }
    if (rest.startsWith(u"(?")) {
      // Option letters, then `)` for the rest of the level or `:` for a group.
      qsizetype j = i_ + 2;
      while (j < p_.size() && (p_[j].isLetter() || p_[j] == u'^' || p_[j] == u'-')) {
        if (p_[j] == u'x') {
          return false;  // extended mode: blanks and `#` are no longer text
        }
        ++j;
      }
    }
    EndRun();
    ++depth_;
    ++i_;
    return true;
  }

  void Literal(QChar c) {
    if (depth_ == 0) {
      run_.append(c);
    }
  }

  void TakeLastOut() {
    if (!run_.isEmpty()) {
      const bool pair = run_.size() >= 2 && run_.back().isLowSurrogate() &&
                        run_.at(run_.size() - 2).isHighSurrogate();
      run_.chop(pair ? 2 : 1);
    }
    EndRun();
  }

  void EndRun() {
    if (run_.size() > best_.size()) {
      best_ = run_;
    }
    run_.clear();
  }

  const QString& p_;
  qsizetype i_ = 0;
  int depth_ = 0;
  QString run_;
  QString best_;
};

}  // namespace

QString RequiredLiteral(const QString& searchText, const SearchOptions& options) {
  if (!options.pattern) {
    return searchText;
  }
  if (!QRegularExpression(searchText).isValid()) {
    return {};
  }
  return LiteralScan(searchText).Run().value_or(QString());
}

}  // namespace qm
