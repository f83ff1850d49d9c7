#include "host/lib/catalog.h"

#include <algorithm>
#include <limits>

#include "host/lib/host_errors.h"
#include "platform/environment.h"
#include "platform/registry_store.h"

namespace qm::host {

using hostadmin::HostEdition;
using hostadmin::HostInstall;
namespace reg = platform::reg;

namespace {

const QString kAppPath = QStringLiteral("AppPath");
const QString kDefaultCollection = QStringLiteral("DefaultCollection");
const QString kName = QStringLiteral("Name");
const QString kKind = QStringLiteral("Kind");
const QString kFile = QStringLiteral("File");

QString EntryKey(HostEdition edition, std::int32_t id) {
  return CatalogKey(edition) + QLatin1Char('\\') + QString::number(id);
}

[[noreturn]] void Damaged(const QString& key, const QString& value, const char* what) {
  Throw(errc::kCatalogDamaged, kCatalogSource,
        QStringLiteral("The value \"%1\" of the registry key %2 is damaged: %3.")
            .arg(value, key, QString::fromLatin1(what)));
}

[[noreturn]] void WriteFailed(const QString& key, const QString& value, std::int32_t rc) {
  Throw(errc::kRegistry, kCatalogSource,
        QStringLiteral("Writing \"%1\" of the registry key %2 failed (error %3).")
            .arg(value, key)
            .arg(rc));
}

// nullopt when the value is missing; a value of the wrong type is damage.
std::optional<QString> QueryText(platform::RegistryStore& registry, std::uint32_t root,
                                 const QString& key, const QString& name) {
  platform::RegistryValue value;
  if (registry.QueryValue(root, key, name, &value) != reg::kSuccess) {
    return std::nullopt;
  }
  if (value.type != reg::kSz) {
    Damaged(key, name, "it is not a text (REG_SZ)");
  }
  std::optional<QString> text = DecodeRegistryText(value.data);
  if (!text) {
    Damaged(key, name, "its text is no text in the system's code page");
  }
  return text;
}

std::optional<QString> QueryText(std::uint32_t root, const QString& key, const QString& name) {
  return QueryText(platform::SystemRegistry(), root, key, name);
}

std::optional<std::uint32_t> QueryDword(std::uint32_t root, const QString& key,
                                        const QString& name) {
  platform::RegistryValue value;
  if (platform::SystemRegistry().QueryValue(root, key, name, &value) != reg::kSuccess) {
    return std::nullopt;
  }
  std::optional<std::uint32_t> number;
  if (value.type == reg::kDword) {
    number = DecodeRegistryDword(value.data);
  }
  if (!number) {
    Damaged(key, name, "it is not a number of four bytes (REG_DWORD)");
  }
  return number;
}

void Set(std::uint32_t root, const QString& key, const QString& name, std::uint32_t type,
         const QByteArray& data) {
  const std::int32_t rc = platform::SystemRegistry().SetValue(root, key, name, type, data);
  if (rc != reg::kSuccess) {
    WriteFailed(key, name, rc);
  }
}

void SetText(platform::RegistryStore& registry, std::uint32_t root, const QString& key,
             const QString& name, const QString& text) {
  const std::int32_t rc = registry.SetValue(root, key, name, reg::kSz, RegistryTextOf(text));
  if (rc != reg::kSuccess) {
    WriteFailed(key, name, rc);
  }
}

void Create(std::uint32_t root, const QString& key) {
  const std::int32_t rc = platform::SystemRegistry().CreateKey(root, key);
  if (rc != reg::kSuccess) {
    WriteFailed(key, QString(), rc);
  }
}

}  // namespace

QString EditionName(HostEdition edition) {
  return edition == HostEdition::German ? QStringLiteral("Quillmarke")
                                        : QStringLiteral("Quillmark");
}

QString InstallKey(HostEdition edition) {
  return QStringLiteral("SOFTWARE\\orbelon\\") + EditionName(edition);
}

QString SettingsKey(HostEdition edition) {
  return QStringLiteral("Software\\orbelon\\") + EditionName(edition) +
         QStringLiteral("\\CurrentSettings");
}

QString CatalogKey(HostEdition edition) {
  return QStringLiteral("Software\\orbelon\\") + EditionName(edition) +
         QStringLiteral("\\Collections");
}

namespace {

std::optional<HostInstall> FindInstallIn(platform::RegistryStore& registry) {
  // A damaged "AppPath" counts as an empty one, as it does for the tool.
  std::optional<QString> germanPath;
  try {
    germanPath = QueryText(registry, reg::kLocalMachine, InstallKey(HostEdition::German), kAppPath);
  } catch (const Error&) {
  }
  if (germanPath && !germanPath->isEmpty()) {
    return HostInstall{HostEdition::German, *germanPath};
  }
  const QString englishKey = InstallKey(HostEdition::English);
  if (registry.OpenKey(reg::kLocalMachine, englishKey) != reg::kSuccess) {
    return std::nullopt;
  }
  std::optional<QString> englishPath;
  try {
    englishPath = QueryText(registry, reg::kLocalMachine, englishKey, kAppPath);
  } catch (const Error&) {
  }
  return HostInstall{HostEdition::English, englishPath.value_or(QString())};
}

}  // namespace

std::optional<HostInstall> FindInstall() {
  platform::RegistryStore& hostView = platform::SystemRegistry(platform::RegistryView::k32Bit);
  platform::RegistryStore& ownView = platform::SystemRegistry(platform::RegistryView::k64Bit);
  std::optional<HostInstall> install = FindInstallIn(hostView);
  if (&ownView == &hostView || (install && !install->appPath.isEmpty())) {
    return install;
  }
  std::optional<HostInstall> own = FindInstallIn(ownView);
  return own && (!own->appPath.isEmpty() || !install) ? own : install;
}

void WriteInstallFolder(HostEdition edition, const QString& appPath) {
  platform::RegistryStore& hostView = platform::SystemRegistry(platform::RegistryView::k32Bit);
  const QString key = InstallKey(edition);
  const std::int32_t rc = hostView.CreateKey(reg::kLocalMachine, key);
  if (rc != reg::kSuccess) {
    WriteFailed(key, QString(), rc);
  }
  SetText(hostView, reg::kLocalMachine, key, kAppPath, appPath);
}

HostInstall RequireInstall() {
  std::optional<HostInstall> install = FindInstall();
  if (!install) {
    Throw(errc::kNoHost, kLibrarySource,
          QStringLiteral("No Quillmark host is installed on this machine: neither %1 nor %2 "
                         "is registered.")
              .arg(InstallKey(HostEdition::German), InstallKey(HostEdition::English)));
  }
  return *install;
}

std::vector<std::int32_t> CatalogIds(HostEdition edition) {
  QStringList names;
  std::vector<std::int32_t> ids;
  if (platform::SystemRegistry().EnumSubkeyNames(reg::kCurrentUser, CatalogKey(edition), &names) !=
      reg::kSuccess) {
    return ids;
  }
  for (const QString& name : names) {
    if (std::optional<std::int32_t> id = ParseCollectionId(name)) {
      ids.push_back(*id);
    }
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

CatalogEntry ReadCatalogEntry(HostEdition edition, std::int32_t id) {
  const QString key = EntryKey(edition, id);
  if (platform::SystemRegistry().OpenKey(reg::kCurrentUser, key) != reg::kSuccess) {
    Throw(errc::kUnknownCollection, kLibrarySource,
          QStringLiteral("The host has no collection with the ID %1.").arg(id));
  }
  CatalogEntry entry;
  entry.id = id;
  entry.name = QueryText(reg::kCurrentUser, key, kName).value_or(QString());
  const std::optional<std::uint32_t> kind = QueryDword(reg::kCurrentUser, key, kKind);
  entry.kind = kind ? static_cast<std::int32_t>(*kind) : 1;
  const std::optional<QString> file = QueryText(reg::kCurrentUser, key, kFile);
  if (!file || file->isEmpty()) {
    Damaged(key, kFile, "the collection has no database file");
  }
  entry.file = *file;
  return entry;
}

std::optional<std::int32_t> ReadDefaultCollectionId(HostEdition edition) {
  const std::optional<std::uint32_t> id =
      QueryDword(reg::kCurrentUser, CatalogKey(edition), kDefaultCollection);
  if (!id) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*id);
}

void WriteCatalogEntry(HostEdition edition, const CatalogEntry& entry) {
  // Both texts are checked before anything is written: an entry is never
  // left half-written.
  RegistryTextOf(entry.name);
  RegistryTextOf(entry.file);
  const QString key = EntryKey(edition, entry.id);
  Create(reg::kCurrentUser, key);
  SetText(platform::SystemRegistry(), reg::kCurrentUser, key, kName, entry.name);
  Set(reg::kCurrentUser, key, kKind, reg::kDword,
      EncodeRegistryDword(static_cast<std::uint32_t>(entry.kind)));
  // The file last: an entry without it is not yet usable, never half right.
  SetText(platform::SystemRegistry(), reg::kCurrentUser, key, kFile, entry.file);
}

void WriteDefaultCollectionId(HostEdition edition, std::int32_t id) {
  const QString key = CatalogKey(edition);
  Create(reg::kCurrentUser, key);
  Set(reg::kCurrentUser, key, kDefaultCollection, reg::kDword,
      EncodeRegistryDword(static_cast<std::uint32_t>(id)));
}

void RemoveCatalogEntry(HostEdition edition, std::int32_t id) {
  const QString key = EntryKey(edition, id);
  platform::RegistryStore& registry = platform::SystemRegistry();
  if (registry.OpenKey(reg::kCurrentUser, key) != reg::kSuccess) {
    Throw(errc::kUnknownCollection, kAdminSource,
          QStringLiteral("The host has no collection with the ID %1.").arg(id));
  }
  const std::int32_t rc = registry.DeleteKey(reg::kCurrentUser, key);
  if (rc != reg::kSuccess) {
    WriteFailed(key, QString(), rc);
  }
}

QByteArray RegistryTextOf(const QString& text) {
  std::optional<QByteArray> data = EncodeRegistryText(text);
  if (!data) {
    Throw(errc::kBadArgument, kCatalogSource,
          QStringLiteral("\"%1\" cannot be written to the registry: the system's code page "
                         "has no letters for all of it.")
              .arg(text));
  }
  return *data;
}

std::optional<QByteArray> EncodeRegistryText(const QString& text) {
  std::optional<QByteArray> data = platform::ToAnsiExactly(text);
  if (data) {
    data->append('\0');
  }
  return data;
}

QByteArray EncodeRegistryDword(std::uint32_t value) {
  QByteArray data(4, '\0');
  for (int i = 0; i < 4; ++i) {
    data[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return data;
}

std::optional<QString> DecodeRegistryText(const QByteArray& data) {
  // The text ends at the first zero, as for the registry's own readers; a
  // value stored without one is taken whole.
  const qsizetype zero = data.indexOf('\0');
  return platform::FromAnsiExactly(zero >= 0 ? data.left(zero) : data);
}

std::optional<std::uint32_t> DecodeRegistryDword(const QByteArray& data) {
  if (data.size() != 4) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  return value;
}

std::optional<std::int32_t> ParseCollectionId(const QString& text) {
  if (text.isEmpty() || text.size() > 10) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  for (QChar c : text) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
      return std::nullopt;
    }
    value = value * 10 + (c.unicode() - '0');
  }
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace qm::host
