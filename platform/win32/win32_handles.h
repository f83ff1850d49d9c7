// Small owners of Win32 handles and the one way Win32 failures become
// qm::Error, shared by the Windows side of the seams.
//
// Only platform/win32/ includes this header: it pulls in <windows.h>.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The seams use these names for their own functions; the A and W macros of
// <windows.h> would rename them.
#undef ExpandEnvironmentStrings
#undef FindResource
#undef FindWindowEx
#undef GetVersionEx
#undef LoadIcon
#undef LoadImage

#include <QString>

#include <cstdint>

#include "platform/error.h"

namespace qm::platform::win32 {

// The system's text for a Win32 error code, without the trailing line end.
QString SystemMessage(DWORD code);

// Raises qm::Error with the code as its number and the system's text, after
// what the caller was doing ("Cannot create the message window").
[[noreturn]] void ThrowWin32(DWORD code, const QString& source, const QString& doing);

// An open registry key, closed when the owner goes.
class RegistryKey {
 public:
  RegistryKey() noexcept = default;
  explicit RegistryKey(HKEY key) noexcept : key_(key) {}
  RegistryKey(RegistryKey&& other) noexcept : key_(other.release()) {}
  RegistryKey& operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { reset(); }

  HKEY get() const noexcept { return key_; }
  HKEY* put() noexcept {
    reset();
    return &key_;
  }
  HKEY release() noexcept {
    HKEY key = key_;
    key_ = nullptr;
    return key;
  }
  void reset(HKEY key = nullptr) noexcept {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
    key_ = key;
  }

 private:
  HKEY key_ = nullptr;
};

// A module loaded by LoadLibraryExA, freed when the owner goes.
class ModuleHandle {
 public:
  ModuleHandle() noexcept = default;
  explicit ModuleHandle(HMODULE module) noexcept : module_(module) {}
  ModuleHandle(ModuleHandle&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
  ModuleHandle& operator=(ModuleHandle&& other) noexcept {
    if (this != &other) {
      reset();
      module_ = other.module_;
      other.module_ = nullptr;
    }
    return *this;
  }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;
  ~ModuleHandle() { reset(); }

  HMODULE get() const noexcept { return module_; }
  explicit operator bool() const noexcept { return module_ != nullptr; }
  void reset() noexcept {
    if (module_ != nullptr) {
      FreeLibrary(module_);
      module_ = nullptr;
    }
  }

 private:
  HMODULE module_ = nullptr;
};

// An icon from LoadImageA, destroyed when the owner goes.
class IconHandle {
 public:
  IconHandle() noexcept = default;
  explicit IconHandle(HICON icon) noexcept : icon_(icon) {}
  IconHandle(IconHandle&& other) noexcept : icon_(other.icon_) { other.icon_ = nullptr; }
  IconHandle& operator=(IconHandle&& other) noexcept {
    if (this != &other) {
      reset();
      icon_ = other.icon_;
      other.icon_ = nullptr;
    }
    return *this;
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() { reset(); }

  HICON get() const noexcept { return icon_; }
  HICON release() noexcept {
    HICON icon = icon_;
    icon_ = nullptr;
    return icon;
  }
  explicit operator bool() const noexcept { return icon_ != nullptr; }
  void reset() noexcept {
    if (icon_ != nullptr) {
      DestroyIcon(icon_);
      icon_ = nullptr;
    }
  }

 private:
  HICON icon_ = nullptr;
};

// The predefined root key for its handle value. The values are 32-bit
// negative numbers that the 64-bit HKEY carries sign-extended.
inline HKEY RootKey(std::uint32_t root) noexcept {
  return reinterpret_cast<HKEY>(
      static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

}  // namespace qm::platform::win32
