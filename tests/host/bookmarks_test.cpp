#include "host/admin/bookmarks.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include "bookmark_print.h"
#include "common/test_environment.h"

namespace {

using qm::host::BookmarkItem;
using qm::host::BookmarkTree;
using Kind = BookmarkItem::Kind;

// Shaped like the exports of current browsers: header comment, icons as data
// addresses, a toolbar folder, separators, descriptions, one empty folder.
const char kBrowserExport[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Lesezeichen-Menü</H1>

<DL><p>
    <DT><H3 ADD_DATE="1700000000" LAST_MODIFIED="1700000500" PERSONAL_TOOLBAR_FOLDER="true">Symbolleiste</H3>
    <DL><p>
        <DT><A HREF="https://www.example.com/news?id=1&amp;lang=de" ADD_DATE="1700000100" ICON="data:image/png;base64,iVBORw0KGgo=">Nachrichten &ndash; Example News</A>
        <DD>Täglich lesen &amp; archivieren
        <HR>
        <DT><H3 ADD_DATE="1700000200">Küche</H3>
        <DD>Rezepte
sammlung
        <DL><p>
            <DT><A HREF="http://rezepte.example.org/apfel-strudel" ADD_DATE="1700000300">Apfelstrudel | Beispiel Zeitung</A>
        </DL><p>
        <DT><H3>Leer</H3>
        <DL><p>
        </DL><p>
    </DL><p>
    <DT><A HREF="https://example.net/" ADD_DATE="1700000400" LAST_MODIFIED="1">  Example   Net  </A>
</DL>
)";

BookmarkItem Link(const char* title, const char* url, const char* description = "",
                  std::int64_t date = 0) {
  BookmarkItem item;
  item.title = QString::fromUtf8(title);
  item.url = QString::fromUtf8(url);
  item.description = QString::fromUtf8(description);
  item.addDate = date;
  return item;
}

BookmarkItem Folder(const char* title, std::vector<BookmarkItem> children, std::int64_t date = 0,
                    const char* description = "") {
  BookmarkItem item;
  item.kind = Kind::Folder;
  item.title = QString::fromUtf8(title);
  item.children = std::move(children);
  item.addDate = date;
  item.description = QString::fromUtf8(description);
  return item;
}

QString FirstTitle(const QByteArray& titleHtml) {
  const QByteArray file =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><A HREF=\"x\">" + titleHtml + "</A></DL>";
  const BookmarkTree tree = qm::host::ParseBookmarks(file);
  return tree.items.empty() ? QStringLiteral("<none>") : tree.items[0].title;
}

void ExpectNotABookmarkFile(const QByteArray& bytes) {
  try {
    qm::host::ParseBookmarks(bytes);
    ADD_FAILURE() << "accepted: " << bytes.left(60).toStdString();
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::host::errc::kNotABookmarkFile);
    EXPECT_EQ(error.source(), QString::fromLatin1(qm::host::kBookmarksSource));
    EXPECT_FALSE(error.description().isEmpty());
  }
}

TEST(Bookmarks, ReadsABrowserExportIntoTheSameTree) {
  qm::host::BookmarkParseNotes notes;
  const BookmarkTree tree = qm::host::ParseBookmarks(kBrowserExport, &notes);

  BookmarkTree expected;
  expected.title = QString::fromUtf8("Lesezeichen-Menü");
  expected.items = {
      Folder("Symbolleiste",
             {Link("Nachrichten – Example News", "https://www.example.com/news?id=1&lang=de",
                   "Täglich lesen & archivieren", 1700000100),
              Folder("Küche",
                     {Link("Apfelstrudel | Beispiel Zeitung",
                           "http://rezepte.example.org/apfel-strudel", "", 1700000300)},
                     1700000200, "Rezepte sammlung"),
              Folder("Leer", {})},
             1700000000),
      Link("Example Net", "https://example.net/", "", 1700000400)};
  EXPECT_EQ(tree, expected);
  EXPECT_EQ(notes.flattenedFolders, 0);
  EXPECT_EQ(notes.strayDescriptions, 0);

  const auto counts = qm::host::CountBookmarks(tree);
  EXPECT_EQ(counts.folders, 3);
  EXPECT_EQ(counts.links, 3);
  EXPECT_EQ(counts.depth, 2);
}

TEST(Bookmarks, DecodesCharacterReferences) {
  struct Case {
    QByteArray html;
    QString expected;
  };
  const Case cases[] = {
      {"Tom &amp; Jerry", "Tom & Jerry"},
      {"&lt;b&gt; &quot;x&quot; &apos;y&apos;", "<b> \"x\" 'y'"},
      {"&#228;&#xE4;&#XC4;&auml;&Auml;&szlig;", "ääÄäÄß"},
      {"&euro;&hellip;&bdquo;&ldquo;&nbsp;", "€…„“\u00A0"},
      {"&#150;&#128;", "–€"},  // the C1 range is read as Windows-1252
      {"&#0;|&#xD800;|&#x110000;|&#99999999999999999999;", "\uFFFD|\uFFFD|\uFFFD|\uFFFD"},
      {"&#x1F600;", "\U0001F600"},
      {"&nosuchname; &; & &#; &#x; &amp", "&nosuchname; &; & &#; &#x; &"},
      {"&auml no semicolon", "&auml no semicolon"},
      {"  a \n\t b  ", "a b"},
      {"&#32;a&#32;&#32;b&#10;c&#9;", " a  b\nc\t"},
      {"line<BR>break", "line\nbreak"},
      {"<b>bold</b> <span>words</span>", "bold words"},
      {"x &lt y", "x < y"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstTitle(c.html), c.expected) << c.html.toStdString();
  }
}

TEST(Bookmarks, DecodesReferencesInAddressesButNotLookalikes) {
  const BookmarkTree tree = qm::host::ParseBookmarks(
      "<DL><DT><A HREF=\"https://a.example/?x=1&amp;y=2&copy=3&#38;z\">a</A>"
      "<DT><A HREF='single &quot;quoted&quot;'>b</A>"
      "<DT><A HREF=unquoted/path?q=1 ADD_DATE=42>c</A>"
      "<DT><A>no address</A></DL>");
  ASSERT_EQ(tree.items.size(), 4u);
  EXPECT_EQ(tree.items[0].url, QString("https://a.example/?x=1&y=2&copy=3&z"));
  EXPECT_EQ(tree.items[1].url, QString("single \"quoted\""));
  EXPECT_EQ(tree.items[2].url, QString("unquoted/path?q=1"));
  EXPECT_EQ(tree.items[2].addDate, 42);
  EXPECT_TRUE(tree.items[3].url.isEmpty());
}

TEST(Bookmarks, HonoursTheDeclaredOrDetectedCharacterSet) {
  struct Case {
    const char* name;
    QByteArray bytes;
    QString title;
  };
  const QByteArray body = "<DL><DT><A HREF=\"x\">";
  const Case cases[] = {
      {"utf-8 declared", "<META CONTENT=\"text/html; charset=UTF-8\">" + body + "M\xC3\xBCnchen",
       "München"},
      {"latin-1 declared", "<META CONTENT=\"text/html; charset=ISO-8859-1\">" + body + "M\xFCnchen",
       "München"},
      {"windows-1252 declared", "<meta charset='windows-1252'>" + body + "\x80 5", "€ 5"},
      {"utf-8 detected", body + "K\xC3\xB6ln", "Köln"},
      {"latin bytes detected", body + "K\xF6ln \x93quoted\x94", "Köln “quoted”"},
      {"utf-8 bom", "\xEF\xBB\xBF" + body + "\xC3\xA4", "ä"},
      {"invalid utf-8 declared",
       "<meta charset=utf-8>" + body +
           "a\xFF"
           "b",
       "a\u00FF"
       "b"},
  };
  for (const auto& c : cases) {
    const BookmarkTree tree = qm::host::ParseBookmarks(c.bytes);
    ASSERT_EQ(tree.items.size(), 1u) << c.name;
    EXPECT_EQ(tree.items[0].title, c.title) << c.name;
  }

  const QString utf16Text = QString::fromUtf8(body + "Grüße");
  QByteArray utf16 = "\xFF\xFE";
  for (const QChar ch : utf16Text) {
    utf16.append(static_cast<char>(ch.unicode() & 0xFF));
    utf16.append(static_cast<char>(ch.unicode() >> 8));
  }
  const BookmarkTree tree = qm::host::ParseBookmarks(utf16);
  ASSERT_EQ(tree.items.size(), 1u);
  EXPECT_EQ(tree.items[0].title, QString::fromUtf8("Grüße"));
}

TEST(Bookmarks, RefusesWhatIsNoBookmarkFile) {
  QByteArray binary;
  std::mt19937 random(7);
  for (int i = 0; i < 4096; ++i) binary.append(static_cast<char>(random() & 0xFF));
  const QByteArray cases[] = {
      "",
      binary,
      "just some text\nwith lines",
      "{\"roots\": {\"bookmark_bar\": []}}",
      "<html><body><a href=\"https://example.com/\">a link</a></body></html>",
      QByteArray(1000, '\0'),
  };
  for (const auto& bytes : cases) ExpectNotABookmarkFile(bytes);
}

TEST(Bookmarks, ToleratesUnbalancedAndUnclosedTags) {
  const BookmarkTree tree = qm::host::ParseBookmarks(
      "</DL></DL><DL><p><DT><H3>Outer<DL><DT><A HREF=\"a\">first<DT><A HREF=\"b\">second</A>"
      "<DD>about b</DL></DL></DL></DL><DT><A HREF=\"c\">third");
  BookmarkTree expected;
  expected.items = {Folder("Outer", {Link("first", "a"), Link("second", "b", "about b")}),
                    Link("third", "c")};
  EXPECT_EQ(tree, expected);
}

TEST(Bookmarks, KeepsADescriptionThatFollowsAFolderList) {
  qm::host::BookmarkParseNotes notes;
  const BookmarkTree tree = qm::host::ParseBookmarks(
      "<DL><DD>nobody's<DT><H3>F</H3><DL><DT><A HREF=\"u\">t</A></DL><DD>late words</DL>", &notes);
  ASSERT_EQ(tree.items.size(), 1u);
  EXPECT_EQ(tree.items[0].description, QString("late words"));
  EXPECT_EQ(notes.strayDescriptions, 1);
}

TEST(Bookmarks, EveryTruncationOfAnExportIsReadWithoutLoss) {
  const QByteArray full(kBrowserExport);
  const auto total = qm::host::CountBookmarks(qm::host::ParseBookmarks(full));
  std::int64_t previousLinks = 0;
  const qsizetype afterDoctype = full.indexOf('>') + 1;
  for (qsizetype length = afterDoctype; length <= full.size(); ++length) {
    const BookmarkTree tree = qm::host::ParseBookmarks(full.left(length));
    const auto counts = qm::host::CountBookmarks(tree);
    EXPECT_GE(counts.links, previousLinks) << "length " << length;
    EXPECT_LE(counts.links, total.links) << "length " << length;
    previousLinks = counts.links;
  }
  EXPECT_EQ(previousLinks, total.links);
}

TEST(Bookmarks, CapsFolderDepthAndKeepsTheBookmarksOfDeeperFolders) {
  constexpr int kLevels = 20000;
  QByteArray bytes = "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>";
  for (int i = 0; i < kLevels; ++i) bytes += "<DT><H3>level</H3><DL><p>";
  bytes += "<DT><A HREF=\"deep\">deep link</A>";  // no list is ever closed
  qm::host::BookmarkParseNotes notes;
  const BookmarkTree tree = qm::host::ParseBookmarks(bytes, &notes);
  const auto counts = qm::host::CountBookmarks(tree);
  EXPECT_EQ(counts.depth, qm::host::kMaxFolderDepth);
  EXPECT_EQ(counts.folders, qm::host::kMaxFolderDepth);
  EXPECT_EQ(counts.links, 1);
  EXPECT_EQ(notes.flattenedFolders, kLevels - qm::host::kMaxFolderDepth);

  QByteArray lists = "<!DOCTYPE NETSCAPE-Bookmark-file-1>";
  for (int i = 0; i < 200000; ++i) lists += "<DL>";
  lists += "<DT><A HREF=\"x\">x</A>";
  EXPECT_EQ(qm::host::CountBookmarks(qm::host::ParseBookmarks(lists)).links, 1);
}

// A tree as deep as a collection's folders may be (their depth has no
// bound) is copied, compared and freed without running out of stack; run
// under the sanitizers too, whose frames are the largest.
TEST(Bookmarks, ATreeAHundredThousandLevelsDeepIsCopiedComparedAndFreed) {
  constexpr int kLevels = 100000;
  BookmarkTree tree;
  tree.items.push_back(Folder("level", {}));
  BookmarkItem* level = &tree.items.back();  // each list holds one item: it stays put
  for (int i = 1; i < kLevels; ++i) {
    level->children.push_back(Folder("level", {}));
    level = &level->children.back();
  }
  level->children.push_back(Link("deep", "u"));
  const auto deepest = [](BookmarkTree& of) {
    BookmarkItem* item = &of.items.back();
    while (!item->children.empty()) item = &item->children.back();
    return item;
  };

  BookmarkTree copy = tree;
  EXPECT_EQ(qm::host::CountBookmarks(copy).depth, kLevels);
  EXPECT_TRUE(copy == tree);  // not EXPECT_EQ: a failure would print the whole tree
  deepest(copy)->url = QStringLiteral("changed");
  EXPECT_FALSE(copy == tree);
  copy = tree;
  EXPECT_TRUE(copy == tree);
}

TEST(Bookmarks, ReadsPathologicalInputInLinearTime) {
  const QByteArray patterns[] = {"<A HREF=\"", "<", "<!-- ", "<DL x='", "&#", "<!", "&amp"};
  for (const auto& pattern : patterns) {
    QByteArray bytes = "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL>";
    while (bytes.size() < 1024 * 1024) bytes += pattern;
    QElapsedTimer timer;
    timer.start();
    qm::host::ParseBookmarks(bytes);
    // Quadratic behaviour on 1 MiB would take hours; linear takes well under this.
    EXPECT_LT(timer.elapsed(), 20000) << pattern.toStdString();
  }
}

TEST(Bookmarks, WritesWhatItReadsBack) {
  BookmarkTree tree;
  tree.title = QString::fromUtf8("Meine <Lesezeichen> & mehr");
  BookmarkItem symbolFolder = Folder("Symbol", {Link("in", "u")}, 5, "folder\ndescription");
  symbolFolder.symbol = 17;
  tree.items = {
      Link(" leading and trailing ", "https://example.com/a?b=1&c=\"2\"", "  two  blanks  "),
      Link("tab\there, line\nthere\r\n", "", "<DD>not a tag</DD>", -5),
      Link("", "https://example.org/empty-title"),
      Folder("Ä/Ö/Ü – ß & \"quotes\" 'apostrophes'",
             {Folder("", {}), Link("😀 emoji", "http://xn--bcher-kva.example/", "ok"),
              Folder("deeper", {Folder("deepest", {Link("end", "file:///tmp/x y")})})},
             1700000000, " "),
      symbolFolder,
      Link("control \x01\x1f\x7f chars", "u\x02"),
  };
  const QByteArray written = qm::host::WriteBookmarks(tree);
  EXPECT_TRUE(written.startsWith("<!DOCTYPE NETSCAPE-Bookmark-file-1>"));
  EXPECT_EQ(qm::host::ParseBookmarks(written), tree) << written.toStdString();
}

TEST(Bookmarks, FilesAreReadAndReplacedSafely) {
  QTemporaryDir dir;
  const QString path = dir.filePath("bookmarks.html");
  BookmarkTree tree;
  tree.items = {Folder("F", {Link("t", "u", "d")})};
  qm::host::WriteBookmarkFile(path, tree);
  EXPECT_EQ(qm::host::ReadBookmarkFile(path), tree);
  QByteArray sink;
  QBuffer readOnly(&sink);
  readOnly.open(QIODevice::ReadOnly);
  EXPECT_FALSE(qm::host::WriteBookmarks(tree, readOnly));  // a failed write is reported

  EXPECT_QM_ERROR(qm::host::ReadBookmarkFile(dir.filePath("missing.html")),
                  qm::host::errc::kBookmarkFile, qm::host::kBookmarksSource,
                  "The bookmark file \"" + dir.filePath("missing.html") + "\" does not exist.");
  EXPECT_QM_ERROR(qm::host::ReadBookmarkFile(dir.path()), qm::host::errc::kBookmarkFile,
                  qm::host::kBookmarksSource, "\"" + dir.path() + "\" is not a file.");
  try {
    qm::host::WriteBookmarkFile(dir.filePath("no/such/folder/out.html"), tree);
    ADD_FAILURE() << "wrote into a missing folder";
  } catch (const qm::Error& error) {
    EXPECT_EQ(error.number(), qm::host::errc::kBookmarkFile);
  }
}

// A large file is read in pieces (so that its bytes and its text are never
// in memory whole at once); read so, it is what its bytes are.
TEST(Bookmarks, ALargeFileReadsAsItsBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("large.html");
  QByteArray bytes = "<DL><p>\n";
  for (int i = 0; bytes.size() < (1 << 20) + 4096; ++i) {
    // Three- and four-byte sequences, and a Latin byte now and then, so that
    // the pieces cut sequences and the fallback is taken.
    bytes += "<DT><A HREF=\"https://example.com/" + QByteArray::number(i) +
             "\">K\xC3\xB6ln \xE2\x82\xAC" + (i % 97 == 0 ? "\xFC" : "") + " \xF0\x9F\x98\x80" +
             QByteArray::number(i) + "</A>\n";
  }
  bytes += "</DL>\n";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  qm::host::BookmarkParseNotes fromFile;
  qm::host::BookmarkParseNotes fromBytes;
  EXPECT_EQ(qm::host::ReadBookmarkFile(path, &fromFile),
            qm::host::ParseBookmarks(bytes, &fromBytes));
  EXPECT_EQ(fromFile.charset.name, QStringLiteral("UTF-8"));
  EXPECT_GT(fromFile.charset.windows1252Bytes, 0);
  EXPECT_EQ(fromFile.charset.windows1252Bytes, fromBytes.charset.windows1252Bytes);
}

// Texts made of the characters that trouble readers and writers most.
QString RandomText(std::mt19937& random, int maxLength) {
  static const char* const kPieces[] = {" ",    "  ",   "\t",   "\n",   "\r\n",   "&",  "&amp;",
                                        "<",    ">",    "\"",   "'",    ";",      "#",  "&#",
                                        "a",    "Z",    "ä",    "ß",    "€",      "😀",  "\x01",
                                        "\x7f", "<DL>", "</A>", "<!--", "\u00a0", "x y"};
  std::uniform_int_distribution<int> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  QString text;
  for (int n = length(random); n > 0; --n) text += QString::fromUtf8(kPieces[piece(random)]);
  return text;
}

BookmarkItem RandomItem(std::mt19937& random, int depth) {
  BookmarkItem item;
  const bool folder = depth < 6 && random() % 3 == 0;
  item.kind = folder ? Kind::Folder : Kind::Link;
  item.title = RandomText(random, 6);
  item.description = random() % 2 ? RandomText(random, 4) : QString();
  item.addDate = random() % 2 ? static_cast<std::int64_t>(random()) - 1000 : 0;
  if (folder) {
    item.symbol = static_cast<std::int32_t>(random() % 23);
    for (int n = static_cast<int>(random() % 5); n > 0; --n) {
      item.children.push_back(RandomItem(random, depth + 1));
    }
  } else {
    item.url = RandomText(random, 5);
  }
  return item;
}

TEST(BookmarksRandomized, AnyTreeSurvivesAWriteAndARead) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 400; ++round) {
    BookmarkTree tree;
    tree.title = QStringLiteral("T") + RandomText(random, 3);
    for (int n = static_cast<int>(random() % 6); n > 0; --n) {
      tree.items.push_back(RandomItem(random, 1));
    }
    ASSERT_EQ(qm::host::ParseBookmarks(qm::host::WriteBookmarks(tree)), tree) << "round " << round;
  }
}

// Mangled exports: whatever comes out is a sound tree that itself writes and
// reads back unchanged. Run under the sanitizers, this is also the memory
// check of the reader.
TEST(BookmarksRandomized, MutatedFilesAreReadSafely) {
  static const char* const kTokens[] = {"<DL>",
                                        "</DL>",
                                        "<DT>",
                                        "<H3>",
                                        "</H3>",
                                        "<A HREF=\"",
                                        "\"",
                                        "'",
                                        ">",
                                        "<",
                                        "&",
                                        "&#",
                                        "&#x",
                                        ";",
                                        "<!--",
                                        "-->",
                                        "<DD>",
                                        "\xC3",
                                        "\xFF\xFE",
                                        "<BR>",
                                        "<meta charset=latin1>",
                                        "&#xD800;",
                                        "<!DOCTYPE NETSCAPE-Bookmark-file-1>",
                                        "<H1>",
                                        "<A",
                                        "=",
                                        "<DL><p><DT><H3>x"};
  std::mt19937 random(1234567);
  BookmarkTree sample;
  for (int n = 0; n < 5; ++n) sample.items.push_back(RandomItem(random, 1));
  const QByteArray bases[] = {kBrowserExport, qm::host::WriteBookmarks(sample)};
  int parsed = 0;
  for (int round = 0; round < 4000; ++round) {
    QByteArray bytes = bases[random() % std::size(bases)];
    for (int n = 1 + static_cast<int>(random() % 8); n > 0 && !bytes.isEmpty(); --n) {
      const auto at = static_cast<qsizetype>(random() % static_cast<std::uint32_t>(bytes.size()));
      const auto span = static_cast<qsizetype>(random() % 40);
      switch (random() % 5) {
        case 0:
          bytes[at] = static_cast<char>(random());
          break;
        case 1:
          bytes.insert(at, kTokens[random() % std::size(kTokens)]);
          break;
        case 2:
          bytes.remove(at, span);
          break;
        case 3:
          bytes.insert(at, bytes.mid(at, span));
          break;
        default:
          bytes.truncate(at);
          break;
      }
    }
    try {
      const BookmarkTree tree = qm::host::ParseBookmarks(bytes);
      ++parsed;
      EXPECT_LE(qm::host::CountBookmarks(tree).depth, qm::host::kMaxFolderDepth);
      ASSERT_EQ(qm::host::ParseBookmarks(qm::host::WriteBookmarks(tree)), tree)
          << "round " << round << ": " << bytes.toStdString();
    } catch (const qm::Error& error) {
      ASSERT_TRUE(error.number() == qm::host::errc::kNotABookmarkFile ||
                  error.number() == qm::host::errc::kUnknownCharset)
          << "round " << round << ": " << error.what();
    }
  }
  EXPECT_GT(parsed, 2000);  // the mutations leave most files readable
}

}  // namespace
