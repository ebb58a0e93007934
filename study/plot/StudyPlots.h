#pragma once

#include "Canvas.h"
#include "RunEvaluator.h"
#include "Study.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

// Which pictures a study's results give: each figure against a swept field (a frequency
// response as a Bode plot: amplitude in dB and phase in degrees over a logarithmic frequency
// axis), a histogram of each figure of a Monte Carlo study, and the rate characteristic with
// its fitted lines.
namespace studyplot {

struct NamedPlot {
    std::string stem;   // file name without the extension
    std::string title;
    std::function<void(canvas::Canvas&)> draw;
};

// note, when given, receives why a study gives no pictures where it could be expected to.
std::vector<NamedPlot> StudyPlots(const study::Study& study, std::span<const study::RunOutcome> rows,
                                  std::string* note = nullptr);

} // namespace studyplot
