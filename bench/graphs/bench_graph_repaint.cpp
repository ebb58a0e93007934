#include "QPainterCanvas.h"
#include "PlotOutput.h"
#include "TuningForkGraph.h"
#include "TuningForkModel.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
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

// Ten million samples of a drive-frequency swing building up over a slow drift, every
// series of the graph the same one: what a long run gives the zoomed graph.
const pelisond::GraphData& TenMillion()
{
    static std::vector<double> series;
    static std::vector<double> time;
    static pelisond::GraphData data;
    if (!series.empty())
        return data;
    constexpr std::size_t n = 10'000'000;
    const float printStep = 3e-5f;
    series.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) * printStep;
        series[i] = 1e-5 * (1 - std::exp(-t / 20)) * std::cos(62800 * t) + 1e-7 * t;
    }
    for (auto& s : data.Series)
        s = series;
    for (auto& e : data.Extremes)
        e = {-1e-5f, 1e-5f + 3e-5f};
    data.PrintStep = printStep;
    data.StopTime = static_cast<float>(n * static_cast<double>(printStep));
    return data;
}

// One repaint of the graph zoomed to a share of the ten million samples, starting halfway;
// the level of detail built once beforehand, as the window keeps it for the run.
void Zoomed(benchmark::State& state, double share, bool all)
{
    const pelisond::GraphData& data = TenMillion();
    timegraph::PyramidCache levels;
    const timegraph::MinMaxPyramid& pyramid = levels.For(data.Series[0]);
    const double T = data.StopTime;
    timegraph::View view;
    view.levels = &levels;
    // A share of 0: unzoomed, as the window draws before any zoom (every sample walked).
    if (share > 0)
        view.zoom = share >= 1 ? timegraph::TimeSpan{0, T} : timegraph::TimeSpan{0.5 * T, (0.5 + share) * T};
    const pelisond::Ranges ranges = pelisond::ComputeRanges(data.Extremes, pelisond::ScaleMode::Automatic);
    pelisond::CurveChoice chosen{};
    if (all)
        chosen.fill(true);
    else
        chosen[0] = true;
    QImage image(pelisond::GraphWidth, pelisond::GraphHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(QColor(240, 240, 240));
        canvas::QPainterCanvas c(&image, QColor(240, 240, 240));
        pelisond::DrawGraph(c, data, ranges, chosen, false, T, numfmt::CommaSeparators(), pelisond::GraphWidth,
                            pelisond::GraphHeight, nullptr, view);
        c.Flush();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(data.Series[0].size());
    state.counters["levels/series"] =
        static_cast<double>(pyramid.Bytes()) / (static_cast<double>(data.Series[0].size()) * sizeof(double));
}

void BM_ZoomWholeRun10M(benchmark::State& state) { Zoomed(state, 1, false); }
void BM_ZoomUnzoomed10M(benchmark::State& state) { Zoomed(state, 0, false); }
void BM_Zoom1Percent10M(benchmark::State& state) { Zoomed(state, 0.01, false); }
void BM_Zoom0_01Percent10M(benchmark::State& state) { Zoomed(state, 0.0001, false); }
// All eleven curves chosen, each of ten million samples.
void BM_ZoomWholeRun10MEleven(benchmark::State& state) { Zoomed(state, 1, true); }
void BM_ZoomLevelsBuild10M(benchmark::State& state)
{
    const pelisond::GraphData& data = TenMillion();
    for (auto _ : state) {
        const timegraph::MinMaxPyramid pyramid(data.Series[0]);
        benchmark::DoNotOptimize(pyramid.Bytes());
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
BENCHMARK(BM_ZoomWholeRun10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomUnzoomed10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zoom1Percent10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Zoom0_01Percent10M)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomWholeRun10MEleven)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomLevelsBuild10M)->Unit(benchmark::kMillisecond)->Iterations(3);

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
