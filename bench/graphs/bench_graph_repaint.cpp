#include "QPainterCanvas.h"
#include "PlotOutput.h"
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

enum class Lines { Thinned, EverySample };

// The graph with all eleven curves (or none) and their markers, on any canvas.
void DrawAll(canvas::Canvas& c, const pelisond::GraphData& data, bool curves, bool markers, Lines lines)
{
    const pelisond::Ranges ranges = pelisond::ComputeRanges(data.Extremes, pelisond::ScaleMode::Automatic);
    const numfmt::Separators sep = numfmt::CommaSeparators();
    pelisond::CurveChoice all;
    all.fill(curves && lines == Lines::Thinned);
    pelisond::DrawGraph(c, data, ranges, all, markers, data.StopTime, sep);
    if (!curves || lines == Lines::Thinned)
        return;
    // The same curves handed over a piece per sample, as before the thinning.
    timegraph::Layout layout = pelisond::GraphLayout(pelisond::GraphWidth, pelisond::GraphHeight, sep);
    layout.everySample = true;
    for (int n = 1; n <= pelisond::CurveCount; ++n) {
        const pelisond::Range& r = ranges[pelisond::CurveRange(n)];
        timegraph::DrawCurve(c, layout, data.StopTime, data.PrintStep,
                             {data.Series[pelisond::CurveSeries(n)], r.Lower, r.Upper, n}, markers);
    }
}

// One repaint of the graph into an image of the paint box's size.
void Repaint(benchmark::State& state, long long samples, bool curves = true, bool markers = true,
             Lines lines = Lines::Thinned)
{
    const pelisond::GraphData data = pelisond::GraphDataOf(Run(samples));
    QImage image(pelisond::GraphWidth, pelisond::GraphHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(240, 240, 240));
        canvas::QPainterCanvas c(&image, QColor(240, 240, 240));
        DrawAll(c, data, curves, markers, lines);
        c.Flush();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(data.Series[0].size());
}

// The same graph written as an SVG file; the counter gives the file's size.
void Svg(benchmark::State& state, long long samples)
{
    const pelisond::GraphData data = pelisond::GraphDataOf(Run(samples));
    const QSize size(pelisond::GraphWidth, pelisond::GraphHeight);
    QByteArray bytes;
    for (auto _ : state) {
        bytes = canvas::RenderSvg(size, [&](canvas::Canvas& c) { DrawAll(c, data, true, true, Lines::Thinned); },
                                  {QColor(240, 240, 240), QColor(240, 240, 240)}, QStringLiteral("Графики"));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["kB"] = bytes.size() / 1000.0;
}

// The phase portrait, a dot per sample.
void Portrait(benchmark::State& state, long long samples)
{
    const pelisond::GraphData data = pelisond::GraphDataOf(Run(samples));
    QImage image(pelisond::PortraitWidth, pelisond::PortraitHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(240, 240, 240));
        canvas::QPainterCanvas c(&image, QColor(240, 240, 240));
        pelisond::DrawPhasePortrait(c, data);
        c.Flush();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PelisondRepaintNominal(benchmark::State& state) { Repaint(state, 0); }
void BM_PelisondRepaint400k(benchmark::State& state) { Repaint(state, 400000); }
// The curves handed over a piece per sample: what the thinning saves.
void BM_PelisondRepaintNominalEverySample(benchmark::State& state)
{
    Repaint(state, 0, true, true, Lines::EverySample);
}
void BM_PelisondRepaint400kEverySample(benchmark::State& state)
{
    Repaint(state, 400000, true, true, Lines::EverySample);
}
// Parts of the nominal repaint, to see where its time goes.
void BM_PelisondFrameOnly(benchmark::State& state) { Repaint(state, 0, false, false); }
void BM_PelisondCurvesWithoutMarkers(benchmark::State& state) { Repaint(state, 0, true, false); }
void BM_PelisondSvgNominal(benchmark::State& state) { Svg(state, 0); }
void BM_PelisondSvg400k(benchmark::State& state) { Svg(state, 400000); }
void BM_PelisondPortrait400k(benchmark::State& state) { Portrait(state, 400000); }

BENCHMARK(BM_PelisondRepaintNominal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondRepaintNominalEverySample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondFrameOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondCurvesWithoutMarkers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondRepaint400k)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PelisondRepaint400kEverySample)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PelisondSvgNominal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PelisondSvg400k)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PelisondPortrait400k)->Unit(benchmark::kMillisecond)->Iterations(3);

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
