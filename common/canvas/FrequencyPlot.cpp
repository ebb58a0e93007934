#include "FrequencyPlot.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace timegraph {

double InUnit(double frequency, const SpectrumOptions& options)
{
    return options.hertz ? frequency / (2 * std::numbers::pi) : frequency;
}

const char* UnitName(const SpectrumOptions& options) { return options.hertz ? "Гц" : "1/с"; }

namespace {

constexpr int Left = 60, Right = 20, Top = 10, Bottom = 20;
constexpr int Divisions = 10;

// Where a value lands on an axis from lo to hi of the given length, linear or logarithmic.
struct Axis {
    double lo, hi;
    bool log;
    double Share(double v) const
    {
        if (log)
            return v > 0 ? (std::log10(v) - std::log10(lo)) / (std::log10(hi) - std::log10(lo)) : -1;
        return (v - lo) / (hi - lo);
    }
    double At(double share) const
    {
        return log ? std::pow(10.0, std::log10(lo) + share * (std::log10(hi) - std::log10(lo))) : lo + share * (hi - lo);
    }
};

} // namespace

void DrawSpectrum(canvas::Canvas& c, std::span<const SpectrumCurve> curves, std::span<const SpectrumMark> marks,
                  const SpectrumOptions& options, const numfmt::Separators& sep, int W, int H)
{
    const int x1 = Left, x2 = W - Right, y1 = Top, y2 = H - Bottom;
    c.SetPenWidth(1);
    c.SetPenColor(canvas::clGreen);
    c.SetBrushColor(canvas::clBlack);
    c.SetFont({"Times New Roman", canvas::PointsToPixels(8), canvas::clRed, false});
    c.Rectangle(x1, y1, x2, y2);

    double top = 0, first = INFINITY, last = 0;
    for (const SpectrumCurve& curve : curves) {
        const Spectrum& s = curve.spectrum;
        for (std::size_t k = 1; k < s.amplitude.size(); ++k)
            if (std::isfinite(s.amplitude[k]))
                top = std::max(top, s.amplitude[k]);
        if (s.amplitude.size() > 1) {
            first = std::min(first, InUnit(s.binWidth, options));
            last = std::max(last, InUnit(s.binWidth * static_cast<double>(s.amplitude.size() - 1), options));
        }
    }
    c.SetBrushColor(canvas::clBtnFace);
    if (!(top > 0) || !(last > 0)) {
        c.TextOut(x1 + 10, y1 + 10, "Нет данных для спектра");
        return;
    }
    const Axis fx{options.logFrequency ? first : 0, last, options.logFrequency};
    const Axis ay{options.logAmplitude ? top * 1e-6 : 0, top * 1.1, options.logAmplitude};
    const auto X = [&](double f) { return x1 + fx.Share(f) * (x2 - x1); };
    const auto Y = [&](double a) { return y2 - std::clamp(ay.Share(a), -0.01, 1.01) * (y2 - y1); };
    const auto number = [&](double v) { return numfmt::FormatGeneral(v, 3, sep); };
    // Frequencies whole up to a million: 62800 rather than 6,28E4, and no fraction past 100.
    const auto frequency = [&](double v) { return numfmt::FormatGeneral(std::fabs(v) >= 100 ? std::round(v) : v, 6, sep); };

    // Grid and labels: ten divisions each way.
    for (int i = 0; i <= Divisions; ++i) {
        const int x = x1 + (x2 - x1) * i / Divisions, y = y2 - (y2 - y1) * i / Divisions;
        c.MoveTo(x, y1);
        c.LineTo(x, y2);
        c.MoveTo(x1, y);
        c.LineTo(x2, y);
        if (i % 2 == 0 && i < Divisions)
            c.TextOut(x, y2 + 4, frequency(fx.At(i / double(Divisions))));
        if (i > 0)
            c.TextOut(2, y - 6, number(ay.At(i / double(Divisions))));
    }
    c.SetFontColor(canvas::clBlue);
    c.TextOut(x2 - 40, y2 + 4, std::string("f, ") + UnitName(options));

    c.SetClip(x1, y1, x2, y2);
    // The device's own frequencies, dashed and named at the top.
    c.SetPenColor(canvas::clWhite);
    c.SetPenStyle(canvas::PenStyle::Dash);
    c.SetBrushColor(canvas::clBlack);
    c.SetFontColor(canvas::clWhite);
    int beyond = 0;
    for (const SpectrumMark& mark : marks) {
        const double x = X(InUnit(mark.frequency, options));
        if (x > x2 && std::isfinite(x)) {
            // Above the highest frequency the samples hold: named at the edge, not drawn.
            const std::string text = mark.name + " " + frequency(InUnit(mark.frequency, options)) + " " +
                                     UnitName(options) + ": выше половины частоты отсчетов";
            c.TextOut(std::max(x1 + 2, x2 - c.TextWidth(text) - 4), y1 + 2 + 14 * beyond++, text);
            continue;
        }
        if (!(x >= x1 && x <= x2))
            continue;
        c.MoveTo(canvas::Canvas::PixelOf(x), y1);
        c.LineTo(canvas::Canvas::PixelOf(x), y2);
        c.TextOut(canvas::Canvas::PixelOf(x) + 3, y1 + 2, mark.name);
    }
    c.SetPenStyle(canvas::PenStyle::Solid);

    for (const SpectrumCurve& curve : curves) {
        c.SetPenColor(curve.color);
        const Spectrum& s = curve.spectrum;
        bool open = false;
        for (std::size_t k = 1; k < s.amplitude.size(); ++k) {
            const double x = X(InUnit(s.binWidth * static_cast<double>(k), options)), y = Y(s.amplitude[k]);
            if (!std::isfinite(x) || !std::isfinite(y) || x < x1 - 1) {
                open = false;
                continue;
            }
            if (open)
                c.LineToF(x, y);
            else
                c.MoveToF(x, y);
            open = true;
        }
    }
    // The largest peaks of each curve with frequency and amplitude.
    int row = 0;
    for (const SpectrumCurve& curve : curves) {
        c.SetFontColor(curve.color);
        for (const Peak& p : LargestPeaks(curve.spectrum, LabelledPeaks)) {
            const int x = canvas::Canvas::PixelOf(X(InUnit(p.frequency, options)));
            const int y = canvas::Canvas::PixelOf(Y(p.amplitude));
            const std::string text = frequency(InUnit(p.frequency, options)) + "; " + number(p.amplitude);
            const int width = c.TextWidth(text);
            c.TextOut(std::clamp(x + 3, x1 + 2, x2 - width - 2), std::clamp(y - 14 + 12 * (row % 2), y1 + 14, y2 - 14), text);
            ++row;
        }
    }
    c.ClearClip();
    c.SetBrushColor(canvas::clBtnFace);
}

std::string SpectrumCsv(std::span<const SpectrumCurve> curves, const SpectrumOptions& options)
{
    std::string out = std::string("f (") + UnitName(options) + ")";
    std::size_t rows = 0;
    for (const SpectrumCurve& curve : curves) {
        out += ',' + curve.name;
        rows = std::max(rows, curve.spectrum.amplitude.size());
    }
    out += '\n';
    char buffer[64];
    const auto append = [&](double v) {
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
        out.append(buffer, r.ptr);
    };
    const double width = curves.empty() ? 0 : curves.front().spectrum.binWidth;
    for (std::size_t k = 0; k < rows; ++k) {
        append(InUnit(width * static_cast<double>(k), options));
        for (const SpectrumCurve& curve : curves) {
            out += ',';
            if (k < curve.spectrum.amplitude.size())
                append(curve.spectrum.amplitude[k]);
        }
        out += '\n';
    }
    return out;
}

} // namespace timegraph
