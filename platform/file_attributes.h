// What the file system says about a path, in the terms the start-up needs.
#pragma once

#include <QString>

namespace qm::platform {

// True when the path names a file that a listing of normal files shows: not
// a folder, not hidden and not a system file. On Windows that is
// GetFileAttributesW (the wide form: folder names the ANSI code page cannot
// spell are found as well); on Linux, where there are no system files, a
// hidden file is one whose name begins with a dot.
bool IsNormalFile(const QString& path);

}  // namespace qm::platform
