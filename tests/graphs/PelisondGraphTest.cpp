#include "TuningForkGraph.h"
#include "GraphTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace graphtest;
using pelisond::CurveChoice;
using pelisond::GraphData;
using pelisond::Range;
using pelisond::Ranges;
using pelisond::ScaleMode;

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();
constexpr int W = pelisond::GraphWidth, H = pelisond::GraphHeight;

// Every series holds value i at sample i; every range is 0 .. 341, so sample i lies on row 341 - i.
struct Sweep {
    std::vector<double> values;
    GraphData data;
    Ranges ranges;

    Sweep(int n, float printStep, float stopTime)
    {
        for (int i = 0; i < n; ++i)
            values.push_back(i);
        for (auto& s : data.Series)
            s = values;
        data.PrintStep = printStep;
        data.StopTime = stopTime;
        ranges.fill(Range{0, 341});
    }
};

RecordingCanvas Draw(const GraphData& data, const Ranges& ranges, const CurveChoice& chosen, bool markers, double T)
{
    RecordingCanvas c;
    pelisond::DrawGraph(c, data, ranges, chosen, markers, T, kComma);
    return c;
}

TEST(PelisondGraph, FrameGridAndLabelPositionsOfTheLayout)
{
    const Sweep run(3967, 0.00003f, 0.119f);
    const RecordingCanvas c = Draw(run.data, run.ranges, {}, false, 0.119);

    const auto rects = c.Of(Kind::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(std::vector<int>({rects[0].x1, rects[0].y1, rects[0].x2, rects[0].y2}),
              std::vector<int>({60, 0, 609, 341}));

    const std::vector<int> rows = {34, 68, 102, 136, 170, 204, 238, 272, 306};
    struct Column {
        int x;
        canvas::Color color;
        int fontHeight;
    } columns[] = {{0, canvas::clRed, 11}, {30, canvas::clBlue, 11}, {W - 60, canvas::clRed, 8}, {W - 30, canvas::clBlue, 8}};
    for (const Column& column : columns) {
        EXPECT_EQ(TextRowsAt(c, column.x), rows) << "scale at x = " << column.x;
        for (const auto& call : c.Of(Kind::Text))
            if (call.x1 == column.x) {
                EXPECT_EQ(call.state.font.color, column.color) << "scale at x = " << column.x;
                EXPECT_EQ(call.state.font.pixelHeight, column.fontHeight) << "scale at x = " << column.x;
                EXPECT_EQ(call.state.font.face, "Times New Roman");
            }
    }

    std::vector<int> timeColumns;
    for (const auto& [x, text] : TextsOnRow(c, H - 12)) {
        timeColumns.push_back(x);
    }
    EXPECT_EQ(timeColumns, std::vector<int>({114, 169, 224, 279, 334, 389, 444, 499, 554}));
    for (const auto& call : c.Of(Kind::Text))
        if (call.y1 == H - 12) {
            EXPECT_EQ(call.state.font.color, canvas::clBlue);
            EXPECT_EQ(call.state.font.pixelHeight, 11);
        }

    std::vector<int> horizontal, vertical;
    for (const auto& s : SegmentsIn(c, canvas::clGreen)) {
        if (s.y1 == s.y2) {
            EXPECT_EQ(s.x1, 60);
            EXPECT_EQ(s.x2, 609);
            horizontal.push_back(s.y1);
        } else {
            EXPECT_EQ(s.y2, 341);
            vertical.push_back(s.x1);
        }
    }
    EXPECT_EQ(horizontal, std::vector<int>({30, 64, 98, 132, 166, 200, 234, 268, 302, 336}));
    EXPECT_EQ(vertical, std::vector<int>({60, 114, 169, 224, 279, 334, 389, 444, 499, 554}));
}

TEST(PelisondGraph, FixedScaleLabelsWhateverTheRun)
{
    const Sweep run(11, 1, 10);
    const Ranges fixed = pelisond::ComputeRanges(run.data.Extremes, ScaleMode::Fixed);
    const RecordingCanvas c = Draw(run.data, fixed, {}, false, 10);
    struct Row {
        const char* name;
        int x;
        std::vector<std::string> labels;
    } rows[] = {
        {"X1, X2", 0, {"24,00", "18,00", "12,00", "6,00", "0,00", "-6,00", "-12,00", "-18,00", "-24,00"}},
        {"Y1, Y2", 30, {"0,08", "0,06", "0,04", "0,02", "0,00", "-0,02", "-0,04", "-0,06", "-0,08"}},
        {"Fi", W - 60, {"0,0008", "0,0006", "0,0004", "0,0002", "0,0000", "-0,0002", "-0,0004", "-0,0006", "-0,0008"}},
        {"drift", W - 30, {"0,0008", "0,0006", "0,0004", "0,0002", "0,0000", "-0,0002", "-0,0004", "-0,0006", "-0,0008"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextsAt(c, row.x), row.labels) << row.name;
}

TEST(PelisondGraph, LargeLabelsAreGroupedInThousandsOrFallBackOnTheGeneralFormat)
{
    struct Row {
        float upper;
        const char* top;
    } rows[] = {{2000, "1\xC2\xA0" "800,00"}, {200000, "1,8E5"}};
    for (const Row& row : rows) {
        Sweep run(11, 1, 10);
        run.ranges[0] = {0, row.upper};
        const RecordingCanvas c = Draw(run.data, run.ranges, {}, false, 10);
        EXPECT_EQ(TextsAt(c, 0).front(), row.top) << "up to " << row.upper;
    }
}

TEST(PelisondGraph, RangesOfBothScaleModes)
{
    std::array<pelisond::SeriesExtremes, pelisond::SeriesCount> e{};
    e[pelisond::X1] = {2, -1};  // Max, Min
    e[pelisond::X2] = {1, -3};
    e[pelisond::Y1] = {0.5f, 0};
    e[pelisond::Y2] = {0.25f, -0.5f};
    e[pelisond::X1Dot] = {10, -20};
    e[pelisond::X2Dot] = {30, -40};
    e[pelisond::Y1Dot] = {50, -60};
    e[pelisond::Y2Dot] = {70, -80};
    e[pelisond::Fi] = {0.01f, -0.02f};
    e[pelisond::FiDot] = {3, -4};
    e[pelisond::Drift] = {0.002f, -0.0005f};

    const Ranges automatic = pelisond::ComputeRanges(e, ScaleMode::Automatic);
    const Ranges expectedAutomatic = {Range{-3, 2},     Range{-0.5f, 0.5f},     Range{-20, 10},
                                      Range{-40, 30},   Range{-60, 50},         Range{-80, 70},
                                      Range{-0.02f, 0.01f}, Range{-4, 3},       Range{-0.001f, 0.002f}};
    EXPECT_EQ(automatic, expectedAutomatic);

    const Ranges fixed = pelisond::ComputeRanges(e, ScaleMode::Fixed);
    const Ranges expectedFixed = {Range{-30, 30},           Range{-0.1f, 0.1f},       Range{-1500000, 1500000},
                                  Range{-1500000, 1500000}, Range{-5000, 5000},       Range{-5000, 5000},
                                  Range{-0.001f, 0.001f},   Range{-20, 20},           Range{-0.001f, 1.5f * 0.002f}};
    EXPECT_EQ(fixed, expectedFixed);
    EXPECT_FLOAT_EQ(fixed[8].Upper, 0.003f);
}

TEST(PelisondGraph, DriftRangeKeepsAtLeastAThousandth)
{
    struct Row {
        const char* name;
        float min, max;
        Range automatic, fixed;
    } rows[] = {
        {"-0.0005 .. 0.002", -0.0005f, 0.002f, {-0.001f, 0.002f}, {-0.001f, 1.5f * 0.002f}},
        {"a run that never drifts", 0, 0, {-0.001f, 0.001f}, {-0.001f, 0.001f}},
        {"-0.004 .. 0.0005", -0.004f, 0.0005f, {-0.004f, 0.001f}, {1.5f * -0.004f, 0.001f}},
        {"both beyond", -0.01f, 0.02f, {-0.01f, 0.02f}, {1.5f * -0.01f, 1.5f * 0.02f}},
    };
    for (const Row& row : rows) {
        std::array<pelisond::SeriesExtremes, pelisond::SeriesCount> e{};
        e[pelisond::Drift] = {row.max, row.min};
        EXPECT_EQ(pelisond::ComputeRanges(e, ScaleMode::Automatic)[8], row.automatic) << row.name;
        EXPECT_EQ(pelisond::ComputeRanges(e, ScaleMode::Fixed)[8], row.fixed) << row.name;
    }
}

TEST(PelisondGraph, ElevenCurvesInOrderWithTheirColoursAndWidth)
{
    Sweep run(11, 1, 10);
    // Curve n's range is shifted by n, so each curve lies n rows below the row of its samples.
    for (int r = 0; r < pelisond::RangeCount; ++r)
        run.ranges[r] = {static_cast<float>(r), static_cast<float>(r + 341)};
    CurveChoice all;
    all.fill(true);
    const RecordingCanvas c = Draw(run.data, run.ranges, all, true, 10);

    std::vector<canvas::Color> order;
    for (const auto& s : c.Segments())
        if (s.state.penWidth == 2 && (order.empty() || !(order.back() == s.state.penColor)))
            order.push_back(s.state.penColor);
    const std::vector<canvas::Color> expected = {
        canvas::clYellow, canvas::clRed,  canvas::clBlue,  canvas::clWhite, canvas::clNavy,   canvas::clMaroon,
        canvas::clSilver, canvas::clLime, canvas::clGreen, canvas::clGray,  canvas::clFuchsia};
    EXPECT_EQ(order, expected);

    for (int n = 1; n <= pelisond::CurveCount; ++n) {
        const auto color = *pelisond::CurveColor(n);
        std::vector<int> rows;
        for (const auto& s : c.Segments())
            if (s.state.penWidth == 2 && s.state.penColor == color)
                rows.push_back(s.y2);
        ASSERT_EQ(rows.size(), 9u) << "curve " << n;
        const int shift = pelisond::CurveRange(n);
        EXPECT_EQ(rows.front(), 341 - (1 - shift)) << "curve " << n;
    }
    EXPECT_EQ(Markers(c).size(), 11u * 4u) << "N = 10: samples 3, 5, 7, 9 of each curve";
    EXPECT_EQ(Markers(c).back().text, "11");
}

TEST(PelisondGraph, MarkersForNOfOneHundred)
{
    const Sweep run(101, 1, 100);
    CurveChoice choice{};
    choice[0] = true;
    const RecordingCanvas c = Draw(run.data, run.ranges, choice, true, 100);
    std::vector<int> samples, columns;
    for (const auto& m : Markers(c)) {
        samples.push_back(341 - 15 - m.y1);
        columns.push_back(m.x1);
    }
    EXPECT_EQ(samples, std::vector<int>({12, 23, 34, 45, 56, 67, 78, 89}));
    EXPECT_EQ(columns.front(), static_cast<int>(60 + 12 * 5.49));
}

TEST(PelisondGraph, TimeZeroLeavesLabelsAtZeroAndCurvesAtTheirStart)
{
    const Sweep run(11, 1, 10);
    CurveChoice all;
    all.fill(true);
    const RecordingCanvas c = Draw(run.data, run.ranges, all, true, 0);
    for (const auto& [x, text] : TextsOnRow(c, H - 12))
        EXPECT_EQ(text, "0") << "x = " << x;
    EXPECT_EQ(c.Segments().size(), 20u) << "grid lines only";
    EXPECT_TRUE(Markers(c).empty());
}

TEST(PelisondPhasePortrait, DotsForEverySampleAfterTheFirst)
{
    Sweep run(3, 1, 2);
    const std::vector<double> fi = {0, -1, 3}, rate = {0, 2, -2};
    run.data.Series[pelisond::Fi] = fi;
    run.data.Series[pelisond::FiDot] = rate;
    run.data.Extremes[pelisond::Fi] = {3, -1};
    run.data.Extremes[pelisond::FiDot] = {2, -2};
    RecordingCanvas c;
    pelisond::DrawPhasePortrait(c, run.data);
    const auto dots = c.Of(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 2u);
    constexpr int PW = pelisond::PortraitWidth, PH = pelisond::PortraitHeight;
    EXPECT_EQ(std::vector<int>({dots[0].x1, dots[0].y1, dots[0].x2, dots[0].y2}),
              std::vector<int>({0, 0, 5, 5})) << "smallest Fi, largest rate: top-left corner";
    EXPECT_EQ(std::vector<int>({dots[1].x1, dots[1].y1, dots[1].x2, dots[1].y2}),
              std::vector<int>({PW, PH, PW + 5, PH + 5})) << "largest Fi, smallest rate: cut by the edges";
    EXPECT_EQ(dots[0].state.brushColor, canvas::clBlack);
    EXPECT_EQ(dots[0].state.penWidth, 2);
}

TEST(PelisondPhasePortrait, AFrameThatNeverTurnsLiesOnTheMiddleLine)
{
    Sweep run(4, 1, 3);
    const std::vector<double> zero = {0, 0, 0, 0};
    run.data.Series[pelisond::Fi] = zero;
    run.data.Series[pelisond::FiDot] = zero;
    RecordingCanvas c;
    pelisond::DrawPhasePortrait(c, run.data);
    const auto dots = c.Of(Kind::Ellipse);
    ASSERT_EQ(dots.size(), 3u);
    for (const auto& d : dots) {
        EXPECT_EQ(d.x1, pelisond::PortraitWidth / 2);
        EXPECT_EQ(d.y1, static_cast<int>(pelisond::PortraitHeight - pelisond::PortraitHeight / 2.0));
    }
}

TEST(PelisondPhasePortrait, ReadsOnlyRecordedSamples)
{
    pelisond::TuningForkModel model;
    for (auto& s : model.Series)
        s.assign(100, 1e9);
    for (int i = 0; i < 10; ++i)
        model.Series[pelisond::Fi][i] = model.Series[pelisond::FiDot][i] = i;
    model.Extremes[pelisond::Fi] = model.Extremes[pelisond::FiDot] = {9, 0};
    model.SampleCount = 12;
    model.RecordedCount = 10;
    RecordingCanvas c;
    pelisond::DrawPhasePortrait(c, pelisond::GraphDataOf(model));
    const auto dots = c.Of(Kind::Ellipse);
    EXPECT_EQ(dots.size(), 9u);
    for (const auto& d : dots)
        EXPECT_LE(d.x1, pelisond::PortraitWidth);
}

} // namespace
