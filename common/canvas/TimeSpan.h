#pragma once

#include <optional>

// The stretch of time a graph shows and how the user moves it: zoomed about a point,
// panned, or given back as the whole run.
namespace timegraph {

struct TimeSpan {
    double from = 0, to = 0;

    double Length() const { return to - from; }
    friend bool operator==(const TimeSpan&, const TimeSpan&) = default;
};

// The zoom of one graph window. Unzoomed, the graph shows [0, T] with T from the time
// field, exactly as without zoom; once zoomed it shows its own span until Reset.
class TimeZoom {
public:
    // The limits a span keeps to: within [0, end] and at least minLength long.
    struct Limits {
        double end = 0;
        double minLength = 0;
    };

    bool Zoomed() const { return span_.has_value(); }
    const std::optional<TimeSpan>& Span() const { return span_; }
    // What the graph shows: the zoomed span, else [0, T].
    TimeSpan Shown(double T) const { return span_.value_or(TimeSpan{0, T}); }

    // Narrows (factor < 1) or widens (factor > 1) the shown span about the time `at`, which
    // stays where it stands on the axis. Widening to the whole run gives the run back.
    void ZoomAbout(double at, double factor, double T, const Limits& limits);
    // Moves the shown span by `by` seconds, stopping at the run's ends.
    void Pan(double by, double T, const Limits& limits);
    void Reset() { span_.reset(); }

private:
    std::optional<TimeSpan> span_;
};

// Each notch of the mouse wheel and each Ctrl+= narrows the span by this factor.
inline constexpr double ZoomStep = 1.5;
// Each arrow key moves the span by this share of its length.
inline constexpr double PanShare = 0.1;

} // namespace timegraph
