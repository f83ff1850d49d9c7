#include "host/lib/unicode_like.h"

#include <QChar>
#include <QString>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <random>
#include <string>

#include "platform/text_fold.h"

namespace {

using qm::host::LikePattern;

bool Like(const char* pattern, const char* text, char32_t escape = 0) {
  LikePattern compiled(pattern, escape);
  return compiled.Matches(text);
}

TEST(UnicodeLike, MatchesWithoutRegardToCaseAndKeepsWildcards) {
  struct Case {
    const char* pattern;
    const char* text;
    bool match;
  };
  const Case cases[] = {
      {"%abc%", "xxABCxx", true},
      {"%ärger%", "Großer ÄRGER heute", true},
      {"%ÄRGER%", "ärgerlich", true},
      {"%ÖL%", "Motoröl", true},
      {"%σίσυφος%", "ΣΊΣΥΦΟΣ", true},  // final sigma folds like the other one
      {"%привет%", "ПРИВЕТ мир", true},
      {"%kelvin%",
       "\xE2\x84\xAA"
       "ELVIN",
       true},                // KELVIN SIGN folds to k
      {"%ß%", "SS", false},  // one code point never becomes two
      {"%abc%", "ab c", false},
      {"a_c", "abc", true},
      {"a_c", "aäc", true},  // "_" is one character, not one byte
      {"a_c", "a€c", true},
      {"a_c", "ac", false},
      {"a_c", "abbc", false},
      {"__", "\xF0\x9F\x98\x80x", true},
      {"_", "", false},
      {"a%", "ABC", true},
      {"a%", "bac", false},
      {"%c", "abC", true},
      {"%c", "abcd", false},
      {"%aa", "aaa", true},
      {"%x", "xx", true},
      {"a%a", "a", false},
      {"a%a", "aa", true},
      {"%a%b%c%", "xAxBxCx", true},
      {"%a%b%c%", "cba", false},
      {"%ab_d%", "xxABcDxx", true},
      {"%_%", "", false},
      {"%_%", "x", true},
      {"%_ä", "xÄ", true},
      {"%_ä", "Ä", false},
      {"100%", "100 percent", true},
      {"100%", "1000", true},  // "%" keeps its meaning inside a search text
      {"%a_b%", "xxa_bxx", true},
      {"%a_b%", "xxaXbxx", true},
      {"", "", true},
      {"", "a", false},
      {"%", "", true},
      {"%%", "anything", true},
      {"%\xFF%",
       "a\xFF"
       "b",
       true},  // a stray byte matches itself only
      {"%\xFF%",
       "a\xC3\xBF"
       "b",
       false},
      {"%ä%", "\xC3", false},
      {"_", "\xFF", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Like(c.pattern, c.text), c.match) << c.pattern << " LIKE " << c.text;
  }
}

TEST(UnicodeLike, EscapeMakesWildcardsLiteral) {
  EXPECT_TRUE(Like("10!%%", "10% off", U'!'));
  EXPECT_FALSE(Like("10!%%", "100 off", U'!'));
  EXPECT_TRUE(Like("a!_c", "a_c", U'!'));
  EXPECT_FALSE(Like("a!_c", "abc", U'!'));
  EXPECT_TRUE(Like("%ä\xC3\xA4%", "xää", U'ä'));  // the escape itself, escaped
  EXPECT_FALSE(Like("abc!", "abc", U'!'));        // nothing to escape: matches nothing
}

// The rewrite finds a text by qm::FoldCase; LIKE must fold every code point
// the same way, including those whose folded form has another UTF-8 length.
TEST(UnicodeLike, AgreesWithTheSharedFoldingRuleForEveryCodePoint) {
  int mismatches = 0;
  for (char32_t cp = 1; cp <= 0x10FFFF && mismatches < 10; ++cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == '%' || cp == '_') {
      continue;
    }
    // Letters without case are all alike; a sample of them is enough.
    const bool cased =
        QChar::toUpper(cp) != cp || QChar::toLower(cp) != cp || qm::FoldCase(cp) != cp;
    if (!cased && cp % 97 != 0) {
      continue;
    }
    const QString original = QString::fromUcs4(&cp, 1);
    for (const QString& other : {original.toUpper(), original.toLower()}) {
      const bool expected = qm::EqualsIgnoringCase(original, other);
      LikePattern pattern(original.toUtf8().toStdString(), 0);
      if (pattern.Matches(other.toUtf8().toStdString()) != expected) {
        ADD_FAILURE() << "code point U+" << std::hex << static_cast<unsigned>(cp);
        ++mismatches;
      }
    }
  }
}

// "%text%" has a quicker way for ASCII; it must agree with plain folding for
// texts of every length around its 16-byte steps, in any case, with and
// without letters outside ASCII.
TEST(UnicodeLike, ContainsSearchAgreesWithFoldingAtEveryPosition) {
  std::mt19937 random(7);
  const char* const needles[] = {"k", "wiki", "Kelvin", "1000", "ärg", "zz"};
  const char* const fillers[] = {"x", "Y", "k", "\xC3\xA4", "\xE2\x84\xAA", "1", "i", "W"};
  int checked = 0;
  for (const char* needle : needles) {
    const std::string pattern = std::string("%") + needle + "%";
    LikePattern compiled(pattern, 0);
    for (int round = 0; round < 400; ++round) {
      std::string text;
      const int pieces = static_cast<int>(random() % 40);
      for (int i = 0; i < pieces; ++i) {
        text += (random() % 5 == 0) ? needle : fillers[random() % std::size(fillers)];
        if (random() % 3 == 0) {
          text.back() = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        }
      }
      const QString folded = qm::FoldCase(QString::fromStdString(text));
      const bool expected = folded.contains(qm::FoldCase(QString::fromUtf8(needle)));
      ASSERT_EQ(compiled.Matches(text), expected) << pattern << " LIKE " << text;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 2400);
}

TEST(UnicodeLike, FoldUtf8HandlesAsciiRunsAndLongerFoldedLetters) {
  std::string out;
  qm::host::FoldUtf8("ABCDEFGHIJKLMNOPQRSTUVWXYZ@[`{ 0123456789", out);
  EXPECT_EQ(out, "abcdefghijklmnopqrstuvwxyz@[`{ 0123456789");
  qm::host::FoldUtf8("ABCDEFGH\xC8\xBAxyz", out);  // U+023A folds to U+2C65 (3 bytes)
  EXPECT_EQ(out, "abcdefgh\xE2\xB1\xA5xyz");
}

class UnicodeLikeSql : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    ASSERT_EQ(qm::host::RegisterUnicodeLike(db_), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(db_); }

  // The single value a query yields, as text ("NULL" for NULL, "error: ..." on failure).
  std::string Scalar(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
      return std::string("error: ") + sqlite3_errmsg(db_);
    }
    std::string result;
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
      const auto* text = sqlite3_column_text(statement, 0);
      result = text ? reinterpret_cast<const char*>(text) : "NULL";
    } else {
      result = std::string("error: ") + sqlite3_errmsg(db_);
    }
    sqlite3_finalize(statement);
    return result;
  }

  sqlite3* db_ = nullptr;
};

TEST_F(UnicodeLikeSql, ReplacesTheOperatorWithBothArgumentCounts) {
  EXPECT_EQ(Scalar("SELECT 'ÄRGER' LIKE '%ärg%'"), "1");
  EXPECT_EQ(Scalar("SELECT 'ärger' NOT LIKE '%ÄRG%'"), "0");
  EXPECT_EQ(Scalar("SELECT 'a%c' LIKE 'a\\%c' ESCAPE '\\'"), "1");
  EXPECT_EQ(Scalar("SELECT 'abc' LIKE 'a\\%c' ESCAPE '\\'"), "0");
  EXPECT_EQ(Scalar("SELECT NULL LIKE '%'"), "NULL");
  EXPECT_EQ(Scalar("SELECT 'a' LIKE NULL"), "NULL");
  EXPECT_EQ(Scalar("SELECT 'a' LIKE 'a' ESCAPE 'xy'"),
            "error: ESCAPE expression must be a single character");
}

// The compiled pattern is cached per statement; a pattern that changes from
// row to row must be recompiled, not reused.
TEST_F(UnicodeLikeSql, PatternThatChangesFromRowToRowIsNotTakenFromTheCache) {
  ASSERT_EQ(sqlite3_exec(db_,
                         "CREATE TABLE t(text, pattern);"
                         "INSERT INTO t VALUES ('Äpfel', '%äpf%'), ('Birnen', '%äpf%'),"
                         "('Birnen', '%BIR%'), ('Kirschen', '%BIR%'), ('Öl', 'öL');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(Scalar("SELECT group_concat(text LIKE pattern, '') FROM t"), "10101");
}

}  // namespace
