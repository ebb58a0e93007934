#include "GimbalGraph.h"
#include "GraphTestSupport.h"
#include "GimbalModel.h"
#include "TimeField.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace graphtest;
using veltrami::CurveChoice;
using veltrami::GraphData;

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();
constexpr int W = veltrami::GraphWidth, H = veltrami::GraphHeight;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A run of n samples with value i at sample i on both angle curves and both rates.
struct Sweep {
    std::vector<double> values;
    GraphData data;

    Sweep(int n, float printStep, float stopTime)
    {
        for (int i = 0; i < n; ++i)
            values.push_back(i);
        data.Alf = data.Bet = data.AlfDot = data.BetDot = values;
        data.AlfMin = data.BetMin = data.AlfDotMin = data.BetDotMin = 0;
        data.AlfMax = data.BetMax = data.AlfDotMax = data.BetDotMax = 341;
        data.PrintStep = printStep;
        data.StopTime = stopTime;
    }
};

RecordingCanvas Draw(const GraphData& data, CurveChoice chosen, bool markers, double T,
                     const numfmt::Separators& sep = kComma)
{
    RecordingCanvas c;
    veltrami::DrawGraph(c, data, chosen, markers, T, sep);
    return c;
}

TEST(VeltramiGraph, FrameGridAndLabelPositionsOfTheLayout)
{
    const Sweep run(121, 0.1f, 12);
    const RecordingCanvas c = Draw(run.data, {false, false, false, false}, false, 12);

    const auto rects = c.Of(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(std::vector<int>({rects[0].x1, rects[0].y1, rects[0].x2, rects[0].y2}),
              std::vector<int>({30, 0, 639, 341}));
    EXPECT_EQ(rects[0].state.penColor, canvas::clGreen);
    EXPECT_EQ(rects[0].state.brushColor, canvas::clBlack);

    const std::vector<int> rows = {34, 68, 102, 136, 170, 204, 238, 272, 306};
    EXPECT_EQ(TextRowsAt(c, 0), rows) << "left labels";
    EXPECT_EQ(TextRowsAt(c, W - 30), rows) << "right labels";

    std::vector<int> timeColumns;
    for (const auto& [x, text] : TextsOnRow(c, H - 12))
        timeColumns.push_back(x);
    std::vector<int> expectedColumns;
    for (int x = 30; x <= 570; x += 30)
        expectedColumns.push_back(x);
    EXPECT_EQ(timeColumns, expectedColumns) << "time labels";

    std::vector<int> horizontal, vertical;
    for (const auto& s : SegmentsIn(c, canvas::clGreen)) {
        if (s.y1 == s.y2) {
            EXPECT_EQ(s.x1, 30);
            EXPECT_EQ(s.x2, 639);
            horizontal.push_back(s.y1);
        } else {
            EXPECT_EQ(s.y1, 0);
            EXPECT_EQ(s.y2, 341);
            vertical.push_back(s.x1);
        }
    }
    EXPECT_EQ(horizontal, std::vector<int>({30, 64, 98, 132, 166, 200, 234, 268, 302, 336}));
    std::vector<int> expectedVertical;
    for (int x = 30; x <= 630; x += 30)
        expectedVertical.push_back(x);
    EXPECT_EQ(vertical, expectedVertical);

    for (const auto& text : c.Of(Kind::Text)) {
        EXPECT_EQ(text.state.font.color, canvas::clRed) << text.text;
        EXPECT_EQ(text.state.brushColor, canvas::clBtnFace) << text.text;
    }
}

TEST(VeltramiGraph, AngleScaleFromMinusOneToOneKeepsTheSinglePrecisionRemainder)
{
    Sweep run(10, 0.1f, 1);
    run.data.AlfMin = -1;
    run.data.AlfMax = 0.5f;
    run.data.BetMin = -0.5f;
    run.data.BetMax = 1;
    const RecordingCanvas c = Draw(run.data, {}, false, 1);
    EXPECT_EQ(TextsAt(c, 0),
              std::vector<std::string>({"0,8", "0,6", "0,4", "0,2", "-1,5E-8", "-0,2", "-0,4", "-0,6", "-0,8"}));
    const RecordingCanvas point = Draw(run.data, {}, false, 1, numfmt::PointSeparators());
    EXPECT_EQ(TextsAt(point, 0)[4], "-1.5E-8");
}

TEST(VeltramiGraph, TimeLabelsFollowTheTypedTime)
{
    const Sweep run(121, 0.1f, 12);
    struct Row {
        const char* name;
        double T;
        std::vector<std::string> first, last;
    } rows[] = {
        {"end time", 12, {"0,6", "1,2", "1,8"}, {"11,4"}},
        {"half the end time", 6, {"0,3", "0,6", "0,9"}, {"5,7"}},
        {"zero", 0, {"0", "0", "0"}, {"0"}},
    };
    for (const Row& row : rows) {
        const RecordingCanvas c = Draw(run.data, {}, false, row.T);
        std::vector<std::string> texts;
        for (const auto& [x, text] : TextsOnRow(c, H - 12))
            texts.push_back(text);
        ASSERT_EQ(texts.size(), 19u) << row.name;
        EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 3), row.first) << row.name;
        EXPECT_EQ(texts.back(), row.last[0]) << row.name;
    }
}

TEST(VeltramiGraph, CurvesUseTheirScaleAndColour)
{
    Sweep run(11, 1, 10);
    // The rate scale spans 0 .. 682, so a rate value v lies at half the height of an angle value v.
    run.data.BetDotMax = 682;
    const RecordingCanvas c = Draw(run.data, {false, true, false, true}, false, 10);

    const auto red = SegmentsIn(c, canvas::clRed);
    const auto white = SegmentsIn(c, canvas::clWhite);
    ASSERT_EQ(red.size(), 9u) << "samples 0 .. 9 of curve 2";
    ASSERT_EQ(white.size(), 9u);
    EXPECT_TRUE(SegmentsIn(c, canvas::clYellow).empty());
    EXPECT_TRUE(SegmentsIn(c, canvas::clBlue).empty());
    for (std::size_t i = 0; i < red.size(); ++i) {
        EXPECT_EQ(red[i].y2, 341 - static_cast<int>(i + 1)) << "sample " << i + 1;
        EXPECT_EQ(white[i].y2, 341 - static_cast<int>((i + 1) * 0.5)) << "sample " << i + 1;
        EXPECT_EQ(red[i].state.penWidth, 1);
    }
    EXPECT_EQ(red.front().x1, 30);
    EXPECT_EQ(red.back().x2, 30 + 9 * 609 / 10);
}

TEST(VeltramiGraph, MarkersFallOnEveryMthSample)
{
    struct Row {
        const char* name;
        double T;
        std::vector<int> samples;
    } rows[] = {
        {"N = 100", 100, {12, 23, 34, 45, 56, 67, 78, 89}},
        {"N = 10", 10, {3, 5, 7, 9}},
        {"N = 5", 5, {2, 3, 4}},
    };
    for (const Row& row : rows) {
        const Sweep run(101, 1, 100);
        const RecordingCanvas c = Draw(run.data, {true, false, false, false}, true, row.T);
        std::vector<int> samples;
        for (const auto& m : Markers(c)) {
            EXPECT_EQ(m.text, "1") << row.name;
            EXPECT_EQ(m.state.font.color, canvas::clYellow) << row.name;
            samples.push_back(341 - 15 - m.y1); // sample i lies on row 341 - i
        }
        EXPECT_EQ(samples, row.samples) << row.name;
        EXPECT_EQ(c.state().brushColor, canvas::clBtnFace) << row.name;
    }
}

TEST(VeltramiGraph, TimeZeroReducesEachCurveToItsStart)
{
    const Sweep run(121, 0.1f, 12);
    const RecordingCanvas c = Draw(run.data, {true, true, true, true}, true, 0);
    EXPECT_TRUE(SegmentsIn(c, canvas::clYellow).empty());
    EXPECT_TRUE(Markers(c).empty());
    EXPECT_EQ(c.Of(Kind::MoveTo).size(), 10u + 21u + 4u) << "grid lines and the four starting points";
}

// 12 / 0.1 in single precision lies just below 120, so the loop asks for sample 119 while a
// nominal run records samples 0 .. 118; what lies beyond must never be read.
TEST(VeltramiGraph, CurvesReadOnlyRecordedSamples)
{
    veltrami::GimbalModel model;
    model.Params.PrintStep = 0.1f;
    model.Params.StopTime = 12;
    model.SampleCount = 119;
    model.RecordedCount = 119;
    const double sentinel = 1e6;
    for (auto* series : {&model.Alf, &model.Bet, &model.AlfDot, &model.BetDot}) {
        series->assign(220, sentinel);
        for (int i = 0; i < 119; ++i)
            (*series)[i] = i;
    }
    model.AlfMin = model.BetMin = model.AlfDotMin = model.BetDotMin = 0;
    model.AlfMax = model.BetMax = model.AlfDotMax = model.BetDotMax = 341;
    const GraphData data = veltrami::GraphDataOf(model);

    for (double T : {12.0, 24.0, 1e30}) {
        const RecordingCanvas c = Draw(data, {true, true, true, true}, true, T);
        for (const auto& s : c.Segments())
            EXPECT_GT(s.y2, -1000) << "T = " << T;
        for (const auto& m : Markers(c))
            EXPECT_GT(m.y1, -1000) << "T = " << T;
        EXPECT_LE(SegmentsIn(c, canvas::clYellow).size(), 118u) << "T = " << T;
    }

    model.RecordedCount = 50; // a run that stopped early
    const RecordingCanvas c = Draw(veltrami::GraphDataOf(model), {true, false, false, false}, false, 12);
    EXPECT_EQ(SegmentsIn(c, canvas::clYellow).size(), 49u);
}

TEST(VeltramiGraph, ScaleOfNoExtentDrawsTheMiddleLine)
{
    Sweep run(11, 1, 10);
    run.data.AlfDotMin = run.data.AlfDotMax = run.data.BetDotMin = run.data.BetDotMax = 2;
    const RecordingCanvas c = Draw(run.data, {false, false, true, false}, true, 10);
    const auto blue = SegmentsIn(c, canvas::clBlue);
    ASSERT_EQ(blue.size(), 9u);
    for (const auto& s : blue) {
        EXPECT_EQ(s.y1, 171);
        EXPECT_EQ(s.y2, 171);
    }
    EXPECT_EQ(TextsAt(c, W - 30).front(), "2");
}

TEST(VeltramiGraph, SamplesThatAreNotFiniteBreakTheLine)
{
    Sweep run(11, 1, 10);
    run.values[4] = kNaN;
    run.values[5] = std::numeric_limits<double>::infinity();
    const RecordingCanvas c = Draw(run.data, {true, false, false, false}, false, 10);
    const auto yellow = SegmentsIn(c, canvas::clYellow);
    ASSERT_EQ(yellow.size(), 9u - 3u) << "segments into samples 4, 5 and out of 5 are gone";
    for (const auto& s : yellow) {
        EXPECT_GE(s.y1, 331);
        EXPECT_LE(s.y1, 341);
        EXPECT_GE(s.y2, 331);
        EXPECT_LE(s.y2, 341);
    }
}

TEST(VeltramiPhasePortrait, ExtremeSamplesTouchTheBoxEdges)
{
    GraphData data;
    const std::vector<double> alf = {0, -2, 4, 1}, alfDot = {0, 1, -3, 5};
    const std::vector<double> bet = {0, 1, 2, 3}, betDot = {3, 2, 1, 0};
    data.Alf = alf;
    data.AlfDot = alfDot;
    data.Bet = bet;
    data.BetDot = betDot;
    data.AlfMin = -2, data.AlfMax = 4, data.AlfDotMin = -3, data.AlfDotMax = 5;
    data.BetMin = 0, data.BetMax = 3, data.BetDotMin = 0, data.BetDotMax = 3;
    constexpr int PW = veltrami::PortraitWidth, PH = veltrami::PortraitHeight;

    RecordingCanvas alpha;
    veltrami::DrawPhasePortrait(alpha, data, 0);
    const auto moves = alpha.Of(Kind::MoveTo);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x1, static_cast<int>(2 * PW / 6.0));
    EXPECT_EQ(moves[0].y1, static_cast<int>(PH - 3 * PH / 8.0));
    const auto segments = alpha.Segments();
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].x2, 0) << "smallest angle on the left edge";
    EXPECT_EQ(segments[1].x2, PW) << "largest angle on the right edge";
    EXPECT_EQ(segments[1].y2, PH) << "smallest rate on the bottom edge";
    EXPECT_EQ(segments[2].y2, 0) << "largest rate on the top edge";
    EXPECT_EQ(segments[0].state.penWidth, 2);
    EXPECT_EQ(segments[0].state.penColor, canvas::clBlack);

    RecordingCanvas beta;
    veltrami::DrawPhasePortrait(beta, data, 1);
    const auto b = beta.Segments();
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b.front().x1, 0);
    EXPECT_EQ(b.front().y1, 0);
    EXPECT_EQ(b.back().x2, PW);
    EXPECT_EQ(b.back().y2, PH);
}

TEST(VeltramiPhasePortrait, ConstantSeriesLieOnTheMiddleLine)
{
    GraphData data;
    const std::vector<double> flat = {1, 1, 1}, rate = {0, 1, 2};
    data.Alf = flat;
    data.AlfDot = rate;
    data.AlfMin = data.AlfMax = 1;
    data.AlfDotMin = 0, data.AlfDotMax = 2;
    RecordingCanvas c;
    veltrami::DrawPhasePortrait(c, data, 0);
    // All three samples share the middle column: one piece from the bottom to the top covers them.
    const auto segments = c.Segments();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].x1, veltrami::PortraitWidth / 2);
    EXPECT_EQ(segments[0].x2, veltrami::PortraitWidth / 2);
    EXPECT_EQ(segments[0].y1, veltrami::PortraitHeight);
    EXPECT_EQ(segments[0].y2, 0);
}

} // namespace
