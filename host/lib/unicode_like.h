// LIKE without regard to case for all of Unicode.
//
// SQLite's own LIKE folds ASCII letters only, so "ärger" would not find
// "Ärger". The host replaces like() on its connections with one that folds
// every code point by qm::FoldCase, the rule the document rewrite uses too:
// whatever the query selects, the rewrite recognises, and the other way
// round. "%" stands for any run of code points, "_" for exactly one, and an
// ESCAPE character makes the character after it literal.
//
// Texts are compared as UTF-8 as SQLite hands them over. Bytes that are not
// valid UTF-8 each count as one character and match only themselves.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace qm::host {

// A compiled LIKE pattern. Matching folds the text into a buffer the pattern
// keeps, so one pattern must not be used by two threads at once.
class LikePattern {
 public:
  // escape is the escape code point, or 0 for none.
  LikePattern(std::string_view pattern, char32_t escape);

  bool Matches(std::string_view text);

  // Whether a cached pattern fits a call with this escape. (SQLite drops a
  // cached pattern itself when the pattern argument changes.)
  bool CompiledWith(char32_t escape) const;

 private:
  // One run of the pattern between two "%". A unit is one literal code point
  // (its folded bytes) or "_" (length 0).
  struct Segment {
    std::string bytes;
    std::vector<unsigned char> unitLengths;
    bool plain = true;  // no "_" and valid UTF-8: found with a byte search
    std::size_t codePoints = 0;
  };

  std::ptrdiff_t MatchAt(const Segment& segment, std::size_t at) const;
  std::ptrdiff_t Find(const Segment& segment, std::size_t from) const;
  bool MatchEnd(const Segment& segment, std::size_t from) const;

  char32_t escape_;
  bool anchoredStart_ = true;
  bool anchoredEnd_ = true;
  bool matchesNothing_ = false;  // a pattern ending in a lone escape
  bool asciiContains_ = false;   // "%text%" with ASCII text
  std::vector<Segment> segments_;
  std::string folded_;  // the text being matched, folded
};

// Folds UTF-8 text by qm::FoldCase into out (replacing its content).
void FoldUtf8(std::string_view text, std::string& out);

// Replaces like() with 2 and 3 arguments on a connection; returns SQLite's
// result code.
int RegisterUnicodeLike(sqlite3* db);

}  // namespace qm::host
