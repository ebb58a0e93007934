#include "GimbalGraph.h"
#include "GimbalModel.h"
#include "QPainterCanvas.h"
#include "RecordingCanvas.h"
#include "FrequencyContent.h"
#include "FrequencyPlot.h"
#include "TuningForkGraph.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cmath>
#include <span>
#include <utility>
#include <vector>

namespace {

const numfmt::Separators kComma = numfmt::CommaSeparators();
const QColor kButtonFace(240, 240, 240);

QImage BlankImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kButtonFace);
    return image;
}

// Keeps the picture for a look by eye when GYRO_GRAPH_IMAGES names a folder.
void Keep(const QImage& image, const char* name)
{
    const QString dir = qEnvironmentVariable("GYRO_GRAPH_IMAGES");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + QLatin1String(name) + QLatin1String(".png"));
}

// The shipped tuning-fork run, calculated.
void CalculateNominal(pelisond::TuningForkModel& fork)
{
    ASSERT_TRUE(fork.LoadParameters(GRAPH_PELISOND_DAT));
    ASSERT_TRUE(fork.AllocateSeries().ok());
    ASSERT_TRUE(fork.Calculate().ok());
}

int CountInside(const QImage& image, QRect area, const QColor& color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

TEST(QPainterCanvas, FiguresFollowThePlatformRules)
{
    QImage image = BlankImage(60, 40);
    {
        canvas::QPainterCanvas c(&image, kButtonFace);
        c.SetPenColor(canvas::clGreen);
        c.SetBrushColor(canvas::clBlack);
        c.Rectangle(10, 10, 20, 20);
        c.SetPenColor(canvas::clRed);
        c.MoveTo(30, 5);
        c.LineTo(50, 5);
    }
    Keep(image, "canvas_rules");
    struct Row {
        const char* name;
        int x, y;
        QColor color;
    } rows[] = {
        {"rectangle's top-left corner", 10, 10, Qt::darkGreen},
        {"rectangle's last column and row", 19, 19, QColor(0, 128, 0)},
        {"beyond the right and bottom edges", 20, 20, kButtonFace},
        {"inside filled with the brush", 15, 15, Qt::black},
        {"line start", 30, 5, Qt::red},
        {"line middle", 40, 5, Qt::red},
        {"line's last pixel", 49, 5, Qt::red},
        {"line's final point left undrawn", 50, 5, kButtonFace},
    };
    for (const Row& row : rows)
        EXPECT_EQ(image.pixelColor(row.x, row.y), row.color) << row.name;
}

// Steep pieces are filled column by column; every row between the ends must get exactly
// the pen's width in pixels, next to the ideal line, whatever the direction.
TEST(QPainterCanvas, SteepLinesLeaveNoGapsAndKeepThePenWidth)
{
    struct Row {
        const char* name;
        int width;
        QLine line;
    } rows[] = {
        {"down right, width 1", 1, QLine(5, 5, 8, 35)},
        {"up left, width 1", 1, QLine(20, 35, 12, 3)},
        {"down right, width 2", 2, QLine(5, 5, 8, 35)},
        {"up right, width 2", 2, QLine(12, 35, 20, 3)},
        {"vertical, width 2", 2, QLine(30, 2, 30, 30)},
    };
    for (const Row& row : rows) {
        QImage image = BlankImage(40, 40);
        {
            canvas::QPainterCanvas c(&image, kButtonFace);
            c.SetPenWidth(row.width);
            c.SetPenColor(canvas::clBlue);
            c.MoveTo(row.line.x1(), row.line.y1());
            c.LineTo(row.line.x2(), row.line.y2());
        }
        const int top = std::min(row.line.y1(), row.line.y2()), bottom = std::max(row.line.y1(), row.line.y2());
        for (int y = top; y <= bottom; ++y) {
            std::vector<int> columns;
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == Qt::blue)
                    columns.push_back(x);
            // A one-pixel line-to leaves its final pixel undrawn.
            const std::size_t expected = row.width == 1 && y == row.line.y2() ? 0 : row.width;
            ASSERT_EQ(columns.size(), expected) << row.name << ", row " << y;
            if (expected == 0)
                continue;
            const double ideal = row.line.x1() + double(y - row.line.y1()) * row.line.dx() / row.line.dy();
            EXPECT_LE(std::abs(columns.front() - ideal), 1.0) << row.name << ", row " << y;
        }
    }
}

TEST(QPainterCanvas, TextStandsOnTheBrushColourInTheMappedFace)
{
    QImage image = BlankImage(80, 30);
    {
        canvas::QPainterCanvas c(&image, kButtonFace);
        c.SetBrushColor(canvas::clBlack);
        c.SetFont({"Times New Roman", 11, canvas::clYellow, false});
        c.TextOut(5, 5, "24,00");
    }
    Keep(image, "canvas_text");
    EXPECT_GT(CountInside(image, QRect(5, 5, 20, 10), Qt::black), 20) << "opaque background";
    EXPECT_EQ(image.pixelColor(2, 2), kButtonFace) << "nothing left of the text";
    EXPECT_EQ(QFontInfo(canvas::ToQFont({"Times New Roman", 11})).family(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(QFontInfo(canvas::ToQFont({"MS Sans Serif", 11})).family(), QStringLiteral("Liberation Sans"));
}

// Each curve drawn alone adds pixels of its own colour to the plot rectangle.
TEST(RenderedGraph, EachVeltramiCurveShowsItsColour)
{
    std::vector<double> wave;
    for (int i = 0; i < 400; ++i)
        wave.push_back(std::sin(i * 0.05));
    veltrami::GraphData data;
    data.Alf = data.Bet = data.AlfDot = data.BetDot = wave;
    data.AlfMin = data.BetMin = data.AlfDotMin = data.BetDotMin = -1;
    data.AlfMax = data.BetMax = data.AlfDotMax = data.BetDotMax = 1;
    data.PrintStep = 0.01f;
    data.StopTime = 4;
    const QRect plot(31, 1, 607, 339);

    const auto render = [&](veltrami::CurveChoice chosen) {
        QImage image = BlankImage(veltrami::GraphWidth, veltrami::GraphHeight);
        canvas::QPainterCanvas c(&image, kButtonFace);
        veltrami::DrawGraph(c, data, chosen, true, 4, kComma);
        return image;
    };
    const QImage bare = render({false, false, false, false});
    Keep(render({true, true, true, true}), "veltrami_graph_all");
    // Grid lines end inside the rectangle (its right column 638, its bottom row 340).
    EXPECT_EQ(bare.pixelColor(638, 30), QColor(0, 128, 0));
    EXPECT_EQ(bare.pixelColor(639, 30), kButtonFace) << "horizontal grid line ends at the edge";
    EXPECT_EQ(bare.pixelColor(60, 340), QColor(0, 128, 0));
    EXPECT_EQ(bare.pixelColor(60, 341), kButtonFace) << "vertical grid line ends at the edge";
    for (int n = 1; n <= 4; ++n) {
        veltrami::CurveChoice chosen{};
        chosen[n - 1] = true;
        const QImage image = render(chosen);
        const auto c = *veltrami::CurveColor(n);
        const QColor color(c.r, c.g, c.b);
        EXPECT_GT(CountInside(image, plot, color), CountInside(bare, plot, color) + 300) << "curve " << n;
    }
}

TEST(RenderedGraph, EachPelisondCurveShowsItsColour)
{
    std::vector<double> wave;
    for (int i = 0; i < 4000; ++i)
        wave.push_back(std::sin(i * 0.005));
    pelisond::GraphData data;
    for (auto& s : data.Series)
        s = wave;
    data.PrintStep = 0.001f;
    data.StopTime = 4;
    pelisond::Ranges ranges;
    ranges.fill({-1, 1});
    const QRect plot(61, 1, 547, 339);

    const auto render = [&](const pelisond::CurveChoice& chosen) {
        QImage image = BlankImage(pelisond::GraphWidth, pelisond::GraphHeight);
        canvas::QPainterCanvas c(&image, kButtonFace);
        pelisond::DrawGraph(c, data, ranges, chosen, true, 4, kComma);
        return image;
    };
    const QImage bare = render({});
    pelisond::CurveChoice all;
    all.fill(true);
    Keep(render(all), "pelisond_graph_all");
    for (int n = 1; n <= pelisond::CurveCount; ++n) {
        pelisond::CurveChoice chosen{};
        chosen[n - 1] = true;
        const QImage image = render(chosen);
        const auto c = *pelisond::CurveColor(n);
        const QColor color(c.r, c.g, c.b);
        EXPECT_GT(CountInside(image, plot, color), CountInside(bare, plot, color) + 600) << "curve " << n;
    }
}

// The curves of a graph painted once as thinned per pixel column and once a piece per sample.
std::pair<QImage, QImage> ThinnedAndEverySample(timegraph::Layout layout, double T, float printStep,
                                                std::span<const timegraph::Curve> curves)
{
    const auto paint = [&](bool everySample) {
        layout.everySample = everySample;
        QImage image = BlankImage(layout.W, layout.H);
        canvas::QPainterCanvas c(&image, kButtonFace);
        for (const timegraph::Curve& curve : curves)
            timegraph::DrawCurve(c, layout, T, printStep, curve, true);
        c.Flush();
        return image;
    };
    return {paint(false), paint(true)};
}

// The thinned curves light exactly the pixels of a piece per sample: the nominal tuning-fork
// run with all eleven curves (pen 2), and 400 000 samples of a noisy wave that leaves its
// range and breaks off, under both programs' pens.
TEST(RenderedGraph, ThinnedCurvesPaintThePixelsOfEverySample)
{
    pelisond::TuningForkModel fork;
    CalculateNominal(fork);
    ASSERT_TRUE(fork.Calculated);
    const pelisond::GraphData data = pelisond::GraphDataOf(fork);
    const pelisond::Ranges ranges = pelisond::ComputeRanges(data.Extremes, pelisond::ScaleMode::Automatic);
    std::vector<timegraph::Curve> curves;
    for (int n = 1; n <= pelisond::CurveCount; ++n) {
        const pelisond::Range& r = ranges[pelisond::CurveRange(n)];
        curves.push_back({data.Series[pelisond::CurveSeries(n)], r.Lower, r.Upper, n});
    }
    const auto nominal = ThinnedAndEverySample(pelisond::GraphLayout(pelisond::GraphWidth, pelisond::GraphHeight, kComma),
                                               data.StopTime, data.PrintStep, curves);
    Keep(nominal.first, "pelisond_graph_thinned");
    EXPECT_TRUE(nominal.first == nominal.second) << "nominal run";

    std::vector<double> wave;
    unsigned noise = 1;
    for (int i = 0; i < 400000; ++i) {
        noise = noise * 1103515245u + 12345u;
        wave.push_back(std::sin(i * 1e-4) * 1.2 + ((noise >> 16) % 1000) * 2e-4 + (i % 50000 == 7 ? NAN : 0.0));
    }
    const timegraph::Curve noisy[] = {{wave, -1, 1, 1}, {std::span<const double>(wave).subspan(7), -0.5f, 2, 2}};
    const auto gimbal = ThinnedAndEverySample(veltrami::GraphLayout(veltrami::GraphWidth, veltrami::GraphHeight, kComma),
                                              400, 0.001f, noisy);
    EXPECT_TRUE(gimbal.first == gimbal.second) << "pen 1, 400 000 samples";
    const auto fork400k = ThinnedAndEverySample(
        pelisond::GraphLayout(pelisond::GraphWidth, pelisond::GraphHeight, kComma), 400, 0.001f, noisy);
    EXPECT_TRUE(fork400k.first == fork400k.second) << "pen 2, 400 000 samples";

    // A long run's columns from the level of detail: the pixels of the column walk.
    for (timegraph::Layout layout : {veltrami::GraphLayout(veltrami::GraphWidth, veltrami::GraphHeight, kComma),
                                     pelisond::GraphLayout(pelisond::GraphWidth, pelisond::GraphHeight, kComma)}) {
        QImage walked = BlankImage(layout.W, layout.H), levels = BlankImage(layout.W, layout.H);
        for (auto [image, longRun] : {std::pair{&walked, std::size_t(-1)}, std::pair{&levels, std::size_t(0)}}) {
            layout.longRun = longRun;
            canvas::QPainterCanvas c(image, kButtonFace);
            for (const timegraph::Curve& curve : noisy)
                timegraph::DrawCurve(c, layout, 400, 0.001f, curve, true);
        }
        EXPECT_TRUE(walked == levels) << "pen " << layout.curvePenWidth;
    }
}

// The nominal runs of both programs, painted whole; kept for a look by eye.
TEST(RenderedGraph, NominalTuningForkRunPaintsBothPictures)
{
    pelisond::TuningForkModel fork;
    CalculateNominal(fork);
    ASSERT_TRUE(fork.Calculated);
    const pelisond::GraphData forkData = pelisond::GraphDataOf(fork);
    ASSERT_GT(forkData.Series[pelisond::Fi].size(), 1000u);

    QImage graph = BlankImage(pelisond::GraphWidth, pelisond::GraphHeight);
    QImage portrait = BlankImage(pelisond::PortraitWidth, pelisond::PortraitHeight);
    {
        canvas::QPainterCanvas c(&graph, kButtonFace);
        pelisond::CurveChoice all;
        all.fill(true);
        pelisond::DrawGraph(c, forkData, pelisond::ComputeRanges(forkData.Extremes, pelisond::ScaleMode::Automatic), all,
                            true, forkData.StopTime, kComma);
        canvas::QPainterCanvas p(&portrait, kButtonFace);
        pelisond::DrawPhasePortrait(p, forkData);
    }
    Keep(graph, "pelisond_graph_nominal");
    Keep(portrait, "pelisond_portrait_nominal");
    EXPECT_GT(CountInside(portrait, portrait.rect(), Qt::black), 100);

    // The canvas paints a dot once and copies it: the pixels must be those of every dot
    // outlined and filled where it stands.
    canvas::RecordingCanvas dots;
    pelisond::DrawPhasePortrait(dots, forkData);
    QImage outlined = BlankImage(pelisond::PortraitWidth, pelisond::PortraitHeight);
    {
        QPainter p(&outlined);
        QPen pen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::black);
        for (const auto& d : dots.Of(canvas::RecordingCanvas::Kind::Ellipse))
            p.drawEllipse(QRect(d.x1, d.y1, d.x2 - d.x1 - 1, d.y2 - d.y1 - 1));
    }
    EXPECT_TRUE(portrait == outlined);
}

TEST(RenderedGraph, NominalGimbalRunPaintsBothPictures)
{
    veltrami::GimbalModel gimbal;
    ASSERT_TRUE(gimbal.LoadParameters(GRAPH_VELTRAMI_DAT));
    ASSERT_TRUE(gimbal.AllocateSeries().ok());
    ASSERT_TRUE(gimbal.Calculate().ok());
    const veltrami::GraphData gimbalData = veltrami::GraphDataOf(gimbal);
    QImage vgraph = BlankImage(veltrami::GraphWidth, veltrami::GraphHeight);
    QImage vportrait = BlankImage(veltrami::PortraitWidth, veltrami::PortraitHeight);
    {
        canvas::QPainterCanvas c(&vgraph, kButtonFace);
        veltrami::DrawGraph(c, gimbalData, {true, true, true, true}, true, gimbalData.StopTime, kComma);
        canvas::QPainterCanvas p(&vportrait, kButtonFace);
        veltrami::DrawPhasePortrait(p, gimbalData, 1);
    }
    Keep(vgraph, "veltrami_graph_nominal");
    Keep(vportrait, "veltrami_portrait_nominal");
    EXPECT_GT(CountInside(vportrait, vportrait.rect(), Qt::black), 100);
}

// The nominal tuning-fork run's X1 swings at the drive frequency; the gimbal's rates show
// the nutation H / sqrt(J_alpha J_beta), sampled finely enough to hold it.
TEST(RunSpectrum, PeaksAtTheDriveAndTheNutationFrequency)
{
    pelisond::TuningForkModel fork;
    CalculateNominal(fork);
    ASSERT_TRUE(fork.Calculated);
    const pelisond::GraphData forkData = pelisond::GraphDataOf(fork);
    const timegraph::Spectrum x1 = timegraph::AmplitudeSpectrum(forkData.Series[pelisond::X1], forkData.PrintStep);
    const auto drive = timegraph::LargestPeaks(x1, 1);
    ASSERT_EQ(drive.size(), 1u);
    EXPECT_NEAR(drive[0].frequency, 62800, x1.binWidth);

    veltrami::GimbalModel gimbal;
    ASSERT_TRUE(gimbal.LoadParameters(GRAPH_VELTRAMI_DAT));
    gimbal.Params.PrintStep = 0.0002f;
    gimbal.Params.StopTime = 2;
    ASSERT_TRUE(gimbal.AllocateSeries().ok());
    ASSERT_TRUE(gimbal.Calculate().ok());
    EXPECT_NEAR(gimbal.NutationFrequency(), 1000, 1);
    const veltrami::GraphData gimbalData = veltrami::GraphDataOf(gimbal);
    const timegraph::Spectrum rate = timegraph::AmplitudeSpectrum(gimbalData.BetDot, gimbalData.PrintStep);
    double nearest = 0;
    for (const timegraph::Peak& p : timegraph::LargestPeaks(rate, 3))
        if (std::fabs(p.frequency - 1000) < std::fabs(nearest - 1000))
            nearest = p.frequency;
    EXPECT_NEAR(nearest, 1000, rate.binWidth);
}

// Looking into the nominal tuning-fork run: single drive cycles near its end, the envelopes
// of X1 and Y1 over the whole run and their spectrum; kept for the README.
TEST(RenderedGraph, ZoomEnvelopesAndSpectrumOfTheNominalTuningForkRun)
{
    pelisond::TuningForkModel fork;
    CalculateNominal(fork);
    ASSERT_TRUE(fork.Calculated);
    const pelisond::GraphData data = pelisond::GraphDataOf(fork);
    const pelisond::Ranges ranges = pelisond::ComputeRanges(data.Extremes, pelisond::ScaleMode::Automatic);
    pelisond::CurveChoice chosen{};
    chosen[0] = chosen[2] = true; // X1 and Y1
    const auto draw = [&](canvas::Canvas& c, const timegraph::View& view) {
        pelisond::DrawGraph(c, data, ranges, chosen, false, data.StopTime, kComma, pelisond::GraphWidth,
                            pelisond::GraphHeight, nullptr, view);
    };

    timegraph::View zoom;
    zoom.zoom = timegraph::TimeSpan{0.117, 0.119};
    QImage zoomed = BlankImage(pelisond::GraphWidth, pelisond::GraphHeight);
    {
        canvas::QPainterCanvas c(&zoomed, kButtonFace);
        draw(c, zoom);
    }
    Keep(zoomed, "pelisond-zoom");
    canvas::RecordingCanvas calls;
    draw(calls, zoom);
    EXPECT_GE(calls.Of(canvas::RecordingCanvas::Kind::Ellipse).size(), 2u * 66) << "a dot on every sample of both curves";

    std::vector<timegraph::Envelope> kept;
    kept.reserve(2);
    timegraph::View envelopes;
    envelopes.envelope = [&](std::span<const double> s) -> const timegraph::Envelope* {
        kept.push_back(*timegraph::FitEnvelope(s, data.PrintStep, fork.Params.DriveFrequency));
        return &kept.back();
    };
    QImage whole = BlankImage(pelisond::GraphWidth, pelisond::GraphHeight);
    {
        canvas::QPainterCanvas c(&whole, kButtonFace);
        draw(c, envelopes);
    }
    Keep(whole, "pelisond-envelopes");
    ASSERT_EQ(kept.size(), 2u);
    // The steady amplitude of X1 is its swing over the last cycles.
    const std::span<const double> x1 = data.Series[pelisond::X1];
    double swing = 0;
    for (std::size_t i = x1.size() - 40; i < x1.size(); ++i)
        swing = std::max(swing, std::fabs(x1[i] - kept[0].slow[i]));
    EXPECT_NEAR(kept[0].amplitude[x1.size() - 20], swing, 0.1 * swing);

    std::vector<timegraph::SpectrumCurve> spectra;
    for (int n : {1, 3})
        spectra.push_back({pelisond::CurveName(n), *pelisond::CurveColor(n),
                           timegraph::AmplitudeSpectrum(data.Series[pelisond::CurveSeries(n)], data.PrintStep)});
    const timegraph::SpectrumMark marks[] = {{fork.Params.DriveFrequency, "частота возбуждения"}};
    QImage spectrum = BlankImage(pelisond::GraphWidth, pelisond::GraphHeight);
    {
        canvas::QPainterCanvas c(&spectrum, kButtonFace);
        timegraph::DrawSpectrum(c, spectra, marks, {false, false, true}, kComma, pelisond::GraphWidth,
                                pelisond::GraphHeight);
    }
    Keep(spectrum, "pelisond-frequencies");
    EXPECT_GT(CountInside(spectrum, spectrum.rect(), Qt::yellow), 50);
}

} // namespace
