// Sampling and counting rules of a gimbal run: steps per sample, capacity, sample count,
// sample timing, and what happens at and beyond the nominal capacity.
#include "GimbalTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace veltrami;
using veltrami::fixtures::NominalParameters;

namespace {

// Nominal parameters with the rotor stopped: no nutation, so a coarse step stays stable.
ModelParameters StillRotor()
{
    ModelParameters p = NominalParameters();
    p.KineticMoment = 0;
    return p;
}

} // namespace

TEST(GimbalCounting, StepsPerSampleFollowTheFloatQuotientWithItsGuardFactor)
{
    struct Row { float step, printStep; long long n; const char* why; };
    const Row rows[] = {
        {0.1f, 0.1f, 1, "print step equal to the step"},
        {0.01f, 0.1f, 10, "quotient 10.0000004"},
        {0.1f, 0.7f, 7, "quotient 6.99999978 lifted by the factor"},
        {0.000003f, 0.00003f, 10, "quotient 9.9999994 lifted by the factor"},
        {0.2f, 0.1f, 0, "print step shorter than the step"},
    };
    for (const Row& row : rows) {
        GimbalModel model;
        model.Params.Step = row.step;
        model.Params.PrintStep = row.printStep;
        EXPECT_EQ(model.StepsPerSample(), row.n) << row.why;
    }
}

TEST(GimbalCounting, NominalTimesGiveCapacity219AndSampleCount119)
{
    GimbalModel model;
    model.Params = StillRotor();
    ASSERT_TRUE(model.AllocateSeries().ok());
    EXPECT_EQ(model.NominalCapacity(), 219);
    EXPECT_EQ(model.SampleCount, 119) << "12 / 0.1 in 32 bits is just below 120";
}

TEST(GimbalCounting, NominalRunRecordsSamplesAtPointOneToElevenPointNine)
{
    GimbalModel model;
    model.Params = StillRotor();
    ASSERT_TRUE(model.AllocateSeries().ok());
    const RunStatus status = model.Calculate();
    ASSERT_TRUE(status.ok()) << status.message;
    ASSERT_EQ(model.Recorded(), 119);
    EXPECT_NEAR(model.Time.front(), 0.1, 1e-6) << "the initial state is not a sample when n >= 1";
    EXPECT_NEAR(model.Time.back(), 11.9, 1e-5);
    for (int k = 0; k < model.Recorded(); ++k)
        EXPECT_NEAR(model.Time[k], 0.1 * (k + 1), 1e-5) << "sample " << k;
}

TEST(GimbalCounting, ShortPrintStepRecordsTheInitialStateWithItsOwnMoments)
{
    GimbalModel model;
    model.Params = StillRotor();
    model.Params.StopTime = 1;
    model.Params.MomentAlfAmplitude = 3;
    ASSERT_TRUE(model.Calculate().ok());  // leaves moments of t = 1 behind

    model.Params.Step = 0.01f;
    model.Params.PrintStep = 0.005f;
    model.Params.InitialTime = 0.25f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    ASSERT_EQ(model.StepsPerSample(), 0);
    ASSERT_GT(model.Recorded(), 0);
    EXPECT_EQ(model.Time[0], double(0.25f));
    EXPECT_FLOAT_EQ(model.MomentBet[0], float(-4 * std::cos(20 * double(0.25f))));
    EXPECT_FLOAT_EQ(model.MomentAlf[0], float(3 * std::cos(20 * double(0.25f))));
    int steps = 0;
    for (double t = 0.25f; t < 1.0; t += double(0.01f))
        ++steps;
    EXPECT_EQ(model.Recorded(), steps) << "one sample before every step";
}

TEST(GimbalCounting, RunsRecordingMoreThanTheNominalCapacityKeepEverySample)
{
    GimbalModel model;
    model.Params = StillRotor();
    model.Params.MomentBetAmplitude = 0;
    model.Params.Step = 1;
    model.Params.PrintStep = 1.9f;
    model.Params.StopTime = 1000;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.NominalCapacity(), 626);
    EXPECT_EQ(model.Recorded(), 999);
    for (auto* series : {&model.AlfDot, &model.Bet, &model.MomentAlf, &model.Time})
        EXPECT_EQ(series->size(), 999u);
}

TEST(GimbalCounting, ExtremesFollowOnlyTheRecordedSamples)
{
    GimbalModel model;
    model.Params = fixtures::ShippedParameters();
    model.Params.StopTime = 1;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    float betMax = -100000, betMin = 100000, momentMin = 100000;
    for (int k = 0; k < model.Recorded(); ++k) {
        betMax = std::max(betMax, float(model.Bet[k]));
        betMin = std::min(betMin, float(model.Bet[k]));
        momentMin = std::min(momentMin, float(model.MomentBet[k]));
    }
    EXPECT_EQ(model.BetMax, betMax);
    EXPECT_EQ(model.BetMin, betMin);
    EXPECT_EQ(model.MomentBetMin, momentMin);
    EXPECT_EQ(model.MomentAlfMax, 0.0f) << "no outer-frame moment in the nominal set";

    // Five steps of a sample every ten record nothing: every extreme shows its starting value.
    model.Params = StillRotor();
    model.Params.Step = 0.1f;
    model.Params.PrintStep = 1;
    model.Params.StopTime = 0.5f;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    ASSERT_EQ(model.Recorded(), 0);
    for (float max : {model.AlfDotMax, model.BetDotMax, model.AlfMax, model.BetMax, model.MomentBetMax, model.MomentAlfMax})
        EXPECT_EQ(max, -100000.0f);
    for (float min : {model.AlfDotMin, model.BetDotMin, model.AlfMin, model.BetMin, model.MomentBetMin, model.MomentAlfMin})
        EXPECT_EQ(min, 100000.0f);
}

TEST(GimbalCounting, RecalculatingGivesTheSameSeriesWithoutGrowing)
{
    GimbalModel model;
    model.Params = fixtures::ShippedParameters();
    model.Params.StopTime = 2;
    ASSERT_TRUE(model.AllocateSeries().ok());
    ASSERT_TRUE(model.Calculate().ok());
    const std::vector<double> first = model.Bet;
    const std::size_t capacity = model.Bet.capacity();
    ASSERT_TRUE(model.Calculate().ok());
    EXPECT_EQ(model.Bet, first);
    EXPECT_EQ(model.Bet.capacity(), capacity);
}
