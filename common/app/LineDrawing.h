#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

class QPainter;

namespace gyroapp {

// Readies a painter for the main windows' line drawings of the devices: white paper,
// the drawing of the given size scaled to fit and centred, black lines of the given
// width, italic Times New Roman letters of the given pixel height.
void BeginLineDrawing(QPainter& p, QSizeF paper, QSizeF drawing, double lineWidth, int letterHeight);

// A letter of a line drawing, in drawing units: text whose baseline starts at `at`, and
// an index written after it a little lower and smaller (x with index 1 reads x₁).
struct DrawingLabel {
    QPointF at;
    QString text;
    QString index;
};

void DrawLabels(QPainter& p, const std::vector<DrawingLabel>& labels);

// The boxes the labels' ink takes on the paper, in the painter's device pixels.
std::vector<QRectF> LabelBoxes(const QPainter& p, const std::vector<DrawingLabel>& labels);

} // namespace gyroapp
