#include "engine/query/required_literal.h"

#include <gtest/gtest.h>

namespace {

TEST(RequiredLiteral, OnlyWhatEveryMatchMustHold) {
  struct Case {
    const char* search;
    bool pattern;
    const char* literal;
  };
  const Case cases[] = {
      {"a|b(", false, "a|b("},
      {"abc", true, "abc"},
      {"^Re: ", true, "Re: "},
      {"foo\\d+barbaz", true, "barbaz"},
      {"ab+c", true, "a"},
      {"colou?r", true, "colo"},
      {"a{2}bc", true, "bc"},
      {"ab{2,3}cde", true, "cde"},
      {"x{y}z", true, "y}z"},
      {"a|bcd", true, ""},
      {"(a|b)cd", true, "cd"},
      {"x(?:ab)*yz", true, "yz"},
      {"(?i)abc", true, "abc"},
      {"\\.com", true, ".com"},
      {"\\Qa.b\\E+c", true, "a."},
      {"\\Qa|b", true, "a|b"},
      {"a\\Eb", true, "ab"},
      {"\\x41BC", true, "BC"},
      {"\\x{41}BC", true, "BC"},
      {"\\p{Lu}abc", true, "abc"},
      {"\\pLab", true, "ab"},
      {"\\bword\\b", true, "word"},
      {"(a)\\1xy", true, "xy"},
      {"(?<n>a)\\k<n>xy", true, "xy"},
      {"\\c(ab", true, "ab"},
      {"[abc]def", true, "def"},
      {"[]x|]yz", true, "yz"},
      {"[^]x]yz", true, "yz"},
      {"[[:alpha:]]+abc", true, "abc"},
      {"[\\Q]|\\E]ab", true, "ab"},
      {"a(?#c|)+b", true, "b"},
      {"\\d{3}-\\d{4}", true, "-"},
      {"\xF0\x9F\x98\x80+ab", true, "ab"},
      {"ab\xF0\x9F\x98\x80?", true, "ab"},
      {"a\xF0\x9F\x98\x80"
       "b",
       true,
       "a\xF0\x9F\x98\x80"
       "b"},
      {"(?x)a b", true, ""},
      {"(?-x:a)bc", true, ""},
      {"(*ACCEPT)ab", true, ""},
      {"ab(", true, ""},
      {"", true, ""},
  };
  for (const Case& c : cases) {
    const qm::SearchOptions options{false, false, c.pattern, false};
    EXPECT_EQ(qm::RequiredLiteral(QString::fromUtf8(c.search), options),
              QString::fromUtf8(c.literal))
        << c.search;
  }
}

}  // namespace
