#include "GraphView.h"

namespace timegraph {

Layout Zoomed(Layout layout, const View& view)
{
    if (view.zoom) {
        layout.zoomed = true;
        layout.timeFrom = view.zoom->from;
    }
    return layout;
}

double EndTime(double T, const View& view) { return view.zoom ? view.zoom->to : T; }

double StartTime(const View& view) { return view.zoom ? view.zoom->from : 0; }

void DrawViewCurve(canvas::Canvas& c, const Layout& layout, double T, float printStep, Curve curve, bool markers,
                   const View& view)
{
    const Envelope* e = view.envelope ? view.envelope(curve.samples) : nullptr;
    if (!e) {
        if (view.levels)
            curve.levels = &view.levels->For(curve.samples);
        DrawCurve(c, layout, T, printStep, curve, markers);
        return;
    }
    Curve amplitude = curve, slow = curve;
    amplitude.samples = e->amplitude;
    slow.samples = e->slow;
    if (view.levels) {
        amplitude.levels = &view.levels->For(amplitude.samples);
        slow.levels = &view.levels->For(slow.samples);
    }
    DrawCurve(c, layout, T, printStep, amplitude, markers);
    c.SetPenStyle(canvas::PenStyle::Dash);
    DrawCurve(c, layout, T, printStep, slow, false);
    c.SetPenStyle(canvas::PenStyle::Solid);
}

std::vector<NamedSeries> EnvelopeColumns(std::span<const NamedSeries> curves, const EnvelopeOf& envelope)
{
    std::vector<NamedSeries> out;
    for (const NamedSeries& curve : curves) {
        const Envelope* e = envelope ? envelope(curve.samples) : nullptr;
        if (!e)
            continue;
        out.push_back({curve.name + " (амплитуда)", e->amplitude});
        out.push_back({curve.name + " (медленная часть)", e->slow});
    }
    return out;
}

} // namespace timegraph
