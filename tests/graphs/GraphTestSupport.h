#pragma once

#include "RecordingCanvas.h"

#include <string>
#include <utility>
#include <vector>

namespace graphtest {

using canvas::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

// Texts drawn in the column at x, top to bottom as drawn.
inline std::vector<std::string> TextsAt(const RecordingCanvas& c, int x)
{
    std::vector<std::string> out;
    for (const auto& call : c.Of(Kind::Text))
        if (call.x1 == x)
            out.push_back(call.text);
    return out;
}

// Rows of the texts drawn in the column at x.
inline std::vector<int> TextRowsAt(const RecordingCanvas& c, int x)
{
    std::vector<int> out;
    for (const auto& call : c.Of(Kind::Text))
        if (call.x1 == x)
            out.push_back(call.y1);
    return out;
}

// Columns and texts drawn on the row at y.
inline std::vector<std::pair<int, std::string>> TextsOnRow(const RecordingCanvas& c, int y)
{
    std::vector<std::pair<int, std::string>> out;
    for (const auto& call : c.Of(Kind::Text))
        if (call.y1 == y)
            out.emplace_back(call.x1, call.text);
    return out;
}

// Horizontal and vertical segments drawn with the given pen colour.
inline std::vector<RecordingCanvas::Segment> SegmentsIn(const RecordingCanvas& c, canvas::Color color)
{
    std::vector<RecordingCanvas::Segment> out;
    for (const auto& s : c.Segments())
        if (s.state.penColor == color)
            out.push_back(s);
    return out;
}

// Texts drawn on a black background: the markers.
inline std::vector<RecordingCanvas::Call> Markers(const RecordingCanvas& c)
{
    std::vector<RecordingCanvas::Call> out;
    for (const auto& call : c.Of(Kind::Text))
        if (call.state.brushColor == canvas::clBlack)
            out.push_back(call);
    return out;
}

} // namespace graphtest
