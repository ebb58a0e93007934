// The nominal 39,667-step tuning-fork run: our run against Boost.Odeint's runge_kutta4
// stepping the right-hand side as defined with the same step and sampling; then the cost of
// one right-hand side and the machine's scalar floating-point rate to set it against.
//   bench_pelisond_run --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
#include "TuningForkModel.h"

#include "BenchRatios.h"
#include "NominalParameters.h"

#include <benchmark/benchmark.h>
#include <boost/numeric/odeint/stepper/runge_kutta4.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

using namespace pelisond;

namespace {

using bench::Nominal;

void OurCalculate(benchmark::State& state)
{
    TuningForkModel model;
    model.Params = Nominal();
    if (!model.AllocateSeries().ok())
        state.SkipWithError("refused");
    for (auto _ : state) {
        const RunStatus status = model.Calculate();
        benchmark::DoNotOptimize(model.Series[X1].data());
        if (!status.ok())
            state.SkipWithError("run failed");
    }
    state.counters["samples"] = model.Recorded();
}

// Lazy: as our run does, the drift estimate only at the evaluations whose drift a sample
// records and the drive's cosine reused when the time repeats; without it every evaluation
// is the whole right-hand side as defined.
template <bool Lazy>
void OdeintRungeKutta4(benchmark::State& state)
{
    using State = std::array<double, StateSize>;
    TuningForkModel sizing;
    sizing.Params = Nominal();
    const ResonanceStiffnesses s = ComputeResonanceStiffnesses(sizing.Params);
    sizing.Params.StiffnessFi = s.Fi;
    sizing.Params.StiffnessY1 = s.Y1;
    sizing.Params.StiffnessY2 = s.Y2;
    const ModelParameters& p = sizing.Params;
    const RunConstants c = ComputeRunConstants(p);
    double drift = 0;
    bool wantDrift = true;  // this step ends at a sample
    int stage = 0;
    DriveCosine cosine;
    DriveCosine* memo = Lazy ? &cosine : nullptr;
    auto rhs = [&](const State& y, State& f, double) {
        if (!Lazy || (++stage == 4 && wantDrift))
            drift = RightHandSide(c, y.data(), f.data(), memo);
        else
            StateDerivatives(c, y.data(), f.data(), memo);
    };
    boost::numeric::odeint::runge_kutta4<State> stepper;
    std::array<std::vector<double>, SeriesCount + 1> series;
    for (auto& v : series)
        v.reserve(sizing.NominalCapacity());
    std::array<SeriesExtremes, SeriesCount> extremes{};
    const long long T = sizing.StepsPerSample();
    const double h = p.Step, stop = p.StopTime, L = c.L;
    for (auto _ : state) {
        for (auto& v : series)
            v.clear();
        extremes = {};
        State y{};
        y[sX1] = -L;
        y[sX2] = L;
        drift = 0;
        auto record = [&] {
            const double values[SeriesCount] = {y[sFi], y[sFiDot], y[sX1] + L, y[sX2] - L, y[sY1], y[sY2],
                                                y[sX1Dot], y[sX2Dot], y[sY1Dot], y[sY2Dot], drift};
            for (int k = 0; k < SeriesCount; ++k) {
                series[k].push_back(values[k]);
                if (extremes[k].Min > values[k])
                    extremes[k].Min = float(values[k]);
                if (extremes[k].Max < values[k])
                    extremes[k].Max = float(values[k]);
            }
            series[SeriesCount].push_back(y[sT]);
        };
        record();
        long long j = 0;
        while (y[sT] < stop) {
            if (j >= T) {
                j = 0;
                record();
            }
            wantDrift = j + 1 >= T;
            stage = 0;
            stepper.do_step(rhs, y, y[sT], h);
            ++j;
        }
        benchmark::DoNotOptimize(series[X1].data());
        benchmark::DoNotOptimize(extremes.data());
    }
    state.counters["samples"] = double(series[0].size());
}

// One evaluation at a state of the running device; the time moves so nothing is hoisted.
void RightHandSideOnce(benchmark::State& state)
{
    ModelParameters p = Nominal();
    p.TempDropAbs = 5;
    p.MassOffsetY1 = 0.3f;
    const RunConstants c = ComputeRunConstants(p);
    std::array<double, StateSize> y = {0.05, 3, 1.2e6, -1.2e6, 1e-4, -1490, 1490, 4e3, -4e3, 0.05, -0.05};
    std::array<double, StateSize> f{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(y.data());
        benchmark::DoNotOptimize(RightHandSide(c, y.data(), f.data()));
        benchmark::DoNotOptimize(f.data());
        y[sT] += 3e-6;
    }
}

// The cosine alone, at the same arguments, to separate its cost from the arithmetic.
void CosineOnce(benchmark::State& state)
{
    double t = 0.05;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::cos(62800.0 * t));
        t += 3e-6;
    }
}

// The scalar floating-point peak: 8 independent multiply-add chains (2 flops each per
// iteration). The empty asm keeps every chain a scalar register, so nothing is vectorised.
void ScalarFlopsIndependent(benchmark::State& state)
{
    double a0 = 1, a1 = 1.1, a2 = 1.2, a3 = 1.3, a4 = 1.4, a5 = 1.5, a6 = 1.6, a7 = 1.7;
    const double m = 0.999999, k = 1e-7;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            a0 = a0 * m + k; a1 = a1 * m + k; a2 = a2 * m + k; a3 = a3 * m + k;
            a4 = a4 * m + k; a5 = a5 * m + k; a6 = a6 * m + k; a7 = a7 * m + k;
            asm("" : "+x"(a0), "+x"(a1), "+x"(a2), "+x"(a3), "+x"(a4), "+x"(a5), "+x"(a6), "+x"(a7));
        }
    }
    benchmark::DoNotOptimize(a0 + a1 + a2 + a3 + a4 + a5 + a6 + a7);
    state.counters["flops"] = benchmark::Counter(16000.0 * state.iterations(), benchmark::Counter::kIsRate);
}

// One dependent multiply-add chain: the latency-bound rate, for comparison.
void ScalarFlopsDependent(benchmark::State& state)
{
    double a = 1;
    const double m = 0.999999, k = 1e-7;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            a = a * m + k;
            asm("" : "+x"(a));
        }
    }
    benchmark::DoNotOptimize(a);
    state.counters["flops"] = benchmark::Counter(2000.0 * state.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

using benchratios::Min;

BENCHMARK(OurCalculate)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min);
BENCHMARK(OdeintRungeKutta4<false>)->Name("OdeintRungeKutta4")->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min);
BENCHMARK(OdeintRungeKutta4<true>)->Name("OdeintRungeKutta4Lazy")->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min);
BENCHMARK(RightHandSideOnce)->ComputeStatistics("min", Min);
BENCHMARK(CosineOnce)->ComputeStatistics("min", Min);
BENCHMARK(ScalarFlopsIndependent)->ComputeStatistics("min", Min);
BENCHMARK(ScalarFlopsDependent)->ComputeStatistics("min", Min);

int main(int argc, char** argv)
{
    return benchratios::Main(argc, argv,
                             {{"OurCalculate", "OdeintRungeKutta4", "goal: at most 0.8"},
                              {"OurCalculate", "OdeintRungeKutta4Lazy", "Odeint given our drift and cosine shortcuts"}});
}
