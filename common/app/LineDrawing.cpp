#include "LineDrawing.h"

#include "Fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace gyroapp {

namespace {

QFont IndexFont(const QFont& letters)
{
    QFont small = letters;
    small.setPixelSize(letters.pixelSize() * 2 / 3);
    return small;
}

QPointF IndexOrigin(const QFont& letters, const DrawingLabel& label)
{
    return label.at + QPointF(QFontMetricsF(letters).horizontalAdvance(label.text) + 1, 4);
}

} // namespace

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

void DrawLabels(QPainter& p, const std::vector<DrawingLabel>& labels)
{
    const QFont letters = p.font();
    for (const DrawingLabel& label : labels) {
        p.drawText(label.at, label.text);
        if (label.index.isEmpty())
            continue;
        p.setFont(IndexFont(letters));
        p.drawText(IndexOrigin(letters, label), label.index);
        p.setFont(letters);
    }
}

std::vector<QRectF> LabelBoxes(const QPainter& p, const std::vector<DrawingLabel>& labels)
{
    const QFont letters = p.font();
    const QFontMetricsF metrics(letters);
    const QFontMetricsF indexMetrics(IndexFont(letters));
    std::vector<QRectF> boxes;
    for (const DrawingLabel& label : labels) {
        QRectF box = metrics.tightBoundingRect(label.text).translated(label.at);
        if (!label.index.isEmpty())
            box |= indexMetrics.tightBoundingRect(label.index).translated(IndexOrigin(letters, label));
        boxes.push_back(p.transform().mapRect(box));
    }
    return boxes;
}

} // namespace gyroapp
