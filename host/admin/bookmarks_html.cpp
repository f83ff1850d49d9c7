#include "host/admin/bookmarks_html.h"

#include "host/admin/bookmarks_references.h"

namespace qm::host::html {

namespace {

constexpr qsizetype kMaxReferenceName = 32;

bool IsAsciiAlnum(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

bool IsAsciiLetter(QChar c) {
  const char16_t u = c.unicode();
  return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z');
}

bool IsHtmlSpace(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

int HexValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

// The code point a numeric reference stands for, repaired as browsers repair
// it: nothing, surrogates and values past Unicode become U+FFFD, and the C1
// range is read as Windows-1252.
char32_t RepairCodePoint(char32_t value, bool overflow) {
  if (overflow || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return 0xFFFD;
  }
  if (value >= 0x80 && value <= 0x9F) {
    return Windows1252High(static_cast<unsigned char>(value));
  }
  return value;
}

// Decodes the reference that starts at text[i] == '&' and moves i past it.
// Returns false, with i unchanged, for an ampersand that starts none.
bool DecodeReference(QStringView text, qsizetype& i, QString& out, bool inAttribute) {
  const qsizetype n = text.size();
  qsizetype j = i + 1;
  if (j < n && text[j] == u'#') {
    ++j;
    const bool hex = j < n && (text[j] == u'x' || text[j] == u'X');
    if (hex) ++j;
    const qsizetype digitsStart = j;
    char32_t value = 0;
    bool overflow = false;
    for (; j < n; ++j) {
      const int digit =
          hex ? HexValue(text[j])
              : (text[j].isDigit() && text[j].unicode() < 0x80 ? text[j].unicode() - u'0' : -1);
      if (digit < 0) break;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
      if (value > 0x10FFFF) {
        overflow = true;
        value = 0x110000;  // keeps the product small while the digits run on
      }
    }
    if (j == digitsStart) return false;
    if (j < n && text[j] == u';') ++j;
    const char32_t cp = RepairCodePoint(value, overflow);
    out.append(QString::fromUcs4(&cp, 1));
    i = j;
    return true;
  }
  qsizetype end = j;
  while (end < n && end - j < kMaxReferenceName && IsAsciiAlnum(text[end])) ++end;
  if (end == j) return false;
  const QString name = text.mid(j, end - j).toString();
  const bool terminated = end < n && text[end] == u';';
  const char16_t found = NamedReference(name);
  if (found == 0) return false;
  if (!terminated) {
    // Only the four that old files commonly leave unterminated, and never
    // inside an attribute, where "&copy=" in an address must stay as it is.
    const bool legacy = name == u"amp" || name == u"lt" || name == u"gt" || name == u"quot";
    if (inAttribute || !legacy) return false;
  }
  out.append(QChar(found));
  i = terminated ? end + 1 : end;
  return true;
}

void AppendEscapedChar(QString& out, QChar c) {
  switch (c.unicode()) {
    case u'&':
      out.append(u"&amp;");
      return;
    case u'<':
      out.append(u"&lt;");
      return;
    case u'>':
      out.append(u"&gt;");
      return;
    case u'"':
      out.append(u"&quot;");
      return;
    default:
      break;
  }
  if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
    out.append(QStringLiteral("&#%1;").arg(c.unicode()));
    return;
  }
  out.append(c);
}

}  // namespace

void TextCollector::AppendRaw(QStringView raw) {
  for (qsizetype i = 0; i < raw.size();) {
    const QChar c = raw[i];
    if (IsHtmlSpace(c)) {
      pendingBlank_ = !text_.isEmpty();
      ++i;
      continue;
    }
    if (c == u'&') {
      QString decoded;
      if (DecodeReference(raw, i, decoded, false)) {
        AppendLiteral(decoded);
        continue;
      }
    }
    AppendLiteral(c.unicode() == 0 ? QChar(0xFFFD) : c);
    ++i;
  }
}

void TextCollector::Flush() {
  if (pendingBlank_) text_.append(u' ');
  pendingBlank_ = false;
}

void TextCollector::AppendLiteral(QChar c) {
  Flush();
  text_.append(c);
}

void TextCollector::AppendLiteral(QStringView text) {
  if (text.isEmpty()) return;
  Flush();
  text_.append(text);
}

QString TextCollector::Take() {
  QString result = std::move(text_);
  text_.clear();
  pendingBlank_ = false;
  return result;
}

QString DecodeAttribute(QStringView raw) {
  QString out;
  out.reserve(raw.size());
  for (qsizetype i = 0; i < raw.size();) {
    if (raw[i] == u'&' && DecodeReference(raw, i, out, true)) continue;
    out.append(raw[i].unicode() == 0 ? QChar(0xFFFD) : raw[i]);
    ++i;
  }
  return out;
}

bool Tag::Has(QStringView attributeName) const {
  for (const auto& [name, value] : attributes) {
    if (name == attributeName) return true;
  }
  return false;
}

QString Tag::Attribute(QStringView attributeName) const {
  for (const auto& [name, value] : attributes) {
    if (name == attributeName) return value;
  }
  return {};
}

qsizetype Lexer::Finder::Find(qsizetype from) {
  if (from_ >= 0 && from >= from_ && (at_ < 0 || from <= at_)) return at_;
  from_ = from;
  at_ = text_.indexOf(c_, from);
  return at_;
}

Lexer::Lexer(QStringView text)
    : text_(text), lt_(text, u'<'), gt_(text, u'>'), dquote_(text, u'"'), squote_(text, u'\'') {}

qsizetype Lexer::SkipTo(qsizetype found) const { return found < 0 ? text_.size() : found + 1; }

Token Lexer::TextFrom(qsizetype searchFrom) {
  const qsizetype lt = lt_.Find(searchFrom);
  const qsizetype end = lt < 0 ? text_.size() : lt;
  Token token;
  token.kind = Token::Kind::Text;
  token.text = text_.mid(pos_, end - pos_);
  pos_ = end;
  return token;
}

Token Lexer::Next() {
  const qsizetype n = text_.size();
  while (pos_ < n) {
    if (text_[pos_] != u'<') {
      return TextFrom(pos_);
    }
    const QChar next = pos_ + 1 < n ? text_[pos_ + 1] : QChar();
    if (next == u'!' || next == u'?') {
      if (text_.mid(pos_).startsWith(u"<!--")) {
        const qsizetype close = text_.indexOf(u"-->", pos_ + 4);
        pos_ = close < 0 ? n : close + 3;
      } else {
        pos_ = SkipTo(gt_.Find(pos_));
      }
      continue;
    }
    const bool endTag = next == u'/' && pos_ + 2 < n && IsAsciiLetter(text_[pos_ + 2]);
    if (endTag || IsAsciiLetter(next)) return ReadTag();
    // A "<" that opens nothing is text, up to the next "<".
    return TextFrom(pos_ + 1);
  }
  return Token{};
}

Token Lexer::ReadTag() {
  const qsizetype n = text_.size();
  Token token;
  token.kind = Token::Kind::Tag;
  ++pos_;  // '<'
  if (text_[pos_] == u'/') {
    token.tag.closing = true;
    ++pos_;
  }
  const qsizetype nameStart = pos_;
  while (pos_ < n && !IsHtmlSpace(text_[pos_]) && text_[pos_] != u'>' && text_[pos_] != u'/') {
    ++pos_;
  }
  token.tag.name = text_.mid(nameStart, pos_ - nameStart).toString().toUpper();
  if (token.tag.closing) {
    pos_ = SkipTo(gt_.Find(pos_));
  } else {
    ReadAttributes(token.tag);
  }
  return token;
}

void Lexer::ReadAttributes(Tag& tag) {
  const qsizetype n = text_.size();
  while (pos_ < n) {
    const QChar c = text_[pos_];
    if (c == u'>') {
      ++pos_;
      return;
    }
    if (IsHtmlSpace(c) || c == u'/') {
      ++pos_;
      continue;
    }
    const qsizetype nameStart = pos_;
    while (pos_ < n && !IsHtmlSpace(text_[pos_]) && text_[pos_] != u'=' && text_[pos_] != u'>' &&
           text_[pos_] != u'/') {
      ++pos_;
    }
    if (pos_ == nameStart) {  // a stray "=": step over it
      ++pos_;
      continue;
    }
    QString name = text_.mid(nameStart, pos_ - nameStart).toString().toUpper();
    while (pos_ < n && IsHtmlSpace(text_[pos_])) ++pos_;
    QStringView value;
    if (pos_ < n && text_[pos_] == u'=') {
      ++pos_;
      while (pos_ < n && IsHtmlSpace(text_[pos_])) ++pos_;
      if (pos_ < n && (text_[pos_] == u'"' || text_[pos_] == u'\'')) {
        Finder& quote = text_[pos_] == u'"' ? dquote_ : squote_;
        const qsizetype close = quote.Find(pos_ + 1);
        if (close >= 0) {
          value = text_.mid(pos_ + 1, close - pos_ - 1);
          pos_ = close + 1;
        } else {
          // Never closed: the value ends with the tag, or with the input.
          const qsizetype gt = gt_.Find(pos_ + 1);
          const qsizetype end = gt < 0 ? n : gt;
          value = text_.mid(pos_ + 1, end - pos_ - 1);
          pos_ = end;
        }
      } else {
        const qsizetype valueStart = pos_;
        while (pos_ < n && !IsHtmlSpace(text_[pos_]) && text_[pos_] != u'>') ++pos_;
        value = text_.mid(valueStart, pos_ - valueStart);
      }
    }
    tag.attributes.emplace_back(std::move(name), DecodeAttribute(value));
  }
}

QString EscapeText(QStringView text) {
  QString out;
  out.reserve(text.size() + text.size() / 8);
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text[i];
    if (c == u' ') {
      // Folding keeps only a single blank between two other characters.
      const bool kept = i > 0 && i + 1 < n && text[i - 1] != u' ' && text[i + 1] != u' ';
      out.append(kept ? QStringView(u" ") : QStringView(u"&#32;"));
      continue;
    }
    AppendEscapedChar(out, c);
  }
  return out;
}

QString EscapeAttribute(QStringView text) {
  QString out;
  out.reserve(text.size() + text.size() / 8);
  for (const QChar c : text) AppendEscapedChar(out, c);
  return out;
}

}  // namespace qm::host::html
