// The fuzzer's bytes as a bookmark file. The reader must either refuse them
// (as no bookmark file, or for a character set it cannot read) or return a tree no deeper than its
// limit that writes and reads back unchanged; anything else aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host/admin/bookmarks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const qm::host::BookmarkTree tree = qm::host::ParseBookmarks(bytes);
    if (qm::host::CountBookmarks(tree).depth > qm::host::kMaxFolderDepth) {
      std::fputs("tree deeper than the limit\n", stderr);
      std::abort();
    }
    if (qm::host::ParseBookmarks(qm::host::WriteBookmarks(tree)) != tree) {
      std::fputs("written tree reads back different\n", stderr);
      std::abort();
    }
  } catch (const qm::Error& error) {
    if (error.number() != qm::host::errc::kNotABookmarkFile &&
        error.number() != qm::host::errc::kUnknownCharset) {
      std::fprintf(stderr, "unexpected failure: %s\n", error.what());
      std::abort();
    }
  }
  return 0;
}
