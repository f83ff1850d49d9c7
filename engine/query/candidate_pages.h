// The candidates of a search with options, each with its field, read a page
// at a time.
//
// The rows are those BuildQueryText selects for the same scope, field,
// search text and options, in its order: folder ID, then EntryID. That is
// also the order the host keeps its Document table in, so each page is one
// seek and one scan, and a collection's fields are read once, in one pass,
// instead of once to find the candidates and again by EntryID to decide
// them. Each page is read forward only and judged as it is read: what is
// kept is the EntryIDs of the candidates taken, however large the scope.
//
// A page goes on after the folder ID and EntryID of the last row of the one
// before. Where the host delivers an EntryID, or a last row's folder ID, that
// is no 64-bit integer, no query can go on after it and the pages end with
// Stuck() set: the caller then reads the candidates another way. A document
// the host's user moves into a folder still to be read while the pages go on
// is read again there. Host failures propagate.
#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/query/query_text.h"
#include "engine/query/search_field.h"
#include "engine/query/search_options.h"
#include "hostlib/host_library.h"

namespace qm {

// Rows a page holds at most: window events run between two pages, and a
// host library that gives its snapshot for a forward-only read holds a
// page's columns below the size from which the C library maps each
// allocation anew.
inline constexpr std::size_t kCandidatePage = 2048;

class CandidatePages {
 public:
  // A search with options on and a search text: what FindMatches decides.
  CandidatePages(HostConnection& connection, const QueryScope& scope, SearchField field,
                 const QString& searchText, const SearchOptions& options);

  // What becomes of a candidate, judged by its field's value as the query
  // delivered it (see AsText) while its page is read.
  enum class Verdict {
    kLeave,
    kTake,
    // The value alone does not tell; the document is to be read.
    kLater,
  };
  struct Taken {
    std::int64_t entryId = 0;
    bool later = false;
  };
  using Judge = std::function<Verdict(const QVariant& value)>;

  // Reads the next page through, judging each candidate as it comes, and
  // replaces `taken` with those taken or to be judged later, in order. A
  // candidate's EntryID is read only for those. The page is closed before
  // this returns. False, with `taken` empty, once every candidate was read
  // or the pages are stuck.
  bool Next(const Judge& judge, std::vector<Taken>& taken);
  bool Stuck() const { return stuck_; }

 private:
  QString Where() const;
  // Moves past what a page of `count` rows read; `lastFolder` and
  // `lastEntry` are its last row's.
  void Advance(std::size_t count, const QVariant& lastFolder, std::int64_t lastEntry);

  HostConnection& connection_;
  const bool wholeCollection_;
  // A folder list's IDs, ascending, each once.
  std::vector<std::int64_t> folders_;
  QString column_;
  QString select_;
  QString condition_;
  // The next folder of the list to read, and whether the next page goes on
  // after a row read already, in that folder or in the whole collection.
  std::size_t folder_ = 0;
  bool after_ = false;
  std::int64_t afterFolder_ = 0;
  std::int64_t afterEntry_ = 0;
  bool done_ = false;
  bool stuck_ = false;
};

}  // namespace qm
