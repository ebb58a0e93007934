// Runs integrated side by side, one per vector lane, against the same runs calculated alone:
// the same bits, whatever frequencies the runs beside them drive at.
#include "TuningForkEnsemble.h"
#include "TuningForkTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace pelisond::testing {
namespace {

struct Row {
    const char* what;
    void (*change)(ModelParameters&);
};

// One step set but for the last row. The refused run left out, the first four fill a block
// of lanes sharing one drive frequency and the next two a block of their own with different
// frequencies and two idle lanes; the last runs alone for its own step.
const Row Rows[] = {
    {"nominal", [](ModelParameters&) {}},
    {"thermal with offsets", [](ModelParameters& p) { p.TempDropAbs = 4; p.TempDropX = 2; p.MassOffsetY2 = 0.4f; }},
    {"refused", [](ModelParameters& p) { p.Mass1 = 0; }},
    {"diverging", [](ModelParameters& p) { p.DampX1 = -1e7f; }},
    {"heavier element", [](ModelParameters& p) { p.Mass2 = 41; p.MassOffsetY1 = -0.3f; }},
    {"lower drive frequency", [](ModelParameters& p) { p.DriveFrequency = 61000; p.FrameElongation = 0.5f; }},
    {"higher drive frequency", [](ModelParameters& p) { p.DriveFrequency = 64000; p.MassOffsetY2 = -0.2f; }},
    {"own step", [](ModelParameters& p) { p.Step = 0.0000025f; }},
};

std::vector<ModelParameters> Sets()
{
    std::vector<ModelParameters> sets;
    for (const Row& row : Rows) {
        ModelParameters p = NominalParams();
        p.StopTime = 0.008f;
        row.change(p);
        sets.push_back(p);
    }
    return sets;
}

void ExpectSameRun(const TuningForkModel& alone, const RunStatus& aloneStatus, const TuningForkModel& lane,
                   const RunStatus& laneStatus, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(laneStatus.kind, aloneStatus.kind);
    EXPECT_EQ(laneStatus.message, aloneStatus.message);
    EXPECT_EQ(laneStatus.time, aloneStatus.time);
    ASSERT_EQ(lane.Recorded(), alone.Recorded());
    EXPECT_EQ(lane.Time, alone.Time);
    EXPECT_EQ(0, std::memcmp(&lane.Params, &alone.Params, sizeof lane.Params)) << "stiffnesses written alike";
    for (int k = 0; k < SeriesCount; ++k) {
        EXPECT_TRUE(lane.Series[k] == alone.Series[k]) << SeriesNames[k];
        EXPECT_EQ(lane.Extremes[k].Max, alone.Extremes[k].Max) << SeriesNames[k];
        EXPECT_EQ(lane.Extremes[k].Min, alone.Extremes[k].Min) << SeriesNames[k];
    }
    EXPECT_TRUE(lane.DriftAtSample == alone.DriftAtSample);
    EXPECT_EQ(lane.DriftAtSampleExtremes.Max, alone.DriftAtSampleExtremes.Max);
}

TEST(PelisondEnsemble, EveryRunEndsAsItsOwnCalculateWithEitherKernel)
{
    const std::vector<ModelParameters> sets = Sets();
    std::vector<TuningForkModel> alone(sets.size());
    std::vector<RunStatus> aloneStatus;
    for (std::size_t k = 0; k < sets.size(); ++k) {
        alone[k].Params = sets[k];
        aloneStatus.push_back(alone[k].Calculate());
    }
    ASSERT_EQ(aloneStatus[2].kind, RunStatus::Kind::Refused);
    ASSERT_EQ(aloneStatus[3].kind, RunStatus::Kind::Diverged);

    for (LaneKernel kernel : {LaneKernel::Portable, LaneKernel::Avx2}) {
        SCOPED_TRACE(kernel == LaneKernel::Avx2 ? "AVX2" : "portable");
        std::vector<TuningForkModel> together(sets.size());
        for (std::size_t k = 0; k < sets.size(); ++k)
            together[k].Params = sets[k];
        const std::vector<RunStatus> status = CalculateTogether(together, {kernel, {}});
        ASSERT_EQ(status.size(), sets.size());
        for (std::size_t k = 0; k < sets.size(); ++k)
            ExpectSameRun(alone[k], aloneStatus[k], together[k], status[k], Rows[k].what);
        EXPECT_FALSE(together[2].Calculated) << "a refused run changes nothing";
    }

    // Stopped at the first question (long after the diverging run has ended): every other run
    // that started reports Cancelled, the refused one still its refusal.
    std::vector<TuningForkModel> stopped(sets.size());
    for (std::size_t k = 0; k < sets.size(); ++k) {
        stopped[k].Params = sets[k];
        stopped[k].Params.StopTime = 0.1f;
    }
    const std::vector<RunStatus> cancelled = CalculateTogether(stopped, {LaneKernel::Auto, [](double) { return true; }});
    for (std::size_t k = 0; k < sets.size(); ++k)
        EXPECT_EQ(cancelled[k].kind, k == 2   ? RunStatus::Kind::Refused
                                     : k == 3 ? RunStatus::Kind::Diverged
                                              : RunStatus::Kind::Cancelled)
            << Rows[k].what;

    std::vector<int> seen(sets.size(), 0);
    RunEnsemble(sets, [&](std::size_t k, const TuningForkModel& run, const RunStatus& status) {
        ++seen[k];
        ExpectSameRun(alone[k], aloneStatus[k], run, status, Rows[k].what);
    });
    EXPECT_EQ(seen, std::vector<int>(sets.size(), 1)) << "each run handed over once";
}

} // namespace
} // namespace pelisond::testing
