// The shipped 120,000-step gimbal run: our run against Boost.Odeint's runge_kutta4 stepping
// the equations as defined with the same step and sampling.
//   bench_gimbal_run --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
#include "BenchRatios.h"
#include "GimbalModel.h"
#include "ShippedParameters.h"

#include <benchmark/benchmark.h>
#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>

#include <array>
#include <vector>

using namespace veltrami;

namespace {

using bench::Shipped;

void OurCalculate(benchmark::State& state)
{
    GimbalModel model;
    model.Params = Shipped();
    if (!model.AllocateSeries().ok())
        state.SkipWithError("refused");
    for (auto _ : state) {
        const RunStatus status = model.Calculate();
        benchmark::DoNotOptimize(model.Bet.data());
        if (!status.ok())
            state.SkipWithError("run failed");
    }
    state.counters["samples"] = model.Recorded();
}

// Odeint stepping the equations as written, or (memo = true) reusing the cosines of time
// across stages the way our run does, for a like-for-like comparison of the steppers.
void OdeintRungeKutta4(benchmark::State& state, bool memo)
{
    using State = std::array<double, 5>;
    const ModelParameters p = Shipped();
    const GimbalRunConstants c = GimbalRunConstants::From(p);
    float momentBet = 0, momentAlf = 0;
    GimbalTimeCosines cosines;
    GimbalTimeCosines* cache = memo ? &cosines : nullptr;
    auto rhs = [&](const State& y, State& f, double) {
        GimbalDerivatives(c, y.data(), f.data(), momentBet, momentAlf, cache);
    };
    boost::numeric::odeint::runge_kutta4<State> stepper;
    GimbalModel sizing;
    sizing.Params = p;
    std::vector<std::array<double, 7>> samples;
    samples.reserve(sizing.NominalCapacity() + 10);
    const long long n = sizing.StepsPerSample();
    const double h = p.Step;
    for (auto _ : state) {
        samples.clear();
        State y{p.InitialTime, p.InitialAlfRate, p.InitialBetRate, p.InitialAlf, p.InitialBet};
        long long j = 0;
        while (y[0] < double(p.StopTime)) {
            if (j >= n) {
                samples.push_back({y[0], y[1], y[2], y[3], y[4], double(momentBet), double(momentAlf)});
                j = 0;
            }
            stepper.do_step(rhs, y, y[0], h);
            ++j;
        }
        benchmark::DoNotOptimize(samples.data());
    }
    state.counters["samples"] = double(samples.size());
}

} // namespace

BENCHMARK(OurCalculate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(OdeintRungeKutta4, AsWritten, false)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);
BENCHMARK_CAPTURE(OdeintRungeKutta4, WithCosineMemo, true)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", benchratios::Min);

int main(int argc, char** argv)
{
    return benchratios::Main(argc, argv,
                             {{"OurCalculate", "OdeintRungeKutta4/AsWritten", "goal: at most 0.8"},
                              {"OurCalculate", "OdeintRungeKutta4/WithCosineMemo", "Odeint given our cosine shortcut"}});
}
