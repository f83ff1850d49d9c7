#include "window/review_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>

#include "window/review_model.h"

namespace qm {
namespace {

constexpr QColor kRemovedText(0x9c, 0x00, 0x06);
constexpr QColor kRemovedGround(0xff, 0xd7, 0xd9);
constexpr QColor kInsertedText(0x00, 0x61, 0x00);
constexpr QColor kInsertedGround(0xc6, 0xef, 0xce);

struct Span {
  int start;
  int length;
};

std::vector<Span> SpansOf(const QModelIndex& index) {
  const QList<int> flat = index.data(ReviewModel::kSpansRole).value<QList<int>>();
  std::vector<Span> spans;
  for (qsizetype i = 0; i + 1 < flat.size(); i += 2) {
    spans.push_back({flat[i], flat[i + 1]});
  }
  return spans;
}

QTextCharFormat MarkFormat(bool removed) {
  QTextCharFormat format;
  format.setForeground(removed ? kRemovedText : kInsertedText);
  format.setBackground(removed ? kRemovedGround : kInsertedGround);
  format.setFontStrikeOut(removed);
  format.setFontUnderline(!removed);
  return format;
}

}  // namespace

void ReviewDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  if (index.column() == ReviewModel::kDocument) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem item = option;
  initStyleOption(&item, index);
  const QString text = item.text;
  item.text.clear();
  const QWidget* widget = item.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

  const bool removed = index.column() == ReviewModel::kBefore;
  const std::vector<Span> spans = SpansOf(index);
  QList<QTextLayout::FormatRange> formats;
  for (const Span& span : spans) {
    if (span.length > 0) {
      formats.append({span.start, span.length, MarkFormat(removed)});
    }
  }
  QTextLayout layout(text, item.font);
  QTextOption textOption;
  textOption.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(textOption);
  layout.setFormats(formats);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) {
    line.setLineWidth(1e6);
  }
  layout.endLayout();
  if (!line.isValid()) {
    return;
  }

  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect area = item.rect.adjusted(margin, 0, -margin, 0);
  const QString ellipsis(QChar(0x2026));
  const int ellipsisWidth = item.fontMetrics.horizontalAdvance(ellipsis);
  // A first change that would end past the cell's edge is brought to a
  // quarter of the cell's width, with what stands before it in front.
  qreal shift = 0;
  if (!spans.empty()) {
    const qreal start = line.cursorToX(spans.front().start);
    const qreal end = line.cursorToX(spans.front().start + spans.front().length);
    if (end > area.width() && start > area.width() / 4.0) {
      // From the start of a character, so that none shows cut in half.
      shift = line.cursorToX(line.xToCursor(start - area.width() / 4.0));
    }
  }
  const bool selected = (item.state & QStyle::State_Selected) != 0;
  painter->save();
  painter->setClipRect(area);
  painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const qreal top = area.top() + (area.height() - line.height()) / 2.0;
  qreal left = area.left();
  if (shift > 0) {
    painter->drawText(QPointF(area.left(), top + line.ascent()), ellipsis);
    left += ellipsisWidth - shift;
    painter->setClipRect(area.adjusted(ellipsisWidth, 0, 0, 0));
  }
  layout.draw(painter, QPointF(left, top));
  if (!removed) {
    for (const Span& span : spans) {
      if (span.length == 0) {
        const qreal x = left + line.cursorToX(span.start);
        painter->fillRect(QRectF(x - 1, top, 2, line.height()), kInsertedText);
      }
    }
  }
  painter->restore();
}

}  // namespace qm
