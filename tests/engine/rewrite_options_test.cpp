#include <gtest/gtest.h>

#include <vector>

#include "engine/run/text_rewrite.h"

namespace {

// "c" match case, "w" whole words, "p" pattern, "k" keep (preserve) case.
qm::SearchOptions Options(const char* flags) {
  const QString f = QString::fromLatin1(flags);
  return {f.contains(u'c'), f.contains(u'w'), f.contains(u'p'), f.contains(u'k')};
}

struct Case {
  const char* name;
  const char* flags;
  const char* old;
  const char* search;
  const char* replace;
  bool changed;
  const char* value;
};

void Check(const Case& c) {
  const QString old = QString::fromUtf8(c.old);
  std::vector<qm::RewriteSpan> spans;
  const qm::RewriteResult r = qm::RewriteValue(
      old, QString::fromUtf8(c.search), QString::fromUtf8(c.replace), Options(c.flags), spans);
  EXPECT_EQ(r.changed, c.changed) << c.name;
  EXPECT_EQ(r.value, QString::fromUtf8(c.value)) << c.name;
  EXPECT_FALSE(r.matchLimitHit) << c.name;
  // Between the spans both texts must agree, and the spans must cover the rest.
  qsizetype before = 0;
  qsizetype after = 0;
  for (const qm::RewriteSpan& s : spans) {
    EXPECT_EQ(old.mid(before, s.before - before), r.value.mid(after, s.after - after)) << c.name;
    before = s.before + s.beforeLength;
    after = s.after + s.afterLength;
  }
  EXPECT_EQ(old.mid(before), r.value.mid(after)) << c.name;
  EXPECT_EQ(spans.empty(), !r.changed) << c.name;
}

TEST(RewriteWithOptions, MatchCaseAndWholeWords) {
  const Case cases[] = {
      {"case must match", "c", "ABC abc aBc", "abc", "X", true, "ABC X aBc"},
      {"case must match, none", "c", "ABC", "abc", "X", false, "ABC"},
      {"sharp s is not SS", "c", "Straße STRASSE", "STRASSE", "X", true, "Straße X"},
      {"word alone", "w", "Dr. Müller", "Dr", "X", true, "X. Müller"},
      {"inside a word", "w", "Andreas", "dr", "X", false, "Andreas"},
      {"before umlauts", "w", "Drößel", "Dr", "X", false, "Drößel"},
      {"before a combining accent", "w", "Dr\xCC\x81 Dr", "Dr", "X", true, "Dr\xCC\x81 X"},
      {"after a combining accent", "w",
       "e\xCC\x81"
       "a a",
       "a", "X", true,
       "e\xCC\x81"
       "a X"},
      {"underscore and digit join", "w", "_dr dr1 dr", "dr", "X", true, "_dr dr1 X"},
      {"hyphen separates", "w", "Dr-Ing", "dr", "X", true, "X-Ing"},
      {"case still ignored", "w", "dr. DR", "Dr", "X", true, "X. X"},
      {"both options", "cw", "dr. DR Dr", "Dr", "X", true, "dr. DR X"},
      {"goes on at the next position", "w", "aaa aa", "aa", "X", true, "aaa X"},
      {"goes on inside the failed one", "w", "xab ab ab", "ab ab", "X", true, "xab X"},
      {"overlap after a taken match", "w", "a a a", "a a", "X", true, "X a"},
      {"astral letter joins", "w",
       "\xF0\x9D\x90\x80"
       "dr",
       "dr", "X", false,
       "\xF0\x9D\x90\x80"
       "dr"},
      {"astral symbol separates", "w",
       "\xF0\x9F\x98\x80"
       "dr\xF0\x9F\x98\x80",
       "dr", "X", true,
       "\xF0\x9F\x98\x80"
       "X\xF0\x9F\x98\x80"},
      {"dotted capital I is no i", "", "İstanbul ıi", "istanbul", "X", false, "İstanbul ıi"},
      {"fill whatever the options", "cwpk", "", "", "${x}", true, "${x}"},
      {"fill leaves a value", "cwpk", "a", "", "b", false, "a"},
  };
  for (const Case& c : cases) {
    Check(c);
  }
}

TEST(RewriteWithOptions, PreserveCaseTakesEachShape) {
  const Case cases[] = {
      {"each shape", "k", "Hello HELLO hello hELLO", "hello", "wOrld", true,
       "WOrld WORLD world wOrld"},
      {"one capital is all upper", "k", "A", "a", "the", true, "THE"},
      {"no letters: as typed", "k", "1", "1", "Abc", true, "Abc"},
      {"uncased letters do not count", "k", "日本X", "日本x", "word", true, "WORD"},
      {"sharp s upper case", "k", "GASSE Gasse gasse", "gasse", "straße", true,
       "STRASSE Straße straße"},
      {"dotted capital I lowered", "k", "x", "x", "İz", true, "i\xCC\x87z"},
      {"dotless i raised", "k", "XY", "xy", "ıi", true, "II"},
      {"first cased letter in title case", "k", "Ab", "ab", "-ǆemal", true, "-ǅemal"},
      {"with match case", "ck", "HELLO Hello", "HELLO", "bye", true, "BYE Hello"},
      {"with a pattern and its group", "pk", "ADA", "(a)da", "$1na", true, "ANA"},
  };
  for (const Case& c : cases) {
    Check(c);
  }
}

TEST(RewriteWithOptions, PatternsAndTheirGroups) {
  const Case cases[] = {
      {"groups by number", "p", "John Smith", "(\\w+) (\\w+)", "$2, $1", true, "Smith, John"},
      {"groups by name", "p", "John Smith", "(?<f>\\w+) (?<last>\\w+)", "${last} ${f}", true,
       "Smith John"},
      {"whole match and dollar", "p", "cost 5", "\\d+", "$$$0", true, "cost $5"},
      {"a lone dollar stands", "p", "x", "x", "$ $a ${ ${} ${-}", true, "$ $a ${ ${} ${-}"},
      {"braces end a number", "p", "ab", "(a)(b)", "${1}2", true, "a2"},
      {"group not taking part", "p", "b", "(a)?b", "[$1]", true, "[]"},
      {"case ignored by default", "p", "ABC", "b", "x", true, "AxC"},
      {"case must match", "cp", "ABC", "b", "x", false, "ABC"},
      {"Unicode word letters", "p", "Grüße, Welt", "\\w+", "X", true, "X, X"},
      {"caseless umlaut", "p", "ÄRGER", "ä", "a", true, "aRGER"},
      {"plain search keeps $1 as typed", "", "a", "a", "$1", true, "$1"},
      {"empty matches between letters", "p", "abc", "x*", "-", true, "-a-b-c-"},
      {"start", "p", "abc", "^", ">", true, ">abc"},
      {"end", "p", "abc", "$", "<", true, "abc<"},
      {"empty match where one ended", "p", "baaac", "a*", "-", true, "-b--c-"},
      {"steps over a whole pair", "p", "\xF0\x9F\x98\x80", "x*", "-", true, "-\xF0\x9F\x98\x80-"},
      {"empty value, empty match", "p", "", "^", "x", true, "x"},
      {"empty value, no match", "p", "", "a", "x", false, ""},
      {"whole words try other ways", "pw", "cat cats", "cat|cats", "X", true, "X X"},
      {"whole words as for text", "pw", "Dr. Müller Drößel Dr\xCC\x81", "dr", "X", true,
       "X. Müller Drößel Dr\xCC\x81"},
      {"whole words of digits", "pw", "a1 22 b3", "\\d+", "X", true, "a1 X b3"},
      {"whole words after settings", "pw", "ab abc", "(*UCP)ab", "X", true, "X abc"},
      {"whole words, open quote", "pw", "a.b a.bc", "\\Qa.b", "X", true, "X a.bc"},
      {"whole words, comment to the end", "pw", "ab abc", "(?x) a b # the word", "X", true,
       "X abc"},
  };
  for (const Case& c : cases) {
    Check(c);
  }
}

// The review marks exactly these ranges, also where the inserted text's
// length differs from the replacement as typed.
TEST(RewriteWithOptions, SpansAreTheRemovedAndInsertedText) {
  struct SpanCase {
    const char* name;
    const char* flags;
    const char* old;
    const char* search;
    const char* replace;
    std::vector<qm::RewriteSpan> spans;
  };
  const SpanCase cases[] = {
      {"sharp s grows", "k", "GASSE gasse", "gasse", "straße", {{0, 5, 0, 7}, {6, 5, 8, 6}}},
      {"dotted I lowered grows", "k", "x", "x", "İ", {{0, 1, 0, 2}}},
      {"empty matches", "p", "ab", "x*", "-", {{0, 0, 0, 1}, {1, 0, 2, 1}, {2, 0, 4, 1}}},
      {"groups", "p", "John Smith", "(\\w+) (\\w+)", "$2, $1", {{0, 10, 0, 11}}},
      {"whole words only", "w", "aa aaa aa", "aa", "b", {{0, 2, 0, 1}, {7, 2, 6, 1}}},
      {"astral letters count two", "pw", "\xF0\x9F\x98\x80 ab", "AB", "c", {{3, 2, 3, 1}}},
  };
  for (const SpanCase& c : cases) {
    std::vector<qm::RewriteSpan> spans;
    qm::RewriteValue(QString::fromUtf8(c.old), QString::fromUtf8(c.search),
                     QString::fromUtf8(c.replace), Options(c.flags), spans);
    EXPECT_EQ(spans, c.spans) << c.name;
  }
}

// A lone half of a surrogate pair can come from a document; neither the
// exact search nor a pattern may split a pair, nor choke on the half.
TEST(RewriteWithOptions, LoneSurrogateHalves) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
  const QString high(pair.at(0));
  EXPECT_FALSE(qm::RewriteValue(pair, high, QStringLiteral("x"), Options("c")).changed);
  const qm::RewriteResult lone = qm::RewriteValue(high + QStringLiteral("ab"), QStringLiteral("b"),
                                                  QStringLiteral("[$0]"), Options("p"));
  EXPECT_FALSE(lone.matchLimitHit);
  EXPECT_EQ(lone.value, high + QStringLiteral("a[b]"));
  const qm::RewriteResult dot = qm::RewriteValue(QStringLiteral("a") + high, QStringLiteral("a(.)"),
                                                 QStringLiteral("$1"), Options("p"));
  EXPECT_EQ(dot.value, high);  // kept as it was, not as the pattern saw it
}

TEST(RewriteWithOptions, MatchLimitLeavesTheValueAndSaysSo) {
  const qm::TextRewrite rewrite(QStringLiteral("(a+)+$"), QStringLiteral("x"), Options("p"));
  std::vector<qm::RewriteSpan> spans;
  const QString hostile = QString(40, u'a') + u'b';
  const qm::RewriteResult r = rewrite(hostile, &spans);
  EXPECT_TRUE(r.matchLimitHit);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.value, hostile);
  EXPECT_TRUE(spans.empty());
  // The next value is rewritten as usual.
  const qm::RewriteResult next = rewrite(QStringLiteral("baa"), &spans);
  EXPECT_FALSE(next.matchLimitHit);
  EXPECT_EQ(next.value, QStringLiteral("bx"));
}

// Every occurrence overlaps the next and none is a whole word: a search
// started anew behind each failed one would cost the value's length times
// the search text's.
TEST(RewriteWithOptions, WholeWordsOverLongRunsStayFast) {
  const QString value(1'000'000, u'a');
  const qm::RewriteResult r =
      qm::RewriteValue(u'x' + value, QString(5000, u'a'), QStringLiteral("y"), Options("w"));
  EXPECT_FALSE(r.changed);
}

TEST(RewriteWithOptions, RefusedSearchChangesNothing) {
  const qm::TextRewrite badPattern(QStringLiteral("(a"), QStringLiteral("x"), Options("p"));
  ASSERT_TRUE(badPattern.Problem().has_value());
  EXPECT_FALSE(badPattern(QStringLiteral("(a")).changed);
  const qm::TextRewrite missingGroup(QStringLiteral("a"), QStringLiteral("$1"), Options("p"));
  ASSERT_TRUE(missingGroup.Problem().has_value());
  EXPECT_FALSE(missingGroup(QStringLiteral("a")).changed);
}

}  // namespace
