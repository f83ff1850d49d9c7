#include "host/tool/qmhost_cli.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "bookmark_print.h"
#include "common/test_environment.h"
#include "host/admin/bookmarks.h"
#include "host/admin/host_admin.h"
#include "platform/registry_store.h"

namespace {

namespace admin = qm::hostadmin;
namespace reg = qm::platform::reg;

struct Result {
  int status = -1;
  QString out;
  QString err;
};

Result Qm(const QStringList& args) {
  Result result;
  QTextStream out(&result.out);
  QTextStream err(&result.err);
  result.status = qm::qmhost::RunQmhost(args, out, err);
  return result;
}

QStringList Lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each test gets its own registry and install folder.
class Qmhost : public ::testing::Test {
 protected:
  QString Dir(const QString& name) const { return temp_.filePath(name); }

  // Installs the English host and returns the default collection's ID.
  std::int32_t Install() {
    const Result r = Qm({"install", "--edition", "en", "--install-dir", Dir("host")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return admin::ListCollections().front().id;
  }

  std::int32_t Create(const QString& name) {
    const Result r = Qm({"collection", "create", name});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return r.out.trimmed().toInt();
  }

  qm::testing::ScopedConfigHome home_;
  QTemporaryDir temp_;
};

TEST_F(Qmhost, InstallRegistersTheEditionItsFolderAndADefaultCollection) {
  const Result r = Qm({"install", "--edition", "de", "--install-dir", Dir("Quillmarke")});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const auto host = admin::FindHost();
  ASSERT_TRUE(host.has_value());
  EXPECT_EQ(host->edition, admin::HostEdition::German);
  EXPECT_EQ(host->appPath, Dir("Quillmarke") + "/");
  auto& registry = qm::platform::SystemRegistry();
  EXPECT_EQ(registry.OpenKey(reg::kLocalMachine, "SOFTWARE\\orbelon\\Quillmarke"), reg::kSuccess);
  EXPECT_EQ(registry.OpenKey(reg::kCurrentUser, "Software\\orbelon\\Quillmarke\\CurrentSettings"),
            reg::kSuccess);

  const QStringList list = Lines(Qm({"list"}).out);
  ASSERT_EQ(list.size(), 1);
  const QStringList fields = list[0].split(u'\t');
  ASSERT_EQ(fields.size(), 5);
  EXPECT_EQ(fields[0], "1");
  EXPECT_EQ(fields[1], "Standard");
  EXPECT_EQ(fields[2], "local");
  EXPECT_EQ(fields[3], "*");
  EXPECT_TRUE(QFile::exists(fields[4])) << fields[4].toStdString();
}

// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// the XDG data folder, which Windows does not have.
using QmhostPosix = Qmhost;

TEST_F(QmhostPosix, InstallFolderDefaultsToTheUsersDataFolderAndIsMadeAbsolute) {
  {
    qm::testing::ScopedEnv data("XDG_DATA_HOME", Dir("data"));
    ASSERT_EQ(Qm({"install", "--edition", "en"}).status, 0);
    EXPECT_EQ(admin::FindHost()->appPath, Dir("data") + "/Quillmark/");
  }
  {
    qm::testing::ScopedEnv data("XDG_DATA_HOME", QByteArray());
    qm::testing::ScopedEnv home("HOME", Dir("home"));
    ASSERT_EQ(Qm({"install", "--edition", "en"}).status, 0);
    EXPECT_EQ(admin::FindHost()->appPath, Dir("home") + "/.local/share/Quillmark/");
  }
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(temp_.path()));
  const Result r = Qm({"install", "--edition", "en", "--install-dir", "relative/host"});
  QDir::setCurrent(previous);
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_EQ(admin::FindHost()->appPath, Dir("relative/host") + "/");
}

TEST_F(Qmhost, CreatedCollectionsAreListedWithKindAndEscapedNames) {
  Install();
  const Result local = Qm({"collection", "create", "Küche\tund Keller"});
  ASSERT_EQ(local.status, 0) << local.err.toStdString();
  EXPECT_EQ(local.out, "2\n");
  const Result network = Qm({"collection", "create", "Server", "--network"});
  EXPECT_EQ(network.out, "3\n");

  const QStringList list = Lines(Qm({"list"}).out);
  ASSERT_EQ(list.size(), 3);
  EXPECT_TRUE(list[0].startsWith("1\tDefault\tlocal\t*\t"));
  EXPECT_TRUE(list[1].startsWith(QString::fromUtf8("2\tKüche\\tund Keller\tlocal\t-\t")));
  EXPECT_TRUE(list[2].startsWith("3\tServer\tnetwork\t-\t"));
}

// A title imported from a hostile file reaches the terminal with no control
// character of its own: C0, DEL and C1 (U+009B opens a control sequence
// just as ESC [ does) are all written out.
TEST_F(Qmhost, DocumentsAreOneLineEachWithEscapesAndNulls) {
  const std::int32_t id = Install();
  const std::int32_t folder = admin::AddFolder(id, 1, "F", 0);
  admin::AddDocuments(id, std::vector<admin::NewDocument>{
                              {400, "tab\there", "line\nbreak\r\n", "back\\slash"},
                              {folder, QString(), QStringLiteral(""), QString()},
                              {400,
                               QString::fromUtf8("\x1b]0;owned\x07\x1b[2J\x7f\xc2\x9b"
                                                 "31m\xc2\xa0ok"),
                               QStringLiteral("\x01"),
                               {}},
                          });
  const Result all = Qm({"documents", "--collection", QString::number(id)});
  ASSERT_EQ(all.status, 0) << all.err.toStdString();
  EXPECT_EQ(all.out, QStringLiteral("1\t400\ttab\\there\tline\\nbreak\\r\\n\tback\\\\slash\n"
                                    "2\t%1\t\\N\t\t\\N\n"
                                    "3\t400\t\\x1b]0;owned\\x07\\x1b[2J\\x7f\\x9b31m\u00a0ok"
                                    "\t\\x01\t\\N\n")
                         .arg(folder));
  const Result one =
      Qm({"documents", "--collection", QString::number(id), "--folder", QString::number(folder)});
  EXPECT_EQ(one.out, QStringLiteral("2\t%1\t\\N\t\t\\N\n").arg(folder));
}

// For trying the tool by hand: one document changed as the host's window
// changes it, or deleted, and not a word on success.
TEST_F(Qmhost, SetFieldAndDeleteDocumentChangeOneDocumentQuietly) {
  const QString id = QString::number(Install());
  admin::AddDocuments(id.toInt(), std::vector<admin::NewDocument>{{400, "t1", "c1", "u1"},
                                                                  {400, "t2", "c2", "u2"}});
  const QStringList one = {"--collection", id, "--entry", "1", "--field"};
  const QStringList steps[] = {
      QStringList{"set-field"} << one << "title"
                               << "--"
                               << "-neu",
      QStringList{"set-field"} << one << "comment"
                               << "--clear",
      QStringList{"set-field"} << one << "url"
                               << "",
      {"delete-document", "--collection", id, "--entry", "2"},
  };
  for (const QStringList& step : steps) {
    const Result r = Qm(step);
    EXPECT_EQ(r.status, 0) << step.join(u' ').toStdString() << "\n" << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty() && r.err.isEmpty()) << step.join(u' ').toStdString();
  }
  const auto documents = admin::ListDocuments(id.toInt());
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0].title, "-neu");
  EXPECT_TRUE(documents[0].comment.isNull());
  EXPECT_FALSE(documents[0].url.isNull());
  EXPECT_TRUE(documents[0].url.isEmpty());
}

TEST_F(Qmhost, GenerateFillsCollectionsReproduciblyWithEverySymbol) {
  Install();
  const std::int32_t a = Create("A");
  const std::int32_t b = Create("B");
  for (const std::int32_t id : {a, b}) {
    const Result r = Qm({"generate", "--collection", QString::number(id), "--documents", "3000",
                         "--folders", "30", "--seed", "99"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Added 30 folders and 3000 documents to collection %1 "
                                    "(seed 99).\n")
                         .arg(id));
  }
  const QString listA = Qm({"documents", "--collection", QString::number(a)}).out;
  EXPECT_EQ(listA, Qm({"documents", "--collection", QString::number(b)}).out);
  const QStringList lines = Lines(listA);
  EXPECT_EQ(lines.size(), 3000);
  EXPECT_TRUE(listA.contains("\\N"));
  EXPECT_TRUE(listA.contains(" - Example News"));
  for (const auto& line : lines) ASSERT_EQ(line.count(u'\t'), 4) << line.toStdString();

  std::set<std::int32_t> symbols;
  int sampleFolders = 0;
  for (const auto& f : admin::FolderTree(a)) {
    if (f.id > 1000) {
      ++sampleFolders;
      symbols.insert(f.iconIndex);
    }
  }
  EXPECT_EQ(sampleFolders, 30);
  EXPECT_EQ(symbols.size(), 23u);

  // Generating more adds to what is there.
  ASSERT_EQ(
      Qm({"generate", "--collection", QString::number(a), "--documents", "10", "--folders", "0"})
          .status,
      0);
  EXPECT_EQ(admin::ListDocuments(a).size(), 3010u);
}

const char kBookmarks[] = R"(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1700000000">Nachrichten</H3>
    <DD>folder notes
    <DL><p>
        <DT><A HREF="https://news.example.com/a?x=1&amp;y=2">Artikel &ndash; Example News</A>
        <DD>Zeile eins&#10;Zeile zwei
        <DT><H3>Tief</H3>
        <DL><p>
            <DT><A HREF="https://example.org/tief">Ganz unten</A>
        </DL><p>
    </DL><p>
    <DT><A HREF="https://example.net/">Oben</A>
</DL><p>
)";

TEST_F(Qmhost, ImportedBookmarksExportToAFileThatImportsTheSameAgain) {
  Install();
  const std::int32_t first = Create("Erste");
  WriteFile(Dir("in.html"), kBookmarks);
  const Result imported =
      Qm({"import-bookmarks", Dir("in.html"), "--collection", QString::number(first)});
  ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  EXPECT_EQ(imported.out, QStringLiteral("Read %1 as UTF-8 (declared).\n"
                                         "Imported 3 bookmarks in 2 folders into collection %2.\n")
                              .arg(Dir("in.html"))
                              .arg(first));
  EXPECT_TRUE(imported.err.contains("1 folder descriptions were not kept"));

  const auto documents = admin::ListDocuments(first);
  ASSERT_EQ(documents.size(), 3u);
  EXPECT_EQ(documents[0].title, QString::fromUtf8("Artikel – Example News"));
  EXPECT_EQ(documents[0].url, "https://news.example.com/a?x=1&y=2");
  EXPECT_EQ(documents[0].comment, "Zeile eins\nZeile zwei");
  EXPECT_EQ(documents[2].folderId, 400);  // the top of the file
  EXPECT_TRUE(documents[1].comment.isNull());

  ASSERT_EQ(
      Qm({"export-bookmarks", "--collection", QString::number(first), Dir("out1.html")}).status, 0);
  const std::int32_t second = Create("Zweite");
  ASSERT_EQ(
      Qm({"import-bookmarks", Dir("out1.html"), "--collection", QString::number(second)}).status,
      0);
  ASSERT_EQ(
      Qm({"export-bookmarks", "--collection", QString::number(second), Dir("out2.html")}).status,
      0);

  auto withoutHeading = [](QByteArray bytes) {
    return bytes.replace("Erste", "X").replace("Zweite", "X");
  };
  EXPECT_EQ(withoutHeading(ReadFile(Dir("out1.html"))), withoutHeading(ReadFile(Dir("out2.html"))));

  // Structure and texts survive; only what the host has no place for is gone.
  qm::host::BookmarkTree expected = qm::host::ParseBookmarks(kBookmarks);
  expected.title = "Erste";
  expected.items[0].addDate = 0;
  expected.items[0].description.clear();
  // In a folder, subfolders come before documents.
  std::rotate(expected.items[0].children.begin(), expected.items[0].children.begin() + 1,
              expected.items[0].children.end());
  EXPECT_EQ(qm::host::ReadBookmarkFile(Dir("out1.html")), expected);
}

// Folders nested 100,000 deep: a file of them imports (kept to the depth
// the reader keeps), and a collection of them exports to a file that
// imports the same way.
TEST_F(Qmhost, FoldersAHundredThousandDeepImportAndExport) {
  Install();
  constexpr int kLevels = 100000;
  const QString merged = QStringLiteral("%1 folders nested deeper than %2 levels were merged")
                             .arg(kLevels - qm::host::kMaxFolderDepth)
                             .arg(qm::host::kMaxFolderDepth);
  QByteArray bytes = "<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p>";
  for (int i = 0; i < kLevels; ++i) bytes += "<DT><H3>f</H3><DL><p>";
  WriteFile(Dir("deep.html"), bytes + "<DT><A HREF=\"https://deep.example/\">deep</A>");
  const Result imported =
      Qm({"import-bookmarks", Dir("deep.html"), "--collection", QString::number(Create("In"))});
  EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
  EXPECT_TRUE(imported.err.contains(merged)) << imported.err.toStdString();

  const std::int32_t deep = Create("Deep");
  {
    admin::CollectionWriter writer(deep);
    std::int32_t parent = 1;
    for (int i = 0; i < kLevels; ++i) parent = writer.AddFolder(parent, QStringLiteral("f"), 0);
    writer.AddDocument(
        {parent, QStringLiteral("deep"), {}, QStringLiteral("https://deep.example/")});
    writer.Commit();
  }
  const Result exported =
      Qm({"export-bookmarks", "--collection", QString::number(deep), Dir("out.html")});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_EQ(exported.out, QStringLiteral("Exported 1 bookmarks in %1 folders to %2.\n")
                              .arg(kLevels)
                              .arg(Dir("out.html")));
  const Result again =
      Qm({"import-bookmarks", Dir("out.html"), "--collection", QString::number(Create("Again"))});
  EXPECT_EQ(again.status, 0) << again.err.toStdString();
  EXPECT_TRUE(again.err.contains(merged)) << again.err.toStdString();
}

TEST_F(Qmhost, ImportReadsTheDeclaredCharacterSetAndSaysWhichItUsed) {
  Install();
  struct Case {
    const char* name;
    QByteArray head;
    QByteArray title;
    const char* expectedTitle;
    const char* line;  // after "Read FILE as "
  };
  const Case cases[] = {
      {"latin1.html",
       "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">",
       "M\xFCnchen \x80", "München €", "windows-1252 (declared as \"iso-8859-1\")."},
      {"mac.html", "<meta charset=\"x-mac-roman\">", "K\x9Aln", "Köln",
       "macintosh (declared as \"x-mac-roman\")."},
      {"latin9.html", "<meta charset=ISO-8859-15>", "\xA4", "€", "ISO-8859-15 (declared)."},
      {"bom.html", "\xEF\xBB\xBF", "\xC3\xA4", "ä", "UTF-8 (byte-order mark)."},
      {"plain.html", "", "K\xC3\xB6ln", "Köln", "UTF-8 (no character set declared)."},
      {"cp1252.html", "", "K\xF6ln", "Köln",
       "windows-1252 (no character set declared; the bytes are not UTF-8)."},
      {"mixed.html", "", "K\xC3\xB6ln M\xFCnchen", "Köln München",
       "UTF-8 (no character set declared), and its 1 byte that is not UTF-8 as windows-1252."},
  };
  for (const auto& c : cases) {
    const std::int32_t collection = Create(QString::fromLatin1(c.name));
    const QString file = Dir(QString::fromLatin1(c.name));
    WriteFile(file,
              c.head + "<DL><p><DT><A HREF=\"https://example.com/\">" + c.title + "</A></DL>");
    const Result r = Qm({"import-bookmarks", file, "--collection", QString::number(collection)});
    ASSERT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
    const QStringList lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    EXPECT_EQ(lines[0], "Read " + file + " as " + QString::fromUtf8(c.line));
    const auto documents = admin::ListDocuments(collection);
    ASSERT_EQ(documents.size(), 1u) << c.name;
    EXPECT_EQ(documents[0].title, QString::fromUtf8(c.expectedTitle)) << c.name;
  }
}

TEST_F(Qmhost, ImportRefusesACharacterSetItCannotReadAndStoresNothing) {
  Install();
  const std::int32_t collection = Create("Leer");
  WriteFile(Dir("sjis.html"),
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\n"
            "<DL><p><DT><H3>\x93\xfa\x96\x7b</H3><DL><p>"
            "<DT><A HREF=\"https://example.jp/\">\x83\x65\x83\x58\x83\x67</A></DL><p></DL>");
  const Result r =
      Qm({"import-bookmarks", Dir("sjis.html"), "--collection", QString::number(collection)});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
  EXPECT_TRUE(
      r.err.startsWith("qmhost import-bookmarks: The file declares the character set "
                       "\"shift_jis\""))
      << r.err.toStdString();
  EXPECT_TRUE(admin::ListDocuments(collection).empty());
  EXPECT_EQ(admin::FolderTree(collection).size(), admin::FolderTree(Create("Vergleich")).size());
}

TEST_F(Qmhost, GeneratedCollectionsSurviveAnExportAndImport) {
  Install();
  const std::int32_t source = Create("Quelle");
  ASSERT_EQ(Qm({"generate", "--collection", QString::number(source), "--documents", "2000",
                "--folders", "40", "--seed", "5"})
                .status,
            0);
  // Documents in the host's own folders and in the root must not be lost.
  std::set<std::int32_t> hostFolders;
  for (const auto& d : admin::ListDocuments(source)) {
    if (d.folderId <= 1000) hostFolders.insert(d.folderId);
  }
  EXPECT_TRUE(hostFolders.count(1) && hostFolders.count(400) && hostFolders.count(500));

  const std::int32_t copy = Create("Quelle");
  ASSERT_EQ(Qm({"export-bookmarks", "--collection", QString::number(source), Dir("a.html")}).status,
            0);
  ASSERT_EQ(Qm({"import-bookmarks", Dir("a.html"), "--collection", QString::number(copy)}).status,
            0);
  ASSERT_EQ(Qm({"export-bookmarks", "--collection", QString::number(copy), Dir("b.html")}).status,
            0);
  EXPECT_EQ(ReadFile(Dir("a.html")), ReadFile(Dir("b.html")));
  EXPECT_EQ(admin::ListDocuments(copy).size(), 2000u);
}

TEST_F(Qmhost, WrongCommandLinesFailWithAMessage) {
  Install();
  WriteFile(Dir("not-bookmarks.txt"), "plain text, no list at all");
  struct Case {
    QStringList args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{}, 2, "Usage: qmhost"},
      {{"frob"}, 2, "unknown command \"frob\""},
      {{"collection"}, 2, "unknown command \"collection\""},
      {{"help", "frob"}, 2, "no command \"frob\""},
      {{"install"}, 2, "--edition is required"},
      {{"install", "--edition", "fr"}, 2, "neither en nor de"},
      {{"install", "--edition", "en", "--install-dir", ""}, 2, "folder name is empty"},
      {{"collection", "create"}, 2, "NAME is missing"},
      {{"collection", "create", "a", "b"}, 2, "unexpected argument \"b\""},
      {{"collection", "create", " "}, 2, "name is empty"},
      {{"list", "extra"}, 2, "unexpected argument"},
      {{"generate", "--collection", "1"}, 2, "--documents is required"},
      {{"generate", "--documents", "1"}, 2, "--collection is required"},
      {{"generate", "--collection", "1", "--documents", "-5"}, 2, "-5 is negative"},
      {{"generate", "--collection", "1", "--documents", "12x"}, 2, "not a whole number"},
      {{"generate", "--collection", "1", "--documents", " 1"}, 2, "not a whole number"},
      {{"generate", "--collection", "1", "--documents", "99999999999999999999"}, 2, "too large"},
      {{"generate", "--collection", "1", "--documents", "1", "--folders", "-1"}, 2, "negative"},
      {{"generate", "--collection", "1", "--documents", "1", "--seed", "-1"}, 2, "negative"},
      {{"generate", "--collection", "1", "--documents"}, 2, "--documents needs a value"},
      {{"generate", "--collection", "1", "--documents", "1", "--bogus"},
       2,
       "unknown option --bogus"},
      {{"generate", "--collection", "1", "--documents=1", "--documents", "2"}, 2, "more than once"},
      {{"generate", "--collection", "0", "--documents", "1"}, 2, "too small"},
      {{"generate", "--collection", "abc", "--documents", "1"}, 2, "not a whole number"},
      {{"generate", "--collection", "77", "--documents", "1"}, 1, "no collection with the ID 77"},
      {{"list", "--network"}, 2, "unknown option --network"},
      {{"collection", "create", "x", "--network=yes"}, 2, "takes no value"},
      {{"documents", "--collection", "1", "--folder", "0"}, 2, "too small"},
      {{"documents", "--collection", "1", "--folder", "4242"}, 1, "no folder with the ID 4242"},
      {{"import-bookmarks", "--collection", "1"}, 2, "FILE is missing"},
      {{"import-bookmarks", Dir("missing.html"), "--collection", "1"}, 1, "does not exist"},
      {{"import-bookmarks", Dir("not-bookmarks.txt"), "--collection", "1"},
       1,
       "not a bookmark file"},
      {{"import-bookmarks", Dir("."), "--collection", "1"}, 1, "is not a file"},
      {{"export-bookmarks", "--collection", "1", Dir("no/such/folder/x.html")}, 1, "Cannot write"},
      {{"set-field", "--collection", "1", "--entry", "1", "--field", "title"},
       2,
       "VALUE is missing (or --clear)"},
      {{"set-field", "--collection", "1", "--entry", "1", "--field", "title", "x", "--clear"},
       2,
       "not both"},
      {{"set-field", "--collection", "1", "--entry", "1", "--field", "title", "x", "y"},
       2,
       "unexpected argument \"y\""},
      {{"set-field", "--collection", "1", "--entry", "1", "--field", "name", "x"},
       2,
       "\"name\" is none of title, comment, url"},
      {{"set-field", "--collection", "1", "--entry", "0", "--field", "url", "x"}, 2, "too small"},
      {{"set-field", "--collection", "1", "--entry", "5", "--field", "url", "x"},
       1,
       "no document with the EntryID 5"},
      {{"delete-document", "--collection", "1"}, 2, "--entry is required"},
      {{"delete-document", "--collection", "1", "--entry", "5"},
       1,
       "no document with the EntryID 5"},
  };
  for (const auto& c : cases) {
    const Result r = Qm(c.args);
    const std::string what = c.args.join(u' ').toStdString();
    EXPECT_EQ(r.status, c.status) << what << "\n" << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << what << "\n"
                                                              << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << what;
  }
  // Nothing of the failures reached the host.
  EXPECT_EQ(admin::ListCollections().size(), 1u);
  EXPECT_TRUE(admin::ListDocuments(1).empty());
}

TEST_F(Qmhost, WithoutAHostCommandsFailAndSaySo) {
  const Result r = Qm({"list"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.isEmpty());
  EXPECT_EQ(Qm({"collection", "create", "x"}).status, 1);
}

TEST_F(Qmhost, EveryCommandHasHelp) {
  const Result overview = Qm({"--help"});
  ASSERT_EQ(overview.status, 0);
  const QStringList commands = {"install",          "collection create", "list",
                                "documents",        "generate",          "import-bookmarks",
                                "export-bookmarks", "set-field",         "delete-document"};
  for (const auto& command : commands) {
    EXPECT_TRUE(overview.out.contains("  " + command + " ")) << command.toStdString();
    for (const QStringList& args :
         {command.split(u' ') << "--help", QStringList{"help"} << command.split(u' ')}) {
      const Result r = Qm(args);
      EXPECT_EQ(r.status, 0) << command.toStdString();
      EXPECT_TRUE(r.out.startsWith("Usage: qmhost " + command)) << r.out.toStdString();
      EXPECT_TRUE(r.err.isEmpty());
    }
  }
  EXPECT_TRUE(Qm({"documents", "--help"}).out.contains("\\N"));  // the escapes are documented
}

// "--field title|comment|url" is wider than the help column, and its help
// once ran straight on from it: "--field title|comment|urlthe field to change".
TEST_F(Qmhost, EveryOptionsHelpStandsInOneColumnApartFromTheOption) {
  const QRegularExpression row(QStringLiteral("^  --[a-z-]+(?: \\S+)? {2,}\\S"));
  int commands = 0;
  for (const QString& line : Lines(Qm({"--help"}).out)) {
    if (!line.startsWith("  ")) continue;
    const QString command = line.mid(2).split(QStringLiteral("  ")).front();
    ++commands;
    qsizetype column = -1;
    for (const QString& option : Lines(Qm(QStringList{"help"} << command.split(u' ')).out)) {
      if (!option.startsWith("  --")) continue;
      const QRegularExpressionMatch match = row.match(option);
      ASSERT_TRUE(match.hasMatch()) << command.toStdString() << ": " << option.toStdString();
      if (column < 0) column = match.capturedEnd() - 1;
      EXPECT_EQ(match.capturedEnd() - 1, column)
          << command.toStdString() << ": " << option.toStdString();
    }
  }
  EXPECT_GE(commands, 9);
}

}  // namespace
