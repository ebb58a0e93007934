#include "TuningForkEnsemble.h"

#include "TuningForkLaneKernels.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace pelisond {

namespace {
// Four doubles as the baseline instruction set holds them (two SSE2 registers on x86-64).
typedef double PortableLanes __attribute__((vector_size(32)));
}

unsigned AdvanceBlockPortable(const RunConstants* const* runs, LaneBlock& block, double h, double stop,
                              long long steps, bool driftAtEnd, unsigned watched, long long& taken)
{
    return lanes::AdvanceBlock<PortableLanes>(runs, block, h, stop, steps, driftAtEnd, watched, taken);
}

// The pieces of TuningForkModel::Calculate that runs integrated side by side share with it.
struct EnsembleAccess {
    static RunStatus Begin(TuningForkModel& m) { return m.BeginRun(); }
    static const RunConstants& Constants(const TuningForkModel& m) { return m.Constants; }
    static void Record(TuningForkModel& m) { m.RecordSample(); }
};

namespace {

constexpr long long CancelPollSteps = 4096;
constexpr int Width = LaneBlock::Width;

AdvanceBlockFunction PickKernel(LaneKernel wanted)
{
#if PELISOND_AVX2_LANES
    if (wanted != LaneKernel::Portable && AvailableLaneKernel() == LaneKernel::Avx2)
        return AdvanceBlockAvx2;
#else
    (void)wanted;
#endif
    return AdvanceBlockPortable;
}

// Runs can share lanes when they take the same steps: same step, print step and stop time.
bool SameSteps(const ModelParameters& a, const ModelParameters& b)
{
    return std::memcmp(&a.Step, &b.Step, sizeof a.Step) == 0 && std::memcmp(&a.PrintStep, &b.PrintStep, sizeof a.Step) == 0
           && std::memcmp(&a.StopTime, &b.StopTime, sizeof a.Step) == 0;
}

// Integrates n (2 to 4) begun runs with the same steps side by side, as Calculate would
// integrate each; lanes beyond n repeat the first run and are ignored.
void IntegrateBlock(TuningForkModel* const* runs, int n, RunStatus* statuses, AdvanceBlockFunction advance,
                    const std::function<bool(double)>& cancel, bool& cancelled)
{
    LaneBlock b;
    const RunConstants* constants[Width];
    for (int l = 0; l < Width; ++l) {
        const TuningForkModel& m = *runs[l < n ? l : 0];
        constants[l] = &EnsembleAccess::Constants(m);
        for (int i = 1; i < StateSize; ++i)
            b.y[i][l] = m.Integrator.Solution[i];
        b.drift[l] = m.CurrentDrift;
    }
    b.t = runs[0]->Integrator.Solution[sT];
    auto keep = [&](int l) {
        TuningForkModel& m = *runs[l];
        m.Integrator.Solution[sT] = b.t;
        for (int i = 1; i < StateSize; ++i)
            m.Integrator.Solution[i] = b.y[i][l];
        m.CurrentDrift = b.drift[l];
    };

    const TuningForkModel& first = *runs[0];
    const double stop = first.Params.StopTime;
    const double h = first.Params.Step;
    const long long T = first.StepsPerSample();
    unsigned alive = (1u << n) - 1;
    long long j = 0;
    long long sincePoll = 0;
    try {
        while (alive && b.t < stop) {
            if (j >= T) {
                j = 0;
                for (int l = 0; l < n; ++l)
                    if (alive & (1u << l)) {
                        keep(l);
                        EnsembleAccess::Record(*runs[l]);
                    }
            }
            long long taken = 0;
            const unsigned bad = advance(constants, b, h, stop, std::max(T - j, 1LL), true, alive, taken);
            j += taken;
            for (int l = 0; l < n; ++l)
                if (bad & (1u << l)) {
                    keep(l);
                    statuses[l] = runs[l]->DivergedAt(b.t);
                }
            alive &= ~bad;
            sincePoll += taken;
            if (cancel && sincePoll >= CancelPollSteps) {
                sincePoll = 0;
                if (cancel(b.t)) {
                    cancelled = true;
                    for (int l = 0; l < n; ++l)
                        if (alive & (1u << l)) {
                            keep(l);
                            statuses[l] = RunStatus::Cancelled("Расчет прерван", b.t);
                        }
                    alive = 0;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // Only reachable if a sample bound was wrong and growing a series failed.
        for (int l = 0; l < n; ++l)
            if (alive & (1u << l)) {
                keep(l);
                statuses[l] = RunStatus::Cancelled("Недостаточно памяти для отсчетов расчета", b.t);
            }
        alive = 0;
    }
    for (int l = 0; l < n; ++l)
        if (alive & (1u << l)) {
            keep(l);
            statuses[l] = RunStatus::Finished();
        }
}

// Runs begun runs of one step set in blocks as wide as the lanes; a lone run alone.
class Batch {
public:
    Batch(const EnsembleOptions& options) : options_(options), advance_(PickKernel(options.kernel)) {}

    bool Cancelled() const { return cancelled_; }

    // Integrates runs[0 .. n) (begun, same steps) and writes their statuses.
    void Integrate(TuningForkModel* const* runs, int n, RunStatus* statuses)
    {
        if (cancelled_) {
            for (int l = 0; l < n; ++l)
                statuses[l] = RunStatus::Cancelled("Расчет прерван", 0);
        } else if (n == 1) {
            // One lane of four would cost more than the run alone.
            statuses[0] = runs[0]->Calculate(options_.cancel);
            cancelled_ = statuses[0].kind == RunStatus::Kind::Cancelled;
        } else {
            IntegrateBlock(runs, n, statuses, advance_, options_.cancel, cancelled_);
        }
    }

private:
    const EnsembleOptions& options_;
    AdvanceBlockFunction advance_;
    bool cancelled_ = false;
};

} // namespace

LaneKernel AvailableLaneKernel()
{
#if PELISOND_AVX2_LANES
    if (__builtin_cpu_supports("avx2"))
        return LaneKernel::Avx2;
#endif
    return LaneKernel::Portable;
}

std::vector<RunStatus> CalculateTogether(std::span<TuningForkModel> models, const EnsembleOptions& options)
{
    std::vector<RunStatus> statuses(models.size());
    std::vector<bool> handled(models.size(), false);
    Batch batch(options);
    for (std::size_t leader = 0; leader < models.size(); ++leader) {
        if (handled[leader])
            continue;
        // Every run with the leader's steps, begun; refused ones are done here.
        std::vector<std::size_t> group;
        for (std::size_t k = leader; k < models.size(); ++k) {
            if (handled[k] || !SameSteps(models[k].Params, models[leader].Params))
                continue;
            handled[k] = true;
            if (batch.Cancelled()) {
                statuses[k] = RunStatus::Cancelled("Расчет прерван", 0);
                continue;
            }
            statuses[k] = EnsembleAccess::Begin(models[k]);
            if (statuses[k].ok())
                group.push_back(k);
        }
        for (std::size_t first = 0; first < group.size(); first += Width) {
            const int n = static_cast<int>(std::min<std::size_t>(Width, group.size() - first));
            TuningForkModel* runs[Width];
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

void RunEnsemble(std::span<const ModelParameters> sets, const RunDone& done, const EnsembleOptions& options)
{
    std::vector<bool> handled(sets.size(), false);
    std::array<TuningForkModel, Width> slots;  // reused, so their series keep their memory
    std::array<std::size_t, Width> indices{};
    Batch batch(options);
    auto flush = [&](int n) {
        TuningForkModel* runs[Width];
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
            if (handled[k] || !SameSteps(sets[k], sets[leader]))
                continue;
            handled[k] = true;
            TuningForkModel& m = slots[n];
            m.Params = sets[k];
            const RunStatus begun =
                batch.Cancelled() ? RunStatus::Cancelled("Расчет прерван", 0) : EnsembleAccess::Begin(m);
            if (!begun.ok()) {
                // A fresh model, not the slot with another run's series.
                TuningForkModel unrun;
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

} // namespace pelisond
