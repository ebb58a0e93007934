#include "PanelPrinting.h"

#include <algorithm>
#include <cmath>

namespace glpanel {

QRect PrintPlacement(TOpenGLPrintScale scale, QSize picture, const PrinterMetrics& printer, int& pixelsPerInch)
{
    const int marginX = int(printer.dpiX * 0.18);
    const int marginY = int(printer.dpiY * 0.18);
    if (picture.isEmpty()) return {};
    int ex = picture.width();
    int ey = picture.height();
    switch (scale) {
    case pglPrintToFit: {
        // The largest size of the same proportions inside the margins. Scaling by whole
        // multiples of the picture would stretch one side, and print nothing at all for a
        // picture larger than the page.
        const int w = printer.page.width() - 2 * marginX;
        const int h = printer.page.height() - 2 * marginY;
        const double k = std::min(double(w) / picture.width(), double(h) / picture.height());
        ex = std::max(0, int(picture.width() * k));
        ey = std::max(0, int(picture.height() * k));
        break;
    }
    case pglProportional:
        if (pixelsPerInch < 1) pixelsPerInch = 96;
        ex = int(double(picture.width()) / pixelsPerInch * printer.dpiX);
        ey = int(double(picture.height()) / pixelsPerInch * printer.dpiY);
        break;
    case pglNone:
        break;
    }
    return QRect(marginX, marginY, ex, ey);
}

} // namespace glpanel
