#include "host/lib/host_recordset.h"

#include <sqlite3.h>

#include "host/lib/host_errors.h"
#include "host/lib/query_guard.h"

namespace qm::host {
namespace {

QString ColumnText(sqlite3_stmt* statement, int column) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

QVariant ColumnValue(sqlite3_stmt* statement, int column) {
  switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
      return QVariant(static_cast<qlonglong>(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
      return QVariant(ColumnText(statement, column));
    case SQLITE_BLOB: {
      const auto* blob = static_cast<const char*>(sqlite3_column_blob(statement, column));
      return QVariant(QByteArray(blob, sqlite3_column_bytes(statement, column)));
    }
    default:
      return QVariant();
  }
}

using Kind = SqliteRecordset::Column::Kind;

void MakeValues(SqliteRecordset::Column& column) {
  if (column.kind == Kind::kIntegers) {
    column.values.reserve(column.integers.capacity());
    for (std::int64_t value : column.integers) {
      column.values.emplace_back(static_cast<qlonglong>(value));
    }
  } else {
    column.values.reserve(column.texts.capacity());
    for (std::size_t row = 0; row < column.texts.size(); ++row) {
      column.values.push_back(column.nulls[row] ? QVariant() : QVariant(column.texts[row]));
    }
  }
  column.integers = std::vector<std::int64_t>();
  column.texts = std::vector<QString>();
  column.nulls = std::vector<bool>();
  column.kind = Kind::kValues;
}

void Append(SqliteRecordset::Column& column, sqlite3_stmt* statement, int index) {
  const int type = sqlite3_column_type(statement, index);
  if (column.kind == Kind::kIntegers) {
    if (type == SQLITE_INTEGER) {
      column.integers.push_back(sqlite3_column_int64(statement, index));
      return;
    }
    if (column.integers.empty() && (type == SQLITE_TEXT || type == SQLITE_NULL)) {
      column.kind = Kind::kTexts;
    } else {
      MakeValues(column);
    }
  }
  if (column.kind == Kind::kTexts) {
    if (type == SQLITE_TEXT || type == SQLITE_NULL) {
      column.nulls.push_back(type == SQLITE_NULL);
      column.texts.push_back(type == SQLITE_NULL ? QString() : ColumnText(statement, index));
      return;
    }
    MakeValues(column);
  }
  column.values.push_back(ColumnValue(statement, index));
}

// The rules both recordsets keep, in the same words.
void RequireOpen(bool closed) {
  if (closed) {
    Throw(errc::kRecordset, kLibrarySource, QStringLiteral("The recordset is closed."));
  }
}

void RequireRow(bool pastTheEnd) {
  if (pastTheEnd) {
    Throw(errc::kRecordset, kLibrarySource,
          QStringLiteral("The recordset has no current row: it is past its last row."));
  }
}

void RequireNextRow(bool pastTheEnd) {
  if (pastTheEnd) {
    Throw(errc::kRecordset, kLibrarySource,
          QStringLiteral("The recordset cannot move on: it is past its last row."));
  }
}

// The index of the column `field` names among `count` columns, whose names
// nameAt(i) gives. Callers name a column as the query did, row after row;
// the exact name is found much faster than one in another case.
template <typename NameAt>
std::size_t FindColumn(std::size_t count, const NameAt& nameAt, const QString& field) {
  for (std::size_t i = 0; i < count; ++i) {
    if (nameAt(i) == field) {
      return i;
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (nameAt(i).compare(field, Qt::CaseInsensitive) == 0) {
      return i;
    }
  }
  Throw(errc::kRecordset, kLibrarySource,
        QStringLiteral("The recordset has no field named \"%1\".").arg(field));
}

// The statement stepped as the recordset moves: a value is made from the
// current row only when asked for, and nothing is kept of the rows passed.
class ForwardRecordset final : public HostRecordset {
 public:
  ForwardRecordset(std::shared_ptr<QueryConnection> queries, PreparedQuery statement)
      : queries_(std::move(queries)), statement_(std::move(statement)) {
    const int count = sqlite3_column_count(statement_.get());
    names_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      names_.push_back(QString::fromUtf8(sqlite3_column_name(statement_.get(), i)));
    }
    Step();
  }

  std::int64_t RecordCount() const override {
    RequireOpen(closed_);
    return -1;
  }
  bool Eof() const override {
    RequireOpen(closed_);
    return eof_;
  }
  QVariant Value(const QString& field) const override {
    RequireOpen(closed_);
    RequireRow(eof_);
    const auto name = [this](std::size_t i) -> const QString& { return names_[i]; };
    return ColumnValue(statement_.get(), static_cast<int>(FindColumn(names_.size(), name, field)));
  }
  void MoveNext() override {
    RequireOpen(closed_);
    RequireNextRow(eof_);
    Step();
  }
  void Close() override {
    closed_ = true;
    statement_.reset();
  }

 private:
  void Step() {
    const int rc = sqlite3_step(statement_.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
      queries_->db().Fail("Running the query", rc);
    }
    eof_ = rc == SQLITE_DONE;
  }
  std::shared_ptr<QueryConnection> queries_;
  PreparedQuery statement_;
  std::vector<QString> names_;
  bool eof_ = false;
  bool closed_ = false;
};

}  // namespace

SqliteConnection::SqliteConnection(const QString& file)
    : queries_(std::make_shared<QueryConnection>(file)) {}

SqliteConnection::~SqliteConnection() = default;

std::shared_ptr<HostRecordset> SqliteConnection::OpenRecordset(const QString& queryText) {
  PreparedQuery statement = queries_->Prepare(queryText);
  const int count = sqlite3_column_count(statement.get());
  std::vector<SqliteRecordset::Column> columns(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    columns[static_cast<std::size_t>(i)].name =
        QString::fromUtf8(sqlite3_column_name(statement.get(), i));
  }
  std::int64_t rows = 0;
  for (;;) {
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_DONE) {
      break;
    }
    if (rc != SQLITE_ROW) {
      queries_->db().Fail("Running the query", rc);
    }
    for (int i = 0; i < count; ++i) {
      Append(columns[static_cast<std::size_t>(i)], statement.get(), i);
    }
    ++rows;
  }
  for (auto& column : columns) {
    column.integers.shrink_to_fit();
  }
  return std::make_shared<SqliteRecordset>(std::move(columns), rows);
}

std::shared_ptr<HostRecordset> SqliteConnection::OpenForwardOnly(const QString& queryText) {
  return std::make_shared<ForwardRecordset>(queries_, queries_->Prepare(queryText));
}

SqliteRecordset::SqliteRecordset(std::vector<Column> columns, std::int64_t rows)
    : columns_(std::move(columns)), rows_(rows) {}

std::int64_t SqliteRecordset::RecordCount() const {
  RequireOpen(closed_);
  return rows_;
}

bool SqliteRecordset::Eof() const {
  RequireOpen(closed_);
  return current_ >= rows_;
}

QVariant SqliteRecordset::Value(const QString& field) const {
  RequireOpen(closed_);
  RequireRow(current_ >= rows_);
  const auto name = [this](std::size_t i) -> const QString& { return columns_[i].name; };
  const Column& column = columns_[FindColumn(columns_.size(), name, field)];
  const auto row = static_cast<std::size_t>(current_);
  switch (column.kind) {
    case Column::Kind::kIntegers:
      return QVariant(static_cast<qlonglong>(column.integers[row]));
    case Column::Kind::kTexts:
      return column.nulls[row] ? QVariant() : QVariant(column.texts[row]);
    case Column::Kind::kValues:
      break;
  }
  return column.values[row];
}

void SqliteRecordset::MoveNext() {
  RequireOpen(closed_);
  RequireNextRow(current_ >= rows_);
  ++current_;
}

void SqliteRecordset::Close() {
  closed_ = true;
  columns_ = std::vector<Column>();
}

}  // namespace qm::host
