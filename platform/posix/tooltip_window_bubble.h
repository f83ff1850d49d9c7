// The Linux tooltip's bubble: a top-level Qt::ToolTip window with an icon, a
// bold title and the tip text, framed in the text colour.
//
// Its children are QLabels named "icon", "title" and "text", so that anyone
// may read what a shown tip says; its palette's Window and WindowText roles
// are the tip's colours. The size of a bubble comes from BubbleLayout alone,
// so that the size conversions and the window that is shown always agree.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include "platform/tooltip_window.h"

class QLabel;

namespace qm::platform {

// What a bubble shows and how it is set.
struct BubbleContent {
  QString text;
  QString title;
  int icon = tip::kIconNone;
  int maxTipWidth = -1;  // text area width; -1: as wide as the text
  TipRect margin;
};

// Every bubble has a one-pixel frame and this much space inside it, around
// the margins the caller sets.
inline constexpr int kBubbleFrame = 1;
inline constexpr int kBubblePadding = 2;

struct BubbleLayout {
  QRect icon;   // empty without an icon
  QRect title;  // empty without a title
  QRect text;
  QSize size;
};

// Where everything of `content` goes in a bubble drawn with `font`.
BubbleLayout LayOutBubble(const BubbleContent& content, const QFont& font);

// Grows (larger) or shrinks a rectangle by the frame, padding and margins.
void AdjustBubbleRect(bool larger, const TipRect& margin, TipRect& rect);

// COLORREF (0x00BBGGRR) to and from a colour.
std::uint32_t ToColorRef(const QColor& color);
QColor FromColorRef(std::uint32_t color);

// The widget a window handle names, or null; the handle is looked up, never
// dereferenced.
QWidget* WidgetOf(WindowHandle handle);

class TipBubble final : public QWidget {
 public:
  explicit TipBubble(QWidget* owner);

  void Show(const BubbleContent& content, const QPoint& at);
  void SetColors(const QColor& background, const QColor& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* icon_;
  QLabel* title_;
  QLabel* text_;
};

}  // namespace qm::platform
