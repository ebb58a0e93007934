// Runs per second of a parameter study: eight tuning-fork runs of the nominal length calculated
// one after another against the same eight integrated side by side, one run per vector lane.
//   bench_pelisond_ensemble --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
#include "BenchRatios.h"
#include "NominalParameters.h"
#include "TuningForkEnsemble.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace pelisond;

namespace {

constexpr int Runs = 8;

using bench::Nominal;

// A study of the centre-of-mass offset and the temperature drop; with ownFrequency every run
// also drives at its own frequency, so each lane needs a cosine of its own.
std::vector<TuningForkModel> Study(bool ownFrequency)
{
    std::vector<TuningForkModel> models(Runs);
    for (int k = 0; k < Runs; ++k) {
        ModelParameters& p = models[k].Params;
        p = Nominal();
        p.MassOffsetY2 = 0.1f * k;
        p.TempDropAbs = float(k % 3);
        if (ownFrequency)
            p.DriveFrequency = 62800 - 100.0f * k;
        models[k].AllocateSeries();
    }
    return models;
}

void OneByOne(benchmark::State& state, bool ownFrequency)
{
    std::vector<TuningForkModel> models = Study(ownFrequency);
    for (auto _ : state)
        for (TuningForkModel& m : models)
            if (!m.Calculate().ok())
                state.SkipWithError("run failed");
    state.counters["runs/s"] = benchmark::Counter(double(Runs) * state.iterations(), benchmark::Counter::kIsRate);
}

void SideBySide(benchmark::State& state, bool ownFrequency, LaneKernel kernel)
{
    if (kernel == LaneKernel::Avx2 && AvailableLaneKernel() != LaneKernel::Avx2)
        state.SkipWithError("no AVX2 here");
    std::vector<TuningForkModel> models = Study(ownFrequency);
    for (auto _ : state)
        for (const RunStatus& status : CalculateTogether(models, {kernel, {}}))
            if (!status.ok())
                state.SkipWithError("run failed");
    state.counters["runs/s"] = benchmark::Counter(double(Runs) * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK_CAPTURE(OneByOne, SharedFrequency, false)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(SideBySide, SharedFrequencyAvx2, false, LaneKernel::Avx2)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(SideBySide, SharedFrequencyPortable, false, LaneKernel::Portable)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(OneByOne, OwnFrequency, true)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(SideBySide, OwnFrequencyAvx2, true, LaneKernel::Avx2)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);

int main(int argc, char** argv)
{
    const char* goal = "runs per second side by side over one by one: goal at least 2.5";
    return benchratios::Main(argc, argv,
                             {{"OneByOne/SharedFrequency", "SideBySide/SharedFrequencyAvx2", goal},
                              {"OneByOne/SharedFrequency", "SideBySide/SharedFrequencyPortable", goal},
                              {"OneByOne/OwnFrequency", "SideBySide/OwnFrequencyAvx2", goal}});
}
