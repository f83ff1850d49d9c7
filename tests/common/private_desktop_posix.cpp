#include "common/test_environment.h"

namespace qm::testing {

// The stand-in's host window is a socket in the folder TMPDIR names, which
// the tests that listen for one make private per test.
void UsePrivateDesktop() {}

}  // namespace qm::testing
