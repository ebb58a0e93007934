#pragma once

// Many runs of the gimbal model at once, for parameter studies.
//
// Runs that share Step, PrintStep, StopTime and InitialTime take the same steps at the same
// times, so they are integrated side by side, one run per lane of the processor's vector
// registers (four doubles with AVX2, chosen at run time; a portable path everywhere else).
// Every run ends as GimbalModel::Calculate would end it: the same samples (to rounding: within
// 1e-12 of each series' range; bit for bit on the portable path), extremes, status and message
// (refused, diverged at a time, finished). Runs whose steps or times differ from the rest of
// their batch are calculated one by one.
//
// Typical use by a study runner:
//
//   std::vector<veltrami::ModelParameters> sets = ...;
//   veltrami::RunEnsemble(sets, [&](std::size_t index, const veltrami::GimbalModel& run,
//                                   const RunStatus& status) {
//       if (status.ok())
//           figures[index] = FiguresOf(run);        // run.Alf, run.Bet, ..., run.Time, extremes
//       else
//           messages[index] = status.message;       // Russian, ready for the user
//   });
//
// No Qt, no threads of its own: the caller may run several ensembles on several threads.

#include "Ensemble.h"
#include "GimbalModel.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace veltrami {

// Which kernel runs the lanes (Auto, Portable, Avx2) and what may stop the runs.
using ensemble::EnsembleOptions;
using ensemble::LaneKernel;

// The kernel Auto picks on this processor (Portable or Avx2).
LaneKernel AvailableLaneKernel();

// Calculates every model from its own Params, as model.Calculate() would, and returns the
// status of each in the same order. The models keep their series, extremes and final state.
std::vector<RunStatus> CalculateTogether(std::span<GimbalModel> models, const EnsembleOptions& options = {});

// Called once per run as soon as it is over: its index among the parameter sets, the model
// holding its series (valid only during the call) and its status.
using RunDone = std::function<void(std::size_t index, const GimbalModel& run, const RunStatus& status)>;

// Calculates every parameter set, a few runs at a time so that memory holds only the runs
// being integrated, and hands each run to done when it is over (not necessarily in order).
void RunEnsemble(std::span<const ModelParameters> sets, const RunDone& done, const EnsembleOptions& options = {});

} // namespace veltrami
