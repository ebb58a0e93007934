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

namespace {

// The fewest extra digits (up to a handful) that make neighbouring texts differ; none when
// no number of digits does (a scale of no extent, a time of 0).
template <class Text>
int DigitsToTellApart(std::size_t count, const Text& text)
{
    for (int extra = 0; extra <= 6; ++extra) {
        bool apart = true;
        std::string before;
        for (std::size_t i = 0; i < count && apart; ++i) {
            std::string now = text(i, extra);
            apart = i == 0 || now != before;
            before = std::move(now);
        }
        if (apart)
            return extra;
    }
    return 0;
}

// The room of a label column left of the plot rectangle: up to the next column or the rectangle.
int LeftRoom(const LabelScale& scale, std::span<const LabelScale> scales, int margin)
{
    int room = margin - scale.x;
    for (const LabelScale& other : scales)
        if (other.x > scale.x && other.x < margin)
            room = std::min(room, other.x - scale.x);
    return room;
}

} // namespace

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
        std::vector<int> rows;
        for (int y = static_cast<int>(hy); y < H - hy - 20; y = static_cast<int>(y + hy))
            rows.push_back(y);
        const auto value = [&](std::size_t i) {
            return static_cast<double>(scale.upper) - static_cast<double>(i + 1) * static_cast<double>(d);
        };
        const int extra = DigitsToTellApart(rows.size(), [&](std::size_t i, int more) { return scale.text(value(i), more); });
        const int room = scale.x < m ? LeftRoom(scale, scales, m) : 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string text = scale.text(value(i), extra);
            // Left of the plot a label keeps to its column, drawn smaller where it is wider.
            int height = scale.fontHeight;
            while (room > 0 && height > 7 && c.TextWidth(text) > room)
                c.SetFontHeight(--height);
            c.TextOut(scale.x, rows[i], text);
            c.SetFontHeight(scale.fontHeight);
        }
    }

    c.SetFont(layout.timeLabelFont);
    if (hx > 0) {
        std::vector<int> columns;
        for (double x = layout.timeLabelStart + hx; x < layout.timeLabelLimit; x += hx)
            columns.push_back(static_cast<int>(x));
        const double from = layout.zoomed ? layout.timeFrom : 0;
        const auto value = [&](std::size_t i) {
            const double k = static_cast<double>(i + 1);
            return layout.zoomed ? from + k * (T - from) * layout.timeLabelFraction : k * T * layout.timeLabelFraction;
        };
        const int extra =
            DigitsToTellApart(columns.size(), [&](std::size_t i, int more) { return layout.timeLabelText(value(i), more); });
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < columns.size(); ++i)
            texts.push_back(layout.timeLabelText(value(i), extra));
        // Every every-th label, the fewest left out that keeps them apart.
        std::size_t every = 1;
        const auto overlap = [&](std::size_t step) {
            for (std::size_t i = step - 1; i + step < columns.size(); i += step)
                if (columns[i] + c.TextWidth(texts[i]) + 2 > columns[i + step])
                    return true;
            return false;
        };
        while (every < columns.size() && overlap(every))
            ++every;
        for (std::size_t i = every - 1; i < columns.size(); i += every)
            c.TextOut(columns[i], H - 12, texts[i]);
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

namespace {

// A small dot on a sample, in the curve's colour.
void Dot(canvas::Canvas& c, int x, int y)
{
    c.Ellipse(x - 2, y - 2, x + 3, y + 3);
}

// Which samples a span's curve takes and where: zoomed, those of [timeFrom, T] and one on
// either side, cut to the plot rectangle's columns; a long unzoomed run, the samples below
// `end` as the unzoomed curve takes them, uncut.
struct SpanWalk {
    std::size_t end = 0;         // none past this sample
    bool cut = true;             // cut to the plot rectangle's columns
    std::size_t markerEvery = 0; // markers on every markerEvery-th sample, none for 0
    std::size_t firstMarker = 0;
};

// The curve over [from, T], each sample placed at its own time; the extremes of each pixel
// column come from the series' level of detail.
std::vector<Marker> DrawSpan(canvas::Canvas& c, const Layout& layout, double from, double T, float printStep,
                             const Curve& curve, const SpanWalk& walk)
{
    const std::span<const double> s = curve.samples;
    const int m = layout.margin, height = layout.H - 20;
    const double ps = printStep;
    const double perSecond = (layout.W - 2 * m) / (T - from);
    std::vector<Marker> markers;
    if (!(perSecond > 0) || !std::isfinite(perSecond) || !(ps > 0))
        return markers;
    const AxisScale scale(curve.lower, curve.upper, height);
    const std::size_t first = static_cast<std::size_t>(std::clamp(std::floor(from / ps), 0.0, double(s.size() - 1)));
    const std::size_t end =
        std::min(walk.end, static_cast<std::size_t>(std::clamp(std::floor(T / ps) + 2, 1.0, double(s.size()))));
    if (first >= end)
        return markers;
    const auto place = [&](std::size_t i) { return m + (static_cast<double>(i) * ps - from) * perSecond; };
    const auto row = [&](double v) { return height - Truncated(scale.Offset(v)); };
    const double spacing = ps * perSecond; // pixels from sample to sample

    const std::optional<canvas::ClipBox> before = c.state().clip;
    canvas::ClipBox cut{m, 0, layout.W - m + 1, layout.H};
    if (before)
        cut = {std::max(cut.x1, before->x1), std::max(cut.y1, before->y1), std::min(cut.x2, before->x2),
               std::min(cut.y2, before->y2)};
    if (walk.cut)
        c.SetClip(cut.x1, cut.y1, cut.x2, cut.y2);

    if (c.Fineness() > 1 || spacing >= 0.5) {
        // Few samples a column, or a surface finer than pixels: every sample at its place.
        FineCurve fine{canvas::FinePolyline(c, c.Fineness()), height};
        canvas::PixelPolyline pixels(c);
        for (std::size_t i = first; i < end; ++i) {
            const double x = place(i), v = s[i];
            const bool finite = std::isfinite(v);
            if (c.Fineness() > 1) {
                if (finite)
                    fine.Add(x, scale.Offset(v));
                else
                    fine.Break();
            } else if (finite) {
                pixels.Add(Truncated(x), row(v));
            } else {
                pixels.Break();
            }
        }
        fine.Finish();
        pixels.Finish();
        if (spacing >= DotSpacing) {
            const canvas::Color brush = c.state().brushColor;
            c.SetBrushColor(c.state().penColor);
            for (std::size_t i = first; i < end; ++i)
                if (std::isfinite(s[i]))
                    Dot(c, Truncated(place(i)), row(s[i]));
            c.SetBrushColor(brush);
        }
    } else {
        // Many samples a column: each column's extremes from the level of detail.
        std::optional<MinMaxPyramid> own;
        const MinMaxPyramid* levels = curve.levels;
        if (!levels || levels->Samples().data() != s.data() || levels->Samples().size() != s.size())
            levels = &own.emplace(s);
        canvas::PixelPolyline line(c);
        const int lastColumn = Truncated(place(end - 1));
        std::size_t i = first;
        for (int column = Truncated(place(first)); column <= lastColumn && i < end; ++column) {
            // The samples whose place lies before the column's right boundary.
            const double next = std::ceil(((column + 1 - m) / perSecond + from) / ps);
            std::size_t stop = static_cast<std::size_t>(std::clamp(next, static_cast<double>(i), static_cast<double>(end)));
            while (stop < end && place(stop) < column + 1)
                ++stop;
            while (stop > i && place(stop - 1) >= column + 1)
                --stop;
            if (stop == i)
                continue;
            const MinMaxPyramid::Extremes e = levels->Of(i, stop);
            if (!e.finite) {
                // A gap in the column: its pieces one by one, as the column walk forms them.
                std::optional<canvas::PixelColumn> piece;
                const auto emit = [&] {
                    if (!piece)
                        return;
                    piece->lowFirst = piece->first - piece->low <= piece->high - piece->first;
                    line.Emit(*piece);
                    piece.reset();
                };
                for (std::size_t k = i; k < stop; ++k) {
                    if (!std::isfinite(s[k])) {
                        emit();
                        line.Break();
                    } else if (piece) {
                        piece->Take(row(s[k]));
                    } else {
                        piece.emplace().Start(column, row(s[k]));
                    }
                }
                emit();
            } else {
                const int a = row(e.smallest), b = row(e.largest), start = row(s[i]);
                const int low = std::min(a, b), high = std::max(a, b);
                line.Emit({column, start, low, high, row(s[stop - 1]), start - low <= high - start});
            }
            i = stop;
        }
        line.Finish();
    }
    if (before)
        c.SetClip(before->x1, before->y1, before->x2, before->y2);
    else
        c.ClearClip();

    if (walk.markerEvery > 0)
        for (std::size_t i = std::max(first, walk.firstMarker); i < end; i += walk.markerEvery) {
            const double x = place(i);
            if (std::isfinite(s[i]) && (!walk.cut || (x >= m && x <= layout.W - m)))
                markers.push_back({Truncated(x), row(s[i]) - 15});
        }
    return markers;
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

    if (layout.zoomed) {
        const double N = (T - layout.timeFrom) / printStep;
        const std::size_t every = markers ? MarkerSpacing(N, s.size()) : 0;
        const std::size_t first = FirstSampleFrom(layout.timeFrom, printStep);
        const std::vector<Marker> places =
            DrawSpan(c, layout, layout.timeFrom, T, printStep, curve, {s.size(), true, every, first + every});
        if (!markers)
            return;
        c.SetBrushColor(canvas::clBlack);
        for (const Marker& at : places)
            c.TextOut(at.x, at.y, std::to_string(curve.number));
        c.SetBrushColor(canvas::clBtnFace);
        return;
    }

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
    } else if (m >= 0 && step >= 0 && std::isfinite(step) && drawn > layout.longRun && printStep > 0) {
        // Past a few million samples even the column walk takes too long for a repaint: the
        // columns' extremes come from the level of detail, samples placed by their index.
        places = DrawSpan(c, layout, 0, T, printStep, curve, {drawn, false, every, every + 1});
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
