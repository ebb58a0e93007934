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

    // Normal equations of the basis 1, cos, sin, with the mean removed first for conditioning.
    const std::size_t n = t.size() - first;
    double mean = 0;
    for (std::size_t i = first; i < t.size(); ++i)
        mean += v[i];
    mean /= static_cast<double>(n);
    double s1 = 0, sc = 0, ss = 0, scc = 0, sss = 0, scs = 0, yc = 0, ys = 0, y1 = 0;
    for (std::size_t i = first; i < t.size(); ++i) {
        const double c = std::cos(w * t[i]), s = std::sin(w * t[i]), y = v[i] - mean;
        s1 += 1;
        sc += c;
        ss += s;
        scc += c * c;
        sss += s * s;
        scs += c * s;
        yc += y * c;
        ys += y * s;
        y1 += y;
    }
    // Solve [[s1 sc ss] [sc scc scs] [ss scs sss]] x = [y1 yc ys] by Cramer's rule.
    auto det3 = [](double a, double b, double c, double d, double e, double f, double g, double hh, double i) {
        return a * (e * i - f * hh) - b * (d * i - f * g) + c * (d * hh - e * g);
    };
    const double det = det3(s1, sc, ss, sc, scc, scs, ss, scs, sss);
    // The cos and sin columns must not be (nearly) proportional to each other or to the constant.
    if (!(std::abs(det) > 1e-9 * s1 * s1 * s1))
        return h;
    const double d0 = det3(y1, sc, ss, yc, scc, scs, ys, scs, sss);
    const double dc = det3(s1, y1, ss, sc, yc, scs, ss, ys, sss);
    const double ds = det3(s1, sc, y1, sc, scc, yc, ss, scs, ys);
    return {mean + d0 / det, dc / det, ds / det};
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
