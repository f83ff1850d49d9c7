// A module of icons loaded as data: the host's resource library
// ("QMRes.dll"), asked for its icons by name and freed again.
//
// On Windows this is the system's loader: LoadLibraryExW (the path in its
// wide form) with LOAD_LIBRARY_AS_DATAFILE, LoadImageA for each icon,
// FreeLibrary. Elsewhere
// the module is read by our own resource reader (pe_resources.h) and its
// icon images are decoded by icon_decoder.h, so that both answer alike.
#pragma once

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

namespace qm::platform {

// Owns the loaded module as a module handle is owned until FreeLibrary.
// Move-only; a default constructed owner is the null handle.
class IconModule {
 public:
  IconModule() noexcept;

  // Loads the module file as data. Throws qm::Error when it cannot be
  // loaded: missing, unreadable, or not a module.
  static IconModule Load(const QString& path);

  IconModule(IconModule&& other) noexcept;
  IconModule& operator=(IconModule&& other) noexcept;
  IconModule(const IconModule&) = delete;
  IconModule& operator=(const IconModule&) = delete;
  ~IconModule();

  explicit operator bool() const noexcept { return loaded_ != nullptr; }

  // The named icon group's image (as ARGB32) for a side by side pixel icon.
  // "#123" names the group number 123; other names compare without regard
  // to case. Nothing when the handle is null, the module lacks the name or
  // the icon is malformed: a missing icon is no failure of its own.
  std::optional<QImage> Icon(const QString& name, int side) const;

  // Releases the module; the handle becomes null. Harmless on a null handle.
  void Free() noexcept;

 private:
  struct Loaded;  // what each system keeps of a loaded module
  explicit IconModule(std::unique_ptr<Loaded> loaded) noexcept;

  std::unique_ptr<Loaded> loaded_;
};

}  // namespace qm::platform
