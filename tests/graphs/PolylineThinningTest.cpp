#include "PolylineThinning.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A vector surface that keeps the true points it is handed.
class FineCanvas : public canvas::RecordingCanvas {
public:
    explicit FineCanvas(double fineness) : fineness_(fineness) {}
    double Fineness() const override { return fineness_; }
    void MoveToF(double x, double y) override { lines.push_back({{x, y}}); }
    void LineToF(double x, double y) override { lines.back().push_back({x, y}); }

    std::vector<std::vector<canvas::PointF>> lines;

private:
    double fineness_;
};

double DistanceToLine(canvas::PointF p, const std::vector<canvas::PointF>& line)
{
    double best = INFINITY;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const canvas::PointF a = line[i - 1], b = line[i];
        const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
    }
    return best;
}

// On a grid of a tenth of a pixel, a thinned line passes every point of it within a quarter
// of a pixel (a column's width), dense or smooth, and drops what the grid cannot show.
TEST(FinePolyline, StaysWithinTheFinenessOfEveryPointAndDropsTheRest)
{
    struct Row {
        const char* name;
        int samples;
        double (*y)(double x);
        std::size_t atMost;
    } rows[] = {
        {"dense oscillation", 20000, [](double x) { return 50 + 40 * std::sin(x * 37.0); }, 2 * 100 * 4},
        {"smooth wave", 20000, [](double x) { return 50 + 40 * std::sin(x * 0.05); }, 400},
        {"straight line", 5000, [](double x) { return 0.3 * x; }, 2},
    };
    for (const Row& row : rows) {
        FineCanvas c(10);
        canvas::FinePolyline line(c, c.Fineness());
        std::vector<canvas::PointF> points;
        for (int i = 0; i < row.samples; ++i) {
            const double x = 100.0 * i / row.samples;
            points.push_back({x, row.y(x)});
            line.Add(x, points.back().y);
        }
        line.Finish();
        ASSERT_EQ(c.lines.size(), 1u) << row.name;
        const auto& kept = c.lines[0];
        EXPECT_LE(kept.size(), row.atMost) << row.name;
        EXPECT_NEAR(kept.front().x, points.front().x, 0.1) << row.name;
        EXPECT_NEAR(kept.back().x, points.back().x, 0.1) << row.name;
        double worst = 0;
        for (std::size_t i = 0; i < points.size(); i += 7)
            worst = std::max(worst, DistanceToLine(points[i], kept));
        EXPECT_LE(worst, 0.25) << row.name;
    }
}

TEST(FinePolyline, ABreakEndsTheLineAndALonePointDrawsNothing)
{
    FineCanvas c(10);
    canvas::FinePolyline line(c, 10);
    line.Add(0, 0);
    line.Add(1, 1);
    line.Break();
    line.Add(2, 5);
    line.Break();
    line.Add(3, 0);
    line.Add(4, 2);
    line.Finish();
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[1].front().x, 3);
}

} // namespace
