#include "TimeSpan.h"

#include <algorithm>
#include <cmath>

namespace timegraph {

namespace {

// The span moved, not stretched, into [0, end] where it fits there.
TimeSpan Kept(TimeSpan s, const TimeZoom::Limits& limits)
{
    const double length = s.Length();
    if (s.from < 0) {
        s.from = 0;
        s.to = length;
    }
    if (s.to > limits.end) {
        s.to = limits.end;
        s.from = std::max(0.0, limits.end - length);
    }
    return s;
}

} // namespace

void TimeZoom::ZoomAbout(double at, double factor, double T, const Limits& limits)
{
    const TimeSpan now = Shown(T);
    if (!(now.Length() > 0) || !(factor > 0) || !std::isfinite(at) || !(limits.end > 0))
        return;
    const double length = std::clamp(now.Length() * factor, std::min(limits.minLength, limits.end), limits.end);
    if (factor > 1 && length >= limits.end) {
        // Out as far as the run goes: the window as it was before any zoom.
        span_.reset();
        return;
    }
    const double share = std::clamp((at - now.from) / now.Length(), 0.0, 1.0);
    span_ = Kept({at - share * length, at - share * length + length}, limits);
}

void TimeZoom::Pan(double by, double T, const Limits& limits)
{
    const TimeSpan now = Shown(T);
    if (!std::isfinite(by) || !(now.Length() > 0))
        return;
    const TimeSpan moved = Kept({now.from + by, now.to + by}, {std::max(limits.end, now.to), limits.minLength});
    if (moved != now)
        span_ = moved;
}

} // namespace timegraph
