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

// How many times a program is started in all before it gives up on a desktop.
constexpr int kStarts = 3;
constexpr char kStartVariable[] = "QM_TEST_DESKTOP_START";

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

// Which start of this program this is: 1 unless an earlier one started it.
int ThisStart() {
  char value[8] = {};
  const DWORD length = GetEnvironmentVariableA(kStartVariable, value, sizeof value);
  if (length == 0 || length >= sizeof value) {
    return 1;
  }
  return std::atoi(value);
}

void MakeInheritable(HANDLE handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
    SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  }
}

// Runs the program again, with the same command line, environment and
// standard handles, and ends this one with its exit code.
[[noreturn]] void StartAgain(int nextStart) {
  SetEnvironmentVariableA(kStartVariable, std::to_string(nextStart).c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  MakeInheritable(startup.hStdInput);
  MakeInheritable(startup.hStdOutput);
  MakeInheritable(startup.hStdError);
  // CreateProcessW may write to the command line it is given.
  std::wstring commandLine = GetCommandLineW();
  PROCESS_INFORMATION started = {};
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &started) == 0) {
    std::fprintf(stderr, "Cannot start the tests again (error %lu)\n", GetLastError());
    std::exit(2);
  }
  CloseHandle(started.hThread);
  DWORD exitCode = 2;
  if (WaitForSingleObject(started.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      GetExitCodeProcess(started.hProcess, &exitCode) == 0) {
    std::fprintf(stderr, "Lost the tests started again (error %lu)\n", GetLastError());
    exitCode = 2;
  }
  CloseHandle(started.hProcess);
  std::fflush(stdout);
  std::exit(static_cast<int>(exitCode));
}

}  // namespace

void UsePrivateDesktop() {
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
  if (TakesAWindow(15000)) {
    return;
  }
  // Wine starts a desktop's own program with its first window and gives up
  // when that program is slow to come up. On a loaded machine that happens
  // now and then, and the program it happened to can then make no window at
  // all, on this desktop or any other, for as long as it runs (the shared
  // desktop was tried: it failed the same way for a whole minute), while
  // programs started at the same time do well. So the program starts afresh,
  // with this one waiting for it.
  const int start = ThisStart();
  if (start >= kStarts) {
    std::fprintf(stderr, "The tests' desktop took no window in %d starts (error %lu)\n", start,
                 GetLastError());
    std::exit(2);
  }
  std::fprintf(stderr, "The tests' desktop took no window (error %lu); starting again\n",
               GetLastError());
  StartAgain(start + 1);
}

}  // namespace qm::testing
