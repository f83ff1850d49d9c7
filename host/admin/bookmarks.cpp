#include "host/admin/bookmarks.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <utility>

#include "host/admin/bookmarks_html.h"

namespace qm::host {

namespace {

[[noreturn]] void Fail(std::int32_t number, const QString& description) {
  throw Error(number, QString::fromLatin1(kBookmarksSource), description);
}

// A file is read into text this much at a time.
constexpr qint64 kReadPieceBytes = qint64{1} << 20;

// List levels kept on the stack; deeper lists (even without folders) are only
// counted, so a file of nothing but "<DL>" costs no memory.
constexpr std::size_t kMaxLevels = 2 * kMaxFolderDepth + 2;

std::int64_t ParseDate(const QString& text) {
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  return ok ? value : 0;
}

std::int32_t ParseSymbol(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok && value >= 0 && value <= 22 ? value : 0;
}

// Builds the tree from the lexer's tokens. Items are addressed by list and
// index, never by pointer, because adding to a list moves its items; a
// level's list pointer stays valid because items are only ever added to the
// innermost open list.
class TreeBuilder {
 public:
  TreeBuilder(BookmarkTree& tree, BookmarkParseNotes& notes) : tree_(tree), notes_(notes) {
    levels_.push_back({&tree.items, false, 0});
  }

  void OnText(QStringView raw) {
    if (capture_ != Capture::None) text_.AppendRaw(raw);
  }

  void OnTag(const html::Tag& tag) {
    if (!tag.closing && tag.name == u"BR") {
      if (capture_ != Capture::None) text_.AppendLiteral(QChar(u'\n'));
      return;
    }
    if (!IsStructural(tag.name)) return;
    FinishCapture();
    if (tag.closing) {
      if (tag.name == u"DL") CloseList();
      return;
    }
    if (tag.name == u"DL") {
      OpenList();
    } else if (tag.name == u"DT") {
      pendingFolder_ = {};
    } else if (tag.name == u"H3") {
      StartFolder(tag);
    } else if (tag.name == u"A") {
      StartLink(tag);
    } else if (tag.name == u"DD") {
      capture_ = Capture::Description;
      target_ = last_;
    } else if (tag.name == u"H1") {
      capture_ = Capture::Heading;
    } else if (tag.name == u"TITLE") {
      capture_ = Capture::PageTitle;
    }
  }

  void Finish() {
    FinishCapture();
    if (!heading_.isEmpty()) {
      tree_.title = heading_;
    } else if (!pageTitle_.isEmpty()) {
      tree_.title = pageTitle_;
    }
  }

  bool sawList() const { return sawList_; }

 private:
  enum class Capture { None, Heading, PageTitle, FolderTitle, LinkTitle, Description };

  struct ItemRef {
    std::vector<BookmarkItem>* list = nullptr;
    std::size_t index = 0;
    BookmarkItem* get() const { return list ? &(*list)[index] : nullptr; }
  };

  struct Level {
    std::vector<BookmarkItem>* list;
    bool isFolder;
    std::size_t indexInParent;
  };

  static bool IsStructural(const QString& name) {
    static const char16_t* const kNames[] = {u"DL", u"DT", u"DD",    u"H3",
                                             u"A",  u"H1", u"TITLE", u"HR"};
    for (const char16_t* n : kNames) {
      if (name == QStringView(n)) return true;
    }
    return false;
  }

  std::vector<BookmarkItem>& Top() { return *levels_.back().list; }

  ItemRef Append(BookmarkItem item) {
    Top().push_back(std::move(item));
    return {&Top(), Top().size() - 1};
  }

  void OpenList() {
    sawList_ = true;
    if (levels_.size() >= kMaxLevels) {
      ++excessLevels_;
    } else if (BookmarkItem* folder = pendingFolder_.get()) {
      levels_.push_back({&folder->children, true, pendingFolder_.index});
      ++folderDepth_;
    } else {
      levels_.push_back({&Top(), false, 0});  // a list without a heading
    }
    pendingFolder_ = {};
    last_ = {};
  }

  void CloseList() {
    pendingFolder_ = {};
    last_ = {};
    if (excessLevels_ > 0) {
      --excessLevels_;
      return;
    }
    if (levels_.size() <= 1) return;  // more closings than openings
    const Level closed = levels_.back();
    levels_.pop_back();
    if (closed.isFolder) {
      --folderDepth_;
      // A description after the list still belongs to its folder.
      last_ = {&Top(), closed.indexInParent};
    }
  }

  void StartFolder(const html::Tag& tag) {
    pendingFolder_ = {};
    last_ = {};
    if (folderDepth_ >= kMaxFolderDepth || levels_.size() >= kMaxLevels) {
      ++notes_.flattenedFolders;
      capture_ = Capture::FolderTitle;  // read and dropped
      target_ = {};
      return;
    }
    BookmarkItem folder;
    folder.kind = BookmarkItem::Kind::Folder;
    folder.addDate = ParseDate(tag.Attribute(u"ADD_DATE"));
    folder.symbol = ParseSymbol(tag.Attribute(u"SYMBOL"));
    const ItemRef ref = Append(std::move(folder));
    pendingFolder_ = ref;
    last_ = ref;
    capture_ = Capture::FolderTitle;
    target_ = ref;
  }

  void StartLink(const html::Tag& tag) {
    pendingFolder_ = {};
    BookmarkItem link;
    link.url = tag.Attribute(u"HREF");
    link.addDate = ParseDate(tag.Attribute(u"ADD_DATE"));
    const ItemRef ref = Append(std::move(link));
    last_ = ref;
    capture_ = Capture::LinkTitle;
    target_ = ref;
  }

  void FinishCapture() {
    if (capture_ == Capture::None) return;
    QString text = text_.Take();
    BookmarkItem* target = target_.get();
    switch (capture_) {
      case Capture::Heading:
        if (heading_.isEmpty()) heading_ = std::move(text);
        break;
      case Capture::PageTitle:
        if (pageTitle_.isEmpty()) pageTitle_ = std::move(text);
        break;
      case Capture::FolderTitle:
      case Capture::LinkTitle:
        if (target) target->title = std::move(text);
        break;
      case Capture::Description:
        if (!target) {
          if (!text.isEmpty()) ++notes_.strayDescriptions;
        } else if (target->description.isEmpty()) {
          target->description = std::move(text);
        } else if (!text.isEmpty()) {
          target->description += QChar(u'\n') + text;
        }
        break;
      case Capture::None:
        break;
    }
    capture_ = Capture::None;
    target_ = {};
  }

  BookmarkTree& tree_;
  BookmarkParseNotes& notes_;
  std::vector<Level> levels_;
  std::int64_t excessLevels_ = 0;
  int folderDepth_ = 0;
  ItemRef pendingFolder_;  // a heading whose list may follow
  ItemRef last_;           // what a description belongs to
  Capture capture_ = Capture::None;
  ItemRef target_;
  html::TextCollector text_;
  QString heading_;
  QString pageTitle_;
  bool sawList_ = false;
};

QString Indent(std::size_t level) {
  return QString(static_cast<qsizetype>(std::min<std::size_t>(level, 32) * 4), QChar(u' '));
}

void WriteItem(QString& out, const BookmarkItem& item, std::size_t level) {
  const QString indent = Indent(level);
  QString date;
  if (item.addDate != 0) date = QStringLiteral(" ADD_DATE=\"%1\"").arg(item.addDate);
  if (item.kind == BookmarkItem::Kind::Folder) {
    QString symbol;
    if (item.symbol != 0) symbol = QStringLiteral(" SYMBOL=\"%1\"").arg(item.symbol);
    out += indent + "<DT><H3" + date + symbol + '>' + html::EscapeText(item.title) + "</H3>\n";
  } else {
    out += indent + "<DT><A HREF=\"" + html::EscapeAttribute(item.url) + '"' + date + '>' +
           html::EscapeText(item.title) + "</A>\n";
  }
  if (!item.description.isEmpty()) {
    out += indent + "<DD>" + html::EscapeText(item.description) + '\n';
  }
}

[[noreturn]] void FailUnknownCharset(const CharsetUse& use) {
  Fail(errc::kUnknownCharset,
       QStringLiteral("The file declares the character set \"%1\", which cannot be read here "
                      "(UTF-8, UTF-16 and the common single-byte sets can). Convert the file "
                      "to UTF-8, with iconv for instance, and import it again.")
           .arg(use.declared));
}

QString DecodeOrFail(const QByteArray& bytes, BookmarkParseNotes& notes) {
  std::optional<QString> text = html::DecodeDocument(bytes, &notes.charset);
  if (!text) {
    FailUnknownCharset(notes.charset);
  }
  return std::move(*text);
}

// Reads decoded text. ReadBookmarkFile lets go of the bytes before this
// runs, so that a large file is not held as bytes and as text at once.
BookmarkTree ParseText(const QString& text, BookmarkParseNotes& notes) {
  const bool declared =
      QStringView(text).left(4096).contains(u"NETSCAPE-Bookmark-file", Qt::CaseInsensitive);
  BookmarkTree tree;
  TreeBuilder builder(tree, notes);
  html::Lexer lexer(text);
  for (html::Token token = lexer.Next(); token.kind != html::Token::Kind::End;
       token = lexer.Next()) {
    if (token.kind == html::Token::Kind::Text) {
      builder.OnText(token.text);
    } else {
      builder.OnTag(token.tag);
    }
  }
  builder.Finish();
  if (!declared && !builder.sawList()) {
    Fail(errc::kNotABookmarkFile,
         QStringLiteral("The file is not a bookmark file: it holds no bookmark list."));
  }
  return tree;
}

}  // namespace

BookmarkTree ParseBookmarks(const QByteArray& bytes, BookmarkParseNotes* notes) {
  if (bytes.isEmpty()) Fail(errc::kNotABookmarkFile, QStringLiteral("The file is empty."));
  BookmarkParseNotes localNotes;
  BookmarkParseNotes& into = notes ? *notes : localNotes;
  return ParseText(DecodeOrFail(bytes, into), into);
}

bool WriteBookmarks(const BookmarkTree& tree, QIODevice& device) {
  // Written in pieces, so that a large collection never exists twice over
  // in memory as text.
  constexpr qsizetype kPiece = 1 << 16;
  bool ok = true;
  QString out;
  auto flush = [&] {
    const QByteArray bytes = out.toUtf8();
    ok = ok && device.write(bytes) == bytes.size();
    out.clear();
  };
  const QString title = html::EscapeText(tree.title);
  out = QStringLiteral(
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n");
  out += "<TITLE>" + title + "</TITLE>\n<H1>" + title + "</H1>\n<DL><p>\n";
  struct Frame {
    const std::vector<BookmarkItem>* list;
    std::size_t next;
  };
  std::vector<Frame> stack{{&tree.items, 0}};
  while (!stack.empty() && ok) {
    if (out.size() > kPiece) flush();
    const std::size_t level = stack.size();
    Frame& frame = stack.back();
    if (frame.next == frame.list->size()) {
      stack.pop_back();
      out += Indent(level - 1) + "</DL><p>\n";
      continue;
    }
    const BookmarkItem& item = (*frame.list)[frame.next++];
    WriteItem(out, item, level);
    if (item.kind == BookmarkItem::Kind::Folder) {
      out += Indent(level) + "<DL><p>\n";
      stack.push_back({&item.children, 0});
    }
  }
  flush();
  return ok;
}

QByteArray WriteBookmarks(const BookmarkTree& tree) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  WriteBookmarks(tree, buffer);
  return bytes;
}

BookmarkTree ReadBookmarkFile(const QString& path, BookmarkParseNotes* notes) {
  const QFileInfo info(path);
  if (!info.exists()) {
    Fail(errc::kBookmarkFile, QStringLiteral("The bookmark file \"%1\" does not exist.").arg(path));
  }
  if (!info.isFile()) {
    Fail(errc::kBookmarkFile, QStringLiteral("\"%1\" is not a file.").arg(path));
  }
  if (info.size() > kMaxBookmarkFileBytes) {
    Fail(errc::kBookmarkFile, QStringLiteral("The bookmark file \"%1\" is larger than %2 MiB.")
                                  .arg(path)
                                  .arg(kMaxBookmarkFileBytes / (1024 * 1024)));
  }
  QFile file(path);
  const auto failReading = [&file, &path] {
    Fail(errc::kBookmarkFile,
         QStringLiteral("Cannot read the bookmark file \"%1\": %2").arg(path, file.errorString()));
  };
  if (!file.open(QIODevice::ReadOnly)) {
    failReading();
  }
  // Read piece by piece into the text: the file's bytes and its text are
  // never in memory whole at once, so the text (at most twice the file's
  // size) is the peak.
  const QByteArray head = file.read(html::kCharsetScanBytes);
  if (file.error() != QFileDevice::NoError) {
    failReading();
  }
  if (head.isEmpty()) Fail(errc::kNotABookmarkFile, QStringLiteral("The file is empty."));
  BookmarkParseNotes localNotes;
  BookmarkParseNotes& into = notes ? *notes : localNotes;
  html::DocumentDecoder decoder(head);
  if (decoder.Unreadable()) {
    FailUnknownCharset(decoder.Use());
  }
  decoder.Reserve(info.size());
  qint64 total = head.size();
  bool last = file.atEnd();
  decoder.Feed(head, last);
  while (!last) {
    const QByteArray piece = file.read(kReadPieceBytes);
    if (file.error() != QFileDevice::NoError) {
      failReading();
    }
    total += piece.size();
    if (total > kMaxBookmarkFileBytes) {
      Fail(errc::kBookmarkFile, QStringLiteral("The bookmark file \"%1\" is too large.").arg(path));
    }
    last = piece.isEmpty() || file.atEnd();
    decoder.Feed(piece, last);
  }
  into.charset = decoder.Use();
  return ParseText(decoder.TakeText(), into);
}

void WriteBookmarkFile(const QString& path, const BookmarkTree& tree) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || !WriteBookmarks(tree, file) || !file.commit()) {
    Fail(errc::kBookmarkFile,
         QStringLiteral("Cannot write the bookmark file \"%1\": %2").arg(path, file.errorString()));
  }
}

BookmarkCounts CountBookmarks(const BookmarkTree& tree) {
  BookmarkCounts counts;
  std::vector<std::pair<const std::vector<BookmarkItem>*, int>> pending{{&tree.items, 0}};
  while (!pending.empty()) {
    const auto [list, depth] = pending.back();
    pending.pop_back();
    counts.depth = std::max(counts.depth, depth);
    for (const BookmarkItem& item : *list) {
      if (item.kind == BookmarkItem::Kind::Folder) {
        ++counts.folders;
        pending.push_back({&item.children, depth + 1});
      } else {
        ++counts.links;
      }
    }
  }
  return counts;
}

}  // namespace qm::host
