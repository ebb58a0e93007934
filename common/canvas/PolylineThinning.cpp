#include "PolylineThinning.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace canvas {

void PixelPolyline::To(int x, int y)
{
    if (y != penY_) {
        c_.LineTo(x, y);
        penY_ = y;
    }
}

void PixelPolyline::Emit(PixelColumn column)
{
    if (joined_)
        c_.LineTo(column.x, column.first);
    else
        c_.MoveTo(column.x, column.first);
    penY_ = column.first;
    joined_ = true;
    To(column.x, column.lowFirst ? column.low : column.high);
    To(column.x, column.lowFirst ? column.high : column.low);
    To(column.x, column.last);
}

FinePolyline::FinePolyline(Canvas& c, double fineness)
    : c_(c), fineness_(fineness > 0 && std::isfinite(fineness) ? fineness : 1)
{
}

void FinePolyline::Add(double x, double y)
{
    x = std::clamp(x, -Canvas::FarAway, Canvas::FarAway);
    y = std::clamp(y, -Canvas::FarAway, Canvas::FarAway);
    const double column = std::floor(x * fineness_ / ColumnSteps);
    if (open_ && column == column_) {
        if (y < low_.y) {
            low_ = {x, y};
            lowAt_ = ++count_;
        } else if (y > high_.y) {
            high_ = {x, y};
            highAt_ = ++count_;
        }
        return;
    }
    CloseColumn();
    open_ = true;
    column_ = column;
    low_ = high_ = {x, y};
    count_ = lowAt_ = highAt_ = 0;
}

void FinePolyline::CloseColumn()
{
    if (!open_)
        return;
    open_ = false;
    // On the surface's grid, so that the file writes short numbers.
    const auto keep = [this](PointF p) {
        p = {std::round(p.x * fineness_) / fineness_, std::round(p.y * fineness_) / fineness_};
        if (points_.empty() || points_.back().x != p.x || points_.back().y != p.y)
            points_.push_back(p);
    };
    // A column this narrow shows the span of its points; where the line enters and leaves
    // it is within the column's width of its extremes.
    keep(lowAt_ <= highAt_ ? low_ : high_);
    keep(lowAt_ <= highAt_ ? high_ : low_);
}

void FinePolyline::Break()
{
    CloseColumn();
    if (points_.size() > 1) {
        const std::vector<bool> kept = KeptPoints(points_, 0.5 / fineness_);
        c_.MoveToF(points_[0].x, points_[0].y);
        for (std::size_t i = 1; i < points_.size(); ++i)
            if (kept[i])
                c_.LineToF(points_[i].x, points_[i].y);
    }
    points_.clear();
}

namespace {

// Distance of p from the piece a .. b.
double DistanceToPiece(PointF p, PointF a, PointF b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

std::vector<bool> KeptPoints(std::span<const PointF> points, double tolerance)
{
    std::vector<bool> kept(points.size(), false);
    if (points.empty())
        return kept;
    kept.front() = kept.back() = true;
    // Pieces still to examine, as index pairs; a stack instead of recursion, as a line may
    // have a hundred thousand points.
    std::vector<std::pair<std::size_t, std::size_t>> pending;
    if (points.size() > 2)
        pending.emplace_back(0, points.size() - 1);
    while (!pending.empty()) {
        const auto [first, last] = pending.back();
        pending.pop_back();
        double farthest = -1;
        std::size_t at = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = DistanceToPiece(points[i], points[first], points[last]);
            if (d > farthest) {
                farthest = d;
                at = i;
            }
        }
        if (!(farthest > tolerance))
            continue;
        kept[at] = true;
        if (at - first > 1)
            pending.emplace_back(first, at);
        if (last - at > 1)
            pending.emplace_back(at, last);
    }
    return kept;
}

} // namespace canvas
