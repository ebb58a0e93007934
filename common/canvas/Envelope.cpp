#include "Envelope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace timegraph {

std::size_t PeriodSamples(double frequency, float printStep)
{
    const double samples = 2 * std::numbers::pi / (std::fabs(frequency) * printStep);
    if (!std::isfinite(samples) || samples > 1e15)
        return 0;
    return static_cast<std::size_t>(std::llround(samples));
}

namespace {

// The sums of the normal equations over a window; gaps counted apart.
struct Sums {
    // 1, c, s, cc, ss, cs, v, vc, vs
    std::array<double, 9> a{};
    std::size_t gaps = 0;

    void Add(double v, double c, double s, double sign)
    {
        if (!std::isfinite(v)) {
            gaps += sign > 0 ? 1 : std::size_t(-1);
            return;
        }
        const double terms[9] = {1, c, s, c * c, s * s, c * s, v, v * c, v * s};
        for (int k = 0; k < 9; ++k)
            a[k] += sign * terms[k];
    }
};

double Det3(double a, double b, double c, double d, double e, double f, double g, double h, double i)
{
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

} // namespace

std::optional<Envelope> FitEnvelope(std::span<const double> samples, float printStep, double frequency)
{
    const std::size_t M = PeriodSamples(frequency, printStep), N = samples.size();
    if (M < 3 || M > N)
        return std::nullopt;
    Envelope e;
    e.frequency = frequency;
    e.amplitude.resize(N);
    e.slow.resize(N);
    const double w = frequency, ps = printStep;
    const auto term = [&](std::size_t k, double sign, Sums& sums) {
        const double t = static_cast<double>(k) * ps;
        sums.Add(samples[k], std::cos(w * t), std::sin(w * t), sign);
    };
    Sums sums;
    std::size_t start = 0, slid = 0;
    const auto resum = [&] {
        sums = {};
        for (std::size_t k = start; k < start + M; ++k)
            term(k, 1, sums);
        slid = 0;
    };
    resum();
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t i = 0; i < N; ++i) {
        const std::size_t want = std::min(i >= M / 2 ? i - M / 2 : 0, N - M);
        while (start < want) {
            term(start, -1, sums);
            term(start + M, 1, sums);
            ++start;
            // Sliding sums gather rounding; formed afresh now and then.
            if (++slid == 1024)
                resum();
        }
        const auto& a = sums.a;
        // | n   Σc   Σs  |   |c0|   | Σv  |
        // | Σc  Σcc  Σcs | · |a | = | Σvc |
        // | Σs  Σcs  Σss |   |b |   | Σvs |
        const double D = Det3(a[0], a[1], a[2], a[1], a[3], a[5], a[2], a[5], a[4]);
        if (sums.gaps > 0 || !(std::fabs(D) > 0)) {
            e.amplitude[i] = e.slow[i] = NaN;
            continue;
        }
        const double c0 = Det3(a[6], a[1], a[2], a[7], a[3], a[5], a[8], a[5], a[4]) / D;
        const double ca = Det3(a[0], a[6], a[2], a[1], a[7], a[5], a[2], a[8], a[4]) / D;
        const double cb = Det3(a[0], a[1], a[6], a[1], a[3], a[7], a[2], a[5], a[8]) / D;
        e.amplitude[i] = std::hypot(ca, cb);
        e.slow[i] = c0;
    }
    return e;
}

std::string NoEnvelopeMessage(double frequency, float printStep, const std::string& frequencyText)
{
    if (PeriodSamples(frequency, printStep) < 3)
        return "Огибающая на частоте " + frequencyText +
               " 1/с не строится: на ее период приходится меньше трех отсчетов. Уменьшите шаг печати.";
    return "Огибающая на частоте " + frequencyText + " 1/с не строится: расчет короче одного ее периода.";
}

} // namespace timegraph
