#include "engine/run/text_rewrite.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RewriteValue, ReplacesEveryOccurrenceWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* old;
    const char* search;
    const char* replace;
    bool changed;
    const char* value;
  };
  const Case cases[] = {
      {"three words", "ABC abc aBc", "abc", "X", true, "X X X"},
      {"no overlap, no rescan", "aaaa", "aa", "a", true, "aa"},
      {"inserted text not searched", "ab", "b", "bb", true, "abb"},
      {"remove dash and blank", "- Report - ", "- ", "", true, "Report "},
      {"rest keeps its case", "Heise Online - News", "heise online - ", "", true, "News"},
      {"same text still counts", "Abc", "abc", "abc", true, "abc"},
      {"equal text still counts", "abc", "abc", "abc", true, "abc"},
      {"umlauts in either case", "GRÜSSE und grüsse", "grüsse", "Hallo", true, "Hallo und Hallo"},
      {"Greek final sigma folds", "ΣΟΦΟΣ", "σοφο\xCF\x82", "x", true, "x"},
      {"Cyrillic", "Привет МИР", "мир", "world", true, "Привет world"},
      {"sharp s is not two letters", "Straße", "STRASSE", "x", false, "Straße"},
      {"wildcards are plain characters", "100 percent", "100%", "x", false, "100 percent"},
      {"underscore is a plain character", "a_b axb", "a_b", "c", true, "c axb"},
      {"not found", "nothing here", "abc", "X", false, "nothing here"},
      {"empty old value", "", "abc", "X", false, ""},
      {"longer than the value", "ab", "abc", "X", false, "ab"},
      {"fill leaves a value filled since", "anything", "", "none", false, "anything"},
      {"fill an empty value", "", "", "none", true, "none"},
      {"astral letters fold", "\xF0\x90\x90\x80x\xF0\x90\x90\xA8", "\xF0\x90\x90\xA8", "-", true,
       "-x-"},
      {"emoji kept around a match",
       "\xF0\x9F\x98\x80"
       "ab\xF0\x9F\x98\x80",
       "AB", "", true, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
  };
  for (const auto& c : cases) {
    const qm::RewriteResult r = qm::RewriteValue(
        QString::fromUtf8(c.old), QString::fromUtf8(c.search), QString::fromUtf8(c.replace));
    EXPECT_EQ(r.changed, c.changed) << c.name;
    EXPECT_EQ(r.value, QString::fromUtf8(c.value)) << c.name;
  }
}

// A lone half of a surrogate pair never matches half of a whole pair.
TEST(RewriteValue, NeverSplitsSurrogatePairs) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");
  const QString high(pair.at(0));
  const QString low(pair.at(1));
  EXPECT_FALSE(qm::RewriteValue(pair, high, QStringLiteral("x")).changed);
  EXPECT_FALSE(qm::RewriteValue(pair, low, QStringLiteral("x")).changed);
  const qm::RewriteResult lone =
      qm::RewriteValue(high + QStringLiteral("a"), high, QStringLiteral("x"));
  EXPECT_TRUE(lone.changed);
  EXPECT_EQ(lone.value, QStringLiteral("xa"));
}

// The review marks what these spans say; they must fit both texts exactly.
TEST(RewriteValue, TellsWhereItTookTextOutAndPutTextIn) {
  struct Case {
    const char* name;
    const char* old;
    const char* search;
    const char* replace;
    std::vector<qm::RewriteSpan> spans;
  };
  const Case cases[] = {
      {"longer replacement moves the next span",
       "ABC abc",
       "abc",
       "Xyz1",
       {{0, 3, 0, 4}, {4, 3, 5, 4}}},
      {"removal inserts nothing", "- a - b", "- ", "", {{0, 2, 0, 0}, {4, 2, 2, 0}}},
      {"astral letters count two units",
       "\xF0\x9F\x98\x80"
       "ab",
       "AB",
       "c",
       {{2, 2, 2, 1}}},
      {"fill leaves a filled value", "old", "", "new", {}},
      {"fill of an empty value", "", "", "new", {{0, 0, 0, 3}}},
      {"nothing found", "abc", "x", "y", {}},
  };
  for (const auto& c : cases) {
    std::vector<qm::RewriteSpan> spans{{9, 9, 9, 9}};  // replaced, not appended to
    const QString old = QString::fromUtf8(c.old);
    const qm::RewriteResult r =
        qm::RewriteValue(old, QString::fromUtf8(c.search), QString::fromUtf8(c.replace), spans);
    EXPECT_EQ(spans, c.spans) << c.name;
    EXPECT_EQ(
        r.value,
        qm::RewriteValue(old, QString::fromUtf8(c.search), QString::fromUtf8(c.replace)).value)
        << c.name;
  }
}

TEST(RewriteValue, LongRunsOfOneLetterStayFast) {
  const QString value(1'000'000, u'a');
  const QString search = QString(5000, u'a') + u'b';
  const qm::RewriteResult r = qm::RewriteValue(value, search, QStringLiteral("x"));
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.value.size(), value.size());
}

}  // namespace
