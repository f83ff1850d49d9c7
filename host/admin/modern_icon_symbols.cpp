#include "host/admin/modern_icon_symbols.h"

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace qm::host {
namespace {

const QColor kOutline(0x30, 0x30, 0x30);
const QColor kPaper(0xFC, 0xFC, 0xFC);

void DrawDisc(QPainter& p, const QColor& fill) {
  p.setPen(QPen(fill.darker(170), 1.0));
  p.setBrush(fill);
  p.drawEllipse(QRectF(6.5, 6.5, 9.0, 9.0));
}

void DrawPage(QPainter& p) {
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
  p.setBrush(kPaper);
  p.drawRect(QRectF(8.5, 5.5, 7.0, 10.0));
}

void DrawCheckMark(QPainter& p) {
  p.setPen(QPen(QColor(0x10, 0x80, 0x10), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(7.5, 10.5), QPointF(10.0, 13.5), QPointF(15.0, 6.5)}));
}

void DrawExclamationMark(QPainter& p) {
  QPainterPath triangle;
  triangle.moveTo(11.0, 5.5);
  triangle.lineTo(15.5, 15.0);
  triangle.lineTo(6.5, 15.0);
  triangle.closeSubpath();
  p.setPen(QPen(QColor(0xA0, 0x70, 0x00), 1.0));
  p.setBrush(QColor(0xFF, 0xD0, 0x20));
  p.drawPath(triangle);
  p.setPen(Qt::NoPen);
  p.setBrush(kOutline);
  p.drawRect(QRectF(10.3, 8.0, 1.4, 4.0));
  p.drawRect(QRectF(10.3, 12.8, 1.4, 1.3));
}

void DrawArrow(QPainter& p) {
  QPainterPath arrow;
  arrow.moveTo(6.5, 9.5);
  arrow.lineTo(10.5, 9.5);
  arrow.lineTo(10.5, 6.5);
  arrow.lineTo(15.5, 11.0);
  arrow.lineTo(10.5, 15.5);
  arrow.lineTo(10.5, 12.5);
  arrow.lineTo(6.5, 12.5);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(0x10, 0x30, 0x90), 1.0));
  p.setBrush(QColor(0x30, 0x70, 0xF0));
  p.drawPath(arrow);
}

void DrawNoEntry(QPainter& p) {
  DrawDisc(p, QColor(0xE0, 0x20, 0x20));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(8.0, 10.2, 6.0, 1.6));
}

void DrawQuestionMark(QPainter& p) {
  DrawDisc(p, QColor(0x20, 0x60, 0xD0));
  p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath hook;
  hook.moveTo(9.3, 9.6);
  hook.arcTo(QRectF(9.3, 7.8, 3.4, 3.2), 180, -250);
  hook.lineTo(11.0, 12.3);
  p.drawPath(hook);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(10.3, 13.2, 1.4, 1.4));
}

void DrawClock(QPainter& p) {
  DrawDisc(p, kPaper);
  p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.0, 11.0), QPointF(11.0, 8.0));
  p.drawLine(QPointF(11.0, 11.0), QPointF(13.2, 12.2));
}

void DrawBoxes(QPainter& p) {
  p.setPen(QPen(QColor(0x70, 0x48, 0x18), 1.0));
  p.setBrush(QColor(0xD8, 0xA0, 0x58));
  p.drawRect(QRectF(6.5, 11.5, 4.0, 4.0));
  p.drawRect(QRectF(11.5, 11.5, 4.0, 4.0));
  p.drawRect(QRectF(9.0, 7.0, 4.0, 4.0));
}

void DrawEnvelope(QPainter& p) {
  p.setPen(QPen(QColor(0x50, 0x50, 0x70), 1.0));
  p.setBrush(kPaper);
  p.drawRect(QRectF(6.5, 8.5, 9.0, 6.5));
  p.drawPolyline(QPolygonF({QPointF(6.5, 8.5), QPointF(11.0, 12.0), QPointF(15.5, 8.5)}));
}

void DrawPicture(QPainter& p) {
  p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1.0));
  p.setBrush(QColor(0xA8, 0xD8, 0xFF));
  p.drawRect(QRectF(6.5, 7.5, 9.0, 8.0));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0x98, 0x30));
  p.drawPolygon(QPolygonF(
      {QPointF(7, 15), QPointF(10, 10.5), QPointF(12, 13), QPointF(13.5, 11.5), QPointF(15, 15)}));
  p.setBrush(QColor(0xFF, 0xD0, 0x00));
  p.drawEllipse(QRectF(12.0, 8.3, 2.2, 2.2));
}

void DrawWordDocument(QPainter& p) {
  DrawPage(p);
  p.setPen(QPen(QColor(0x20, 0x50, 0xB0), 1.0));
  for (double y = 8.0; y <= 14.0; y += 2.0) {
    p.drawLine(QPointF(10.0, y), QPointF(14.5, y));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x50, 0xB0));
  p.drawRect(QRectF(6.0, 9.0, 4.5, 4.5));
}

void DrawPdfDocument(QPainter& p) {
  DrawPage(p);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xD0, 0x10, 0x10));
  p.drawRect(QRectF(6.0, 9.5, 8.5, 4.0));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(7.0, 10.5, 1.0, 2.0));
  p.drawRect(QRectF(9.5, 10.5, 1.0, 2.0));
  p.drawRect(QRectF(12.0, 10.5, 1.0, 2.0));
}

void DrawPerson(QPainter& p) {
  p.setPen(QPen(QColor(0x40, 0x30, 0x20), 1.0));
  p.setBrush(QColor(0x30, 0x80, 0x40));
  p.drawChord(QRectF(6.5, 11.0, 9.0, 9.0), 0, 180 * 16);
  p.setBrush(QColor(0xF0, 0xC8, 0xA0));
  p.drawEllipse(QRectF(8.7, 6.5, 4.6, 4.6));
}

}  // namespace

void DrawStar(QPainter& p, QPointF centre, double radius, const QColor& color) {
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 == 0 ? radius : radius * 0.45;
    const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    star << QPointF(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
  }
  p.setPen(QPen(color.darker(160), 0.8));
  p.setBrush(color);
  p.drawPolygon(star);
}

void DrawNetworkCable(QPainter& p) {
  p.setPen(QPen(QColor(0x30, 0x50, 0x90), 1.4));
  p.drawLine(QPointF(8.0, 12.0), QPointF(8.0, 14.5));
  p.drawLine(QPointF(1.0, 14.5), QPointF(15.0, 14.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x30, 0x50, 0x90));
  p.drawRect(QRectF(6.5, 13.0, 3.0, 3.0));
}

void DrawNewDocumentSheet(QPainter& p) {
  p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.0));
  p.setBrush(kPaper);
  p.drawRect(QRectF(3.5, 1.5, 7.0, 8.0));
  DrawStar(p, QPointF(11.8, 4.5), 3.8, QColor(0xFF, 0x90, 0x10));
}

void DrawFlag(QPainter& p, const QColor& color) {
  p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.2));
  p.drawLine(QPointF(8.0, 6.0), QPointF(8.0, 16.0));
  QPainterPath cloth;
  cloth.moveTo(8.5, 6.5);
  cloth.cubicTo(11.0, 5.5, 12.5, 8.0, 15.5, 6.8);
  cloth.lineTo(15.5, 11.8);
  cloth.cubicTo(12.5, 13.0, 11.0, 10.5, 8.5, 11.5);
  cloth.closeSubpath();
  p.setPen(QPen(color.darker(170), 1.0));
  p.setBrush(color);
  p.drawPath(cloth);
}

void DrawFolderSymbol(QPainter& p, int position) {
  switch (position) {
    case 12:
      DrawCheckMark(p);
      break;
    case 13:
      DrawExclamationMark(p);
      break;
    case 19:
      DrawArrow(p);
      break;
    case 20:
      DrawNoEntry(p);
      break;
    case 21:
      DrawQuestionMark(p);
      break;
    case 22:
      DrawClock(p);
      break;
    case 23:
      DrawBoxes(p);
      break;
    case 24:
      DrawEnvelope(p);
      break;
    case 25:
      DrawPicture(p);
      break;
    case 26:
      DrawWordDocument(p);
      break;
    case 27:
      DrawPdfDocument(p);
      break;
    case 28:
      DrawPerson(p);
      break;
    default:
      break;
  }
}

}  // namespace qm::host
