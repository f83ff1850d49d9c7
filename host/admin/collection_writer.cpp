// Filling, emptying and listing collections for the administration
// functions.
#include <sqlite3.h>

#include <limits>

#include <unordered_map>
#include <unordered_set>

#include "host/admin/host_admin.h"
#include "host/lib/catalog.h"
#include "host/lib/collection_db.h"
#include "host/lib/host_errors.h"

namespace qm::hostadmin {

namespace errc = host::errc;
using host::Statement;
using host::StatementUse;

namespace {

host::SqliteDb OpenById(std::int32_t collectionId) {
  const HostInstall install = host::RequireInstall();
  return host::OpenCollectionDb(host::ReadCatalogEntry(install.edition, collectionId).file);
}

[[noreturn]] void NoSuchFolder(std::int32_t folderId) {
  host::Throw(errc::kUnknownFolder, host::kAdminSource,
              QStringLiteral("The collection has no folder with the ID %1.").arg(folderId));
}

[[noreturn]] void NoIdsLeft(const QString& what) {
  host::Throw(errc::kDatabase, host::kAdminSource,
              QStringLiteral("The collection has given all its %1.").arg(what));
}

}  // namespace

struct CollectionWriter::State {
  explicit State(std::int32_t collectionId)
      : db(OpenById(collectionId)),
        insertFolder(db,
                     "INSERT INTO Folder (ID, ParentID, Name, IconIndex, Position) "
                     "VALUES (?1, ?2, ?3, ?4, ?5)"),
        insertDocument(db,
                       "INSERT INTO Document (EntryID, VisibleInFolderID, Title, Comment, "
                       "Url) VALUES (?1, ?2, ?3, ?4, ?5)"),
        nextPosition(db, "SELECT coalesce(max(Position) + 1, 0) FROM Folder WHERE ParentID = ?1") {
    // Large fills insert all over the folder-clustered table; a bigger cache
    // keeps that from going to the disk page by page.
    db.Exec("PRAGMA cache_size = -65536", "Setting up the fill");
    db.Exec("BEGIN IMMEDIATE", "Starting to fill the collection");
    Statement folders(db, "SELECT ID FROM Folder");
    while (folders.Step("Reading the folders")) {
      knownFolders.insert(static_cast<std::int32_t>(folders.Int(0)));
    }
    next = host::ReadIdCounters(db);
  }

  host::SqliteDb db;
  Statement insertFolder;
  Statement insertDocument;
  Statement nextPosition;
  std::unordered_set<std::int32_t> knownFolders;
  std::unordered_map<std::int32_t, std::int64_t> positions;
  host::IdCounters next;
  bool committed = false;
};

CollectionWriter::CollectionWriter(std::int32_t collectionId)
    : state_(std::make_unique<State>(collectionId)) {}

CollectionWriter::~CollectionWriter() {
  if (!state_->committed) {
    sqlite3_exec(state_->db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

std::int32_t CollectionWriter::AddFolder(std::int32_t parentId, const QString& name,
                                         std::int32_t iconIndex) {
  if (!state_->knownFolders.contains(parentId)) {
    NoSuchFolder(parentId);
  }
  if (iconIndex < 0) {
    host::Throw(errc::kBadArgument, host::kAdminSource,
                QStringLiteral("A folder's icon index cannot be negative (%1).").arg(iconIndex));
  }
  auto position = state_->positions.find(parentId);
  if (position == state_->positions.end()) {
    StatementUse use(state_->nextPosition);
    use->Bind(1, std::int64_t{parentId});
    use->Step("Reading the folder order");
    position = state_->positions.emplace(parentId, use->Int(0)).first;
  }
  if (state_->next.folderId > std::numeric_limits<std::int32_t>::max()) {
    NoIdsLeft(QStringLiteral("folder IDs"));
  }
  const auto id = static_cast<std::int32_t>(state_->next.folderId);
  StatementUse use(state_->insertFolder);
  use->Bind(1, std::int64_t{id});
  use->Bind(2, std::int64_t{parentId});
  use->Bind(3, name.isNull() ? QStringLiteral("") : name);
  use->Bind(4, std::int64_t{iconIndex});
  use->Bind(5, position->second);
  use->Step("Adding a folder");
  ++position->second;
  ++state_->next.folderId;
  state_->knownFolders.insert(id);
  return id;
}

std::int64_t CollectionWriter::AddDocument(const NewDocument& document) {
  if (!state_->knownFolders.contains(document.folderId)) {
    NoSuchFolder(document.folderId);
  }
  if (state_->next.entryId == std::numeric_limits<std::int64_t>::max()) {
    NoIdsLeft(QStringLiteral("EntryIDs"));
  }
  const std::int64_t entryId = state_->next.entryId;
  StatementUse use(state_->insertDocument);
  use->Bind(1, entryId);
  use->Bind(2, std::int64_t{document.folderId});
  use->Bind(3, document.title);
  use->Bind(4, document.comment);
  use->Bind(5, document.url);
  use->Step("Adding a document");
  ++state_->next.entryId;
  return entryId;
}

void CollectionWriter::Commit() {
  host::WriteIdCounters(state_->db, state_->next);
  state_->db.Exec("COMMIT", "Storing the new folders and documents");
  state_->committed = true;
}

std::int32_t AddFolder(std::int32_t collectionId, std::int32_t parentId, const QString& name,
                       std::int32_t iconIndex) {
  CollectionWriter writer(collectionId);
  const std::int32_t id = writer.AddFolder(parentId, name, iconIndex);
  writer.Commit();
  return id;
}

std::int64_t AddDocuments(std::int32_t collectionId,
                          const std::function<bool(NewDocument&)>& source) {
  CollectionWriter writer(collectionId);
  std::int64_t added = 0;
  NewDocument document;
  while (source(document)) {
    writer.AddDocument(document);
    ++added;
    document = NewDocument();
  }
  writer.Commit();
  return added;
}

std::int64_t AddDocuments(std::int32_t collectionId, const std::vector<NewDocument>& documents) {
  std::size_t next = 0;
  return AddDocuments(collectionId, [&](NewDocument& document) {
    if (next == documents.size()) {
      return false;
    }
    document = documents[next++];
    return true;
  });
}

void DeleteDocuments(std::int32_t collectionId, const std::vector<std::int64_t>& entryIds) {
  host::SqliteDb db = OpenById(collectionId);
  sqlite::Transaction transaction(db, "Deleting documents");
  // Counted before the highest EntryID goes, in a file made before the
  // counters: the next document must not get it again.
  host::ReadIdCounters(db);
  Statement remove(db, "DELETE FROM Document WHERE EntryID = ?1");
  for (const std::int64_t entryId : entryIds) {
    StatementUse use(remove);
    use->Bind(1, entryId);
    use->Step("Deleting a document");
    if (sqlite3_changes(db.get()) == 0) {
      host::Throw(
          errc::kUnknownDocument, host::kAdminSource,
          QStringLiteral("The collection has no document with the EntryID %1.").arg(entryId));
    }
  }
  transaction.Commit();
}

void DeleteFolder(std::int32_t collectionId, std::int32_t folderId) {
  if (folderId <= host::kLastReservedFolderId) {
    host::Throw(
        errc::kBadArgument, host::kAdminSource,
        QStringLiteral("The folder %1 is one of the host's own and is kept.").arg(folderId));
  }
  host::SqliteDb db = OpenById(collectionId);
  sqlite::Transaction transaction(db, "Deleting a folder");
  host::ReadIdCounters(db);
  bool exists = false;
  bool holdsSomething = false;
  {
    Statement holds(db,
                    "SELECT EXISTS (SELECT 1 FROM Folder WHERE ID = ?1), "
                    "EXISTS (SELECT 1 FROM Folder WHERE ParentID = ?1) OR "
                    "EXISTS (SELECT 1 FROM Document WHERE VisibleInFolderID = ?1)");
    holds.Bind(1, std::int64_t{folderId});
    holds.Step("Reading a folder");
    exists = holds.Int(0) != 0;
    holdsSomething = holds.Int(1) != 0;
  }
  if (!exists) {
    NoSuchFolder(folderId);
  }
  if (holdsSomething) {
    host::Throw(
        errc::kBadArgument, host::kAdminSource,
        QStringLiteral("The folder %1 is not empty: it holds folders or documents.").arg(folderId));
  }
  Statement remove(db, "DELETE FROM Folder WHERE ID = ?1");
  remove.Bind(1, std::int64_t{folderId});
  remove.Step("Deleting a folder");
  transaction.Commit();
}

std::vector<DocumentInfo> ListDocuments(std::int32_t collectionId,
                                        std::optional<std::int32_t> folderId) {
  host::SqliteDb db = OpenById(collectionId);
  Statement select(db, folderId ? "SELECT EntryID, VisibleInFolderID, Title, Comment, Url "
                                  "FROM Document WHERE VisibleInFolderID = ?1 ORDER BY EntryID"
                                : "SELECT EntryID, VisibleInFolderID, Title, Comment, Url "
                                  "FROM Document ORDER BY EntryID");
  if (folderId) {
    select.Bind(1, std::int64_t{*folderId});
  }
  std::vector<DocumentInfo> documents;
  while (select.Step("Listing documents")) {
    documents.push_back(DocumentInfo{select.Int(0), static_cast<std::int32_t>(select.Int(1)),
                                     select.Text(2), select.Text(3), select.Text(4)});
  }
  return documents;
}

std::vector<FolderInfo> FolderTree(std::int32_t collectionId) {
  host::SqliteDb db = OpenById(collectionId);
  Statement root(db, "SELECT ID, ParentID, Name, IconIndex, Position FROM Folder WHERE ID = 1");
  Statement children(db,
                     "SELECT ID, ParentID, Name, IconIndex, Position FROM Folder "
                     "WHERE ParentID = ?1 ORDER BY Position DESC, ID DESC");
  auto read = [](const Statement& s, std::int32_t depth) {
    return FolderInfo{
        static_cast<std::int32_t>(s.Int(0)), static_cast<std::int32_t>(s.Int(1)), s.Text(2),
        static_cast<std::int32_t>(s.Int(3)), static_cast<std::int32_t>(s.Int(4)), depth};
  };
  std::vector<FolderInfo> tree;
  std::vector<FolderInfo> pending;  // a stack; children pushed last-first
  if (root.Step("Reading the root folder")) {
    pending.push_back(read(root, 0));
  }
  while (!pending.empty()) {
    FolderInfo folder = std::move(pending.back());
    pending.pop_back();
    StatementUse use(children);
    use->Bind(1, std::int64_t{folder.id});
    while (use->Step("Reading the folder tree")) {
      pending.push_back(read(children, folder.depth + 1));
    }
    tree.push_back(std::move(folder));
  }
  return tree;
}

}  // namespace qm::hostadmin
