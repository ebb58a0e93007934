#include "GimbalGraph.h"

#include "GimbalModel.h"
#include "PolylineThinning.h"
#include "RunComparison.h"

#include <algorithm>

namespace veltrami {

namespace {

std::span<const double> Recorded(const std::vector<double>& series, const GimbalModel& model)
{
    const auto n = std::min({series.size(), static_cast<std::size_t>(std::max(model.Recorded(), 0)),
                             static_cast<std::size_t>(std::max(model.SampleCount, 0))});
    return std::span<const double>(series.data(), n);
}

} // namespace

GraphData GraphDataOf(const GimbalModel& model)
{
    GraphData d;
    d.Alf = Recorded(model.Alf, model);
    d.Bet = Recorded(model.Bet, model);
    d.AlfDot = Recorded(model.AlfDot, model);
    d.BetDot = Recorded(model.BetDot, model);
    d.Time = Recorded(model.Time, model);
    d.AlfMin = model.AlfMin;
    d.AlfMax = model.AlfMax;
    d.BetMin = model.BetMin;
    d.BetMax = model.BetMax;
    d.AlfDotMin = model.AlfDotMin;
    d.AlfDotMax = model.AlfDotMax;
    d.BetDotMin = model.BetDotMin;
    d.BetDotMax = model.BetDotMax;
    d.PrintStep = model.Params.PrintStep;
    d.StopTime = model.Params.StopTime;
    return d;
}

std::optional<canvas::Color> CurveColor(int number)
{
    switch (number) {
    case 1: return canvas::clYellow;
    case 2: return canvas::clRed;
    case 3: return canvas::clBlue;
    case 4: return canvas::clWhite;
    case 5: return canvas::clNavy;
    default: return std::nullopt;
    }
}

const char* CurveName(int number)
{
    static constexpr const char* names[] = {"Угол альфа", "Угол бета", "Угловая скорость альфа с точкой",
                                            "Угловая скорость бета с точкой"};
    return number >= 1 && number <= 4 ? names[number - 1] : "";
}

std::vector<timegraph::NamedSeries> DrawnCurves(const GraphData& data, const CurveChoice& chosen, double T)
{
    const std::span<const double> series[] = {data.Alf, data.Bet, data.AlfDot, data.BetDot};
    std::vector<timegraph::NamedSeries> out;
    for (int n = 1; n <= 4; ++n)
        if (chosen[n - 1]) {
            const std::span<const double> s = series[n - 1];
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
    l.margin = 30;
    l.hx = static_cast<float>((W - 60) / 20);
    l.hy = static_cast<float>((H - 20) / 10);
    // Label i stands at i divisions from the box's left edge, one division left of its grid line.
    l.timeLabelStart = 0;
    l.timeLabelLimit = W - l.hx - 60.0;
    l.timeLabelFraction = 0.05;
    l.plotFont = canvas::Font{"MS Sans Serif", 11, canvas::clBlack, false};
    l.timeLabelFont = canvas::Font{"MS Sans Serif", 11, canvas::clRed, false};
    l.curvePenWidth = 1;
    l.curveColor = CurveColor;
    l.timeLabelText = [sep](double v, int extra) { return numfmt::FormatGeneral(v, 3 + extra, sep); };
    return l;
}

void DrawGraph(canvas::Canvas& c, const GraphData& data, const CurveChoice& chosen, bool markers, double shownT,
               const numfmt::Separators& sep, int W, int H, const GraphData* kept, const timegraph::View& view)
{
    const timegraph::Layout layout = timegraph::Zoomed(GraphLayout(W, H, sep), view);
    const double T = timegraph::EndTime(shownT, view);
    const float angleLo = std::min(data.AlfMin, data.BetMin), angleUp = std::max(data.AlfMax, data.BetMax);
    const float rateLo = std::min(data.AlfDotMin, data.BetDotMin), rateUp = std::max(data.AlfDotMax, data.BetDotMax);

    const auto label = [sep](double v, int extra) { return numfmt::FormatGeneral(v, 2 + extra, sep); };
    const timegraph::LabelScale scales[] = {
        {0, angleLo, angleUp, canvas::clRed, 11, label},
        {W - 30, rateLo, rateUp, canvas::clRed, 11, label},
    };
    timegraph::DrawFrame(c, layout, T, scales);

    const timegraph::Curve curves[] = {
        {data.Alf, angleLo, angleUp, 1},
        {data.Bet, angleLo, angleUp, 2},
        {data.AlfDot, rateLo, rateUp, 3},
        {data.BetDot, rateLo, rateUp, 4},
    };
    if (kept) {
        // Behind the current curves, on their scales.
        const std::span<const double> keptSeries[] = {kept->Alf, kept->Bet, kept->AlfDot, kept->BetDot};
        for (std::size_t n = 0; n < std::size(curves); ++n)
            if (chosen[n])
                comparison::DrawKeptCurve(c, layout, T, kept->PrintStep,
                                          {keptSeries[n], curves[n].lower, curves[n].upper, curves[n].number},
                                          view.levels);
    }
    for (std::size_t n = 0; n < std::size(curves); ++n)
        if (chosen[n])
            timegraph::DrawViewCurve(c, layout, T, data.PrintStep, curves[n], markers, view);
}

void DrawPhasePortrait(canvas::Canvas& c, const GraphData& data, int item, int W, int H, const GraphData* kept,
                       std::optional<timegraph::TimeSpan> span)
{
    c.SetPenWidth(2);
    c.SetPenColor(canvas::clBlack);
    c.SetBrushColor(canvas::clBlack);

    const bool beta = item == 1;
    const float angleMin = beta ? data.BetMin : data.AlfMin, angleMax = beta ? data.BetMax : data.AlfMax;
    const float rateMin = beta ? data.BetDotMin : data.AlfDotMin, rateMax = beta ? data.BetDotMax : data.AlfDotMax;
    const auto trajectory = [&](const GraphData& run) {
        const std::span<const double> angle = beta ? run.Bet : run.Alf;
        const std::span<const double> rate = beta ? run.BetDot : run.AlfDot;
        // The same thinning as the time curves': what the surface can show of the line.
        std::size_t n = std::min(angle.size(), rate.size()), first = 0;
        if (span) {
            n = timegraph::DrawnSampleCount(span->to, run.PrintStep, n);
            first = std::min(n, timegraph::FirstSampleFrom(span->from, run.PrintStep));
        }
        const auto walk = [&](auto& line, auto place) {
            for (std::size_t i = first; i < n; ++i) {
                const auto px = timegraph::AxisOffset(angle[i], angleMin, angleMax, W);
                const auto up = timegraph::AxisOffset(rate[i], rateMin, rateMax, H);
                if (!px || !up)
                    line.Break();
                else
                    place(line, *px, H - *up);
            }
            line.Finish();
        };
        if (c.Fineness() > 1) {
            canvas::FinePolyline line(c, c.Fineness());
            walk(line, [](canvas::FinePolyline& l, double x, double y) { l.Add(x, y); });
        } else {
            canvas::PixelPolyline line(c);
            walk(line, [](canvas::PixelPolyline& l, double x, double y) {
                l.Add(timegraph::ToPixel(x), timegraph::ToPixel(y));
            });
        }
    };

    if (kept) {
        // Behind the current trajectory, on its scales.
        c.SetPenColor(comparison::KeptColor(canvas::clBlack));
        c.SetPenStyle(canvas::PenStyle::Dash);
        c.SetClip(0, 0, W, H);
        trajectory(*kept);
        c.ClearClip();
        c.SetPenStyle(canvas::PenStyle::Solid);
        c.SetPenColor(canvas::clBlack);
    }
    trajectory(data);
}

} // namespace veltrami
