#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

// The envelope of a fast oscillation: at every sample, a least-squares fit of
// c + a cos ωt + b sin ωt over one whole period of ω around it. Its amplitude √(a² + b²)
// shows the build-up and the steady amplitude, its constant c the slow part (a drift's
// steady value) under the oscillation.
namespace timegraph {

struct Envelope {
    double frequency = 0;            // ω, 1/s
    std::vector<double> amplitude;   // per sample; NaN where the period holds a gap
    std::vector<double> slow;
};

// Samples in one period of ω at the print step: the fit's window.
std::size_t PeriodSamples(double frequency, float printStep);

// The envelope of a series sampled every printStep, or none where a period holds fewer
// than three samples or more than the series has. Near the ends the window stays inside
// the series.
std::optional<Envelope> FitEnvelope(std::span<const double> samples, float printStep, double frequency);

// Why no envelope can be formed at that frequency, in Russian.
std::string NoEnvelopeMessage(double frequency, float printStep, const std::string& frequencyText);

} // namespace timegraph
