// Which edition of the host is installed, and where.
//
// The German edition's install key is asked first; only when it yields no
// folder does the English edition count, and then even when its own key is
// missing too. Nothing else (files, versions) takes part in the decision.
//
// The host is a 32-bit program, so on 64-bit Windows its install keys live
// in the registry's 32-bit view. The keys are read there first; only where
// that view yields no folder at all is the program's own view asked, by the
// same rule.
#pragma once

#include <QString>

#include "platform/registry_store.h"

namespace qm {

// The host's registry places. Install keys live below HKEY_LOCAL_MACHINE,
// settings keys below HKEY_CURRENT_USER.
inline constexpr char kGermanInstallKey[] = "SOFTWARE\\orbelon\\Quillmarke";
inline constexpr char kEnglishInstallKey[] = "SOFTWARE\\orbelon\\Quillmark";
inline constexpr char kInstallFolderValue[] = "AppPath";
inline constexpr char kGermanSettingsKey[] = "Software\\orbelon\\Quillmarke\\CurrentSettings";
inline constexpr char kEnglishSettingsKey[] = "Software\\orbelon\\Quillmark\\CurrentSettings";
inline constexpr char kResourceLibraryName[] = "QMRes.dll";

struct HostInstallation {
  // Exactly as stored; a usable folder ends with a backslash, because file
  // names are appended to it directly.
  QString installFolder;
  bool englishEdition = false;

  // The install folder followed directly by "QMRes.dll", nothing repaired.
  QString ResourceLibraryPath() const;
  // The HKEY_CURRENT_USER key that holds the running edition's settings.
  QString SettingsKey() const;
};

// Reads the install keys; never fails (a missing host gives an empty folder
// and the English edition). Where both views are one store (Linux), it is
// read once.
HostInstallation DiscoverHostInstallation(
    platform::RegistryStore& hostView = platform::SystemRegistry(platform::RegistryView::k32Bit),
    platform::RegistryStore& ownView = platform::SystemRegistry(platform::RegistryView::k64Bit));

}  // namespace qm
