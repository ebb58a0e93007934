#pragma once

#include "Canvas.h"

#include <span>
#include <vector>

// Lines through many thousand points, handed to a canvas as only what its surface can show.
namespace canvas {

// The consecutive points of a line that share a pixel column, as far as the pixels go:
// the first, the lowest and the highest row and which of the two came first, the last.
struct PixelColumn {
    int x = 0, first = 0, low = 0, high = 0, last = 0;
    bool lowFirst = true;

    void Start(int column, int y)
    {
        x = column;
        first = low = high = last = y;
        lowFirst = true;
    }
    void Take(int y)
    {
        lowFirst = y < low ? false : y > high ? true : lowFirst;
        low = y < low ? y : low;
        high = y > high ? y : high;
        last = y;
    }
};

// On a surface of whole pixels, consecutive points that share a pixel column cover exactly
// the column's rows from their lowest to their highest, besides the joins into the columns
// on either side. A PixelPolyline hands the canvas per column only its first point, its two
// extremes in the order they came and its last point: the same pixels from at most four
// points a column, however many points fall into it.
class PixelPolyline {
public:
    explicit PixelPolyline(Canvas& c) : c_(c) {}

    void Add(int x, int y)
    {
        if (open_ && x == column_.x) {
            column_.Take(y);
            return;
        }
        if (open_)
            Emit(column_);
        column_.Start(x, y);
        open_ = true;
    }

    // The next point starts a new line.
    void Break()
    {
        if (open_)
            Emit(column_);
        open_ = joined_ = false;
    }

    // Hands over the last column; the line ends there.
    void Finish() { Break(); }

    // Hands one closed column to the canvas, for callers that gather columns themselves
    // (in registers, where a hot loop wants them) instead of through Add.
    void Emit(PixelColumn column);

private:
    void To(int x, int y);

    Canvas& c_;
    PixelColumn column_;
    bool open_ = false;   // column_ is being gathered
    bool joined_ = false; // the next column continues the line drawn so far
    int penY_ = 0;
};

// On a surface finer than pixels (vector files, paper) a line keeps its true points, thinned
// to what the surface resolves, a grid of 1 / fineness of a pixel: per column of a few grid
// steps its two extremes in the order they came, placed on the grid, then every point that
// lies within half a grid step of the line through the points kept around it is dropped. A
// smooth curve keeps a few points a pixel, a dense one at most two a column: a band of
// oscillations looks the same at any zoom with a zigzag every eighth of a pixel.
class FinePolyline {
public:
    FinePolyline(Canvas& c, double fineness);

    // A finite point; beyond a million pixels it is kept at that distance.
    void Add(double x, double y);
    void Break();
    void Finish() { Break(); }

    // Grid steps a column spans.
    static constexpr double ColumnSteps = 2.5;

private:
    void CloseColumn();

    Canvas& c_;
    double fineness_;
    std::vector<PointF> points_; // the columns' points of the line being gathered
    bool open_ = false;
    double column_ = 0;
    PointF low_{}, high_{};
    unsigned count_ = 0, lowAt_ = 0, highAt_ = 0;
};

// Which points stay when every point within tolerance of the line through the points kept
// around it goes (Ramer-Douglas-Peucker); the first and the last always stay.
std::vector<bool> KeptPoints(std::span<const PointF> points, double tolerance);

} // namespace canvas
