// Paint time of the 3D view of the tuning-fork gyroscope, 473 x 473, with the nominal run.
// The shortest timer interval is 10 ms; the counter share_of_10ms is one paint's wall time
// over it.
#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QWindow>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>

namespace {

using pelisond::Form1;
using pelisond::Form2;

using Clock = std::chrono::steady_clock;

// One paint's wall time as a share of the shortest timer interval.
void ShareOfShortestInterval(benchmark::State& state, Clock::duration spent)
{
    const double perPaint = std::chrono::duration<double>(spent).count() / static_cast<double>(state.iterations());
    state.counters["share_of_10ms"] = perPaint / 0.010;
}

void SetFactors(int x, int y, int fi)
{
    Form2->TrackBar1->setValue(x);
    Form2->TrackBar2->setValue(y);
    Form2->TrackBar4->setValue(fi);
}

// What one timer tick costs the view: the paint handler, then the swap that shows it,
// the sample advancing through the run as the animation does.
void BM_ViewPaint(benchmark::State& state)
{
    const bool magnified = state.range(0) != 0;
    SetFactors(magnified ? 10 : 1, magnified ? 1000 : 1, magnified ? 10000 : 1);
    const int last = Form1->LastShownSample();
    int k = 0;
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        Form1->CurrentSample = k;
        k = k < last ? k + 1 : 0;
        Form2->OpenGLPanel1->Paint();
    }
    ShareOfShortestInterval(state, Clock::now() - start);
    SetFactors(1, 1, 1);
}
BENCHMARK(BM_ViewPaint)->Arg(0)->Arg(1)->ArgName("magnified")->UseRealTime()->Unit(benchmark::kMillisecond);

// The scene alone, finished but not shown: the paint handler and glFinish, the context
// kept current.
void BM_SceneOnly(benchmark::State& state)
{
    TOpenGLPanel* panel = Form2->OpenGLPanel1;
    panel->MakeOpenGLPanelCurrent();
    int k = 0;
    const int last = Form1->LastShownSample();
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        Form1->CurrentSample = k;
        k = k < last ? k + 1 : 0;
        Form2->OpenGLPanel1Paint(panel);
        glFinish();
    }
    const Clock::duration spent = Clock::now() - start;
    panel->MakeOpenGLPanelNotCurrent();
    ShareOfShortestInterval(state, spent);
}
BENCHMARK(BM_SceneOnly)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    gyroapp::Application app(argc, argv, QStringLiteral("pelisond"));
    pelisond::CreateForms(BENCH_PELISOND_DAT);
    Form1->show();
    if (!Form1->Calculate()) {
        std::fprintf(stderr, "the nominal run failed\n");
        return 1;
    }
    // Shown without a modal loop, so that the benchmark drives the painting.
    Form2->show();
    QElapsedTimer waited;
    waited.start();
    while (!(Form2->OpenGLPanel1->SurfaceWindow() && Form2->OpenGLPanel1->SurfaceWindow()->isExposed())) {
        if (waited.elapsed() > 10000) {
            std::fprintf(stderr, "the view's panel never came on screen\n");
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Form2->hide();
    pelisond::DestroyForms();
    return 0;
}
