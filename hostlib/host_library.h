// The contract of the host's object library: the collections, folders and
// documents of the host, and the database connection over its documents.
//
// Objects are shared like COM references: every accessor hands out a
// std::shared_ptr, and an object stays usable as long as somebody holds it.
// Every operation may fail; a failure is thrown as qm::Error and never
// returned. IDs are 32-bit signed; folder 1 is the root of a collection and
// stands for the whole collection, folder 400 its folder of new documents.
//
// It is a seam, the same on Linux and on Windows: a program chooses the
// library that fulfils it by what it links. On both systems today that is
// the stand-in over SQLite (host/); a client of the host's real COM library
// would be a second one. Nothing that uses this header knows how it is made.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

class QWidget;

namespace qm {

class HostCollection;
class HostFolderList;

// A query's rows, read-only. A snapshot (OpenRecordset) fetches every row
// when it opens and keeps no tie to the database afterwards; a forward-only
// recordset (OpenForwardOnly) reads each row as it moves to it.
class HostRecordset {
 public:
  virtual ~HostRecordset() = default;
  // -1 for a forward-only recordset: its rows are not known before the end.
  virtual std::int64_t RecordCount() const = 0;
  // True once the current row is past the last one. (Named Eof because EOF
  // is a macro of the C library.)
  virtual bool Eof() const = 0;
  // The value of a column of the current row; throws past the end or for a
  // column the query did not select.
  virtual QVariant Value(const QString& field) const = 0;
  virtual void MoveNext() = 0;
  virtual void Close() = 0;
};

// An open connection to one collection's database.
class HostConnection {
 public:
  virtual ~HostConnection() = default;
  // Runs a query text and returns its detached snapshot. Refuses anything
  // but a single read-only statement.
  virtual std::shared_ptr<HostRecordset> OpenRecordset(const QString& queryText) = 0;
  // The same query read as the recordset moves on, for one pass over many
  // rows that keeps none of them: no row is copied ahead, and a value is
  // made only when asked for. It holds the database's read until it is
  // closed, so a caller reads it through and closes it before anything else
  // may run (window events included). A library without such cursors gives
  // its snapshot, which reads the same.
  virtual std::shared_ptr<HostRecordset> OpenForwardOnly(const QString& queryText) {
    return OpenRecordset(queryText);
  }
};

class HostDocument {
 public:
  virtual ~HostDocument() = default;
  // A field the host keeps without a value reads as the empty text; it is a
  // null QString, so that a caller that must tell the two apart can.
  virtual QString Title() const = 0;
  virtual void SetTitle(const QString& value) = 0;
  virtual QString Comment() const = 0;
  virtual void SetComment(const QString& value) = 0;
  virtual QString Url() const = 0;
  virtual void SetUrl(const QString& value) = 0;
  // Takes a field's value away, as the host keeps a field never filled: it
  // reads as a null text afterwards. (The setters always store a text, even
  // an empty one.)
  virtual void ClearTitle() = 0;
  virtual void ClearComment() = 0;
  virtual void ClearUrl() = 0;
  // Stores what was written, in one transaction.
  virtual void Save() = 0;
};

class HostFolder {
 public:
  virtual ~HostFolder() = default;
  virtual std::int32_t ID() const = 0;
  virtual QString Name() const = 0;
  // 0 for the plain folder icon, n >= 1 for the n-th folder symbol.
  virtual std::int32_t IconIndex() const = 0;
  virtual std::shared_ptr<HostCollection> Collection() const = 0;
  virtual std::shared_ptr<HostFolderList> SubFolders() const = 0;
};

// The direct subfolders of one folder, in the host's order.
class HostFolderList {
 public:
  virtual ~HostFolderList() = default;
  virtual std::int32_t Count() const = 0;
  // 0-based position in the host's order.
  virtual std::shared_ptr<HostFolder> Item(std::int32_t index) const = 0;
};

class HostCollection {
 public:
  virtual ~HostCollection() = default;
  virtual std::int32_t ID() const = 0;
  virtual QString Name() const = 0;
  // 1 for a local collection; any other value is a network collection.
  virtual std::int32_t Kind() const = 0;
  // What tells this collection from every other one, now and later: never
  // the same for two collections, even when one has the ID the other had
  // (deleted and created again, or in the other edition's catalog). An
  // opaque text, compared as a whole.
  virtual QString Identity() const = 0;
  virtual std::shared_ptr<HostConnection> Connection() = 0;
  virtual std::shared_ptr<HostFolder> GetFolder(std::int32_t folderId) = 0;
  // entryId is the value a recordset delivered for the column EntryID.
  virtual std::shared_ptr<HostDocument> GetDocument(const QVariant& entryId) = 0;
};

class HostCollectionList {
 public:
  virtual ~HostCollectionList() = default;
  virtual std::int32_t Count() const = 0;
  // The collection whose ID, in decimal digits, is the key.
  virtual std::shared_ptr<HostCollection> Item(const QVariant& key) const = 0;
};

class HostApplication {
 public:
  virtual ~HostApplication() = default;
  virtual std::shared_ptr<HostCollection> DefaultCollection() = 0;
  virtual std::shared_ptr<HostCollectionList> Collections() = 0;
  // The host's modal folder chooser. Sizes in twips; the four sizes are
  // passed by reference as the host's interface has them, and nothing is
  // read back. Returns nullptr when the user cancels.
  virtual std::shared_ptr<HostFolder> ChooseFolder(QWidget* owner, const QString& caption,
                                                   const QString& prompt, std::int32_t flags,
                                                   std::int32_t& left, std::int32_t& top,
                                                   std::int32_t& width, std::int32_t& height,
                                                   std::int32_t reserved1, std::int32_t reserved2,
                                                   std::int32_t reserved3,
                                                   std::int32_t reserved4) = 0;
};

// Creates the host library's root object. Throws qm::Error when no host is
// registered on this machine.
std::shared_ptr<HostApplication> CreateHostApplication();

}  // namespace qm
