// Studies: runs per second with c workers (to set against c times the one-worker rate), with
// and without the lanes, and what the figures of a run cost beside its integration.
#include "Figures.h"
#include "LaneRunEvaluator.h"
#include "ModelFactory.h"
#include "Runner.h"
#include "Study.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>

namespace {

// Tuning-fork runs of 0.01 s (3,333 steps) with the scale-factor figures.
const char* StudyText = R"({"model": "pelisond", "set": {"StopTime": 0.01},
  "grid": {"BaseRate": {"linspace": [-2, 2, 48]}},
  "figures": {
    "fi": {"series": "Fi", "stat": "inphase", "frequency": "DriveFrequency", "from": 0.5},
    "y1": {"series": "Y1", "stat": "inphase", "frequency": "DriveFrequency", "from": 0.5},
    "y2": {"series": "Y2", "stat": "inphase", "frequency": "DriveFrequency", "from": 0.5},
    "fi_amplitude": {"series": "Fi", "stat": "amplitude", "frequency": "DriveFrequency", "from": 0.5},
    "drift": {"series": "Drift", "stat": "mean", "from": 0.5}}})";

study::Study MakeStudy()
{
    return study::ParseStudy(study::ParseStudyText(StudyText), {"", GYRO_BIN_DIR, true});
}

void StudyRuns(benchmark::State& state)
{
    const study::Study s = MakeStudy();
    std::vector<long long> runs(static_cast<std::size_t>(s.RunCount()));
    std::iota(runs.begin(), runs.end(), 0LL);
    study::RunnerOptions options;
    options.workers = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(study::RunStudy(s, runs, options));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(runs.size()));
}
BENCHMARK(StudyRuns)->Arg(1)->Arg(2)->Arg(4)->UseRealTime()->Unit(benchmark::kMillisecond);

// One worker, runs one at a time (0) or four at a time through the lanes (1), as gyro-study
// makes them with --lanes 1 and by default.
void StudyLanes(benchmark::State& state)
{
    const study::Study s = MakeStudy();
    std::vector<long long> runs(static_cast<std::size_t>(s.RunCount()));
    std::iota(runs.begin(), runs.end(), 0LL);
    study::RunnerOptions options;
    if (state.range(0) != 0) {
        options.batch = study::LaneBatch;
        options.evaluators = study::MakeLaneRunEvaluator;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(study::RunStudy(s, runs, options));
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(runs.size()));
}
BENCHMARK(StudyLanes)->ArgName("lanes")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The study's model at its base parameters, as a run sees them.
std::unique_ptr<gyromodel::SimulationModel> BaseModel(const study::Study& s)
{
    auto model = gyromodel::MakeModel(s.model);
    for (std::size_t k = 0; k < s.baseValues.size(); ++k)
        model->SetParameter(k, s.baseValues[k]);
    model->RoundTripThroughDisplay();
    return model;
}

// One run's integration, series allocated and freed as the runner does.
void RunIntegration(benchmark::State& state)
{
    const auto model = BaseModel(MakeStudy());
    for (auto _ : state) {
        benchmark::DoNotOptimize(model->Run());
        model->FreeSeries();
    }
}
BENCHMARK(RunIntegration)->Unit(benchmark::kMicrosecond);

// The five figures of the same run taken from its series.
void RunFigures(benchmark::State& state)
{
    const study::Study s = MakeStudy();
    const auto model = BaseModel(s);
    const double w = model->Parameter(static_cast<std::size_t>(model->FindParameter("DriveFrequency")));
    const double stop = model->Parameter(static_cast<std::size_t>(model->FindParameter("StopTime")));
    if (!model->Run().ok())
        state.SkipWithError("run failed");
    for (auto _ : state)
        for (const study::Figure& f : s.figures)
            benchmark::DoNotOptimize(study::ComputeFigure(f, model->Times(), model->Series(f.seriesIndex), stop, w));
}
BENCHMARK(RunFigures)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
