#pragma once

#include <QSizeF>

class QPainter;

namespace gyroapp {

// Readies a painter for the main windows' line drawings of the devices: white paper,
// the drawing of the given size scaled to fit and centred, black lines of the given
// width, italic Times New Roman letters of the given pixel height.
void BeginLineDrawing(QPainter& p, QSizeF paper, QSizeF drawing, double lineWidth, int letterHeight);

} // namespace gyroapp
