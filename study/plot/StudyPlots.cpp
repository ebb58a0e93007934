#include "StudyPlots.h"

#include "ModelFactory.h"
#include "NumberFormat.h"
#include "ScaleFactor.h"
#include "StudyPlot.h"
#include "Units.h"

#include <cmath>
#include <map>
#include <numbers>

namespace studyplot {

namespace {

using study::RunOutcome;
using study::Study;

// Grids of the third field beyond this many values would give more pictures than anyone reads.
constexpr std::size_t MostThirdValues = 12;

std::string Short(double v)
{
    return numfmt::FormatGeneral(v, 6, numfmt::PointSeparators());
}

std::string FigureTitle(const study::Figure& f)
{
    return f.name + " (" + f.series + ")";
}

// A field with its unit from the parameter table: "BaseRate, 1/c".
std::string FieldLabel(const Study& s, const std::string& field)
{
    const auto model = gyromodel::MakeModel(s.model);
    const int k = model ? model->FindParameter(field) : -1;
    const std::string unit = k >= 0 ? study::UnitOfLabel(model->ParameterLabel(static_cast<std::size_t>(k))) : "";
    return unit.empty() ? field : field + ", " + unit;
}

NamedPlot Xy(std::string stem, XYPlot plot)
{
    std::string title = plot.title;
    return {std::move(stem), std::move(title), [plot = std::move(plot)](canvas::Canvas& c) { DrawXYPlot(c, plot); }};
}

// How a figure is drawn against a field: a response at that field's frequency in dB or degrees.
struct YAxis {
    std::string label;
    double (*map)(double) = nullptr;
    bool bode = false;
};

YAxis FigureAxis(const study::Figure& f, const study::Axis& x)
{
    if (f.frequencyField == x.index && f.stat == study::Stat::Amplitude)
        return {f.name + ", дБ", [](double a) { return 20 * std::log10(a); }, true};
    if (f.frequencyField == x.index && f.stat == study::Stat::Phase)
        return {f.name + ", град", [](double p) { return p * 180 / std::numbers::pi; }, true};
    return {f.name, nullptr, false};
}

// Each figure against the x field, one curve per value of the second field, one picture per
// value of the third.
void SweepPlots(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots, std::string* note)
{
    if (s.grid.empty())
        return;
    if (s.grid.size() > 3) {
        if (note)
            *note = "рисунки по сетке строятся не более чем для трех полей; значения - в runs.csv";
        return;
    }
    std::size_t xi = 0;
    for (std::size_t j = 0; j < s.grid.size(); ++j)
        if (s.grid[j].field == s.plot.x)
            xi = j;
    std::vector<std::size_t> others;
    for (std::size_t j = 0; j < s.grid.size(); ++j)
        if (j != xi)
            others.push_back(j);
    const study::Axis& x = s.grid[xi];
    const bool third = others.size() == 2;
    if (third && s.grid[others[1]].Size() > static_cast<long long>(MostThirdValues)) {
        if (note)
            *note = "поле " + s.grid[others[1]].field + " принимает больше " + std::to_string(MostThirdValues)
                    + " значений: рисунков по нему нет; укажите другое поле в \"plot\": {\"x\": ...} или смотрите runs.csv";
        return;
    }
    for (std::size_t k = 0; k < s.OwnFigureCount(); ++k) {
        const YAxis y = FigureAxis(s.figures[k], x);
        std::map<double, std::map<double, Curve>> pictures;
        for (const RunOutcome& row : rows) {
            const double second = others.empty() ? 0 : row.values[others[0]];
            Curve& curve = pictures[third ? row.values[others[1]] : 0][second];
            if (!others.empty())
                curve.label = Short(second);
            curve.x.push_back(row.values[xi]);
            curve.y.push_back(y.map ? y.map(row.figures[k]) : row.figures[k]);
        }
        std::size_t n = 0;
        for (auto& [value, curves] : pictures) {
            XYPlot plot;
            plot.title = FigureTitle(s.figures[k]) + " от " + x.field;
            if (third)
                plot.title += ", " + s.grid[others[1]].field + " = " + Short(value);
            plot.xLabel = FieldLabel(s, x.field);
            plot.yLabel = y.label;
            plot.logX = s.plot.logX.value_or(x.logarithmic || y.bode);
            plot.logY = s.plot.logY && !y.map;
            if (!others.empty())
                plot.legendTitle = FieldLabel(s, s.grid[others[0]].field) + ":";
            for (auto& [second, curve] : curves)
                plot.curves.push_back(std::move(curve));
            std::string stem = s.figures[k].name;
            if (third)
                stem += "-" + s.grid[others[1]].field + "-" + std::to_string(++n);
            plots.push_back(Xy(std::move(stem), std::move(plot)));
        }
    }
}

void Histograms(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots)
{
    for (std::size_t k = 0; k < s.OwnFigureCount(); ++k) {
        Histogram h;
        h.title = "Распределение " + FigureTitle(s.figures[k]) + ", запусков: " + std::to_string(rows.size());
        h.xLabel = s.figures[k].name;
        for (const RunOutcome& row : rows)
            h.values.push_back(row.figures[k]);
        plots.push_back({s.figures[k].name, h.title, [h](canvas::Canvas& c) { DrawHistogram(c, h); }});
    }
}

void CharacteristicPlots(const Study& s, std::span<const RunOutcome> rows, std::vector<NamedPlot>& plots)
{
    const study::Characteristic ch = study::ComputeCharacteristic(s, rows);
    const std::string rateLabel = FieldLabel(s, ch.rateField), otherLabel = FieldLabel(s, ch.otherField);
    for (std::size_t r = 0; r < s.scaleFactor->responses.size(); ++r) {
        const std::string& figure = s.figures[static_cast<std::size_t>(s.scaleFactor->responses[r])].name;
        XYPlot plot;
        plot.title = "Масштабный коэффициент: " + figure + " от " + ch.rateField;
        plot.xLabel = rateLabel;
        plot.yLabel = figure;
        for (std::size_t n = 0; n < ch.groups.size(); ++n) {
            const study::CharacteristicGroup& g = ch.groups[n];
            const study::ResponseLine& line = g.responses[r];
            const int color = static_cast<int>(n);
            Curve points{g.other ? ch.otherField + " = " + Short(*g.other) : "", line.rates, line.responses, true, false, color};
            Curve fit{"", {}, {}, false, true, color};
            if (!line.rates.empty()) {
                const auto [lo, hi] = std::minmax_element(line.rates.begin(), line.rates.end());
                for (double x : {*lo, *hi}) {
                    fit.x.push_back(x);
                    fit.y.push_back(line.scaleFactor * x + line.zeroRateOutput);
                }
            }
            if (ch.groups.size() == 1)
                points.label = "K = " + Short(line.scaleFactor) + ", нелинейность " + Short(line.nonlinearityPercent) + " %";
            plot.curves.push_back(std::move(points));
            plot.curves.push_back(std::move(fit));
        }
        plots.push_back(Xy("scale-factor-" + figure, std::move(plot)));

        if (!ch.otherField.empty()) {
            XYPlot against;
            against.title = "Масштабный коэффициент " + figure + " от " + ch.otherField;
            against.xLabel = otherLabel;
            against.yLabel = "K(" + figure + ")";
            Curve curve;
            for (const study::CharacteristicGroup& g : ch.groups) {
                curve.x.push_back(*g.other);
                curve.y.push_back(g.responses[r].scaleFactor);
            }
            against.curves.push_back(std::move(curve));
            plots.push_back(Xy("scale-factor-" + figure + "-vs-" + ch.otherField, std::move(against)));
        }
    }
    if (s.scaleFactor->drift >= 0 && !ch.otherField.empty()) {
        const study::Figure& drift = s.figures[static_cast<std::size_t>(s.scaleFactor->drift)];
        XYPlot plot;
        plot.title = "Дрейф при нулевой скорости (" + drift.name + ") от " + ch.otherField;
        plot.xLabel = otherLabel;
        plot.yLabel = drift.series;
        Curve curve;
        for (const study::CharacteristicGroup& g : ch.groups) {
            curve.x.push_back(*g.other);
            curve.y.push_back(g.driftAtZeroRate);
        }
        plot.curves.push_back(std::move(curve));
        plots.push_back(Xy("drift-at-zero-rate-vs-" + ch.otherField, std::move(plot)));
    }
}

} // namespace

std::vector<NamedPlot> StudyPlots(const Study& s, std::span<const RunOutcome> rows, std::string* note)
{
    std::vector<NamedPlot> plots;
    if (s.monteCarlo)
        Histograms(s, rows, plots);
    else if (s.scaleFactor)
        CharacteristicPlots(s, rows, plots);
    else
        SweepPlots(s, rows, plots, note);
    return plots;
}

} // namespace studyplot
