#include "host/bookmarks_charsets.h"

#include <QStringDecoder>

#include <utility>

#include "host/bookmarks_charset_tables.h"
#include "host/bookmarks_html.h"

namespace qm::host::html {

namespace {

constexpr qsizetype kMaxLabelLength = 64;
constexpr char kWindows1252[] = "windows-1252";

bool IsAsciiSpace(QChar c) {
  const char16_t u = c.unicode();
  return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

bool IsUtf8Label(const QString& label) {
  static const char* const kLabels[] = {"utf-8",         "utf8",         "unicode-1-1-utf-8",
                                        "unicode11utf8", "unicode20utf8", "x-unicode20utf8"};
  for (const char* l : kLabels) {
    if (label == QLatin1String(l)) return true;
  }
  return false;
}

// A META tag is 8-bit text, so a file whose META can be read at all is not
// in UTF-16 whatever it declares; browsers read such a file as UTF-8.
bool IsUtf16Label(const QString& label) {
  static const char* const kLabels[] = {"utf-16",  "utf-16le",   "utf-16be",   "unicode",
                                        "ucs-2",   "csunicode",  "unicodefeff", "unicodefffe",
                                        "iso-10646-ucs-2"};
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

struct Utf8Reading {
  QString text;
  std::int64_t sequences = 0;      // valid sequences of two bytes or more
  std::int64_t windows1252Bytes = 0;
};

Utf8Reading ReadUtf8(const QByteArray& bytes) {
  Utf8Reading reading;
  QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  reading.text = strict.decode(bytes);
  if (!strict.hasError()) {
    // Only whether any is there matters to the callers.
    for (const char c : bytes) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        reading.sequences = 1;
        break;
      }
    }
    return reading;
  }
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  const charsets::SingleByteCharset& fallback = *FindCharset(QLatin1String(kWindows1252));
  QString text;
  text.reserve(n);
  for (qsizetype i = 0; i < n;) {
    const int length = data[i] < 0x80 ? 1 : Utf8SequenceLength(data, n, i);
    if (length == 0) {
      text.append(UpperHalf(fallback, data[i]));
      ++reading.windows1252Bytes;
      ++i;
      continue;
    }
    if (length == 1) {
      text.append(QChar(data[i]));
      ++i;
      continue;
    }
    char32_t cp = static_cast<char32_t>(data[i] & (0x7F >> length));
    for (int k = 1; k < length; ++k) cp = (cp << 6) | static_cast<char32_t>(data[i + k] & 0x3F);
    text.append(QString::fromUcs4(&cp, 1));
    ++reading.sequences;
    i += length;
  }
  reading.text = std::move(text);
  return reading;
}

QString ReadUtf8Into(const QByteArray& bytes, CharsetUse& use, bool declared) {
  Utf8Reading reading = ReadUtf8(bytes);
  use.name = QStringLiteral("UTF-8");
  use.windows1252Bytes = reading.windows1252Bytes;
  if (!declared && reading.sequences == 0 && reading.windows1252Bytes > 0) {
    // Nothing of it is UTF-8: it is a windows-1252 file, through and through.
    use.name = QLatin1String(kWindows1252);
    use.windows1252Bytes = 0;
  }
  return std::move(reading.text);
}

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
      if (equiv.isNull() || equiv.compare(QLatin1String("content-type"), Qt::CaseInsensitive) == 0) {
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
      return QLatin1String(charsets::kSingleByteCharsets[charsets::kSingleByteLabels[i].charset].name);
    }
  }
  return {};
}

QString DecodeSingleByte(const QByteArray& bytes, const QString& charsetName) {
  const charsets::SingleByteCharset* charset = FindCharset(charsetName);
  if (charset == nullptr) charset = FindCharset(QLatin1String(kWindows1252));
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    out[i] = UpperHalf(*charset, static_cast<unsigned char>(bytes[i]));
  }
  return text;
}

std::optional<QString> DecodeDocument(const QByteArray& bytes, CharsetUse* used) {
  CharsetUse local;
  CharsetUse& use = used ? *used : local;
  use = CharsetUse{};
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    use.evidence = CharsetUse::Evidence::kByteOrderMark;
    return ReadUtf8Into(bytes.mid(3), use, true);
  }
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    const bool little = bytes.startsWith("\xFF\xFE");
    use.evidence = CharsetUse::Evidence::kByteOrderMark;
    use.name = little ? QStringLiteral("UTF-16LE") : QStringLiteral("UTF-16BE");
    QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                           QStringDecoder::Flag::Stateless);
    return QString(decoder.decode(bytes.mid(2)));
  }
  use.declared = DeclaredCharset(bytes);
  if (use.declared.isEmpty()) return ReadUtf8Into(bytes, use, false);
  use.evidence = CharsetUse::Evidence::kDeclared;
  if (IsUtf8Label(use.declared) || IsUtf16Label(use.declared)) {
    return ReadUtf8Into(bytes, use, true);
  }
  use.name = SingleByteCharsetName(use.declared);
  if (use.name.isEmpty()) return std::nullopt;
  return DecodeSingleByte(bytes, use.name);
}

}  // namespace qm::host::html
