// Runs per second of a parameter study: eight shipped gimbal runs (120,000 steps each)
// calculated one after another against the same eight integrated side by side, one run per
// vector lane.
//   bench_gimbal_ensemble --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
#include "BenchRatios.h"
#include "GimbalEnsemble.h"
#include "ShippedParameters.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace veltrami;

namespace {

constexpr int Runs = 8;

// A study of the kinetic moment and the centre-of-mass offset.
std::vector<GimbalModel> Study()
{
    std::vector<GimbalModel> models(Runs);
    for (int k = 0; k < Runs; ++k) {
        ModelParameters& p = models[k].Params;
        p = bench::Shipped();
        p.KineticMoment = 1 + 0.1f * k;
        p.MassOffsetZ = 0.001f * k;
        models[k].AllocateSeries();
    }
    return models;
}

void OneByOne(benchmark::State& state)
{
    std::vector<GimbalModel> models = Study();
    for (auto _ : state)
        for (GimbalModel& m : models)
            if (!m.Calculate().ok())
                state.SkipWithError("run failed");
    state.counters["runs/s"] = benchmark::Counter(double(Runs) * state.iterations(), benchmark::Counter::kIsRate);
}

void SideBySide(benchmark::State& state, LaneKernel kernel)
{
    if (kernel == LaneKernel::Avx2 && AvailableLaneKernel() != LaneKernel::Avx2)
        state.SkipWithError("no AVX2 here");
    std::vector<GimbalModel> models = Study();
    for (auto _ : state)
        for (const RunStatus& status : CalculateTogether(models, {kernel, {}}))
            if (!status.ok())
                state.SkipWithError("run failed");
    state.counters["runs/s"] = benchmark::Counter(double(Runs) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(OneByOne)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(SideBySide, Avx2, LaneKernel::Avx2)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(SideBySide, Portable, LaneKernel::Portable)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);

int main(int argc, char** argv)
{
    const char* goal = "runs per second side by side over one by one";
    return benchratios::Main(argc, argv, {{"OneByOne", "SideBySide/Avx2", goal}, {"OneByOne", "SideBySide/Portable", goal}});
}
