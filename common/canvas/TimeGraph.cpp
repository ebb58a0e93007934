#include "TimeGraph.h"

#include "CurveExport.h"

#include <algorithm>
#include <cmath>

namespace timegraph {

int ToPixel(double v)
{
    // Beyond a million pixels a point is off every screen; the clamp keeps the
    // conversion defined and the painters' fixed-point arithmetic safe.
    constexpr double limit = 1'000'000.0;
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, -limit, limit));
}

std::optional<double> AxisOffset(double v, float lower, float upper, int length)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double span = static_cast<double>(upper) - static_cast<double>(lower);
    const double k = length / span;
    if (span == 0 || !std::isfinite(k))
        return length / 2.0;
    return (v - lower) * k;
}

std::optional<int> ValueRow(double v, float lower, float upper, int height)
{
    const auto offset = AxisOffset(v, lower, upper, height);
    if (!offset)
        return std::nullopt;
    return height - ToPixel(*offset);
}

void DrawFrame(canvas::Canvas& c, const Layout& layout, double T, std::span<const LabelScale> scales)
{
    const int W = layout.W, H = layout.H, m = layout.margin;
    const double hx = layout.hx, hy = layout.hy;

    c.SetPenWidth(1);
    c.SetPenColor(canvas::clGreen);
    c.SetBrushColor(canvas::clBlack);
    c.SetFont(layout.plotFont);
    c.Rectangle(m, 0, W - m, H - 20);

    c.SetBrushColor(canvas::clBtnFace);
    c.SetFontColor(canvas::clRed);

    for (const LabelScale& scale : scales) {
        c.SetFontColor(scale.color);
        c.SetFontHeight(scale.fontHeight);
        const float d = (scale.upper - scale.lower) * 0.1f;
        if (hy < 1)
            break; // rows would not advance
        int i = 1;
        for (int y = static_cast<int>(hy); y < H - hy - 20; y = static_cast<int>(y + hy), ++i)
            c.TextOut(scale.x, y, scale.text(static_cast<double>(scale.upper) - i * static_cast<double>(d)));
    }

    c.SetFont(layout.timeLabelFont);
    if (hx > 0) {
        int i = 1;
        for (double x = layout.timeLabelStart + hx; x < layout.timeLabelLimit; x += hx, ++i)
            c.TextOut(static_cast<int>(x), H - 12, layout.timeLabelText(i * T * layout.timeLabelFraction));
    }

    if (hy > 0)
        for (double y = 30; y < H - 20; y += hy) {
            c.MoveTo(m, static_cast<int>(y));
            c.LineTo(W - m, static_cast<int>(y));
        }
    if (hx > 0)
        for (double x = m; x < W - m; x += hx) {
            c.MoveTo(static_cast<int>(x), 0);
            c.LineTo(static_cast<int>(x), H - 20);
        }
}

void DrawCurve(canvas::Canvas& c, const Layout& layout, double T, float printStep, const Curve& curve, bool markers)
{
    const int W = layout.W, H = layout.H, m = layout.margin;
    const std::span<const double> s = curve.samples;

    if (layout.curveColor)
        if (const auto color = layout.curveColor(curve.number)) {
            c.SetPenColor(*color);
            c.SetFontColor(*color);
        }
    c.SetPenWidth(layout.curvePenWidth);
    if (s.empty())
        return;

    const auto row = [&](double v) { return ValueRow(v, curve.lower, curve.upper, H - 20); };
    const double N = T / printStep;
    const double step = (W - 2 * m) / N;
    // Indices stop below N and at the last recorded sample, whichever comes first; the
    // table export and the read-out count the same way.
    const std::size_t drawn = DrawnSampleCount(T, printStep, s.size());
    const auto inRange = [drawn](std::size_t i) { return i < drawn; };

    bool joined = false;
    if (const auto y = row(s[0])) {
        c.MoveTo(m, *y);
        joined = true;
    }
    double x = m;
    for (std::size_t i = 1; inRange(i); ++i) {
        x += step;
        const auto y = row(s[i]);
        if (!y) {
            joined = false;
            continue;
        }
        if (joined)
            c.LineTo(ToPixel(x), *y);
        else
            c.MoveTo(ToPixel(x), *y);
        joined = true;
    }

    if (!markers)
        return;
    c.SetBrushColor(canvas::clBlack);
    const std::string text = std::to_string(curve.number);
    x = m;
    int counter = 0;
    for (std::size_t j = 1; inRange(j); ++j) {
        x += step;
        if (counter > N * 0.1) {
            if (const auto y = row(s[j]))
                c.TextOut(ToPixel(x), *y - 15, text);
            counter = 0;
        }
        ++counter;
    }
    c.SetBrushColor(canvas::clBtnFace);
}

} // namespace timegraph
