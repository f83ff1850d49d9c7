// One collection's database file: its tables, and how every connection to
// it is set up.
//
//   Folder(ID INTEGER PRIMARY KEY, ParentID, Name, IconIndex, Position)
//     indexed on (ParentID, Position); the root has ID 1 and ParentID 0.
//   Document(EntryID, VisibleInFolderID, a TEXT column for each field in
//     kDocumentColumns of host_document.h)
//     clustered by folder: WITHOUT ROWID with the primary key
//     (VisibleInFolderID, EntryID), so that a whole-collection scan runs at
//     table speed and a folder list reads only its folders' rows; a unique
//     index on EntryID finds one document.
//
//   CollectionStamp(Stamp)
//     one row, a random text given when the file was made: the same ID or
//     the same file name may come back for another collection, the stamp
//     does not. Files made before it have no such table.
//
//   IdCounter(Name, Next)
//     the ID the next document ('EntryID') and the next folder ('FolderID')
//     get. An ID is never given twice, not even after its document or
//     folder was deleted, as in the host's own database: undo finds a
//     run's documents by EntryID, and must not take a newer document for
//     one that is gone. Files made before it get it the first time
//     documents or folders are added or deleted (ReadIdCounters).
//
// The file carries an application ID and a schema version, so that a file
// that is no collection of this host is refused before anything is read.
// It holds the user's texts and is made owner-only.
// It runs in WAL mode: the tool reads while the host writes.
#pragma once

#include <QString>

#include <cstdint>

#include "host/lib/sqlite_db.h"

namespace qm::host {

inline constexpr std::int32_t kRootFolderId = 1;
inline constexpr std::int32_t kNewDocumentsFolderId = 400;
inline constexpr std::int32_t kLastReservedFolderId = 1000;
// The host may hold the write lock for a while; waiting this long is better
// than failing a document halfway through a run.
inline constexpr int kBusyTimeoutMs = 5000;

// For the library and the administration: reads and writes, the
// case-folding LIKE, double-quoted string literals, the busy timeout.
// Throws kNotACollection for a missing file or one that is no collection.
SqliteDb OpenCollectionDb(const QString& file);

// For query texts handed in from outside: as above but read-only.
SqliteDb OpenCollectionDbReadOnly(const QString& file);

// The reserved folders every collection has below its root.
struct ReservedFolder {
  std::int32_t id;
  const char* englishName;
  const char* germanName;
};
inline constexpr ReservedFolder kReservedFolders[] = {
    {200, "Search Results", "Suchergebnisse"}, {300, "Recently Visited", "Zuletzt besucht"},
    {400, "New Documents", "Neue Dokumente"},  {500, "Recycle Bin", "Papierkorb"},
    {600, "Favorites", "Favoriten"},           {700, "Archive", "Archiv"},
};

// The stamp the file was made with; empty for a file made before stamps.
QString ReadCollectionStamp(const SqliteDb& db);

// The IDs the next document and the next folder get.
struct IdCounters {
  std::int64_t entryId = 1;
  std::int64_t folderId = kLastReservedFolderId + 1;
};

// Inside a write transaction, before the file's documents or folders are
// added or deleted: makes the counters of a file made before them and raises
// them past every ID the file holds (another program may have added rows
// without counting them), stores that, and returns where they stand.
IdCounters ReadIdCounters(const SqliteDb& db);
// In the same transaction, after the inserts: where the counters stand now.
void WriteIdCounters(const SqliteDb& db, const IdCounters& next);

// Makes a new collection file with its root folder (named rootName) and the
// reserved folders. Refuses a file that exists; removes what it made when it
// fails.
void CreateCollectionFile(const QString& file, const QString& rootName, bool german);

}  // namespace qm::host
