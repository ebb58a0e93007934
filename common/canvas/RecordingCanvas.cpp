#include "RecordingCanvas.h"

namespace canvas {

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    calls_.push_back({Kind::Rectangle, x1, y1, x2, y2, {}, state()});
}

void RecordingCanvas::MoveTo(int x, int y)
{
    calls_.push_back({Kind::MoveTo, x, y, 0, 0, {}, state()});
    penX_ = x;
    penY_ = y;
}

void RecordingCanvas::LineTo(int x, int y)
{
    // The start is kept in x2, y2 so that Segments() needs no replay.
    calls_.push_back({Kind::LineTo, x, y, penX_, penY_, {}, state()});
    penX_ = x;
    penY_ = y;
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    calls_.push_back({Kind::Ellipse, x1, y1, x2, y2, {}, state()});
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    calls_.push_back({Kind::Text, x, y, 0, 0, text, state()});
}

std::vector<RecordingCanvas::Call> RecordingCanvas::Of(Kind kind) const
{
    std::vector<Call> out;
    for (const Call& call : calls_)
        if (call.kind == kind)
            out.push_back(call);
    return out;
}

std::vector<RecordingCanvas::Segment> RecordingCanvas::Segments() const
{
    std::vector<Segment> out;
    for (const Call& call : calls_)
        if (call.kind == Kind::LineTo)
            out.push_back({call.x2, call.y2, call.x1, call.y1, call.state});
    return out;
}

void RecordingCanvas::Clear()
{
    calls_.clear();
    penX_ = penY_ = 0;
}

} // namespace canvas
