#pragma once

#include "Canvas.h"
#include "CurveExport.h"
#include "GraphView.h"
#include "NumberFormat.h"
#include "TimeGraph.h"
#include "TuningForkModel.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelisond {

// What the graph and phase-portrait windows read from the main window at paint time.
// Each series holds only the samples the run recorded, and no more than SampleCount.
struct GraphData {
    std::array<std::span<const double>, SeriesCount> Series;
    // The model time of each sample, which tables and read-outs give.
    std::span<const double> Time;
    std::array<SeriesExtremes, SeriesCount> Extremes{};
    float PrintStep = 0, StopTime = 0;
};

GraphData GraphDataOf(const TuningForkModel& model);

inline constexpr int CurveCount = 11;
inline constexpr int RangeCount = 9;

// Curves 1 to 11 as the choice window ticks them.
using CurveChoice = std::array<bool, CurveCount>;

struct Range {
    float Lower = 0, Upper = 0;
    friend bool operator==(const Range&, const Range&) = default;
};
using Ranges = std::array<Range, RangeCount>;

// The "Масштаб" items.
enum class ScaleMode { Automatic = 0, Fixed = 1 };

// The nine value ranges for a scale mode; the drift's always spans at least -0.001 .. 0.001.
Ranges ComputeRanges(const std::array<SeriesExtremes, SeriesCount>& extremes, ScaleMode mode);

// Series and range of curve n (1 .. 11).
SeriesIndex CurveSeries(int number);
int CurveRange(int number);

// Pen and marker colour of curve n; none for numbers outside 1 .. 11.
std::optional<canvas::Color> CurveColor(int number);

// The choice window's name of curve n (1 to 11).
const char* CurveName(int number);

// The chosen curves under their names, each cut to the samples drawn for end time T.
std::vector<timegraph::NamedSeries> DrawnCurves(const GraphData& data, const CurveChoice& chosen, double T);

// When the samples were taken, as the run recorded them.
timegraph::SampleTimes TimesOf(const GraphData& data);

// The drawn curves over the view's span as a CSV table (their envelopes in envelope mode),
// and a kept run's beside them when given; none when no curve is chosen.
std::optional<std::string> GraphCsv(const GraphData& data, const CurveChoice& chosen, double T,
                                    const GraphData* kept = nullptr, const timegraph::View& view = {});

inline constexpr int GraphWidth = 669, GraphHeight = 361;
inline constexpr int PortraitWidth = 569, PortraitHeight = 385;

// The graph's layout in a W x H plot box: 10 time and 10 value divisions of real width.
timegraph::Layout GraphLayout(int W, int H, const numfmt::Separators& sep);

// The whole graph for end time T (the view's span when zoomed): frame with its four scales,
// then the chosen curves. A kept run, when given, is drawn between the grid and the curves.
void DrawGraph(canvas::Canvas& c, const GraphData& data, const Ranges& ranges, const CurveChoice& chosen,
               bool markers, double T, const numfmt::Separators& sep, int W = GraphWidth, int H = GraphHeight,
               const GraphData* kept = nullptr, const timegraph::View& view = {});

// The tooltip over column x of the graph: the time there and the drawn curves' values at
// the nearest drawn sample, then those of a kept run at its own nearest sample when given.
std::string GraphReadOut(const GraphData& data, const CurveChoice& chosen, double T, int x,
                         const numfmt::Separators& sep, int W = GraphWidth, int H = GraphHeight,
                         const GraphData* kept = nullptr, const timegraph::View& view = {});

// Fi against its rate, a black dot for every recorded sample after the first (of the span
// when given: the zoomed span of the graph window); a kept run, when given, in paler dots
// behind them on the same scales.
void DrawPhasePortrait(canvas::Canvas& c, const GraphData& data, int W = PortraitWidth, int H = PortraitHeight,
                       const GraphData* kept = nullptr, std::optional<timegraph::TimeSpan> span = std::nullopt);

} // namespace pelisond
