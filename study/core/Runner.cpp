#include "Runner.h"

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace study {

namespace {

// Outcomes arrive in any order; rows leave in run order as soon as all before them are in.
// Only the outcomes still waiting for an earlier one are held.
class InOrder {
public:
    explicit InOrder(const RunnerOptions& options) : options_(options) {}

    void Put(std::size_t position, RunOutcome&& outcome)
    {
        std::lock_guard lock(mutex_);
        std::optional<RunOutcome> row;
        if (outcome.kind != RunStatus::Kind::Cancelled)
            row = std::move(outcome);
        waiting_.emplace(position, std::move(row));
        ++done_;
        if (options_.onProgress)
            options_.onProgress(done_);
        for (auto it = waiting_.begin(); it != waiting_.end() && it->first == next_; it = waiting_.erase(it), ++next_)
            if (it->second && options_.onRow && !refused_.load())
                refused_.store(!options_.onRow(*it->second));
    }

    // A row could not be kept: no further run is worth making.
    bool Refused() const { return refused_.load(std::memory_order_relaxed); }

private:
    std::mutex mutex_;
    std::map<std::size_t, std::optional<RunOutcome>> waiting_;
    const RunnerOptions& options_;
    std::size_t next_ = 0;
    long long done_ = 0;
    std::atomic<bool> refused_{false};
};

// Hands the feed's runs out in batches, looking one run ahead: consecutive runs of one block of
// the whole study, at most `batch` of them, so that the batches are the same whichever runs are
// made (a shard, the missing runs of a resumed study).
class Batches {
public:
    Batches(const RunFeed& feed, std::size_t batch) : feed_(feed), batch_(batch) {}

    std::vector<long long> Next()
    {
        if (!started_) {
            ahead_ = feed_();
            started_ = true;
        }
        std::vector<long long> runs;
        while (ahead_ >= 0 && runs.size() < batch_ && (runs.empty() || ahead_ / RunBlock == runs.front() / RunBlock)) {
            runs.push_back(ahead_);
            ahead_ = feed_();
        }
        return runs;
    }

private:
    const RunFeed& feed_;
    std::size_t batch_;
    long long ahead_ = -1;
    bool started_ = false;
};

} // namespace

void RunStudy(const Study& study, const RunFeed& feed, const RunnerOptions& options)
{
    InOrder order(options);
    std::atomic<bool> failed{false};
    auto stopped = [&] {
        return (options.stop && options.stop->load(std::memory_order_relaxed)) || order.Refused()
            || failed.load(std::memory_order_relaxed);
    };
    const gyromodel::CancelCheck cancel = [&](double) { return stopped(); };
    Batches batches(feed, static_cast<std::size_t>(std::max(1, options.batch)));

    std::mutex feeding;
    std::size_t handedOut = 0;
    std::exception_ptr error;
    // Each worker asks for the next batch when it is free, so the runs finish close to run order
    // and their rows go out as they finish.
    auto work = [&] {
        try {
            std::unique_ptr<RunEvaluator> evaluator;
            for (;;) {
                std::vector<long long> runs;
                std::size_t first = 0;
                {
                    std::lock_guard lock(feeding);
                    if (stopped())
                        return;
                    runs = batches.Next();
                    first = handedOut;
                    handedOut += runs.size();
                }
                if (runs.empty())
                    return;
                if (!evaluator)
                    evaluator = options.evaluators(study);
                std::vector<RunOutcome> outcomes(runs.size());
                evaluator->Evaluate(runs, outcomes, cancel);
                for (std::size_t k = 0; k < runs.size(); ++k)
                    order.Put(first + k, std::move(outcomes[k]));
            }
        } catch (...) {
            std::lock_guard lock(feeding);
            if (!error)
                error = std::current_exception();
            failed.store(true);
        }
    };
    std::vector<std::thread> helpers;
    for (int k = 1; k < std::max(1, options.workers); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers)
        t.join();
    if (error)
        std::rethrow_exception(error);
}

std::vector<RunOutcome> RunStudy(const Study& study, std::span<const long long> runs, const RunnerOptions& options)
{
    std::size_t next = 0;
    const RunFeed feed = [&] { return next < runs.size() ? runs[next++] : -1LL; };
    std::vector<RunOutcome> rows;
    RunnerOptions collecting = options;
    collecting.onRow = [&](const RunOutcome& row) {
        if (options.onRow && !options.onRow(row))
            return false;
        rows.push_back(row);
        return true;
    };
    RunStudy(study, feed, collecting);
    return rows;
}

} // namespace study
