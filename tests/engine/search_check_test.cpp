#include <gtest/gtest.h>

#include <optional>

#include "engine/run/search_pattern.h"

namespace {

using Kind = qm::SearchProblem::Kind;

const qm::SearchOptions kPattern{false, false, true, false};

TEST(SearchCheck, RefusesBadPatternsAndMissingGroupsWithWhere) {
  struct Case {
    const char* name;
    const char* search;
    const char* replace;
    qm::SearchOptions options;
    std::optional<Kind> kind;
    qsizetype offset;
    qsizetype length;
    const char* reference;  // the detail of a missing group
  };
  const qm::SearchOptions words{false, true, true, false};
  const Case cases[] = {
      {"open group", "a(b", "", kPattern, Kind::InvalidPattern, 3, 0, nullptr},
      {"open class", "ab[", "", kPattern, Kind::InvalidPattern, 3, 0, nullptr},
      {"bad quantifier", "x**+*", "", kPattern, Kind::InvalidPattern, 2, 0, nullptr},
      {"same offset with whole words", "a(b", "", words, Kind::InvalidPattern, 3, 0, nullptr},
      {"plain search is never a pattern", "a(b", "$9", {}, std::nullopt, 0, 0, nullptr},
      {"fill is never a pattern", "", "$9", kPattern, std::nullopt, 0, 0, nullptr},
      {"group beyond the count", "(a)", "x$1y$2", kPattern, Kind::NoSuchGroup, 4, 2, "$2"},
      {"two digits are one group", "(a)", "$12", kPattern, Kind::NoSuchGroup, 0, 3, "$12"},
      {"braces end the number", "(a)", "${1}2", kPattern, std::nullopt, 0, 0, nullptr},
      {"huge number", "(a)", "${99999999999}", kPattern, Kind::NoSuchGroup, 0, 14,
       "${99999999999}"},
      {"unknown name", "(?<n>a)", "${n}${m}", kPattern, Kind::NoSuchGroup, 4, 4, "${m}"},
      {"whole match always there", "a", "$0", kPattern, std::nullopt, 0, 0, nullptr},
      {"dollars are no groups", "a", "$$1 $ ${ $x", kPattern, std::nullopt, 0, 0, nullptr},
      {"whole words keep the numbers", "(a)(b)", "$2", words, std::nullopt, 0, 0, nullptr},
      {"whole words, comment to the end", "(?x)a#c", "", words, std::nullopt, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    const auto problem =
        qm::CheckSearch(QString::fromUtf8(c.search), QString::fromUtf8(c.replace), c.options);
    ASSERT_EQ(problem.has_value(), c.kind.has_value()) << c.name;
    if (!problem) {
      continue;
    }
    EXPECT_EQ(problem->kind, *c.kind) << c.name;
    EXPECT_EQ(problem->offset, c.offset) << c.name;
    EXPECT_EQ(problem->length, c.length) << c.name;
    if (c.reference != nullptr) {
      EXPECT_EQ(problem->detail, QString::fromUtf8(c.reference)) << c.name;
    } else {
      EXPECT_FALSE(problem->detail.isEmpty()) << c.name;  // PCRE2's own words
    }
  }
}

}  // namespace
