// A one-field sweep whose figures follow in closed form: the gimbal without kinetic moment,
// damping or gravity, its inner frame driven by M cos(w t) from rest, turns by
// beta = M (1 - cos w t) / (J_beta w^2) with J_beta = A + I_x1, while the outer frame stays still.
#include "LaneRunEvaluator.h"
#include "MachineMemory.h"
#include "ModelFactory.h"
#include "Outputs.h"
#include "StudyTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <numeric>
#include <set>
#include <span>

TEST(StudyFigures, ForcedInnerFrameSweepGivesTheClosedFormFigures)
{
    const study::Study s = studytest::Parse(R"({
      "model": "veltrami",
      "set": {"Step": 0.00001, "PrintStep": 0.0001, "StopTime": 0.5, "KineticMoment": 0, "MassOffsetZ": 0,
              "DampAlfNominal": 0, "DampBetNominal": 0, "DampMax": 0, "DampMin": 0, "MomentAlfAmplitude": 0,
              "MomentBetAmplitude": 0.002, "InitialTime": 0, "InitialAlfRate": 0, "InitialBetRate": 0,
              "InitialAlf": 0, "InitialBet": 0},
      "grid": {"MomentBetFrequency": [50, 100, 400]},
      "figures": {
        "beta": {"series": "Bet", "stat": "amplitude", "frequency": "MomentBetFrequency", "from": 0.3},
        "rate": {"series": "BetDot", "stat": "amplitude", "frequency": "MomentBetFrequency", "from": 0.3},
        "rate_phase": {"series": "BetDot", "stat": "phase", "frequency": "MomentBetFrequency"},
        "moment_inphase": {"series": "MomentBet", "stat": "inphase", "frequency": "MomentBetFrequency"},
        "alpha_p2p": {"series": "Alf", "stat": "p2p"}
      }})");
    const double M = static_cast<float>(0.002);
    const double Jbeta = static_cast<double>(static_cast<float>(0.0003)) + static_cast<float>(0.0002);
    const auto rows = studytest::RunAll(s);
    ASSERT_EQ(rows.size(), 3u);
    for (const study::RunOutcome& row : rows) {
        const double w = row.values[0];
        SCOPED_TRACE("w = " + std::to_string(w));
        ASSERT_EQ(row.kind, RunStatus::Kind::Finished) << row.message;
        EXPECT_NEAR(row.figures[0], M / (Jbeta * w * w), 1e-7 * M / (Jbeta * w * w));
        EXPECT_NEAR(row.figures[1], M / (Jbeta * w), 1e-7 * M / (Jbeta * w));
        EXPECT_NEAR(row.figures[2], -std::numbers::pi / 2, 1e-7);
        // The recorded moment carries the opposite sign of the one that drives the frame.
        EXPECT_NEAR(row.figures[3], -M, 1e-9);
        EXPECT_EQ(row.figures[4], 0.0);
    }
    // Through the lanes (each run its own drive frequency): the same figures to rounding.
    const auto laned = studytest::RunAll(s, 2, true);
    ASSERT_EQ(laned.size(), rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(laned[k].values, rows[k].values);
        for (std::size_t f = 0; f < rows[k].figures.size(); ++f)
            EXPECT_NEAR(laned[k].figures[f], rows[k].figures[f], 1e-9 * std::abs(rows[k].figures[f])) << k << " " << f;
    }
}

// A run that is refused or diverges is a row with its status and message; the study goes on.
TEST(StudyFigures, RefusedAndDivergedRunsAreRowsWithoutFigures)
{
    const study::Study s = studytest::Parse(R"({"model": "veltrami", "set": {"StopTime": 1},
      "grid": {"Step": [0, 0.5, 0.0001]}, "figures": {"beta": {"series": "Bet", "stat": "max"}}})");
    const auto rows = studytest::RunAll(s);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kind, RunStatus::Kind::Refused);
    EXPECT_EQ(rows[1].kind, RunStatus::Kind::Diverged);
    EXPECT_EQ(rows[2].kind, RunStatus::Kind::Finished);
    for (int k : {0, 1}) {
        EXPECT_FALSE(rows[k].message.empty());
        EXPECT_TRUE(std::isnan(rows[k].figures[0]));
        const std::string line = study::CsvRow(rows[k]);
        EXPECT_EQ(study::ParseCsvRow(line, 1, 1)->message, rows[k].message) << line;
    }
    EXPECT_TRUE(std::isfinite(rows[2].figures[0]));
    // Lanes given runs of other steps make them one by one, to the same statuses and messages.
    const auto laned = studytest::RunAll(s, 1, true);
    ASSERT_EQ(laned.size(), rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(laned[k].kind, rows[k].kind);
        EXPECT_EQ(laned[k].message, rows[k].message);
    }
    EXPECT_EQ(laned[2].figures, rows[2].figures);
}

// Set, swept and drawn values reach the run as given, to 32 bits: a scatter of 0.1 % in Mass2
// is not rounded away to the field's three displayed digits, and runs.csv shows what the runs
// used. Only the base file's values go through the display, as the windows take them.
TEST(StudyRuns, SetAndDrawnValuesAreUsedAtFullPrecision)
{
    const study::Study s = studytest::Parse(R"({"model": "pelisond", "set": {"StopTime": 0.0003, "BaseRate": 1.2345678},
      "montecarlo": {"count": 50, "seed": 3, "vary": {"Mass2": {"normal": [0, 0.001], "relative": true}}},
      "figures": {"y2": {"series": "Y2", "stat": "final"}}})");
    const auto model = gyromodel::MakeModel("pelisond");
    const int mass2 = model->FindParameter("Mass2"), baseRate = model->FindParameter("BaseRate");
    std::set<double> distinct;
    for (long long run = 0; run < s.RunCount(); ++run) {
        const study::PreparedRun p = study::PrepareRun(s, *model, s.VariedIndices(), model->FindParameter("StopTime"), run);
        const double used = model->Parameter(static_cast<std::size_t>(mass2));
        EXPECT_EQ(used, static_cast<float>(s.RunValues(run)[0])) << run;
        EXPECT_EQ(p.outcome.values[0], used);
        distinct.insert(used);
    }
    EXPECT_GE(distinct.size(), 48u);
    EXPECT_EQ(model->Parameter(static_cast<std::size_t>(baseRate)), 1.2345678f);

    const auto rows = studytest::RunAll(s, 1, true);
    ASSERT_EQ(rows.size(), 50u);
    std::set<double> finals;
    for (const study::RunOutcome& row : rows)
        finals.insert(row.figures[0]);
    EXPECT_EQ(finals.size(), distinct.size()) << "each mass gives its own motion";

    // The base file's values as the parameter window shows them.
    const auto shown = gyromodel::MakeModel("pelisond");
    ASSERT_TRUE(shown->Load(std::string(GYRO_BIN_DIR) + "pelisond.dat"));
    shown->RoundTripThroughDisplay();
    EXPECT_EQ(s.baseValues[static_cast<std::size_t>(mass2)], shown->Parameter(static_cast<std::size_t>(mass2)));
}

// Runs whose series may each take 40 % of the memory one run may have: however many workers
// and lanes, the runs in flight together stay within it (they take turns), with the same rows.
TEST(StudyRuns, RunsInFlightTogetherKeepWithinOneRunsMemoryBudget)
{
    const double budget = double(machinememory::SeriesBudget());
    const double samples = 0.4 * budget / (7 * sizeof(double));
    if (samples > 2e9)
        GTEST_SKIP() << "more memory than the gimbal's sample counts reach";
    // Every step sampled: the print step is far below the step and reserves room for as many
    // samples as StopTime / PrintStep.
    char printStep[32];
    std::snprintf(printStep, sizeof printStep, "%.9g", 2 / samples);
    const study::Study s = studytest::Parse(R"({"model": "veltrami", "set": {"StopTime": 2, "Step": 0.0001, "PrintStep": )"
                                            + std::string(printStep) + R"(},
      "grid": {"KineticMoment": [0.8, 0.9, 1, 1.1, 1.2, 1.3]}, "figures": {"beta": {"series": "Bet", "stat": "max"}}})");

    // The lanes' evaluator, with the memory held asked whenever a run asks whether to stop.
    struct Watched : study::RunEvaluator {
        std::unique_ptr<study::RunEvaluator> inner;
        std::atomic<std::uint64_t>* most;
        void Evaluate(std::span<const long long> runs, std::span<study::RunOutcome> outcomes,
                      const gyromodel::CancelCheck& cancel) override
        {
            inner->Evaluate(runs, outcomes, [&](double t) {
                std::uint64_t seen = machinememory::SeriesShare::InFlight(), known = most->load();
                while (seen > known && !most->compare_exchange_weak(known, seen)) {
                }
                return cancel && cancel(t);
            });
        }
    };
    std::atomic<std::uint64_t> most{0};
    study::RunnerOptions options;
    options.workers = 2;
    options.batch = study::LaneBatch;
    options.evaluators = [&](const study::Study& st) {
        auto w = std::make_unique<Watched>();
        w->inner = study::MakeLaneRunEvaluator(st);
        w->most = &most;
        return w;
    };
    std::vector<long long> runs(6);
    std::iota(runs.begin(), runs.end(), 0);
    const auto rows = study::RunStudy(s, runs, options);
    ASSERT_EQ(rows.size(), 6u);
    for (const study::RunOutcome& row : rows)
        EXPECT_EQ(row.kind, RunStatus::Kind::Finished) << row.message;
    EXPECT_GT(most.load(), 0.3 * budget) << "the runs were watched while in flight";
    EXPECT_LE(most.load(), budget);
    EXPECT_EQ(machinememory::SeriesShare::InFlight(), 0u);
    EXPECT_EQ(rows[3].figures, studytest::RunAll(s, 1, false)[3].figures);
}
