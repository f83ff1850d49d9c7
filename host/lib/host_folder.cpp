// Folders and folder lists of the stand-in host.
//
// Asking a folder for its subfolders reads the folder tree below it once,
// in one pass over the folder table, into a snapshot that the list, its
// folders and their own subfolder lists share. A walk over a large tree so
// costs one read instead of one database round trip (with its file locks)
// per folder, and it sees one consistent tree even while the host changes
// folders. A folder asked afresh (GetFolder) reads afresh.
//
// The snapshot lists every folder once: a folder table damaged into a
// cycle cannot make a walk go round forever.
#include <unordered_map>
#include <unordered_set>

#include "host/lib/host_collection.h"
#include "host/lib/host_errors.h"

namespace qm::host {
namespace {

// The subtree below one folder in breadth-first order; the subfolders of
// every node are a contiguous run of nodes.
struct FolderSnapshot {
  struct Node {
    FolderRow row;
    std::int32_t firstChild = 0;
    std::int32_t childCount = 0;
  };
  std::vector<Node> nodes;  // nodes[0] is the folder the snapshot was taken for
};

std::shared_ptr<const FolderSnapshot> TakeSnapshot(SqliteCollection& collection,
                                                   const FolderRow& top) {
  const std::vector<FolderRow> rows = collection.AllFolderRows();
  // Rows come grouped by parent; remember where each group starts and ends.
  std::unordered_map<std::int32_t, std::pair<std::size_t, std::size_t>> groups;
  for (std::size_t i = 0; i < rows.size();) {
    std::size_t end = i + 1;
    while (end < rows.size() && rows[end].parentId == rows[i].parentId) {
      ++end;
    }
    groups.emplace(rows[i].parentId, std::make_pair(i, end));
    i = end;
  }
  auto snapshot = std::make_shared<FolderSnapshot>();
  snapshot->nodes.push_back({top, 0, 0});
  std::unordered_set<std::int32_t> seen = {top.id};
  for (std::size_t i = 0; i < snapshot->nodes.size(); ++i) {
    const auto group = groups.find(snapshot->nodes[i].row.id);
    const auto first = static_cast<std::int32_t>(snapshot->nodes.size());
    if (group != groups.end()) {
      for (std::size_t r = group->second.first; r < group->second.second; ++r) {
        if (seen.insert(rows[r].id).second) {
          snapshot->nodes.push_back({rows[r], 0, 0});
        }
      }
    }
    snapshot->nodes[i].firstChild = first;
    snapshot->nodes[i].childCount = static_cast<std::int32_t>(snapshot->nodes.size()) - first;
  }
  return snapshot;
}

class SqliteFolderList : public HostFolderList {
 public:
  SqliteFolderList(std::shared_ptr<SqliteCollection> collection,
                   std::shared_ptr<const FolderSnapshot> snapshot, std::int32_t parentNode)
      : collection_(std::move(collection)),
        snapshot_(std::move(snapshot)),
        parent_(snapshot_->nodes[static_cast<std::size_t>(parentNode)]) {}

  std::int32_t Count() const override { return parent_.childCount; }
  std::shared_ptr<HostFolder> Item(std::int32_t index) const override;

 private:
  std::shared_ptr<SqliteCollection> collection_;
  std::shared_ptr<const FolderSnapshot> snapshot_;
  const FolderSnapshot::Node& parent_;
};

class SqliteFolder : public HostFolder {
 public:
  // A folder read on its own: its subfolders are read when asked for.
  SqliteFolder(std::shared_ptr<SqliteCollection> collection, FolderRow row)
      : collection_(std::move(collection)), row_(std::move(row)) {}
  // A folder of a snapshot: its subfolders come from the same snapshot.
  SqliteFolder(std::shared_ptr<SqliteCollection> collection,
               std::shared_ptr<const FolderSnapshot> snapshot, std::int32_t node)
      : collection_(std::move(collection)),
        snapshot_(std::move(snapshot)),
        node_(node),
        row_(snapshot_->nodes[static_cast<std::size_t>(node)].row) {}

  std::int32_t ID() const override { return row_.id; }
  QString Name() const override { return row_.name; }
  std::int32_t IconIndex() const override { return row_.iconIndex; }
  std::shared_ptr<HostCollection> Collection() const override { return collection_; }

  std::shared_ptr<HostFolderList> SubFolders() const override {
    if (snapshot_) {
      return std::make_shared<SqliteFolderList>(collection_, snapshot_, node_);
    }
    return std::make_shared<SqliteFolderList>(collection_, TakeSnapshot(*collection_, row_), 0);
  }

 private:
  std::shared_ptr<SqliteCollection> collection_;
  std::shared_ptr<const FolderSnapshot> snapshot_;
  std::int32_t node_ = 0;
  FolderRow row_;
};

std::shared_ptr<HostFolder> SqliteFolderList::Item(std::int32_t index) const {
  if (index < 0 || index >= Count()) {
    Throw(errc::kBadArgument, kLibrarySource,
          QStringLiteral("The folder list has no entry %1; it holds %2 folders.")
              .arg(index)
              .arg(Count()));
  }
  return std::make_shared<SqliteFolder>(collection_, snapshot_, parent_.firstChild + index);
}

}  // namespace

std::shared_ptr<HostFolder> MakeFolder(std::shared_ptr<SqliteCollection> collection,
                                       FolderRow row) {
  return std::make_shared<SqliteFolder>(std::move(collection), std::move(row));
}

}  // namespace qm::host
