#pragma once

#include "PanelTypes.h"

#include <QRect>
#include <QSize>

namespace glpanel {

struct PrinterMetrics {
    int dpiX = 0;    // printer pixels per inch
    int dpiY = 0;
    QSize page;      // printable area in printer pixels
};

// Where the picture lands on the page: 0.18 inch in from the printable area's corner,
// sized by the scale mode. Proportional scaling with a resolution below 1 takes 96 and
// writes it back into pixelsPerInch.
QRect PrintPlacement(TOpenGLPrintScale scale, QSize picture, const PrinterMetrics& printer, int& pixelsPerInch);

} // namespace glpanel
