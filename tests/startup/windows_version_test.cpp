#include "startup/windows_version.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qm::platform::OsVersionRecord;
using qm::startup::WindowsVersion;
using qm::startup::WindowsVersionCode;

TEST(WindowsVersion, EveryKindOfVersionRecordGetsItsCode) {
  struct Case {
    OsVersionRecord record;
    std::int32_t code;
  };
  const Case cases[] = {
      {{2, 5, 0}, 5},  // NT 5.0
      {{2, 5, 1}, 6},
      {{2, 5, 2}, 6},
      {{2, 5, 7}, 6},  // later 5.x
      {{2, 6, 0}, 6},
      {{2, 6, 1}, 6},
      {{2, 6, 2}, 6},
      {{2, 6, 3}, 6},
      {{2, 10, 0}, 2},
      {{2, 4, 0}, 2},
      {{2, 3, 51}, 2},
      {{2, 7, 0}, 2},
      // The consumer line is told apart by its minor version only.
      {{1, 4, 0}, 1},
      {{1, 4, 10}, 3},
      {{1, 4, 90}, 4},
      {{1, 9, 10}, 3},
      {{1, 4, 50}, 0},
      {{1, 4, 1}, 0},
      // An unknown platform identifier counts with the consumer line.
      {{0, 3, 10}, 3},
      {{3, 5, 0}, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsVersionCode(c.record), c.code)
        << c.record.platformId << " " << c.record.majorVersion << "." << c.record.minorVersion;
  }
}

// A version query that answers from a list and counts how often it is asked.
struct ScriptedSource {
  std::vector<OsVersionRecord> answers;
  int calls = 0;

  qm::startup::VersionRecordSource Source() {
    return [this] { return answers.at(static_cast<std::size_t>(calls++)); };
  }
};

TEST(WindowsVersion, AKnownCodeIsAskedForOnceAndKept) {
  ScriptedSource script{{{2, 5, 0}, {2, 6, 1}}};
  WindowsVersion version(script.Source());
  EXPECT_EQ(version.GetWindowsVersion(), 5);
  EXPECT_EQ(version.GetWindowsVersion(), 5);
  EXPECT_EQ(version.GetWindowsVersion(), 5);
  EXPECT_EQ(script.calls, 1);
}

TEST(WindowsVersion, CodeZeroIsNotKeptAndAskedForAgain) {
  ScriptedSource script{{{1, 4, 50}, {1, 4, 51}, {1, 4, 90}, {2, 6, 0}}};
  WindowsVersion version(script.Source());
  EXPECT_EQ(version.GetWindowsVersion(), 0);
  EXPECT_EQ(version.GetWindowsVersion(), 0);
  EXPECT_EQ(version.GetWindowsVersion(), 4);
  EXPECT_EQ(version.GetWindowsVersion(), 4);
  EXPECT_EQ(script.calls, 3);
}

TEST(WindowsVersion, EachWindowHasItsOwnCache) {
  ScriptedSource first{{{2, 10, 0}}};
  ScriptedSource second{{{2, 5, 0}}};
  WindowsVersion a(first.Source());
  WindowsVersion b(second.Source());
  EXPECT_EQ(a.GetWindowsVersion(), 2);
  EXPECT_EQ(b.GetWindowsVersion(), 5);
}

TEST(WindowsVersion, ThisPlatformReportsACurrentNtSystem) {
  const OsVersionRecord record = qm::platform::GetVersionEx();
  EXPECT_EQ(record.platformId, qm::platform::kPlatformWin32Nt);
  EXPECT_EQ(record.majorVersion, 6u);
  EXPECT_EQ(WindowsVersion().GetWindowsVersion(), 6);
}

}  // namespace
