#include "FigureStream.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace study {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

void FigureStream::Sums::Add(double t, double v, double w, double shift, bool fit)
{
    lo = n == 0 ? v : std::min(lo, v);
    hi = n == 0 ? v : std::max(hi, v);
    n += 1;
    sum += v;
    squares += v * v;
    last = v;
    lastTime = t;
    if (fit)
        harmonic.Add(w, t, v - shift);
}

void FigureStream::Sums::Merge(const Sums& later)
{
    if (later.n == 0)
        return;
    lo = n == 0 ? later.lo : std::min(lo, later.lo);
    hi = n == 0 ? later.hi : std::max(hi, later.hi);
    n += later.n;
    sum += later.sum;
    squares += later.squares;
    last = later.last;
    lastTime = later.lastTime;
    harmonic.Merge(later.harmonic);
}

FigureStream::FigureStream(Stat stat, double windowStart, double w, double stopTime)
    : stat_(stat), windowStart_(windowStart), w_(w > 0 ? w : 0)
{
    fit_ = NeedsFrequency(stat) || (stat == Stat::Mean && w_ > 0);
    if (fit_ && !(w_ > 0)) {
        possible_ = false;
        return;
    }
    if (w_ > 0) {
        // Every sample comes before the stop time (or is the single one at 0 of a run that stops there).
        const double period = 2 * std::numbers::pi / w_;
        const double lastTime = std::max(stopTime, 0.0);
        possible_ = lastTime - windowStart >= period * (1 - 1e-9);
        // The whole periods ending at the last sample start within a period after the window's
        // start, or a little before it where the sample times round.
        const double margin = 2e-9 * period + 1e-11 * (std::abs(windowStart) + std::abs(lastTime));
        headStart_ = windowStart - margin;
        headEnd_ = windowStart + period + margin;
    }
}

void FigureStream::Add(double t, double v)
{
    if (!possible_)
        return;
    if (!(w_ > 0)) {
        if (t >= windowStart_)
            tail_.Add(t, v, 0, 0, false);
        return;
    }
    if (t < headStart_)
        return;
    if (!shifted_) {
        shift_ = v;
        shifted_ = true;
    }
    if (t < headEnd_) {
        headTimes_.push_back(t);
        headValues_.push_back(v);
    } else {
        tail_.Add(t, v, w_, shift_, fit_);
    }
}

double FigureStream::Plain(const Sums& s) const
{
    if (s.n == 0)
        return NaN;
    switch (stat_) {
    case Stat::Max: return s.hi;
    case Stat::Min: return s.lo;
    case Stat::P2p: return s.hi - s.lo;
    case Stat::Final: return s.last;
    case Stat::Mean: return s.sum / s.n;
    case Stat::Rms: return std::sqrt(s.squares / s.n);
    default: return NaN;
    }
}

double FigureStream::Value() const
{
    if (!possible_)
        return NaN;
    if (!(w_ > 0))
        return Plain(tail_);
    if (headTimes_.empty())
        return NaN;
    const double end = tail_.n > 0 ? tail_.lastTime : headTimes_.back();
    const double period = 2 * std::numbers::pi / w_;
    const double periods = std::floor((end - windowStart_) / period * (1 + 1e-12));
    if (!(periods >= 1))
        return NaN;
    // A sample on the window's start belongs to it: allow for the rounding of the sample times.
    const double first = end - periods * period - 1e-9 * period;
    Sums all;
    for (std::size_t k = 0; k < headTimes_.size(); ++k)
        if (headTimes_[k] >= first)
            all.Add(headTimes_[k], headValues_[k], w_, shift_, fit_);
    all.Merge(tail_);
    if (!fit_)
        return Plain(all);

    const Harmonic h = all.harmonic.Solve(shift_);
    switch (stat_) {
    case Stat::Amplitude: return h.Amplitude();
    case Stat::Phase: return h.Phase();
    case Stat::InPhase: return h.c;
    case Stat::Quadrature: return h.s;
    default: return h.mean;
    }
}

RunFigures::RunFigures(const Study& study, std::span<const double> frequencies, double stopTime)
{
    for (std::size_t k = 0; k < study.figures.size(); ++k) {
        const Figure& f = study.figures[k];
        series_.push_back(f.seriesIndex);
        fresh_.emplace_back(f.stat, f.from * stopTime, frequencies[k], stopTime);
    }
    streams_ = fresh_;
}

void RunFigures::Begin()
{
    streams_ = fresh_;
}

void RunFigures::Sample(double time, std::span<const double> values)
{
    for (std::size_t k = 0; k < streams_.size(); ++k)
        streams_[k].Add(time, values[static_cast<std::size_t>(series_[k])]);
}

std::vector<double> RunFigures::Values() const
{
    std::vector<double> out;
    for (const FigureStream& s : streams_)
        out.push_back(s.Value());
    return out;
}

} // namespace study
