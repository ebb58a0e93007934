// A one-field sweep whose figures follow in closed form: the gimbal without kinetic moment,
// damping or gravity, its inner frame driven by M cos(w t) from rest, turns by
// beta = M (1 - cos w t) / (J_beta w^2) with J_beta = A + I_x1, while the outer frame stays still.
#include "FigureStream.h"
#include "LaneRunEvaluator.h"
#include "MachineMemory.h"
#include "ModelFactory.h"
#include "Outputs.h"
#include "RecordingCanvas.h"
#include "ScaleFactor.h"
#include "StudyChecks.h"
#include "StudyPlot.h"
#include "StudyPlots.h"
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

// Figures taken as the samples come equal those of the whole recorded series: on a decaying
// offset with a ripple, for every statistic, with and without a frequency, with windows whose
// whole periods start on a sample, between samples and before the window (sample times that
// carry rounding), and with windows too short for a period.
TEST(StudyFigures, StreamedFiguresEqualThoseOfTheRecordedSeries)
{
    using study::Stat;
    const Stat stats[] = {Stat::Max, Stat::Min, Stat::Mean, Stat::Rms, Stat::P2p, Stat::Final,
                          Stat::Amplitude, Stat::Phase, Stat::InPhase, Stat::Quadrature};
    struct Case {
        double dt, stop, w, from;
    } cases[] = {
        {1e-3, 1, 0, 0.5},                       // no frequency: the plain window
        {1e-3, 1, 2 * std::numbers::pi * 10, 0.5},   // 5 whole periods, the first on a sample
        {1e-3, 1, 63.1, 0.3},                    // periods that start between samples
        {0.1 / 3, 1, 2 * std::numbers::pi, 0},   // a period of 30 samples, times that round
        {1e-3, 1, 2 * std::numbers::pi * 1.5, 0.5},  // less than one period in the window
        {1e-3, 1, 2 * std::numbers::pi * 2, 0.999},  // a window of one sample
    };
    for (const Case& c : cases) {
        std::vector<double> t, v;
        for (double time = 0; time < c.stop; time += c.dt) {
            t.push_back(time);
            v.push_back(7 + 3 * std::exp(-time / 0.1) + 0.5 * std::cos(c.w * time + 0.3) + 0.01 * std::sin(5 * time));
        }
        for (Stat stat : stats) {
            if (study::NeedsFrequency(stat) && c.w == 0)
                continue;
            SCOPED_TRACE("w " + std::to_string(c.w) + " from " + std::to_string(c.from) + " stat " + std::to_string(int(stat)));
            study::Figure f;
            f.stat = stat;
            f.from = c.from;
            study::FigureStream stream(stat, c.from * c.stop, c.w, c.stop);
            for (std::size_t k = 0; k < t.size(); ++k)
                stream.Add(t[k], v[k]);
            const double batch = study::ComputeFigure(f, t, v, c.stop, c.w);
            const double streamed = stream.Value();
            if (c.w == 0 || std::isnan(batch))
                EXPECT_TRUE(streamed == batch || (std::isnan(batch) && std::isnan(streamed))) << streamed << " " << batch;
            else
                EXPECT_NEAR(streamed, batch, 1e-13 * 10) << streamed << " " << batch;
        }
    }
}

// The characteristic against a hand fit: responses with slopes Kp above and Km below zero rate
// over the symmetric rates -2..2 fit the slope (Kp + Km) / 2 and cross zero rate at
// z + 0.6 (Kp - Km); the bias is the rate that crossing stands for. A study file's old key
// "bias" still names the drift figure.
TEST(StudyFigures, CharacteristicMatchesAHandFit)
{
    const study::Study s = studytest::Parse(R"({"model": "pelisond",
      "grid": {"BaseRate": {"linspace": [-2, 2, 5]}, "TempDropAbs": [0, 10]},
      "figures": {"fi": {"series": "Fi", "stat": "quadrature", "frequency": "DriveFrequency", "from": 0.5},
                  "drift": {"series": "Drift", "stat": "mean", "frequency": "DriveFrequency", "from": 0.5}},
      "scale_factor": {"rate": "BaseRate", "responses": ["fi"], "bias": "drift"}})");
    auto K = [](double rate, double T) { return (rate >= 0 ? 1.01e-4 : 0.99e-4) * (1 + 2e-4 * T); };
    auto z = [](double T) { return 2e-6 + 1e-7 * T; };
    std::vector<study::RunOutcome> rows;
    for (long long run = 0; run < s.RunCount(); ++run) {
        study::RunOutcome row;
        row.run = run;
        row.values = s.RunValues(run);
        const double rate = row.values[0], T = row.values[1];
        row.figures = {z(T) + K(rate, T) * rate, 5 + 0.1 * T + 0.3 * rate};
        row.figures.resize(s.figures.size(), std::nan(""));
        rows.push_back(row);
    }
    const study::Characteristic ch = study::ComputeCharacteristic(s, rows);
    ASSERT_EQ(ch.groups.size(), 2u);
    EXPECT_EQ(ch.rateUnit, "1/c");
    for (const study::CharacteristicGroup& g : ch.groups) {
        const double T = *g.other, kp = K(1, T), km = K(-1, T);
        const study::ResponseLine& fi = g.responses[0];
        SCOPED_TRACE(T);
        EXPECT_NEAR(fi.scaleFactor, (kp + km) / 2, 1e-18);
        EXPECT_NEAR(fi.zeroRateOutput, z(T) + 0.6 * (kp - km), 1e-18);
        EXPECT_NEAR(fi.bias, (z(T) + 0.6 * (kp - km)) / ((kp + km) / 2), 1e-12);
        EXPECT_NEAR(fi.asymmetryPercent, 100 * (kp - km) / ((kp + km) / 2), 1e-9);
        // The bend at zero rate leaves residuals 0.4 d, -0.1 d, -0.6 d, -0.1 d, 0.4 d, d = Kp - Km.
        const double d = kp - km;
        const double expected[] = {0.4 * d, -0.1 * d, -0.6 * d, -0.1 * d, 0.4 * d};
        ASSERT_EQ(fi.residuals.size(), 5u);
        for (std::size_t k = 0; k < 5; ++k)
            EXPECT_NEAR(fi.residuals[k], expected[k], 1e-18) << k;
        EXPECT_NEAR(fi.scaleFactorError, std::sqrt(0.7 * d * d / 3 / 10), 1e-18);
        EXPECT_NEAR(g.driftAtZeroRate, 5 + 0.1 * T, 1e-12);
    }
    ASSERT_TRUE(ch.coefficients);
    EXPECT_NEAR(ch.coefficients->scaleFactorPpm[0], 200, 1e-6);
    EXPECT_NEAR(ch.coefficients->driftAtZeroRate, 0.1, 1e-12);
    const study::Json j = study::CharacteristicJson(s, ch);
    EXPECT_NEAR(j["groups"][0]["fi"]["bias_deg_per_h"].get<double>(),
                ch.groups[0].responses[0].bias * 180 / std::numbers::pi * 3600, 1e-9);
    EXPECT_TRUE(j["groups"][0].contains("drift_at_zero_rate"));
}

// The tuning fork's coupled frame and Y motion settles with a time constant near 15 ms: a run of
// 30 ms has not, and says so for the figure it shows in; the drive's own X motion (1.6 ms) has. A gimbal
// run at a step 0.002 s is far off the one at half the step, and the step check says so.
TEST(StudyFigures, UnsettledFiguresAndCoarseStepsAreWarnedOf)
{
    const study::Study fork = studytest::Parse(R"({"model": "pelisond", "set": {"StopTime": 0.03},
      "grid": {"BaseRate": [1, 2]},
      "figures": {"sense": {"series": "Fi", "stat": "amplitude", "frequency": "DriveFrequency", "from": 0.5},
                  "drive": {"series": "X1", "stat": "amplitude", "frequency": "DriveFrequency", "from": 0.5},
                  "whole": {"series": "Fi", "stat": "max"}}})");
    ASSERT_EQ(fork.figures.size(), 5u);  // sense_half and drive_half check the windowed two
    const auto rows = studytest::RunAll(fork);
    const study::Json warnings = study::Summary(fork, rows, false)["warnings"];
    ASSERT_EQ(warnings.size(), 1u) << warnings.dump();
    EXPECT_EQ(warnings[0]["figure"], "sense");
    EXPECT_EQ(warnings[0]["check"], "settle");
    EXPECT_EQ(warnings[0]["runs"], study::Json::parse("[0, 1]"));
    EXPECT_GT(warnings[0]["largest_relative_change"].get<double>(), fork.settleTolerance);

    const study::Study gimbal = studytest::Parse(R"({"model": "veltrami", "grid": {"Step": [0.002, 0.0002]},
      "figures": {"beta": {"series": "Bet", "stat": "max"}}, "step_tolerance": 0.01})");
    const auto gimbalRows = studytest::RunAll(gimbal);
    const study::StepCheck check = study::CheckStep(gimbal, gimbalRows, {});
    ASSERT_EQ(check.halved.size(), 2u);
    std::vector<study::FigureWarning> found;
    const study::Json j = study::StepCheckJson(gimbal, check, found);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].runs, std::vector<long long>{0});  // the finer step is within the tolerance
    EXPECT_GT(j["figures"]["beta"]["largest_relative_change"].get<double>(), 0.1);
    EXPECT_EQ(j["figures"]["beta"]["run"], 0);
}

// Plots finish whatever the data: values that differ in their last bits, a single point, none;
// and a study of one run (neither grid nor Monte Carlo) gives no sweep to draw.
TEST(StudyFigures, PlotsFinishOnFlatDataAndSingleRuns)
{
    const double one = 1, next = std::nextafter(1.0, 2.0), after = std::nextafter(next, 2.0);
    for (const auto& [lo, hi] : {std::pair{one, next}, std::pair{1e300, std::nextafter(1e300, 2e300)},
                                 std::pair{-after, -one}, std::pair{0.0, 5e-324}})
        EXPECT_LE(studyplot::Ticks(lo, hi, false).size(), 50u) << lo << " " << hi;
    studyplot::XYPlot plot;
    plot.curves.push_back({"a", {0, 1, 2}, {one, next, after}});
    plot.curves.push_back({"b", {3}, {after}});
    plot.curves.push_back({"c", {}, {}});
    canvas::RecordingCanvas c;
    studyplot::DrawXYPlot(c, plot);
    // The flat curve is drawn, as a level line, with labels that tell the ticks apart.
    EXPECT_FALSE(c.Segments().empty());
    std::vector<std::string> labels;
    for (const auto& call : c.Of(canvas::RecordingCanvas::Kind::Text))
        if (!call.text.empty())
            labels.push_back(call.text);
    EXPECT_EQ(std::adjacent_find(labels.begin(), labels.end()), labels.end());
    studyplot::Histogram h{"", "", {one, next, after}};
    studyplot::DrawHistogram(c, h);

    const study::Study single = studytest::Parse(R"({"model": "veltrami", "set": {"StopTime": 0.1},
      "figures": {"beta": {"series": "Bet", "stat": "max"}}})");
    const auto rows = studytest::RunAll(single);
    EXPECT_TRUE(studyplot::StudyPlots(single, rows).empty());
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
