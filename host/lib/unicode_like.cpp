#include "host/lib/unicode_like.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/text_fold.h"

namespace qm::host {
namespace {

// Marks a byte that is not part of valid UTF-8; it stands for itself.
constexpr char32_t kRawByte = 0x80000000u;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes the code point at p (strictly: no overlong forms, no surrogates).
std::size_t Decode(const unsigned char* p, std::size_t avail, char32_t& cp) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  if (b0 >= 0xC2 && b0 <= 0xDF && avail >= 2 && IsContinuation(p[1])) {
    cp = (char32_t(b0 & 0x1F) << 6) | (p[1] & 0x3F);
    return 2;
  }
  if (b0 >= 0xE0 && b0 <= 0xEF && avail >= 3 && IsContinuation(p[1]) && IsContinuation(p[2])) {
    cp = (char32_t(b0 & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
      return 3;
    }
  }
  if (b0 >= 0xF0 && b0 <= 0xF4 && avail >= 4 && IsContinuation(p[1]) && IsContinuation(p[2]) &&
      IsContinuation(p[3])) {
    cp = (char32_t(b0 & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
         (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      return 4;
    }
  }
  cp = kRawByte | b0;
  return 1;
}

std::size_t UnitLength(const std::string& s, std::size_t at) {
  char32_t cp = 0;
  return Decode(reinterpret_cast<const unsigned char*>(s.data()) + at, s.size() - at, cp);
}

void Append(std::string& out, char32_t cp) {
  if (cp & kRawByte) {
    out.push_back(static_cast<char>(cp & 0xFF));
  } else if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

char32_t Fold(char32_t cp) { return (cp & kRawByte) ? cp : FoldCase(cp); }

// Lower-cases eight ASCII bytes at once.
std::uint64_t LowerAscii8(std::uint64_t w) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  const std::uint64_t aboveZ = w + kOnes * (0x7F - 'Z');
  const std::uint64_t atLeastA = w + kOnes * (0x80 - 'A');
  const std::uint64_t upper = (atLeastA ^ aboveZ) & (kOnes * 0x80);
  return w | (upper >> 2);
}

bool IsAscii(const unsigned char* text, std::size_t n) {
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text + i, 8);
    if (w & 0x8080808080808080ull) {
      return false;
    }
  }
  for (; i < n; ++i) {
    if (text[i] & 0x80) {
      return false;
    }
  }
  return true;
}

unsigned char LowerAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

enum class AsciiSearch { kFound, kNotFound, kNotAscii };

// Looks for a lower-case ASCII needle in a text, ignoring ASCII case, in one
// pass that also notices any byte outside ASCII. A hit is a hit whatever
// else the text holds; a miss counts only if the text is all ASCII, since
// two letters outside ASCII fold into it (KELVIN SIGN, LONG S).
AsciiSearch SearchIgnoringAsciiCase(const unsigned char* text, std::size_t n,
                                    const std::string& needle) {
  const std::size_t length = needle.size();
  const auto* lower = reinterpret_cast<const unsigned char*>(needle.data());
  const unsigned char first = lower[0];
  // For a letter, OR-ing 0x20 turns both cases into the lower one; other
  // bytes are compared as they are.
  const unsigned char caseBit = (first >= 'a' && first <= 'z') ? 0x20 : 0x00;
  auto matchesAt = [&](std::size_t i) {
    std::size_t k = 1;
    while (k < length && LowerAscii(text[i + k]) == lower[k]) {
      ++k;
    }
    return k == length;
  };
  const std::size_t candidates = n >= length ? n - length + 1 : 0;  // starts that fit
  bool ascii = true;
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i firstVector = _mm_set1_epi8(static_cast<char>(first));
  const __m128i caseVector = _mm_set1_epi8(static_cast<char>(caseBit));
  for (; i + 16 <= n; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
    ascii = ascii && _mm_movemask_epi8(block) == 0;
    auto hits = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(block, caseVector), firstVector)));
    while (hits != 0) {
      const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(hits));
      if (at < candidates && matchesAt(at)) {
        return AsciiSearch::kFound;
      }
      hits &= hits - 1;
    }
  }
#endif
  for (; i < n; ++i) {
    ascii = ascii && text[i] < 0x80;
    if (i < candidates && (text[i] | caseBit) == first && matchesAt(i)) {
      return AsciiSearch::kFound;
    }
  }
  return ascii ? AsciiSearch::kNotFound : AsciiSearch::kNotAscii;
}

}  // namespace

void FoldUtf8(std::string_view text, std::string& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  out.resize(n);
  char* o = out.data();
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080ull) {
      break;
    }
    w = LowerAscii8(w);
    std::memcpy(o + i, &w, 8);
  }
  for (; i < n && p[i] < 0x80; ++i) {
    o[i] = static_cast<char>((p[i] >= 'A' && p[i] <= 'Z') ? p[i] + ('a' - 'A') : p[i]);
  }
  if (i == n) {
    return;
  }
  // Past the first non-ASCII byte a folded letter may take more or fewer
  // bytes than the original, so the rest is appended.
  out.resize(i);
  while (i < n) {
    char32_t cp = 0;
    i += Decode(p + i, n - i, cp);
    Append(out, Fold(cp));
  }
}

LikePattern::LikePattern(std::string_view pattern, char32_t escape) : escape_(escape) {
  const auto* p = reinterpret_cast<const unsigned char*>(pattern.data());
  const std::size_t n = pattern.size();
  Segment current;
  bool sawPercent = false;
  auto finishSegment = [&] {
    if (!current.unitLengths.empty()) {
      segments_.push_back(std::move(current));
    }
    current = Segment();
  };
  for (std::size_t i = 0; i < n;) {
    char32_t cp = 0;
    i += Decode(p + i, n - i, cp);
    if (escape != 0 && cp == escape) {
      if (i >= n) {
        matchesNothing_ = true;  // as SQLite: an escape with nothing after it
        return;
      }
      i += Decode(p + i, n - i, cp);
    } else if (cp == '%') {
      if (!sawPercent && current.unitLengths.empty()) {
        anchoredStart_ = false;
      }
      sawPercent = true;
      anchoredEnd_ = false;
      finishSegment();
      continue;
    } else if (cp == '_') {
      anchoredEnd_ = true;
      current.unitLengths.push_back(0);
      current.plain = false;
      ++current.codePoints;
      continue;
    }
    anchoredEnd_ = true;
    const std::size_t before = current.bytes.size();
    Append(current.bytes, Fold(cp));
    current.unitLengths.push_back(static_cast<unsigned char>(current.bytes.size() - before));
    current.plain = current.plain && !(cp & kRawByte);
    ++current.codePoints;
  }
  finishSegment();
  // "%text%" with ASCII text, the usual search, has a quicker way for ASCII
  // texts (the only non-ASCII letters that fold into ASCII are never in
  // an ASCII text).
  asciiContains_ = !anchoredStart_ && !anchoredEnd_ && segments_.size() == 1 &&
                   segments_[0].plain &&
                   IsAscii(reinterpret_cast<const unsigned char*>(segments_[0].bytes.data()),
                           segments_[0].bytes.size());
}

bool LikePattern::CompiledWith(char32_t escape) const { return escape == escape_; }

std::ptrdiff_t LikePattern::MatchAt(const Segment& segment, std::size_t at) const {
  std::size_t bytePos = 0;
  for (unsigned char length : segment.unitLengths) {
    if (at >= folded_.size()) {
      return -1;
    }
    const std::size_t unit = UnitLength(folded_, at);
    if (length != 0) {
      if (unit != length ||
          std::memcmp(folded_.data() + at, segment.bytes.data() + bytePos, length) != 0) {
        return -1;
      }
      bytePos += length;
    }
    at += unit;
  }
  return static_cast<std::ptrdiff_t>(at);
}

std::ptrdiff_t LikePattern::Find(const Segment& segment, std::size_t from) const {
  if (segment.plain) {
    // Texts are short: a scan for the first byte beats a general substring
    // search that builds tables on every call.
    const std::size_t length = segment.bytes.size();
    const char* const first = segment.bytes.data();
    const char* at = folded_.data() + from;
    const char* const end = folded_.data() + folded_.size();
    while (static_cast<std::size_t>(end - at) >= length) {
      at = static_cast<const char*>(
          std::memchr(at, *first, static_cast<std::size_t>(end - at) - length + 1));
      if (at == nullptr) {
        return -1;
      }
      if (std::memcmp(at + 1, first + 1, length - 1) == 0) {
        return at - folded_.data() + static_cast<std::ptrdiff_t>(length);
      }
      ++at;
    }
    return -1;
  }
  for (std::size_t at = from; at < folded_.size(); at += UnitLength(folded_, at)) {
    const std::ptrdiff_t end = MatchAt(segment, at);
    if (end >= 0) {
      return end;
    }
  }
  return -1;
}

// The last segment of a pattern that does not end in "%": it must end exactly
// at the end of the text and begin no earlier than `from`.
bool LikePattern::MatchEnd(const Segment& segment, std::size_t from) const {
  std::size_t units = 0;
  for (std::size_t at = from; at < folded_.size(); at += UnitLength(folded_, at)) {
    ++units;
  }
  if (units < segment.codePoints) {
    return false;
  }
  std::size_t at = from;
  for (std::size_t skip = units - segment.codePoints; skip > 0; --skip) {
    at += UnitLength(folded_, at);
  }
  return MatchAt(segment, at) == static_cast<std::ptrdiff_t>(folded_.size());
}

bool LikePattern::Matches(std::string_view text) {
  if (matchesNothing_) {
    return false;
  }
  if (asciiContains_) {
    const AsciiSearch found = SearchIgnoringAsciiCase(
        reinterpret_cast<const unsigned char*>(text.data()), text.size(), segments_[0].bytes);
    if (found != AsciiSearch::kNotAscii) {
      return found == AsciiSearch::kFound;
    }
  }
  FoldUtf8(text, folded_);
  if (segments_.empty()) {
    return !(anchoredStart_ && anchoredEnd_) || folded_.empty();
  }
  std::size_t pos = 0;
  for (std::size_t i = 0; i < segments_.size(); ++i) {
    const Segment& segment = segments_[i];
    const bool first = i == 0 && anchoredStart_;
    const bool last = i + 1 == segments_.size() && anchoredEnd_;
    if (last) {
      if (first) {
        return MatchAt(segment, 0) == static_cast<std::ptrdiff_t>(folded_.size());
      }
      return MatchEnd(segment, pos);
    }
    // Every segment matches a fixed number of characters, so the leftmost
    // match of each leaves the most room for the ones after it.
    const std::ptrdiff_t end = first ? MatchAt(segment, 0) : Find(segment, pos);
    if (end < 0) {
      return false;
    }
    pos = static_cast<std::size_t>(end);
  }
  return true;
}

namespace {

void DeletePattern(void* pattern) { delete static_cast<LikePattern*>(pattern); }

void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto* pattern = sqlite3_value_text(argv[0]);
  const int patternBytes = sqlite3_value_bytes(argv[0]);
  const auto* text = sqlite3_value_text(argv[1]);
  const int textBytes = sqlite3_value_bytes(argv[1]);
  if (pattern == nullptr || text == nullptr) {
    return;  // NULL, as with the built-in LIKE
  }
  char32_t escape = 0;
  if (argc == 3) {
    const auto* esc = sqlite3_value_text(argv[2]);
    const int escBytes = sqlite3_value_bytes(argv[2]);
    if (esc == nullptr) {
      return;
    }
    if (escBytes == 0 || Decode(esc, static_cast<std::size_t>(escBytes), escape) !=
                             static_cast<std::size_t>(escBytes)) {
      sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
      return;
    }
  }
  const std::string_view patternView(reinterpret_cast<const char*>(pattern),
                                     static_cast<std::size_t>(patternBytes));
  const std::string_view textView(reinterpret_cast<const char*>(text),
                                  static_cast<std::size_t>(textBytes));
  try {
    // A pattern that is constant for the statement is compiled once; SQLite
    // keeps it with the statement and drops it when the argument changes.
    auto* cached = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (cached != nullptr && cached->CompiledWith(escape)) {
      sqlite3_result_int(context, cached->Matches(textView) ? 1 : 0);
      return;
    }
    sqlite3* db = sqlite3_context_db_handle(context);
    if (patternBytes > sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, -1)) {
      sqlite3_result_error(context, "LIKE or GLOB pattern too complex", -1);
      return;
    }
    auto compiled = std::make_unique<LikePattern>(patternView, escape);
    sqlite3_result_int(context, compiled->Matches(textView) ? 1 : 0);
    // May free the pattern at once, so nothing touches it afterwards.
    sqlite3_set_auxdata(context, 0, compiled.release(), &DeletePattern);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  }
}

}  // namespace

int RegisterUnicodeLike(sqlite3* db) {
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (int arguments : {2, 3}) {
    const int rc = sqlite3_create_function_v2(db, "like", arguments, kFlags, nullptr, &LikeFunction,
                                              nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      return rc;
    }
  }
  return SQLITE_OK;
}

}  // namespace qm::host
