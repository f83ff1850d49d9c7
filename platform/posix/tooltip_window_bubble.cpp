#include "platform/posix/tooltip_window_bubble.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

namespace qm::platform {
namespace {

constexpr int kTitleGap = 4;   // below the title, and between icon and title
constexpr int kLargeIcon = 4;  // icons 4 to 6 are the large forms of 1 to 3

int IconExtent(int icon) {
  if (icon <= tip::kIconNone || icon > tip::kIconLastStandard) {
    return 0;
  }
  return icon >= kLargeIcon ? 32 : 16;
}

QStyle::StandardPixmap IconPixmap(int icon) {
  switch ((icon - 1) % 3) {
    case 0:
      return QStyle::SP_MessageBoxInformation;
    case 1:
      return QStyle::SP_MessageBoxWarning;
    default:
      return QStyle::SP_MessageBoxCritical;
  }
}

QFont TitleFont(const QFont& font) {
  QFont bold = font;
  bold.setBold(true);
  return bold;
}

QSize TextSize(const QString& text, const QFont& font, int maxTipWidth) {
  const QFontMetrics metrics(font);
  if (maxTipWidth < 0) {
    return metrics.size(0, text);
  }
  return metrics.boundingRect(QRect(0, 0, maxTipWidth, 1 << 20), Qt::TextWordWrap, text).size();
}

}  // namespace

BubbleLayout LayOutBubble(const BubbleContent& content, const QFont& font) {
  BubbleLayout layout;
  const int left = kBubbleFrame + kBubblePadding + content.margin.left;
  const int top = kBubbleFrame + kBubblePadding + content.margin.top;
  int y = top;
  int width = 0;
  if (!content.title.isEmpty()) {
    const int iconSide = IconExtent(content.icon);
    const QSize titleSize = QFontMetrics(TitleFont(font)).size(Qt::TextSingleLine, content.title);
    const int rowHeight = std::max(iconSide, titleSize.height());
    int x = left;
    if (iconSide > 0) {
      layout.icon = QRect(x, y + (rowHeight - iconSide) / 2, iconSide, iconSide);
      x += iconSide + kTitleGap;
    }
    layout.title = QRect(QPoint(x, y + (rowHeight - titleSize.height()) / 2), titleSize);
    width = x + titleSize.width() - left;
    y += rowHeight + kTitleGap;
  }
  const QSize textSize = TextSize(content.text, font, content.maxTipWidth);
  layout.text = QRect(QPoint(left, y), textSize);
  width = std::max(width, textSize.width());
  const int height = y + textSize.height() - top;
  TipRect outer{0, 0, width, height};
  AdjustBubbleRect(true, content.margin, outer);
  layout.size = QSize(outer.right - outer.left, outer.bottom - outer.top);
  return layout;
}

std::uint32_t ToColorRef(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) |
         (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

QColor FromColorRef(std::uint32_t color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QWidget* WidgetOf(WindowHandle handle) {
  return handle == 0 ? nullptr : QWidget::find(static_cast<WId>(handle));
}

void AdjustBubbleRect(bool larger, const TipRect& margin, TipRect& rect) {
  const int sign = larger ? 1 : -1;
  const int inside = kBubbleFrame + kBubblePadding;
  rect.left -= sign * (inside + margin.left);
  rect.top -= sign * (inside + margin.top);
  rect.right += sign * (inside + margin.right);
  rect.bottom += sign * (inside + margin.bottom);
}

TipBubble::TipBubble(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      icon_(new QLabel(this)),
      title_(new QLabel(this)),
      text_(new QLabel(this)) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAutoFillBackground(true);
  setFont(QToolTip::font());
  icon_->setObjectName(QStringLiteral("icon"));
  title_->setObjectName(QStringLiteral("title"));
  text_->setObjectName(QStringLiteral("text"));
  title_->setFont(TitleFont(font()));
  for (QLabel* label : {title_, text_}) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
}

void TipBubble::Show(const BubbleContent& content, const QPoint& at) {
  const BubbleLayout layout = LayOutBubble(content, font());
  icon_->setVisible(!layout.icon.isEmpty());
  if (!layout.icon.isEmpty()) {
    icon_->setPixmap(style()->standardIcon(IconPixmap(content.icon)).pixmap(layout.icon.size()));
    icon_->setGeometry(layout.icon);
  }
  title_->setVisible(!layout.title.isEmpty());
  title_->setText(content.title);
  title_->setGeometry(layout.title);
  text_->setWordWrap(content.maxTipWidth >= 0);
  text_->setText(content.text);
  text_->setGeometry(layout.text);
  setFixedSize(layout.size);
  move(at);
  show();
  update();
}

void TipBubble::SetColors(const QColor& background, const QColor& text) {
  QPalette colors = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colors.setColor(group, QPalette::Window, background);
    colors.setColor(group, QPalette::ToolTipBase, background);
    colors.setColor(group, QPalette::WindowText, text);
    colors.setColor(group, QPalette::ToolTipText, text);
  }
  setPalette(colors);
}

void TipBubble::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace qm::platform
