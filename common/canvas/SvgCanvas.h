#pragma once

#include "Canvas.h"

#include <sstream>
#include <string>
#include <vector>

namespace canvas {

// A canvas that writes an SVG document, without Qt: for the tools that draw where no Qt is
// installed (the study tool on a compute node). Units are pixels of a 96 dpi screen. Text
// is left to the viewer's fonts (the face named, then sans-serif), so its width is the
// viewer's, not measured here.
class SvgCanvas : public Canvas {
public:
    SvgCanvas(int width, int height, std::string title);

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;

    // Lines are written with a tenth of a pixel, as the windows' SVG files have them.
    double Fineness() const override { return 10; }
    void MoveToF(double x, double y) override;
    void LineToF(double x, double y) override;

    // The whole document, the drawing so far closed.
    std::string Document();

private:
    void Flush();
    // The attributes of a figure drawn in the state: colours, pen, and the cut, if any.
    std::string Style(const State& s, bool filled);
    std::string ClipAttribute(const State& s);

    int width_, height_;
    std::string title_;
    std::ostringstream body_;
    // The polyline being drawn, kept until something else is drawn or the pen changes.
    std::vector<PointF> line_;
    State lineState_;
    PointF pen_;
    std::vector<ClipBox> clips_;
};

} // namespace canvas
