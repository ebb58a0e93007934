#include "QPainterCanvas.h"
#include "TuningForkGraph.h"
#include "TuningForkModel.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <stdexcept>

namespace {

// A calculated run: the nominal one, or the nominal one carried on to the given number of samples.
pelisond::TuningForkModel& Run(long long samples)
{
    static pelisond::TuningForkModel nominal, extended;
    pelisond::TuningForkModel& model = samples == 0 ? nominal : extended;
    if (model.Calculated)
        return model;
    if (!model.LoadParameters(BENCH_PELISOND_DAT))
        throw std::runtime_error("no data file");
    if (samples > 0)
        model.Params.StopTime = static_cast<float>(samples * static_cast<double>(model.Params.PrintStep));
    if (!model.AllocateSeries().ok() || !model.Calculate().ok())
        throw std::runtime_error("run failed");
    return model;
}

// One repaint of the graph with all eleven curves and their markers into an image of
// the paint box's size.
void Repaint(benchmark::State& state, long long samples, bool curves = true, bool markers = true)
{
    const pelisond::TuningForkModel& model = Run(samples);
    const pelisond::GraphData data = pelisond::GraphDataOf(model);
    const pelisond::Ranges ranges = pelisond::ComputeRanges(data.Extremes, pelisond::ScaleMode::Automatic);
    pelisond::CurveChoice all;
    all.fill(curves);
    const numfmt::Separators sep = numfmt::CommaSeparators();
    QImage image(pelisond::GraphWidth, pelisond::GraphHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(240, 240, 240));
        canvas::QPainterCanvas c(&image, QColor(240, 240, 240));
        pelisond::DrawGraph(c, data, ranges, all, markers, data.StopTime, sep);
        c.Flush();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(data.Series[0].size());
}

void BM_PelisondRepaintNominal(benchmark::State& state) { Repaint(state, 0); }
void BM_PelisondRepaint400k(benchmark::State& state) { Repaint(state, 400000); }
// Parts of the nominal repaint, to see where its time goes.
void BM_PelisondFrameOnly(benchmark::State& state) { Repaint(state, 0, false, false); }
void BM_PelisondCurvesWithoutMarkers(benchmark::State& state) { Repaint(state, 0, true, false); }

BENCHMARK(BM_PelisondRepaintNominal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondFrameOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondCurvesWithoutMarkers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondRepaint400k)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
