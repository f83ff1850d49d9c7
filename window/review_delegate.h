// Draws the Before and After columns of a review with what changes marked:
// removed text in red, struck through, inserted text in green, underlined,
// each on a pale ground of its colour, so that the marks read without
// colour too. Where a removal inserts nothing, a thin green bar stands in
// the gap. A value wider than its cell is shown from a little before its
// first change, with an ellipsis in front, so that the change is always in
// sight.
#pragma once

#include <QStyledItemDelegate>

namespace qm {

class ReviewDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace qm
