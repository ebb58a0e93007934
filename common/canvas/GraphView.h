#pragma once

#include "CurveExport.h"
#include "Envelope.h"
#include "MinMaxPyramid.h"
#include "TimeGraph.h"
#include "TimeSpan.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the user made of a graph window beyond its time field: a zoomed span and the
// curves shown as envelopes. Both programs draw, export and read out through it.
namespace timegraph {

// The envelope of a whole series (none where it cannot be formed).
using EnvelopeOf = std::function<const Envelope*(std::span<const double> series)>;

struct View {
    std::optional<TimeSpan> zoom;  // none: [0, T] as the time field says
    PyramidCache* levels = nullptr; // the series' levels of detail, kept between paints
    EnvelopeOf envelope;           // set: each curve is drawn as its envelope
};

// The layout with the view's span: [zoom.from, T] with T = zoom.to.
Layout Zoomed(Layout layout, const View& view);
// The end time a zoomed view draws up to, else T.
double EndTime(double T, const View& view);
double StartTime(const View& view);

// A curve as the view shows it: itself, or its envelope's amplitude (solid) and slow
// part (dashed) on the curve's range.
void DrawViewCurve(canvas::Canvas& c, const Layout& layout, double T, float printStep, Curve curve, bool markers,
                   const View& view);

// The columns of the table in envelope mode: each curve's amplitude and slow part, named
// after it; the curves given whole.
std::vector<NamedSeries> EnvelopeColumns(std::span<const NamedSeries> curves, const EnvelopeOf& envelope);

} // namespace timegraph
