// The runs of the journal as a table for the history window, latest begun
// first, one row a run; and one run's documents as a table for its look
// inside (the Before and After cells marked as the review marks them).
#pragma once

#include <QAbstractTableModel>
#include <QDeadlineTimer>

#include <set>
#include <vector>

#include "engine/journal/journal_records.h"
#include "engine/journal/run_rows.h"
#include "text/texts.h"
#include "window/review_model.h"

namespace qm {

class HistoryModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kStarted,
    kCollection,
    kFolder,
    kField,
    kMode,
    kSearch,
    kReplace,
    kOptions,
    kDocuments,
    kState,
    kColumns
  };

  explicit HistoryModel(TextLanguage language, QObject* parent = nullptr);

  // The runs as the journal now has them; rows whose run is the same keep
  // their place for the view (its selection and scroll stay).
  void SetRuns(std::vector<RunRecord> runs);
  const std::vector<RunRecord>& Runs() const { return runs_; }
  // The row of a run; -1 when it is not there.
  int RowOf(std::int64_t number) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QString Cell(const RunRecord& run, int column) const;

  TextLanguage language_;
  std::vector<RunRecord> runs_;
};

class RunModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The first three as the review's, whose delegate draws them.
  enum Column {
    kDocument = ReviewModel::kDocument,
    kBefore = ReviewModel::kBefore,
    kAfter = ReviewModel::kAfter,
    kState,
    kColumns
  };

  RunModel(RunRows& rows, TextLanguage language, QObject* parent = nullptr);

  void SetFilterText(const QString& text);
  const QString& FilterText() const { return rows_.Filter(); }
  // Finds further rows and shows them, at the end.
  void LookAtMore(const QDeadlineTimer& deadline);
  bool Complete() const;
  RunRows& Rows() const { return rows_; }
  // Rows shown whose documents are still to be read (their state follows).
  bool StatesPending() const { return !pending_.empty(); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void Publish();
  // Reads what the documents of the rows shown meanwhile hold now.
  void ReadPending();

  RunRows& rows_;
  TextLanguage language_;
  int published_ = 0;
  // Rows asked for whose page is still to be read from the host.
  mutable std::set<std::int64_t> pending_;
};

}  // namespace qm
