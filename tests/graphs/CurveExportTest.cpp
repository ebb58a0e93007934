#include "CurveExport.h"
#include "GimbalGraph.h"
#include "GraphTestSupport.h"
#include "TuningForkGraph.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace graphtest;

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using Table = std::vector<std::vector<std::string>>;

// Rows and cells of a table whose cells hold no commas.
Table Cells(const std::string& text)
{
    Table rows;
    std::size_t line = 0;
    while (line < text.size()) {
        const std::size_t end = text.find('\n', line);
        EXPECT_NE(end, std::string::npos) << "every line ends with a line end";
        if (end == std::string::npos)
            break;
        std::vector<std::string> row;
        for (std::size_t cell = line;;) {
            const std::size_t comma = std::min(text.find(',', cell), end);
            row.push_back(text.substr(cell, comma - cell));
            if (comma == end)
                break;
            cell = comma + 1;
        }
        rows.push_back(row);
        line = end + 1;
    }
    return rows;
}

double Number(const std::string& text)
{
    double v = kNaN;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), v);
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    return v;
}

// A gimbal run of n samples, 0.1 s apart: distinct values on every curve.
struct GimbalRun {
    std::vector<double> alf, bet, alfDot, betDot;
    veltrami::GraphData data;

    explicit GimbalRun(int n)
    {
        for (int i = 0; i < n; ++i) {
            alf.push_back(std::sin(i * 0.1));
            bet.push_back(i * 1e-3);
            alfDot.push_back(-i / 3.0);
            betDot.push_back(1e10 + i);
        }
        data.Alf = alf;
        data.Bet = bet;
        data.AlfDot = alfDot;
        data.BetDot = betDot;
        data.AlfMin = data.BetMin = -1;
        data.AlfMax = data.BetMax = 1;
        data.AlfDotMin = data.BetDotMin = -100;
        data.AlfDotMax = data.BetDotMax = 1e10f + 200;
        data.PrintStep = 0.1f;
        data.StopTime = 12;
    }
};

// The samples a drawn curve reaches: its start and the ends of its pieces, a piece per sample.
std::size_t SamplesOnScreen(const veltrami::GraphData& data, double T)
{
    RecordingCanvas c;
    timegraph::Layout layout = veltrami::GraphLayout(veltrami::GraphWidth, veltrami::GraphHeight, kComma);
    layout.everySample = true;
    timegraph::DrawCurve(c, layout, T, data.PrintStep, {data.Alf, data.AlfMin, data.AlfMax, 1}, false);
    return data.Alf.empty() ? 0 : c.Segments().size() + 1;
}

// The table and the read-out must use the samples the picture joins, no more and no fewer;
// 12 / 0.1 in single precision lies just below 120, 6 / 0.1 just below 60.
TEST(DrawnSamples, CountAgreesWithTheCurveOnTheScreen)
{
    struct Row {
        int recorded;
        double T;
        std::size_t drawn;
    } rows[] = {
        {120, 12, 120}, {119, 12, 119}, {120, 6, 60},  {120, 5.95, 60}, {120, 0.1, 1},
        {120, 0, 1},    {120, 24, 120}, {50, 12, 50},  {0, 12, 0},      {120, 1e30, 120},
    };
    for (const Row& row : rows) {
        const GimbalRun run(row.recorded);
        EXPECT_EQ(timegraph::DrawnSampleCount(row.T, 0.1f, row.recorded), row.drawn) << row.recorded << " " << row.T;
        EXPECT_EQ(SamplesOnScreen(run.data, row.T), row.drawn) << row.recorded << " " << row.T;
    }
}

TEST(GraphCsv, HoldsExactlyTheDrawnSamplesOfTheChosenCurves)
{
    const GimbalRun run(120);
    const auto csv = veltrami::GraphCsv(run.data, {true, false, false, true}, 6);
    ASSERT_TRUE(csv);
    const Table table = Cells(*csv);
    ASSERT_EQ(table.size(), 1u + 60u) << "header and samples 0 .. 59";
    EXPECT_EQ(table[0], (std::vector<std::string>{"t (сек)", "Угол альфа", "Угловая скорость бета с точкой"}));
    for (std::size_t i = 1; i < table.size(); ++i) {
        const std::size_t sample = i - 1;
        ASSERT_EQ(table[i].size(), 3u) << sample;
        EXPECT_EQ(Number(table[i][1]), run.alf[sample]) << "values read back exactly: " << sample;
        EXPECT_EQ(Number(table[i][2]), run.betDot[sample]) << sample;
        EXPECT_NEAR(Number(table[i][0]), sample * 0.1, 1e-6) << sample;
    }
    EXPECT_EQ(table[35][0], "3.4") << "times as precise as the step, no binary noise";
    EXPECT_EQ(table.back()[0], "5.9");
}

// A gimbal run takes sample k after k + 1 steps: the table and the read-out give the time the
// run recorded, while the curve keeps its place on the axis.
TEST(GraphCsv, TimesAreThoseTheRunRecorded)
{
    GimbalRun run(120);
    std::vector<double> times;
    double t = 0;
    for (int k = 0; k < 120; ++k)
        times.push_back(t += 0.1);
    run.data.Time = times;
    const Table table = Cells(*veltrami::GraphCsv(run.data, {true, false, false, false}, 6));
    ASSERT_EQ(table.size(), 1u + 60u);
    EXPECT_EQ(table[35][0], "3.5");
    EXPECT_EQ(table.back()[0], "6");
    const std::string text = veltrami::GraphReadOut(run.data, {true, false, false, false}, 12, 233, kComma);
    EXPECT_EQ(text.substr(0, text.find("\nУгол")), "t = 4 с\nОтсчет 40, t = 4,1 с");
}

TEST(CurvesCsv, SamplesThatAreNotFiniteAndMissingSamplesLeaveEmptyCells)
{
    const std::vector<double> longer = {1, kNaN, 3, 4}, shorter = {5, 6};
    const timegraph::NamedSeries curves[] = {{"a, \"b\"", longer}, {"c", shorter}};
    EXPECT_EQ(timegraph::CurvesCsv(curves, 1, {0.25f, {}}),
              "t (сек),\"a, \"\"b\"\"\",c\n0,1,5\n0.25,,6\n0.5,3,\n0.75,4,\n");
}

TEST(GraphCsv, PelisondColumnsFollowTheCurveNumbersAndTheirSeries)
{
    std::array<std::vector<double>, pelisond::SeriesCount> series;
    pelisond::GraphData data;
    for (int s = 0; s < pelisond::SeriesCount; ++s) {
        for (int i = 0; i < 10; ++i)
            series[s].push_back(s * 100 + i);
        data.Series[s] = series[s];
    }
    data.PrintStep = 0.001f;
    data.StopTime = 0.01f;
    pelisond::CurveChoice chosen{};
    chosen[0] = chosen[8] = chosen[10] = true; // X1, Fi, the drift
    const Table table = Cells(*pelisond::GraphCsv(data, chosen, 0.005));
    ASSERT_EQ(table.size(), 1u + 5u);
    EXPECT_EQ(table[0], (std::vector<std::string>{"t (сек)", "X1", "Fi", "OMEGA Дрейф"}));
    EXPECT_EQ(table[5], (std::vector<std::string>{"0.004", std::to_string(pelisond::X1 * 100 + 4),
                                                  std::to_string(pelisond::Fi * 100 + 4),
                                                  std::to_string(pelisond::Drift * 100 + 4)}));
}

// The read-out inverts the time scaling: the column of every drawn sample reads that sample,
// and beyond the plot rectangle the ends of the time span are read.
TEST(GraphReadOut, EveryDrawnColumnReadsItsOwnSample)
{
    const GimbalRun run(120);
    const auto layout = veltrami::GraphLayout(veltrami::GraphWidth, veltrami::GraphHeight, kComma);
    const auto curves = veltrami::DrawnCurves(run.data, {true, false, false, false}, 12);
    RecordingCanvas c;
    veltrami::DrawGraph(c, run.data, {true, false, false, false}, false, 12, kComma);
    const auto pieces = SegmentsIn(c, canvas::clYellow);
    ASSERT_EQ(pieces.size(), 119u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const auto at = timegraph::ReadOutAt(pieces[i].x2, layout, 12, 0.1f, curves[0].samples.size());
        EXPECT_EQ(at.sample, i + 1) << "column " << pieces[i].x2;
    }
}

TEST(GraphReadOut, NamesTheSampleAtTheEdgesAndInTheMiddle)
{
    const auto layout = veltrami::GraphLayout(veltrami::GraphWidth, veltrami::GraphHeight, kComma);
    // The rectangle spans columns 30 .. 639 for 0 .. T; a third of it is 203 columns.
    struct Row {
        int x;
        double T;
        std::size_t drawn;
        double time;
        std::size_t sample;
    } rows[] = {
        {0, 12, 120, 0, 0},      {30, 12, 120, 0, 0},         {29, 12, 120, 0, 0},
        {639, 12, 120, 12, 119}, {668, 12, 120, 12, 119},     {233, 12, 120, 4, 40},
        {233, 12, 30, 4, 29},    {639, 6, 60, 6, 59},         {100, 0, 1, 0, 0},
    };
    for (const Row& row : rows) {
        const auto at = timegraph::ReadOutAt(row.x, layout, row.T, 0.1f, row.drawn);
        EXPECT_NEAR(at.time, row.time, 1e-12) << row.x << " " << row.T;
        EXPECT_EQ(at.sample, row.sample) << row.x << " " << row.T << " " << row.drawn;
    }
    EXPECT_FALSE(timegraph::ReadOutAt(233, layout, 12, 0.1f, 0).sample) << "nothing recorded";
}

TEST(GraphReadOut, TextGivesTheTimeAndTheValuesOfTheDrawnCurves)
{
    const GimbalRun run(120);
    EXPECT_EQ(veltrami::GraphReadOut(run.data, {true, false, true, false}, 12, 233, kComma),
              "t = 4 с\nОтсчет 40, t = 4 с\nУгол альфа: " + numfmt::FormatGeneral(std::sin(4.0), 6, kComma) +
                  "\nУгловая скорость альфа с точкой: -13,3333");
    EXPECT_EQ(veltrami::GraphReadOut(run.data, {false, false, false, false}, 12, 0, kComma), "t = 0 с")
        << "no curve drawn: no sample to name";
    EXPECT_EQ(veltrami::GraphReadOut(veltrami::GraphData{}, {true, true, true, true}, 12, 639, kComma), "t = 12 с")
        << "no run yet";

    const std::vector<double> values = {1, kNaN};
    const timegraph::NamedSeries curves[] = {{"a", values}};
    EXPECT_EQ(timegraph::ReadOutText({0.25, 1}, curves, {0.25f, {}}, numfmt::PointSeparators()),
              "t = 0.25 с\nОтсчет 1, t = 0.25 с\na: —");
}

} // namespace
