#include "window/review_model.h"

#include <QColor>

#include <algorithm>
#include <limits>

#include "text/mod_resource.h"
#include "text/texts.h"

namespace qm {

QVariant SpansValue(const std::vector<RewriteSpan>& spans, bool before) {
  QList<int> flat;
  flat.reserve(static_cast<qsizetype>(spans.size()) * 2);
  for (const RewriteSpan& span : spans) {
    flat << static_cast<int>(before ? span.before : span.after)
         << static_cast<int>(before ? span.beforeLength : span.afterLength);
  }
  return QVariant::fromValue(flat);
}

QString OneLine(const QString& text) {
  QString line = text;
  for (QChar& c : line) {
    if (c == QLatin1Char('\n')) {
      c = QChar(0x21B5);
    } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
      c = QChar(0x00B7);
    }
  }
  return line;
}

ReviewModel::ReviewModel(ReviewList& list, ReviewSection section, TextLanguage language,
                         QObject* parent)
    : QAbstractTableModel(parent),
      list_(list),
      section_(section),
      language_(language),
      filter_(std::make_unique<ReviewFilter>(list, section, QString())) {}

void ReviewModel::SetFilterText(const QString& text) {
  beginResetModel();
  filter_ = std::make_unique<ReviewFilter>(list_, section_, text);
  published_ = 0;
  endResetModel();
}

void ReviewModel::LookAtMore(const QDeadlineTimer& deadline) {
  filter_->LookAtMore(deadline);
  Publish();
}

bool ReviewModel::Complete() const { return filter_->Complete() && published_ == filter_->Rows(); }

void ReviewModel::Publish() {
  // Qt counts rows in int; a review that large shows its first 2^31 - 1.
  const int rows =
      static_cast<int>(std::min<std::int64_t>(filter_->Rows(), std::numeric_limits<int>::max()));
  if (rows > published_) {
    beginInsertRows(QModelIndex(), published_, rows - 1);
    published_ = rows;
    endInsertRows();
  }
}

bool ReviewModel::Checked(int row) const {
  return section_ == ReviewSection::Changes && list_.Checked(SectionRow(row));
}

void ReviewModel::SetChecked(int first, int last, bool checked) {
  if (section_ != ReviewSection::Changes || first > last) {
    return;
  }
  if (filter_->Text().isEmpty()) {
    list_.SetChecked(first, last, checked);
  } else {
    for (int row = first; row <= last; ++row) {
      const std::int64_t sectionRow = SectionRow(row);
      list_.SetChecked(sectionRow, sectionRow, checked);
    }
  }
  emit dataChanged(index(first, kDocument), index(last, kDocument), {Qt::CheckStateRole});
  emit checksChanged();
}

void ReviewModel::SetChecked(const QItemSelection& selection, bool checked) {
  for (const QItemSelectionRange& range : selection) {
    SetChecked(range.top(), range.bottom(), checked);
  }
}

void ReviewModel::SetAllChecked(bool checked) { SetChecked(0, published_ - 1, checked); }

int ReviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : published_;
}

int ReviewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= published_) {
    return QVariant();
  }
  if (role == Qt::CheckStateRole) {
    if (section_ != ReviewSection::Changes || index.column() != kDocument) {
      return QVariant();
    }
    return Checked(index.row()) ? Qt::Checked : Qt::Unchecked;
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != kSpansRole) {
    return QVariant();
  }
  const ReviewRow row = list_.Row(section_, SectionRow(index.row()));
  if (!row.failure.isEmpty()) {
    if (index.column() != kDocument || role == kSpansRole) {
      return QVariant();
    }
    return modResource::printf(Text(review_text::kUnreadable, language_), {row.failure});
  }
  switch (index.column()) {
    case kDocument:
      if (role == kSpansRole) {
        return QVariant();
      }
      return role == Qt::DisplayRole ? OneLine(row.title) : row.title;
    case kBefore:
      if (role == kSpansRole) {
        return row.changes ? SpansValue(row.spans, true) : QVariant::fromValue(QList<int>());
      }
      return role == Qt::DisplayRole ? OneLine(row.before) : row.before;
    case kAfter:
      if (role == kSpansRole) {
        return row.changes ? SpansValue(row.spans, false) : QVariant::fromValue(QList<int>());
      }
      return role == Qt::DisplayRole ? OneLine(row.after) : row.after;
    default:
      return QVariant();
  }
}

bool ReviewModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() != kDocument ||
      section_ != ReviewSection::Changes) {
    return false;
  }
  SetChecked(index.row(), index.row(), static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked);
  return true;
}

Qt::ItemFlags ReviewModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index);
  if (index.isValid() && section_ == ReviewSection::Changes && index.column() == kDocument) {
    flags |= Qt::ItemIsUserCheckable;
  }
  return flags;
}

QVariant ReviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return QVariant();
  }
  return ChangeColumnTitle(section, language_);
}

QString ChangeColumnTitle(int column, TextLanguage language) {
  switch (column) {
    case ReviewModel::kDocument:
      return Text(review_text::kColumnDocument, language);
    case ReviewModel::kBefore:
      return Text(review_text::kColumnBefore, language);
    case ReviewModel::kAfter:
      return Text(review_text::kColumnAfter, language);
    default:
      return {};
  }
}

}  // namespace qm
