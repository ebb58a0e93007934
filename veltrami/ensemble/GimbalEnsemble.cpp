#include "GimbalEnsemble.h"

#include "GimbalLaneKernels.h"

#include <cstring>
#include <string>

namespace veltrami {

unsigned AdvanceGimbalBlockPortable(const GimbalRunConstants* const* runs, GimbalLaneBlock& block, double h,
                                    double stop, long long steps, unsigned watched, long long& taken)
{
    return lanes::AdvanceGimbalBlock<lanes::FourLanes>(runs, block, h, stop, steps, watched, taken);
}

// The pieces of GimbalModel::Calculate that runs integrated side by side share with it.
struct GimbalEnsembleAccess {
    static RunStatus Begin(GimbalModel& m) { return m.BeginRun(); }
    static const GimbalRunConstants& Constants(const GimbalModel& m) { return m.Constants; }
    static void Record(GimbalModel& m, double time) { m.RecordSample(time); }
};

namespace {

#if GYRO_AVX2_LANES
constexpr bool Avx2Built = true;
#else
constexpr bool Avx2Built = false;
#endif
constexpr int Width = GimbalLaneBlock::Width;
static_assert(Width == ensemble::Width);

AdvanceGimbalBlockFunction PickKernel(LaneKernel wanted)
{
#if GYRO_AVX2_LANES
    if (ensemble::KernelFor(wanted, Avx2Built) == LaneKernel::Avx2)
        return AdvanceGimbalBlockAvx2;
#else
    (void)wanted;
#endif
    return AdvanceGimbalBlockPortable;
}

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Traits {
    using Model = GimbalModel;
    using Parameters = ModelParameters;

    // Runs can share lanes when they take the same steps at the same times.
    static bool SameSteps(const ModelParameters& a, const ModelParameters& b)
    {
        return SameBits(a.Step, b.Step) && SameBits(a.PrintStep, b.PrintStep) && SameBits(a.StopTime, b.StopTime)
               && SameBits(a.InitialTime, b.InitialTime);
    }

    static RunStatus Begin(GimbalModel& m) { return GimbalEnsembleAccess::Begin(m); }

    static RunStatus Calculate(GimbalModel& m, const std::function<bool(double)>& cancel) { return m.Calculate(cancel); }

    // Integrates n (2 to 4) begun runs with the same steps side by side, as Calculate would
    // integrate each; lanes beyond n repeat the first run and are ignored.
    static void IntegrateBlock(GimbalModel* const* runs, int n, RunStatus* statuses, LaneKernel kernel,
                               const std::function<bool(double)>& cancel, bool& cancelled)
    {
        const AdvanceGimbalBlockFunction advance = PickKernel(kernel);
        GimbalLaneBlock b;
        const GimbalRunConstants* constants[Width];
        for (int l = 0; l < Width; ++l) {
            const GimbalModel& m = *runs[l < n ? l : 0];
            constants[l] = &GimbalEnsembleAccess::Constants(m);
            for (int i = 1; i < 5; ++i)
                b.y[i][l] = m.Integrator.Solution[i];
            // The moments as recorded are the driving terms narrowed, the inner one negated.
            b.drivingBet[l] = -double(m.CurMomentBet);
            b.drivingAlf[l] = m.CurMomentAlf;
        }
        b.t = runs[0]->Integrator.Solution[0];
        auto keep = [&](int l) {
            GimbalModel& m = *runs[l];
            m.Integrator.Solution[0] = b.t;
            for (int i = 1; i < 5; ++i)
                m.Integrator.Solution[i] = b.y[i][l];
            m.CurMomentBet = static_cast<float>(-b.drivingBet[l]);
            m.CurMomentAlf = static_cast<float>(b.drivingAlf[l]);
        };

        const GimbalModel& first = *runs[0];
        const double h = first.Params.Step;
        ensemble::DriveBlock(
            n, statuses, b.t, first.Params.StopTime, first.StepsPerSample(),
            [&](long long steps, bool, unsigned running, long long& taken) {
                return advance(constants, b, h, first.Params.StopTime, steps, running, taken);
            },
            keep, [&](int l) { GimbalEnsembleAccess::Record(*runs[l], b.t); },
            [&](int l) { return runs[l]->DivergedAt(b.stepStart); }, cancel, cancelled);
    }
};

} // namespace

LaneKernel AvailableLaneKernel()
{
    return ensemble::KernelFor(LaneKernel::Auto, Avx2Built);
}

std::vector<RunStatus> CalculateTogether(std::span<GimbalModel> models, const EnsembleOptions& options)
{
    return ensemble::CalculateTogether<Traits>(models, options);
}

void RunEnsemble(std::span<const ModelParameters> sets, const RunDone& done, const EnsembleOptions& options)
{
    ensemble::RunEnsemble<Traits>(sets, done, options);
}

} // namespace veltrami
