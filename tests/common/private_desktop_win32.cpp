// Every test program of a run shares Wine's window station and, by default,
// its desktop, where FindWindowExA finds the top-level windows of all of
// them: side by side, one test's host window would take the refresh another
// test sent to its own. On a desktop of its own a program finds only its own
// windows.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/test_environment.h"

namespace qm::testing {

void UsePrivateDesktop() {
  const std::string name = "QMReplace tests " + std::to_string(GetCurrentProcessId());
  // Never closed: the program's windows live on it until the program ends.
  HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desktop == nullptr || SetThreadDesktop(desktop) == 0) {
    // Shared, the host-window tests would pass or fail by chance.
    std::fprintf(stderr, "Cannot give the tests a desktop of their own (error %lu)\n", GetLastError());
    std::exit(2);
  }
}

}  // namespace qm::testing
