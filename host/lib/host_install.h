// Which host this machine has and where it is installed: what the library
// reads from the catalog to find the host, and what qmhost writes there
// (host/admin/host_admin.h) when it installs one.
#pragma once

#include <QString>

namespace qm::hostadmin {

enum class HostEdition { German, English };

// The host this machine has, as the library finds it.
struct HostInstall {
  HostEdition edition = HostEdition::English;
  QString appPath;  // exactly as stored, normally ending in "/"
};

}  // namespace qm::hostadmin
