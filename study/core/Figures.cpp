#include "Figures.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace study {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// First sample at or after time start.
std::size_t FirstAt(std::span<const double> t, double start)
{
    return static_cast<std::size_t>(std::lower_bound(t.begin(), t.end(), start) - t.begin());
}

} // namespace

double Harmonic::Amplitude() const
{
    return std::hypot(c, s);
}

double Harmonic::Phase() const
{
    // c cos + s sin = A cos(w t + phase) with A cos(phase) = c, -A sin(phase) = s.
    return std::atan2(-s, c);
}

Harmonic FitHarmonic(std::span<const double> t, std::span<const double> v, double windowStart, double w)
{
    Harmonic h{NaN, NaN, NaN};
    if (t.empty() || !(w > 0))
        return h;
    const double end = t.back();
    const double period = 2 * std::numbers::pi / w;
    const double periods = std::floor((end - windowStart) / period * (1 + 1e-12));
    if (!(periods >= 1))
        return h;
    // A sample on the window's start belongs to it: allow for the rounding of the sample times.
    const double start = end - periods * period;
    const std::size_t first = FirstAt(t, start - 1e-9 * period);

    // The mean removed first for conditioning.
    double mean = 0;
    for (std::size_t i = first; i < t.size(); ++i)
        mean += v[i];
    mean /= static_cast<double>(t.size() - first);
    HarmonicSums sums;
    for (std::size_t i = first; i < t.size(); ++i)
        sums.Add(w, t[i], v[i] - mean);
    return sums.Solve(mean);
}

void HarmonicSums::Add(double w, double t, double y)
{
    const double c = std::cos(w * t), s = std::sin(w * t);
    n += 1;
    sc += c;
    ss += s;
    scc += c * c;
    sss += s * s;
    scs += c * s;
    yc += y * c;
    ys += y * s;
    y1 += y;
}

void HarmonicSums::Merge(const HarmonicSums& later)
{
    n += later.n;
    sc += later.sc;
    ss += later.ss;
    scc += later.scc;
    sss += later.sss;
    scs += later.scs;
    yc += later.yc;
    ys += later.ys;
    y1 += later.y1;
}

Harmonic HarmonicSums::Solve(double shift) const
{
    // What is left of the mean after the shift, taken out of the sums.
    const double m = y1 / n;
    const double yc0 = yc - m * sc, ys0 = ys - m * ss, y10 = y1 - m * n;
    // Solve [[n sc ss] [sc scc scs] [ss scs sss]] x = [y1 yc ys] by Cramer's rule.
    auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double hh, double i) {
        return a * (e * i - f * hh) - b * (d * i - f * g) + c * (d * hh - e * g);
    };
    const double det = det3(n, sc, ss, sc, scc, scs, ss, scs, sss);
    // The cos and sin columns must not be (nearly) proportional to each other or to the constant.
    if (!(std::abs(det) > 1e-9 * n * n * n))
        return {NaN, NaN, NaN};
    const double d0 = det3(y10, sc, ss, yc0, scc, scs, ys0, scs, sss);
    const double dc = det3(n, y10, ss, sc, yc0, scs, ss, ys0, sss);
    const double ds = det3(n, sc, y10, sc, scc, yc0, ss, scs, ys0);
    return {shift + m + d0 / det, dc / det, ds / det};
}

double ComputeFigure(const Figure& f, std::span<const double> t, std::span<const double> v, double stopTime, double w)
{
    double windowStart = f.from * stopTime;
    if (NeedsFrequency(f.stat) || (f.stat == Stat::Mean && w > 0)) {
        const Harmonic h = FitHarmonic(t, v, windowStart, w);
        switch (f.stat) {
        case Stat::Amplitude: return h.Amplitude();
        case Stat::Phase: return h.Phase();
        case Stat::InPhase: return h.c;
        case Stat::Quadrature: return h.s;
        default: return h.mean;
        }
    }
    if (w > 0) {
        if (t.empty())
            return NaN;
        const double period = 2 * std::numbers::pi / w;
        const double periods = std::floor((t.back() - windowStart) / period * (1 + 1e-12));
        if (!(periods >= 1))
            return NaN;
        windowStart = t.back() - periods * period - 1e-9 * period;
    }
    const std::size_t first = FirstAt(t, windowStart);
    if (first >= v.size())
        return NaN;
    const auto window = v.subspan(first);
    switch (f.stat) {
    case Stat::Max: return *std::max_element(window.begin(), window.end());
    case Stat::Min: return *std::min_element(window.begin(), window.end());
    case Stat::P2p: {
        const auto [lo, hi] = std::minmax_element(window.begin(), window.end());
        return *hi - *lo;
    }
    case Stat::Final: return window.back();
    case Stat::Mean:
    case Stat::Rms: {
        double sum = 0;
        for (double x : window)
            sum += f.stat == Stat::Mean ? x : x * x;
        const double mean = sum / static_cast<double>(window.size());
        return f.stat == Stat::Mean ? mean : std::sqrt(mean);
    }
    default: return NaN;
    }
}

} // namespace study
