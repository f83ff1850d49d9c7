// Installing a host and keeping its catalog of collections.
#include "host/admin/host_admin.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include "host/lib/catalog.h"
#include "host/lib/collection_db.h"
#include "host/lib/host_errors.h"
#include "platform/registry_store.h"

namespace qm::hostadmin {

using host::CatalogEntry;
namespace errc = host::errc;
namespace reg = platform::reg;

namespace {

void CreateKeyOrThrow(std::uint32_t root, const QString& key) {
  const std::int32_t rc = platform::SystemRegistry().CreateKey(root, key);
  if (rc != reg::kSuccess) {
    host::Throw(
        errc::kRegistry, host::kAdminSource,
        QStringLiteral("The registry key %1 could not be created (error %2).").arg(key).arg(rc));
  }
}

std::int32_t CreateCollectionIn(const HostInstall& install, const QString& name, bool network,
                                const QString& file) {
  const std::vector<std::int32_t> ids = host::CatalogIds(install.edition);
  const std::int32_t id = ids.empty() ? 1 : ids.back() + 1;
  QString path = file;
  if (path.isEmpty()) {
    if (install.appPath.isEmpty()) {
      host::Throw(errc::kBadArgument, host::kAdminSource,
                  QStringLiteral("The host has no install folder to keep the collection in; "
                                 "name a file for it."));
    }
    path = install.appPath + QStringLiteral("collections/%1.qmdb").arg(id);
  }
  path = QFileInfo(path).absoluteFilePath();
  // Texts the registry cannot hold are refused before the file is made.
  host::RegistryTextOf(name);
  host::RegistryTextOf(path);
  host::CreateCollectionFile(path, name, install.edition == HostEdition::German);
  host::WriteCatalogEntry(install.edition, CatalogEntry{id, name, network ? 2 : 1, path});
  const std::optional<std::int32_t> current = host::ReadDefaultCollectionId(install.edition);
  if (!current || std::find(ids.begin(), ids.end(), *current) == ids.end()) {
    host::WriteDefaultCollectionId(install.edition, id);
  }
  return id;
}

}  // namespace

void InstallHost(HostEdition edition, const QString& installDir) {
  if (installDir.isEmpty()) {
    host::Throw(errc::kBadArgument, host::kAdminSource,
                QStringLiteral("The host needs an install folder."));
  }
  QString folder = QFileInfo(installDir).absoluteFilePath();
  if (!QDir().mkpath(folder)) {
    host::Throw(errc::kBadArgument, host::kAdminSource,
                QStringLiteral("The install folder %1 could not be created.").arg(folder));
  }
  if (!folder.endsWith(QLatin1Char('/'))) {
    folder += QLatin1Char('/');
  }
  host::WriteInstallFolder(edition, folder);
  CreateKeyOrThrow(reg::kCurrentUser, host::SettingsKey(edition));
  CreateKeyOrThrow(reg::kCurrentUser, host::CatalogKey(edition));
  if (host::CatalogIds(edition).empty()) {
    const bool german = edition == HostEdition::German;
    CreateCollectionIn(HostInstall{edition, folder},
                       german ? QStringLiteral("Standard") : QStringLiteral("Default"), false, {});
  }
}

std::optional<HostInstall> FindHost() { return host::FindInstall(); }

std::int32_t CreateCollection(const QString& name, bool network, const QString& file) {
  return CreateCollectionIn(host::RequireInstall(), name, network, file);
}

void RemoveCollection(std::int32_t collectionId) {
  const HostInstall install = host::RequireInstall();
  host::RemoveCatalogEntry(install.edition, collectionId);
  if (host::ReadDefaultCollectionId(install.edition) != collectionId) {
    return;
  }
  const std::vector<std::int32_t> ids = host::CatalogIds(install.edition);
  if (!ids.empty()) {
    host::WriteDefaultCollectionId(install.edition, ids.front());
  } else {
    platform::SystemRegistry().DeleteValue(reg::kCurrentUser, host::CatalogKey(install.edition),
                                           QStringLiteral("DefaultCollection"));
  }
}

void SetDefaultCollection(std::int32_t collectionId) {
  const HostInstall install = host::RequireInstall();
  host::ReadCatalogEntry(install.edition, collectionId);  // must exist
  host::WriteDefaultCollectionId(install.edition, collectionId);
}

std::vector<CollectionInfo> ListCollections() {
  const HostInstall install = host::RequireInstall();
  const std::optional<std::int32_t> defaultId = host::ReadDefaultCollectionId(install.edition);
  std::vector<CollectionInfo> list;
  for (std::int32_t id : host::CatalogIds(install.edition)) {
    const CatalogEntry entry = host::ReadCatalogEntry(install.edition, id);
    list.push_back(CollectionInfo{entry.id, entry.name, entry.kind, entry.file, defaultId == id});
  }
  return list;
}

}  // namespace qm::hostadmin
