#pragma once

#include "GimbalGraph.h"
#include "RunComparison.h"

#include <optional>
#include <string>

namespace veltrami {

class GimbalModel;
struct ModelParameters;

// Keeps a copy of the model's latest run (the four drawn series, the times, the print
// step, the stop time, the sample count and the parameters); "" or why it was refused.
std::string KeepRun(comparison::RunComparison& runs, const GimbalModel& model);

// The kept run as the windows read it: its series and its print step and stop time. It is
// drawn on the current run's scales, so its extremes are not kept.
GraphData KeptGraphData(const comparison::KeptRun& kept);
// The same for whatever runs holds; none when nothing is kept or there is no comparison.
std::optional<GraphData> KeptGraphData(const comparison::RunComparison* runs);

// What differs between the kept run's parameters and the current ones, under the labels
// of the parameter window.
std::string ComparisonLine(const comparison::KeptRun& kept, const ModelParameters& current,
                           const numfmt::Separators& sep);

} // namespace veltrami
