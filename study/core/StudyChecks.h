#pragma once

#include "RunEvaluator.h"
#include "Runner.h"
#include "Study.h"

#include <span>
#include <string>
#include <vector>

// Whether a study's figures can be trusted: each figure with a window checks that it has
// settled (the figure over the window's later half against the whole window), and --check-step
// makes a sample of the runs again at half the step.
namespace study {

// The settle tolerance, step tolerance and plot options of a study file, and a settle check's
// figure ("NAME_half") for every figure with a window: one that starts after the run's start
// or fits whole periods of a frequency (a final value has none). Throws StudyError.
void ParseChecksAndPlot(Study& s, const Json& source);

// A figure not to be trusted in some runs.
struct FigureWarning {
    std::string figure;
    std::string check;              // "settle" or "step"
    std::vector<long long> runs;    // the runs affected
    double largestChange = 0;       // relative to the figure's largest magnitude in the study
    double tolerance = 0;
    std::string message;            // one line for the user, in Russian
};

// The settle checks over the finished rows.
std::vector<FigureWarning> SettleWarnings(const Study& s, std::span<const RunOutcome> rows);

// The runs a step check makes again: every finished run, or an even sample of at most
// StepCheckRuns of them.
inline constexpr std::size_t StepCheckRuns = 24;

struct StepCheck {
    std::vector<RunOutcome> reference;  // the study's rows checked
    std::vector<RunOutcome> halved;     // the same runs at half the step, in the same order
};

// Makes the sample of the finished rows again at half the step on the runner's workers
// (options.evaluators is replaced). When stopped, the runs made so far.
StepCheck CheckStep(const Study& s, std::span<const RunOutcome> rows, RunnerOptions options);

// summary.json's "step_check"; warnings receives the figures that change beyond the tolerance.
Json StepCheckJson(const Study& s, const StepCheck& check, std::vector<FigureWarning>& warnings);

Json WarningsJson(std::span<const FigureWarning> warnings);

} // namespace study
