// Paint time of the 3D view of the gimbal gyroscope, 389 x 389, with the shipped run and
// the rotor's texture. The shortest timer interval is 10 ms; the counter share_of_10ms is
// one paint's wall time over it.
#include "AppServices.h"
#include "Application.h"
#include "Field.h"
#include "Forms.h"
#include "Main.h"
#include "OpenGLPanel.h"
#include "ScriptedServices.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <GL/gl.h>

#include <chrono>
#include <cstdio>

namespace {

using veltrami::Form1;
using veltrami::Form2;

using Clock = std::chrono::steady_clock;

void ShareOfShortestInterval(benchmark::State& state, Clock::duration spent)
{
    const double perPaint = std::chrono::duration<double>(spent).count() / static_cast<double>(state.iterations());
    state.counters["share_of_10ms"] = perPaint / 0.010;
}

// What one timer tick costs the view: the paint handler, then the swap that shows it, the
// sample, angles and moment indicators advancing through the run as the animation does.
void BM_ViewPaint(benchmark::State& state)
{
    const int last = Form1->LastShownSample();
    const Clock::time_point start = Clock::now();
    for (auto _ : state) {
        Form1->Timer1Timer();
        if (Form1->CurrentSample >= last)
            Form1->CurrentSample = 0;
    }
    ShareOfShortestInterval(state, Clock::now() - start);
}
BENCHMARK(BM_ViewPaint)->UseRealTime()->Unit(benchmark::kMillisecond);

// The scene alone, finished but not shown: the paint handler and glFinish, the context
// kept current.
void BM_SceneOnly(benchmark::State& state)
{
    TOpenGLPanel* panel = Form2->OpenGLPanel1;
    panel->MakeOpenGLPanelCurrent();
    const int last = Form1->LastShownSample();
    int k = 0;
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
    gyroapp::Application app(argc, argv, QStringLiteral("veltrami"));
    // Notices are printed, not shown: nobody is there to answer them.
    gyroapp::ScriptedServices services;
    veltrami::CreateForms(BENCH_VELTRAMI_DAT);
    Form2->TexturePath = QStringLiteral(BENCH_VELTRAMI_TEXTURE);
    Form1->show();
    QCoreApplication::processEvents();
    if (!Form1->Calculate() || Form1->Model.Recorded() < 3) {
        std::fprintf(stderr, "the shipped run failed\n");
        return 1;
    }
    Form1->ShowMomentLevels(0);
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
    QCoreApplication::processEvents();
    for (const QString& text : services.Notices + services.Errors)
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    // The timer stays off: the benchmark calls the tick itself.
    Form1->Timer1->stop();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Form2->hide();
    veltrami::DestroyForms();
    return 0;
}
