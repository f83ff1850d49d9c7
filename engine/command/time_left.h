// The time a run still needs, estimated from its pace so far: each document
// left takes as long as the documents done took on average. The window shows
// it with the run's progress (WindowPort::ShowProgress); it is a guess, so
// it is shown coarsely.
#pragma once

#include <cstdint>
#include <optional>

namespace qm {

// Before this, the pace is mostly the run's start (the first batch read,
// the journal opened) and would promise too much or too little.
inline constexpr std::int64_t kFirstEstimateMs = 3000;

// Milliseconds left after `elapsedMs` for `done` of `total` documents; none
// before kFirstEstimateMs or before the first document is done, 0 when all
// are done.
std::optional<std::int64_t> TimeLeftMs(std::int64_t elapsedMs, std::int64_t done,
                                       std::int64_t total);

}  // namespace qm
