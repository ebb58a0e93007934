#pragma once

#include "Canvas.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPolygon>

class QPaintDevice;

namespace canvas {

// The font of a canvas font, its Windows face resolved through the shared face mapping.
QFont ToQFont(const Font& font);
QColor ToQColor(Color color, const QColor& buttonFace);

// The system button face when there is a GUI application, else the classic light grey.
QColor DefaultButtonFace();

// Paints on any paint device (a widget during its paint event, an image, an SVG or PDF
// writer) with the platform's figure rules: no antialiasing of figures, filled rectangles
// and ellipses exclusive of their right and bottom edges, opaque text backgrounds.
class QPainterCanvas : public Canvas {
public:
    explicit QPainterCanvas(QPaintDevice* device, QColor buttonFace = DefaultButtonFace());
    // Paints with a painter someone else began; it must outlive the canvas.
    explicit QPainterCanvas(QPainter& painter, QColor buttonFace = DefaultButtonFace());
    ~QPainterCanvas() override;

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;

    // Draws whatever line is still gathered; the destructor does it too.
    void Flush();

private:
    void Setup();
    void ApplyPen();
    void ApplyBrush();
    const QFont& CurrentFont();

    QPainter ownPainter_;
    QPainter* painter_;
    QColor buttonFace_;
    // Consecutive LineTo calls with one pen are gathered into one polyline: far fewer
    // calls into the rasteriser for curves of many thousand samples.
    QPolygon pending_;
    State pendingState_;
    int penX_ = 0, penY_ = 0;
    Font fontKey_;
    QFont font_;
    bool fontValid_ = false;
};

} // namespace canvas
