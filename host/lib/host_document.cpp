#include "host/lib/host_document.h"

#include <algorithm>

#include "host/lib/host_collection.h"

namespace qm::host {

SqliteDocument::SqliteDocument(std::shared_ptr<SqliteCollection> collection, std::int64_t entryId,
                               DocumentFields fields)
    : collection_(std::move(collection)), entryId_(entryId), fields_(std::move(fields)) {}

void SqliteDocument::Save() {
  if (std::ranges::none_of(changes_, [](const auto& change) { return change.has_value(); })) {
    return;
  }
  collection_->SaveDocument(entryId_, changes_);
  changes_ = DocumentChanges();
}

void SqliteDocument::Set(std::size_t column, const QString& value) {
  // What was written is text; even an empty one is stored as a value.
  fields_[column] = value.isNull() ? QStringLiteral("") : value;
  changes_[column] = fields_[column];
}

void SqliteDocument::Clear(std::size_t column) {
  fields_[column] = QString();
  changes_[column] = QString();
}

}  // namespace qm::host
