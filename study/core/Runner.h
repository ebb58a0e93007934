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
    // Each finished run (not cancelled), in run order, as soon as every run before it is in;
    // called one at a time. Returning false stops the study as stop does (the row could not be kept).
    std::function<bool(const RunOutcome&)> onRow;
    // Runs done (finished or cancelled) so far; called one at a time.
    std::function<void(long long done)> onProgress;
};

// The runs to make, produced as the workers ask for them: the next one, in increasing order;
// a negative number when none is left. Called one worker at a time.
using RunFeed = std::function<long long()>;

// Makes the runs the feed hands out, each finished one going to onRow. No list of all the runs
// is made and only the outcomes waiting for an earlier run are held, so a study of any length
// starts at once in little memory.
void RunStudy(const Study& study, const RunFeed& feed, const RunnerOptions& options);

// Makes the runs given (indices in increasing order). Returns the finished runs' outcomes in
// run order; when stopped, those that finished before.
std::vector<RunOutcome> RunStudy(const Study& study, std::span<const long long> runs, const RunnerOptions& options);

} // namespace study
