#pragma once

#include "Canvas.h"
#include "NumberFormat.h"
#include "FrequencyContent.h"

#include <span>
#include <string>
#include <vector>

// The spectrum window's picture and table: the amplitude spectra of the shown curves on one
// frequency axis, the largest peaks labelled, the device's own frequencies marked.
namespace timegraph {

struct SpectrumCurve {
    std::string name;
    canvas::Color color;
    Spectrum spectrum;
};

// A frequency of the device drawn as a dashed line, with its name.
struct SpectrumMark {
    double frequency = 0; // 1/s
    std::string name;
};

struct SpectrumOptions {
    bool hertz = false;        // frequencies in Hz instead of 1/s
    bool logFrequency = false; // logarithmic frequency axis
    bool logAmplitude = false; // logarithmic amplitude axis
};

// Peaks labelled per curve.
inline constexpr std::size_t LabelledPeaks = 3;

// A frequency in 1/s in the unit the options ask for.
double InUnit(double frequency, const SpectrumOptions& options);
const char* UnitName(const SpectrumOptions& options);

void DrawSpectrum(canvas::Canvas& c, std::span<const SpectrumCurve> curves, std::span<const SpectrumMark> marks,
                  const SpectrumOptions& options, const numfmt::Separators& sep, int W, int H);

// The spectra as comma-separated text: the frequency column in the options' unit, then one
// amplitude column per curve, one row per bin.
std::string SpectrumCsv(std::span<const SpectrumCurve> curves, const SpectrumOptions& options);

} // namespace timegraph
