#include "startup/windows_version.h"

#include <utility>

namespace qm::startup {

std::int32_t WindowsVersionCode(const platform::OsVersionRecord& record) noexcept {
  if (record.platformId == platform::kPlatformWin32Nt) {
    if (record.majorVersion == 5) {
      return record.minorVersion == 0 ? 5 : 6;
    }
    return record.majorVersion == 6 ? 6 : 2;
  }
  // The consumer line is told apart by its minor version alone.
  switch (record.minorVersion) {
    case 0:
      return 1;
    case 10:
      return 3;
    case 90:
      return 4;
    default:
      return 0;
  }
}

WindowsVersion::WindowsVersion(VersionRecordSource source) : source_(std::move(source)) {}

std::int32_t WindowsVersion::GetWindowsVersion() {
  if (cachedCode_ > 0) {
    return cachedCode_;
  }
  cachedCode_ = WindowsVersionCode(source_());
  return cachedCode_;
}

}  // namespace qm::startup
