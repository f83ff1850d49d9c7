// The stand-in host's collection: one open database file, shared by the
// folders and documents taken from it (they hold it alive, as COM
// references would).
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

#include "host/lib/catalog.h"
#include "host/lib/host_document.h"
#include "host/lib/sqlite_db.h"
#include "hostlib/host_library.h"

namespace qm::host {

struct FolderRow {
  std::int32_t id = 0;
  std::int32_t parentId = 0;
  QString name;
  std::int32_t iconIndex = 0;
};

class SqliteCollection : public HostCollection,
                         public std::enable_shared_from_this<SqliteCollection> {
 public:
  // `edition` names the catalog the entry comes from.
  SqliteCollection(CatalogEntry entry, const QString& edition);
  ~SqliteCollection() override;

  std::int32_t ID() const override { return entry_.id; }
  QString Name() const override { return entry_.name; }
  std::int32_t Kind() const override { return entry_.kind; }
  // The edition, the database file and the stamp the file was made with.
  QString Identity() const override { return identity_; }
  std::shared_ptr<HostConnection> Connection() override;
  std::shared_ptr<HostFolder> GetFolder(std::int32_t folderId) override;
  std::shared_ptr<HostDocument> GetDocument(const QVariant& entryId) override;

  const CatalogEntry& entry() const { return entry_; }

  // What folders and documents ask of their collection. Every folder,
  // grouped by parent, each group in the host's order.
  std::vector<FolderRow> AllFolderRows();
  void SaveDocument(std::int64_t entryId, const DocumentChanges& changes);

 private:
  CatalogEntry entry_;
  SqliteDb db_;
  QString identity_;
  Statement folderById_;
  Statement allFolders_;
  Statement documentById_;
  Statement updateDocument_;
  Statement begin_;
  Statement commit_;
  std::shared_ptr<HostConnection> connection_;
};

std::shared_ptr<HostFolder> MakeFolder(std::shared_ptr<SqliteCollection> collection, FolderRow row);

}  // namespace qm::host
