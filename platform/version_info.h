// The operating system's version record, as the platform's version query
// reports it.
#pragma once

#include <cstdint>

namespace qm::platform {

// Platform identifiers of the version record.
inline constexpr std::uint32_t kPlatformWin32Windows = 1;  // the older consumer line
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

struct OsVersionRecord {
  std::uint32_t platformId = 0;
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
};

// Asks the operating system for its version record. On Windows the record
// is filled by the system call (which, for a program without a compatibility
// manifest, reports 6.2 on every release since); the Linux stand-in reports
// the same current NT 6.x record so that the program takes its modern path.
OsVersionRecord GetVersionEx();

}  // namespace qm::platform
