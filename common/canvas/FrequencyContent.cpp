#include "FrequencyContent.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace timegraph {

Spectrum AmplitudeSpectrum(std::span<const double> samples, float printStep)
{
    Spectrum out;
    const std::size_t n = samples.size();
    if (n < 4 || !(printStep > 0))
        return out;
    double mean = 0;
    std::size_t finite = 0;
    for (const double v : samples)
        if (std::isfinite(v)) {
            mean += v;
            ++finite;
        }
    mean = finite > 0 ? mean / finite : 0;
    const int nfft = kiss_fftr_next_fast_size_real(static_cast<int>(std::min<std::size_t>(n, 1u << 30)));
    std::vector<kiss_fft_scalar> in(static_cast<std::size_t>(nfft), 0);
    double windowSum = 0;
    for (std::size_t i = 0; i < n && i < in.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n - 1));
        windowSum += w;
        // A gap counts as the mean: it adds nothing to any bin.
        in[i] = static_cast<kiss_fft_scalar>(std::isfinite(samples[i]) ? (samples[i] - mean) * w : 0);
    }
    std::vector<kiss_fft_cpx> bins(static_cast<std::size_t>(nfft / 2 + 1));
    const std::unique_ptr<void, void (*)(void*)> config(kiss_fftr_alloc(nfft, 0, nullptr, nullptr), [](void* p) {
        kiss_fftr_free(p);
    });
    if (!config)
        return out;
    kiss_fftr(static_cast<kiss_fftr_cfg>(config.get()), in.data(), bins.data());
    out.binWidth = 2 * std::numbers::pi / (nfft * static_cast<double>(printStep));
    out.amplitude.resize(bins.size());
    for (std::size_t k = 0; k < bins.size(); ++k)
        out.amplitude[k] = 2 * std::hypot(double(bins[k].r), double(bins[k].i)) / windowSum;
    return out;
}

std::vector<Peak> LargestPeaks(const Spectrum& spectrum, std::size_t count)
{
    const std::vector<double>& a = spectrum.amplitude;
    std::vector<std::size_t> maxima;
    // The lowest bins hold what is left of the mean under the window.
    for (std::size_t k = 2; k + 1 < a.size(); ++k)
        if (a[k] > a[k - 1] && a[k] >= a[k + 1] && a[k] > 0)
            maxima.push_back(k);
    std::sort(maxima.begin(), maxima.end(), [&](std::size_t x, std::size_t y) { return a[x] > a[y]; });
    std::vector<std::size_t> kept;
    for (const std::size_t k : maxima) {
        if (kept.size() == count)
            break;
        if (std::none_of(kept.begin(), kept.end(), [k](std::size_t o) { return (k > o ? k - o : o - k) <= 2; }))
            kept.push_back(k);
    }
    std::vector<Peak> peaks;
    for (const std::size_t k : kept) {
        // The top of the parabola through the bin and its neighbours.
        const double l = a[k - 1], c = a[k], r = a[k + 1];
        const double bend = l - 2 * c + r;
        const double shift = bend < 0 ? std::clamp(0.5 * (l - r) / bend, -0.5, 0.5) : 0;
        peaks.push_back({(static_cast<double>(k) + shift) * spectrum.binWidth, c});
    }
    return peaks;
}

double StrongestFrequency(std::span<const double> samples, float printStep)
{
    const std::vector<Peak> peaks = LargestPeaks(AmplitudeSpectrum(samples, printStep), 1);
    return peaks.empty() ? 0 : peaks.front().frequency;
}

} // namespace timegraph
