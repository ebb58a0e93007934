#pragma once

// What both models' ensembles share: the options a caller gives, the processor check and the
// driver that groups runs of one step set into blocks of four lanes. Each model supplies its
// traits: how a run begins, how four begun runs are integrated side by side, and which of its
// parameters make runs take the same steps.

#include "RunLimits.h"
#include "RunStatus.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <new>
#include <span>
#include <vector>

namespace ensemble {

// Which integration kernel runs the lanes.
enum class LaneKernel {
    Auto,      // the widest the processor has (AVX2 where present)
    Portable,  // plain C++ vectors the compiler lowers to the baseline instruction set
    Avx2,      // four doubles per AVX2 register; Portable where the processor lacks AVX2
};

struct EnsembleOptions {
    LaneKernel kernel = LaneKernel::Auto;
    // Asked now and then with a model time; true stops every run not yet finished (each then
    // reports Cancelled, and runs not yet started report Cancelled at time 0 with no samples).
    std::function<bool(double time)> cancel;
};

// Runs integrated side by side per block.
constexpr int Width = 4;

inline bool ProcessorHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

// The kernel that runs the lanes when `wanted` is asked for: AVX2 where the processor has it
// and the model's AVX2 kernel was built (avx2Built), else the portable one.
inline LaneKernel KernelFor(LaneKernel wanted, bool avx2Built)
{
    return wanted != LaneKernel::Portable && avx2Built && ProcessorHasAvx2() ? LaneKernel::Avx2 : LaneKernel::Portable;
}

inline const char* CancelledMessage() { return "Расчет прерван"; }

// The loop of n (2 to 4) begun runs integrated side by side, as each run's Calculate loops:
// a sample of every running lane each stepsPerSample steps (before every step when 0), a
// status for each lane that stops. The model supplies the lanes' shared time and:
//   advance(steps, reachesSample, running, taken): up to steps steps (the last of them the
//       step before a sample when reachesSample), stopping after one that leaves a lane of
//       running not finite; returns those lanes, taken receives the steps taken;
//   keep(l): lane l's state into its model; record(l): its model records a sample;
//   diverged(l): the status of lane l that has just stopped being finite.
template <class Advance, class Keep, class Record, class Diverged>
void DriveBlock(int n, RunStatus* statuses, const double& time, double stop, long long stepsPerSample,
                Advance advance, Keep keep, Record record, Diverged diverged,
                const std::function<bool(double)>& cancel, bool& cancelled)
{
    unsigned running = (1u << n) - 1;
    auto stopRunning = [&](auto status) {
        for (int l = 0; l < n; ++l)
            if (running & (1u << l)) {
                keep(l);
                statuses[l] = status;
            }
        running = 0;
    };
    long long j = 0;
    long long sincePoll = 0;
    try {
        while (running && time < stop) {
            if (j >= stepsPerSample) {
                j = 0;
                for (int l = 0; l < n; ++l)
                    if (running & (1u << l)) {
                        keep(l);
                        record(l);
                    }
            }
            long long taken = 0;
            const long long toSample = std::max(stepsPerSample - j, 1LL);
            const long long steps = runlimits::StepsAtOnce(toSample, bool(cancel));
            const unsigned bad = advance(steps, steps == toSample, running, taken);
            j += taken;
            for (int l = 0; l < n; ++l)
                if (bad & (1u << l)) {
                    keep(l);
                    statuses[l] = diverged(l);
                }
            running &= ~bad;
            sincePoll += taken;
            if (cancel && sincePoll >= runlimits::CancelPollSteps) {
                sincePoll = 0;
                if (cancel(time)) {
                    cancelled = true;
                    stopRunning(RunStatus::Cancelled(CancelledMessage(), time));
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // Only reachable if a sample bound was wrong and growing a series failed.
        stopRunning(RunStatus::Cancelled("Недостаточно памяти для отсчетов расчета", time));
    }
    stopRunning(RunStatus::Finished());
}

// Integrates begun runs of one step set: blocks of lanes, a lone run alone.
//
// Traits: Model; static RunStatus Calculate(Model&, cancel) (a whole run alone);
// static void IntegrateBlock(Model* const* runs, int n, RunStatus* statuses, LaneKernel,
// cancel, bool& cancelled) (n = 2 to 4 begun runs side by side, as Calculate would).
template <class Traits>
class Batch {
public:
    explicit Batch(const EnsembleOptions& options) : options_(options) {}

    bool Cancelled() const { return cancelled_; }

    void Integrate(typename Traits::Model* const* runs, int n, RunStatus* statuses)
    {
        if (cancelled_) {
            for (int l = 0; l < n; ++l)
                statuses[l] = RunStatus::Cancelled(CancelledMessage(), 0);
        } else if (n == 1) {
            // One lane of four would cost more than the run alone.
            statuses[0] = Traits::Calculate(*runs[0], options_.cancel);
            cancelled_ = statuses[0].kind == RunStatus::Kind::Cancelled;
        } else {
            Traits::IntegrateBlock(runs, n, statuses, options_.kernel, options_.cancel, cancelled_);
        }
    }

private:
    const EnsembleOptions& options_;
    bool cancelled_ = false;
};

// Traits also: Parameters; static bool SameSteps(const Parameters&, const Parameters&);
// static RunStatus Begin(Model&) (everything before the first step; refused changes nothing).
template <class Traits>
std::vector<RunStatus> CalculateTogether(std::span<typename Traits::Model> models, const EnsembleOptions& options)
{
    using Model = typename Traits::Model;
    std::vector<RunStatus> statuses(models.size());
    std::vector<bool> handled(models.size(), false);
    Batch<Traits> batch(options);
    for (std::size_t leader = 0; leader < models.size(); ++leader) {
        if (handled[leader])
            continue;
        // Every run with the leader's steps, begun; refused ones are done here.
        std::vector<std::size_t> group;
        for (std::size_t k = leader; k < models.size(); ++k) {
            if (handled[k] || !Traits::SameSteps(models[k].Params, models[leader].Params))
                continue;
            handled[k] = true;
            statuses[k] = batch.Cancelled() ? RunStatus::Cancelled(CancelledMessage(), 0) : Traits::Begin(models[k]);
            if (statuses[k].ok())
                group.push_back(k);
        }
        for (std::size_t first = 0; first < group.size(); first += Width) {
            const int n = static_cast<int>(std::min<std::size_t>(Width, group.size() - first));
            Model* runs[Width];
            RunStatus results[Width];
            for (int l = 0; l < n; ++l)
                runs[l] = &models[group[first + l]];
            batch.Integrate(runs, n, results);
            for (int l = 0; l < n; ++l)
                statuses[group[first + l]] = std::move(results[l]);
        }
    }
    return statuses;
}

template <class Traits>
void RunEnsemble(std::span<const typename Traits::Parameters> sets,
                 const std::function<void(std::size_t, const typename Traits::Model&, const RunStatus&)>& done,
                 const EnsembleOptions& options)
{
    using Model = typename Traits::Model;
    std::vector<bool> handled(sets.size(), false);
    std::array<Model, Width> slots;  // reused, so their series keep their memory
    std::array<std::size_t, Width> indices{};
    Batch<Traits> batch(options);
    auto flush = [&](int n) {
        Model* runs[Width];
        RunStatus results[Width];
        for (int l = 0; l < n; ++l)
            runs[l] = &slots[l];
        batch.Integrate(runs, n, results);
        for (int l = 0; l < n; ++l)
            done(indices[l], slots[l], results[l]);
    };
    for (std::size_t leader = 0; leader < sets.size(); ++leader) {
        if (handled[leader])
            continue;
        int n = 0;
        for (std::size_t k = leader; k < sets.size(); ++k) {
            if (handled[k] || !Traits::SameSteps(sets[k], sets[leader]))
                continue;
            handled[k] = true;
            Model& m = slots[n];
            m.Params = sets[k];
            const RunStatus begun = batch.Cancelled() ? RunStatus::Cancelled(CancelledMessage(), 0) : Traits::Begin(m);
            if (!begun.ok()) {
                // A fresh model, not the slot with another run's series.
                Model unrun;
                unrun.Params = sets[k];
                done(k, unrun, begun);
                continue;
            }
            indices[n++] = k;
            if (n == Width) {
                flush(n);
                n = 0;
            }
        }
        if (n > 0)
            flush(n);
    }
}

} // namespace ensemble
