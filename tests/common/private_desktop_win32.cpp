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
// a busy machine that can take a while. A window made (and let go) here waits
// for it, so that the tests' first window does not meet a desktop that is not
// ready yet.
bool TakesAWindow(DWORD limitMs) {
  for (DWORD waited = 0;; waited += 100) {
    HWND probe =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
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

// On the desktop every program shares, two test programs would see each
// other's windows; programs that end up there take turns, holding this
// mutex until they end (Windows lets go of it then, even after a crash).
void TakeTheSharedDesktopInTurn() {
  HANDLE turn = CreateMutexA(nullptr, FALSE, "QMReplace tests on the shared desktop");
  if (turn == nullptr) {
    std::fprintf(stderr, "Cannot wait for the shared desktop (error %lu)\n", GetLastError());
    std::exit(2);
  }
  const DWORD waited = WaitForSingleObject(turn, INFINITE);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    std::fprintf(stderr, "Cannot wait for the shared desktop (error %lu)\n", GetLastError());
    std::exit(2);
  }
}

void UsePrivateDesktop() {
  HDESK shared = GetThreadDesktop(GetCurrentThreadId());
  // A name never used before: Wine hands out process numbers again at once,
  // and a desktop of the same name could still be going away with its
  // previous program.
  const std::string name =
      "QMReplace tests " + QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
  // Never closed once it works: the program's windows live on it until the
  // program ends.
  HDESK desktop = CreateDesktopA(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (desktop == nullptr || SetThreadDesktop(desktop) == 0) {
    std::fprintf(stderr, "Cannot give the tests a desktop of their own (error %lu)\n",
                 GetLastError());
    std::exit(2);
  }
  // Wine starts a desktop's own program with its first window and gives up
  // when that program is slow to come up; on a loaded machine, with several
  // desktops made at once, that happens now and then, and every further
  // desktop fails the same way for a while. The program then goes back to
  // the shared desktop, in turn with any other that had to.
  if (TakesAWindow(15000)) {
    return;
  }
  std::fprintf(stderr,
               "The tests' desktop took no window (error %lu); the shared one is used, in turn\n",
               GetLastError());
  if (SetThreadDesktop(shared) == 0) {
    std::fprintf(stderr, "Cannot go back to the shared desktop (error %lu)\n", GetLastError());
    std::exit(2);
  }
  CloseDesktop(desktop);
  TakeTheSharedDesktopInTurn();
  if (!TakesAWindow(60000)) {
    std::fprintf(stderr, "The shared desktop took no window either (error %lu)\n", GetLastError());
    std::exit(2);
  }
}

}  // namespace qm::testing
