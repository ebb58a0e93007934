#include "TuningForkGraph.h"

#include "RunComparison.h"

#include <algorithm>
#include <cmath>

namespace pelisond {

GraphData GraphDataOf(const TuningForkModel& model)
{
    GraphData d;
    const auto limit = static_cast<std::size_t>(std::max(0, std::min(model.Recorded(), model.SampleCount)));
    for (int s = 0; s < SeriesCount; ++s)
        d.Series[s] = std::span<const double>(model.Series[s].data(), std::min(limit, model.Series[s].size()));
    d.Time = std::span<const double>(model.Time.data(), std::min(limit, model.Time.size()));
    d.Extremes = model.Extremes;
    d.PrintStep = model.Params.PrintStep;
    d.StopTime = model.Params.StopTime;
    return d;
}

namespace {

// The drift's end: the extreme (times the mode's factor) when it leaves +-0.001, else +-0.001.
float DriftEnd(float extreme, float factor, float fallback)
{
    return std::fabs(extreme) > 0.001 ? factor * extreme : fallback;
}

Range Span(const SeriesExtremes& a, const SeriesExtremes& b)
{
    return {std::min(a.Min, b.Min), std::max(a.Max, b.Max)};
}

Range Span(const SeriesExtremes& a) { return {a.Min, a.Max}; }

} // namespace

Ranges ComputeRanges(const std::array<SeriesExtremes, SeriesCount>& e, ScaleMode mode)
{
    Ranges r;
    const SeriesExtremes& drift = e[Drift];
    if (mode == ScaleMode::Automatic) {
        r = {Span(e[X1], e[X2]), Span(e[Y1], e[Y2]), Span(e[X1Dot]), Span(e[X2Dot]), Span(e[Y1Dot]),
             Span(e[Y2Dot]),     Span(e[Fi]),        Span(e[FiDot]), Range{}};
        r[8] = {DriftEnd(drift.Min, 1.0f, -0.001f), DriftEnd(drift.Max, 1.0f, 0.001f)};
    } else {
        r = {Range{-30, 30},       Range{-0.1f, 0.1f}, Range{-1500000, 1500000}, Range{-1500000, 1500000},
             Range{-5000, 5000},   Range{-5000, 5000}, Range{-0.001f, 0.001f},   Range{-20, 20},
             Range{}};
        r[8] = {DriftEnd(drift.Min, 1.5f, -0.001f), DriftEnd(drift.Max, 1.5f, 0.001f)};
    }
    return r;
}

SeriesIndex CurveSeries(int number)
{
    static constexpr SeriesIndex series[CurveCount] = {X1, X2, Y1, Y2, X1Dot, X2Dot, Y1Dot, Y2Dot, Fi, FiDot, Drift};
    return series[number - 1];
}

int CurveRange(int number)
{
    static constexpr int ranges[CurveCount] = {0, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8};
    return ranges[number - 1];
}

std::optional<canvas::Color> CurveColor(int number)
{
    static constexpr canvas::Color colors[CurveCount] = {
        canvas::clYellow, canvas::clRed,  canvas::clBlue,  canvas::clWhite, canvas::clNavy,   canvas::clMaroon,
        canvas::clSilver, canvas::clLime, canvas::clGreen, canvas::clGray,  canvas::clFuchsia};
    if (number < 1 || number > CurveCount)
        return std::nullopt;
    return colors[number - 1];
}

const char* CurveName(int number)
{
    static constexpr const char* names[CurveCount] = {"X1", "X2", "Y1", "Y2", "X1 с точкой", "X2 с точкой",
                                                      "Y1 с точкой", "Y2 с точкой", "Fi", "Fi с точкой",
                                                      "OMEGA Дрейф"};
    return number >= 1 && number <= CurveCount ? names[number - 1] : "";
}

std::vector<timegraph::NamedSeries> DrawnCurves(const GraphData& data, const CurveChoice& chosen, double T)
{
    std::vector<timegraph::NamedSeries> out;
    for (int n = 1; n <= CurveCount; ++n)
        if (chosen[n - 1]) {
            const std::span<const double> s = data.Series[CurveSeries(n)];
            out.push_back({CurveName(n), s.first(timegraph::DrawnSampleCount(T, data.PrintStep, s.size()))});
        }
    return out;
}

timegraph::SampleTimes TimesOf(const GraphData& data) { return {data.PrintStep, data.Time}; }

std::optional<std::string> GraphCsv(const GraphData& data, const CurveChoice& chosen, double T,
                                    const GraphData* kept, const timegraph::View& view)
{
    return comparison::ViewCsv(data, chosen, T, kept, view);
}

std::string GraphReadOut(const GraphData& data, const CurveChoice& chosen, double T, int x,
                         const numfmt::Separators& sep, int W, int H, const GraphData* kept,
                         const timegraph::View& view)
{
    return comparison::ComparedReadOut(data, chosen, timegraph::EndTime(T, view), x,
                                       timegraph::Zoomed(GraphLayout(W, H, sep), view), sep, kept);
}

timegraph::Layout GraphLayout(int W, int H, const numfmt::Separators& sep)
{
    timegraph::Layout l;
    l.W = W;
    l.H = H;
    l.margin = 60;
    l.hx = static_cast<float>((W - 120) * 0.1);
    l.hy = static_cast<float>((H - 20) * 0.1);
    // Label i starts at the grid line of the time i * T / 10.
    l.timeLabelStart = 60;
    l.timeLabelLimit = W - 65;
    l.timeLabelFraction = 0.1;
    l.plotFont = canvas::Font{"Times New Roman", canvas::PointsToPixels(8), canvas::clBlack, false};
    l.timeLabelFont = canvas::Font{"Times New Roman", canvas::PointsToPixels(8), canvas::clBlue, false};
    l.curvePenWidth = 2;
    l.curveColor = CurveColor;
    l.timeLabelText = [sep](double v, int extra) { return numfmt::FormatGeneral(v, 3 + extra, sep); };
    return l;
}

void DrawGraph(canvas::Canvas& c, const GraphData& data, const Ranges& ranges, const CurveChoice& chosen,
               bool markers, double shownT, const numfmt::Separators& sep, int W, int H, const GraphData* kept,
               const timegraph::View& view)
{
    const timegraph::Layout layout = timegraph::Zoomed(GraphLayout(W, H, sep), view);
    const double T = timegraph::EndTime(shownT, view);
    const auto grouped = [sep](int digits, int decimals) {
        return [sep, digits, decimals](double v, int extra) {
            return numfmt::FormatFixedGrouped(v, digits + extra, decimals + extra, sep);
        };
    };
    const int large = canvas::PointsToPixels(8), small = canvas::PointsToPixels(6);
    const timegraph::LabelScale scales[] = {
        {0, ranges[0].Lower, ranges[0].Upper, canvas::clRed, large, grouped(4, 2)},
        {30, ranges[1].Lower, ranges[1].Upper, canvas::clBlue, large, grouped(3, 2)},
        {W - 60, ranges[6].Lower, ranges[6].Upper, canvas::clRed, small, grouped(3, 4)},
        {W - 30, ranges[8].Lower, ranges[8].Upper, canvas::clBlue, small, grouped(2, 4)},
    };
    timegraph::DrawFrame(c, layout, T, scales);

    if (kept)
        // Behind the current curves, on their ranges.
        for (int n = 1; n <= CurveCount; ++n)
            if (chosen[n - 1]) {
                const Range& r = ranges[CurveRange(n)];
                comparison::DrawKeptCurve(c, layout, T, kept->PrintStep,
                                          {kept->Series[CurveSeries(n)], r.Lower, r.Upper, n}, view.levels);
            }
    for (int n = 1; n <= CurveCount; ++n) {
        if (!chosen[n - 1])
            continue;
        const Range& r = ranges[CurveRange(n)];
        timegraph::DrawViewCurve(c, layout, T, data.PrintStep, {data.Series[CurveSeries(n)], r.Lower, r.Upper, n},
                                 markers, view);
    }
}

void DrawPhasePortrait(canvas::Canvas& c, const GraphData& data, int W, int H, const GraphData* kept,
                       std::optional<timegraph::TimeSpan> span)
{
    c.SetPenWidth(2);
    c.SetPenColor(canvas::clBlack);
    c.SetBrushColor(canvas::clBlack);

    const SeriesExtremes& fiRange = data.Extremes[Fi];
    const SeriesExtremes& rateRange = data.Extremes[FiDot];
    const auto dots = [&](const GraphData& run) {
        const std::span<const double> fi = run.Series[Fi], rate = run.Series[FiDot];
        std::size_t n = std::min(fi.size(), rate.size()), first = 1;
        if (span) {
            n = timegraph::DrawnSampleCount(span->to, run.PrintStep, n);
            first = std::max<std::size_t>(1, timegraph::FirstSampleFrom(span->from, run.PrintStep));
        }
        for (std::size_t i = first; i < n; ++i) {
            const auto across = timegraph::AxisOffset(fi[i], fiRange.Min, fiRange.Max, W);
            const auto up = timegraph::AxisOffset(rate[i], rateRange.Min, rateRange.Max, H);
            if (!across || !up)
                continue;
            const double px = *across, py = H - *up;
            c.Ellipse(timegraph::ToPixel(px), timegraph::ToPixel(py), timegraph::ToPixel(px + 5),
                      timegraph::ToPixel(py + 5));
        }
    };

    if (kept) {
        // Behind the current dots, on their scales.
        const canvas::Color pale = comparison::KeptColor(canvas::clBlack);
        c.SetPenColor(pale);
        c.SetBrushColor(pale);
        c.SetClip(0, 0, W, H);
        dots(*kept);
        c.ClearClip();
        c.SetPenColor(canvas::clBlack);
        c.SetBrushColor(canvas::clBlack);
    }
    dots(data);
}

} // namespace pelisond
