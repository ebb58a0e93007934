#pragma once

#include "RunEvaluator.h"

#include <atomic>
#include <functional>
#include <span>

// Makes the runs of a study on a pool of workers and hands the outcomes on in run order,
// whatever order the workers finish them in.
namespace study {

struct RunnerOptions {
    int workers = 1;
    int batch = 1;                       // runs a worker takes at once, at most (of one block, RunBlock)
    EvaluatorFactory evaluators = MakeModelRunEvaluator;
    const std::atomic<bool>* stop = nullptr; // set to stop: running runs are cancelled, no new ones start
    // Each finished run (not cancelled), in run order; called one at a time.
    std::function<void(const RunOutcome&)> onRow;
    // Runs done (finished or cancelled) so far; called one at a time.
    std::function<void(long long done)> onProgress;
};

// Makes the runs given (indices in increasing order). Returns the finished runs' outcomes in
// run order; when stopped, those that finished before.
std::vector<RunOutcome> RunStudy(const Study& study, std::span<const long long> runs, const RunnerOptions& options);

} // namespace study
