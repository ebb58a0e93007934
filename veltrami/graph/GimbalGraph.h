#pragma once

#include "Canvas.h"
#include "NumberFormat.h"
#include "CurveExport.h"
#include "GraphView.h"
#include "TimeGraph.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veltrami {

class GimbalModel;

// What the graph and phase-portrait windows read from the main window at paint time.
// The series hold only the samples the run recorded, and no more than SampleCount.
struct GraphData {
    std::span<const double> Alf, Bet, AlfDot, BetDot;
    // The model time of each sample; tables and read-outs give it (sample k of a run is
    // taken after (k + 1) * n steps, not at k * PrintStep).
    std::span<const double> Time;
    float AlfMin = 0, AlfMax = 0, BetMin = 0, BetMax = 0;
    float AlfDotMin = 0, AlfDotMax = 0, BetDotMin = 0, BetDotMax = 0;
    float PrintStep = 0, StopTime = 0;
};

GraphData GraphDataOf(const GimbalModel& model);

// Curves 1 to 4 (Alf, Bet, AlfDot, BetDot) as the choice window ticks them.
using CurveChoice = std::array<bool, 4>;

// The choice window's name of curve n (1 to 4).
const char* CurveName(int number);

// The chosen curves under their names, each cut to the samples drawn for end time T.
std::vector<timegraph::NamedSeries> DrawnCurves(const GraphData& data, const CurveChoice& chosen, double T);

// When the samples were taken, as the run recorded them.
timegraph::SampleTimes TimesOf(const GraphData& data);

// The drawn curves as a CSV table, and a kept run's beside them when given; none when no
// curve is chosen.
std::optional<std::string> GraphCsv(const GraphData& data, const CurveChoice& chosen, double T,
                                    const GraphData* kept = nullptr, const timegraph::View& view = {});

// Plot box of the graph window.
inline constexpr int GraphWidth = 669, GraphHeight = 361;
// Plot box of the phase-portrait window.
inline constexpr int PortraitWidth = 569, PortraitHeight = 385;

// Pen and marker colour of curve n; none for numbers without one.
std::optional<canvas::Color> CurveColor(int number);

// The graph's layout in a W x H plot box: 20 time and 10 value divisions of whole pixels.
timegraph::Layout GraphLayout(int W, int H, const numfmt::Separators& sep);

// The whole graph for end time T: frame, labels and grid, then the chosen curves. A kept
// run, when given, is drawn between the grid and the curves.
void DrawGraph(canvas::Canvas& c, const GraphData& data, const CurveChoice& chosen, bool markers, double T,
               const numfmt::Separators& sep, int W = GraphWidth, int H = GraphHeight,
               const GraphData* kept = nullptr, const timegraph::View& view = {});

// The tooltip over column x of the graph: the time there and the drawn curves' values at
// the nearest drawn sample, then those of a kept run at its own nearest sample when given.
std::string GraphReadOut(const GraphData& data, const CurveChoice& chosen, double T, int x,
                         const numfmt::Separators& sep, int W = GraphWidth, int H = GraphHeight,
                         const GraphData* kept = nullptr, const timegraph::View& view = {});

// The phase portrait of the outer frame (item 0: Alf against AlfDot) or the inner one
// (item 1: Bet against BetDot) as one black line over the recorded run; a kept run, when
// given, behind it on the same scales. Only the samples of the span when given (the zoomed
// span of the graph window).
void DrawPhasePortrait(canvas::Canvas& c, const GraphData& data, int item, int W = PortraitWidth,
                       int H = PortraitHeight, const GraphData* kept = nullptr,
                       std::optional<timegraph::TimeSpan> span = std::nullopt);

} // namespace veltrami
