#include "engine/command/time_left.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(TimeLeft, FollowsThePaceOfTheDocumentsDoneOnceItMeansSomething) {
  const struct {
    std::int64_t elapsedMs, done, total;
    std::optional<std::int64_t> left;
  } cases[] = {
      {10000, 1, 4, 30000},
      {6000, 3, 4, 2000},
      {4000, 4, 4, 0},
      {0, 0, 0, 0},
      // Too early, or nothing done to take the pace from.
      {2999, 2, 4, std::nullopt},
      {60000, 0, 4, std::nullopt},
      // The product of a long run's figures would overflow 64 bits.
      {4000000000, 1000000000, 4000000000, 12000000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qm::TimeLeftMs(c.elapsedMs, c.done, c.total), c.left)
        << c.elapsedMs << " ms, " << c.done << " of " << c.total;
  }
}

}  // namespace
