#include "engine/command/time_left.h"

#include <algorithm>

namespace qm {

std::optional<std::int64_t> TimeLeftMs(std::int64_t elapsedMs, std::int64_t done,
                                       std::int64_t total) {
  if (done >= total) {
    return 0;
  }
  if (done <= 0 || elapsedMs < kFirstEstimateMs) {
    return std::nullopt;
  }
  // In floating point: a long run's milliseconds times a large remainder
  // would overflow 64 bits. A year is as far as a guess needs to go.
  constexpr double kYearMs = 365.0 * 24 * 3600 * 1000;
  const double left = static_cast<double>(elapsedMs) * static_cast<double>(total - done) /
                      static_cast<double>(done);
  return static_cast<std::int64_t>(std::min(left, kYearMs));
}

}  // namespace qm
