// The platform version code that decides between the modern and the classic
// appearance.
//
// Codes: 1 consumer line 4.0, 3 consumer line 4.10, 4 consumer line 4.90,
// 2 an NT platform other than 5.x and 6.x, 5 NT 5.0, 6 NT 5.1 and later 5.x
// and every 6.x. An unknown consumer release gives 0.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/version_info.h"

namespace qm::startup {

// Where the version record comes from; the platform's query by default,
// anything else in tests.
using VersionRecordSource = std::function<platform::OsVersionRecord()>;

// The code for one version record.
std::int32_t WindowsVersionCode(const platform::OsVersionRecord& record) noexcept;

// One per window: the code is computed at the first call and kept for the
// window's lifetime. A code of 0 is not kept, so the record is asked for
// again at the next call.
class WindowsVersion {
 public:
  explicit WindowsVersion(VersionRecordSource source = &platform::GetVersionEx);

  std::int32_t GetWindowsVersion();

 private:
  VersionRecordSource source_;
  std::int32_t cachedCode_ = 0;
};

}  // namespace qm::startup
