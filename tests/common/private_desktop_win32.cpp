// Every test program of a run shares Wine's window station and, by default,
// its desktop, where FindWindowExA finds the top-level windows of all of
// them: side by side, one test's host window would take the refresh another
// test sent to its own. On a desktop of its own a program finds only its own
// windows.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QUuid>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/test_environment.h"

namespace qm::testing {

namespace {

// The desktop's own window comes up with the first window made on it, and on
// a busy machine that can take a while; now and then, with several desktops
// made at once, it never comes. A window made (and let go) here waits for it,
// so that the tests' first window does not meet a desktop that is not ready.
bool TakesAWindow(DWORD limitMs) {
  for (DWORD waited = 0;; waited += 100) {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe != nullptr) {
      DestroyWindow(probe);
      return true;
    }
    if (waited >= limitMs) {
      return false;
    }
    Sleep(100);
  }
}

}  // namespace

void UsePrivateDesktop() {
  constexpr int kAttempts = 4;
  for (int attempt = 1;; ++attempt) {
    // A name never used before: Wine hands out process numbers again at
    // once, and a desktop of the same name could still be going away with
    // its previous program.
    const std::string name =
        "QMReplace tests " + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    // Never closed once it works: the program's windows live on it until
    // the program ends.
    HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || SetThreadDesktop(desktop) == 0) {
      // Shared, the host-window tests would pass or fail by chance.
      std::fprintf(stderr, "Cannot give the tests a desktop of their own (error %lu)\n",
                   GetLastError());
      std::exit(2);
    }
    if (TakesAWindow(20000)) {
      return;
    }
    // The thread holds no window yet, so it may move to a fresh desktop.
    const DWORD error = GetLastError();
    if (attempt == kAttempts) {
      std::fprintf(stderr, "The tests' desktops took no window (error %lu)\n", error);
      std::exit(2);
    }
    std::fprintf(stderr, "The tests' desktop took no window (error %lu); trying a new one\n", error);
  }
}

}  // namespace qm::testing
