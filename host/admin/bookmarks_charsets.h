// Which character set a bookmark file is written in, and its bytes as text.
//
// The evidence is weighed as browsers weigh it: a byte-order mark first, then
// the character set a META tag near the top declares (the Netscape format's
// <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=..."> or
// <meta charset=...>), and only then the bytes themselves. Declared names are
// the labels browsers accept; the Latin-1 labels, like "us-ascii", read as
// windows-1252, whose printable characters in 0x80 to 0x9F are what such
// files really hold there.
//
// Every single-byte set is decoded from tables of our own
// (bookmarks_charset_tables.h): the static Windows Qt has no converter for
// them, and with the tables a file reads the same on both systems. UTF-16
// goes through Qt's own decoder, which every Qt build has. Nothing here
// fails: a declared set we cannot read is reported to the caller, who
// decides.
#pragma once

#include <QByteArray>
#include <QString>

#include <QByteArrayView>

#include <cstdint>
#include <memory>
#include <optional>

namespace qm::host {

struct CharsetUse {
  enum class Evidence : std::uint8_t { kByteOrderMark, kDeclared, kUndeclared };

  Evidence evidence = Evidence::kUndeclared;
  // The set the text was read in: "UTF-8", "UTF-16LE", "windows-1252",
  // "ISO-8859-15", ...; empty when the declared set is one we cannot read.
  QString name;
  // The label as the file declares it, in lower case; empty without one.
  QString declared;
  // For UTF-8: the bytes that are no part of valid UTF-8 and were therefore
  // read as windows-1252 rather than lost.
  std::int64_t windows1252Bytes = 0;
};

namespace html {

// The label the file's first META tags declare (lower case, trimmed), or an
// empty text. Only complete tags within the first kCharsetScanBytes count;
// comments and other tags' text are not looked into.
inline constexpr qsizetype kCharsetScanBytes = 8192;
QString DeclaredCharset(const QByteArray& bytes);

// The file's text, or nothing when it declares a set that cannot be read
// (then *used names the label and has an empty name). UTF-8, declared or
// found, is read sequence by sequence: a byte that starts no valid sequence
// is read as windows-1252 and counted, so that a UTF-8 file with a few Latin
// bytes pasted in keeps every character. An undeclared file is therefore
// UTF-8 where it is valid and windows-1252 where not.
std::optional<QString> DecodeDocument(const QByteArray& bytes, CharsetUse* used = nullptr);

// The same, piece by piece, so that a large file is never in memory as bytes
// and as text at once: the text grows as the pieces come, and the bytes of
// each piece may go once it is fed. The set is chosen from the document's
// head exactly as DecodeDocument chooses it.
class DocumentDecoder {
 public:
  // `head`: the document's first kCharsetScanBytes bytes (all of a shorter
  // one).
  explicit DocumentDecoder(const QByteArray& head);
  ~DocumentDecoder();
  DocumentDecoder(const DocumentDecoder&) = delete;
  DocumentDecoder& operator=(const DocumentDecoder&) = delete;

  // The document declares a set that cannot be read (Use() names it).
  bool Unreadable() const;
  // Room for the text of a document of this many bytes, at most.
  void Reserve(qint64 documentBytes);
  // The document's bytes in order from its first (a byte-order mark
  // included); `last` with the final piece.
  void Feed(QByteArrayView piece, bool last);
  QString TakeText();
  const CharsetUse& Use() const;

  // One per kind of set, in the .cpp file.
  class Reader;

 private:
  std::unique_ptr<Reader> reader_;
  CharsetUse use_;
  qsizetype skip_ = 0;  // of a byte-order mark not fed yet
};

// The canonical name of a single-byte set for a label ("latin1" gives
// "windows-1252"), or an empty text for a label of none we know.
QString SingleByteCharsetName(const QString& label);

// Bytes in a single-byte set, by canonical name; every byte gives exactly one
// UTF-16 unit. An unknown name reads as windows-1252.
QString DecodeSingleByte(const QByteArray& bytes, const QString& charsetName);

}  // namespace html
}  // namespace qm::host
