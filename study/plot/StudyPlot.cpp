#include "StudyPlot.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

namespace studyplot {

namespace {

constexpr int Left = 90, Top = 44, Bottom = 64;
// Right margin without and with a legend column.
constexpr int PlainRight = 30, LegendRight = 190, WidestLegend = 320;
constexpr int FontHeight = 14;
const canvas::Color CurveColors[] = {canvas::clBlue, canvas::clRed, canvas::clGreen, canvas::clPurple,
                                     canvas::clTeal, canvas::clMaroon, canvas::clOlive, canvas::clNavy};

// Enough digits for neighbouring ticks step apart to read differently.
std::string Label(double v, double step)
{
    const double magnitude = std::max(std::abs(v), step);
    const int digits = std::isfinite(magnitude / step)
        ? std::clamp(static_cast<int>(std::ceil(std::log10(magnitude / step))) + 1, 4, 15) : 4;
    return numfmt::FormatGeneral(v, digits, numfmt::PointSeparators());
}

std::string Label(std::span<const double> ticks, std::size_t k)
{
    const double step = ticks.size() > 1 ? std::abs(ticks[1] - ticks[0]) : std::abs(ticks[k]);
    return Label(ticks[k], step > 0 ? step : 1);
}

// Many curves take their colours along one scale, blue to red, so that neighbours read as such.
canvas::Color CurveColor(std::size_t index, std::size_t count)
{
    if (count <= std::size(CurveColors))
        return CurveColors[index % std::size(CurveColors)];
    const double f = static_cast<double>(index) / static_cast<double>(count - 1);
    return canvas::Rgb(static_cast<int>(20 + 210 * f), static_cast<int>(60 + 80 * (1 - std::abs(2 * f - 1))),
                       static_cast<int>(230 - 210 * f));
}

// The text's width estimated from its characters (UTF-8 continuation bytes not counted).
int TextWidth(const std::string& text)
{
    int chars = 0;
    for (unsigned char ch : text)
        chars += (ch & 0xC0) != 0x80;
    return chars * FontHeight * 55 / 100;
}

void Text(canvas::Canvas& c, int x, int y, const std::string& text, canvas::Color color = canvas::clBlack)
{
    c.SetFont({"Arial", FontHeight, color, false});
    c.SetBrushColor(canvas::clWhite);
    c.TextOut(x, y, text);
}

struct Range {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void Add(double v)
    {
        if (std::isfinite(v)) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }
    bool Empty() const { return !(lo <= hi); }
    // A range of some extent around its values, with a little room at both ends. Values that
    // differ in their last bits only are drawn as flat: the axis then spans a little around them.
    void Widen(bool logarithmic)
    {
        if (Empty()) {
            lo = 0;
            hi = 1;
        }
        if (logarithmic) {
            if (!(hi > lo * (1 + 1e-9))) {
                lo /= 2;
                hi *= 2;
            }
            return;
        }
        const double magnitude = std::max(std::abs(lo), std::abs(hi));
        if (!(hi - lo > 1e-9 * magnitude)) {
            const double middle = lo / 2 + hi / 2;
            const double d = magnitude == 0 ? 1 : magnitude * 0.1;
            lo = middle - d;
            hi = middle + d;
        }
        const double margin = (hi - lo) * 0.05;
        lo -= margin;
        hi += margin;
    }
};

// Maps values of lo .. hi onto the pixels from .. to.
struct Scale {
    double lo, hi;
    int from, to;
    bool logarithmic = false;
    int operator()(double v) const
    {
        const double f = logarithmic ? std::log(v / lo) / std::log(hi / lo) : (v - lo) / (hi - lo);
        return from + static_cast<int>(std::lround(std::clamp(f, -1.0, 2.0) * (to - from)));
    }
};

void Frame(canvas::Canvas& c, int width, int height, int right, const std::string& title, const std::string& xLabel,
           const std::string& yLabel, const Scale& sx, const Scale& sy)
{
    c.SetPenWidth(1);
    c.SetPenColor(canvas::clBlack);
    c.SetBrushColor(canvas::clWhite);
    c.Rectangle(0, 0, width, height);
    Text(c, Left, 6, title);
    Text(c, 8, Top - 18, yLabel);
    Text(c, Left + (width - Left - right - TextWidth(xLabel)) / 2, height - 24, xLabel);

    c.SetPenColor(canvas::clSilver);
    const std::vector<double> xTicks = Ticks(sx.lo, sx.hi, sx.logarithmic);
    for (std::size_t k = 0; k < xTicks.size(); ++k) {
        const int x = sx(xTicks[k]);
        c.SetPenColor(canvas::clSilver);
        c.MoveTo(x, Top);
        c.LineTo(x, height - Bottom);
        const std::string text = sx.logarithmic ? Label(xTicks[k], xTicks[k]) : Label(xTicks, k);
        Text(c, x - TextWidth(text) / 2, height - Bottom + 6, text);
    }
    const std::vector<double> yTicks = Ticks(sy.lo, sy.hi, sy.logarithmic);
    for (std::size_t k = 0; k < yTicks.size(); ++k) {
        const int y = sy(yTicks[k]);
        c.SetPenColor(canvas::clSilver);
        c.MoveTo(Left, y);
        c.LineTo(width - right, y);
        const std::string text = sy.logarithmic ? Label(yTicks[k], yTicks[k]) : Label(yTicks, k);
        Text(c, Left - 6 - TextWidth(text), y - FontHeight / 2 - 1, text);
    }
    c.SetPenColor(canvas::clBlack);
    c.MoveTo(Left, Top);
    c.LineTo(width - right, Top);
    c.LineTo(width - right, height - Bottom);
    c.LineTo(Left, height - Bottom);
    c.LineTo(Left, Top);
}

} // namespace

std::vector<double> Ticks(double lo, double hi, bool logarithmic)
{
    std::vector<double> ticks;
    if (!(lo < hi) || !std::isfinite(lo) || !std::isfinite(hi))
        return ticks;
    if (logarithmic) {
        if (!(lo > 0))
            return ticks;
        const bool few = hi / lo < 1000;
        if (!(hi / lo < 1e30))
            return ticks;
        for (double decade = std::pow(10.0, std::floor(std::log10(lo))); decade <= hi; decade *= 10)
            for (double m : {1.0, 2.0, 5.0})
                if ((m == 1 || few) && decade * m >= lo * (1 - 1e-12) && decade * m <= hi * (1 + 1e-12))
                    ticks.push_back(decade * m);
        return ticks;
    }
    const double raw = (hi - lo) / 6;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    double step = decade;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= raw) {
            step = m * decade;
            break;
        }
    // Counted in whole steps: where a step is below the numbers' resolution, adding it to the
    // tick would never reach the end.
    const double first = std::ceil(lo / step), last = std::floor(hi / step);
    if (!(last - first < 50) || !(step > 1e-12 * std::max(std::abs(lo), std::abs(hi))))
        return ticks;
    for (long long k = 0; k <= static_cast<long long>(last - first); ++k) {
        const double n = first + static_cast<double>(k);
        ticks.push_back(std::abs(n) < 1e-9 ? 0.0 : n * step);
    }
    return ticks;
}

void DrawXYPlot(canvas::Canvas& c, const XYPlot& plot, int width, int height)
{
    Range rx, ry;
    for (const Curve& curve : plot.curves)
        for (std::size_t k = 0; k < curve.x.size(); ++k)
            if (std::isfinite(curve.y[k]) && (!plot.logX || curve.x[k] > 0) && (!plot.logY || curve.y[k] > 0)) {
                rx.Add(curve.x[k]);
                ry.Add(curve.y[k]);
            }
    std::size_t labelled = 0, colors = 0;
    int widest = TextWidth(plot.legendTitle);
    for (std::size_t n = 0; n < plot.curves.size(); ++n) {
        labelled += !plot.curves[n].label.empty();
        widest = std::max(widest, TextWidth(plot.curves[n].label) + 28);
        colors = std::max(colors, (plot.curves[n].color >= 0 ? static_cast<std::size_t>(plot.curves[n].color) : n) + 1);
    }
    // The legend column as wide as its longest text needs, within reason.
    const int right = labelled ? std::clamp(widest + 24, LegendRight, WidestLegend) : PlainRight;
    const bool logX = plot.logX && !rx.Empty() && rx.lo > 0;
    const bool logY = plot.logY && !ry.Empty() && ry.lo > 0;
    rx.Widen(logX);
    ry.Widen(logY);
    const Scale sx{rx.lo, rx.hi, Left, width - right, logX};
    const Scale sy{ry.lo, ry.hi, height - Bottom, Top, logY};
    Frame(c, width, height, right, plot.title, plot.xLabel, plot.yLabel, sx, sy);

    // A legend longer than the plot is tall lists every few curves, the first and last always.
    const int entryHeight = FontHeight + 6;
    const auto room = static_cast<std::size_t>(
        std::max(2, (height - Bottom - Top - 8) / entryHeight - (plot.legendTitle.empty() ? 0 : 1)));
    const std::size_t every = labelled > room ? (labelled + room - 2) / (room - 1) : 1;
    std::size_t label = 0;
    int legendY = Top + 8;
    if (labelled && !plot.legendTitle.empty()) {
        Text(c, width - right + 10, legendY, plot.legendTitle);
        legendY += entryHeight;
    }
    for (std::size_t n = 0; n < plot.curves.size(); ++n) {
        const Curve& curve = plot.curves[n];
        const auto index = curve.color >= 0 ? static_cast<std::size_t>(curve.color) : n;
        const canvas::Color color = CurveColor(index, colors);
        c.SetPenColor(color);
        c.SetPenWidth(2);
        bool drawing = false;
        auto usable = [&](std::size_t k) {
            return std::isfinite(curve.x[k]) && std::isfinite(curve.y[k]) && (!logX || curve.x[k] > 0)
                   && (!logY || curve.y[k] > 0);
        };
        for (std::size_t k = 0; k < curve.x.size(); ++k) {
            if (!usable(k)) {
                drawing = false;
                continue;
            }
            const int x = sx(curve.x[k]), y = sy(curve.y[k]);
            if (drawing && curve.joined)
                c.LineTo(x, y);
            else
                c.MoveTo(x, y);
            drawing = true;
        }
        c.SetPenWidth(1);
        if (curve.markers) {
            c.SetBrushColor(color);
            for (std::size_t k = 0; k < curve.x.size(); ++k)
                if (usable(k))
                    c.Rectangle(sx(curve.x[k]) - 3, sy(curve.y[k]) - 3, sx(curve.x[k]) + 4, sy(curve.y[k]) + 4);
        }
        if (curve.label.empty())
            continue;
        const std::size_t position = label++;
        if (position % every == 0 || position + 1 == labelled) {
            const int x = width - right + 10;
            c.SetPenColor(color);
            c.SetPenWidth(2);
            c.MoveTo(x, legendY + FontHeight / 2);
            c.LineTo(x + 22, legendY + FontHeight / 2);
            c.SetPenWidth(1);
            Text(c, x + 28, legendY, curve.label, color);
            legendY += entryHeight;
        }
    }
}

void DrawHistogram(canvas::Canvas& c, const Histogram& histogram, int width, int height)
{
    Range rx;
    std::size_t n = 0;
    for (double v : histogram.values)
        if (std::isfinite(v)) {
            rx.Add(v);
            ++n;
        }
    const int bins = std::clamp(static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n)))), 5, 50);
    // Bins of values that differ in their last bits only would be narrower than the numbers resolve.
    if (!(rx.hi - rx.lo > 1e-9 * std::max(std::abs(rx.lo), std::abs(rx.hi))))
        rx.Widen(false);
    std::vector<int> counts(static_cast<std::size_t>(bins), 0);
    const double binWidth = (rx.hi - rx.lo) / bins;
    for (double v : histogram.values)
        if (std::isfinite(v))
            ++counts[static_cast<std::size_t>(std::clamp(static_cast<int>((v - rx.lo) / binWidth), 0, bins - 1))];
    const int most = std::max(1, *std::max_element(counts.begin(), counts.end()));
    const Scale sx{rx.lo, rx.hi, Left, width - PlainRight, false};
    const Scale sy{0, most * 1.05, height - Bottom, Top, false};
    Frame(c, width, height, PlainRight, histogram.title, histogram.xLabel, "число запусков", sx, sy);
    c.SetPenColor(canvas::clNavy);
    c.SetBrushColor(canvas::Rgb(120, 150, 220));
    for (int b = 0; b < bins; ++b)
        if (counts[static_cast<std::size_t>(b)] > 0)
            c.Rectangle(sx(rx.lo + b * binWidth), sy(counts[static_cast<std::size_t>(b)]),
                        sx(rx.lo + (b + 1) * binWidth) + 1, sy(0) + 1);
}

} // namespace studyplot
