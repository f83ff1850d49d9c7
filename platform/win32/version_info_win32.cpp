#include "platform/version_info.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {

OsVersionRecord GetVersionEx() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  // Deprecated for its answer (6.2 for programs without a compatibility
  // manifest), which is exactly the answer the program was written against.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL ok = ::GetVersionExA(&info);
#pragma GCC diagnostic pop
  if (!ok) {
    return OsVersionRecord{};
  }
  return OsVersionRecord{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

}  // namespace qm::platform
