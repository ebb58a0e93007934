// The calculation run: counting rules, refusals, divergence and the series it leaves.
#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

namespace pelisond::testing {
namespace {

TEST(PelisondCounting, NominalRunRecordsSamplesZeroTo3966)
{
    TuningForkModel model;
    model.Params = NominalParams();
    RoundTripThroughDisplay(model.Params);
    ASSERT_TRUE(model.AllocateSeries().ok());
    EXPECT_EQ(model.StepsPerSample(), 10);
    EXPECT_EQ(model.NominalCapacity(), 4066);
    EXPECT_EQ(model.SampleCount, 3966);
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_TRUE(model.Calculated);
    ASSERT_EQ(model.Recorded(), 3967);
    for (const auto& s : model.Series)
        EXPECT_EQ(s.size(), 3967u);
    // Sample i holds the state after 10 i steps; the last one is the last before StopTime.
    EXPECT_NEAR(model.Time[3966], 3966 * 10 * double(model.Params.Step), 1e-12);
    EXPECT_LT(model.Time[3966], double(model.Params.StopTime));
    EXPECT_GE(model.Time[3966] + 10 * double(model.Params.Step), double(model.Params.StopTime));
    for (int k = 0; k < SeriesCount; ++k)
        EXPECT_EQ(model.Series[k][0], 0.0) << SeriesNames[k] << ": sample 0 is the rest state";
}

TEST(PelisondCounting, StepsPerSampleFollowsPrintStepAndStep)
{
    struct Row {
        float step, printStep, stopTime;
        long long T;
    };
    // Equal steps record every step; a print step below the step gives T = 0, which records
    // every step and repeats sample 0; a print step that is no multiple of the step records
    // more samples than the nominal capacity, and none may be lost.
    const Row rows[] = {
        {0.000002f, 0.000002f, 0.0002f, 1},
        {0.000002f, 0.000001f, 0.0002f, 0},
        {0.0000021f, 0.00001f, 0.119f, 4},
    };
    for (const Row& row : rows) {
        TuningForkModel model;
        model.Params = NominalParams();
        model.Params.Step = row.step;
        model.Params.PrintStep = row.printStep;
        model.Params.StopTime = row.stopTime;
        SCOPED_TRACE(::testing::Message() << "step " << row.step << ", print step " << row.printStep);
        ASSERT_TRUE(model.AllocateSeries().ok());
        const RunStatus status = model.Calculate();
        ASSERT_TRUE(status.ok()) << status.message;
        EXPECT_EQ(model.StepsPerSample(), row.T);
        // Steps taken while t < StopTime; a sample is recorded before every T-th step after the first.
        const long long steps = static_cast<long long>(std::ceil(double(row.stopTime) / double(row.step)));
        const int recorded = static_cast<int>(row.T == 0 ? steps + 1 : 1 + (steps - 1) / row.T);
        EXPECT_EQ(model.Recorded(), recorded);
        for (const auto& s : model.Series)
            EXPECT_EQ(static_cast<int>(s.size()), recorded);
        const double interval = std::max<long long>(row.T, 1) * double(row.step);
        EXPECT_NEAR(model.Time.back(), (recorded - 1 - (row.T == 0)) * interval, 1e-9);
        if (row.T == 4) {
            EXPECT_GT(recorded, model.NominalCapacity()) << "more samples than the nominal capacity, all kept";
        }
        if (row.T == 0) {
            EXPECT_EQ(model.Series[X1Dot][1], model.Series[X1Dot][0]) << "T = 0 records before the first step twice";
        }
    }
}

TEST(PelisondCounting, ZeroStopTimeRecordsOnlySampleZero)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.Recorded(), 1);
    EXPECT_EQ(model.SampleCount, 0);
    for (const SeriesExtremes& e : model.Extremes) {
        EXPECT_EQ(e.Max, 0);
        EXPECT_EQ(e.Min, 0);
    }
}

TEST(PelisondRun, ExtremesIncludeZeroAndBoundTheSeries)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0.01f;
    ASSERT_TRUE(model.Calculate().ok());
    for (int k = 0; k < SeriesCount; ++k) {
        const auto& s = model.Series[k];
        const double hi = std::max(0.0, *std::max_element(s.begin(), s.end()));
        const double lo = std::min(0.0, *std::min_element(s.begin(), s.end()));
        EXPECT_EQ(model.Extremes[k].Max, static_cast<float>(hi)) << SeriesNames[k];
        EXPECT_EQ(model.Extremes[k].Min, static_cast<float>(lo)) << SeriesNames[k];
    }
}

TEST(PelisondRun, ResonanceStiffnessesReplaceTheTypedOnesAtEveryRun)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0.0001f;
    model.Params.StiffnessFi = 1;
    model.Params.StiffnessY1 = 2;
    model.Params.StiffnessY2 = 3;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_NEAR(model.Params.StiffnessY1, 6.4486e11, 0.0001e11);
    EXPECT_EQ(model.Params.StiffnessY2, model.Params.StiffnessY1);
    EXPECT_NEAR(model.Params.StiffnessFi, 9.510e17, 0.001e17);
    EXPECT_EQ(model.Params.StiffnessX1, 1554e8f) << "the X stiffness is the user's";

    model.Params.Mass2 = 20;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.Params.StiffnessY2, static_cast<float>(4.15L * 20 * 62800.0L * 62800.0L));
}

// The run integrates with a fused kernel that solves the equations in another order and skips
// drift estimates no sample records; the plain stage-by-stage protocol with the right-hand side
// as defined must agree with it to rounding: every series within 1e-12 of its range, the
// times and the sample count exactly.
TEST(PelisondRun, RunLoopMatchesThePlainStageProtocol)
{
    for (float printStep : {0.00003f, 0.000003f, 0.0000071f}) {
        SCOPED_TRACE(printStep);
        TuningForkModel model;
        model.Params = NominalParams();
        model.Params.StopTime = 0.003f;
        model.Params.PrintStep = printStep;
        model.Params.TempDropAbs = 4;
        model.Params.TempDropX = 2;
        model.Params.MassOffsetY2 = 0.4f;
        model.Params.MassOffsetY1 = -0.3f;
        ASSERT_TRUE(model.Calculate().ok());

        const RunConstants c = ComputeRunConstants(model.Params);
        const long long T = model.StepsPerSample();
        TRungeKutta4 rk(StateSize);
        std::fill(rk.Solution.begin(), rk.Solution.end(), 0.0);
        rk.Solution[sX1] = -c.L;
        rk.Solution[sX2] = c.L;
        double drift = 0;
        // The recorded series and, last, the drift formula at each sampled state.
        std::array<std::vector<double>, SeriesCount + 1> plain;
        std::vector<double> time;
        auto record = [&] {
            const double* y = rk.Solution.data();
            double rates[StateSize];
            const double v[SeriesCount + 1] = {y[sFi], y[sFiDot], y[sX1] + c.L, y[sX2] - c.L, y[sY1], y[sY2],
                                               y[sX1Dot], y[sX2Dot], y[sY1Dot], y[sY2Dot], drift,
                                               RightHandSide(c, y, rates)};
            for (int k = 0; k <= SeriesCount; ++k)
                plain[k].push_back(v[k]);
            time.push_back(y[sT]);
        };
        record();
        long long j = 0;
        while (rk.Solution[sT] < double(model.Params.StopTime)) {
            if (j >= T) {
                j = 0;
                record();
            }
            rk.BeginStep();
            while (rk.StageNo < 5) {
                drift = RightHandSide(c, rk.Point.data(), rk.Derivative.data());
                rk.DoStage(double(model.Params.Step));
            }
            ++j;
        }
        ASSERT_EQ(static_cast<int>(time.size()), model.Recorded());
        EXPECT_EQ(model.Time, time);
        for (int k = 0; k <= SeriesCount; ++k) {
            const auto [lo, hi] = std::minmax_element(plain[k].begin(), plain[k].end());
            const double range = *hi - *lo;
            ASSERT_GT(range, 0) << AllSeriesNames[k];
            const std::vector<double>& recorded = k < SeriesCount ? model.Series[k] : model.DriftAtSample;
            for (int i = 0; i < model.Recorded(); ++i)
                ASSERT_LE(std::fabs(recorded[i] - plain[k][i]), 1e-12 * range) << AllSeriesNames[k] << " " << i;
        }
    }
}

TEST(PelisondRun, SameParametersGiveIdenticalRuns)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0.005f;
    model.Params.TempDropAbs = 3;
    ASSERT_TRUE(model.Calculate().ok());
    const auto first = model.Series;
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.Series, first);
}

// Every refusal names its cause and leaves the previous run, the parameters it used and
// SampleCount exactly as they were, both when sizing the series and when calculating.
TEST(PelisondRefusals, DegenerateParametersAreRefusedAndChangeNothing)
{
    struct Row {
        const char* what;
        std::function<void(ModelParameters&)> change;
        const char* mentions;
    };
    const Row rows[] = {
        {"zero step", [](ModelParameters& p) { p.Step = 0; }, "Шаг расчета"},
        {"negative step", [](ModelParameters& p) { p.Step = -0.000003f; }, "Шаг расчета"},
        {"step lost in the time's rounding", [](ModelParameters& p) { p.Step = 1e-18f; }, "Шаг расчета"},
        {"zero print step", [](ModelParameters& p) { p.PrintStep = 0; }, "Шаг печати"},
        {"negative print step", [](ModelParameters& p) { p.PrintStep = -1; }, "Шаг печати"},
        {"not a number", [](ModelParameters& p) { p.DampX1 = NAN; }, "трения по X1"},
        {"infinite", [](ModelParameters& p) { p.BaseRate = INFINITY; }, "Угловая скорость"},
        {"first mass zero", [](ModelParameters& p) { p.Mass1 = 0; }, "Масса первого"},
        {"second mass zero", [](ModelParameters& p) { p.Mass2 = 0; }, "Масса второго"},
        {"masses cancel", [](ModelParameters& p) { p.Mass2 = -p.Mass1; }, "масс"},
        {"zero drive frequency", [](ModelParameters& p) { p.DriveFrequency = 0; }, "Частота"},
        {"zero axis distance", [](ModelParameters& p) { p.AxisDistance = 0; }, "Расстояние"},
        {"Poisson ratio 1 in thermal mode", [](ModelParameters& p) { p.PoissonRatio = 1; p.TempDropX = 2; }, "Пуассона"},
        {"L + b = 0 in thermal mode",
         [](ModelParameters& p) { p.ElementHalfWidth = -1500; p.TempDropAbs = 2; }, "полуширины"},
        {"no own inertia", [](ModelParameters& p) { p.ElementHalfWidth = 0; p.FrameMass = 0; }, "момент инерции"},
        {"resonance stiffness overflows", [](ModelParameters& p) { p.DriveFrequency = 1e20f; }, "Жесткость"},
        {"sample count beyond 32 bits", [](ModelParameters& p) { p.PrintStep = 1e-30f; }, "отсчетов"},
        {"steps between samples beyond counting", [](ModelParameters& p) { p.PrintStep = 1e10f; p.Step = 1e-9f; }, "9·10^18"},
        {"too many samples to hold",
         [](ModelParameters& p) { p.Step = 1e-9f; p.PrintStep = 5e-10f; p.StopTime = 1; }, "отсчетов"},
    };

    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.StopTime = 0.002f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    const auto series = model.Series;
    const auto time = model.Time;
    const int recorded = model.Recorded(), sampleCount = model.SampleCount;
    const float maxX1 = model.Extremes[X1].Max;
    ASSERT_GT(recorded, 1);

    EXPECT_TRUE(model.CheckParameters().empty());
    // A ν of 1 or L + b = 0 only matter in thermal mode.
    ModelParameters technological = model.Params;
    technological.PoissonRatio = 1;
    technological.ElementHalfWidth = -1500;
    std::swap(model.Params, technological);
    EXPECT_TRUE(model.CheckParameters().empty());
    std::swap(model.Params, technological);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const ModelParameters good = model.Params;
        row.change(model.Params);
        const ModelParameters bad = model.Params;
        for (int call = 0; call < 2; ++call) {
            const RunStatus status = call == 0 ? model.AllocateSeries() : model.Calculate();
            EXPECT_EQ(status.kind, RunStatus::Kind::Refused);
            EXPECT_NE(status.message.find(row.mentions), std::string::npos) << status.message;
            EXPECT_EQ(model.Recorded(), recorded);
            EXPECT_EQ(model.SampleCount, sampleCount);
            EXPECT_EQ(model.Series, series);
            EXPECT_EQ(model.Time, time);
            EXPECT_EQ(model.Extremes[X1].Max, maxX1);
            EXPECT_EQ(0, std::memcmp(&model.Params, &bad, sizeof bad)) << "a refused run writes no stiffness";
        }
        model.Params = good;
    }
}

TEST(PelisondRefusals, RefusedFirstRunLeavesTheModelUncalculated)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.Step = 0;
    EXPECT_FALSE(model.Calculate().ok());
    EXPECT_FALSE(model.Calculated);
    EXPECT_EQ(model.Recorded(), 0);
}

TEST(PelisondRun, DivergingRunStopsWithTheTimeAndKeepsItsSamples)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.DampX1 = -1e7f;  // pumps energy in until the state overflows
    const RunStatus status = model.Calculate();
    ASSERT_EQ(status.kind, RunStatus::Kind::Diverged);
    EXPECT_FALSE(status.message.empty());
    EXPECT_GT(status.time, 0);
    EXPECT_LT(status.time, double(model.Params.StopTime));
    ASSERT_GE(model.Recorded(), 2);
    EXPECT_LE(model.Time.back(), status.time);
    for (const auto& s : model.Series) {
        ASSERT_EQ(static_cast<int>(s.size()), model.Recorded());
        for (double v : s)
            ASSERT_TRUE(std::isfinite(v));
    }
}

TEST(PelisondRun, DivergenceAdviceGivesAStepThatRuns)
{
    TuningForkModel model;
    model.Params = NominalParams();
    model.Params.Step = 0.00003f;
    model.Params.StopTime = 0.003f;
    const RunStatus diverged = model.Calculate();
    ASSERT_EQ(diverged.kind, RunStatus::Kind::Diverged);
    // The Y modes sit at sqrt(4.15) times the drive frequency.
    EXPECT_NEAR(model.FastestRate(), std::sqrt(4.15) * 62800, 200);
    EXPECT_NE(diverged.message.find("не более 1E-6 с"), std::string::npos) << diverged.message;
    model.Params.Step = 0.000001f;
    const RunStatus advised = model.Calculate();
    EXPECT_TRUE(advised.ok()) << advised.message;
}

TEST(PelisondRun, CancelledRunKeepsItsSamples)
{
    TuningForkModel model;
    model.Params = NominalParams();
    double askedAt = 0;
    const RunStatus status = model.Calculate([&](double t) { askedAt = t; return true; });
    ASSERT_EQ(status.kind, RunStatus::Kind::Cancelled);
    EXPECT_EQ(status.time, askedAt);
    EXPECT_GT(model.Recorded(), 1);
    EXPECT_LT(model.Recorded(), 3967);
}

} // namespace
} // namespace pelisond::testing
