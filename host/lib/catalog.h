// The host's catalog of collections, kept in the registry so that the tool,
// the stand-in library and qmhost agree without any file of their own.
//
// Where things live (key names are compared without regard to case):
//
//   HKEY_LOCAL_MACHINE\SOFTWARE\orbelon\<Edition>             "AppPath"  REG_SZ
//   HKEY_CURRENT_USER\Software\orbelon\<Edition>\CurrentSettings          (the host's settings)
//   HKEY_CURRENT_USER\Software\orbelon\<Edition>\Collections
//       "DefaultCollection"  REG_DWORD  ID of the collection the host opens first
//   HKEY_CURRENT_USER\Software\orbelon\<Edition>\Collections\<ID>         (ID in decimal)
//       "Name"  REG_SZ     display name
//       "Kind"  REG_DWORD  1 local, any other value network
//       "File"  REG_SZ     path of the collection's database file
//
// <Edition> is "Quillmarke" (German) or "Quillmark" (English). The host is a
// 32-bit program: its install key lives in the registry's 32-bit view, where
// the 64-bit programs look first (RegistryView). Collections belong to the
// user, like the settings beside them. REG_SZ values are texts in the
// system's ANSI code page (UTF-8 on Linux) with a terminating zero, as the
// host's own ANSI calls write them; REG_DWORD values four little-endian
// bytes.
//
// Values are read as untrusted bytes: a wrong type, a wrong size or text
// that is no text in the code page is reported as a damaged catalog, naming
// the value, and nothing is changed. A text the code page cannot hold is not
// written at all. Subkeys of Collections whose name is not a decimal ID
// are not collections and are passed over.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "host/lib/host_install.h"

namespace qm::host {

struct CatalogEntry {
  std::int32_t id = 0;
  QString name;
  std::int32_t kind = 1;
  QString file;
};

QString EditionName(hostadmin::HostEdition edition);
QString InstallKey(hostadmin::HostEdition edition);
QString SettingsKey(hostadmin::HostEdition edition);
QString CatalogKey(hostadmin::HostEdition edition);

// The registered host, found by the tool's rule: German when its "AppPath"
// is not empty, otherwise English when its install key exists; in the
// 32-bit view, and where that holds no host, in the 64-bit one.
std::optional<hostadmin::HostInstall> FindInstall();

// Registers the install folder as a 32-bit host does.
void WriteInstallFolder(hostadmin::HostEdition edition, const QString& appPath);
// As FindInstall, but no host is an error (kNoHost).
hostadmin::HostInstall RequireInstall();

// The IDs of the catalog, in ascending order.
std::vector<std::int32_t> CatalogIds(hostadmin::HostEdition edition);
// Throws kUnknownCollection for an ID the catalog lacks.
CatalogEntry ReadCatalogEntry(hostadmin::HostEdition edition, std::int32_t id);
std::optional<std::int32_t> ReadDefaultCollectionId(hostadmin::HostEdition edition);

void WriteCatalogEntry(hostadmin::HostEdition edition, const CatalogEntry& entry);
void WriteDefaultCollectionId(hostadmin::HostEdition edition, std::int32_t id);
void RemoveCatalogEntry(hostadmin::HostEdition edition, std::int32_t id);

// The registry's encodings of text and 32-bit numbers. A text the ANSI code
// page cannot hold has no encoding.
std::optional<QByteArray> EncodeRegistryText(const QString& text);
// The same, or kBadArgument naming the text when it has none.
QByteArray RegistryTextOf(const QString& text);
QByteArray EncodeRegistryDword(std::uint32_t value);
// nullopt when the bytes are not what the type promises.
std::optional<QString> DecodeRegistryText(const QByteArray& data);
std::optional<std::uint32_t> DecodeRegistryDword(const QByteArray& data);

// A collection ID written in decimal digits, as catalog keys and
// HostCollectionList::Item keys are; nullopt for anything else.
std::optional<std::int32_t> ParseCollectionId(const QString& text);

}  // namespace qm::host
