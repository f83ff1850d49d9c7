#include "startup/host_discovery.h"

#include "support/c_registry.h"

namespace qm {

QString HostInstallation::ResourceLibraryPath() const {
  return installFolder + QLatin1String(kResourceLibraryName);
}

QString HostInstallation::SettingsKey() const {
  return QLatin1String(englishEdition ? kEnglishSettingsKey : kGermanSettingsKey);
}

namespace {

HostInstallation DiscoverIn(platform::RegistryStore& store) {
  cRegistry registry(store);
  registry.SetClassKey(static_cast<std::int32_t>(platform::reg::kLocalMachine));
  registry.SetValueType(static_cast<std::int32_t>(platform::reg::kSz));
  registry.SetDefault(QString(""));
  registry.SetValueKey(QLatin1String(kInstallFolderValue));

  HostInstallation host;
  registry.SetSectionKey(QLatin1String(kGermanInstallKey));
  if (!registry.Value().toString().isEmpty()) {
    // The German edition wins; its folder is read once more to be taken.
    host.installFolder = registry.Value().toString();
    host.englishEdition = false;
    return host;
  }
  registry.SetSectionKey(QLatin1String(kEnglishInstallKey));
  host.installFolder = registry.Value().toString();
  host.englishEdition = true;
  return host;
}

}  // namespace

HostInstallation DiscoverHostInstallation(platform::RegistryStore& hostView,
                                          platform::RegistryStore& ownView) {
  const HostInstallation host = DiscoverIn(hostView);
  if (!host.installFolder.isEmpty() || &ownView == &hostView) {
    return host;
  }
  return DiscoverIn(ownView);
}

}  // namespace qm
