// The recordsets of the stand-in host, and the connection that opens them.
//
// Opening runs the query to its end and keeps every row in memory; the
// database is not touched again, so the rows are a fixed snapshot however
// the documents change afterwards. Whole-number columns (EntryID, the only
// one the tool selects) are kept as plain 64-bit integers: a run over
// hundreds of thousands of rows holds 8 bytes a row. Text columns (a field
// read with its EntryID) are kept as texts, so that a million of them are
// not a million QVariants made and copied. A column that holds anything
// else falls back to QVariant values. A forward-only recordset is the
// prepared statement itself, stepped as it moves.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <vector>

#include "hostlib/host_library.h"

namespace qm::host {

class QueryConnection;

class SqliteConnection : public HostConnection {
 public:
  explicit SqliteConnection(const QString& file);
  ~SqliteConnection() override;
  std::shared_ptr<HostRecordset> OpenRecordset(const QString& queryText) override;
  // Steps the statement as the recordset moves; it keeps the database
  // open as long as it is not closed, also past this connection.
  std::shared_ptr<HostRecordset> OpenForwardOnly(const QString& queryText) override;

 private:
  std::shared_ptr<QueryConnection> queries_;
};

class SqliteRecordset : public HostRecordset {
 public:
  struct Column {
    enum class Kind { kIntegers, kTexts, kValues };
    QString name;
    Kind kind = Kind::kIntegers;
    std::vector<std::int64_t> integers;  // while every value is a whole number
    // While every value is a text or NULL; a NULL is marked apart, since
    // the empty text may read as a null QString.
    std::vector<QString> texts;
    std::vector<bool> nulls;
    std::vector<QVariant> values;  // once neither holds
  };

  SqliteRecordset(std::vector<Column> columns, std::int64_t rows);

  std::int64_t RecordCount() const override;
  bool Eof() const override;
  QVariant Value(const QString& field) const override;
  void MoveNext() override;
  void Close() override;

 private:
  std::vector<Column> columns_;
  std::int64_t rows_ = 0;
  std::int64_t current_ = 0;
  bool closed_ = false;
};

}  // namespace qm::host
