// A power cut for SQLite files, made the way SQLite's own crash tests make
// one.
//
// Registered as the process's default VFS over the system's own, it watches
// the files below the folders it is given (those of every connection, ours
// and the stand-in host's alike, without their knowing). What is written to
// a watched file stays in memory, where reads find it, and reaches the file
// on the disk only when SQLite syncs it: the disk holds what it would after
// a power cut. At the cut, a random part of what was written since the last
// sync reaches the disk all the same, as a disk's cache may let it; from
// then on every read and write through the files opened before fails (the
// program stops, as it would) and nothing of theirs reaches the disk. After
// PowerOn() new connections find the files as the disk holds them.
//
// One at a time; calls from several threads (a run writes its journal on a
// thread of its own) are taken one after the other. Files of other folders
// pass straight through.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qm::testing {

class CrashVfs {
 public:
  explicit CrashVfs(const QStringList& watchedFolders);
  ~CrashVfs();
  CrashVfs(const CrashVfs&) = delete;
  CrashVfs& operator=(const CrashVfs&) = delete;

  // The cut comes at the `operations`-th write or sync to a watched file
  // from now (which then fails), and keeps what `seed` chooses of the
  // writes not yet synced. 0: never.
  void CutAt(std::int64_t operations, std::uint32_t seed);
  // Writes and syncs to watched files so far.
  std::int64_t Operations() const;
  bool WasCut() const;
  // Ends the cut: files opened from now on work again. Every connection
  // opened before must be closed first.
  void PowerOn();
  // As an orderly shutdown: what the cache holds goes to the disk, and the
  // cache forgets the files, so that the test may change them on the disk.
  // Every connection to them must be closed first.
  void Settle();
};

}  // namespace qm::testing
