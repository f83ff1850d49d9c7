// Bookmark files as browsers export them (the Netscape bookmark HTML format),
// read into a plain tree and written back.
//
// The tree knows nothing of collections or databases: qmhost maps folders to
// host folders and bookmarks to documents (title, address, and the
// description as comment).
//
// Reading accepts whatever a browser, an old browser or a damaged file may
// hold: unbalanced and unclosed tags, truncation, character references, and
// any of the character sets bookmarks_charsets.h reads. Folders nested deeper than kMaxFolderDepth
// are not dropped: their bookmarks join the deepest folder that is kept. Input that is not a
// bookmark file at all is refused with kNotABookmarkFile, and a file that declares a character set
// we cannot read with kUnknownCharset: guessing would store every non-ASCII title garbled.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <cstdint>
#include <vector>

#include "host/admin/bookmarks_charsets.h"
#include "platform/error.h"

namespace qm::host {

inline constexpr char kBookmarksSource[] = "QMHost.Bookmarks";

namespace errc {
// The bytes are not a bookmark file (empty, binary, or HTML without a list).
inline constexpr std::int32_t kNotABookmarkFile = ErrorNumber(0x800411F0u);
// A bookmark file that cannot be read or written, or is too large.
inline constexpr std::int32_t kBookmarkFile = ErrorNumber(0x800411F1u);
// The file declares a character set that is not one we read.
inline constexpr std::int32_t kUnknownCharset = ErrorNumber(0x800411F2u);
}  // namespace errc

// Folder levels below the top list that are kept as folders.
inline constexpr int kMaxFolderDepth = 64;
// Larger files are refused before they are read.
inline constexpr qint64 kMaxBookmarkFileBytes = qint64{512} * 1024 * 1024;

// What an item is apart from its children.
struct BookmarkFields {
  enum class Kind : std::uint8_t { Folder, Link };

  Kind kind = Kind::Link;
  QString title;
  QString url;               // links only
  QString description;       // empty when the file has none
  std::int64_t addDate = 0;  // seconds since 1970; 0 when unknown
  std::int32_t symbol = 0;   // folders: the host's folder symbol, 0 to 22

  bool operator==(const BookmarkFields&) const = default;
};

// A tree of items may be as deep as a collection's folders (any depth), so
// it is destroyed, copied and compared without recursion: what the compiler
// would make for it calls itself once per level, and a deep tree would
// overflow the stack.
struct BookmarkItem : BookmarkFields {
  std::vector<BookmarkItem> children;  // folders only, in file order

  BookmarkItem() = default;
  BookmarkItem(const BookmarkItem& other);
  BookmarkItem(BookmarkItem&&) noexcept = default;
  BookmarkItem& operator=(const BookmarkItem& other);
  BookmarkItem& operator=(BookmarkItem&&) noexcept = default;
  ~BookmarkItem();

  bool operator==(const BookmarkItem& other) const;
};

struct BookmarkTree {
  QString title = QStringLiteral("Bookmarks");
  std::vector<BookmarkItem> items;  // the top list, in file order

  bool operator==(const BookmarkTree&) const = default;
};

struct BookmarkParseNotes {
  // Folders too deep to keep; their content went to the folder above them.
  std::int64_t flattenedFolders = 0;
  // Descriptions that followed nothing they could belong to.
  std::int64_t strayDescriptions = 0;
  // The character set the file was read in, and why.
  CharsetUse charset;
};

struct BookmarkCounts {
  std::int64_t folders = 0;
  std::int64_t links = 0;
  int depth = 0;  // deepest folder level, 0 for a flat list
};

// Reads a bookmark file's bytes. Throws kNotABookmarkFile for anything that is
// not one and kUnknownCharset for a character set it cannot read; never fails
// otherwise.
BookmarkTree ParseBookmarks(const QByteArray& bytes, BookmarkParseNotes* notes = nullptr);

// Writes the tree as a UTF-8 bookmark file that ParseBookmarks reads back to
// an equal tree (up to kMaxFolderDepth levels). Any depth is written without
// recursion.
QByteArray WriteBookmarks(const BookmarkTree& tree);
// The same, written to a device piece by piece; false when a write failed.
bool WriteBookmarks(const BookmarkTree& tree, QIODevice& device);

// The same with files; reading refuses files over kMaxBookmarkFileBytes,
// writing replaces the file only once the whole new file is on disk. Throw
// kBookmarkFile for files that cannot be read or written.
BookmarkTree ReadBookmarkFile(const QString& path, BookmarkParseNotes* notes = nullptr);
void WriteBookmarkFile(const QString& path, const BookmarkTree& tree);

BookmarkCounts CountBookmarks(const BookmarkTree& tree);

}  // namespace qm::host
