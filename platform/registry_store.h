// The registry seam: what the registry access class needs from the operating
// system's registry, and nothing more.
//
// Keys are addressed by a predefined root (the handle values of
// HKEY_CURRENT_USER and friends) and a backslash-separated path below it; key
// and value names are compared without regard to case. Values are a type
// number plus raw bytes, exactly as the registry keeps them. Every call opens
// what it needs and closes it again, so no handle outlives a call.
//
// Failures are reported as Win32 result codes (0 is success), because the
// class above turns them into the program's errors with the codes in their
// descriptions. A store never throws.
//
// On Linux the store is a file of our own (see posix/); on Windows it is the
// real registry.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace qm::platform {

namespace reg {
// Predefined roots, as their handle values.
inline constexpr std::uint32_t kClassesRoot = 0x80000000u;
inline constexpr std::uint32_t kCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kLocalMachine = 0x80000002u;
inline constexpr std::uint32_t kUsers = 0x80000003u;
inline constexpr std::uint32_t kCurrentConfig = 0x80000005u;

// Value types.
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kDwordBigEndian = 5;
inline constexpr std::uint32_t kLink = 6;
inline constexpr std::uint32_t kMultiSz = 7;

// Result codes (Win32 error numbers).
inline constexpr std::int32_t kSuccess = 0;
inline constexpr std::int32_t kFileNotFound = 2;
inline constexpr std::int32_t kAccessDenied = 5;
inline constexpr std::int32_t kInvalidHandle = 6;
inline constexpr std::int32_t kInvalidData = 13;
inline constexpr std::int32_t kInvalidParameter = 87;
inline constexpr std::int32_t kMoreData = 234;
inline constexpr std::int32_t kNoMoreItems = 259;
inline constexpr std::int32_t kBadDatabase = 1009;  // ERROR_BADDB
inline constexpr std::int32_t kKeyDeleted = 1018;   // ERROR_KEY_DELETED
inline constexpr std::int32_t kIoFailed = 1016;     // ERROR_REGISTRY_IO_FAILED
// A name or text the ANSI code page cannot hold (ERROR_NO_UNICODE_TRANSLATION).
inline constexpr std::int32_t kNoUnicodeTranslation = 1113;
}  // namespace reg

// 64-bit Windows keeps two views of HKEY_LOCAL_MACHINE\SOFTWARE: 32-bit
// programs, such as the host, see and write theirs (KEY_WOW64_32KEY), 64-bit
// programs theirs (KEY_WOW64_64KEY). What lies below
// HKEY_CURRENT_USER\Software is the same in both. Linux has one store for
// both views.
enum class RegistryView { k32Bit, k64Bit };

struct RegistryValue {
  std::uint32_t type = reg::kNone;
  QByteArray data;
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // kSuccess when the key exists, kFileNotFound when it does not.
  virtual std::int32_t OpenKey(std::uint32_t root, const QString& path) = 0;
  // Creates the key and every missing key above it; kSuccess when it exists
  // afterwards, whether it was there before or not.
  virtual std::int32_t CreateKey(std::uint32_t root, const QString& path) = 0;
  // Deletes a key that has no subkeys, with its values. A key with subkeys is
  // refused with kAccessDenied, as the registry does.
  virtual std::int32_t DeleteKey(std::uint32_t root, const QString& path) = 0;

  // kFileNotFound for a missing key or value.
  virtual std::int32_t QueryValue(std::uint32_t root, const QString& path, const QString& name,
                                  RegistryValue* out) = 0;
  // The key must exist (kFileNotFound otherwise). Replaces any stored value.
  virtual std::int32_t SetValue(std::uint32_t root, const QString& path, const QString& name,
                                std::uint32_t type, const QByteArray& data) = 0;
  virtual std::int32_t DeleteValue(std::uint32_t root, const QString& path,
                                   const QString& name) = 0;

  // Names as they were first written (case kept), in a stable order. A
  // listing that fails part-way returns the failure with the names read
  // before it in *names.
  virtual std::int32_t EnumValueNames(std::uint32_t root, const QString& path,
                                      QStringList* names) = 0;
  virtual std::int32_t EnumSubkeyNames(std::uint32_t root, const QString& path,
                                       QStringList* names) = 0;
};

// The registry of this machine and user, in the 64-bit programs' view unless
// another is asked for. On Linux: the store file RegistryFilePath() names,
// looked up afresh on each call so that a change of XDG_CONFIG_HOME (tests)
// takes effect at once.
RegistryStore& SystemRegistry(RegistryView view = RegistryView::k64Bit);

// For tests only; the program never calls it. On Windows every root of the
// system registry becomes a subkey of this key below HKEY_CURRENT_USER, so
// that tests never touch a person's real keys; an empty key ends that. On
// Linux tests point XDG_CONFIG_HOME at a folder of their own instead, and
// this does nothing.
void SetRegistrySandbox(const QString& keyBelowCurrentUser);

// Where the Linux store lives: $XDG_CONFIG_HOME/qmregistry/registry.db, with
// XDG_CONFIG_HOME defaulting to ~/.config.
QString RegistryFilePath();

// A store over one given file (Linux only); used by tools and tests that want
// an explicit file.
std::unique_ptr<RegistryStore> OpenRegistryFile(const QString& path);

}  // namespace qm::platform
