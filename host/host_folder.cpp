// Folders and folder lists of the stand-in host. A folder keeps what it was
// read with (ID, name, icon); its subfolders are read afresh each time they
// are asked for, so a walk sees the tree as it is at that moment.
#include "host/host_collection.h"
#include "host/host_errors.h"

namespace qm::host {
namespace {

class SqliteFolderList : public HostFolderList {
 public:
  SqliteFolderList(std::shared_ptr<SqliteCollection> collection, std::vector<FolderRow> rows)
      : collection_(std::move(collection)), rows_(std::move(rows)) {}

  std::int32_t Count() const override { return static_cast<std::int32_t>(rows_.size()); }

  std::shared_ptr<HostFolder> Item(std::int32_t index) const override {
    if (index < 0 || index >= Count()) {
      Throw(errc::kBadArgument, kLibrarySource,
            QStringLiteral("The folder list has no entry %1; it holds %2 folders.")
                .arg(index)
                .arg(Count()));
    }
    return MakeFolder(collection_, rows_[static_cast<std::size_t>(index)]);
  }

 private:
  std::shared_ptr<SqliteCollection> collection_;
  std::vector<FolderRow> rows_;
};

class SqliteFolder : public HostFolder {
 public:
  SqliteFolder(std::shared_ptr<SqliteCollection> collection, FolderRow row)
      : collection_(std::move(collection)), row_(std::move(row)) {}

  std::int32_t ID() const override { return row_.id; }
  QString Name() const override { return row_.name; }
  std::int32_t IconIndex() const override { return row_.iconIndex; }
  std::shared_ptr<HostCollection> Collection() const override { return collection_; }

  std::shared_ptr<HostFolderList> SubFolders() const override {
    return std::make_shared<SqliteFolderList>(collection_, collection_->SubFolderRows(row_.id));
  }

 private:
  std::shared_ptr<SqliteCollection> collection_;
  FolderRow row_;
};

}  // namespace

std::shared_ptr<HostFolder> MakeFolder(std::shared_ptr<SqliteCollection> collection,
                                       FolderRow row) {
  return std::make_shared<SqliteFolder>(std::move(collection), std::move(row));
}

}  // namespace qm::host
