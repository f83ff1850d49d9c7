// One section of a review list as a table for the review window: the document
// (with the check box of a document that changes), its field before and its
// field after. Rows are read from their documents only when a view asks for
// them; no widget and no copy of the texts per row.
//
// The rows shown are those of the model's filter. New rows reach the views
// only through Publish(), always at the end, so that what a user looks at
// never moves while the list is still being made.
#pragma once

#include <QAbstractTableModel>
#include <QDeadlineTimer>
#include <QItemSelection>

#include <memory>

#include "engine/review/review_filter.h"
#include "engine/review/review_list.h"
#include "text/texts.h"

namespace qm {

class ReviewModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kDocument, kBefore, kAfter, kColumns };
  // Before and After: where the rewrite took text out (Before) or put text
  // in (After), as a QList<int> of start and length pairs in the shown text.
  static constexpr int kSpansRole = Qt::UserRole + 1;

  ReviewModel(ReviewList& list, ReviewSection section, TextLanguage language,
              QObject* parent = nullptr);

  ReviewSection Section() const { return section_; }
  // Starts the filter again with another text; the view then shows no rows
  // until Publish().
  void SetFilterText(const QString& text);
  const QString& FilterText() const { return filter_->Text(); }
  // Tests further rows for the filter and publishes what it found.
  void LookAtMore(const QDeadlineTimer& deadline);
  // Every row the list will have is tested and shown.
  bool Complete() const;

  // Check boxes of shown rows (Changes only): a range of shown rows, every
  // row of a selection, or every shown row.
  void SetChecked(int first, int last, bool checked);
  void SetChecked(const QItemSelection& selection, bool checked);
  void SetAllChecked(bool checked);
  bool Checked(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 signals:
  // A check box changed: the count of checked documents follows.
  void checksChanged();

 private:
  void Publish();
  std::int64_t SectionRow(int row) const { return filter_->SectionRow(row); }

  ReviewList& list_;
  ReviewSection section_;
  TextLanguage language_;
  std::unique_ptr<ReviewFilter> filter_;
  int published_ = 0;
};

// A field's text as one line: every character stands where it stood, so
// that the spans still fit (a line break shows as a return arrow, any other
// control character as a middle dot).
QString OneLine(const QString& text);

// The title of the Document, Before or After column (a column number of
// ReviewModel); empty for any other.
QString ChangeColumnTitle(int column, TextLanguage language);

// The spans a Before (or After) cell is given through kSpansRole.
QVariant SpansValue(const std::vector<RewriteSpan>& spans, bool before);

}  // namespace qm
