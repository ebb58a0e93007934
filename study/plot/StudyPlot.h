#pragma once

#include "Canvas.h"

#include <span>
#include <string>
#include <vector>

// The pictures of a study, drawn on the canvas both programs paint their graphs with:
// figures against a varied field (points joined, optionally a fitted line) and histograms.
namespace studyplot {

struct Curve {
    std::string label;              // legend text; none when empty
    std::vector<double> x, y;       // points that are not finite are left out
    bool markers = true;            // a small square at every point
    bool joined = true;             // points joined in order
    int color = -1;                 // index into the colour cycle; -1: the curve's own position
};

struct XYPlot {
    std::string title;
    std::string xLabel, yLabel;
    bool logX = false;
    bool logY = false;
    std::string legendTitle;        // above the curves' labels (the field their values are of)
    std::vector<Curve> curves;
};

struct Histogram {
    std::string title;
    std::string xLabel;
    std::vector<double> values;     // values that are not finite are left out
};

inline constexpr int Width = 800;
inline constexpr int Height = 520;

void DrawXYPlot(canvas::Canvas& c, const XYPlot& plot, int width = Width, int height = Height);
void DrawHistogram(canvas::Canvas& c, const Histogram& histogram, int width = Width, int height = Height);

// Tick values for an axis over lo .. hi: round numbers 1, 2 or 5 times a power of ten apart,
// or decades (with 2 and 5 times them when few) on a logarithmic axis. At most a few dozen,
// whatever the range; none for a range too narrow for the numbers to tell apart.
std::vector<double> Ticks(double lo, double hi, bool logarithmic);

} // namespace studyplot
