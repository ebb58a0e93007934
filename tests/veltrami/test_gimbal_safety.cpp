// Parameters that cannot give a finite, terminating run are refused without touching
// the last run; a run that diverges stops and says so; the data file and the display
// round trip feed the model what the windows show.
#include "GimbalTestSupport.h"
#include "MachineMemory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <filesystem>
#include <fstream>
#include <limits>

using namespace veltrami;
using veltrami::fixtures::ShippedParameters;

namespace {

struct LastRun {
    std::vector<double> bet, time;
    float betMax, momentBetMin;
    int sampleCount, recorded;
};

LastRun Snapshot(const GimbalModel& m)
{
    return {m.Bet, m.Time, m.BetMax, m.MomentBetMin, m.SampleCount, m.Recorded()};
}

void ExpectUnchanged(const GimbalModel& m, const LastRun& before, const char* row)
{
    EXPECT_EQ(m.Bet, before.bet) << row;
    EXPECT_EQ(m.Time, before.time) << row;
    EXPECT_EQ(m.BetMax, before.betMax) << row;
    EXPECT_EQ(m.MomentBetMin, before.momentBetMin) << row;
    EXPECT_EQ(m.SampleCount, before.sampleCount) << row;
    EXPECT_EQ(m.Recorded(), before.recorded) << row;
}

} // namespace

TEST(GimbalSafety, RefusedParametersLeaveTheLastRunAsItWas)
{
    struct Row { const char* name; void (*change)(ModelParameters&); const char* words; };
    const Row rows[] = {
        {"zero step", [](ModelParameters& p) { p.Step = 0; }, "Шаг расчета"},
        {"negative step", [](ModelParameters& p) { p.Step = -0.001f; }, "Шаг расчета"},
        {"zero print step", [](ModelParameters& p) { p.PrintStep = 0; }, "Шаг печати"},
        {"negative print step", [](ModelParameters& p) { p.PrintStep = -1; }, "Шаг печати"},
        {"stop before start", [](ModelParameters& p) { p.InitialTime = 12; }, "Время остановки"},
        {"stop time zero", [](ModelParameters& p) { p.StopTime = 0; }, "Время остановки"},
        {"step lost in the time", [](ModelParameters& p) { p.Step = 1e-30f; }, "слишком мал"},
        {"stage increments lost in the time",
         [](ModelParameters& p) { p.InitialTime = 1; p.StopTime = 2; p.Step = 3e-16f; }, "слишком мал"},
        {"no inertia about the inner axis",
         [](ModelParameters& p) { p.InertiaEquatorial = 0; p.InnerInertiaX1 = 0; }, "«Экваториальный момент инерции"},
        {"outer inertia vanishing at a right angle",
         [](ModelParameters& p) { p.OuterInertiaX2 = 0; p.InnerInertiaZ1 = 0; }, "«Момент инерции наружной рамки"},
        {"print step far too fine", [](ModelParameters& p) { p.PrintStep = 1e-12f; p.Step = 1e-13f; }, "отсчетов"},
        {"sample count below the int range",
         [](ModelParameters& p) { p.InitialTime = -3.4e38f; p.StopTime = -1e30f; p.Step = 1e24f; p.PrintStep = 1e-9f; }, "отсчетов"},
        {"steps between samples beyond counting", [](ModelParameters& p) { p.PrintStep = 1e10f; p.Step = 1e-9f; }, "9·10^18"},
        {"samples too many to hold", [](ModelParameters& p) { p.StopTime = 2e9f; p.Step = 1; p.PrintStep = 1; }, "памяти"},
        {"infinite mass", [](ModelParameters& p) { p.Mass = std::numeric_limits<float>::infinity(); }, "Масса"},
        {"undefined stop time", [](ModelParameters& p) { p.StopTime = std::nanf(""); }, "Время остановки"},
    };
    GimbalModel model;
    model.Params = ShippedParameters();
    model.Params.StopTime = 0.5f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    const ModelParameters good = model.Params;
    const LastRun before = Snapshot(model);

    for (const Row& row : rows) {
        model.Params = good;
        row.change(model.Params);
        const RunStatus allocated = model.AllocateSeries();
        EXPECT_EQ(allocated.kind, RunStatus::Kind::Refused) << row.name;
        EXPECT_NE(allocated.message.find(row.words), std::string::npos) << row.name << ": " << allocated.message;
        const RunStatus run = model.Calculate();
        EXPECT_EQ(run.kind, RunStatus::Kind::Refused) << row.name;
        ExpectUnchanged(model, before, row.name);
    }
}

// The series may take about half the machine's memory, and a refusal says how much they need.
TEST(GimbalSafety, SeriesMayTakeAboutHalfTheMachinesMemory)
{
    const double bytesPerSample = 7 * sizeof(double);
    const double physical = double(machinememory::PhysicalBytes());
    ASSERT_GT(physical, 0);
    EXPECT_EQ(double(machinememory::SeriesBudget()), std::floor(physical / 2));
    if (physical / 2 / bytesPerSample > 1e9)
        GTEST_SKIP() << "more memory than 32-bit sample counts can use";
    GimbalModel model;
    model.Params = ShippedParameters();
    model.Params.Step = 1;
    model.Params.PrintStep = 1;
    model.Params.StopTime = float(0.4 * physical / bytesPerSample);
    EXPECT_EQ(model.CheckParameters(), "");
    model.Params.StopTime = float(0.6 * physical / bytesPerSample);
    const std::string refusal = model.CheckParameters();
    const std::size_t need = refusal.find("нужно ");
    ASSERT_NE(need, std::string::npos) << refusal;
    char* unit = nullptr;
    const double amount = std::strtod(refusal.c_str() + need + std::strlen("нужно "), &unit);
    const double mebibytes = std::string_view(unit).starts_with(" ГБ") ? amount * 1024 : amount;
    EXPECT_NEAR(mebibytes, 0.6 * physical / (1 << 20), 0.01 * physical / (1 << 20)) << refusal;
    EXPECT_NE(refusal.find("увеличьте шаг печати"), std::string::npos) << refusal;
}

TEST(GimbalSafety, NominalStepDivergesAndKeepsTheSamplesBeforeIt)
{
    GimbalModel model;
    model.Params = fixtures::NominalParameters();
    ASSERT_TRUE(model.AllocateSeries().ok());
    const RunStatus status = model.Calculate();
    ASSERT_EQ(status.kind, RunStatus::Kind::Diverged);
    EXPECT_FALSE(status.ok());
    EXPECT_GT(status.time, 0.0);
    EXPECT_LT(status.time, 1.0);
    EXPECT_NE(status.message.find("Уменьшите шаг"), std::string::npos) << status.message;
    EXPECT_EQ(model.SampleCount, 119);
    ASSERT_GE(model.Recorded(), 1);
    EXPECT_LT(model.Recorded(), 10);
    for (int k = 0; k < model.Recorded(); ++k) {
        EXPECT_TRUE(std::isfinite(model.Bet[k])) << "sample " << k;
        EXPECT_LE(model.Time[k], status.time);
    }
    EXPECT_TRUE(model.Calculated);
}

TEST(GimbalSafety, DivergenceAdviceGivesAStepThatRuns)
{
    GimbalModel model;
    model.Params = fixtures::NominalParameters();
    EXPECT_NEAR(model.FastestRate(), 1000.0, 1e-3) << "nutation H / sqrt(J_alpha J_beta)";
    const RunStatus diverged = model.Calculate();
    ASSERT_EQ(diverged.kind, RunStatus::Kind::Diverged);
    EXPECT_NE(diverged.message.find("не более 0.0002 с"), std::string::npos) << diverged.message;

    model.Params.Step = 0.0002f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    const RunStatus advised = model.Calculate();
    EXPECT_TRUE(advised.ok()) << advised.message;
    EXPECT_LT(std::fabs(model.BetMax), 0.1f) << "the advised step integrates the nominal rotor";

    model.Params.KineticMoment = 0;
    model.Params.MomentBetFrequency = 35;
    EXPECT_NEAR(model.FastestRate(), 35.0, 1e-6) << "without the rotor the drive is the fastest";
}

TEST(GimbalSafety, CancelledRunKeepsWhatItRecorded)
{
    GimbalModel model;
    model.Params = ShippedParameters();
    ASSERT_TRUE(model.AllocateSeries().ok());
    const RunStatus status = model.Calculate([](double t) { return t > 1.0; });
    ASSERT_EQ(status.kind, RunStatus::Kind::Cancelled);
    EXPECT_GT(model.Recorded(), 90);
    EXPECT_LT(model.Recorded(), 1200);
    EXPECT_EQ(model.Recorded(), int(model.Bet.size()));
}

namespace {

std::string WriteTemp(const std::string& name, const std::string& text)
{
    const auto path = std::filesystem::temp_directory_path() / ("gimbal_" + name);
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

} // namespace

TEST(GimbalParameters, FileValuesTakeTheirFieldsAndShortFilesKeepTheRest)
{
    GimbalModel model;
    model.Params.InitialBet = 7;
    const datafile::LoadReport report
        = model.LoadParameters(WriteTemp("short.dat", "0.1, 0.2,\n 3e1,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report.valuesRead, 26u);
    EXPECT_EQ(model.Params.Step, 0.1f);
    EXPECT_EQ(model.Params.PrintStep, 0.2f);
    EXPECT_EQ(model.Params.StopTime, 30.0f);
    EXPECT_EQ(model.Params.InitialAlf, 26.0f) << "field 26 is the initial alpha";
    EXPECT_EQ(model.Params.InitialBet, 7.0f) << "a value the file does not hold keeps what it was";
    EXPECT_FALSE(model.LoadParameters(WriteTemp("missing", "") + ".none"));
}

TEST(GimbalParameters, DisplayRoundTripUsesTheValuesAsShown)
{
    ModelParameters p = ShippedParameters();
    p.InitialAlf = 0.123456f;
    p.InitialBet = -0.98765f;
    p.InertiaEquatorial = 0.00015f;
    p.Mass = 1234567;
    p.Step = 0.0000123f;
    RoundTripThroughDisplay(p);
    EXPECT_EQ(p.InitialAlf, 0.123f);
    EXPECT_EQ(p.InitialBet, -0.988f) << "alpha and beta come back from their own fields";
    EXPECT_EQ(p.InertiaEquatorial, 0.00015f);
    EXPECT_EQ(p.Mass, 1234570.0f);
    EXPECT_EQ(p.Step, 0.0000123f);
    EXPECT_EQ(p.PrintStep, 0.01f);
}

TEST(GimbalParameters, FieldNamesFindTheirRows)
{
    EXPECT_EQ(FindParameter("Step"), 0);
    EXPECT_EQ(FindParameter("InitialBet"), 26);
    EXPECT_EQ(FindParameter("Nonsense"), -1);
    ModelParameters p;
    p.at(FindParameter("KineticMoment")) = 2.5f;
    EXPECT_EQ(p.KineticMoment, 2.5f);
}
