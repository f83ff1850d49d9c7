#include "host/admin/bookmarks_charsets.h"

#include <QStringDecoder>

#include <algorithm>
#include <utility>

#include "host/admin/bookmarks_charset_tables.h"
#include "host/admin/bookmarks_html.h"

namespace qm::host::html {

namespace {

constexpr qsizetype kMaxLabelLength = 64;

bool IsAsciiSpace(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

bool IsUtf8Label(const QString& label) {
  static const char* const kLabels[] = {"utf-8",         "utf8",          "unicode-1-1-utf-8",
                                        "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
  for (const char* l : kLabels) {
    if (label == QLatin1String(l)) return true;
  }
  return false;
}

// A META tag is 8-bit text, so a file whose META can be read at all is not
// in UTF-16 whatever it declares; browsers read such a file as UTF-8.
bool IsUtf16Label(const QString& label) {
  static const char* const kLabels[] = {"utf-16",      "utf-16le",    "utf-16be",
                                        "unicode",     "ucs-2",       "csunicode",
                                        "unicodefeff", "unicodefffe", "iso-10646-ucs-2"};
  for (const char* l : kLabels) {
    if (label == QLatin1String(l)) return true;
  }
  return false;
}

// The charset part of a Content-Type value ("text/html; charset=UTF-8"), as
// HTML extracts it from a META tag's CONTENT.
QString CharsetFromContent(const QString& content) {
  const qsizetype n = content.size();
  qsizetype from = 0;
  while (true) {
    qsizetype at = content.indexOf(QLatin1String("charset"), from, Qt::CaseInsensitive);
    if (at < 0) return {};
    at += 7;
    while (at < n && IsAsciiSpace(content[at])) ++at;
    if (at >= n || content[at] != u'=') {
      from = at;
      continue;
    }
    ++at;
    while (at < n && IsAsciiSpace(content[at])) ++at;
    if (at >= n) return {};
    if (content[at] == u'"' || content[at] == u'\'') {
      const qsizetype close = content.indexOf(content[at], at + 1);
      return close < 0 ? QString() : content.mid(at + 1, close - at - 1);
    }
    qsizetype end = at;
    while (end < n && !IsAsciiSpace(content[end]) && content[end] != u';') ++end;
    return content.mid(at, end - at);
  }
}

// Labels go into messages on a terminal: only printable ASCII, and short.
QString CleanLabel(const QString& raw) {
  QString label = raw.trimmed().toLower();
  for (QChar& c : label) {
    if (c.unicode() < 0x21 || c.unicode() > 0x7E) c = u'?';
  }
  if (label.size() > kMaxLabelLength) label = label.left(kMaxLabelLength) + QStringLiteral("...");
  return label;
}

const charsets::SingleByteCharset* FindCharset(const QString& name) {
  for (std::size_t i = 0; i < charsets::kSingleByteCharsetCount; ++i) {
    if (name == QLatin1String(charsets::kSingleByteCharsets[i].name)) {
      return &charsets::kSingleByteCharsets[i];
    }
  }
  return nullptr;
}

QChar UpperHalf(const charsets::SingleByteCharset& charset, unsigned char byte) {
  return byte < 0x80 ? QChar(byte) : QChar(charset.upper[byte - 0x80]);
}

// The length of the valid UTF-8 sequence at data[i], or 0 when the byte
// there starts none (a stray continuation, an overlong form, a surrogate,
// a value past U+10FFFF, or a sequence cut short).
int Utf8SequenceLength(const unsigned char* data, qsizetype n, qsizetype i) {
  const unsigned char b = data[i];
  int more = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    more = 1;
  } else if (b == 0xE0) {
    more = 2;
    low = 0xA0;
  } else if (b == 0xED) {
    more = 2;
    high = 0x9F;
  } else if (b >= 0xE1 && b <= 0xEF) {
    more = 2;
  } else if (b == 0xF0) {
    more = 3;
    low = 0x90;
  } else if (b >= 0xF1 && b <= 0xF3) {
    more = 3;
  } else if (b == 0xF4) {
    more = 3;
    high = 0x8F;
  } else {
    return 0;
  }
  if (n - i <= more) return 0;
  if (data[i + 1] < low || data[i + 1] > high) return 0;
  for (int k = 2; k <= more; ++k) {
    if (data[i + k] < 0x80 || data[i + k] > 0xBF) return 0;
  }
  return more + 1;
}

}  // namespace

// Appends decoded pieces to one text; each kind keeps what a piece may
// leave unfinished for the next.
class DocumentDecoder::Reader {
 public:
  virtual ~Reader() = default;
  virtual void Feed(const unsigned char* data, qsizetype n, bool last) = 0;
  virtual void Finish(CharsetUse&) {}
  QString text;
};

namespace {

// UTF-8 sequence by sequence; a byte that starts no valid sequence is read
// as windows-1252 and counted. A sequence a piece cuts short waits for the
// next piece.
class Utf8Reader final : public DocumentDecoder::Reader {
 public:
  explicit Utf8Reader(bool declared) : declared_(declared) {}

  void Feed(const unsigned char* data, qsizetype n, bool last) override {
    qsizetype start = 0;
    if (!carry_.isEmpty()) {
      // The cut sequence with enough of this piece to end it.
      const qsizetype more = std::min<qsizetype>(n, 4);
      QByteArray joined = carry_ + QByteArray(reinterpret_cast<const char*>(data), more);
      const qsizetype carried = carry_.size();
      const qsizetype used = Run(reinterpret_cast<const unsigned char*>(joined.constData()),
                                 joined.size(), last && more == n);
      if (used < carried) {
        carry_ = joined.mid(used);
        return;
      }
      start = used - carried;
      carry_.clear();
    }
    const qsizetype used = Run(data + start, n - start, last);
    carry_ = QByteArray(reinterpret_cast<const char*>(data + start + used), n - start - used);
  }

  void Finish(CharsetUse& use) override {
    use.name = QStringLiteral("UTF-8");
    use.windows1252Bytes = windows1252Bytes_;
    if (!declared_ && sequences_ == 0 && windows1252Bytes_ > 0) {
      // Nothing of it is UTF-8: it is a windows-1252 file, through and
      // through (which is how every byte was read already).
      use.name = QLatin1String(charsets::kWindows1252.name);
      use.windows1252Bytes = 0;
    }
  }

 private:
  // Whether data[i] starts a sequence the piece's end cuts short, every
  // byte of it there so far being right.
  static bool CutShort(const unsigned char* data, qsizetype n, qsizetype i) {
    const unsigned char b = data[i];
    const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    if (n - i > more) {
      return false;  // all there, and wrong
    }
    // Filled up with the smallest continuation bytes the lead allows, a
    // whole sequence tells whether what is there so far is right.
    unsigned char probe[4] = {b, 0x80, 0x80, 0x80};
    if (b == 0xE0) probe[1] = 0xA0;
    if (b == 0xF0) probe[1] = 0x90;
    for (qsizetype k = 1; i + k < n; ++k) probe[k] = data[i + k];
    return Utf8SequenceLength(probe, 1 + more, 0) != 0;
  }

  // Reads what it can; returns how many bytes it used.
  qsizetype Run(const unsigned char* data, qsizetype n, bool last) {
    const charsets::SingleByteCharset& fallback = charsets::kWindows1252;
    qsizetype i = 0;
    while (i < n) {
      if (data[i] < 0x80) {
        qsizetype end = i + 1;
        while (end < n && data[end] < 0x80) ++end;
        text.append(QLatin1StringView(reinterpret_cast<const char*>(data + i), end - i));
        i = end;
        continue;
      }
      const int length = Utf8SequenceLength(data, n, i);
      if (length == 0) {
        if (!last && data[i] >= 0xC2 && data[i] <= 0xF4 && CutShort(data, n, i)) {
          return i;
        }
        text.append(UpperHalf(fallback, data[i]));
        ++windows1252Bytes_;
        ++i;
        continue;
      }
      char32_t cp = static_cast<char32_t>(data[i] & (0x7F >> length));
      for (int k = 1; k < length; ++k) cp = (cp << 6) | static_cast<char32_t>(data[i + k] & 0x3F);
      if (QChar::requiresSurrogates(cp)) {
        text.append(QChar(QChar::highSurrogate(cp)));
        text.append(QChar(QChar::lowSurrogate(cp)));
      } else {
        text.append(QChar(static_cast<char16_t>(cp)));
      }
      ++sequences_;
      i += length;
    }
    return i;
  }

  bool declared_;
  QByteArray carry_;
  std::int64_t sequences_ = 0;  // valid sequences of two bytes or more
  std::int64_t windows1252Bytes_ = 0;
};

class SingleByteReader final : public DocumentDecoder::Reader {
 public:
  explicit SingleByteReader(const charsets::SingleByteCharset& charset) : charset_(charset) {}
  void Feed(const unsigned char* data, qsizetype n, bool) override {
    for (qsizetype i = 0; i < n; ++i) text.append(UpperHalf(charset_, data[i]));
  }

 private:
  const charsets::SingleByteCharset& charset_;
};

class Utf16Reader final : public DocumentDecoder::Reader {
 public:
  explicit Utf16Reader(bool little)
      : decoder_(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE) {}
  void Feed(const unsigned char* data, qsizetype n, bool last) override {
    text.append(decoder_.decode(QByteArrayView(data, n)));
    fed_ += n;
    if (last && fed_ % 2 != 0) {
      // A last byte without its pair reads as an unknown character.
      text.append(QChar::ReplacementCharacter);
    }
  }

 private:
  QStringDecoder decoder_;
  qint64 fed_ = 0;
};

}  // namespace

QString DeclaredCharset(const QByteArray& bytes) {
  QByteArray head = bytes.left(kCharsetScanBytes);
  // A tag the scan window cuts in two would give half a label.
  head.truncate(head.lastIndexOf('>') + 1);
  const QString text = QString::fromLatin1(head);
  Lexer lexer(text);
  for (Token token = lexer.Next(); token.kind != Token::Kind::End; token = lexer.Next()) {
    if (token.kind != Token::Kind::Tag || token.tag.closing || token.tag.name != u"META") {
      continue;
    }
    QString label = token.tag.Attribute(u"CHARSET");
    if (label.isNull()) {
      const QString equiv = token.tag.Attribute(u"HTTP-EQUIV").trimmed();
      if (equiv.isNull() ||
          equiv.compare(QLatin1String("content-type"), Qt::CaseInsensitive) == 0) {
        label = CharsetFromContent(token.tag.Attribute(u"CONTENT"));
      }
    }
    label = CleanLabel(label);
    if (!label.isEmpty()) return label;
  }
  return {};
}

QString SingleByteCharsetName(const QString& label) {
  for (std::size_t i = 0; i < charsets::kSingleByteLabelCount; ++i) {
    if (label == QLatin1String(charsets::kSingleByteLabels[i].label)) {
      return QLatin1String(
          charsets::kSingleByteCharsets[charsets::kSingleByteLabels[i].charset].name);
    }
  }
  return {};
}

QString DecodeSingleByte(const QByteArray& bytes, const QString& charsetName) {
  const charsets::SingleByteCharset* charset = FindCharset(charsetName);
  if (charset == nullptr) charset = &charsets::kWindows1252;
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    out[i] = UpperHalf(*charset, static_cast<unsigned char>(bytes[i]));
  }
  return text;
}

DocumentDecoder::DocumentDecoder(const QByteArray& head) {
  if (head.startsWith("\xEF\xBB\xBF")) {
    use_.evidence = CharsetUse::Evidence::kByteOrderMark;
    skip_ = 3;
    reader_ = std::make_unique<Utf8Reader>(true);
    return;
  }
  if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
    const bool little = head.startsWith("\xFF\xFE");
    use_.evidence = CharsetUse::Evidence::kByteOrderMark;
    use_.name = little ? QStringLiteral("UTF-16LE") : QStringLiteral("UTF-16BE");
    skip_ = 2;
    reader_ = std::make_unique<Utf16Reader>(little);
    return;
  }
  use_.declared = DeclaredCharset(head);
  if (use_.declared.isEmpty()) {
    reader_ = std::make_unique<Utf8Reader>(false);
    return;
  }
  use_.evidence = CharsetUse::Evidence::kDeclared;
  if (IsUtf8Label(use_.declared) || IsUtf16Label(use_.declared)) {
    reader_ = std::make_unique<Utf8Reader>(true);
    return;
  }
  use_.name = SingleByteCharsetName(use_.declared);
  if (!use_.name.isEmpty()) {
    reader_ = std::make_unique<SingleByteReader>(*FindCharset(use_.name));
  }
}

DocumentDecoder::~DocumentDecoder() = default;

bool DocumentDecoder::Unreadable() const { return !reader_; }

void DocumentDecoder::Reserve(qint64 documentBytes) {
  // No set gives more UTF-16 units than the document has bytes.
  if (reader_) reader_->text.reserve(static_cast<qsizetype>(documentBytes));
}

void DocumentDecoder::Feed(QByteArrayView piece, bool last) {
  if (!reader_) return;
  const qsizetype skipped = std::min(skip_, piece.size());
  skip_ -= skipped;
  reader_->Feed(reinterpret_cast<const unsigned char*>(piece.data()) + skipped,
                piece.size() - skipped, last);
  if (last) reader_->Finish(use_);
}

QString DocumentDecoder::TakeText() {
  return reader_ ? std::exchange(reader_->text, QString()) : QString();
}

const CharsetUse& DocumentDecoder::Use() const { return use_; }

std::optional<QString> DecodeDocument(const QByteArray& bytes, CharsetUse* used) {
  DocumentDecoder decoder(bytes.left(kCharsetScanBytes));
  if (decoder.Unreadable()) {
    if (used) *used = decoder.Use();
    return std::nullopt;
  }
  decoder.Reserve(bytes.size());
  decoder.Feed(bytes, true);
  if (used) *used = decoder.Use();
  return decoder.TakeText();
}

}  // namespace qm::host::html
