#pragma once

#include "NumberFormat.h"
#include "TimeGraph.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// What leaves a time graph besides its picture: the drawn curves as a table and the
// values under the mouse. Both keep to exactly the samples DrawCurve joins.
namespace timegraph {

// Header of the time column, as the graph labels its axis.
inline constexpr const char* TimeColumnName = "t (сек)";

// How many samples of a series of `recorded` ones the curve for end time T uses: sample 0
// (where the line starts) and every later index below T / printStep.
std::size_t DrawnSampleCount(double T, float printStep, std::size_t recorded);

// The first sample at or after the time `from` (the start of a zoomed span); 0 for from <= 0.
std::size_t FirstSampleFrom(double from, float printStep);

// The place of sample i on the time axis, the step taken as the decimal it was typed as
// (0.1 rather than the single-precision 0.100000001490116), so that the times of 0.1 s
// steps read 3.4 and not 3.4000000506639481.
double SampleTime(std::size_t i, float printStep);

// When each sample was taken, as a table and a read-out give it: the time the run recorded
// with the sample where it kept one (the axis places samples by the print step, but a run
// need not sample at exact multiples of it), else the sample's place on the time axis.
struct SampleTimes {
    float printStep = 0;
    std::span<const double> recorded;

    double operator()(std::size_t i) const;
};

// A drawn curve under the name the choice window gives it.
struct NamedSeries {
    std::string name;
    std::span<const double> samples;
};

// The curves as comma-separated text: a header with the time column and one column per
// curve, then one row per drawn sample (the longest curve's count) led by its time. Values are written
// with a decimal point in the shortest form that reads back to the same value, times with
// 12 significant digits; a zoomed graph's table starts at its span's start `from`; a cell is
// empty where a curve has no such sample or a value that is not finite. Names with a
// comma or a quote are quoted. Lines end with "\n".
std::string CurvesCsv(std::span<const NamedSeries> curves, double T, const SampleTimes& times, double from = 0);

// Where the mouse stands on the time axis: the time under the column (clamped to the plot
// rectangle) and the nearest sample drawn, none when nothing is drawn.
struct ReadOut {
    double time = 0;
    std::optional<std::size_t> sample;
};

// The inverse of the curves' time scaling for a column x of the plot box.
ReadOut ReadOutAt(int x, const Layout& layout, double T, float printStep, std::size_t drawn);

// The tooltip: the time under the mouse, the sample's number and recorded time, then one line
// "name: value" per curve; numbers in the general format with 6 significant digits.
std::string ReadOutText(const ReadOut& at, std::span<const NamedSeries> curves, const SampleTimes& times,
                        const numfmt::Separators& sep);

// Both steps for drawn curves: the tooltip over column x.
std::string CurvesReadOut(std::span<const NamedSeries> curves, int x, const Layout& layout, double T,
                          const SampleTimes& times, const numfmt::Separators& sep);

} // namespace timegraph
