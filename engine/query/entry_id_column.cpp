#include "engine/query/entry_id_column.h"

#include <QString>

namespace qm {

void EntryIdColumn::Reserve(std::int64_t count) {
  if (count > 0 && !mixed_) {
    integers_.reserve(static_cast<std::size_t>(count));
  }
}

void EntryIdColumn::Append(const QVariant& entryId) {
  if (!mixed_) {
    if (entryId.typeId() == QMetaType::LongLong && WholeNumber(entryId)) {
      integers_.push_back(entryId.toLongLong());
      return;
    }
    MakeMixed();
  }
  values_.push_back(entryId);
}

void EntryIdColumn::MakeMixed() {
  values_.reserve(integers_.capacity());
  for (const std::int64_t id : integers_) {
    values_.emplace_back(static_cast<qlonglong>(id));
  }
  integers_ = std::vector<std::int64_t>();
  mixed_ = true;
}

std::int64_t EntryIdColumn::Size() const {
  return static_cast<std::int64_t>(mixed_ ? values_.size() : integers_.size());
}

QVariant EntryIdColumn::At(std::int64_t index) const {
  const auto i = static_cast<std::size_t>(index);
  return mixed_ ? values_.at(i) : QVariant(static_cast<qlonglong>(integers_.at(i)));
}

std::span<const std::int64_t> EntryIdColumn::Whole(std::int64_t first, std::int64_t end) const {
  return std::span<const std::int64_t>(integers_).subspan(static_cast<std::size_t>(first),
                                                          static_cast<std::size_t>(end - first));
}

EntryIdColumn ReadEntryIds(HostRecordset& recordset, std::int64_t expected) {
  static const QString kEntryId = QStringLiteral("EntryID");
  EntryIdColumn column;
  column.Reserve(expected);
  while (!recordset.Eof()) {
    column.Append(recordset.Value(kEntryId));
    recordset.MoveNext();
  }
  return column;
}

}  // namespace qm
