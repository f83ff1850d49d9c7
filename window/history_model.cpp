#include "window/history_model.h"

#include <QTimer>

#include <algorithm>
#include <iterator>
#include <limits>

#include "engine/journal/run_history.h"
#include "engine/journal/undo_run.h"
#include "engine/query/search_field.h"
#include "platform/error.h"
#include "text/mod_resource.h"
#include "window/review_model.h"

namespace qm {

HistoryModel::HistoryModel(TextLanguage language, QObject* parent)
    : QAbstractTableModel(parent), language_(language) {}

void HistoryModel::SetRuns(std::vector<RunRecord> runs) {
  const bool sameRows =
      runs.size() == runs_.size() &&
      std::equal(runs.begin(), runs.end(), runs_.begin(),
                 [](const RunRecord& a, const RunRecord& b) { return a.number == b.number; });
  if (!sameRows) {
    beginResetModel();
    runs_ = std::move(runs);
    endResetModel();
    return;
  }
  runs_ = std::move(runs);
  if (!runs_.empty()) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
  }
}

int HistoryModel::RowOf(std::int64_t number) const {
  const auto found = std::find_if(runs_.begin(), runs_.end(),
                                  [number](const RunRecord& run) { return run.number == number; });
  return found == runs_.end() ? -1 : static_cast<int>(found - runs_.begin());
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(runs_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QString HistoryModel::Cell(const RunRecord& run, int column) const {
  switch (column) {
    case kStarted:
      return RunTime(run, language_);
    case kCollection:
      return run.collectionName;
    case kFolder:
      return FolderText(run, language_);
    case kField:
      return Text(FieldRecordOf(run.field).textId, language_);
    case kMode:
      return ModeText(run, language_);
    case kSearch:
      return OneLine(run.searchText);
    case kReplace:
      return OneLine(run.replaceText);
    case kOptions:
      return OptionsText(run, language_);
    case kDocuments:
      return QString::number(run.documents);
    case kState: {
      const int redo = run.redoneBy != 0 ? RowOf(run.redoneBy) : -1;
      return StateText(run, redo >= 0 ? &runs_[static_cast<std::size_t>(redo)] : nullptr,
                       language_);
    }
    default:
      return {};
  }
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) {
    return {};
  }
  const RunRecord& run = runs_[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole && index.column() == kDocuments) {
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  }
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    return Cell(run, index.column());
  }
  return {};
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static constexpr int kTitles[kColumns] = {
      history_text::kColumnStarted, history_text::kColumnCollection, history_text::kColumnFolder,
      history_text::kColumnField,   history_text::kColumnMode,       history_text::kColumnSearch,
      history_text::kColumnReplace, history_text::kColumnOptions,    history_text::kColumnDocuments,
      history_text::kColumnState};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= kColumns) {
    return {};
  }
  return Text(kTitles[section], language_);
}

RunModel::RunModel(RunRows& rows, TextLanguage language, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), language_(language) {}

void RunModel::SetFilterText(const QString& text) {
  beginResetModel();
  rows_.SetFilter(text);
  published_ = 0;
  pending_.clear();
  endResetModel();
}

void RunModel::ReadPending() {
  while (!pending_.empty()) {
    const std::int64_t row = *pending_.begin();
    std::pair<std::int64_t, std::int64_t> read{row, row};
    try {
      read = rows_.ReadCurrentOf(row);
    } catch (const Error&) {
      // Its rows keep what the journal says; the next look asks again.
    }
    for (auto at = pending_.begin(); at != pending_.end() && *at <= read.second;) {
      at = *at >= read.first ? pending_.erase(at) : std::next(at);
    }
    pending_.erase(row);
    if (read.first < published_) {
      emit dataChanged(index(static_cast<int>(read.first), 0),
                       index(static_cast<int>(std::min<std::int64_t>(read.second, published_ - 1)),
                             kColumns - 1));
    }
  }
}

void RunModel::LookAtMore(const QDeadlineTimer& deadline) {
  if (!rows_.Complete()) {
    rows_.LookAtMore(deadline);
  }
  Publish();
}

bool RunModel::Complete() const { return rows_.Complete() && published_ == rows_.Rows(); }

void RunModel::Publish() {
  const int rows =
      static_cast<int>(std::min<std::int64_t>(rows_.Rows(), std::numeric_limits<int>::max()));
  if (rows > published_) {
    beginInsertRows(QModelIndex(), published_, rows - 1);
    published_ = rows;
    endInsertRows();
  }
}

int RunModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : published_;
}

int RunModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant RunModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= published_ ||
      (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != ReviewModel::kSpansRole)) {
    return {};
  }
  const RunRow* read = nullptr;
  try {
    read = &rows_.Row(index.row());
    if (!read->read) {
      // Shown from the journal now; what the document holds follows once
      // the window's events have run.
      if (pending_.empty()) {
        QTimer::singleShot(0, const_cast<RunModel*>(this),
                           [this] { const_cast<RunModel*>(this)->ReadPending(); });
      }
      pending_.insert(index.row());
    }
  } catch (const Error& error) {
    // A view's question must not throw: the failure shows in the row.
    return index.column() == kDocument && role != ReviewModel::kSpansRole
               ? modResource::printf(Text(review_text::kUnreadable, language_),
                                     {error.description()})
               : QVariant();
  }
  const RunRow& row = *read;
  const bool shown = role == Qt::DisplayRole;
  switch (index.column()) {
    case kDocument:
      return role == ReviewModel::kSpansRole ? QVariant() : shown ? OneLine(row.title) : row.title;
    case kBefore:
      if (role == ReviewModel::kSpansRole) {
        return SpansValue(row.spans, true);
      }
      return shown ? OneLine(row.before) : row.before;
    case kAfter:
      if (role == ReviewModel::kSpansRole) {
        return SpansValue(row.spans, false);
      }
      return shown ? OneLine(row.after) : row.after;
    case kState:
      return role == ReviewModel::kSpansRole ? QVariant()
             : shown                         ? OneLine(row.stateText)
                                             : row.stateText;
    default:
      return {};
  }
}

QVariant RunModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
    return {};
  }
  return section == kState ? Text(history_text::kColumnState, language_)
                           : ChangeColumnTitle(section, language_);
}

}  // namespace qm
