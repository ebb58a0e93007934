#pragma once

#include "RunComparison.h"
#include "TuningForkGraph.h"

#include <optional>
#include <string>

namespace pelisond {

// Keeps a copy of the model's latest run (the eleven series, the times, the print step,
// the stop time, the sample count and the parameters the run used, the resonance
// stiffnesses included); "" or why it was refused.
std::string KeepRun(comparison::RunComparison& runs, const TuningForkModel& model);

// The kept run as the windows read it: its series and its print step and stop time. It is
// drawn on the current run's ranges, so its extremes are not kept.
GraphData KeptGraphData(const comparison::KeptRun& kept);
// The same for whatever runs holds; none when nothing is kept or there is no comparison.
std::optional<GraphData> KeptGraphData(const comparison::RunComparison* runs);

// What differs between the kept run's parameters and the current ones, under the labels
// of the parameter window.
std::string ComparisonLine(const comparison::KeptRun& kept, const ModelParameters& current,
                           const numfmt::Separators& sep);

} // namespace pelisond
