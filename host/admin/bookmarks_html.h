// The small piece of HTML that bookmark files need: cutting their text into
// tags and text runs, decoding character references, and escaping text for
// writing. Turning bytes into text is bookmarks_charsets.h's part.
//
// Everything here reads untrusted bytes. Nothing recurses, every scan is
// bounded by the input, and the lexer remembers where a searched character is
// known to be absent so that a file full of unclosed "<" or quotes is still
// read in linear time.
#pragma once

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace qm::host::html {

// Collects the text of one element the way a browser shows it: runs of raw
// white space count as one blank and none is kept at either end, while
// characters that came from character references ("&#10;", "&#32;") are kept
// exactly. That difference is what lets a writer preserve line breaks and
// blanks through a round trip.
class TextCollector {
 public:
  void AppendRaw(QStringView raw);       // decodes references, folds white space
  void AppendLiteral(QChar c);           // kept as it is
  void AppendLiteral(QStringView text);  // kept as it is
  QString Take();
  bool empty() const { return text_.isEmpty(); }

 private:
  void Flush();
  QString text_;
  bool pendingBlank_ = false;
};

// Decodes character references in an attribute value; raw white space is kept.
QString DecodeAttribute(QStringView raw);

struct Tag {
  QString name;  // upper case, e.g. "DL", "A", "H3"
  bool closing = false;
  std::vector<std::pair<QString, QString>> attributes;  // names upper case, values decoded

  bool Has(QStringView attributeName) const;
  QString Attribute(QStringView attributeName) const;  // first match, or a null QString
};

struct Token {
  enum class Kind { Text, Tag, End };
  Kind kind = Kind::End;
  QStringView text;  // raw text of a Text token (references not yet decoded)
  Tag tag;
};

// Cuts text into tags and text runs. Comments, declarations ("<!...>") and
// processing instructions are skipped. A "<" that starts no tag is text. A tag
// cut off by the end of the input still counts, with what it had.
class Lexer {
 public:
  explicit Lexer(QStringView text);
  Token Next();

 private:
  // Position of the next c at or after from, or -1; remembers an absence so
  // that repeated failing searches cost nothing.
  class Finder {
   public:
    Finder(QStringView text, QChar c) : text_(text), c_(c) {}
    qsizetype Find(qsizetype from);

   private:
    QStringView text_;
    QChar c_;
    qsizetype from_ = -1;
    qsizetype at_ = -1;
  };

  Token ReadTag();
  void ReadAttributes(Tag& tag);
  qsizetype SkipTo(qsizetype found) const;
  // The text from the current position up to the first "<" found from
  // `searchFrom` on (or the end).
  Token TextFrom(qsizetype searchFrom);

  QStringView text_;
  qsizetype pos_ = 0;
  Finder lt_;
  Finder gt_;
  Finder dquote_;
  Finder squote_;
};

// Escapes text for an element or an attribute value so that reading it back
// with TextCollector or DecodeAttribute gives the same text: & < > " always,
// control characters as numeric references, and blanks that white-space
// folding would drop or merge.
QString EscapeText(QStringView text);
QString EscapeAttribute(QStringView text);

}  // namespace qm::host::html
