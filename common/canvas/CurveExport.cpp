#include "CurveExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace timegraph {

std::size_t DrawnSampleCount(double T, float printStep, std::size_t recorded)
{
    if (recorded == 0)
        return 0;
    const double N = T / printStep;
    // The curve joins the indices i >= 1 with i < N: up to ceil(N) - 1.
    if (!(N > 1))
        return 1;
    if (N >= static_cast<double>(recorded))
        return recorded;
    return std::min(recorded, static_cast<std::size_t>(std::ceil(N)));
}

std::size_t FirstSampleFrom(double from, float printStep)
{
    const double position = from / printStep;
    if (!(position > 0))
        return 0;
    // A hair below a whole number is that sample: the span starts where a label says.
    return static_cast<std::size_t>(std::min(std::ceil(position - 1e-9), 1e15));
}

double SampleTime(std::size_t i, float printStep)
{
    // The shortest decimal that reads back as this float is the step as typed.
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, printStep);
    double step = printStep;
    std::from_chars(buffer, written.ptr, step);
    return static_cast<double>(i) * step;
}

double SampleTimes::operator()(std::size_t i) const
{
    return i < recorded.size() ? recorded[i] : SampleTime(i, printStep);
}

namespace {

void AppendNumber(std::string& out, double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// Enough digits for any run's length, few enough to drop the step's binary remainder.
void AppendTime(std::string& out, double time)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, time, std::chars_format::general, 12);
    out.append(buffer, result.ptr);
}

void AppendField(std::string& out, const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    out += '"';
}

} // namespace

std::string CurvesCsv(std::span<const NamedSeries> curves, double T, const SampleTimes& times, double from)
{
    std::string out;
    AppendField(out, TimeColumnName);
    std::size_t rows = 0;
    for (const NamedSeries& curve : curves) {
        out += ',';
        AppendField(out, curve.name);
        rows = std::max(rows, DrawnSampleCount(T, times.printStep, curve.samples.size()));
    }
    out += '\n';
    for (std::size_t i = FirstSampleFrom(from, times.printStep); i < rows; ++i) {
        AppendTime(out, times(i));
        for (const NamedSeries& curve : curves) {
            out += ',';
            if (i < DrawnSampleCount(T, times.printStep, curve.samples.size()) && std::isfinite(curve.samples[i]))
                AppendNumber(out, curve.samples[i]);
        }
        out += '\n';
    }
    return out;
}

ReadOut ReadOutAt(int x, const Layout& layout, double T, float printStep, std::size_t drawn)
{
    const int left = layout.margin, right = layout.W - layout.margin;
    ReadOut r;
    const double from = layout.zoomed ? layout.timeFrom : 0;
    if (right > left && std::isfinite(T) && T > from)
        r.time = from + static_cast<double>(std::clamp(x, left, right) - left) / (right - left) * (T - from);
    if (drawn == 0)
        return r;
    const double position = r.time / printStep;
    if (!std::isfinite(position) || position <= 0)
        r.sample = 0;
    else
        r.sample = std::min(drawn - 1, static_cast<std::size_t>(std::llround(std::min(position, 1e15))));
    return r;
}

std::string ReadOutText(const ReadOut& at, std::span<const NamedSeries> curves, const SampleTimes& times,
                        const numfmt::Separators& sep)
{
    const auto number = [&sep](double v) { return numfmt::FormatGeneral(v, 6, sep); };
    std::string text = "t = " + number(at.time) + " с";
    if (!at.sample)
        return text;
    const std::size_t i = *at.sample;
    text += "\nОтсчет " + std::to_string(i) + ", t = " + number(times(i)) + " с";
    for (const NamedSeries& curve : curves) {
        text += '\n' + curve.name + ": ";
        text += i < curve.samples.size() && std::isfinite(curve.samples[i]) ? number(curve.samples[i]) : "—";
    }
    return text;
}

std::string CurvesReadOut(std::span<const NamedSeries> curves, int x, const Layout& layout, double T,
                          const SampleTimes& times, const numfmt::Separators& sep)
{
    std::size_t drawn = 0;
    for (const NamedSeries& curve : curves)
        drawn = std::max(drawn, curve.samples.size());
    return ReadOutText(ReadOutAt(x, layout, T, times.printStep, drawn), curves, times, sep);
}

} // namespace timegraph
