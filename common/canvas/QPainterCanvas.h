#pragma once

#include "Canvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QSet>
#include <QSize>

class QPaintDevice;

namespace canvas {

// The font of a canvas font, its Windows face resolved through the shared face mapping.
QFont ToQFont(const Font& font);
QColor ToQColor(Color color, const QColor& buttonFace);

// The system button face when there is a GUI application, else the classic light grey.
QColor DefaultButtonFace();

// Paints on any paint device (a widget during its paint event, an image, an SVG or PDF
// writer) with the platform's figure rules: no antialiasing of figures, filled rectangles
// and ellipses exclusive of their right and bottom edges, a one-pixel line-to without its
// final pixel, opaque text backgrounds.
class QPainterCanvas : public Canvas {
public:
    explicit QPainterCanvas(QPaintDevice* device, QColor buttonFace = DefaultButtonFace());
    // Paints with a painter someone else began; it must outlive the canvas. A fineness above 1
    // (device steps per pixel of the drawing: vector files, paper) takes lines as true
    // polylines through points between pixels instead of the pixels a screen would light.
    explicit QPainterCanvas(QPainter& painter, QColor buttonFace = DefaultButtonFace(), double fineness = 1);
    ~QPainterCanvas() override;

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;

    double Fineness() const override { return fineness_; }
    void MoveToF(double x, double y) override;
    void LineToF(double x, double y) override;

    // Draws whatever line is still gathered; the destructor does it too.
    void Flush();

private:
    void Setup();
    void ApplyPen();
    void ApplyClip(const State& s);
    void ApplyBrush();
    const QFont& CurrentFont();
    void FlushPixels();
    void FlushFine();
    bool PendingPenDiffers() const;

    QPainter ownPainter_;
    QPainter* painter_;
    QColor buttonFace_;
    double fineness_ = 1;
    // Consecutive LineTo calls with one pen are gathered into one polyline: far fewer
    // calls into the rasteriser for curves of many thousand samples.
    QPolygon pending_;
    QPolygonF pendingFine_;
    State pendingState_;
    int penX_ = 0, penY_ = 0;
    QPointF penFine_;
    // The dots drawn one after another with one pen and brush: a dot drawn again over
    // itself changes nothing, and a portrait of many samples repeats many.
    QSet<quint64> dots_;
    State dotsState_;
    QSize dotsSize_;
    QImage dot_; // such a dot, painted once

    Font fontKey_;
    QFont font_;
    bool fontValid_ = false;
};

} // namespace canvas
