#include "host/admin/bookmarks_charsets.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "host/admin/bookmarks.h"

namespace {

using qm::host::BookmarkParseNotes;
using qm::host::CharsetUse;
using Evidence = CharsetUse::Evidence;

const QByteArray kList = "<DL><p><DT><A HREF=\"https://example.com/\">";

// The first bookmark's title of a file made of a head and a title's bytes.
QString TitleOf(const QByteArray& head, const QByteArray& titleBytes,
                BookmarkParseNotes* notes = nullptr) {
  const auto tree = qm::host::ParseBookmarks(head + kList + titleBytes + "</A></DL>", notes);
  return tree.items.empty() ? QStringLiteral("<none>") : tree.items[0].title;
}

QByteArray NetscapeHead(const QByteArray& label) {
  return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
         "CONTENT=\"text/html; charset=" +
         label + "\">\n";
}

QByteArray MetaCharsetHead(const QByteArray& label) { return "<meta charset=\"" + label + "\">\n"; }

TEST(BookmarkCharsets, EachDeclaredSingleByteSetReadsItsOwnLetters) {
  struct Case {
    QByteArray label;
    QByteArray bytes;
    const char* text;  // UTF-8
    const char* used;
  };
  const Case cases[] = {
      {"ISO-8859-1", "M\xFCnchen \x80", "München €", "windows-1252"},
      {"windows-1252", "\x93zitiert\x94 \x85", "“zitiert” …", "windows-1252"},
      {"x-mac-roman", "\x8A \xA7 \xDB", "ä ß €", "macintosh"},
      {"ISO-8859-15", "\xA4 \xBD", "€ œ", "ISO-8859-15"},
      {"windows-1250", "\x9A\xB9", "šą", "windows-1250"},
      {"ISO-8859-2", "\xB1", "ą", "ISO-8859-2"},
      {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет", "windows-1251"},
      {"KOI8-R", "\xF0\xD2\xC9\xD7\xC5\xD4", "Привет", "KOI8-R"},
      {"IBM866", "\x8F\xE0\xA8\xA2\xA5\xE2", "Привет", "IBM866"},
      {"ISO-8859-7", "\xE1\xE2", "αβ", "ISO-8859-7"},
      {"ISO-8859-9", "\xFD", "ı", "windows-1254"},
      {"windows-1255", "\xF9", "ש", "windows-1255"},
      {"windows-874", "\xA1", "ก", "windows-874"},
  };
  for (const auto& c : cases) {
    for (const QByteArray& head : {NetscapeHead(c.label), MetaCharsetHead(c.label)}) {
      BookmarkParseNotes notes;
      EXPECT_EQ(TitleOf(head, c.bytes, &notes), QString::fromUtf8(c.text)) << head.toStdString();
      EXPECT_EQ(notes.charset.evidence, Evidence::kDeclared) << head.toStdString();
      EXPECT_EQ(notes.charset.name, QString::fromLatin1(c.used)) << head.toStdString();
      EXPECT_EQ(notes.charset.declared, QString::fromLatin1(c.label).toLower());
    }
  }
}

TEST(BookmarkCharsets, OnlyAMetaTagDeclares) {
  struct Case {
    const char* name;
    QByteArray head;
    QByteArray title;
    const char* text;
    const char* used;
  };
  const Case cases[] = {
      {"in a comment", "<!-- <meta charset=koi8-r> -->", "K\xC3\xB6ln", "Köln", "UTF-8"},
      {"in another tag", "<link href=\"https://example.com/?charset=shift_jis\">", "K\xC3\xB6ln",
       "Köln", "UTF-8"},
      {"in page text", "<H1>charset=koi8-r</H1>", "K\xC3\xB6ln", "Köln", "UTF-8"},
      {"another pragma",
       "<meta http-equiv=\"Content-Security-Policy\" content=\"x; charset=koi8-r\">", "K\xC3\xB6ln",
       "Köln", "UTF-8"},
      {"upper case, unquoted", "<META CHARSET=ISO-8859-15>", "\xA4", "€", "ISO-8859-15"},
      {"blanks around", "<meta content='text/html ; Charset = \"KOI8-R\" '>", "\xF0", "П",
       "KOI8-R"},
      {"the first one counts", "<meta charset=iso-8859-15><meta charset=koi8-r>", "\xA4", "€",
       "ISO-8859-15"},
      {"byte-order mark over declaration", "\xEF\xBB\xBF<meta charset=koi8-r>", "\xC3\xA4", "ä",
       "UTF-8"},
      {"utf-16 in 8-bit text", "<meta charset=utf-16>", "\xC3\xA4", "ä", "UTF-8"},
  };
  for (const auto& c : cases) {
    BookmarkParseNotes notes;
    EXPECT_EQ(TitleOf(c.head, c.title, &notes), QString::fromUtf8(c.text)) << c.name;
    EXPECT_EQ(notes.charset.name, QString::fromLatin1(c.used)) << c.name;
  }
  // A bookmark's address that mentions a character set declares nothing.
  const auto tree = qm::host::ParseBookmarks(
      "<DL><DT><A HREF=\"https://example.com/?charset=shift_jis\">K\xC3\xB6ln</A></DL>");
  ASSERT_EQ(tree.items.size(), 1u);
  EXPECT_EQ(tree.items[0].title, QString::fromUtf8("Köln"));
}

TEST(BookmarkCharsets, ADeclarationCutByTheScanWindowIsNoDeclaration) {
  // "windows-1250" cut after "wind" would be an unknown set; cut after
  // "windows-125" it would be a wrong one.
  for (const qsizetype keep : {4, 11}) {
    const QByteArray meta = "<meta charset=windows-1250>";
    const qsizetype labelStart = meta.indexOf('=') + 1;
    QByteArray file(qm::host::html::kCharsetScanBytes - labelStart - keep, ' ');
    file += meta + kList + "\x9A</A></DL>";
    BookmarkParseNotes notes;
    const auto tree = qm::host::ParseBookmarks(file, &notes);
    EXPECT_TRUE(notes.charset.declared.isEmpty()) << keep;
    EXPECT_EQ(notes.charset.evidence, Evidence::kUndeclared);
    ASSERT_EQ(tree.items.size(), 1u);
    EXPECT_EQ(tree.items[0].title, QString::fromUtf8("š"));  // 0x9A in windows-1252 too
  }
  // The same tag whole inside the window is read.
  const QByteArray file = QByteArray(100, ' ') + "<meta charset=windows-1250>" + kList + "\xB9";
  BookmarkParseNotes notes;
  qm::host::ParseBookmarks(file, &notes);
  EXPECT_EQ(notes.charset.name, QStringLiteral("windows-1250"));
}

TEST(BookmarkCharsets, UndeclaredFilesAreUtf8WhereValidAndWindows1252WhereNot) {
  struct Case {
    const char* name;
    QByteArray title;
    const char* text;
    const char* used;
    std::int64_t fallbackBytes;
  };
  const Case cases[] = {
      {"plain ASCII", "Example", "Example", "UTF-8", 0},
      {"valid UTF-8", "K\xC3\xB6ln \xE2\x82\xAC \xF0\x9F\x98\x80", "Köln € 😀", "UTF-8", 0},
      {"windows-1252 only", "K\xF6ln \x93x\x94", "Köln “x”", "windows-1252", 0},
      {"mixed", "K\xC3\xB6ln M\xFCnchen", "Köln München", "UTF-8", 1},
      {"sequence cut short", "\xC3\xB6 \xE2\x82", "ö â‚", "UTF-8", 2},
      {"overlong and surrogate", "\xC3\xB6 \xC0\xAF \xED\xA0\x80", "ö À¯ í\u00A0€", "UTF-8", 5},
      {"past U+10FFFF", "\xC3\xB6 \xF4\x90\x80\x80", "ö ô\u0090€€", "UTF-8", 4},
      {"stray continuation", "\xC3\xB6\xB6", "ö¶", "UTF-8", 1},
  };
  for (const auto& c : cases) {
    BookmarkParseNotes notes;
    EXPECT_EQ(TitleOf("", c.title, &notes), QString::fromUtf8(c.text)) << c.name;
    EXPECT_EQ(notes.charset.evidence, Evidence::kUndeclared) << c.name;
    EXPECT_EQ(notes.charset.name, QString::fromLatin1(c.used)) << c.name;
    EXPECT_EQ(notes.charset.windows1252Bytes, c.fallbackBytes) << c.name;
  }
}

// A file is read in pieces; whatever the pieces cut (a UTF-8 sequence, a
// UTF-16 pair, a byte-order mark), the text is that of the whole.
TEST(BookmarkCharsets, ReadInPiecesAsAWhole) {
  const QByteArray titles =
      "K\xC3\xB6ln \xE2\x82\xAC \xF0\x9F\x98\x80 M\xFCnchen \xE2\x82 \xED\xA0\x80 \xF4\x90\x80\x80 "
      "\xC3";
  const QByteArray documents[] = {
      kList + titles,
      "\xEF\xBB\xBF" + kList + titles,
      NetscapeHead("UTF-8") + kList + titles,
      NetscapeHead("windows-1250") + kList + titles,
      QByteArray("\xFF\xFE<\0D\0L\0>\0\x3D\xD8\x00\xDE!", 15),
      "K\xF6ln \x93x\x94",
  };
  for (const QByteArray& document : documents) {
    qm::host::CharsetUse wholeUse;
    const std::optional<QString> whole = qm::host::html::DecodeDocument(document, &wholeUse);
    ASSERT_TRUE(whole.has_value());
    for (qsizetype size = 1; size <= 7; ++size) {
      qm::host::html::DocumentDecoder decoder(document.left(qm::host::html::kCharsetScanBytes));
      for (qsizetype at = 0; at < document.size(); at += size) {
        decoder.Feed(document.mid(at, size), at + size >= document.size());
      }
      EXPECT_EQ(decoder.TakeText(), *whole) << document.toStdString() << ", pieces of " << size;
      EXPECT_EQ(decoder.Use().name, wholeUse.name) << document.toStdString();
      EXPECT_EQ(decoder.Use().windows1252Bytes, wholeUse.windows1252Bytes)
          << document.toStdString();
    }
  }
}

TEST(BookmarkCharsets, BytesThatBelieADeclaredUtf8AreKeptAsWindows1252) {
  BookmarkParseNotes notes;
  EXPECT_EQ(TitleOf(NetscapeHead("UTF-8"),
                    "Gr\xFC\xDF"
                    "e \xC3\xA4",
                    &notes),
            QString::fromUtf8("Grüße ä"));
  EXPECT_EQ(notes.charset.evidence, Evidence::kDeclared);
  EXPECT_EQ(notes.charset.name, QStringLiteral("UTF-8"));
  EXPECT_EQ(notes.charset.windows1252Bytes, 2);
}

TEST(BookmarkCharsets, AnUnknownDeclaredSetIsRefusedByName) {
  const QByteArray labels[] = {"shift_jis", "x-no-such-set", "utf-7"};
  for (const QByteArray& label : labels) {
    try {
      qm::host::ParseBookmarks(NetscapeHead(label) + kList + "x</A></DL>");
      ADD_FAILURE() << "accepted " << label.toStdString();
    } catch (const qm::Error& error) {
      EXPECT_EQ(error.number(), qm::host::errc::kUnknownCharset);
      EXPECT_EQ(error.source(), QString::fromLatin1(qm::host::kBookmarksSource));
      EXPECT_TRUE(error.description().contains("\"" + QString::fromLatin1(label) + "\""))
          << error.what();
    }
  }
  // A hostile label reaches the message short and printable.
  const QByteArray hostile = "<meta charset=\"\x1B[2J" + QByteArray(500, 'a') + "\">";
  try {
    qm::host::ParseBookmarks(hostile + kList + "x</A></DL>");
    ADD_FAILURE() << "accepted a hostile label";
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::host::errc::kUnknownCharset);
    EXPECT_FALSE(error.description().contains(QChar(0x1B)));
    EXPECT_LT(error.description().size(), 400);
  }
}

TEST(BookmarkCharsets, EverySingleByteLabelNamesASetThatKeepsAscii) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const char* const labels[] = {"latin1",       "us-ascii", "cp1252",         "l9",
                                "mac",          "koi8-u",   "x-mac-cyrillic", "iso-8859-16",
                                "windows-1258", "tis-620"};
  for (const char* label : labels) {
    const QString name = qm::host::html::SingleByteCharsetName(QString::fromLatin1(label));
    ASSERT_FALSE(name.isEmpty()) << label;
    const QString text = qm::host::html::DecodeSingleByte(all, name);
    ASSERT_EQ(text.size(), 256) << label;
    EXPECT_EQ(text.left(128), QString::fromLatin1(all.left(128))) << label;
    // The upper half reads as characters, not as the ASCII it is not.
    for (int b = 128; b < 256; ++b) EXPECT_GE(text[b].unicode(), 0x80) << label << " " << b;
  }
  EXPECT_TRUE(qm::host::html::SingleByteCharsetName(QStringLiteral("shift_jis")).isEmpty());
}

}  // namespace
