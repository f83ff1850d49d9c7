// The small pictures the modern folder icons carry on top of a folder or a
// cabinet. Each draws into a 16 by 16 icon, mostly into its lower right.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace qm::host {

void DrawStar(QPainter& p, QPointF centre, double radius, const QColor& color);
void DrawNetworkCable(QPainter& p);
void DrawNewDocumentSheet(QPainter& p);
void DrawFlag(QPainter& p, const QColor& color);

// The symbol of icon positions 12, 13 and 19 to 28 (check mark,
// exclamation mark, arrow, no-entry sign, question mark, clock, boxes,
// e-mail, picture, word-processor document, PDF document, person).
void DrawFolderSymbol(QPainter& p, int position);

}  // namespace qm::host
