#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

namespace canvas {

// Keeps every figure drawn, with the pen, brush and font it was drawn with, so that tests
// can check coordinates, texts and colours exactly.
class RecordingCanvas : public Canvas {
public:
    enum class Kind { Rectangle, MoveTo, LineTo, Ellipse, Text };

    struct Call {
        Kind kind;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // MoveTo, LineTo and Text use x1, y1 only
        std::string text;
        State state;
    };

    // A straight piece drawn by one LineTo, from the position before it.
    struct Segment {
        int x1, y1, x2, y2;
        State state;
    };

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void TextOut(int x, int y, const std::string& text) override;

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> Of(Kind kind) const;
    std::vector<Segment> Segments() const;
    void Clear();

private:
    std::vector<Call> calls_;
    int penX_ = 0, penY_ = 0;
};

} // namespace canvas
