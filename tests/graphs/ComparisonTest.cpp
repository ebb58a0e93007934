#include "GimbalComparison.h"
#include "GimbalModel.h"
#include "GraphTestSupport.h"
#include "RunComparison.h"
#include "TuningForkComparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

using namespace graphtest;

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();

std::vector<double> Ramp(int n, double slope)
{
    std::vector<double> values;
    for (int i = 0; i < n; ++i)
        values.push_back(slope * i);
    return values;
}

TEST(KeptRun, DrawsBehindTheCurrentCurveOnItsOwnTimesAndInsideThePlot)
{
    // The current run: 121 samples 0.1 s apart on a scale of 0 .. 341, one pixel a unit.
    const std::vector<double> current = Ramp(121, 1);
    veltrami::GraphData data;
    data.Alf = data.Bet = data.AlfDot = data.BetDot = current;
    data.AlfMax = data.BetMax = data.AlfDotMax = data.BetDotMax = 341;
    data.PrintStep = 0.1f;
    data.StopTime = 12;
    // The kept run: 0.2 s apart, rising twice as fast, so that its second half leaves the scale.
    const std::vector<double> keptValues = Ramp(61, 12);
    veltrami::GraphData kept;
    kept.Alf = kept.Bet = kept.AlfDot = kept.BetDot = keptValues;
    kept.PrintStep = 0.2f;
    kept.StopTime = 12;

    RecordingCanvas c;
    veltrami::DrawGraph(c, data, {true, false, false, false}, false, 12, kComma, veltrami::GraphWidth,
                        veltrami::GraphHeight, &kept);
    const auto segments = c.Segments();
    std::vector<RecordingCanvas::Segment> behind, front;
    for (const auto& s : segments) {
        if (s.state.penStyle == canvas::PenStyle::Dash)
            behind.push_back(s);
        else if (s.state.penColor == canvas::clYellow)
            front.push_back(s);
    }
    ASSERT_EQ(behind.size(), 59u) << "kept samples 0 .. 59 joined, the last one lies at the end time";
    ASSERT_EQ(front.size(), 119u);
    EXPECT_LT(&behind.back() - &behind.front(), 59) << "one unbroken dashed line";
    // Drawn before the current curve, in its colour made paler, cut to the plot rectangle.
    const auto firstFront = std::find_if(segments.begin(), segments.end(),
                                         [](const auto& s) { return s.state.penColor == canvas::clYellow; });
    const auto lastBehind = std::find_if(segments.rbegin(), segments.rend(),
                                         [](const auto& s) { return s.state.penStyle == canvas::PenStyle::Dash; });
    EXPECT_LT(lastBehind.base() - segments.begin(), firstFront - segments.begin() + 1);
    for (const auto& s : behind) {
        EXPECT_EQ(s.state.penColor, canvas::Rgb(255, 255, 128));
        ASSERT_TRUE(s.state.clip.has_value());
        EXPECT_EQ(*s.state.clip, (canvas::ClipBox{30, 0, veltrami::GraphWidth - 30, veltrami::GraphHeight - 20}));
    }
    for (const auto& s : front) {
        EXPECT_FALSE(s.state.clip.has_value());
        EXPECT_EQ(s.state.penStyle, canvas::PenStyle::Solid);
    }
    // Kept sample j stands where the current run's time j * 0.2 s does, and at its own value.
    for (std::size_t j = 1; j <= behind.size(); ++j) {
        EXPECT_NEAR(behind[j - 1].x2, front[2 * j - 1].x2, 1) << "kept sample " << j;
        EXPECT_EQ(behind[j - 1].y2, 341 - static_cast<int>(12 * j)) << "kept sample " << j;
    }
}

TEST(KeptRun, PortraitsDrawItBehindOnTheCurrentScales)
{
    const std::vector<double> angle = Ramp(11, 0.1), rate = Ramp(11, 1), twice = Ramp(11, 0.2);
    veltrami::GraphData data;
    data.Alf = angle;
    data.AlfDot = rate;
    data.AlfMax = 1;
    data.AlfDotMax = 10;
    veltrami::GraphData kept;
    kept.Alf = twice;
    kept.AlfDot = rate;
    RecordingCanvas gimbal;
    veltrami::DrawPhasePortrait(gimbal, data, 0, 569, 385, &kept);
    const auto lines = gimbal.Segments();
    ASSERT_EQ(lines.size(), 20u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(lines[i].state.penStyle, canvas::PenStyle::Dash) << i;
        EXPECT_EQ(lines[i].state.clip, (canvas::ClipBox{0, 0, 569, 385})) << i;
        EXPECT_EQ(lines[10 + i].state.penColor, canvas::clBlack) << i;
    }
    EXPECT_EQ(lines[9].x2, 2 * 569) << "twice the current angle, cut by the box";

    pelisond::GraphData fork, forkKept;
    fork.Series[pelisond::Fi] = angle;
    fork.Series[pelisond::FiDot] = rate;
    fork.Extremes[pelisond::Fi] = {1, 0};
    fork.Extremes[pelisond::FiDot] = {10, 0};
    forkKept.Series[pelisond::Fi] = twice;
    forkKept.Series[pelisond::FiDot] = rate;
    RecordingCanvas dots;
    pelisond::DrawPhasePortrait(dots, fork, 569, 385, &forkKept);
    const auto ellipses = dots.Of(Kind::Ellipse);
    ASSERT_EQ(ellipses.size(), 20u);
    EXPECT_EQ(ellipses[0].state.brushColor, comparison::KeptColor(canvas::clBlack));
    EXPECT_EQ(ellipses[0].state.clip, (canvas::ClipBox{0, 0, 569, 385}));
    EXPECT_EQ(ellipses[10].state.brushColor, canvas::clBlack);
    EXPECT_FALSE(ellipses[10].state.clip.has_value());
}

TEST(KeptRun, CsvColumnsHoldExactlyItsSamples)
{
    std::vector<double> current = Ramp(121, 0.5), keptValues;
    for (int j = 0; j < 31; ++j)
        keptValues.push_back(std::sin(0.37 * j) / 3);
    veltrami::GraphData data, kept;
    data.Alf = data.Bet = current;
    data.PrintStep = 0.1f;
    kept.Alf = kept.Bet = keptValues;
    kept.PrintStep = 0.3f;
    const auto table = veltrami::GraphCsv(data, {false, true, false, false}, 6, &kept);
    ASSERT_TRUE(table.has_value());

    std::vector<std::vector<std::string>> rows;
    std::string line;
    for (const char ch : *table) {
        if (ch != '\n') {
            line += ch;
            continue;
        }
        rows.emplace_back(1);
        for (const char c : line)
            if (c == ',')
                rows.back().emplace_back();
            else
                rows.back().back() += c;
        line.clear();
    }
    ASSERT_EQ(rows.size(), 61u) << "the current run's drawn samples 0 .. 60 set the length";
    EXPECT_EQ(rows[0], (std::vector<std::string>{"t (сек)", "Угол бета", "t (сек) (запомненный расчет)",
                                                 "Угол бета (запомненный расчет)"}));
    const std::size_t keptRows = timegraph::DrawnSampleCount(6, 0.3f, keptValues.size());
    ASSERT_EQ(keptRows, 20u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 4u) << "row " << i;
        const std::size_t j = i - 1;
        if (j >= keptRows) {
            EXPECT_EQ(rows[i][2] + rows[i][3], "") << "row " << i << " lies past the kept samples drawn";
            continue;
        }
        EXPECT_NEAR(std::stod(rows[i][2]), 0.3 * static_cast<double>(j), 1e-9) << "row " << i;
        double value = 0;
        std::from_chars(rows[i][3].data(), rows[i][3].data() + rows[i][3].size(), value);
        EXPECT_EQ(value, keptValues[j]) << "row " << i;
    }
}

TEST(DifferenceLine, NamesExactlyTheParametersThatDiffer)
{
    veltrami::ModelParameters kept;
    kept.Step = 0.001f;
    kept.PrintStep = 0.1f;
    kept.StopTime = 12;
    kept.Mass = 1;
    veltrami::ModelParameters current = kept;
    EXPECT_EQ(comparison::DifferenceLine(comparison::ParameterLabels(veltrami::ParameterRows),
                                         comparison::ParameterValues(kept), comparison::ParameterValues(current),
                                         kComma),
              "Сравнение с запомненным расчетом: параметры совпадают");
    current.PrintStep = 0.05f;
    current.Mass = std::nextafter(1.0f, 2.0f);
    current.MomentBetAmplitude = 4;
    current.InitialBet = -0.5f;
    EXPECT_EQ(comparison::DifferenceLine(comparison::ParameterLabels(veltrami::ParameterRows),
                                         comparison::ParameterValues(kept), comparison::ParameterValues(current),
                                         kComma),
              "Сравнение с запомненным расчетом: Шаг печати, с: 0,1 → 0,05; Масса гироскопа, кг: 1 → 1,00000012; "
              "Амплитуда гармонич момента внешн воздейств по внутр рамке beta, Н м: 0 → 4; "
              "Начальное условие на угол бета, рад: 0 → -0,5");
}

TEST(RunComparison, KeepsACopyOnlyWhereMemoryAllowsAndLetsItGo)
{
    veltrami::GimbalModel model;
    model.Params.Step = 0.001f;
    model.Params.PrintStep = 0.1f;
    model.Params.StopTime = 2;
    model.Params.Mass = 1;
    model.Params.Gravity = 10;
    model.Params.InertiaEquatorial = 0.0003f;
    model.Params.InnerInertiaX1 = 0.0002f;
    model.Params.InnerInertiaZ1 = 0.0003f;
    model.Params.OuterInertiaX2 = 0.0015f;
    model.Params.KineticMoment = 1;
    model.Params.MomentBetAmplitude = 4;
    model.Params.MomentBetFrequency = 20;
    ASSERT_TRUE(model.AllocateSeries().ok());
    comparison::RunComparison runs;
    EXPECT_FALSE(veltrami::KeepRun(runs, model).empty()) << "nothing calculated, nothing to keep";
    ASSERT_TRUE(model.Calculate().ok());
    ASSERT_EQ(veltrami::KeepRun(runs, model), "");
    ASSERT_NE(runs.Kept(), nullptr);
    const std::vector<double> first = runs.Kept()->series[0];
    EXPECT_EQ(first, std::vector<double>(model.Alf.begin(), model.Alf.begin() + model.Recorded()));
    EXPECT_EQ(runs.Kept()->times.size(), first.size());

    // A limit below the run and its copy: told, and the run kept before stays as it was.
    model.Params.InitialAlf = 0.5f;
    ASSERT_TRUE(model.Calculate().ok());
    runs.MemoryLimit = comparison::CopyBytes({{model.Alf}, {}, 0, 0, 0, {}});
    const std::string refused = veltrami::KeepRun(runs, model);
    EXPECT_NE(refused.find("слишком велик"), std::string::npos) << refused;
    ASSERT_NE(runs.Kept(), nullptr);
    EXPECT_EQ(runs.Kept()->series[0], first);
    EXPECT_EQ(runs.Kept()->parameters[25], 0.0f);

    runs.Remove();
    EXPECT_EQ(runs.Kept(), nullptr);
}

} // namespace
