#include "engine/review/checked_documents.h"

#include "platform/error.h"

namespace qm {
namespace {

[[noreturn]] void Refuse(const QString& why) { throw Error(-1, QStringLiteral("QMReplace"), why); }

}  // namespace

CheckedDocuments::CheckedDocuments(std::shared_ptr<const ReviewList> list)
    : list_(std::move(list)) {
  if (!list_->Complete()) {
    Refuse(QStringLiteral("The review has not looked at every document yet."));
  }
  row_ = NextChecked(0);
}

void CheckedDocuments::CheckOpen() const {
  if (!list_) {
    Refuse(QStringLiteral("The checked documents are closed."));
  }
}

std::int64_t CheckedDocuments::NextChecked(std::int64_t row) const {
  const std::int64_t rows = list_->Rows(ReviewSection::Changes);
  while (row < rows && !list_->Checked(row)) {
    ++row;
  }
  return row;
}

std::int64_t CheckedDocuments::RecordCount() const {
  CheckOpen();
  return list_->CheckedCount();
}

bool CheckedDocuments::Eof() const {
  CheckOpen();
  return row_ >= list_->Rows(ReviewSection::Changes);
}

QVariant CheckedDocuments::Value(const QString& field) const {
  if (Eof()) {
    Refuse(QStringLiteral("The checked documents have no current row: they are past the last."));
  }
  if (field.compare(QLatin1String("EntryID"), Qt::CaseInsensitive) != 0) {
    Refuse(QStringLiteral("The checked documents have no field named \"%1\".").arg(field));
  }
  return list_->EntryId(ReviewSection::Changes, row_);
}

ValueDigest CheckedDocuments::ShownDigest() const {
  if (Eof()) {
    Refuse(QStringLiteral("The checked documents have no current row: they are past the last."));
  }
  return list_->ShownDigest(row_);
}

void CheckedDocuments::MoveNext() {
  if (Eof()) {
    Refuse(QStringLiteral("The checked documents cannot move on: they are past the last."));
  }
  row_ = NextChecked(row_ + 1);
}

void CheckedDocuments::Close() { list_.reset(); }

}  // namespace qm
