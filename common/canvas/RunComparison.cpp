#include "RunComparison.h"

#include "MachineMemory.h"

#include <algorithm>
#include <new>

namespace comparison {

std::uint64_t CopyBytes(const RunView& run)
{
    std::uint64_t values = run.times.size();
    for (const std::span<const double>& s : run.series)
        values += s.size();
    return values * sizeof(double) + run.parameters.size() * sizeof(float);
}

std::uint64_t DefaultMemoryLimit()
{
    // The budget a run's own series have: the copy must fit in it beside them.
    return machinememory::SeriesBudget();
}

namespace {

std::string Megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " МБ";
}

std::string Label(std::string_view label)
{
    // The table's labels carry stray and doubled blanks.
    std::string out;
    bool blank = false;
    for (const char ch : label) {
        if (ch == ' ' || ch == '\t') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += ch;
    }
    return out;
}

} // namespace

std::string RunComparison::Keep(const RunView& run, std::uint64_t runBytes)
{
    const std::uint64_t copy = CopyBytes(run);
    if (runBytes + copy > MemoryLimit)
        return "Расчет слишком велик, чтобы запомнить его для сравнения: копии нужно " + Megabytes(copy)
            + ", вместе с самим расчетом " + Megabytes(runBytes + copy) + " при пределе " + Megabytes(MemoryLimit)
            + " (половина памяти компьютера). Уменьшите время остановки счета или увеличьте шаг печати.";
    // The earlier copy goes first, so that two copies never stand side by side.
    kept_.reset();
    try {
        auto kept = std::make_unique<KeptRun>();
        for (const std::span<const double>& s : run.series)
            kept->series.emplace_back(s.begin(), s.end());
        kept->times.assign(run.times.begin(), run.times.end());
        kept->printStep = run.printStep;
        kept->stopTime = run.stopTime;
        kept->sampleCount = run.sampleCount;
        kept->parameters = run.parameters;
        kept_ = std::move(kept);
    } catch (const std::bad_alloc&) {
        return "Не хватило памяти, чтобы запомнить расчет для сравнения (нужно " + Megabytes(copy) + ").";
    }
    return {};
}

std::string DifferenceLine(std::span<const std::string_view> labels, std::span<const float> kept,
                           std::span<const float> current, const numfmt::Separators& sep)
{
    std::string differences;
    const std::size_t count = std::min({labels.size(), kept.size(), current.size()});
    for (std::size_t k = 0; k < count; ++k) {
        if (kept[k] == current[k])
            continue;
        // Seven digits tell most floats apart; two close ones get all nine.
        std::string before = numfmt::FormatGeneral(kept[k], 7, sep), after = numfmt::FormatGeneral(current[k], 7, sep);
        if (before == after) {
            before = numfmt::FormatGeneral(kept[k], 9, sep);
            after = numfmt::FormatGeneral(current[k], 9, sep);
        }
        differences += (differences.empty() ? "" : "; ") + Label(labels[k]) + ": " + before + " → " + after;
    }
    if (differences.empty())
        return "Сравнение с запомненным расчетом: параметры совпадают";
    return "Сравнение с запомненным расчетом: " + differences;
}

canvas::Color KeptColor(canvas::Color color)
{
    if (color.buttonFace)
        return color;
    const auto paler = [](std::uint8_t v) { return (v + 256) / 2; };
    return canvas::Rgb(paler(color.r), paler(color.g), paler(color.b));
}

void DrawKeptCurve(canvas::Canvas& c, const timegraph::Layout& layout, double T, float printStep,
                   timegraph::Curve curve, timegraph::PyramidCache* levels)
{
    if (levels)
        curve.levels = &levels->For(curve.samples);
    timegraph::Layout kept = layout;
    kept.curveColor = [&layout](int number) -> std::optional<canvas::Color> {
        const auto color = layout.curveColor ? layout.curveColor(number) : std::nullopt;
        if (!color)
            return std::nullopt;
        return KeptColor(*color);
    };
    c.SetPenStyle(canvas::PenStyle::Dash);
    c.SetClip(layout.margin, 0, layout.W - layout.margin, layout.H - 20);
    timegraph::DrawCurve(c, kept, T, printStep, curve, false);
    c.ClearClip();
    c.SetPenStyle(canvas::PenStyle::Solid);
}

namespace {

// The lines of a table, each without its line break.
std::vector<std::string_view> Lines(std::string_view table)
{
    std::vector<std::string_view> lines;
    while (!table.empty()) {
        const std::size_t end = table.find('\n');
        lines.push_back(table.substr(0, end));
        if (end == std::string_view::npos)
            break;
        table.remove_prefix(end + 1);
    }
    return lines;
}

// The cells of one line, quotes undone.
std::vector<std::string> Cells(std::string_view line)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted && ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
        } else if (ch == '"') {
            quoted = !quoted;
        } else if (ch == ',' && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += ch;
        }
    }
    return cells;
}

std::string Quoted(const std::string& cell)
{
    if (cell.find_first_of(",\"\n\r") == std::string::npos)
        return cell;
    std::string out = "\"";
    for (const char ch : cell) {
        if (ch == '"')
            out += '"';
        out += ch;
    }
    return out + '"';
}

} // namespace

std::string CsvSideBySide(const std::string& current, const std::string& kept)
{
    const std::vector<std::string_view> left = Lines(current), right = Lines(kept);
    if (left.empty() || right.empty())
        return current;
    const std::size_t leftColumns = Cells(left[0]).size(), rightColumns = Cells(right[0]).size();
    std::string out;
    for (std::size_t row = 0; row < std::max(left.size(), right.size()); ++row) {
        if (row < left.size())
            out += left[row];
        else
            out += std::string(leftColumns - 1, ',');
        out += ',';
        if (row == 0) {
            const std::vector<std::string> names = Cells(right[0]);
            for (std::size_t i = 0; i < names.size(); ++i)
                out += (i > 0 ? "," : "") + Quoted(names[i] + " (запомненный расчет)");
        } else if (row < right.size()) {
            out += right[row];
        } else {
            out += std::string(rightColumns - 1, ',');
        }
        out += '\n';
    }
    return out;
}

std::string KeptReadOut(std::span<const timegraph::NamedSeries> curves, int x, const timegraph::Layout& layout,
                        double T, const timegraph::SampleTimes& times, const numfmt::Separators& sep)
{
    // The time under the mouse is the current run's first line already.
    const std::string text = timegraph::CurvesReadOut(curves, x, layout, T, times, sep);
    const std::size_t firstBreak = text.find('\n');
    if (firstBreak == std::string::npos)
        return {};
    return "Запомненный расчет:\n" + text.substr(firstBreak + 1);
}

} // namespace comparison
