#include "engine/crash_vfs.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <random>
#include <string>
#include <vector>

namespace qm::testing {
namespace {

constexpr std::int64_t kSector = 512;

// A write (or, with `truncate`, a change of size) not yet synced.
struct Pending {
  std::int64_t offset = 0;
  std::string bytes;
  bool truncate = false;
};

// One watched file as the system's cache holds it: `data` is what reads
// see, the disk holds that less `pending`.
struct FileState {
  std::string data;
  std::vector<Pending> pending;
  bool dead = false;
};

struct Handle {
  std::shared_ptr<FileState> state;
};

struct CrashFile {
  sqlite3_file base;
  Handle* handle;
  sqlite3_file* real;
};

struct World {
  // The run writes its journal on a thread of its own: every call that
  // touches what follows holds this.
  std::mutex mutex;
  sqlite3_vfs* real = nullptr;
  sqlite3_vfs vfs{};
  QStringList folders;
  std::map<std::string, std::shared_ptr<FileState>> files;
  std::int64_t operations = 0;
  std::int64_t cutAt = 0;
  std::mt19937 random;
  bool cut = false;
};

// Never destroyed: a connection opened through the VFS keeps calling it
// (to name paths, to sleep) until it closes, even after the VFS is gone.
World* const world = new World;

std::size_t RealOffset() {
  return (sizeof(CrashFile) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) *
         alignof(std::max_align_t);
}

bool Watched(const char* name) {
  if (name == nullptr) {
    return false;
  }
  const QString path = QDir::cleanPath(QString::fromUtf8(name));
  return std::any_of(world->folders.begin(), world->folders.end(), [&](const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/'));
  });
}

// Puts a write or change of size on the disk, the file opened by name: at
// the cut the writing connection may be any, or none.
void Apply(QFile& disk, const Pending& change) {
  if (change.truncate) {
    disk.resize(change.offset);
    return;
  }
  disk.seek(change.offset);
  disk.write(change.bytes.data(), static_cast<qint64>(change.bytes.size()));
}

// What reaches the disk of the writes not yet synced: each aligned sector
// of each write, in order, kept or lost by chance.
void CutFile(const std::string& name, FileState& state, double keep) {
  QFile disk(QString::fromUtf8(name.c_str()));
  if (!disk.open(QIODevice::ReadWrite)) {
    return;
  }
  std::bernoulli_distribution kept(keep);
  for (const Pending& change : state.pending) {
    if (change.truncate) {
      if (kept(world->random)) {
        Apply(disk, change);
      }
      continue;
    }
    const auto end = change.offset + static_cast<std::int64_t>(change.bytes.size());
    for (std::int64_t at = change.offset; at < end;) {
      const std::int64_t next = std::min(end, (at / kSector + 1) * kSector);
      if (kept(world->random)) {
        Apply(disk, {at,
                     change.bytes.substr(static_cast<std::size_t>(at - change.offset),
                                         static_cast<std::size_t>(next - at)),
                     false});
      }
      at = next;
    }
  }
}

void CutNow() {
  world->cut = true;
  // All lost, all kept, or anything between.
  const double choices[] = {0.0, 1.0, std::uniform_real_distribution<double>(0, 1)(world->random)};
  const double keep = choices[std::uniform_int_distribution<int>(0, 2)(world->random)];
  for (auto& [name, state] : world->files) {
    CutFile(name, *state, keep);
    state->dead = true;
  }
  world->files.clear();
}

// Counts a write or sync; false when it is the one the cut comes at, or
// after.
bool Operation(const Handle& handle) {
  if (handle.state->dead) {
    return false;
  }
  ++world->operations;
  if (world->cutAt != 0 && world->operations >= world->cutAt) {
    CutNow();
    return false;
  }
  return true;
}

CrashFile& File(sqlite3_file* file) { return *reinterpret_cast<CrashFile*>(file); }
FileState& State(sqlite3_file* file) { return *File(file).handle->state; }

int Close(sqlite3_file* file) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  CrashFile& f = File(file);
  const int rc = f.real->pMethods->xClose(f.real);
  delete f.handle;
  f.handle = nullptr;
  return rc;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  const FileState& state = State(file);
  if (state.dead) {
    return SQLITE_IOERR_READ;
  }
  const auto size = static_cast<sqlite3_int64>(state.data.size());
  const sqlite3_int64 available = std::clamp<sqlite3_int64>(size - offset, 0, amount);
  if (available > 0) {
    std::memcpy(buffer, state.data.data() + offset, static_cast<std::size_t>(available));
  }
  if (available < amount) {
    std::memset(static_cast<char*>(buffer) + available, 0,
                static_cast<std::size_t>(amount - available));
    return SQLITE_IOERR_SHORT_READ;
  }
  return SQLITE_OK;
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  if (!Operation(*File(file).handle)) {
    return SQLITE_IOERR_WRITE;
  }
  FileState& state = State(file);
  const auto end = static_cast<std::size_t>(offset + amount);
  if (state.data.size() < end) {
    state.data.resize(end, '\0');
  }
  std::memcpy(state.data.data() + offset, buffer, static_cast<std::size_t>(amount));
  state.pending.push_back(
      {offset, std::string(static_cast<const char*>(buffer), static_cast<std::size_t>(amount)),
       false});
  return SQLITE_OK;
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  if (!Operation(*File(file).handle)) {
    return SQLITE_IOERR_TRUNCATE;
  }
  FileState& state = State(file);
  state.data.resize(static_cast<std::size_t>(size));
  state.pending.push_back({size, std::string(), true});
  return SQLITE_OK;
}

// What the cache holds goes to the disk through the connection's own file;
// a real sync is not needed: no power is really cut.
int Sync(sqlite3_file* file, int) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  CrashFile& f = File(file);
  if (!Operation(*f.handle)) {
    return SQLITE_IOERR_FSYNC;
  }
  FileState& state = State(file);
  for (const Pending& change : state.pending) {
    const int rc = change.truncate ? f.real->pMethods->xTruncate(f.real, change.offset)
                                   : f.real->pMethods->xWrite(f.real, change.bytes.data(),
                                                              static_cast<int>(change.bytes.size()),
                                                              change.offset);
    if (rc != SQLITE_OK) {
      return rc;
    }
  }
  state.pending.clear();
  return SQLITE_OK;
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  const FileState& state = State(file);
  if (state.dead) {
    return SQLITE_IOERR_FSTAT;
  }
  *size = static_cast<sqlite3_int64>(state.data.size());
  return SQLITE_OK;
}

int Lock(sqlite3_file* file, int level) {
  return File(file).real->pMethods->xLock(File(file).real, level);
}
int Unlock(sqlite3_file* file, int level) {
  return File(file).real->pMethods->xUnlock(File(file).real, level);
}
int CheckReservedLock(sqlite3_file* file, int* out) {
  return File(file).real->pMethods->xCheckReservedLock(File(file).real, out);
}
int FileControl(sqlite3_file* file, int op, void* arg) {
  // Whatever would size or write the real file behind the cache's back is
  // refused; the rest SQLite does without.
  if (op == SQLITE_FCNTL_HAS_MOVED) {
    return File(file).real->pMethods->xFileControl(File(file).real, op, arg);
  }
  return SQLITE_NOTFOUND;
}
int SectorSize(sqlite3_file*) { return static_cast<int>(kSector); }
// A write never harms the bytes beside it, which is what the cut keeps to.
int DeviceCharacteristics(sqlite3_file*) { return SQLITE_IOCAP_POWERSAFE_OVERWRITE; }
int ShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out) {
  return File(file).real->pMethods->xShmMap(File(file).real, page, size, extend, out);
}
int ShmLock(sqlite3_file* file, int offset, int n, int flags) {
  return File(file).real->pMethods->xShmLock(File(file).real, offset, n, flags);
}
void ShmBarrier(sqlite3_file* file) { File(file).real->pMethods->xShmBarrier(File(file).real); }
int ShmUnmap(sqlite3_file* file, int deleteFlag) {
  return File(file).real->pMethods->xShmUnmap(File(file).real, deleteFlag);
}

const sqlite3_io_methods kMethods = {2,
                                     Close,
                                     Read,
                                     Write,
                                     Truncate,
                                     Sync,
                                     FileSize,
                                     Lock,
                                     Unlock,
                                     CheckReservedLock,
                                     FileControl,
                                     SectorSize,
                                     DeviceCharacteristics,
                                     ShmMap,
                                     ShmLock,
                                     ShmBarrier,
                                     ShmUnmap,
                                     nullptr,
                                     nullptr};

std::shared_ptr<FileState> LoadState(const char* name, sqlite3_file* real) {
  auto& known = world->files[name];
  if (known) {
    return known;
  }
  known = std::make_shared<FileState>();
  sqlite3_int64 size = 0;
  real->pMethods->xFileSize(real, &size);
  known->data.resize(static_cast<std::size_t>(size));
  if (size > 0) {
    real->pMethods->xRead(real, known->data.data(), static_cast<int>(size), 0);
  }
  return known;
}

int Open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  if (!Watched(name)) {
    return world->real->xOpen(world->real, name, file, flags, outFlags);
  }
  file->pMethods = nullptr;
  const std::lock_guard<std::mutex> guard(world->mutex);
  if (world->cut) {
    return SQLITE_CANTOPEN;
  }
  auto* real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + RealOffset());
  const int rc = world->real->xOpen(world->real, name, real, flags, outFlags);
  if (rc != SQLITE_OK) {
    return rc;
  }
  CrashFile& f = File(file);
  f.real = real;
  f.handle = new Handle{LoadState(name, real)};
  f.base.pMethods = &kMethods;
  return SQLITE_OK;
}

// Deleting and making files counts as done at once; after the cut, the
// stopped program deletes nothing.
int Delete(sqlite3_vfs*, const char* name, int syncDir) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  if (Watched(name)) {
    if (world->cut) {
      return SQLITE_IOERR_DELETE;
    }
    world->files.erase(name);
  }
  return world->real->xDelete(world->real, name, syncDir);
}

int Access(sqlite3_vfs*, const char* name, int flags, int* out) {
  return world->real->xAccess(world->real, name, flags, out);
}
int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return world->real->xFullPathname(world->real, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return world->real->xDlOpen(world->real, name); }
void DlError(sqlite3_vfs*, int size, char* out) { world->real->xDlError(world->real, size, out); }
void (*DlSym(sqlite3_vfs*, void* library, const char* symbol))(void) {
  return world->real->xDlSym(world->real, library, symbol);
}
void DlClose(sqlite3_vfs*, void* library) { world->real->xDlClose(world->real, library); }
int Randomness(sqlite3_vfs*, int size, char* out) {
  return world->real->xRandomness(world->real, size, out);
}
int Sleep(sqlite3_vfs*, int microseconds) { return world->real->xSleep(world->real, microseconds); }
int CurrentTime(sqlite3_vfs*, double* out) { return world->real->xCurrentTime(world->real, out); }
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return world->real->xGetLastError(world->real, size, out);
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) {
  return world->real->xCurrentTimeInt64(world->real, out);
}

}  // namespace

CrashVfs::CrashVfs(const QStringList& watchedFolders) {
  world->real = sqlite3_vfs_find(nullptr);
  world->files.clear();
  world->operations = 0;
  world->cutAt = 0;
  world->cut = false;
  for (const QString& folder : watchedFolders) {
    world->folders.append(QDir::cleanPath(QDir(folder).absolutePath()));
  }
  sqlite3_vfs& vfs = world->vfs;
  vfs.iVersion = 2;
  vfs.szOsFile = static_cast<int>(RealOffset()) + world->real->szOsFile;
  vfs.mxPathname = world->real->mxPathname;
  vfs.zName = "qm-power-cut";
  vfs.xOpen = Open;
  vfs.xDelete = Delete;
  vfs.xAccess = Access;
  vfs.xFullPathname = FullPathname;
  vfs.xDlOpen = DlOpen;
  vfs.xDlError = DlError;
  vfs.xDlSym = DlSym;
  vfs.xDlClose = DlClose;
  vfs.xRandomness = Randomness;
  vfs.xSleep = Sleep;
  vfs.xCurrentTime = CurrentTime;
  vfs.xGetLastError = GetLastError;
  vfs.xCurrentTimeInt64 = CurrentTimeInt64;
  sqlite3_vfs_register(&vfs, 1);
}

CrashVfs::~CrashVfs() {
  sqlite3_vfs_unregister(&world->vfs);
  sqlite3_vfs_register(world->real, 1);
  // Connections still open go on as through the system's own VFS.
  world->folders.clear();
  world->cut = false;
  world->cutAt = 0;
}

void CrashVfs::CutAt(std::int64_t operations, std::uint32_t seed) {
  const std::lock_guard<std::mutex> guard(world->mutex);
  world->cutAt = operations == 0 ? 0 : world->operations + operations;
  world->random.seed(seed);
}

std::int64_t CrashVfs::Operations() const {
  const std::lock_guard<std::mutex> guard(world->mutex);
  return world->operations;
}

bool CrashVfs::WasCut() const {
  const std::lock_guard<std::mutex> guard(world->mutex);
  return world->cut;
}

void CrashVfs::Settle() {
  const std::lock_guard<std::mutex> guard(world->mutex);
  for (auto& [name, state] : world->files) {
    QFile disk(QString::fromUtf8(name.c_str()));
    if (disk.open(QIODevice::ReadWrite)) {
      for (const Pending& change : state->pending) {
        Apply(disk, change);
      }
    }
  }
  world->files.clear();
}

void CrashVfs::PowerOn() {
  const std::lock_guard<std::mutex> guard(world->mutex);
  world->cut = false;
  world->cutAt = 0;
}

}  // namespace qm::testing
