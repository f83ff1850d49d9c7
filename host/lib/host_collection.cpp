#include "host/lib/host_collection.h"

#include <QFileInfo>

#include <string>
#include <string_view>

#include <sqlite3.h>

#include "host/lib/collection_db.h"
#include "host/lib/host_errors.h"
#include "host/lib/host_recordset.h"
#include "platform/whole_number.h"

namespace qm::host {
namespace {

// Reads every field of one document: "SELECT Title, Comment, ... WHERE EntryID = ?1".
std::string SelectFieldsSql() {
  std::string sql = "SELECT ";
  for (std::string_view column : kDocumentColumns) {
    sql.append(column).append(", ");
  }
  sql.resize(sql.size() - 2);
  return sql + " FROM Document WHERE EntryID = ?1";
}

// Column i's parameters in UpdateFieldsSql(): whether to store it, and what.
int StoreParameter(std::size_t column) { return static_cast<int>(2 * column + 1); }
int ValueParameter(std::size_t column) { return static_cast<int>(2 * column + 2); }
constexpr int kEntryIdParameter = static_cast<int>(2 * kDocumentColumns.size() + 1);

// Stores only the fields a document changed: a column whose store flag is
// off keeps what it holds, even if the host wrote it since it was read.
std::string UpdateFieldsSql() {
  std::string sql = "UPDATE Document SET ";
  for (std::size_t i = 0; i < kDocumentColumns.size(); ++i) {
    const std::string column(kDocumentColumns[i]);
    sql += column + " = iif(?" + std::to_string(StoreParameter(i)) + ", ?" +
           std::to_string(ValueParameter(i)) + ", " + column + "), ";
  }
  sql.resize(sql.size() - 2);
  return sql + " WHERE EntryID = ?" + std::to_string(kEntryIdParameter);
}

std::int64_t EntryIdFrom(const QVariant& value) {
  // The stand-in names its documents by number; a text of digits names the
  // document of that number, as a host that hands out texts would.
  bool ok = false;
  std::optional<std::int64_t> whole = WholeNumber(value);
  const qlonglong id = whole                                  ? *whole
                       : value.typeId() == QMetaType::QString ? value.toString().toLongLong(&ok)
                                                              : 0;
  ok = ok || whole.has_value();
  if (!ok) {
    Throw(errc::kBadArgument, kLibrarySource,
          QStringLiteral("\"%1\" is not a document's EntryID.").arg(value.toString()));
  }
  return id;
}

}  // namespace

SqliteCollection::SqliteCollection(CatalogEntry entry, const QString& edition)
    : entry_(std::move(entry)),
      db_(OpenCollectionDb(entry_.file)),
      identity_(edition + QLatin1Char('\n') + QFileInfo(entry_.file).absoluteFilePath() +
                QLatin1Char('\n') + ReadCollectionStamp(db_)),
      folderById_(db_, "SELECT ID, ParentID, Name, IconIndex FROM Folder WHERE ID = ?1"),
      allFolders_(db_,
                  "SELECT ID, ParentID, Name, IconIndex FROM Folder "
                  "ORDER BY ParentID, Position, ID"),
      documentById_(db_, SelectFieldsSql().c_str()),
      updateDocument_(db_, UpdateFieldsSql().c_str()),
      // IMMEDIATE takes the write lock at once, waiting out the busy timeout
      // for a host that is writing, rather than failing at the first write.
      // Both are prepared once: a run saves document after document.
      begin_(db_, "BEGIN IMMEDIATE", "Starting to save a document"),
      commit_(db_, "COMMIT", "Saving a document") {}

SqliteCollection::~SqliteCollection() = default;

std::shared_ptr<HostConnection> SqliteCollection::Connection() {
  if (!connection_) {
    connection_ = std::make_shared<SqliteConnection>(entry_.file);
  }
  return connection_;
}

std::shared_ptr<HostFolder> SqliteCollection::GetFolder(std::int32_t folderId) {
  StatementUse use(folderById_);
  use->Bind(1, std::int64_t{folderId});
  if (!use->Step("Reading a folder")) {
    Throw(errc::kUnknownFolder, kLibrarySource,
          QStringLiteral("The collection \"%1\" has no folder with the ID %2.")
              .arg(entry_.name)
              .arg(folderId));
  }
  FolderRow row{static_cast<std::int32_t>(use->Int(0)), static_cast<std::int32_t>(use->Int(1)),
                use->Text(2), static_cast<std::int32_t>(use->Int(3))};
  return MakeFolder(shared_from_this(), std::move(row));
}

std::shared_ptr<HostDocument> SqliteCollection::GetDocument(const QVariant& entryId) {
  const std::int64_t id = EntryIdFrom(entryId);
  StatementUse use(documentById_);
  use->Bind(1, id);
  if (!use->Step("Reading a document")) {
    Throw(errc::kUnknownDocument, kLibrarySource,
          QStringLiteral("The collection \"%1\" has no document with the EntryID %2.")
              .arg(entry_.name)
              .arg(id));
  }
  DocumentFields fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    fields[i] = use->Text(static_cast<int>(i));
  }
  return std::make_shared<SqliteDocument>(shared_from_this(), id, std::move(fields));
}

std::vector<FolderRow> SqliteCollection::AllFolderRows() {
  std::vector<FolderRow> rows;
  StatementUse use(allFolders_);
  while (use->Step("Reading the folder tree")) {
    rows.push_back(FolderRow{static_cast<std::int32_t>(use->Int(0)),
                             static_cast<std::int32_t>(use->Int(1)), use->Text(2),
                             static_cast<std::int32_t>(use->Int(3))});
  }
  return rows;
}

void SqliteCollection::SaveDocument(std::int64_t entryId, const DocumentChanges& changes) {
  sqlite::Transaction transaction(begin_, commit_);
  {
    StatementUse use(updateDocument_);
    for (std::size_t i = 0; i < changes.size(); ++i) {
      use->Bind(StoreParameter(i), std::int64_t{changes[i].has_value() ? 1 : 0});
      use->Bind(ValueParameter(i), changes[i].value_or(QString()));
    }
    use->Bind(kEntryIdParameter, entryId);
    use->Step("Saving a document");
  }
  if (sqlite3_changes(db_.get()) == 0) {
    Throw(errc::kDocumentGone, kLibrarySource,
          QStringLiteral("The document with the EntryID %1 could not be saved: it was deleted "
                         "from the collection \"%2\".")
              .arg(entryId)
              .arg(entry_.name));
  }
  transaction.Commit();
}

}  // namespace qm::host
