// Files and folders that only their owner may use, for what holds the
// user's texts: the journal of runs and the stand-in host's collections.
//
// On Linux they are made with modes 0700 and 0600, set exactly rather than
// left to the umask, and narrowed to those when found wider; on Windows the
// user's profile folders already keep others out and what is made inside
// them inherits that. Each function returns an empty text when the path is
// private afterwards, otherwise why it is not; none throws.
#pragma once

#include <QString>

namespace qm::platform {

// Makes `path` a folder of the owner's alone, creating it and any missing
// parents (those owner-only as well); an existing folder is narrowed,
// existing parents are left as they are.
QString MakePrivateFolder(const QString& path);

// Creates `path` as an empty owner-only file when it is missing, or narrows
// the existing one.
QString MakePrivateFile(const QString& path);

// Narrows an existing file or folder; a missing one is no failure.
QString NarrowToOwner(const QString& path);

}  // namespace qm::platform
