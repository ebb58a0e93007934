#pragma once

#include "Canvas.h"
#include "MinMaxPyramid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>

// The time graph both programs draw: a black plot rectangle with a green grid, value
// scales labelled at the sides, time labels below and curves of sampled series scaled
// to their ranges, with optional numbered markers. The programs differ only in the
// layout they pass.
namespace timegraph {

// Unzoomed curves of more samples than this take their columns from the level of detail
// too, each sample placed at margin + i * step instead of the accumulated place (the same
// pixels but where a sample lies within a hair of a column's edge).
inline constexpr std::size_t LongRun = 2'000'000;

// How one program lays the graph out in a plot box of W x H pixels.
struct Layout {
    int W = 0, H = 0;
    int margin = 30;            // left and right margin of the plot rectangle
    // Widths of one time and one value division. Held in single precision: accumulated in
    // steps they then land on the rectangle's right edge instead of a hair before it.
    float hx = 0, hy = 0;
    double timeLabelStart = 0;  // the first time label stands one division after this
    double timeLabelLimit = 0;  // time labels while their x is below this
    double timeLabelFraction = 0.05; // label i reads i * T * fraction
    // A zoomed graph shows [timeFrom, T] instead of [0, T]: label i then reads
    // timeFrom + i * (T - timeFrom) * fraction, and curves are cut to the plot rectangle.
    bool zoomed = false;
    double timeFrom = 0;
    canvas::Font plotFont;      // the paint box's font
    canvas::Font timeLabelFont; // font of the time labels
    int curvePenWidth = 1;
    // Hands the canvas a piece for every sample instead of what its surface can show of
    // them: the same picture, many times slower; kept to compare the two.
    bool everySample = false;
    // Unzoomed curves of more samples than this take their columns from the level of detail.
    std::size_t longRun = LongRun;
    std::function<std::optional<canvas::Color>(int number)> curveColor;
    // The text of a time label; extraDigits > 0 asks for that many more digits, for labels
    // that would otherwise read the same on neighbouring grid lines.
    std::function<std::string(double value, int extraDigits)> timeLabelText;
};

// One labelled value scale: its label column, range, colour, font height and text.
struct LabelScale {
    int x = 0;
    float lower = 0, upper = 0;
    canvas::Color color = canvas::clRed;
    int fontHeight = 11;
    // The label's text; extraDigits as for the time labels.
    std::function<std::string(double value, int extraDigits)> text;
};

// One curve: the recorded samples of its series (sample i at time i * printStep),
// its range and its number (colour and marker text).
struct Curve {
    std::span<const double> samples;
    float lower = 0, upper = 0;
    int number = 0;
    // The series' level of detail for zoomed spans; none: built for the one drawing.
    const MinMaxPyramid* levels = nullptr;
};

// Frame, value labels of every scale, time labels for the end time T and the grid. Labels
// that would read the same on neighbouring grid lines get more digits until they differ;
// time labels that would overlap are thinned to every second, third … one; a label left
// of the plot rectangle that is wider than its room is drawn smaller.
void DrawFrame(canvas::Canvas& c, const Layout& layout, double T, std::span<const LabelScale> scales);

// One curve over [0, T] (over [timeFrom, T] when zoomed), joined sample to sample, and its
// markers when asked. Zoomed, the extremes of each pixel column come from the series' level
// of detail, and where samples stand at least DotSpacing pixels apart each gets a dot.
// Only the samples given are read, whatever T says; samples that are not finite
// break the line. A range of no extent puts the curve on the rectangle's middle line.
// A surface of whole pixels gets per pixel column the span the samples there cover and the
// joins to the next columns; a finer one the curve's true line, thinned to its fineness.
void DrawCurve(canvas::Canvas& c, const Layout& layout, double T, float printStep, const Curve& curve, bool markers);

inline constexpr double DotSpacing = 4;

// Distance of v from the lower end on an axis of the given length that holds lower .. upper,
// in pixels before truncation: length / 2 for a range of no extent, nullopt for a value
// that is not finite.
std::optional<double> AxisOffset(double v, float lower, float upper, int length);

// Truncates toward zero into a range any painter takes; far-away points keep their side.
int ToPixel(double v);

} // namespace timegraph
