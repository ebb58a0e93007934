#include "Envelope.h"
#include "GraphTestSupport.h"
#include "MinMaxPyramid.h"
#include "FrequencyContent.h"
#include "FrequencyPlot.h"
#include "TimeGraph.h"
#include "TimeSpan.h"
#include "TuningForkGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

TEST(MinMaxPyramid, ExtremesOfAnyStretchAreThoseOfItsSamples)
{
    std::vector<double> s;
    unsigned noise = 7;
    for (int i = 0; i < 100000; ++i) {
        noise = noise * 1103515245u + 12345u;
        s.push_back(std::sin(i * 1e-3) + ((noise >> 16) % 1000) * 1e-4);
    }
    s[51234] = NAN;
    const timegraph::MinMaxPyramid levels(s);
    EXPECT_LE(levels.Bytes() * 8, s.size() * sizeof(double)) << "an eighth of the series at most";
    for (int k = 0; k < 300; ++k) {
        noise = noise * 1103515245u + 12345u;
        const std::size_t a = (noise >> 8) % s.size();
        noise = noise * 1103515245u + 12345u;
        const std::size_t b = std::min(s.size(), a + 1 + (noise >> 8) % (k % 3 == 0 ? 40 : 60000));
        double lo = INFINITY, hi = -INFINITY;
        bool finite = true;
        for (std::size_t i = a; i < b; ++i) {
            finite = finite && std::isfinite(s[i]);
            if (std::isfinite(s[i])) {
                lo = std::min(lo, s[i]);
                hi = std::max(hi, s[i]);
            }
        }
        const auto e = levels.Of(a, b);
        ASSERT_EQ(e.finite, finite) << a << " .. " << b;
        if (finite) {
            ASSERT_EQ(e.smallest, lo) << a << " .. " << b;
            ASSERT_EQ(e.largest, hi) << a << " .. " << b;
        }
    }
}

TEST(TimeZoom, ZoomsAboutThePointPansWithinTheRunAndGivesTheRunBack)
{
    timegraph::TimeZoom zoom;
    const timegraph::TimeZoom::Limits limits{10, 0.01};
    zoom.ZoomAbout(2.5, 0.5, 10, limits);
    ASSERT_TRUE(zoom.Zoomed());
    EXPECT_DOUBLE_EQ(zoom.Span()->from, 1.25) << "2,5 s stays a quarter into the span";
    EXPECT_DOUBLE_EQ(zoom.Span()->to, 6.25);
    zoom.Pan(-5, 10, limits);
    EXPECT_EQ(*zoom.Span(), (timegraph::TimeSpan{0, 5})) << "stops at the start";
    zoom.Pan(100, 10, limits);
    EXPECT_EQ(*zoom.Span(), (timegraph::TimeSpan{5, 10})) << "stops at the end";
    for (int i = 0; i < 40; ++i)
        zoom.ZoomAbout(7, 0.5, 10, limits);
    EXPECT_NEAR(zoom.Span()->Length(), 0.01, 1e-12) << "down to a few samples";
    for (int i = 0; i < 40 && zoom.Zoomed(); ++i)
        zoom.ZoomAbout(7, 2, 10, limits);
    EXPECT_FALSE(zoom.Zoomed()) << "out to the whole run, as unzoomed";
}

TEST(Envelope, AmplitudeAndSlowPartOfABuildUp)
{
    // A (1 - exp(-t / tau)) cos(w t) over a slow part D, 40 samples a period.
    const double A = 2.5, tau = 0.3, D = 0.7, w = 62.8;
    const float ps = static_cast<float>(2 * std::numbers::pi / w / 40);
    std::vector<double> s;
    for (int i = 0; i < 40 * 100; ++i) {
        const double t = i * static_cast<double>(ps);
        s.push_back(D + A * (1 - std::exp(-t / tau)) * std::cos(w * t));
    }
    const auto e = timegraph::FitEnvelope(s, ps, w);
    ASSERT_TRUE(e);
    EXPECT_NEAR(e->amplitude.back(), A * (1 - std::exp(-double(s.size()) * double(ps) / tau)), 0.01 * A);
    EXPECT_NEAR(e->slow.back(), D, 0.01);
    // The time the amplitude first reaches A (1 - 1/e) is tau.
    std::size_t i = 0;
    while (i < s.size() && e->amplitude[i] < A * (1 - std::exp(-1.0)))
        ++i;
    EXPECT_NEAR(i * double(ps), tau, 0.02 * tau);
    EXPECT_FALSE(timegraph::FitEnvelope(s, ps, w * 20)) << "two samples a period";
}

TEST(Spectrum, TwoCosinesGiveTwoPeaks)
{
    const float ps = 1e-4f;
    const double w1 = 3000, a1 = 1.5, w2 = 11000, a2 = 0.4;
    std::vector<double> s;
    for (int i = 0; i < 20000; ++i) {
        const double t = i * static_cast<double>(ps);
        s.push_back(0.3 + a1 * std::cos(w1 * t) + a2 * std::cos(w2 * t + 1));
    }
    const timegraph::Spectrum spectrum = timegraph::AmplitudeSpectrum(s, ps);
    const auto peaks = timegraph::LargestPeaks(spectrum, 2);
    ASSERT_EQ(peaks.size(), 2u);
    EXPECT_NEAR(peaks[0].frequency, w1, spectrum.binWidth);
    EXPECT_NEAR(peaks[1].frequency, w2, spectrum.binWidth);
    // The Hann window loses at most about 15 % between two bins.
    EXPECT_NEAR(peaks[0].amplitude, a1, 0.16 * a1);
    EXPECT_NEAR(peaks[1].amplitude, a2, 0.16 * a2);
    EXPECT_NEAR(timegraph::StrongestFrequency(s, ps), w1, spectrum.binWidth);
}

// The device's frequencies: a dashed line where the axis holds them, named at its edge
// where they lie above what the samples can show; the table in 1/s or Hz.
TEST(SpectrumPlot, MarksTheDeviceFrequenciesAndExportsInEitherUnit)
{
    std::vector<double> s;
    for (int i = 0; i < 1000; ++i)
        s.push_back(std::cos(i * 0.3));
    const std::vector<timegraph::SpectrumCurve> curves{{"X1", canvas::clYellow, timegraph::AmplitudeSpectrum(s, 0.01f)}};
    const timegraph::SpectrumMark marks[] = {{30, "возбуждение"}, {1000, "нутация"}};
    graphtest::RecordingCanvas c;
    timegraph::DrawSpectrum(c, curves, marks, {}, numfmt::CommaSeparators(), 669, 361);
    int dashed = 0;
    for (const auto& seg : c.Segments())
        dashed += seg.state.penStyle == canvas::PenStyle::Dash;
    EXPECT_EQ(dashed, 1) << "30 1/s lies below the 314 1/s the samples hold";
    bool named = false, peak = false;
    for (const auto& call : c.Of(graphtest::Kind::Text)) {
        named = named || call.text == "нутация 1000 1/с: выше половины частоты отсчетов";
        peak = peak || call.text.starts_with("30,0");
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(peak) << "the cosine's peak labelled with its frequency";

    const std::string perSecond = timegraph::SpectrumCsv(curves, {});
    const std::string hertz = timegraph::SpectrumCsv(curves, {true});
    EXPECT_TRUE(perSecond.starts_with("f (1/с),X1\n0,"));
    EXPECT_TRUE(hertz.starts_with("f (Гц),X1\n0,"));
    const double bin = curves[0].spectrum.binWidth;
    const std::string second = perSecond.substr(perSecond.find('\n', perSecond.find('\n') + 1) + 1);
    EXPECT_NEAR(std::stod(second), bin, 1e-12);
    const std::string secondHz = hertz.substr(hertz.find('\n', hertz.find('\n') + 1) + 1);
    EXPECT_NEAR(std::stod(secondHz), bin / (2 * std::numbers::pi), 1e-12);
}

// A zoomed curve keeps to the plot rectangle's columns and marks sparse samples with dots.
TEST(ZoomedCurve, StaysInThePlotAndDotsSparseSamples)
{
    std::vector<double> s;
    for (int i = 0; i < 100000; ++i)
        s.push_back(std::sin(i * 0.01));
    timegraph::Layout layout;
    layout.W = 669;
    layout.H = 361;
    layout.margin = 60;
    layout.zoomed = true;
    struct Row {
        double from, to;
        bool dots;
    } rows[] = {{0, 100, false}, {40, 41, false}, {50, 50.05, true}};
    for (const Row& row : rows) {
        layout.timeFrom = row.from;
        graphtest::RecordingCanvas c;
        timegraph::DrawCurve(c, layout, row.to, 0.001f, {s, -1, 1, 1}, false);
        for (const auto& seg : c.Segments()) {
            ASSERT_TRUE(seg.state.clip) << row.from;
            EXPECT_GE(seg.state.clip->x1, 60);
            EXPECT_LE(seg.state.clip->x2, 669 - 60 + 1);
        }
        EXPECT_FALSE(c.Segments().empty()) << row.from;
        EXPECT_EQ(!c.Of(graphtest::Kind::Ellipse).empty(), row.dots) << row.from;
        if (row.dots) {
            EXPECT_GE(c.Of(graphtest::Kind::Ellipse).size(), 50u);
        }
    }
}

// Labels that would read the same on neighbouring grid lines get more digits; zoomed time
// labels that would run into each other are thinned.
TEST(ScaleLabels, NeighboursReadApartAndTimeLabelsKeepApart)
{
    pelisond::GraphData data;
    pelisond::Ranges ranges;
    ranges.fill({-1, 1});
    ranges[6] = {-0.00015f, 0.00015f}; // four decimals: 0,0001 three times, then 0,0000
    ranges[1] = {-0.0001f, 0.0001f};   // two decimals: 0,00 throughout
    timegraph::View view;
    view.zoom = timegraph::TimeSpan{0.1, 0.1000123};
    graphtest::RecordingCanvas c;
    pelisond::DrawGraph(c, data, ranges, {}, false, 0.119, numfmt::CommaSeparators(), pelisond::GraphWidth,
                        pelisond::GraphHeight, nullptr, view);
    const std::vector<std::string> fi = graphtest::TextsAt(c, pelisond::GraphWidth - 60);
    ASSERT_EQ(fi.size(), 9u);
    EXPECT_EQ(fi[0], "0,00012");
    for (std::size_t i = 1; i < fi.size(); ++i)
        EXPECT_NE(fi[i], fi[i - 1]) << i;
    // The Y1 labels, left of the plot, read apart and keep to their 30 pixels.
    const std::vector<std::string> y1 = graphtest::TextsAt(c, 30);
    ASSERT_EQ(y1.size(), 9u);
    EXPECT_EQ(y1[0], "0,00008");
    for (std::size_t i = 1; i < y1.size(); ++i)
        EXPECT_NE(y1[i], y1[i - 1]) << i;
    for (const auto& call : c.Of(graphtest::Kind::Text))
        if (call.x1 == 30) {
            graphtest::RecordingCanvas measure;
            measure.SetFont(call.state.font);
            EXPECT_LE(measure.TextWidth(call.text), 30) << call.text;
        }
    const auto times = graphtest::TextsOnRow(c, pelisond::GraphHeight - 12);
    ASSERT_GE(times.size(), 3u);
    for (std::size_t i = 1; i < times.size(); ++i) {
        EXPECT_NE(times[i].second, times[i - 1].second) << i;
        EXPECT_GT(times[i].first, times[i - 1].first + c.TextWidth(times[i - 1].second)) << times[i - 1].second;
    }
}

} // namespace
