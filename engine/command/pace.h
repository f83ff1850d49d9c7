// The pace of a command that writes documents: a pause before each, so
// that the window answers and the host keeps up.
#pragma once

namespace qm {

inline constexpr int kRewritePauseMs = 5;

}  // namespace qm
