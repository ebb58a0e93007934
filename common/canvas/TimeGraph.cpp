#include "TimeGraph.h"

#include "CurveExport.h"
#include "PolylineThinning.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace timegraph {

int ToPixel(double v) { return canvas::Canvas::PixelOf(v); }

namespace {

// A value's distance above the lower end of an axis, the factor formed once for a whole series.
class AxisScale {
public:
    AxisScale(float lower, float upper, int length) : lower_(lower), middle_(length / 2.0)
    {
        const double span = static_cast<double>(upper) - static_cast<double>(lower);
        k_ = length / span;
        // A range of no extent puts every value in the middle.
        flat_ = span == 0 || !std::isfinite(k_);
    }

    // For a finite value.
    double Offset(double v) const { return flat_ ? middle_ : (v - lower_) * k_; }

private:
    double lower_, middle_, k_ = 0;
    bool flat_ = false;
};

} // namespace

std::optional<double> AxisOffset(double v, float lower, float upper, int length)
{
    if (!std::isfinite(v))
        return std::nullopt;
    return AxisScale(lower, upper, length).Offset(v);
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

namespace {

// ToPixel without its branch, for the loop over every sample: neither a place nor a finite
// value's offset there can be NaN.
int Truncated(double v)
{
    constexpr double far = canvas::Canvas::FarAway;
    return static_cast<int>(std::min(std::max(v, -far), far));
}

// Every sample's piece, as drawn before any thinning: what the thinned line must equal.
struct EverySampleCurve {
    canvas::Canvas& c;
    int height;
    bool joined = false;
    void Add(double x, double offset)
    {
        if (joined)
            c.LineTo(ToPixel(x), height - ToPixel(offset));
        else
            c.MoveTo(ToPixel(x), height - ToPixel(offset));
        joined = true;
    }
    void Break() { joined = false; }
    void Finish() {}
};

// The curve's true line on a surface finer than pixels.
struct FineCurve {
    canvas::FinePolyline line;
    int height;
    void Add(double x, double offset) { line.Add(x, height - offset); }
    void Break() { line.Break(); }
    void Finish() { line.Finish(); }
};

struct Marker {
    int x, y;
};

// Walks the drawn samples once: each finite one onto the line at its place, the markers'
// places gathered on the way. Sample i stands at x = margin + i * step, accumulated as the
// curve has always been laid out.
template <class Line>
std::vector<Marker> Walk(std::span<const double> s, std::size_t drawn, double left, double step,
                         const AxisScale& scale, int height, std::size_t markerEvery, Line& line)
{
    std::vector<Marker> markers;
    std::size_t nextMarker = markerEvery > 0 ? markerEvery + 1 : 0;
    double x = left;
    for (std::size_t i = 0; i < drawn; ++i) {
        if (i > 0)
            x += step;
        const double v = s[i];
        if (!std::isfinite(v)) {
            line.Break();
        } else {
            line.Add(x, scale.Offset(v));
        }
        if (i == nextMarker) {
            if (std::isfinite(v))
                markers.push_back({ToPixel(x), height - ToPixel(scale.Offset(v)) - 15});
            nextMarker += markerEvery;
        }
    }
    line.Finish();
    return markers;
}

struct ColumnValues {
    double smallest, largest, last;
};
struct ColumnRun {
    std::size_t next;
    double at;
    ColumnValues values;
};

// The samples from i on while they stay in the column (their place below the boundary), up to
// stop and the first gap: only their place is accumulated and their values taken in. A
// function of its own, so that everything it holds stays in registers.
[[gnu::noinline]] ColumnRun TakeColumn(const double* s, std::size_t i, std::size_t stop, double at, double step,
                                       double boundary, ColumnValues v)
{
    for (; i < stop && at < boundary; ++i, at += step) {
        const double w = s[i];
        if (!std::isfinite(w))
            break;
        v.smallest = w < v.smallest ? w : v.smallest;
        v.largest = w > v.largest ? w : v.largest;
        v.last = w;
    }
    return {i, at, v};
}

// The walk on a surface of whole pixels, the hot loop of a repaint: all that sample i needs
// while it stays in the column of the sample before is its place accumulated and its value
// taken into the column's extremes. Rows follow the values monotonically, so a column's rows
// are formed once, from its first, last, smallest and largest value. For a place that only
// grows, from the left edge on (the plot box's layout).
std::vector<Marker> WalkPixels(std::span<const double> s, std::size_t drawn, double left, double step,
                               const AxisScale& scale, int height, std::size_t markerEvery,
                               canvas::PixelPolyline& line)
{
    std::vector<Marker> markers;
    const auto row = [&](double v) { return height - Truncated(scale.Offset(v)); };
    std::size_t nextMarker = markerEvery > 0 ? markerEvery + 1 : drawn;
    bool open = false;
    int column = 0;
    double boundary = 0, first = 0, last = 0, smallest = 0, largest = 0;
    const auto close = [&] {
        if (!open)
            return;
        open = false;
        const int a = row(smallest), b = row(largest), start = row(first);
        const int low = std::min(a, b), high = std::max(a, b);
        line.Emit({column, start, low, high, row(last), start - low <= high - start});
    };
    double x = left;
    for (std::size_t i = 0; i < drawn;) {
        const double v = s[i];
        if (!std::isfinite(v)) {
            close();
            line.Break();
        } else if (open && x < boundary) {
            smallest = std::min(smallest, v);
            largest = std::max(largest, v);
            last = v;
        } else {
            close();
            open = true;
            column = Truncated(x);
            boundary = column < canvas::Canvas::FarAway ? column + 1.0 : INFINITY;
            first = last = smallest = largest = v;
        }
        if (i == nextMarker) {
            if (std::isfinite(v))
                markers.push_back({Truncated(x), row(v) - 15});
            nextMarker += markerEvery;
        }
        ++i;
        x += step;
        if (!open)
            continue;
        const ColumnRun run = TakeColumn(s.data(), i, std::min(drawn, nextMarker), x, step, boundary,
                                         {smallest, largest, last});
        i = run.next;
        x = run.at;
        smallest = run.values.smallest;
        largest = run.values.largest;
        last = run.values.last;
    }
    close();
    line.Finish();
    return markers;
}

// Markers stand on every m-th sample from sample m + 1 on, m the smallest whole number above
// N / 10 (a counter that restarts past N / 10); 0 when none fits.
std::size_t MarkerSpacing(double N, std::size_t drawn)
{
    const double tenth = N * 0.1;
    if (!(tenth >= 0) || tenth >= static_cast<double>(drawn))
        return 0;
    return static_cast<std::size_t>(std::floor(tenth)) + 1;
}

} // namespace

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

    const double N = T / printStep;
    const double step = (W - 2 * m) / N;
    // Indices stop below N and at the last recorded sample, whichever comes first; the
    // table export and the read-out count the same way.
    const std::size_t drawn = DrawnSampleCount(T, printStep, s.size());
    const AxisScale scale(curve.lower, curve.upper, H - 20);
    const std::size_t every = markers ? MarkerSpacing(N, drawn) : 0;

    std::vector<Marker> places;
    if (layout.everySample) {
        EverySampleCurve line{c, H - 20};
        places = Walk(s, drawn, m, step, scale, H - 20, every, line);
    } else if (c.Fineness() > 1) {
        FineCurve line{canvas::FinePolyline(c, c.Fineness()), H - 20};
        places = Walk(s, drawn, m, step, scale, H - 20, every, line);
    } else if (m >= 0 && step >= 0 && std::isfinite(step)) {
        canvas::PixelPolyline line(c);
        places = WalkPixels(s, drawn, m, step, scale, H - 20, every, line);
    } else {
        // A box too narrow for its margins: the place shrinks, sample by sample.
        canvas::PixelPolyline pixels(c);
        struct {
            canvas::PixelPolyline& line;
            int height;
            void Add(double x, double offset) { line.Add(ToPixel(x), height - ToPixel(offset)); }
            void Break() { line.Break(); }
            void Finish() { line.Finish(); }
        } line{pixels, H - 20};
        places = Walk(s, drawn, m, step, scale, H - 20, every, line);
    }

    if (!markers)
        return;
    c.SetBrushColor(canvas::clBlack);
    const std::string text = std::to_string(curve.number);
    for (const Marker& at : places)
        c.TextOut(at.x, at.y, text);
    c.SetBrushColor(canvas::clBtnFace);
}

} // namespace timegraph
