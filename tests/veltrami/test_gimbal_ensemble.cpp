// Gimbal runs integrated side by side, one per vector lane, against the same runs calculated
// alone: the same bits, whatever frequencies and angles the runs beside them have.
#include "GimbalEnsemble.h"
#include "GimbalTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace veltrami;

namespace {

struct Row {
    const char* what;
    void (*change)(ModelParameters&);
};

// One step set but for the last row. The refused run left out, the first four fill a block
// of lanes and the fifth runs alone; so does the last, for its own initial time.
const Row Rows[] = {
    {"shipped", [](ModelParameters&) {}},
    {"swinging damping, outer moment, gravity",
     [](ModelParameters& p) { p.DampMax = 0.03f; p.MomentAlfAmplitude = 1.5f; p.MassOffsetZ = 0.002f; p.InitialAlf = 0.4f; }},
    {"refused", [](ModelParameters& p) { p.Mass = NAN; }},
    {"diverging", [](ModelParameters& p) { p.KineticMoment = 1000; }},
    {"own frequencies", [](ModelParameters& p) { p.MomentBetFrequency = 25; p.DampMax = 0.02f; p.DampFrequency = 2; }},
    {"heavier rotor", [](ModelParameters& p) { p.KineticMoment = 1.2f; p.InitialBetRate = 0.5f; }},
    {"own initial time", [](ModelParameters& p) { p.InitialTime = 0.1f; }},
};

std::vector<ModelParameters> Sets()
{
    std::vector<ModelParameters> sets;
    for (const Row& row : Rows) {
        ModelParameters p = fixtures::ShippedParameters();
        p.StopTime = 0.5f;
        row.change(p);
        sets.push_back(p);
    }
    return sets;
}

void ExpectSameRun(const GimbalModel& alone, const RunStatus& aloneStatus, const GimbalModel& lane,
                   const RunStatus& laneStatus, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(laneStatus.kind, aloneStatus.kind);
    EXPECT_EQ(laneStatus.message, aloneStatus.message);
    EXPECT_EQ(laneStatus.time, aloneStatus.time);
    ASSERT_EQ(lane.Recorded(), alone.Recorded());
    EXPECT_EQ(lane.Time, alone.Time);
    const std::vector<double> GimbalModel::*series[] = {&GimbalModel::AlfDot, &GimbalModel::BetDot, &GimbalModel::Alf,
                                                        &GimbalModel::Bet, &GimbalModel::MomentBet, &GimbalModel::MomentAlf};
    const float GimbalModel::*extremes[] = {&GimbalModel::AlfDotMax, &GimbalModel::AlfDotMin, &GimbalModel::BetDotMax,
                                            &GimbalModel::BetDotMin, &GimbalModel::AlfMax, &GimbalModel::AlfMin,
                                            &GimbalModel::BetMax, &GimbalModel::BetMin, &GimbalModel::MomentBetMax,
                                            &GimbalModel::MomentBetMin, &GimbalModel::MomentAlfMax, &GimbalModel::MomentAlfMin};
    for (int k = 0; k < 6; ++k) {
        EXPECT_TRUE(lane.*series[k] == alone.*series[k]) << "series " << k;
        for (int e = 2 * k; e < 2 * k + 2; ++e)
            EXPECT_EQ(lane.*extremes[e], alone.*extremes[e]) << e;
    }
}

TEST(GimbalEnsemble, EveryRunEndsAsItsOwnCalculateWithEitherKernel)
{
    const std::vector<ModelParameters> sets = Sets();
    std::vector<GimbalModel> alone(sets.size());
    std::vector<RunStatus> aloneStatus;
    for (std::size_t k = 0; k < sets.size(); ++k) {
        alone[k].Params = sets[k];
        aloneStatus.push_back(alone[k].Calculate());
    }
    ASSERT_EQ(aloneStatus[2].kind, RunStatus::Kind::Refused);
    ASSERT_EQ(aloneStatus[3].kind, RunStatus::Kind::Diverged);

    for (LaneKernel kernel : {LaneKernel::Portable, LaneKernel::Avx2}) {
        SCOPED_TRACE(kernel == LaneKernel::Avx2 ? "AVX2" : "portable");
        std::vector<GimbalModel> together(sets.size());
        for (std::size_t k = 0; k < sets.size(); ++k)
            together[k].Params = sets[k];
        const std::vector<RunStatus> status = CalculateTogether(together, {kernel, {}});
        ASSERT_EQ(status.size(), sets.size());
        for (std::size_t k = 0; k < sets.size(); ++k)
            ExpectSameRun(alone[k], aloneStatus[k], together[k], status[k], Rows[k].what);
        EXPECT_FALSE(together[2].Calculated) << "a refused run changes nothing";
    }

    std::vector<int> seen(sets.size(), 0);
    RunEnsemble(sets, [&](std::size_t k, const GimbalModel& run, const RunStatus& status) {
        ++seen[k];
        ExpectSameRun(alone[k], aloneStatus[k], run, status, Rows[k].what);
    });
    EXPECT_EQ(seen, std::vector<int>(sets.size(), 1)) << "each run handed over once";
}

} // namespace
