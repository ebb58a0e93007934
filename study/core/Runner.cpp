#include "Runner.h"

#include <tbb/blocked_range.h>
#include <tbb/enumerable_thread_specific.h>
#include <tbb/global_control.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <mutex>

namespace study {

namespace {

enum class Slot : char { Waiting, Done, Dropped };

// Outcomes arrive in any order; rows leave in run order as soon as all before them are in.
class InOrder {
public:
    InOrder(std::size_t n, const RunnerOptions& options) : outcomes_(n), slots_(n, Slot::Waiting), options_(options) {}

    void Put(std::size_t position, RunOutcome&& outcome)
    {
        std::lock_guard lock(mutex_);
        const bool cancelled = outcome.kind == RunStatus::Kind::Cancelled;
        slots_[position] = cancelled ? Slot::Dropped : Slot::Done;
        if (!cancelled)
            outcomes_[position] = std::move(outcome);
        ++done_;
        if (options_.onProgress)
            options_.onProgress(done_);
        Release(false);
    }

    void Skip(std::size_t position)
    {
        std::lock_guard lock(mutex_);
        slots_[position] = Slot::Dropped;
        Release(false);
    }

    // Everything left, past the gaps of runs that never finished.
    std::vector<RunOutcome> Finish()
    {
        std::lock_guard lock(mutex_);
        Release(true);
        std::vector<RunOutcome> rows;
        for (std::size_t k = 0; k < slots_.size(); ++k)
            if (slots_[k] == Slot::Done)
                rows.push_back(std::move(outcomes_[k]));
        return rows;
    }

private:
    void Release(bool past)
    {
        for (; next_ < slots_.size(); ++next_) {
            if (slots_[next_] == Slot::Waiting && !past)
                break;
            if (slots_[next_] == Slot::Done && options_.onRow)
                options_.onRow(outcomes_[next_]);
        }
    }

    std::mutex mutex_;
    std::vector<RunOutcome> outcomes_;
    std::vector<Slot> slots_;
    const RunnerOptions& options_;
    std::size_t next_ = 0;
    long long done_ = 0;
};

// Where each batch starts among the runs, and the end: consecutive runs of one block of the
// whole study, at most batch of them, so that the batches are the same whichever runs are made
// (a shard, the missing runs of a resumed study).
std::vector<std::size_t> BatchStarts(std::span<const long long> runs, std::size_t batch)
{
    std::vector<std::size_t> starts;
    for (std::size_t p = 0; p < runs.size(); ++p)
        if (starts.empty() || p - starts.back() >= batch || runs[p] / RunBlock != runs[starts.back()] / RunBlock)
            starts.push_back(p);
    starts.push_back(runs.size());
    return starts;
}

} // namespace

std::vector<RunOutcome> RunStudy(const Study& study, std::span<const long long> runs, const RunnerOptions& options)
{
    InOrder order(runs.size(), options);
    const std::vector<std::size_t> starts = BatchStarts(runs, static_cast<std::size_t>(std::max(1, options.batch)));
    const std::size_t batches = starts.size() - 1;
    auto stopped = [&] { return options.stop && options.stop->load(std::memory_order_relaxed); };
    const gyromodel::CancelCheck cancel = [&](double) { return stopped(); };

    tbb::enumerable_thread_specific<std::unique_ptr<RunEvaluator>> evaluators(
        [&] { return options.evaluators(study); });
    // As many workers as asked for, even beyond the cores (the pool would otherwise cap them there).
    const int workers = std::max(1, options.workers);
    tbb::global_control allowed(tbb::global_control::max_allowed_parallelism, static_cast<std::size_t>(workers));
    tbb::task_arena arena(workers);
    arena.execute([&] {
        tbb::parallel_for(
            tbb::blocked_range<std::size_t>(0, batches, 1),
            [&](const tbb::blocked_range<std::size_t>& range) {
                for (std::size_t b = range.begin(); b != range.end(); ++b) {
                    const std::size_t first = starts[b], last = starts[b + 1];
                    if (stopped()) {
                        for (std::size_t p = first; p < last; ++p)
                            order.Skip(p);
                        continue;
                    }
                    std::vector<RunOutcome> outcomes(last - first);
                    evaluators.local()->Evaluate(runs.subspan(first, last - first), outcomes, cancel);
                    for (std::size_t p = first; p < last; ++p)
                        order.Put(p, std::move(outcomes[p - first]));
                }
            },
            tbb::simple_partitioner());
    });
    return order.Finish();
}

} // namespace study
