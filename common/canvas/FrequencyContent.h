#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// The amplitude spectrum of a sampled curve: its mean taken off, a Hann window, a real FFT
// (kissfft) padded to a length the FFT handles fast, each bin's amplitude scaled so that a
// cosine of amplitude A reads A at its frequency.
namespace timegraph {

struct Spectrum {
    double binWidth = 0;            // angular frequency from bin to bin, 1/s
    std::vector<double> amplitude;  // bin k at k * binWidth, from 0 to the Nyquist frequency
};

// The spectrum of samples spaced printStep apart; empty for fewer than four samples.
Spectrum AmplitudeSpectrum(std::span<const double> samples, float printStep);

struct Peak {
    double frequency = 0; // 1/s, between the bins where the neighbours say so
    double amplitude = 0;
};

// The largest local maxima above the lowest bins, largest first, at most `count`; a peak
// within two bins of a larger one is left out (the window's side lobes).
std::vector<Peak> LargestPeaks(const Spectrum& spectrum, std::size_t count);

// The frequency of the strongest peak, 0 when the spectrum has none.
double StrongestFrequency(std::span<const double> samples, float printStep);

} // namespace timegraph
