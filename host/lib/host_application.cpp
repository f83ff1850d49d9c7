#include "host/lib/host_application.h"

#include <algorithm>

#include "host/lib/catalog.h"
#include "host/lib/folder_chooser_seam.h"
#include "host/lib/host_collection.h"
#include "host/lib/host_errors.h"

namespace qm {

std::shared_ptr<HostApplication> CreateHostApplication() {
  return std::make_shared<host::SqliteApplication>(host::RequireInstall());
}

namespace host {
namespace {

class SqliteCollectionList : public HostCollectionList {
 public:
  SqliteCollectionList(std::shared_ptr<SqliteApplication> application,
                       std::vector<std::int32_t> ids)
      : application_(std::move(application)), ids_(std::move(ids)) {}

  std::int32_t Count() const override { return static_cast<std::int32_t>(ids_.size()); }

  std::shared_ptr<HostCollection> Item(const QVariant& key) const override {
    const std::optional<std::int32_t> id = ParseCollectionId(key.toString());
    if (!id) {
      Throw(errc::kBadArgument, kLibrarySource,
            QStringLiteral("\"%1\" is not a collection ID.").arg(key.toString()));
    }
    return application_->OpenCollection(*id);
  }

 private:
  std::shared_ptr<SqliteApplication> application_;
  std::vector<std::int32_t> ids_;
};

bool SameEntry(const CatalogEntry& a, const CatalogEntry& b) {
  return a.id == b.id && a.name == b.name && a.kind == b.kind && a.file == b.file;
}

}  // namespace

SqliteApplication::SqliteApplication(hostadmin::HostInstall install)
    : install_(std::move(install)) {}

SqliteApplication::~SqliteApplication() = default;

std::shared_ptr<HostCollection> SqliteApplication::DefaultCollection() {
  std::optional<std::int32_t> id = ReadDefaultCollectionId(install_.edition);
  const std::vector<std::int32_t> ids = CatalogIds(install_.edition);
  // Without a usable default the host opens its first collection.
  if (!id || std::find(ids.begin(), ids.end(), *id) == ids.end()) {
    if (ids.empty()) {
      Throw(errc::kUnknownCollection, kLibrarySource,
            QStringLiteral("The host has no collection."));
    }
    id = ids.front();
  }
  return OpenCollection(*id);
}

std::shared_ptr<HostCollectionList> SqliteApplication::Collections() {
  return std::make_shared<SqliteCollectionList>(shared_from_this(), CatalogIds(install_.edition));
}

std::shared_ptr<SqliteCollection> SqliteApplication::OpenCollection(std::int32_t id) {
  CatalogEntry entry = ReadCatalogEntry(install_.edition, id);
  auto found = open_.find(id);
  if (found != open_.end() && SameEntry(found->second->entry(), entry)) {
    return found->second;
  }
  auto collection =
      std::make_shared<SqliteCollection>(std::move(entry), EditionName(install_.edition));
  open_[id] = collection;
  return collection;
}

std::shared_ptr<HostFolder> SqliteApplication::ChooseFolder(
    QWidget* owner, const QString& caption, const QString& prompt, std::int32_t, std::int32_t& left,
    std::int32_t& top, std::int32_t& width, std::int32_t& height, std::int32_t, std::int32_t,
    std::int32_t, std::int32_t) {
  std::vector<ChooserCollection> collections;
  for (std::int32_t id : CatalogIds(install_.edition)) {
    try {
      collections.push_back({id, OpenCollection(id), QString()});
    } catch (const Error& error) {
      collections.push_back({id, nullptr, error.description()});
    }
  }
  const FolderChooser& chooser = LinkedFolderChooser();
  if (!chooser) {
    Throw(errc::kNoFolderChooser, kLibrarySource,
          QStringLiteral("This program has no folder chooser."));
  }
  return chooser(std::move(collections), install_.appPath, owner, caption, prompt, left, top, width,
                 height);
}

}  // namespace host
}  // namespace qm
