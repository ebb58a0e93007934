#include "LineDrawing.h"

#include "Fonts.h"

#include <QPainter>

#include <algorithm>

namespace gyroapp {

void BeginLineDrawing(QPainter& p, QSizeF paper, QSizeF drawing, double lineWidth, int letterHeight)
{
    p.fillRect(QRectF(QPointF(0, 0), paper), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = std::min(paper.width() / drawing.width(), paper.height() / drawing.height());
    p.translate((paper.width() - drawing.width() * scale) / 2, (paper.height() - drawing.height() * scale) / 2);
    p.scale(scale, scale);

    QPen pen(Qt::black, lineWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QFont letters = WindowsFont(QStringLiteral("Times New Roman"), letterHeight);
    letters.setItalic(true);
    p.setFont(letters);
}

} // namespace gyroapp
