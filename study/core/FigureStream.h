#pragma once

#include "Figures.h"
#include "SampleSink.h"

#include <span>
#include <vector>

// The figures of a run taken as its samples come, to the definitions of ComputeFigure: each
// figure's window start and frequency are known before the run, so a figure keeps running sums
// and, with a frequency, the samples of the window's first period only (where the whole
// periods ending at the last sample begin is known once the run has ended).
namespace study {

class FigureStream {
public:
    // The figure of statistic stat over the samples from windowStart on; w is the angular
    // frequency (0 for none); stopTime bounds the run's last sample time.
    FigureStream(Stat stat, double windowStart, double w, double stopTime);

    void Add(double t, double v);
    // As ComputeFigure over the samples added (to rounding where a frequency fixes the window).
    double Value() const;

private:
    // Running sums of a set of samples: extremes, the last, and the mean's (or the fit's) sums.
    struct Sums {
        double n = 0, sum = 0, squares = 0, lo = 0, hi = 0, last = 0, lastTime = 0;
        HarmonicSums harmonic;  // with the values taken less `shift`
        void Add(double t, double v, double w, double shift, bool fit);
        void Merge(const Sums& later);
    };

    double Plain(const Sums& s) const;

    Stat stat_;
    double windowStart_, w_;
    bool fit_ = false;          // a harmonic fit (else extremes and sums)
    bool possible_ = true;      // the window can hold a whole period
    double headEnd_ = 0;        // samples before it form the head
    double headStart_ = 0;      // with a frequency, the earliest sample a window can take
    double shift_ = 0;          // subtracted from the values in the fit's sums, for conditioning
    bool shifted_ = false;
    std::vector<double> headTimes_, headValues_;
    Sums tail_;
};

// Every figure of a study for one run, fed by the run's samples.
class RunFigures final : public gyromodel::SampleSink {
public:
    // frequencies: each figure's for this run; stopTime: the run's.
    RunFigures(const Study& study, std::span<const double> frequencies, double stopTime);
    void Begin() override;
    void Sample(double time, std::span<const double> values) override;
    std::vector<double> Values() const;

private:
    std::vector<int> series_;
    std::vector<FigureStream> fresh_, streams_;
};

} // namespace study
