#include "host/admin/modern_icon_art.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

#include "host/admin/modern_icon_symbols.h"

namespace qm::host {
namespace {

const QColor kManila(0xF2, 0xC7, 0x4E);
const QColor kBlue(0x3A, 0x78, 0xE0);
const QColor kGreen(0x3C, 0xAA, 0x3C);
const QColor kRed(0xD8, 0x36, 0x2E);
const QColor kMagenta(0xC4, 0x3C, 0xC0);
const QColor kGray(0x9A, 0x9A, 0xA0);
const QColor kOrange(0xF0, 0x8A, 0x1E);

// A folder seen from the front: the back with its tab, and the front
// panel a little lighter, both shaded from top to bottom.
void DrawFolder(QPainter& p, const QColor& base) {
  QPainterPath back;
  back.moveTo(0.5, 3.5);
  back.lineTo(5.5, 3.5);
  back.lineTo(7.0, 5.0);
  back.lineTo(15.5, 5.0);
  back.lineTo(15.5, 14.5);
  back.lineTo(0.5, 14.5);
  back.closeSubpath();
  p.setPen(QPen(base.darker(170), 1.0));
  p.setBrush(base.darker(115));
  p.drawPath(back);

  QLinearGradient front(0, 6, 0, 15);
  front.setColorAt(0, base.lighter(135));
  front.setColorAt(1, base);
  p.setBrush(front);
  p.drawRect(QRectF(0.5, 6.5, 15.0, 8.0));
}

// A drawer cabinet, the host's picture of a whole collection.
void DrawCollection(QPainter& p) {
  const QColor wood(0xC8, 0x8A, 0x3C);
  QLinearGradient body(0, 1, 0, 15);
  body.setColorAt(0, wood.lighter(130));
  body.setColorAt(1, wood.darker(110));
  p.setPen(QPen(wood.darker(200), 1.0));
  p.setBrush(body);
  p.drawRoundedRect(QRectF(1.5, 1.5, 13.0, 13.0), 1.5, 1.5);
  p.drawLine(QPointF(2, 8), QPointF(14, 8));
  p.setBrush(QColor(0xF4, 0xF0, 0xE0));
  p.drawRect(QRectF(5.5, 3.5, 5.0, 2.0));
  p.drawRect(QRectF(5.5, 10.0, 5.0, 2.0));
}

void DrawCollectionIcon(QPainter& p, int position) {
  const bool network = position == 3 || position == 4;
  const bool isDefault = position == 2 || position == 4;
  if (network) {
    // The cabinet sits a little higher, on its network cable.
    p.save();
    p.translate(0, -1);
    p.scale(1.0, 0.85);
    DrawCollection(p);
    p.restore();
    DrawNetworkCable(p);
  } else {
    DrawCollection(p);
  }
  if (isDefault) {
    DrawStar(p, QPointF(12.0, 3.8), 3.8, QColor(0xFF, 0xD7, 0x00));
  }
}

}  // namespace

QImage DrawModernIcon(int position) {
  if (position < 1 || position > folder_icons::kCount) {
    return {};
  }
  QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  switch (position) {
    case 1:
    case 2:
    case 3:
    case 4:
      DrawCollectionIcon(p, position);
      break;
    case 5:
      DrawFolder(p, kManila);
      DrawNewDocumentSheet(p);
      break;
    case 6:
      DrawFolder(p, kManila);
      break;
    case 7:
      DrawFolder(p, kBlue);
      break;
    case 8:
      DrawFolder(p, kGreen);
      break;
    case 9:
      DrawFolder(p, kRed);
      break;
    case 10:
      DrawFolder(p, kMagenta);
      break;
    case 11:
      DrawFolder(p, kGray);
      break;
    default: {
      DrawFolder(p, kManila);
      static const std::array<QColor, 5> flagColors = {kRed, kBlue, kGreen, kOrange, kMagenta};
      if (position >= 14 && position <= 18) {
        DrawFlag(p, flagColors[static_cast<std::size_t>(position - 14)]);
      } else {
        DrawFolderSymbol(p, position);
      }
      break;
    }
  }
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace qm::host
