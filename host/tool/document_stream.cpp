#include "host/tool/document_stream.h"

#include "host/lib/collection_db.h"
#include "host/lib/host_errors.h"

namespace qm::qmhost {

void ForEachDocument(std::int32_t collectionId, std::optional<std::int32_t> folderId,
                     const std::function<void(const hostadmin::DocumentInfo&)>& visit) {
  QString file;
  for (const auto& collection : hostadmin::ListCollections()) {
    if (collection.id == collectionId) file = collection.file;
  }
  if (file.isEmpty()) {
    host::Throw(host::errc::kUnknownCollection, host::kAdminSource,
                QStringLiteral("There is no collection with the ID %1.").arg(collectionId));
  }
  const host::SqliteDb db = host::OpenCollectionDbReadOnly(file);
  host::Statement select(db, folderId
                                 ? "SELECT EntryID, VisibleInFolderID, Title, Comment, Url FROM "
                                   "Document WHERE VisibleInFolderID = ?1 ORDER BY EntryID"
                                 : "SELECT EntryID, VisibleInFolderID, Title, Comment, Url FROM "
                                   "Document ORDER BY EntryID");
  if (folderId) select.Bind(1, std::int64_t{*folderId});
  hostadmin::DocumentInfo document;
  while (select.Step("Listing documents")) {
    document.entryId = select.Int(0);
    document.folderId = static_cast<std::int32_t>(select.Int(1));
    document.title = select.Text(2);
    document.comment = select.Text(3);
    document.url = select.Text(4);
    visit(document);
  }
}

}  // namespace qm::qmhost
