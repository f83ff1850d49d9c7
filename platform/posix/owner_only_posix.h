// Files and folders that only their owner may read: the registry store (the
// user's settings and search history) and the folder of the host's message
// window (whoever can create a socket there can pose as the host).
//
// Modes are set explicitly rather than left to the umask: a umask of 022
// would otherwise make every new file readable by all. Each function works on
// one path and reports failure by its result; none throws.
#pragma once

#include <QString>

namespace qm::platform::posix {

// Makes sure path is a folder, creating it and any missing parents with mode
// 0700; folders that exist are left as they are. False when a folder cannot
// be created or a part of the path is no folder.
bool MakeOwnerOnlyFolderPath(const QString& path);

// Creates path as an empty file with mode 0600 when it is missing; an
// existing file of ours that others may read or write is narrowed to 0600.
// False when a missing file cannot be created.
bool MakeOwnerOnlyFile(const QString& path);

// Narrows an existing file or folder of ours that others may use (group or
// world bits) by taking those bits away. Nothing happens to a path that is
// missing. Returns an empty text when the path is missing or the owner's
// alone afterwards, else why it is not (it belongs to someone else, or the
// mode could not be changed).
QString NarrowToOwner(const QString& path);

// For folders whose mere existence others may have arranged (a fixed name in
// the shared temporary folder): creates path with mode 0700 when missing,
// and otherwise accepts it only as a real folder (no symbolic link) of this
// user that no one else may enter. An unsafe folder is refused, not
// repaired, because what it holds cannot be trusted. Returns an empty text
// when the folder is safe to use, else why it is not.
QString ClaimPrivateFolder(const QString& path);

// The same check without creating anything: an empty text for a safe
// existing folder, else why it is not safe (or that it is missing).
QString CheckPrivateFolder(const QString& path);

}  // namespace qm::platform::posix
