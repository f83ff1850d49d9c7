#include "platform/version_info.h"

namespace qm::platform {

OsVersionRecord GetVersionEx() {
  // What a current NT system tells a program that declares no newer
  // compatibility: version 6.2.
  return OsVersionRecord{kPlatformWin32Nt, 6, 2};
}

}  // namespace qm::platform
