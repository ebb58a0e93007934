#include "TuningForkEnsemble.h"

#include "TuningForkLaneKernels.h"

#include <cstring>

namespace pelisond {

unsigned AdvanceBlockPortable(const RunConstants* const* runs, LaneBlock& block, double h, double stop,
                              long long steps, bool driftAtEnd, unsigned watched, long long& taken)
{
    return lanes::AdvanceBlock<lanes::FourLanes>(runs, block, h, stop, steps, driftAtEnd, watched, taken);
}

// The pieces of TuningForkModel::Calculate that runs integrated side by side share with it.
struct EnsembleAccess {
    static RunStatus Begin(TuningForkModel& m) { return m.BeginRun(); }
    static const RunConstants& Constants(const TuningForkModel& m) { return m.Constants; }
    static void Record(TuningForkModel& m) { m.RecordSample(); }
};

namespace {

#if GYRO_AVX2_LANES
constexpr bool Avx2Built = true;
#else
constexpr bool Avx2Built = false;
#endif
constexpr int Width = LaneBlock::Width;
static_assert(Width == ensemble::Width);

AdvanceBlockFunction PickKernel(LaneKernel wanted)
{
#if GYRO_AVX2_LANES
    if (ensemble::KernelFor(wanted, Avx2Built) == LaneKernel::Avx2)
        return AdvanceBlockAvx2;
#else
    (void)wanted;
#endif
    return AdvanceBlockPortable;
}

struct Traits {
    using Model = TuningForkModel;
    using Parameters = ModelParameters;

    // Runs can share lanes when they take the same steps: same step, print step and stop time.
    static bool SameSteps(const ModelParameters& a, const ModelParameters& b)
    {
        return std::memcmp(&a.Step, &b.Step, sizeof a.Step) == 0
               && std::memcmp(&a.PrintStep, &b.PrintStep, sizeof a.Step) == 0
               && std::memcmp(&a.StopTime, &b.StopTime, sizeof a.Step) == 0;
    }

    static RunStatus Begin(TuningForkModel& m) { return EnsembleAccess::Begin(m); }

    static RunStatus Calculate(TuningForkModel& m, const std::function<bool(double)>& cancel)
    {
        return m.Calculate(cancel);
    }

    // Integrates n (2 to 4) begun runs with the same steps side by side, as Calculate would
    // integrate each; lanes beyond n repeat the first run and are ignored.
    static void IntegrateBlock(TuningForkModel* const* runs, int n, RunStatus* statuses, LaneKernel kernel,
                               const std::function<bool(double)>& cancel, bool& cancelled)
    {
        const AdvanceBlockFunction advance = PickKernel(kernel);
        LaneBlock b;
        const RunConstants* constants[Width];
        for (int l = 0; l < Width; ++l) {
            const TuningForkModel& m = *runs[l < n ? l : 0];
            constants[l] = &EnsembleAccess::Constants(m);
            for (int i = 1; i < StateSize; ++i)
                b.y[i][l] = m.Integrator.Solution[i];
            b.drift[l] = m.CurrentDrift;
            b.driftAtSample[l] = m.CurrentDriftAtSample;
        }
        b.t = runs[0]->Integrator.Solution[sT];
        auto keep = [&](int l) {
            TuningForkModel& m = *runs[l];
            m.Integrator.Solution[sT] = b.t;
            for (int i = 1; i < StateSize; ++i)
                m.Integrator.Solution[i] = b.y[i][l];
            m.CurrentDrift = b.drift[l];
            m.CurrentDriftAtSample = b.driftAtSample[l];
        };

        const TuningForkModel& first = *runs[0];
        const double h = first.Params.Step;
        ensemble::DriveBlock(
            n, statuses, b.t, first.Params.StopTime, first.StepsPerSample(),
            [&](long long steps, bool reachesSample, unsigned running, long long& taken) {
                // The last step before each sample leaves the drift the sample records.
                return advance(constants, b, h, first.Params.StopTime, steps, reachesSample, running, taken);
            },
            keep, [&](int l) { EnsembleAccess::Record(*runs[l]); }, [&](int l) { return runs[l]->DivergedAt(b.t); },
            cancel, cancelled);
    }
};

} // namespace

LaneKernel AvailableLaneKernel()
{
    return ensemble::KernelFor(LaneKernel::Auto, Avx2Built);
}

std::vector<RunStatus> CalculateTogether(std::span<TuningForkModel> models, const EnsembleOptions& options)
{
    return ensemble::CalculateTogether<Traits>(models, options);
}

void RunEnsemble(std::span<const ModelParameters> sets, const RunDone& done, const EnsembleOptions& options)
{
    ensemble::RunEnsemble<Traits>(sets, done, options);
}

} // namespace pelisond
