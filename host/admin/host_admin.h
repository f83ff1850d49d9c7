// Administration of the stand-in host: installing it, creating and filling
// collections, and listing what a host holds. This is what `qmhost` and the
// tests build hosts with; the tool itself never calls it.
//
// Every function opens the registry and the collection files it needs and
// closes them again before it returns, so any number of processes may
// administer and read one host at the same time. Failures throw qm::Error
// (numbers in host_errors.h); nothing is left half-written by a failure: the
// registry writes of one call are few and ordered so that a collection is
// only listed once its file exists, and every database change is one
// transaction.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "host/lib/host_install.h"

namespace qm::hostadmin {

struct CollectionInfo {
  std::int32_t id = 0;
  QString name;
  std::int32_t kind = 1;  // 1 local, 2 network
  QString file;           // the collection's database file
  bool isDefault = false;
};

struct FolderInfo {
  std::int32_t id = 0;
  std::int32_t parentId = 0;  // 0 for the root
  QString name;
  std::int32_t iconIndex = 0;
  std::int32_t position = 0;  // among its siblings
  std::int32_t depth = 0;     // 0 for the root
};

// A field given as a null QString is stored without a value (SQL NULL);
// an empty but non-null QString is stored as the empty text.
struct NewDocument {
  std::int32_t folderId = 400;
  QString title;
  QString comment;
  QString url;
};

struct DocumentInfo {
  std::int64_t entryId = 0;
  std::int32_t folderId = 0;
  QString title;  // null QString for a field without a value
  QString comment;
  QString url;
};

// Registers a host: the install key of the edition with "AppPath" (installDir,
// given a trailing "/" when it lacks one; the folder is created), its settings
// key, and, when the host has no collection yet, a local default collection
// named "Default" (German edition: "Standard") in installDir. Installing the
// other edition as well is allowed; the German one is found first.
void InstallHost(HostEdition edition, const QString& installDir);

// The registered host, or nothing when none is registered. The same rule the
// tool uses: German when its "AppPath" is not empty, else English when its
// install key exists.
std::optional<HostInstall> FindHost();

// Creates an empty collection (root folder 1 named after it and the reserved
// folders 200, 300, 400, 500, 600, 700) and lists it in the catalog. Without
// a file, the database goes to "<AppPath>collections/<id>.qmdb". A host must
// be installed. The first collection of a host becomes its default.
std::int32_t CreateCollection(const QString& name, bool network, const QString& file = {});

// Takes a collection out of the catalog; its file is left where it is.
void RemoveCollection(std::int32_t collectionId);

void SetDefaultCollection(std::int32_t collectionId);

// Every collection of the catalog in ID order.
std::vector<CollectionInfo> ListCollections();

// Appends a folder after its last sibling and returns its ID (above 1000,
// and never one the collection gave before).
std::int32_t AddFolder(std::int32_t collectionId, std::int32_t parentId, const QString& name,
                       std::int32_t iconIndex);

// Adds documents in one transaction and returns how many were added. The
// source is called until it returns false; each call fills one document.
// EntryIDs are given in order, after every one the collection gave before,
// also to documents deleted since.
std::int64_t AddDocuments(std::int32_t collectionId,
                          const std::function<bool(NewDocument&)>& source);
std::int64_t AddDocuments(std::int32_t collectionId, const std::vector<NewDocument>& documents);

// Deletes documents in one transaction. An EntryID the collection does not
// hold is refused (kUnknownDocument) and nothing is deleted.
void DeleteDocuments(std::int32_t collectionId, const std::vector<std::int64_t>& entryIds);

// Deletes an empty folder (no subfolders, no documents). The root and the
// host's own folders (up to 1000) are kept (kBadArgument), as is a folder
// that is not empty.
void DeleteFolder(std::int32_t collectionId, std::int32_t folderId);

// Documents in EntryID order; with a folder, only those directly in it.
std::vector<DocumentInfo> ListDocuments(std::int32_t collectionId,
                                        std::optional<std::int32_t> folderId = std::nullopt);

// The whole folder tree depth-first from the root, siblings in the host's
// order.
std::vector<FolderInfo> FolderTree(std::int32_t collectionId);

// Many folders and documents at once, in one transaction on one open file:
// what the sample generator and the bookmark import need for large
// collections. Nothing is stored unless Commit() is called; destroying an
// uncommitted writer rolls everything back.
class CollectionWriter {
 public:
  explicit CollectionWriter(std::int32_t collectionId);
  ~CollectionWriter();
  CollectionWriter(const CollectionWriter&) = delete;
  CollectionWriter& operator=(const CollectionWriter&) = delete;

  // As the free AddFolder.
  std::int32_t AddFolder(std::int32_t parentId, const QString& name, std::int32_t iconIndex);
  // Returns the document's EntryID.
  std::int64_t AddDocument(const NewDocument& document);
  void Commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace qm::hostadmin
