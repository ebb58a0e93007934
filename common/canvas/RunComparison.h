#pragma once

#include "Canvas.h"
#include "CurveExport.h"
#include "GraphView.h"
#include "NumberFormat.h"
#include "TimeGraph.h"

#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A run kept beside the current one, so that the graph and phase-portrait windows can
// show what a change of parameters did.
namespace comparison {

// A copy of one run: its series cut to the samples it recorded, the times it recorded
// them at (when the model keeps them), its print step, stop time and sample count, and
// the parameters it was calculated with, in the order of the parameter table.
struct KeptRun {
    std::vector<std::vector<double>> series;
    std::vector<double> times;
    float printStep = 0, stopTime = 0;
    int sampleCount = 0;
    std::vector<float> parameters;
};

// What Keep copies: views of the current run's recorded samples.
struct RunView {
    std::vector<std::span<const double>> series;
    std::span<const double> times;
    float printStep = 0, stopTime = 0;
    int sampleCount = 0;
    std::vector<float> parameters;
};

// Bytes of a copy of the run.
std::uint64_t CopyBytes(const RunView& run);

// What a run's series and its kept copy may take together: the budget of a run's series,
// about half of the physical memory.
std::uint64_t DefaultMemoryLimit();

// The run kept for comparison, shared by the graph and phase-portrait windows of a program.
class RunComparison {
public:
    // Keeps a copy of the run in place of any kept before. When the copy beside the run's
    // own series (runBytes) would pass the memory limit, nothing is copied, the earlier kept
    // run stays and the reason is returned in Russian; an empty string when kept.
    std::string Keep(const RunView& run, std::uint64_t runBytes);
    // Lets the kept run go, memory and all.
    void Remove() { kept_.reset(); }
    const KeptRun* Kept() const { return kept_.get(); }

    // Bytes a run and its copy may take together.
    std::uint64_t MemoryLimit = DefaultMemoryLimit();

private:
    std::unique_ptr<KeptRun> kept_;
};

// A parameter record's values in the order of its table.
template <class Parameters>
std::vector<float> ParameterValues(const Parameters& params)
{
    std::vector<float> values;
    for (std::size_t k = 0; k < Parameters::Count; ++k)
        values.push_back(params.at(k));
    return values;
}

// The labels of a parameter table's rows.
template <class Rows>
std::vector<std::string_view> ParameterLabels(const Rows& rows)
{
    std::vector<std::string_view> labels;
    for (const auto& row : rows)
        labels.push_back(row.label);
    return labels;
}

// The line under a comparison: each parameter whose value differs between the kept run and
// the current one, as "label: kept → current" in table order, labels as the parameter
// window shows them and values in the general format. Says so when none differs.
std::string DifferenceLine(std::span<const std::string_view> labels, std::span<const float> kept,
                           std::span<const float> current, const numfmt::Separators& sep);

// The colour of a kept run's curve: its own colour, paler (halfway to white).
canvas::Color KeptColor(canvas::Color color);

// A curve of the kept run behind the current ones: over the same time span and scale,
// sample i at i * printStep of its own run, in the curve's colour made paler, dashed, cut
// to the plot rectangle, without markers. Pen style and cut are put back afterwards. Its
// levels of detail come from `levels` when given, so a zoomed window does not form them anew
// on every paint.
void DrawKeptCurve(canvas::Canvas& c, const timegraph::Layout& layout, double T, float printStep,
                   timegraph::Curve curve, timegraph::PyramidCache* levels = nullptr);

// The table of the current curves with the kept run's table beside it, row by row: each
// of the kept table's column names is marked as the kept run's, and a row one table lacks
// holds empty cells there. Both tables as CurvesCsv writes them.
std::string CsvSideBySide(const std::string& current, const std::string& kept);

// The kept run's lines of the read-out over column x: its sample nearest to the time there,
// counted on its own steps, and the values of its drawn curves.
std::string KeptReadOut(std::span<const timegraph::NamedSeries> curves, int x, const timegraph::Layout& layout,
                        double T, const timegraph::SampleTimes& times, const numfmt::Separators& sep);

// A program's CSV of its drawn curves for the span [from, T], with a kept run's beside them when
// given; none when no curve is chosen. The program's DrawnCurves picks and names them and
// its TimesOf gives their times.
template <class Data, class Choice>
std::optional<std::string> ComparedCsv(const Data& data, const Choice& chosen, double T, const Data* kept,
                                       double from = 0)
{
    const auto curves = DrawnCurves(data, chosen, T);
    if (curves.empty())
        return std::nullopt;
    const std::string table = timegraph::CurvesCsv(curves, T, TimesOf(data), from);
    if (!kept)
        return table;
    return CsvSideBySide(table, timegraph::CurvesCsv(DrawnCurves(*kept, chosen, T), T, TimesOf(*kept), from));
}

// A program's CSV as its graph window shows it: over the zoomed span when zoomed, and in
// envelope mode the chosen curves' envelopes instead of the curves (no kept run then).
template <class Data, class Choice>
std::optional<std::string> ViewCsv(const Data& data, const Choice& chosen, double T, const Data* kept,
                                   const timegraph::View& view)
{
    const double end = timegraph::EndTime(T, view), from = timegraph::StartTime(view);
    if (!view.envelope)
        return ComparedCsv(data, chosen, end, kept, from);
    // The curves whole, so that each envelope is found for its series.
    const auto whole = DrawnCurves(data, chosen, INFINITY);
    std::vector<timegraph::NamedSeries> columns = timegraph::EnvelopeColumns(whole, view.envelope);
    if (columns.empty())
        return std::nullopt;
    for (timegraph::NamedSeries& column : columns)
        column.samples = column.samples.first(timegraph::DrawnSampleCount(end, data.PrintStep, column.samples.size()));
    return timegraph::CurvesCsv(columns, end, TimesOf(data), from);
}

// A program's read-out over column x, with a kept run's lines after it when given.
template <class Data, class Choice>
std::string ComparedReadOut(const Data& data, const Choice& chosen, double T, int x, const timegraph::Layout& layout,
                            const numfmt::Separators& sep, const Data* kept)
{
    std::string text = timegraph::CurvesReadOut(DrawnCurves(data, chosen, T), x, layout, T, TimesOf(data), sep);
    if (kept)
        text += '\n' + KeptReadOut(DrawnCurves(*kept, chosen, T), x, layout, T, TimesOf(*kept), sep);
    return text;
}

} // namespace comparison
