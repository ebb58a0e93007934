#pragma once

#include "Study.h"

#include <span>

// The figures of one run, taken from its recorded samples.
namespace study {

// The component of a series at one angular frequency, fitted by least squares as
// mean + c * cos(w t) + s * sin(w t) over the samples of a window of whole periods.
struct Harmonic {
    double mean = 0;
    double c = 0;   // in phase with cos(w t)
    double s = 0;   // in phase with sin(w t)
    double Amplitude() const;
    // Phase of the component as amplitude * cos(w t + phase), in radians, in (-pi, pi].
    double Phase() const;
};

// The normal equations of the fit mean + c cos(w t) + s sin(w t), summed sample by sample with
// the values taken less a shift near their mean (for conditioning).
struct HarmonicSums {
    double n = 0, sc = 0, ss = 0, scc = 0, sss = 0, scs = 0, yc = 0, ys = 0, y1 = 0;
    void Add(double w, double t, double y);
    void Merge(const HarmonicSums& later);
    // The fit, the shift added back to its mean; not finite where the samples cannot tell the
    // components apart.
    Harmonic Solve(double shift) const;
};

// Fits the component over the samples with end - periods * 2 pi / w <= t <= end, where
// end is the last sample's time and periods the most whole periods after windowStart.
// Not finite when the window holds no whole period or its samples cannot tell the
// components apart (w a multiple of the Nyquist frequency).
Harmonic FitHarmonic(std::span<const double> t, std::span<const double> v, double windowStart, double w);

// Figure f of a run whose samples are t, v; stopTime places the window start at
// f.from * stopTime; w is the figure's frequency for this run, 0 for none. Not finite when the
// window holds no sample.
double ComputeFigure(const Figure& f, std::span<const double> t, std::span<const double> v, double stopTime, double w);

} // namespace study
